// Internal to the runtime: how a wait tells the global pool that its thread
// is blocked. Include dispatch_queue.h or dispatch_semaphore.h instead.
#pragma once

namespace vantrel::runtime_internal {

// Alive while the calling thread waits for another block (`sync`, a
// semaphore). On a pool thread it stops counting that thread as working and,
// when work is waiting and no thread is free, starts another one: serial
// queues share the pool, so a drain blocked on a second queue must never
// keep that queue's drain from a thread. Elsewhere it does nothing.
class BlockingWait {
 public:
  BlockingWait();
  ~BlockingWait();
  BlockingWait(const BlockingWait&) = delete;
  BlockingWait& operator=(const BlockingWait&) = delete;

 private:
  bool counted_;
};

}  // namespace vantrel::runtime_internal
