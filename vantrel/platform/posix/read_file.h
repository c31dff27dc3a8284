// File: vantrel/platform/posix/read_file.h
//
// `readFile` reads a whole file through a close-on-exec descriptor (an
// std::ifstream's is not, so a program started on another thread while the
// file is open would inherit it), retrying interrupted reads.
//
//   std::string text;
//   if (std::error_code e = readFile("/home/u/.config/user-dirs.dirs", text)) ...
//
// Follows symbolic links; a folder is an error (EISDIR).
#pragma once

#include <string>
#include <system_error>

#include "vantrel/api.h"
namespace vantrel VANTREL_API {
namespace posix {

// Replaces `contents` with the file's bytes; on failure answers the errno
// and leaves `contents` empty.
[[nodiscard]] std::error_code readFile(const std::string& path, std::string& contents);

}  // namespace posix
}  // namespace vantrel
