// File: vantrel/foundation/pasteboard/pasteboard_debug_info.h
//
// `printDebugInfoAboutTypes(pasteboard, hideTypes)`: a developer dump of what
// a pasteboard holds, item by item and type by type, and (when `hideTypes`
// is false) a section on the pasteboard's own list of types.
//
//   printDebugInfoAboutTypes(board);
//   // 📋…📋\/                               (32 clipboard signs)
//   // Found 1 items and 1 types.
//   // pasteboard.types are HIDDEN
//   // Items:
//   // 🔖 PasteboardItem(types: ["text/plain;charset=utf-8"]):
//   // ["0: text/plain;charset=utf-8"]
//   // 0: 🚡🚡 Type text/plain;charset=utf-8
//   // string = Hello
//   // url.path = /current/folder/Hello
//   // ----
//   // -------------
//   // ======================
//   // 📋…📋/\                                (the closing banner)
//
// Data is shown as `dataDescription` ("<48656c6c 6f>"), at most its first
// 400 bytes. Pasteboard text ("string = ", "url.path = ") is printed without
// quotes, with every control character (C0, DEL, C1) written as "\u{1B}"
// (upper-case hexadecimal, as `debugDescribe` does) and bytes that are not
// UTF-8 as U+FFFD, so clipboard text can neither drive the terminal nor
// split a line. The type section skips "com.apple.traditional-mac-plain-text"
// and identifiers starting with "dyn."; the item section stops after the
// type line for identifiers starting with "dyn". Every line is one console
// line. The pasteboard is read afresh at each step; nothing is kept but the
// fixed list of ignored types. Thread-safe as the pasteboard is.
#pragma once

#include <concepts>
#include <string>
#include <string_view>

#include "vantrel/platform/foundation/pasteboard/pasteboard.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

namespace foundation_internal {
void printDebugInfoAboutTypes(const Pasteboard& self, bool hideTypes);
// `text` for one line of the dump: control characters escaped, no quotes.
[[nodiscard]] std::string escapedPasteboardText(std::string_view text);
}  // namespace foundation_internal

inline void printDebugInfoAboutTypes(const Pasteboard& self) {
  foundation_internal::printDebugInfoAboutTypes(self, true);
}

// The flag takes only a bool, so no pointer or literal turns into it.
void printDebugInfoAboutTypes(const Pasteboard& self, std::same_as<bool> auto hideTypes) {
  foundation_internal::printDebugInfoAboutTypes(self, hideTypes);
}

}  // namespace vantrel
