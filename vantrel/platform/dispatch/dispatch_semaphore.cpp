#include "vantrel/platform/dispatch/dispatch_semaphore.h"

#include "vantrel/core/deadline.h"
#include "vantrel/core/fatal.h"
#include "vantrel/platform/dispatch/internal/blocking_wait.h"

namespace vantrel {

DispatchSemaphore::DispatchSemaphore(std::int64_t value) : count_(value) {
  if (value < 0) fatal("DispatchSemaphore needs a starting value of 0 or more");
}

void DispatchSemaphore::signal() {
  {
    std::lock_guard lock(mutex_);
    ++count_;
  }
  changed_.notify_one();
}

void DispatchSemaphore::wait() {
  std::unique_lock lock(mutex_);
  if (count_ > 0) {
    --count_;
    return;
  }
  lock.unlock();
  runtime_internal::BlockingWait blocking;  // a pool thread waiting here frees its place
  lock.lock();
  changed_.wait(lock, [this] { return count_ > 0; });
  --count_;
}

bool DispatchSemaphore::waitFor(std::chrono::steady_clock::duration timeout) {
  return waitUntil(deadlineAfter(timeout));
}

bool DispatchSemaphore::waitUntil(std::chrono::steady_clock::time_point deadline) {
  std::unique_lock lock(mutex_);
  if (count_ > 0) {
    --count_;
    return true;
  }
  lock.unlock();
  runtime_internal::BlockingWait blocking;
  lock.lock();
  if (!changed_.wait_until(lock, deadline, [this] { return count_ > 0; })) return false;
  --count_;
  return true;
}

}  // namespace vantrel
