#include "vantrel/platform/dispatch/dispatch_queue.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <iterator>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "vantrel/core/deadline.h"
#include "vantrel/core/error.h"
#include "vantrel/core/fatal.h"
#include "vantrel/core/no_destructor.h"
#include "vantrel/core/thread.h"
#include "vantrel/platform/dispatch/internal/blocking_wait.h"
#include "vantrel/platform/dispatch/internal/main_queue.h"
#include "vantrel/platform/posix/unique_fd.h"
#include "vantrel/platform/posix/write_all.h"

namespace vantrel {

namespace {

using Held = std::vector<const DispatchQueue*>;

// The queues whose blocks the calling thread is running, outermost first. A
// block run for `sync` inherits its caller's list, so a sync that would wait
// on any queue further up the chain is caught instead of hanging. The list
// lives in the innermost running block's frame; the thread keeps only a
// pointer to it, which needs no destructor, so a thread_local destructor or
// an exit handler that runs a block still finds a list.
constinit thread_local const Held* tHeld = nullptr;

struct Item {
  DispatchQueue::Block block;
  Held held;                               // the caller's list, for sync blocks
  std::shared_ptr<DispatchQueue> keepAlive;  // pending work keeps its queue
};

class HeldScope {
 public:
  HeldScope(Held held, const DispatchQueue* queue) : held_(std::move(held)), saved_(tHeld) {
    held_.push_back(queue);
    tHeld = &held_;
  }
  ~HeldScope() { tHeld = saved_; }
  HeldScope(const HeldScope&) = delete;
  HeldScope& operator=(const HeldScope&) = delete;

 private:
  Held held_;
  const Held* saved_;
};

void runItem(Item& item, const DispatchQueue* queue, const std::string& label) {
  HeldScope scope(std::move(item.held), queue);
  try {
    item.block();
  } catch (const std::exception& e) {
    fatal("Uncaught exception in a block on queue \"" + label + "\": " + errorDescription(e));
  } catch (...) {
    fatal("Uncaught exception in a block on queue \"" + label + "\"");
  }
}

const DispatchQueue* mainQueueIdentity() {
  static const DispatchQueue* const identity = DispatchQueue::main().get();
  return identity;
}

// The list a `sync` hands to the block it waits for. The main thread serves
// the main queue whenever it runs anything (a run-loop timer, a descriptor
// handler, a plain call from `main`), so a block it waits for that syncs
// back onto the main queue could never start: the main queue counts as held.
Held heldForSync() {
  Held held = tHeld != nullptr ? *tHeld : Held();
  if (isMainThread()) {
    const DispatchQueue* mainQueue = mainQueueIdentity();
    if (std::find(held.begin(), held.end(), mainQueue) == held.end()) held.insert(held.begin(), mainQueue);
  }
  return held;
}

// ---- main queue -----------------------------------------------------------

struct MainQueue {
  std::mutex mutex;
  std::deque<Item> items;
  posix::UniqueFd wakeFd;

