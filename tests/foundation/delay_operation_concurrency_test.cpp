#include <atomic>
#include <chrono>
#include <filesystem>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "vantrel/foundation/operations/asynchronous_block_operation.h"
#include "vantrel/foundation/operations/delay_operation.h"
#include "vantrel/platform/dispatch/dispatch_queue.h"
#include "vantrel/platform/dispatch/dispatch_semaphore.h"

namespace vantrel {
namespace {

using namespace std::chrono_literals;
using Errors = VtOperation::Errors;

std::size_t threadCount() {
  std::size_t count = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/task")) ++count;
  return count;
}

TEST(DelayOperationConcurrencyTest, CancelRacingTheDeadlineFinishesOnce) {
  for (int round = 0; round < 300; ++round) {
    auto op = std::make_shared<VtDelayOperation>(0.001);
    std::atomic<int> handlers = 0;
    std::atomic<int> announced = 0;
    auto done = std::make_shared<DispatchSemaphore>(0);
    op->addOnFinishedBlock([&handlers](VtOperation&, const Errors&) { ++handlers; });
    op->addObserver("isFinished", [&announced, done](Operation& o, std::string_view, bool prior) {
      if (prior || !o.isFinished()) return;
      ++announced;
      done->signal();
    });
    op->start();
    // Around the deadline: sometimes before it, sometimes after, sometimes
    // on top of it.
    std::this_thread::sleep_for(std::chrono::microseconds(round % 3 * 500 + round % 7 * 30));
    op->cancel();
    ASSERT_TRUE(done->waitFor(5s)) << "round " << round;
    std::this_thread::sleep_for(2ms);  // a deadline that lost the race has run by now
    ASSERT_EQ(handlers, 1) << "round " << round;
    ASSERT_EQ(announced, 1) << "round " << round;
    ASSERT_TRUE(op->isFinished()) << "round " << round;
  }
}

TEST(DelayOperationConcurrencyTest, AThousandWaitingDelaysHoldNoThread) {
  // The timer thread exists once anything waited.
  auto warm = std::make_shared<DispatchSemaphore>(0);
  DispatchQueue::global()->asyncAfter(1ms, [warm] { warm->signal(); });
  ASSERT_TRUE(warm->waitFor(5s));
  const std::size_t before = threadCount();
  std::vector<std::shared_ptr<VtDelayOperation>> delays;
  for (int i = 0; i < 1000; ++i) {
    delays.push_back(std::make_shared<VtDelayOperation>(60.0));
    delays.back()->start();
  }
  for (const auto& d : delays) ASSERT_TRUE(d->isExecuting());
  // Work left on the pool by earlier tests may start a worker meanwhile; a
  // thread per waiting delay would be a thousand.
  EXPECT_LE(threadCount(), before + 2);
  for (const auto& d : delays) d->cancel();
  for (const auto& d : delays) EXPECT_TRUE(d->isFinished());
}

TEST(DelayOperationConcurrencyTest, AnAsyncBlockFinishingTwiceNeverLetsTwoRunAtOnce) {
  auto queue = OperationQueue::fromMaxConcurrentOperationCount(1);
  std::atomic<int> running = 0;
  std::atomic<int> mostAtOnce = 0;
  std::atomic<int> finishAnnouncements = 0;
  constexpr int kCount = 40;
  for (int i = 0; i < kCount; ++i) {
    auto op = std::make_shared<VtAsynchronousBlockOperation>([&](VtAsynchronousBlockOperation::Completion done) {
      const int now = ++running;
      int seen = mostAtOnce.load();
      while (now > seen && !mostAtOnce.compare_exchange_weak(seen, now)) {
      }
      std::this_thread::sleep_for(200us);
      --running;
      done();
      // The second call, from another thread, while the queue has
      // already started the next operation.
      std::thread([done] { done(); }).join();
      done();
    });
    op->addObserver("isFinished", [&](Operation& o, std::string_view, bool prior) {
      if (!prior && o.isFinished()) ++finishAnnouncements;
    });
    queue->addOperation(op);
  }
  ASSERT_TRUE(queue->waitUntilAllOperationsAreFinished(10s));
  EXPECT_EQ(mostAtOnce, 1);
  EXPECT_EQ(queue->operationCount(), 0);
  EXPECT_EQ(finishAnnouncements, kCount);
}

TEST(DelayOperationConcurrencyTest, CompletionsFromSeveralThreadsAnnounceOnce) {
  for (int round = 0; round < 60; ++round) {
    auto completion = std::make_shared<VtAsynchronousBlockOperation::Completion>();
    auto ready = std::make_shared<DispatchSemaphore>(0);
    auto op = std::make_shared<VtAsynchronousBlockOperation>([completion, ready](auto done) {
      *completion = std::move(done);
      ready->signal();
    });
    std::atomic<int> announced = 0;
    op->addObserver("isFinished", [&](Operation& o, std::string_view, bool prior) {
      if (!prior && o.isFinished()) ++announced;
    });
    std::thread starters[2] = {std::thread([&] { op->start(); }), std::thread([&] { op->start(); })};
    for (auto& t : starters) t.join();
    ASSERT_TRUE(ready->waitFor(5s));
    ASSERT_FALSE(ready->waitFor(5ms)) << "the block ran twice";
    const auto done = *completion;
    *completion = nullptr;
    std::thread finishers[3] = {std::thread(done), std::thread(done), std::thread(done)};
    for (auto& t : finishers) t.join();
    ASSERT_EQ(announced, 1) << "round " << round;
    ASSERT_TRUE(op->isFinished());
    ASSERT_FALSE(op->isExecuting());
  }
}

}  // namespace
}  // namespace vantrel
