#include "vantrel/platform/posix/read_full.h"

#include <unistd.h>

#include <cerrno>

namespace vantrel::posix {

ReadFullResult readFull(int fd, void* buffer, std::size_t size) noexcept {
  ReadFullResult result;
  auto* bytes = static_cast<unsigned char*>(buffer);
  while (result.bytesRead < size) {
    const ssize_t n = ::read(fd, bytes + result.bytesRead, size - result.bytesRead);
    if (n > 0) {
      result.bytesRead += static_cast<std::size_t>(n);
    } else if (n == 0) {
      break;  // end of input
    } else if (errno != EINTR) {
      result.error = std::error_code(errno, std::generic_category());
      break;
    }
  }
  return result;
}

}  // namespace vantrel::posix
