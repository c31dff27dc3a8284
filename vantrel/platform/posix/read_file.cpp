#include "vantrel/platform/posix/read_file.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "vantrel/platform/posix/unique_fd.h"

namespace vantrel::posix {

std::error_code readFile(const std::string& path, std::string& contents) {
  contents.clear();
  const auto failure = [&contents](int code) {
    contents.clear();
    return std::error_code(code, std::generic_category());
  };
  UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd) return failure(errno);
  struct stat status {};
  if (::fstat(fd.get(), &status) != 0) return failure(errno);
  if (S_ISDIR(status.st_mode)) return failure(EISDIR);
  // The size is a hint only: the file may grow or shrink while it is read.
  if (S_ISREG(status.st_mode) && status.st_size > 0) contents.reserve(static_cast<std::size_t>(status.st_size));
  char buffer[1 << 16];
  for (;;) {
    const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
    if (n == 0) return {};
    if (n < 0) {
      if (errno == EINTR) continue;
      return failure(errno);
    }
    contents.append(buffer, static_cast<std::size_t>(n));
  }
}

}  // namespace vantrel::posix
