// File: vantrel/platform/dispatch/dispatch_queue.h
//
// `DispatchQueue`: the library's own small work-queue runtime. Three kinds:
//   - serial queues made with `create(label)`: blocks run one at a time, in
//     the order they were submitted, on the global pool's threads (a queue
//     owns no thread: an idle queue costs memory only); `sync` onto an idle
//     serial queue runs the block on the calling thread;
//   - the global concurrent pool, `global()`: blocks start in submission
//     order on a pool of worker threads that grows when every worker is busy
//     (up to 64 working threads; a thread waiting in `sync` or on a
//     `DispatchSemaphore` does not count, so blocks that wait on one another
//     always find a thread);
//   - the main queue, `main()`: blocks run on the main thread only, when the
//     main thread's run loop runs (see run_loop.h) or when the main thread
//     calls `drainMain()` (tests, tools without a loop).
//
//   auto queue = DispatchQueue::create("writer");
//   queue->async([] { append(); });                       // returns at once
//   queue->sync([] { flush(); });                         // waits for the block
//   queue->asyncAfter(std::chrono::milliseconds(50), [] { poll(); });
//   DispatchQueue::main()->async([] { updateState(); });
//
// Thread safety: every member may be called from any thread.
// Lifetime: a queue is held by `std::shared_ptr`; every pending block (also
// one waiting in `asyncAfter`) keeps its queue alive, so dropping the last
// outside reference never loses submitted work: the queue ends after its
// last block has run, on whichever thread drops the last reference. Delayed
// blocks wait on one timer thread shared by the process.
// `main()` and `global()` live for the whole process.
// Stops (`fatal`): `sync` onto a queue the calling thread is already running
// a block for (the current serial queue, a queue further up a chain of
// `sync` calls, or the main queue from the main thread: the main thread
// counts as running a main-queue block whatever it runs, be it `main` itself,
// a run-loop timer or a descriptor handler), which could never return; a block submitted with `async` that throws; `drainMain` off the
// main thread. An exception thrown by a `sync` block reaches its caller.
#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

class DispatchQueue : public std::enable_shared_from_this<DispatchQueue> {
 public:
  using Block = std::function<void()>;
  using Clock = std::chrono::steady_clock;

  enum class Kind { serial, concurrent, main };

  // A new serial queue. The label names it in messages only.
  [[nodiscard]] static std::shared_ptr<DispatchQueue> create(std::string label);
  // The queue of the main thread (label "main").
  [[nodiscard]] static std::shared_ptr<DispatchQueue> main();
  // The global concurrent pool (label "global").
  [[nodiscard]] static std::shared_ptr<DispatchQueue> global();

  ~DispatchQueue();
  DispatchQueue(const DispatchQueue&) = delete;  // identity is the pointer
  DispatchQueue& operator=(const DispatchQueue&) = delete;

  [[nodiscard]] const std::string& label() const { return label_; }
  [[nodiscard]] Kind kind() const { return kind_; }

  // Queues `block` and returns at once.
  void async(Block block);
  // Runs `block` on the queue and waits until it has returned. On the global
  // pool the block runs on the calling thread, as it would be free to start
  // there at once.
  void sync(const Block& block);
  // Queues `block` once the steady clock reaches `deadline` (at once when it
  // has already passed). Blocks due at the same time keep their order.
  void asyncAt(Clock::time_point deadline, Block block);
  void asyncAfter(Clock::duration delay, Block block);

  // Runs, on the main thread, the main-queue blocks queued before the call,
  // in order; answers how many ran. Blocks they queue wait for the next call.
  static std::size_t drainMain();

  // True when the calling thread is running a block of `queue` (for the main
  // queue: whenever the calling thread is the main thread).
  [[nodiscard]] static bool isCurrent(const DispatchQueue& queue);

  struct State;

 private:
  struct Passkey {};

 public:
  DispatchQueue(Passkey, std::string label, Kind kind);

 private:
  std::string label_;
  Kind kind_;
  std::shared_ptr<State> state_;  // serial queues only; shared with the drain on the pool
};

}  // namespace vantrel
