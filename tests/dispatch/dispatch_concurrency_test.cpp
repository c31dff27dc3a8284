// Run under ThreadSanitizer too: races here are the faults looked for.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "vantrel/dispatch/chained_executor.h"
#include "vantrel/dispatch/dispatch_helpers.h"
#include "vantrel/platform/dispatch/dispatch_queue.h"
#include "vantrel/platform/dispatch/dispatch_semaphore.h"
#include "vantrel/platform/dispatch/run_loop.h"

namespace vantrel {
namespace {

using namespace std::chrono_literals;
constexpr int kThreads = 8;

TEST(DispatchConcurrency, AOnceTokensBlockRunsExactlyOnceFromEightThreads) {
  for (int round = 0; round < 50; ++round) {
    std::atomic<int> runs{0};
    std::atomic<bool> go{false};
    static std::atomic<int> counter{0};  // fresh tokens on every repetition
    const std::string token = "concurrency.once." + std::to_string(counter.fetch_add(1));
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
      threads.emplace_back([&] {
        while (!go.load()) std::this_thread::yield();
        once(token, [&] { runs.fetch_add(1); });
      });
    }
    go = true;
    for (auto& th : threads) th.join();
    ASSERT_EQ(runs.load(), 1) << "round " << round;
  }
}

TEST(DispatchConcurrency, SerialQueueKeepsEachSendersOrderUnderContention) {
  auto queue = DispatchQueue::create("contended");
  constexpr int kPerThread = 500;
  std::vector<std::vector<int>> seen(kThreads);  // only the queue writes
  std::atomic<int> active{0};
  std::atomic<bool> overlapped{false};
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < kPerThread; ++i) {
        queue->async([&, t, i] {
          if (active.fetch_add(1) != 0) overlapped = true;
          seen[static_cast<std::size_t>(t)].push_back(i);
          active.fetch_sub(1);
        });
      }
    });
  }
  for (auto& th : threads) th.join();
  queue->sync([] {});
  EXPECT_FALSE(overlapped.load());
  for (int t = 0; t < kThreads; ++t) {
    const auto& got = seen[static_cast<std::size_t>(t)];
    ASSERT_EQ(got.size(), static_cast<std::size_t>(kPerThread));
    for (int i = 0; i < kPerThread; ++i) ASSERT_EQ(got[static_cast<std::size_t>(i)], i);
  }
}

TEST(DispatchConcurrency, ChainedStepsAddedFromSeveralThreadsRunOneAtATimeInOrder) {
  auto target = DispatchQueue::create("chain-target");
  auto chain = VantrelChained::create(target);
  constexpr int kPerThread = 100;
  std::mutex mutex;
  std::vector<std::pair<int, int>> ran;  // (thread, index)
  std::atomic<int> active{0};
  std::atomic<bool> overlapped{false};
  auto finished = std::make_shared<DispatchSemaphore>(0);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < kPerThread; ++i) {
        auto step = [&, t, i, finished] {
          if (active.fetch_add(1) != 0) overlapped = true;
          {
            std::lock_guard lock(mutex);
            ran.emplace_back(t, i);
          }
          active.fetch_sub(1);
          finished->signal();
        };
        if (i % 10 == 0) {
          chain->delayed(0.0005, step);
        } else {
          chain->after(step);
        }
      }
    });
  }
  for (auto& th : threads) th.join();
  for (int k = 0; k < kThreads * kPerThread; ++k) ASSERT_TRUE(finished->waitFor(20s));
  EXPECT_FALSE(overlapped.load());
  std::lock_guard lock(mutex);
  std::vector<int> next(kThreads, 0);
  for (const auto& [t, i] : ran) ASSERT_EQ(i, next[static_cast<std::size_t>(t)]++) << "thread " << t;
}

TEST(DispatchConcurrency, TriggerRacingTheDelayedRunGivesOneOfTheTwoOrders) {
  for (int round = 0; round < 200; ++round) {
    std::mutex mutex;
    std::vector<bool> flags;
    auto trigger = qdispatch::onMainQueueDelayedOrManual(0, [&](bool flag) {
      std::lock_guard lock(mutex);
      flags.push_back(flag);
    });
    std::atomic<bool> triggered{false};
    std::thread racer([&] {
      trigger(true);
      triggered = true;
    });
    // Serve the main queue while the trigger races it, until the delayed run
    // has surely been taken off the queue (a later block marks it).
    std::atomic<bool> marker{false};
    DispatchQueue::main()->asyncAfter(0ms, [&] { marker = true; });
    const auto limit = std::chrono::steady_clock::now() + 10s;
    while ((!marker.load() || !triggered.load()) && std::chrono::steady_clock::now() < limit) {
      RunLoop::current()->run(std::chrono::steady_clock::now() + 1ms);
    }
    racer.join();
    std::lock_guard lock(mutex);
    // The trigger runs the closure once with true either way; the delayed run
    // adds one run with false only when it emptied the slot first (that run
    // and the trigger's may overlap, so their order is not fixed).
    const auto trues = std::count(flags.begin(), flags.end(), true);
    const auto falses = std::count(flags.begin(), flags.end(), false);
    ASSERT_EQ(trues, 1) << "round " << round;
    ASSERT_LE(falses, 1) << "round " << round;
  }
}

TEST(DispatchConcurrency, QueuesMadeAndDroppedFromManyThreadsEndCleanly) {
  std::atomic<int> ran{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&] {
      for (int i = 0; i < 50; ++i) {
        auto queue = DispatchQueue::create("short-lived");
        queue->async([&] { ran.fetch_add(1); });
        if (i % 2 == 0) queue->sync([] {});
      }  // dropped with work pending about half the time
    });
  }
  for (auto& th : threads) th.join();
  for (int i = 0; i < 2000 && ran.load() < kThreads * 50; ++i) std::this_thread::sleep_for(5ms);
  EXPECT_EQ(ran.load(), kThreads * 50);
}

}  // namespace
}  // namespace vantrel
