// File: vantrel/platform/dispatch/dispatch_semaphore.h
//
// `DispatchSemaphore`: a counting semaphore. `signal()` adds one and wakes a
// waiter; `wait()` blocks until the count is positive and takes one.
//
//   auto done = std::make_shared<DispatchSemaphore>(0);
//   queue->async([done] { work(); done->signal(); });
//   if (!done->waitFor(std::chrono::seconds(5))) report("still busy");
//
// Thread safety: every member may be called from any thread. A semaphore
// must outlive its waiters (hold it by `shared_ptr` when blocks signal it).
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

class DispatchSemaphore {
 public:
  // `value` is the starting count; it must not be negative (else `fatal`).
  explicit DispatchSemaphore(std::int64_t value = 0);
  DispatchSemaphore(const DispatchSemaphore&) = delete;  // waiters refer to this object
  DispatchSemaphore& operator=(const DispatchSemaphore&) = delete;

  void signal();
  void wait();
  // False when `timeout` passed before the count could be taken. The
  // deadline saturates: `duration::max()` waits as long as `wait()`.
  [[nodiscard]] bool waitFor(std::chrono::steady_clock::duration timeout);
  [[nodiscard]] bool waitUntil(std::chrono::steady_clock::time_point deadline);

 private:
  // A mutex and condition variable rather than std::counting_semaphore:
  // libstdc++ 12's timed acquire can miss a wake-up, and ThreadSanitizer
  // sees through these plainly.
  std::mutex mutex_;
  std::condition_variable changed_;
  std::int64_t count_;
};

}  // namespace vantrel
