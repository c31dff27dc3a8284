#include "vantrel/platform/posix/write_all.h"

#include <cerrno>

#include <unistd.h>

namespace vantrel::posix {

std::error_code writeAll(int fd, const void* bytes, std::size_t size, std::size_t& written) noexcept {
  const char* p = static_cast<const char*>(bytes);
  written = 0;
  while (written < size) {
    const ssize_t n = ::write(fd, p + written, size - written);
    if (n < 0) {
      if (errno == EINTR) continue;
      return std::error_code(errno, std::generic_category());
    }
    if (n == 0) return std::make_error_code(std::errc::io_error);
    written += static_cast<std::size_t>(n);
  }
  return {};
}

std::error_code writeAll(int fd, const void* bytes, std::size_t size) noexcept {
  std::size_t written = 0;
  return writeAll(fd, bytes, size, written);
}

}  // namespace vantrel::posix
