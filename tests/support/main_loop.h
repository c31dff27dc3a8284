// Test helpers for code that finishes its work on the main queue: serve the
// main thread's run loop, or drain the main queue, until the work is done.
// Header-only, so only the test executables that link the runtime use it.
#pragma once

#include <chrono>
#include <functional>

#include "vantrel/platform/dispatch/dispatch_queue.h"
#include "vantrel/platform/dispatch/run_loop.h"

namespace vantrel::testing {

// Runs main-queue blocks until none is left, also those that the blocks
// queue (work that hops through the main queue more than once).
inline void drainMainQueue() {
  for (int pass = 0; pass < 100 && DispatchQueue::drainMain() > 0; ++pass) {
  }
}

// Serves the main thread's run loop in short slices until `done` answers
// true or `limit` has passed (generous: a loaded machine is slow, a passing
// test never waits for it); answers `done()`.
inline bool runMainLoopUntil(const std::function<bool()>& done,
                             std::chrono::milliseconds limit = std::chrono::seconds(10)) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (!done() && std::chrono::steady_clock::now() < deadline) {
    RunLoop::current()->run(std::chrono::steady_clock::now() + std::chrono::milliseconds(5));
  }
  return done();
}

}  // namespace vantrel::testing
