// Internal to the runtime: how the main thread's run loop serves the main
// queue. Include dispatch_queue.h or run_loop.h instead.
#pragma once

namespace vantrel::runtime_internal {

// An eventfd that turns readable whenever a block is queued on the main
// queue; `drainMain` empties it.
[[nodiscard]] int mainQueueWakeDescriptor();

}  // namespace vantrel::runtime_internal
