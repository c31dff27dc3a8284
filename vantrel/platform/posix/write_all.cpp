#include "vantrel/platform/posix/write_all.h"

#include <cerrno>

#include <unistd.h>

namespace vantrel::posix {

std::error_code writeAll(int fd, const void* bytes, std::size_t size) noexcept {
  const char* p = static_cast<const char*>(bytes);
  while (size > 0) {
    const ssize_t n = ::write(fd, p, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return std::error_code(errno, std::generic_category());
    }
    if (n == 0) return std::make_error_code(std::errc::io_error);
    p += n;
    size -= static_cast<std::size_t>(n);
  }
  return {};
}

}  // namespace vantrel::posix
