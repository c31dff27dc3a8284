#include "vantrel/dispatch/chained_executor.h"

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/main_loop.h"

#include "vantrel/core/thread.h"
#include "vantrel/platform/dispatch/run_loop.h"

namespace vantrel {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// What the steps saw, in order, with the time since the chain began.
struct Log {
  std::mutex mutex;
  std::vector<std::pair<std::string, Clock::duration>> entries;
  Clock::time_point start = Clock::now();
  void add(std::string name) {
    std::lock_guard lock(mutex);
    entries.emplace_back(std::move(name), Clock::now() - start);
  }
  std::vector<std::string> names() {
    std::lock_guard lock(mutex);
    std::vector<std::string> out;
    for (auto& e : entries) out.push_back(e.first);
    return out;
  }
  std::size_t size() {
    std::lock_guard lock(mutex);
    return entries.size();
  }
};

TEST(VantrelChained, PlainStepsRunInOrderOnTheMainQueueEachAfterThePreviousReturned) {
  Log log;
  bool allOnMain = true;
  VantrelChained::create()
      ->after([&] {
        std::this_thread::sleep_for(50ms);
        log.add("first end");
        allOnMain = allOnMain && isMainThread();
      })
      ->after([&] {
        log.add("second");
        allOnMain = allOnMain && isMainThread();
      })
      ->after([&] { log.add("third"); });
  ASSERT_TRUE(testing::runMainLoopUntil([&] { return log.size() == 3; }));
  EXPECT_EQ(log.names(), (std::vector<std::string>{"first end", "second", "third"}));
  EXPECT_TRUE(allOnMain);
}

TEST(VantrelChained, DelaysCountFromTheEndOfThePreviousStep) {
  Log log;
  VantrelChained::create()
      ->delayed(0.2, [&] { log.add("A"); })
      ->delayed(0.2, [&] { log.add("B"); })
      ->after([&] { log.add("C"); });
  ASSERT_TRUE(testing::runMainLoopUntil([&] { return log.size() == 3; }));
  EXPECT_EQ(log.names(), (std::vector<std::string>{"A", "B", "C"}));
  std::lock_guard lock(log.mutex);
  EXPECT_GE(log.entries[0].second, 200ms);
  EXPECT_GE(log.entries[1].second, 400ms);  // not 200: the second delay waits for the first step
  EXPECT_GE(log.entries[2].second, log.entries[1].second);
}

TEST(VantrelChained, ADelayOfZeroOrLessStillWaitsForThePreviousStep) {
  Log log;
  auto queue = DispatchQueue::create("target");
  VantrelChained::create(queue)
      ->after([&] {
        std::this_thread::sleep_for(30ms);
        log.add("slow");
      })
      ->delayed(-1.0, [&] { log.add("negative"); })
      ->delayed(0.0, [&] { log.add("zero"); });
  for (int i = 0; i < 1000 && log.size() < 3; ++i) std::this_thread::sleep_for(5ms);
  EXPECT_EQ(log.names(), (std::vector<std::string>{"slow", "negative", "zero"}));
}

TEST(VantrelChained, ABackgroundTargetRunsEveryBlockThereNeverOnTheMainThread) {
  auto queue = DispatchQueue::create("background");
  std::atomic<int> done{0};
  std::atomic<bool> wrongPlace{false};
  auto check = [&] {
    if (isMainThread() || !DispatchQueue::isCurrent(*queue)) wrongPlace = true;
    ++done;
  };
  VantrelChained::create(queue)->after(check)->delayed(0.01, check)->after(check);
  for (int i = 0; i < 1000 && done.load() < 3; ++i) std::this_thread::sleep_for(5ms);
  EXPECT_EQ(done.load(), 3);
  EXPECT_FALSE(wrongPlace.load());
}

TEST(VantrelChained, AStepAddedByABlockRunsAfterEveryStepAddedBeforeIt) {
  Log log;
  auto queue = DispatchQueue::create("target");
  auto chain = VantrelChained::create(queue);
  chain->after([&, chain] {
    std::this_thread::sleep_for(50ms);  // the test thread adds 2 and 3 meanwhile
    log.add("1");
    chain->after([&] { log.add("added by 1"); });
  });
  chain->after([&] { log.add("2"); })->delayed(0.01, [&] { log.add("3"); });
  for (int i = 0; i < 1000 && log.size() < 4; ++i) std::this_thread::sleep_for(5ms);
  EXPECT_EQ(log.names(), (std::vector<std::string>{"1", "2", "3", "added by 1"}));
}

TEST(VantrelChained, QueuedStepsOutliveTheCallersReference) {
  std::atomic<int> done{0};
  std::weak_ptr<VantrelChained> weak;
  {
    auto chain = VantrelChained::create(DispatchQueue::create("target"));
    weak = chain;
    chain->delayed(0.03, [&] { ++done; })->after([&] { ++done; });
  }
  for (int i = 0; i < 1000 && done.load() < 2; ++i) std::this_thread::sleep_for(5ms);
  EXPECT_EQ(done.load(), 2);
  for (int i = 0; i < 500 && !weak.expired(); ++i) std::this_thread::sleep_for(2ms);
  EXPECT_TRUE(weak.expired());
}

}  // namespace
}  // namespace vantrel
