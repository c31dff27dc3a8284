#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include "vantrel/platform/posix/lock_file.h"
#include "vantrel/platform/posix/unique_fd.h"

namespace vantrel::posix {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

struct TempFile {
  TempFile() {
    char name[] = "/tmp/vantrel-lock-XXXXXX";
    fd.reset(::mkostemp(name, O_CLOEXEC));
    path = name;
  }
  ~TempFile() { ::unlink(path.c_str()); }
  UniqueFd openAgain() const { return UniqueFd(::open(path.c_str(), O_RDWR | O_CLOEXEC)); }
  std::string path;
  UniqueFd fd;
};

// Another process holds the lock until it is killed: the wait ends at its
// deadline with timed_out, not when the holder lets go.
TEST(LockFile, AWaitOnAnotherProcessesLockEndsAtTheDeadline) {
  TempFile file;
  int ready[2];
  ASSERT_EQ(::pipe2(ready, O_CLOEXEC), 0);
  const pid_t holder = ::fork();
  ASSERT_GE(holder, 0);
  if (holder == 0) {
    UniqueFd own = file.openAgain();
    if (::flock(own.get(), LOCK_EX) != 0) ::_exit(1);
    char c = 1;
    if (::write(ready[1], &c, 1) != 1) ::_exit(1);
    ::pause();
    ::_exit(0);
  }
  ::close(ready[1]);
  char c = 0;
  ASSERT_EQ(::read(ready[0], &c, 1), 1);
  ::close(ready[0]);

  const Clock::time_point start = Clock::now();
  const std::error_code e = lockExclusiveUntil(file.fd.get(), start + 150ms);
  const auto waited = Clock::now() - start;
  EXPECT_EQ(e, std::make_error_code(std::errc::timed_out));
  EXPECT_GE(waited, 150ms);
  EXPECT_LT(waited, 2s);

  ::kill(holder, SIGKILL);
  int status = 0;
  ::waitpid(holder, &status, 0);
  // The holder is gone, and its lock with it.
  EXPECT_FALSE(lockExclusiveUntil(file.fd.get(), Clock::now() + 1s));
  unlockFile(file.fd.get());
}

TEST(LockFile, AFreeLockIsTakenAtOnceEvenPastTheDeadline) {
  TempFile file;
  EXPECT_FALSE(lockExclusiveUntil(file.fd.get(), Clock::now() - 1s));
  // A second description of the same file cannot take it meanwhile.
  UniqueFd other = file.openAgain();
  EXPECT_EQ(lockExclusiveUntil(other.get(), Clock::now()), std::make_error_code(std::errc::timed_out));
  unlockFile(file.fd.get());
  EXPECT_FALSE(lockExclusiveUntil(other.get(), Clock::now()));
}

TEST(LockFile, ABadDescriptorIsReportedNotWaitedOn) {
  EXPECT_EQ(lockExclusiveUntil(-1, Clock::time_point::max()), std::make_error_code(std::errc::bad_file_descriptor));
}

}  // namespace
}  // namespace vantrel::posix
