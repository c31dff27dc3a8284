// Internal: include "vantrel/json/json.h" instead.
//
// The strict JSON reader behind `Json::fromData`.
#pragma once

#include <string_view>

#include "vantrel/json/platform_value.h"

namespace vantrel::json_internal {

// The value of `data`, which must be exactly one JSON value (a top-level
// scalar only with `fragmentsAllowed`). Throws `JsonReadError`.
[[nodiscard]] PlatformValue readJson(std::string_view data, bool fragmentsAllowed);

}  // namespace vantrel::json_internal
