#include "vantrel/foundation/operations/delay_operation.h"

#include <atomic>
#include <chrono>
#include <cmath>
#include <limits>
#include <mutex>
#include <thread>
#include <type_traits>

#include <gtest/gtest.h>

#include "vantrel/core/console.h"
#include "vantrel/foundation/operations/asynchronous_block_operation.h"
#include "vantrel/foundation/operations/operation_queue_helpers.h"
#include "vantrel/platform/dispatch/dispatch_semaphore.h"

namespace vantrel {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using Errors = VtOperation::Errors;

static_assert(!std::is_default_constructible_v<VtDelayOperation>);
static_assert(!std::is_default_constructible_v<VtAsynchronousBlockOperation>);

// Signals when the operation announces that it finished, and counts the
// announcements and the finish handlers.
struct FinishWatch {
  std::shared_ptr<DispatchSemaphore> finished = std::make_shared<DispatchSemaphore>(0);
  std::shared_ptr<std::atomic<int>> announcements = std::make_shared<std::atomic<int>>(0);
  std::shared_ptr<std::atomic<int>> handlers = std::make_shared<std::atomic<int>>(0);
  std::shared_ptr<std::atomic<int>> executingAnnouncements = std::make_shared<std::atomic<int>>(0);

  void attach(Operation& op) {
    op.addObserver("isFinished", [f = finished, a = announcements](Operation& o, std::string_view, bool prior) {
      if (prior || !o.isFinished()) return;
      ++*a;
      f->signal();
    });
    op.addObserver("isExecuting", [e = executingAnnouncements](Operation& o, std::string_view, bool prior) {
      if (!prior && o.isExecuting()) ++*e;
    });
    if (auto* vt = dynamic_cast<VtOperation*>(&op)) {
      vt->addOnFinishedBlock([h = handlers](VtOperation&, const Errors&) { ++*h; });
    }
  }
};

TEST(DelayOperationTest, WaitsOfZeroOrLessFinishAsSoonAsStarted) {
  const double waits[] = {0.0, -0.0, -1.0, -std::numeric_limits<double>::infinity()};
  for (double wait : waits) {
    SCOPED_TRACE(wait);
    auto op = std::make_shared<VtDelayOperation>(wait);
    FinishWatch watch;
    watch.attach(*op);
    op->start();
    EXPECT_TRUE(op->isFinished());  // on the starting thread, before start() returns
    EXPECT_EQ(*watch.handlers, 1);
  }
  auto past = std::make_shared<VtDelayOperation>(VtDelayOperation::Until{std::chrono::system_clock::now() - 1s});
  past->start();
  EXPECT_TRUE(past->isFinished());
  // The earliest instant the clock holds: the difference to now would overflow.
  auto earliest = std::make_shared<VtDelayOperation>(VtDelayOperation::Until{Date::min()});
  earliest->start();
  EXPECT_TRUE(earliest->isFinished());
}

TEST(DelayOperationTest, AnIntervalCountsFromTheStartAndADateIsMeasuredThen) {
  const auto made = Clock::now();
  auto interval = std::make_shared<VtDelayOperation>(0.3);
  auto until = std::make_shared<VtDelayOperation>(VtDelayOperation::Until{std::chrono::system_clock::now() + 600ms});
  FinishWatch intervalWatch;
  FinishWatch untilWatch;
  intervalWatch.attach(*interval);
  untilWatch.attach(*until);
  std::this_thread::sleep_for(300ms);
  const auto started = Clock::now();
  interval->start();
  until->start();
  EXPECT_TRUE(interval->isExecuting());
  ASSERT_TRUE(untilWatch.finished->waitFor(5s));
  const auto untilEnded = Clock::now();
  ASSERT_TRUE(intervalWatch.finished->waitFor(5s));
  const auto intervalEnded = Clock::now();
  // The date was 600 ms after making, 300 ms after the start.
  EXPECT_GE(untilEnded - made, 590ms);
  EXPECT_LT(untilEnded - started, 550ms);
  // The interval runs whole from the start, not from the making.
  EXPECT_GE(intervalEnded - started, 295ms);
  EXPECT_EQ(*untilWatch.handlers, 1);
  EXPECT_EQ(*intervalWatch.handlers, 1);
}

TEST(DelayOperationTest, CancelledWhileWaitingFinishesAtOnceAndTheDeadlineChangesNothing) {
  auto op = std::make_shared<VtDelayOperation>(0.2);
  FinishWatch watch;
  watch.attach(*op);
  op->start();
  ASSERT_TRUE(op->isExecuting());
  op->cancel();
  EXPECT_TRUE(op->isFinished());
  EXPECT_FALSE(op->isCancelled());
  std::this_thread::sleep_for(400ms);  // past the deadline
  EXPECT_TRUE(op->isFinished());
  EXPECT_EQ(*watch.handlers, 1);
  EXPECT_EQ(*watch.announcements, 1);
}

TEST(DelayOperationTest, CancelledBeforeItStartsItNeverWaitsAndStaysFinished) {
  auto op = std::make_shared<VtDelayOperation>(0.05);
  FinishWatch watch;
  watch.attach(*op);
  op->cancel();
  EXPECT_TRUE(op->isFinished());
  op->start();  // what a queue does with it
  op->cancel();
  std::this_thread::sleep_for(150ms);
  EXPECT_TRUE(op->isFinished());
  EXPECT_EQ(*watch.executingAnnouncements, 0);
  EXPECT_EQ(*watch.handlers, 1);
  EXPECT_EQ(*watch.announcements, 1);
}

TEST(DelayOperationTest, WaitsWithoutEndLastUntilCancelled) {
  const double waits[] = {std::numeric_limits<double>::infinity(), 1e300, 9.3e9 /* past 2^63 ns */};
  for (double wait : waits) {
    SCOPED_TRACE(wait);
    auto op = std::make_shared<VtDelayOperation>(wait);
    FinishWatch watch;
    watch.attach(*op);
    op->start();
    EXPECT_FALSE(watch.finished->waitFor(50ms));
    EXPECT_TRUE(op->isExecuting());
    op->cancel();
    EXPECT_TRUE(op->isFinished());
    EXPECT_EQ(*watch.handlers, 1);
  }
  auto farDate = std::make_shared<VtDelayOperation>(VtDelayOperation::Until{Date::max()});
  farDate->start();
  EXPECT_TRUE(farDate->isExecuting());
  farDate->cancel();
  EXPECT_TRUE(farDate->isFinished());
}

TEST(DelayOperationDeathTest, ANaNDelayStopsWhenMade) {
  EXPECT_DEATH((void)std::make_shared<VtDelayOperation>(std::nan("")), "VtDelayOperation: the delay is NaN");
}

TEST(DelayOperationTest, ADelayOnASerialQueueSeparatesTheOperationsAroundIt) {
  auto queue = OperationQueue::fromMaxConcurrentOperationCount(1);
  EXPECT_EQ(queue->maxConcurrentOperationCount(), 1);
  std::mutex mutex;
  Clock::time_point firstEnded;
  Clock::time_point secondStarted;
  ConsoleCapture capture;
  vtAddBlockOperation(*queue, [&](VtBlockOperation::FinishCallback finish) {
    std::this_thread::sleep_for(20ms);
    {
      std::lock_guard lock(mutex);
      firstEnded = Clock::now();
    }
    finish();
  });
  auto delay = vtAddDelay(*queue, 0.25);
  EXPECT_TRUE(queue->operationCount() >= 2);  // already added when it comes back
  vtAddBlockOperation(*queue, [&](VtBlockOperation::FinishCallback finish) {
    {
      std::lock_guard lock(mutex);
      secondStarted = Clock::now();
    }
    finish();
  });
  ASSERT_TRUE(queue->waitUntilAllOperationsAreFinished(5s));
  std::lock_guard lock(mutex);
  EXPECT_GE(secondStarted - firstEnded, 250ms);
  EXPECT_TRUE(delay->isFinished());
}

TEST(DelayOperationTest, ADependentWaitsForACancelledDelayOnlyUntilTheCancel) {
  auto queue = OperationQueue::create("dependent");
  auto delay = std::make_shared<VtDelayOperation>(30.0);
  std::atomic<bool> ran = false;
  auto ranSignal = std::make_shared<DispatchSemaphore>(0);
  ConsoleCapture capture;
  auto dependent = VtBlockOperation::create([&ran, ranSignal](VtBlockOperation::FinishCallback finish) {
    ran = true;
    ranSignal->signal();
    finish();
  });
  dependent->addDependency(delay);
  EXPECT_FALSE(dependent->isReady());
  queue->addOperation(dependent);
  queue->addOperation(delay);
  EXPECT_FALSE(ranSignal->waitFor(150ms));
  EXPECT_FALSE(ran);
  const auto cancelled = Clock::now();
  delay->cancel();
  ASSERT_TRUE(ranSignal->waitFor(5s));
  EXPECT_LT(Clock::now() - cancelled, 5s);
  ASSERT_TRUE(queue->waitUntilAllOperationsAreFinished(5s));
}

TEST(OperationDependencyTest, ListedOnceReadyWhenAllFinishedAndRemovable) {
  auto op = VtBlockOperation::create();
  auto a = std::make_shared<VtDelayOperation>(30.0);
  auto b = std::make_shared<VtDelayOperation>(0.0);
  std::atomic<int> readyAnnouncements = 0;
  op->addObserver("isReady", [&](Operation& o, std::string_view, bool prior) {
    if (!prior && o.isReady()) ++readyAnnouncements;
  });
  EXPECT_TRUE(op->isReady());
  op->addDependency(a);
  op->addDependency(a);
  op->addDependency(op);  // itself: ignored, it could never start
  op->addDependency(b);
  EXPECT_EQ(op->dependencies(), (std::vector<std::shared_ptr<Operation>>{a, b}));
  EXPECT_FALSE(op->isReady());
  b->start();  // finishes at once
  EXPECT_FALSE(op->isReady());
  op->removeDependency(a);
  EXPECT_EQ(op->dependencies(), (std::vector<std::shared_ptr<Operation>>{b}));
  EXPECT_TRUE(op->isReady());
  EXPECT_GE(readyAnnouncements, 1);
  // The dependency outlives its dependent without calling into it.
  op.reset();
  a->start();
  a->cancel();
  EXPECT_TRUE(a->isFinished());
}

TEST(OperationQueueHelpersTest, PrioritiesAreSetBeforeTheQueueSeesTheOperation) {
  auto queue = OperationQueue::fromMaxConcurrentOperationCount(1);
  auto gate = std::make_shared<DispatchSemaphore>(0);
  std::mutex mutex;
  std::vector<std::string> order;
  const auto record = [&](std::string name) {
    return [&, name](auto finish) {
      {
        std::lock_guard lock(mutex);
        order.push_back(name);
      }
      finish();
    };
  };
  ConsoleCapture capture;
  vtAddBlockOperation(*queue, [gate](VtBlockOperation::FinishCallback finish) {
    (void)gate->waitFor(5s);
    finish();
  });
  auto plain = vtAddBlockOperation(*queue, record("plain"));
  auto asyncPlain = addAsyncOperation(*queue, record("asyncPlain"));
  auto low = vtAddBlockOperationWithPriority(*queue, Operation::QueuePriority::veryLow, record("low"));
  auto high = vtAddOperationWithVtAsyncBlock(*queue, Operation::QueuePriority::veryHigh, record("high"));
  auto block = vtAddBlockOperationWithPriority(*queue, Operation::QueuePriority::high, record("block"));
  EXPECT_EQ(low->queuePriority(), Operation::QueuePriority::veryLow);
  EXPECT_EQ(high->queuePriority(), Operation::QueuePriority::veryHigh);
  EXPECT_EQ(plain->queuePriority(), Operation::QueuePriority::normal);
  EXPECT_FALSE(plain->userInfo().has_value());
  gate->signal();
  ASSERT_TRUE(queue->waitUntilAllOperationsAreFinished(5s));
  EXPECT_EQ(order, (std::vector<std::string>{"high", "block", "plain", "asyncPlain", "low"}));
}

TEST(AsynchronousBlockOperationTest, StartedWhileCancelledFinishesWithoutItsBlock) {
  std::atomic<bool> ran = false;
  auto op = std::make_shared<VtAsynchronousBlockOperation>([&ran](auto done) {
    ran = true;
    done();
  });
  FinishWatch watch;
  watch.attach(*op);
  op->cancel();
  op->start();
  EXPECT_TRUE(op->isFinished());
  EXPECT_FALSE(op->isExecuting());
  EXPECT_EQ(*watch.executingAnnouncements, 0);
  EXPECT_EQ(*watch.announcements, 1);
  EXPECT_FALSE(ran);
}

TEST(AsynchronousBlockOperationTest, TheBlockRunsOnAThreadOfItsOwn) {
  auto blockThread = std::make_shared<std::thread::id>();
  auto op = std::make_shared<VtAsynchronousBlockOperation>([blockThread](auto done) {
    *blockThread = std::this_thread::get_id();
    done();
  });
  FinishWatch watch;
  watch.attach(*op);
  EXPECT_TRUE(op->isAsynchronous());
  op->start();
  ASSERT_TRUE(watch.finished->waitFor(5s));
  EXPECT_TRUE(op->isFinished());
  EXPECT_FALSE(op->isExecuting());
  EXPECT_NE(*blockThread, std::this_thread::get_id());
}

TEST(AsynchronousBlockOperationTest, OnlyTheCompletionEndsItAndOnlyItsFirstCall) {
  auto kept = std::make_shared<DispatchSemaphore>(0);
  auto completion = std::make_shared<VtAsynchronousBlockOperation::Completion>();
  auto op = std::make_shared<VtAsynchronousBlockOperation>([kept, completion](auto done) {
    *completion = std::move(done);  // returns without completing
    kept->signal();
  });
  op->setUserInfo(VtAsynchronousBlockOperation::UserInfo{{"k", 1}});
  FinishWatch watch;
  watch.attach(*op);
  op->start();
  op->start();  // a second start does nothing
  ASSERT_TRUE(kept->waitFor(5s));
  std::this_thread::sleep_for(50ms);
  EXPECT_TRUE(op->isExecuting());
  op->cancel();
  EXPECT_TRUE(op->isExecuting());
  EXPECT_FALSE(op->isFinished());
  (*completion)();
  (*completion)();
  op->vtFinishThisAsyncJob();
  EXPECT_TRUE(op->isFinished());
  EXPECT_FALSE(op->isExecuting());
  EXPECT_EQ(*watch.announcements, 1);
  EXPECT_EQ(*watch.executingAnnouncements, 1);
  EXPECT_EQ(std::any_cast<int>(op->userInfo()->at("k")), 1);
  *completion = nullptr;  // it holds the operation, whose block holds it
}

}  // namespace
}  // namespace vantrel
