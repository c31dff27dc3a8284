// Helpers for the hot-key tests: waiting for the main-queue work of a press.
#pragma once

#include <chrono>
#include <functional>

#include "vantrel/platform/dispatch/dispatch_queue.h"
#include "vantrel/platform/dispatch/run_loop.h"

namespace vantrel::testing {

// Runs main-queue blocks until none is left, also those that the blocks
// queue (a press queues its dispatch, which queues the closures).
inline void drainMainQueue() {
  for (int pass = 0; pass < 100 && DispatchQueue::drainMain() > 0; ++pass) {
  }
}

// Serves the main thread's run loop until `done` answers true or `limit`
// has passed; answers `done()`.
inline bool runMainLoopUntil(const std::function<bool()>& done,
                             std::chrono::milliseconds limit = std::chrono::seconds(5)) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (!done() && std::chrono::steady_clock::now() < deadline) {
    RunLoop::current()->run(std::chrono::steady_clock::now() + std::chrono::milliseconds(5));
  }
  return done();
}

}  // namespace vantrel::testing
