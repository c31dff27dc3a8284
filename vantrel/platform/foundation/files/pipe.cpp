#include "vantrel/platform/foundation/files/pipe.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "vantrel/platform/foundation/files/file_manager.h"

namespace vantrel {

std::shared_ptr<Pipe> Pipe::create() {
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) throw FileSystemError(errno, "pipe");
  return std::make_shared<Pipe>(posix::UniqueFd(fds[0]), posix::UniqueFd(fds[1]));
}

}  // namespace vantrel
