#include "vantrel/foundation/files/internal/beneath.h"

#include <cerrno>

#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace vantrel::foundation_internal {

namespace {

// Without openat2 (kernels before 5.6, or a filter that forbids it) every
// level is opened on its own and no symbolic link is followed at all.
posix::UniqueFd openLevelByLevel(int base, const std::string& relative, int flags, int& error) {
  posix::UniqueFd current(::fcntl(base, F_DUPFD_CLOEXEC, 0));
  if (!current) {
    error = errno;
    return {};
  }
  std::string_view rest = relative;
  while (!rest.empty()) {
    const auto slash = rest.find('/');
    const std::string level(rest.substr(0, slash));
    rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
    if (level.empty()) continue;
    if (!isSafePathComponent(level)) {
      error = EXDEV;
      return {};
    }
    const int levelFlags = rest.empty() ? flags : (O_PATH | O_DIRECTORY);
    posix::UniqueFd next(::openat(current.get(), level.c_str(), levelFlags | O_NOFOLLOW | O_CLOEXEC));
    if (!next) {
      error = errno == ELOOP ? EXDEV : errno;
      return {};
    }
    current = std::move(next);
  }
  return current;
}

}  // namespace

bool isSafePathComponent(std::string_view name) {
  return !name.empty() && name != "." && name != ".." && name.find('/') == std::string_view::npos &&
         name.find('\0') == std::string_view::npos;
}

posix::UniqueFd openBeneath(int base, const std::string& relative, int flags, int& error) {
  error = 0;
  if (relative.empty() || relative.find('\0') != std::string::npos) {
    error = EINVAL;
    return {};
  }
  open_how how{};
  how.flags = static_cast<std::uint64_t>(flags | O_CLOEXEC);
  how.resolve = RESOLVE_BENEATH | RESOLVE_NO_MAGICLINKS;
  for (;;) {
    const long fd = ::syscall(SYS_openat2, base, relative.c_str(), &how, sizeof how);
    if (fd >= 0) return posix::UniqueFd(static_cast<int>(fd));
    if (errno == EINTR || errno == EAGAIN) continue;
    if (errno == ENOSYS || errno == EPERM) return openLevelByLevel(base, relative, flags, error);
    error = errno;
    return {};
  }
}

posix::UniqueFd openFolder(const std::string& path, int& error) {
  error = 0;
  posix::UniqueFd fd(::open(path.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
  if (!fd) error = errno;
  return fd;
}

}  // namespace vantrel::foundation_internal
