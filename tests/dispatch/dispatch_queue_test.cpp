#include "vantrel/platform/dispatch/dispatch_queue.h"

#include <sys/eventfd.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/main_loop.h"

#include "vantrel/core/thread.h"
#include "vantrel/platform/dispatch/dispatch_semaphore.h"
#include "vantrel/platform/dispatch/run_loop.h"

namespace vantrel {
namespace {

using namespace std::chrono_literals;

TEST(DispatchQueue, SerialQueueRunsBlocksInOrderOneAtATime) {
  auto queue = DispatchQueue::create("order");
  std::vector<int> seen;  // touched only by the queue, then read after sync
  std::atomic<int> running{0};
  bool overlapped = false;
  for (int i = 0; i < 200; ++i) {
    queue->async([&, i] {
      if (running.fetch_add(1) != 0) overlapped = true;
      if (i % 50 == 0) std::this_thread::sleep_for(1ms);
      seen.push_back(i);
      running.fetch_sub(1);
    });
  }
  queue->sync([] {});
  ASSERT_EQ(seen.size(), 200u);
  for (int i = 0; i < 200; ++i) EXPECT_EQ(seen[static_cast<std::size_t>(i)], i);
  EXPECT_FALSE(overlapped);
  EXPECT_EQ(queue->label(), "order");
}

TEST(DispatchQueue, SyncRunsOnTheQueueAndPassesExceptionsBack) {
  auto queue = DispatchQueue::create("sync");
  bool onQueue = false;
  queue->sync([&] { onQueue = DispatchQueue::isCurrent(*queue); });
  EXPECT_TRUE(onQueue);
  EXPECT_FALSE(DispatchQueue::isCurrent(*queue));
  EXPECT_THROW(queue->sync([] { throw std::runtime_error("boom"); }), std::runtime_error);
  // The queue still works after a throwing block.
  int value = 0;
  queue->sync([&] { value = 7; });
  EXPECT_EQ(value, 7);
}

TEST(DispatchQueueDeathTest, SyncOntoTheCurrentQueueStopsInsteadOfHanging) {
  EXPECT_DEATH(
      {
        auto queue = DispatchQueue::create("self");
        queue->sync([&] { queue->sync([] {}); });
      },
      "sync onto the queue \"self\"");
}

TEST(DispatchQueueDeathTest, SyncBackUpAChainOfSyncCallsStops) {
  EXPECT_DEATH(
      {
        auto a = DispatchQueue::create("a");
        auto b = DispatchQueue::create("b");
        a->sync([&] { b->sync([&] { a->sync([] {}); }); });
      },
      "sync onto the queue \"a\"");
}

TEST(DispatchQueueDeathTest, SyncOntoTheMainQueueFromTheMainThreadStops) {
  ASSERT_TRUE(isMainThread());
  EXPECT_DEATH(DispatchQueue::main()->sync([] {}), "sync onto the queue \"main\"");
}

// The main thread serves the main queue whatever it is running, so a block
// it waits for that syncs back onto the main queue could never start: a stop,
// not a hang. Each chain runs with its first queue idle (the block runs on
// the main thread itself) and busy (the block waits its turn on the pool).
enum class MainThreadEntry { direct, runLoopTimer, readSource };

struct MainChainCase {
  MainThreadEntry entry;
  bool firstQueueBusy;
};

class DispatchQueueMainChainDeathTest : public ::testing::TestWithParam<MainChainCase> {};

void syncThroughTwoQueuesBackToMain(bool firstQueueBusy) {
  auto first = DispatchQueue::create("first");
  auto second = DispatchQueue::create("second");
  if (firstQueueBusy) first->async([] { std::this_thread::sleep_for(50ms); });
  first->sync([&] { second->sync([] { DispatchQueue::main()->sync([] {}); }); });
}

void runChainFromTheMainThread(MainChainCase c) {
  using Clock = std::chrono::steady_clock;
  auto loop = RunLoop::current();
  switch (c.entry) {
    case MainThreadEntry::direct:
      syncThroughTwoQueuesBackToMain(c.firstQueueBusy);
      return;
    case MainThreadEntry::runLoopTimer: {
      auto timer = RunLoopTimer::create(Clock::now(), Clock::duration::zero(),
                                        [c](const std::shared_ptr<RunLoopTimer>&) {
                                          syncThroughTwoQueuesBackToMain(c.firstQueueBusy);
                                        });
      loop->addTimer(timer);
      loop->run(Clock::now() + 10s);
      return;
    }
    case MainThreadEntry::readSource: {
      const int fd = ::eventfd(1, EFD_CLOEXEC | EFD_NONBLOCK);  // readable at once
      auto source = loop->addReadSource(fd, [c] { syncThroughTwoQueuesBackToMain(c.firstQueueBusy); });
      loop->run(Clock::now() + 10s);
      return;
    }
  }
}

TEST_P(DispatchQueueMainChainDeathTest, SyncBackOntoTheMainQueueStops) {
  // A fresh process: a forked child would inherit a pool without its threads.
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  ASSERT_TRUE(isMainThread());
  EXPECT_DEATH(runChainFromTheMainThread(GetParam()), "sync onto the queue \"main\"");
}

INSTANTIATE_TEST_SUITE_P(Chains, DispatchQueueMainChainDeathTest,
                         ::testing::Values(MainChainCase{MainThreadEntry::direct, false},
                                           MainChainCase{MainThreadEntry::direct, true},
                                           MainChainCase{MainThreadEntry::runLoopTimer, false},
                                           MainChainCase{MainThreadEntry::runLoopTimer, true},
                                           MainChainCase{MainThreadEntry::readSource, false},
                                           MainChainCase{MainThreadEntry::readSource, true}));

TEST(DispatchQueueDeathTest, AThrowingAsyncBlockStopsWithItsQueueAndText) {
  EXPECT_DEATH(
      {
        auto queue = DispatchQueue::create("thrower");
        queue->async([] { throw std::runtime_error("lost"); });
        std::this_thread::sleep_for(5s);
      },
      "Uncaught exception in a block on queue \"thrower\": lost");
}

TEST(DispatchQueue, MainQueueRunsOnlyWhenTheMainThreadServesIt) {
  std::atomic<bool> ran{false};
  bool onMain = false;
  DispatchQueue::main()->async([&] {
    onMain = isMainThread();
    ran = true;
  });
  std::this_thread::sleep_for(20ms);
  EXPECT_FALSE(ran.load());  // nobody served it yet
  EXPECT_EQ(DispatchQueue::drainMain(), 1u);
  EXPECT_TRUE(ran.load());
  EXPECT_TRUE(onMain);
  EXPECT_EQ(DispatchQueue::drainMain(), 0u);
}

TEST(DispatchQueue, DrainMainRunsOnlyWhatWasQueuedBeforeIt) {
  int runs = 0;
  DispatchQueue::main()->async([&] {
    ++runs;
    DispatchQueue::main()->async([&] { ++runs; });
  });
  EXPECT_EQ(DispatchQueue::drainMain(), 1u);
  EXPECT_EQ(runs, 1);
  EXPECT_EQ(DispatchQueue::drainMain(), 1u);
  EXPECT_EQ(runs, 2);
}

TEST(DispatchQueueDeathTest, DrainMainOffTheMainThreadStops) {
  EXPECT_DEATH(std::thread([] { (void)DispatchQueue::drainMain(); }).join(), "must be called on the main thread");
}

TEST(DispatchQueue, SyncFromAnotherThreadOntoTheMainQueueRunsOnTheMainThread) {
  std::atomic<bool> finished{false};
  bool onMain = false;
  std::thread worker([&] {
    DispatchQueue::main()->sync([&] { onMain = isMainThread(); });
    finished = true;
  });
  EXPECT_TRUE(testing::runMainLoopUntil([&] { return finished.load(); }));
  worker.join();
  EXPECT_TRUE(onMain);
}

TEST(DispatchQueue, AsyncAfterWaitsForItsDeadlineAndKeepsOrderOfEqualDeadlines) {
  auto queue = DispatchQueue::create("later");
  std::mutex mutex;
  std::vector<int> order;
  const auto start = std::chrono::steady_clock::now();
  const auto deadline = start + 80ms;
  std::chrono::steady_clock::time_point firstRan;
  auto done = std::make_shared<DispatchSemaphore>(0);
  for (int i = 0; i < 3; ++i) {
    queue->asyncAt(deadline, [&, i] {
      std::lock_guard lock(mutex);
      if (i == 0) firstRan = std::chrono::steady_clock::now();
      order.push_back(i);
      if (i == 2) done->signal();
    });
  }
  queue->asyncAfter(10ms, [&] {
    std::lock_guard lock(mutex);
    order.push_back(-1);  // earlier deadline, added later: runs first
  });
  ASSERT_TRUE(done->waitFor(5s));
  std::lock_guard lock(mutex);
  EXPECT_EQ(order, (std::vector<int>{-1, 0, 1, 2}));
  EXPECT_GE(firstRan - start, 80ms);
}

TEST(DispatchQueue, APendingDelayedBlockKeepsItsQueueAlive) {
  auto done = std::make_shared<DispatchSemaphore>(0);
  std::weak_ptr<DispatchQueue> weak;
  {
    auto queue = DispatchQueue::create("kept");
    weak = queue;
    queue->asyncAfter(30ms, [done] { done->signal(); });
  }
  EXPECT_FALSE(weak.expired());
  ASSERT_TRUE(done->waitFor(5s));
  for (int i = 0; i < 500 && !weak.expired(); ++i) std::this_thread::sleep_for(2ms);
  EXPECT_TRUE(weak.expired());
}

TEST(DispatchQueue, DroppingTheLastReferenceInsideItsOwnBlockEndsCleanly) {
  auto done = std::make_shared<DispatchSemaphore>(0);
  auto holder = std::make_shared<std::shared_ptr<DispatchQueue>>(DispatchQueue::create("self-release"));
  std::weak_ptr<DispatchQueue> weak = *holder;
  (*holder)->async([holder, done] {
    holder->reset();  // the pending item still holds the queue
    done->signal();
  });
  holder.reset();
  ASSERT_TRUE(done->waitFor(5s));
  for (int i = 0; i < 500 && !weak.expired(); ++i) std::this_thread::sleep_for(2ms);
  EXPECT_TRUE(weak.expired());  // destroyed on its own worker, which was detached
}

TEST(DispatchQueue, GlobalPoolGrowsSoBlocksWaitingForLaterBlocksFinish) {
  // Twice as many blocks as cores, each waiting until all have started: a
  // fixed pool the size of the machine would never finish.
  const int count = static_cast<int>(std::max(2u, std::thread::hardware_concurrency())) * 2;
  std::atomic<int> started{0};
  auto finished = std::make_shared<DispatchSemaphore>(0);
  for (int i = 0; i < count; ++i) {
    DispatchQueue::global()->async([&, finished] {
      started.fetch_add(1);
      const auto limit = std::chrono::steady_clock::now() + 10s;
      while (started.load() < count && std::chrono::steady_clock::now() < limit) std::this_thread::sleep_for(1ms);
      finished->signal();
    });
  }
  for (int i = 0; i < count; ++i) ASSERT_TRUE(finished->waitFor(10s));
  EXPECT_EQ(started.load(), count);
}

TEST(DispatchQueue, SyncOnTheGlobalPoolRunsOnTheCallingThread) {
  std::thread::id ranOn;
  DispatchQueue::global()->sync([&] { ranOn = std::this_thread::get_id(); });
  EXPECT_EQ(ranOn, std::this_thread::get_id());
}

TEST(DispatchSemaphore, CountsSignalsAndTimesOut) {
  DispatchSemaphore semaphore(1);
  EXPECT_TRUE(semaphore.waitFor(0ms));
  EXPECT_FALSE(semaphore.waitFor(20ms));
  semaphore.signal();
  semaphore.signal();
  semaphore.wait();
  EXPECT_TRUE(semaphore.waitUntil(std::chrono::steady_clock::now()));
}

// "Wait forever" spelled as the largest duration must wait, not overflow
// into the past and time out at once.
TEST(DispatchSemaphore, AnUnboundedTimedWaitWaitsUntilSignalled) {
  using Clock = std::chrono::steady_clock;
  const std::vector<std::function<bool(DispatchSemaphore&)>> waits = {
      [](DispatchSemaphore& s) { return s.waitFor(Clock::duration::max()); },
      [](DispatchSemaphore& s) { return s.waitUntil(Clock::time_point::max()); },
  };
  for (std::size_t i = 0; i < waits.size(); ++i) {
    DispatchSemaphore semaphore(0);
    const auto start = Clock::now();
    std::thread signaller([&] {
      std::this_thread::sleep_for(50ms);
      semaphore.signal();
    });
    EXPECT_TRUE(waits[i](semaphore)) << "wait " << i;
    EXPECT_GE(Clock::now() - start, 45ms) << "wait " << i;
    signaller.join();
  }
}

TEST(DispatchSemaphoreDeathTest, ANegativeStartStops) {
  EXPECT_DEATH(DispatchSemaphore(-1), "starting value of 0 or more");
}

}  // namespace
}  // namespace vantrel
