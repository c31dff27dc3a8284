#include "vantrel/platform/dispatch/dispatch_queue.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "vantrel/core/error.h"
#include "vantrel/core/fatal.h"
#include "vantrel/core/thread.h"
#include "vantrel/platform/dispatch/internal/main_queue.h"

namespace vantrel {

namespace {

using Held = std::vector<const DispatchQueue*>;

// The queues whose blocks the calling thread is running, outermost first. A
// block run for `sync` inherits its caller's list, so a sync that would wait
// on any queue further up the chain is caught instead of hanging.
thread_local Held tHeld;

struct Item {
  DispatchQueue::Block block;
  Held held;                               // the caller's list, for sync blocks
  std::shared_ptr<DispatchQueue> keepAlive;  // pending work keeps its queue
};

class HeldScope {
 public:
  HeldScope(Held held, const DispatchQueue* queue) : saved_(std::move(tHeld)) {
    tHeld = std::move(held);
    tHeld.push_back(queue);
  }
  ~HeldScope() { tHeld = std::move(saved_); }
  HeldScope(const HeldScope&) = delete;
  HeldScope& operator=(const HeldScope&) = delete;

 private:
  Held saved_;
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

// ---- main queue -----------------------------------------------------------

struct MainQueue {
  std::mutex mutex;
  std::deque<Item> items;
  int wakeFd = -1;
};

MainQueue& mainQueue() {
  // Never destroyed: blocks may be queued while the process exits.
  static MainQueue* instance = [] {
    auto* q = new MainQueue;
    q->wakeFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (q->wakeFd < 0) fatal("Cannot create the main queue's wake-up descriptor");
    return q;
  }();
  return *instance;
}

void wakeMain(int fd) {
  const std::uint64_t one = 1;
  // A full counter (EAGAIN) is still readable, so the wake-up is not lost.
  while (::write(fd, &one, sizeof one) < 0 && errno == EINTR) {
  }
}

void clearWake(int fd) {
  std::uint64_t value = 0;
  while (::read(fd, &value, sizeof value) < 0 && errno == EINTR) {
  }
}

// ---- global pool ----------------------------------------------------------

struct Pool {
  std::mutex mutex;
  std::condition_variable available;
  std::deque<Item> items;
  int workers = 0;
  int idle = 0;
};

// Blocks on the pool may wait for one another (a delay waiting for a later
// block), so the pool grows instead of starving; the cap only guards against
// a runaway.
constexpr int kMaxPoolWorkers = 64;

Pool& pool() {
  static Pool* instance = new Pool;  // workers outlive every static destructor
  return *instance;
}

void poolWorker(const DispatchQueue* global) {
  Pool& p = pool();
  for (;;) {
    Item item;
    {
      std::unique_lock lock(p.mutex);
      ++p.idle;
      p.available.wait(lock, [&] { return !p.items.empty(); });
      --p.idle;
      item = std::move(p.items.front());
      p.items.pop_front();
    }
    runItem(item, global, "global");
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

struct TimerHeap {
  std::mutex mutex;
  std::condition_variable changed;
  std::vector<TimerEntry> entries;
  std::uint64_t nextSequence = 0;
  bool started = false;
};

TimerHeap& timerHeap() {
  static TimerHeap* instance = new TimerHeap;  // its thread never ends
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

// ---- serial queues --------------------------------------------------------

struct DispatchQueue::State {
  std::mutex mutex;
  std::condition_variable available;
  std::deque<Item> items;
  bool closing = false;
  std::thread worker;
};

namespace {

void serialWorker(std::shared_ptr<DispatchQueue::State> state, const DispatchQueue* queue,
                  std::string label) {
  for (;;) {
    Item item;
    {
      std::unique_lock lock(state->mutex);
      state->available.wait(lock, [&] { return !state->items.empty() || state->closing; });
      if (state->items.empty()) return;
      item = std::move(state->items.front());
      state->items.pop_front();
    }
    runItem(item, queue, label);
    // Dropping the item may drop the queue's last reference; the destructor
    // then runs here, detaches this thread and the loop ends on `closing`.
    item = {};
  }
}

}  // namespace

DispatchQueue::DispatchQueue(Passkey, std::string label, Kind kind)
    : label_(std::move(label)), kind_(kind) {
  if (kind_ == Kind::serial) state_ = std::make_shared<State>();
}

DispatchQueue::~DispatchQueue() {
  if (!state_) return;
  std::thread worker;
  {
    std::lock_guard lock(state_->mutex);
    state_->closing = true;
    worker = std::move(state_->worker);
  }
  state_->available.notify_all();
  if (!worker.joinable()) return;
  // Pending blocks hold the queue, so none is left: the worker is idle, or
  // it is this very thread finishing the block that held the last reference.
  if (worker.get_id() == std::this_thread::get_id()) {
    worker.detach();
  } else {
    worker.join();
  }
}

std::shared_ptr<DispatchQueue> DispatchQueue::create(std::string label) {
  return std::make_shared<DispatchQueue>(Passkey{}, std::move(label), Kind::serial);
}

std::shared_ptr<DispatchQueue> DispatchQueue::main() {
  static auto* instance =
      new std::shared_ptr<DispatchQueue>(std::make_shared<DispatchQueue>(Passkey{}, "main", Kind::main));
  return *instance;
}

std::shared_ptr<DispatchQueue> DispatchQueue::global() {
  static auto* instance = new std::shared_ptr<DispatchQueue>(
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
      wakeMain(m.wakeFd);
      return;
    }
    case DispatchQueue::Kind::concurrent: {
      Pool& p = pool();
      bool spawn = false;
      {
        std::lock_guard lock(p.mutex);
        p.items.push_back(std::move(item));
        if (p.idle < static_cast<int>(p.items.size()) && p.workers < kMaxPoolWorkers) {
          ++p.workers;
          spawn = true;
        }
      }
      if (spawn) std::thread(poolWorker, &queue).detach();
      p.available.notify_one();
      return;
    }
    case DispatchQueue::Kind::serial: {
      {
        std::lock_guard lock(state->mutex);
        state->items.push_back(std::move(item));
        if (!state->worker.joinable()) {
          state->worker = std::thread(serialWorker, state, &queue, queue.label());
        }
      }
      state->available.notify_one();
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
  enqueue(*this, state_, Item{run, tHeld, shared_from_this()});
  {
    std::unique_lock lock(mutex);
    finished.wait(lock, [&] { return done; });
  }
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
  const auto now = Clock::now();
  // Saturate instead of overflowing the clock for huge delays.
  const auto deadline =
      delay > Clock::time_point::max() - now ? Clock::time_point::max() : now + delay;
  asyncAt(deadline, std::move(block));
}

std::size_t DispatchQueue::drainMain() {
  if (!isMainThread()) fatal("DispatchQueue::drainMain() must be called on the main thread");
  MainQueue& m = mainQueue();
  std::deque<Item> batch;
  {
    std::lock_guard lock(m.mutex);
    clearWake(m.wakeFd);
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
  return std::find(tHeld.begin(), tHeld.end(), &queue) != tHeld.end();
}

int runtime_internal::mainQueueWakeDescriptor() { return mainQueue().wakeFd; }

}  // namespace vantrel
