// File: vantrel/platform/posix/replace_file.h
//
// `replaceFileAtomically` gives a file new contents so that a reader (or a
// crash) sees either the old file or the whole new one, never a part: the
// bytes go to a hidden temporary beside the target (".<name>.XXXXXX", same
// folder, so the rename stays on one file system), are flushed with fsync,
// and the temporary is renamed over the target. On any failure the temporary
// is removed and the target is left as it was.
//
//   if (auto e = replaceFileAtomically("/home/u/.config/app.json", text)) ...
//
// The temporary's name comes from mkostemp, not from the library's
// replaceable random source, so saving a file never disturbs scripted draws.
// An existing target keeps its permission bits; a new one gets 0666 less the
// umask. Symbolic links at the target are replaced, not followed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <system_error>

#include "vantrel/api.h"
namespace vantrel VANTREL_API {
namespace posix {

[[nodiscard]] std::error_code replaceFileAtomically(const std::string& path, std::string_view bytes);
[[nodiscard]] std::error_code replaceFileAtomically(const std::string& path,
                                                    std::span<const std::uint8_t> bytes);

// For writers that stream their output: `write` receives the temporary's
// descriptor and answers an empty error_code when it has written everything.
[[nodiscard]] std::error_code replaceFileAtomicallyWith(
    const std::string& path, const std::function<std::error_code(int fd)>& write);

}  // namespace posix
}  // namespace vantrel
