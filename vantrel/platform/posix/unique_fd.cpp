#include "vantrel/platform/posix/unique_fd.h"

#include <cerrno>

#include <fcntl.h>
#include <unistd.h>

namespace vantrel::posix {

void UniqueFd::reset(int fd) noexcept {
  if (fd_ >= 0 && fd_ != fd) {
    const int saved = errno;
    // On Linux the descriptor is released even when close reports EINTR, so
    // retrying could close a descriptor another thread has just opened.
    ::close(fd_);
    errno = saved;
  }
  fd_ = fd;
}

UniqueFd duplicateCloexec(int fd) noexcept { return UniqueFd(::fcntl(fd, F_DUPFD_CLOEXEC, 0)); }

}  // namespace vantrel::posix