  MainQueue() : wakeFd(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {
    if (!wakeFd) fatal("Cannot create the main queue's wake-up descriptor");
  }
};

MainQueue& mainQueue() {
  static NoDestructor<MainQueue> instance;  // blocks may be queued while the process exits
  return *instance;
}

void wakeMain(int fd) {
  const std::uint64_t one = 1;
  // A full counter (EAGAIN) is still readable, so the wake-up is not lost.
  (void)posix::writeAll(fd, &one, sizeof one);
}

void clearWake(int fd) {
  std::uint64_t value = 0;
  while (::read(fd, &value, sizeof value) < 0 && errno == EINTR) {
  }
}

}  // namespace

// ---- serial queues --------------------------------------------------------

// A serial queue is a list of blocks and a flag: while `draining` is set, one
// task on the global pool (or one caller of `sync`) is taking blocks off the
// list, so no second one starts. The queue owns no thread.
struct DispatchQueue::State {
  std::mutex mutex;
  std::deque<Item> items;
  bool draining = false;
};

namespace {

// ---- global pool ----------------------------------------------------------

// A unit of pool work: a block of the global queue, or a turn at draining a
// serial queue.
struct PoolTask {
  Item item;
  std::shared_ptr<DispatchQueue::State> serial;
};

struct Pool {
  std::mutex mutex;
  std::condition_variable available;
  std::deque<PoolTask> tasks;
  int workers = 0;
  int idle = 0;
  int blocked = 0;          // workers inside a BlockingWait
  std::uint64_t taken = 0;  // tasks started so far, for the stall check
  bool saturated = false;   // work waits while the working limit is reached
  bool supervisorStarted = false;
  std::condition_variable supervisorWake;
};

// Threads are started while work waits and none is free, up to this many
// that are not blocked in a wait the runtime knows of (`sync`, semaphores):
// those are not counted, so blocks that wait on one another always find a
// thread. A block may also wait in a way the runtime cannot see (a lock, a
// file lock, a sleep); the supervisor then adds a thread whenever work has
// waited kStallInterval without any task starting, so nothing waits forever
// for a thread, and a burst of busy blocks stays near the number of cores.
int maxWorkingThreads() {
  static const int limit = static_cast<int>(std::max(8u, 2 * std::thread::hardware_concurrency()));
  return limit;
}
constexpr auto kStallInterval = std::chrono::milliseconds(10);
constexpr auto kIdleRetirement = std::chrono::seconds(20);

// A serial queue's drain gives its thread back after this many blocks when
// other work is waiting for a thread, so a busy queue cannot starve the rest.
constexpr int kDrainBatch = 64;
constexpr int kLingerTurns = 8;

thread_local bool tPoolWorker = false;

Pool& pool() {
  static NoDestructor<Pool> instance;  // workers outlive every static destructor
  return *instance;
}

void drainSerial(const std::shared_ptr<DispatchQueue::State>& state);

void poolWorker() {
  tPoolWorker = true;
  Pool& p = pool();
  const DispatchQueue* global = DispatchQueue::global().get();
  for (;;) {
    PoolTask task;
    {
      std::unique_lock lock(p.mutex);
      ++p.idle;
      while (p.tasks.empty()) {
        // Threads added for a burst of waiting blocks leave once idle.
        if (!p.available.wait_for(lock, kIdleRetirement, [&] { return !p.tasks.empty(); }) &&
            p.workers > maxWorkingThreads()) {
          --p.idle;
          --p.workers;
          return;
        }
      }
      --p.idle;
      ++p.taken;
      task = std::move(p.tasks.front());
      p.tasks.pop_front();
    }
    if (task.serial) {
      drainSerial(task.serial);
    } else {
      runItem(task.item, global, "global");
    }
  }
}

// Under the pool's lock: whether queued work has no thread to take it.
bool waitsForThread(const Pool& p) { return p.idle < static_cast<int>(p.tasks.size()); }

bool needsThread(const Pool& p) { return waitsForThread(p) && p.workers - p.blocked < maxWorkingThreads(); }

void poolSupervisor() {
  Pool& p = pool();
  std::unique_lock lock(p.mutex);
  for (;;) {
    p.supervisorWake.wait(lock, [&] { return p.saturated; });
    const std::uint64_t seen = p.taken;
    p.supervisorWake.wait_for(lock, kStallInterval);
    if (!waitsForThread(p)) {
      p.saturated = false;
      continue;
    }
    if (p.taken == seen) {
      ++p.workers;
      std::thread(poolWorker).detach();
    }
  }
}

// Under the pool's lock, after a task was queued or a worker started to
// wait: whether the caller must start a thread (once the lock is released).
bool startThreadIfNeeded(Pool& p) {
  if (needsThread(p)) {
    ++p.workers;
    return true;
  }
  if (waitsForThread(p) && !p.saturated) {
    p.saturated = true;
    if (!p.supervisorStarted) {
      p.supervisorStarted = true;
      std::thread(poolSupervisor).detach();
    }
    p.supervisorWake.notify_one();
  }
  return false;
}

void submit(PoolTask task) {
  Pool& p = pool();
  bool spawn = false;
  {
    std::lock_guard lock(p.mutex);
    p.tasks.push_back(std::move(task));
    spawn = startThreadIfNeeded(p);
  }
  if (spawn) std::thread(poolWorker).detach();
  p.available.notify_one();
}

// Whether tasks wait for a thread with none free.
bool poolIsBacklogged() {
  Pool& p = pool();
  std::lock_guard lock(p.mutex);
  return p.idle == 0 && !p.tasks.empty();
}

void drainSerial(const std::shared_ptr<DispatchQueue::State>& state) {
  // Blocks are taken in batches (all that are queued), so senders and the
  // drain meet on the queue's lock once per batch, not once per block.
  std::deque<Item> batch;
  int ran = 0;
  for (;;) {
    {
      std::unique_lock lock(state->mutex);
      // A queue fed in a stream often runs dry for a moment only: wait a
      // few turns of the scheduler before giving the thread back, rather
      // than pay for a new pool task at the next block.
      for (int turn = 0; turn < kLingerTurns && state->items.empty(); ++turn) {
        lock.unlock();
        std::this_thread::yield();
        lock.lock();
      }
      if (state->items.empty()) {
        state->draining = false;
        return;
      }
      batch.swap(state->items);
    }
    while (!batch.empty()) {
      if (ran >= kDrainBatch) {
        ran = 0;
        if (poolIsBacklogged()) {
          // Still marked draining: the queued turn continues where this stops.
          {
            std::lock_guard lock(state->mutex);
            state->items.insert(state->items.begin(), std::make_move_iterator(batch.begin()),
                                std::make_move_iterator(batch.end()));
          }
          batch.clear();
          submit(PoolTask{{}, state});
          return;
        }
      }
      Item item = std::move(batch.front());
      batch.pop_front();
      ++ran;
      // The item holds its queue, so pointer and label stay valid while it runs.
      const DispatchQueue* queue = item.keepAlive.get();
      runItem(item, queue, queue->label());
      // Dropping the item may drop the queue's last reference; `state` is ours.
    }
  }
}

// ---- timer heap -----------------------------------------------------------

struct TimerEntry {
  DispatchQueue::Clock::time_point deadline;
  std::uint64_t sequence;
  std::shared_ptr<DispatchQueue> queue;
  DispatchQueue::Block block;
};

// Heap order: earliest deadline on top, then submission order.
bool later(const TimerEntry& a, const TimerEntry& b) {
  if (a.deadline != b.deadline) return a.deadline > b.deadline;
  return a.sequence > b.sequence;
}

// One thread for every delayed block of the process: a block due far in the
// future holds no thread of its own.
struct TimerHeap {
  std::mutex mutex;
  std::condition_variable changed;
  std::vector<TimerEntry> entries;
  std::uint64_t nextSequence = 0;
  bool started = false;
};

TimerHeap& timerHeap() {
  static NoDestructor<TimerHeap> instance;  // its thread never ends
  return *instance;
}

void timerThread() {
  TimerHeap& heap = timerHeap();
  std::unique_lock lock(heap.mutex);
  for (;;) {
    if (heap.entries.empty()) {
      heap.changed.wait(lock);
      continue;
    }
    const auto deadline = heap.entries.front().deadline;
    if (DispatchQueue::Clock::now() < deadline) {
      heap.changed.wait_until(lock, deadline);
      continue;
    }
    std::pop_heap(heap.entries.begin(), heap.entries.end(), later);
    TimerEntry entry = std::move(heap.entries.back());
    heap.entries.pop_back();
    lock.unlock();
    entry.queue->async(std::move(entry.block));
    entry = {};  // may release the queue; not under the heap's lock
    lock.lock();
  }
}

}  // namespace

runtime_internal::BlockingWait::BlockingWait() : counted_(tPoolWorker) {
  if (!counted_) return;
  Pool& p = pool();
  bool spawn = false;
  {
    std::lock_guard lock(p.mutex);
    ++p.blocked;
    spawn = startThreadIfNeeded(p);
  }
  if (spawn) std::thread(poolWorker).detach();
}

runtime_internal::BlockingWait::~BlockingWait() {
  if (!counted_) return;
  Pool& p = pool();
  std::lock_guard lock(p.mutex);
  --p.blocked;
}

DispatchQueue::DispatchQueue(Passkey, std::string label, Kind kind)
    : label_(std::move(label)), kind_(kind) {
  if (kind_ == Kind::serial) state_ = std::make_shared<State>();
}

// Pending blocks hold the queue, so none is left here; a drain that is just
// finishing holds the state, not the queue.
DispatchQueue::~DispatchQueue() = default;

std::shared_ptr<DispatchQueue> DispatchQueue::create(std::string label) {
  return std::make_shared<DispatchQueue>(Passkey{}, std::move(label), Kind::serial);
}

std::shared_ptr<DispatchQueue> DispatchQueue::main() {
  static const NoDestructor<std::shared_ptr<DispatchQueue>> instance(
      std::make_shared<DispatchQueue>(Passkey{}, "main", Kind::main));
  return *instance;
}

std::shared_ptr<DispatchQueue> DispatchQueue::global() {
  static const NoDestructor<std::shared_ptr<DispatchQueue>> instance(
      std::make_shared<DispatchQueue>(Passkey{}, "global", Kind::concurrent));
  return *instance;
}

namespace {

void enqueue(DispatchQueue& queue, const std::shared_ptr<DispatchQueue::State>& state, Item item) {
  switch (queue.kind()) {
    case DispatchQueue::Kind::main: {
      MainQueue& m = mainQueue();
      {
        std::lock_guard lock(m.mutex);
        m.items.push_back(std::move(item));
      }
      wakeMain(m.wakeFd.get());
      return;
    }
    case DispatchQueue::Kind::concurrent:
      submit(PoolTask{std::move(item), nullptr});
      return;
    case DispatchQueue::Kind::serial: {
      bool startDrain = false;
      {
        std::lock_guard lock(state->mutex);
        state->items.push_back(std::move(item));
        if (!state->draining) {
          state->draining = true;
          startDrain = true;
        }
      }
      if (startDrain) submit(PoolTask{{}, state});
      return;
    }
  }
}

}  // namespace

void DispatchQueue::async(Block block) {
  if (!block) return;
  enqueue(*this, state_, Item{std::move(block), {}, shared_from_this()});
}

void DispatchQueue::sync(const Block& block) {
  if (!block) return;
  if (kind_ == Kind::concurrent) {
    block();
    return;
  }
  if (isCurrent(*this)) {
    fatal("sync onto the queue \"" + label_ +
          "\" from a block it is running (directly or through other sync calls) would never return");
  }
  Held held = heldForSync();
  if (kind_ == Kind::serial) {
    // An idle serial queue runs the block on the caller's thread: nothing is
    // ahead of it and nothing can start beside it while `draining` is set.
    bool inlineRun = false;
    {
      std::lock_guard lock(state_->mutex);
      if (!state_->draining) {
        state_->draining = true;
        inlineRun = true;
      }
    }
    if (inlineRun) {
      const auto self = shared_from_this();
      std::exception_ptr error;
      {
        HeldScope scope(std::move(held), this);
        try {
          block();
        } catch (...) {
          error = std::current_exception();
        }
      }
      bool startDrain = false;
      {
        std::lock_guard lock(state_->mutex);
        if (state_->items.empty()) {
          state_->draining = false;
        } else {
          startDrain = true;  // blocks queued meanwhile: hand the turn to the pool
        }
      }
      if (startDrain) submit(PoolTask{{}, state_});
      if (error) std::rethrow_exception(error);
      return;
    }
  }
  std::mutex mutex;
  std::condition_variable finished;
  bool done = false;
  std::exception_ptr error;
  auto run = [&] {
    try {
      block();
    } catch (...) {
      error = std::current_exception();
    }
    std::lock_guard lock(mutex);
    done = true;
    finished.notify_one();
  };
  enqueue(*this, state_, Item{run, std::move(held), shared_from_this()});
  runtime_internal::BlockingWait blocking;
  std::unique_lock lock(mutex);
  finished.wait(lock, [&] { return done; });
  lock.unlock();
  if (error) std::rethrow_exception(error);
}

void DispatchQueue::asyncAt(Clock::time_point deadline, Block block) {
  if (!block) return;
  if (deadline <= Clock::now()) {
    async(std::move(block));
    return;
  }
  TimerHeap& heap = timerHeap();
  {
    std::lock_guard lock(heap.mutex);
    heap.entries.push_back(TimerEntry{deadline, heap.nextSequence++, shared_from_this(), std::move(block)});
    std::push_heap(heap.entries.begin(), heap.entries.end(), later);
    if (!heap.started) {
      heap.started = true;
      std::thread(timerThread).detach();
    }
  }
  heap.changed.notify_one();
}

void DispatchQueue::asyncAfter(Clock::duration delay, Block block) {
  asyncAt(deadlineAfter(delay), std::move(block));
}

std::size_t DispatchQueue::drainMain() {
  if (!isMainThread()) fatal("DispatchQueue::drainMain() must be called on the main thread");
  MainQueue& m = mainQueue();
  std::deque<Item> batch;
  {
    std::lock_guard lock(m.mutex);
    clearWake(m.wakeFd.get());
    batch.swap(m.items);
  }
  const DispatchQueue* queue = main().get();
  std::size_t count = 0;
  for (Item& item : batch) {
    runItem(item, queue, "main");
    item = {};
    ++count;
  }
  return count;
}

bool DispatchQueue::isCurrent(const DispatchQueue& queue) {
  if (queue.kind_ == Kind::main && isMainThread()) return true;
  return tHeld != nullptr && std::find(tHeld->begin(), tHeld->end(), &queue) != tHeld->end();
}

int runtime_internal::mainQueueWakeDescriptor() { return mainQueue().wakeFd.get(); }

}  // namespace vantrel
