// File: vantrel/platform/posix/write_all.h
//
// The one write loop: `writeAll` writes every byte or reports why it could
// not, retrying interrupted calls (EINTR) and short writes. Use it for every
// write to a descriptor instead of a hand-written loop.
//
//   if (std::error_code e = writeAll(fd, line)) report(e.message());
//
// Safe to call from a signal handler or after memory is exhausted: it
// allocates nothing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <system_error>

#include "vantrel/api.h"
namespace vantrel VANTREL_API {
namespace posix {

// Writes all of `bytes` to `fd`. Answers an empty error_code on success, else
// the errno of the failing write (a write that makes no progress is EIO).
[[nodiscard]] std::error_code writeAll(int fd, const void* bytes, std::size_t size) noexcept;
// The same, also answering in `written` how many bytes reached `fd` (all of
// them on success), for a message about a file left partly written.
[[nodiscard]] std::error_code writeAll(int fd, const void* bytes, std::size_t size, std::size_t& written) noexcept;
[[nodiscard]] inline std::error_code writeAll(int fd, std::string_view bytes) noexcept {
  return writeAll(fd, bytes.data(), bytes.size());
}
[[nodiscard]] inline std::error_code writeAll(int fd, std::span<const std::uint8_t> bytes) noexcept {
  return writeAll(fd, bytes.data(), bytes.size());
}

}  // namespace posix
}  // namespace vantrel
