// File: vantrel/platform/posix/lock_file.h
//
// The one wait for a file's lock: `lockExclusiveUntil` takes an exclusive
// `flock` on `fd`, giving up at `deadline`. Another process can hold a lock
// for as long as it likes (a backup tool, `flock(1)`), so no library code
// waits for one without a limit: it asks without blocking and, while the
// lock is taken, sleeps a little longer each time (1 ms up to 25 ms), never
// past the deadline.
//
//   if (std::error_code e = lockExclusiveUntil(fd, deadline)) report(e.message());
//   ...
//   unlockFile(fd);
//
// `std::chrono::steady_clock::time_point::max()` waits until the lock is
// free. Answers `std::errc::timed_out` when the deadline passed first, or the
// errno of a failing `flock`. Allocates nothing.
#pragma once

#include <chrono>
#include <system_error>

#include "vantrel/api.h"
namespace vantrel VANTREL_API {
namespace posix {

[[nodiscard]] std::error_code lockExclusiveUntil(int fd, std::chrono::steady_clock::time_point deadline) noexcept;
// Lets go of a lock `lockExclusiveUntil` took (closing the descriptor does too).
void unlockFile(int fd) noexcept;

}  // namespace posix
}  // namespace vantrel
