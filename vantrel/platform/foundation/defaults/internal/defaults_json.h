// Internal: include "vantrel/platform/foundation/defaults/user_defaults.h" instead.
//
// The small JSON reader and writer behind the user-defaults files and the
// bundles' Info.json. Numbers
// keep whether they were written as integers; objects keep their keys
// sorted, so a written file is stable.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace vantrel::foundation_internal {

struct JsonNode;
using JsonArray = std::vector<JsonNode>;
using JsonObject = std::map<std::string, JsonNode>;

struct JsonNode {
  std::variant<std::monostate, bool, std::int64_t, double, std::string, JsonArray, JsonObject> value;

  friend bool operator==(const JsonNode&, const JsonNode&) = default;
};

// The value of a whole JSON text; nothing when it is not exactly one valid
// value (strict RFC 8259; nesting deeper than 256 levels is refused). An
// integer outside int64 reads as a double; a number beyond the double
// range is refused. Total on any input.
[[nodiscard]] std::optional<JsonNode> parseJson(std::string_view text);

// Compact JSON text; non-finite doubles are written as null.
[[nodiscard]] std::string writeJson(const JsonNode& node);

}  // namespace vantrel::foundation_internal
