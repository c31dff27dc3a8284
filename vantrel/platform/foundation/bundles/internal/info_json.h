// Internal: include "vantrel/platform/foundation/bundles/main_bundle.h" instead.
//
// A bundle's Info.json: the text value of one key of the top-level object.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vantrel::foundation_internal {

// The text stored under `key` in the top-level JSON object of `json`
// (escapes decoded, \u surrogate pairs joined into UTF-8). Nothing when the
// input is not such an object, the key is missing or its value is not a
// text; the last occurrence of a repeated key wins. Total on any input;
// nesting deeper than 512 levels is refused.
[[nodiscard]] std::optional<std::string> infoJsonText(std::string_view json, std::string_view key);

}  // namespace vantrel::foundation_internal
