// Internal: include "vantrel/platform/foundation/defaults/user_defaults.h" instead.
//
// The text of a domain file: its typed entries, read and written.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "vantrel/json/platform_value.h"
#include "vantrel/platform/foundation/defaults/user_defaults.h"

namespace vantrel::foundation_internal {

using DefaultsValues = std::map<std::string, DefaultsValue, std::less<>>;

struct DefaultsEntries {
  DefaultsValues values;                      // the entries that read as typed values
  std::map<std::string, PlatformValue> kept;  // entries that are no valid envelope, as read
};

// The entries of a domain file's text; nullopt when the text is not a JSON
// object. The reader is locale-free and strict; of repeated keys the last
// wins. Total on any input.
[[nodiscard]] std::optional<DefaultsEntries> readDefaultsEntries(std::string_view text);

// The text of a domain file holding `values` and, unchanged, `kept` (a
// value wins over a kept entry of the same key): one line with sorted keys,
// so a written file is stable.
[[nodiscard]] std::string defaultsFileText(const DefaultsValues& values,
                                           const std::map<std::string, PlatformValue>& kept);

}  // namespace vantrel::foundation_internal
