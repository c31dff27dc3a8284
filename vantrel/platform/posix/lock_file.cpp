#include "vantrel/platform/posix/lock_file.h"

#include <algorithm>
#include <cerrno>
#include <ctime>

#include <sys/file.h>

namespace vantrel::posix {

std::error_code lockExclusiveUntil(int fd, std::chrono::steady_clock::time_point deadline) noexcept {
  using namespace std::chrono;
  auto pause = milliseconds(1);
  for (;;) {
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return {};
    if (errno == EINTR) continue;
    if (errno != EWOULDBLOCK) return std::error_code(errno, std::generic_category());
    const steady_clock::time_point now = steady_clock::now();
    if (now >= deadline) return std::make_error_code(std::errc::timed_out);
    const auto left = duration_cast<nanoseconds>(deadline - now);
    const nanoseconds nap = std::min<nanoseconds>(pause, left);
    timespec ts{static_cast<time_t>(nap.count() / 1'000'000'000), static_cast<long>(nap.count() % 1'000'000'000)};
    // An interrupted nap only means an earlier look.
    ::nanosleep(&ts, nullptr);
    pause = std::min(pause * 2, milliseconds(25));
  }
}

void unlockFile(int fd) noexcept { ::flock(fd, LOCK_UN); }

}  // namespace vantrel::posix
