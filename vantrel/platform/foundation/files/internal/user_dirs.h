// Internal: include "vantrel/platform/foundation/files/folders.h" instead.
//
// Reader of the XDG user-dirs file (`user-dirs.dirs`): lines of the form
//   XDG_DOCUMENTS_DIR="$HOME/Documents"
// where the value is an absolute path or one relative to "$HOME/"; "#"
// starts a comment line; a backslash escapes the next character.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vantrel::foundation_internal {

// The value of `key` (e.g. "XDG_DOCUMENTS_DIR") in `contents`, with "$HOME"
// replaced by `home`; the last assignment wins. Nothing for a missing key or
// a value that is neither absolute nor under "$HOME". Total on any input.
[[nodiscard]] std::optional<std::string> userDirsValue(std::string_view contents, std::string_view key,
                                                       std::string_view home);

}  // namespace vantrel::foundation_internal
