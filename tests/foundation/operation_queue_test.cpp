#include "vantrel/platform/foundation/operations/operation_queue.h"

#include <atomic>
#include <mutex>

#include <gtest/gtest.h>

#include "vantrel/core/console.h"
#include "vantrel/foundation/operations/block_operation.h"
#include "vantrel/platform/dispatch/dispatch_semaphore.h"

namespace vantrel {
namespace {

using namespace std::chrono_literals;
using Errors = VtOperation::Errors;

class Counting : public Operation {
 public:
  std::atomic<int> runs = 0;
  void main() override { ++runs; }
};

TEST(OperationQueueTest, RunsAPlainOperationAndItsCompletionBlock) {
  auto queue = OperationQueue::create("plain");
  auto op = std::make_shared<Counting>();
  auto done = std::make_shared<DispatchSemaphore>(0);
  op->setCompletionBlock([done] { done->signal(); });
  queue->addOperation(op);
  ASSERT_TRUE(done->waitFor(5s));
  ASSERT_TRUE(queue->waitUntilAllOperationsAreFinished(5s));
  EXPECT_EQ(op->runs, 1);
  EXPECT_TRUE(op->isFinished());
  EXPECT_EQ(queue->operationCount(), 0);
}

TEST(OperationQueueTest, ASlotStaysTakenUntilTheOperationAnnouncesItFinished) {
  auto queue = OperationQueue::create("serial");
  queue->setMaxConcurrentOperationCount(1);
  VtBlockOperation::FinishCallback kept;
  std::mutex keptMutex;
  auto started = std::make_shared<DispatchSemaphore>(0);
  auto first = VtBlockOperation::create([&](VtBlockOperation::FinishCallback finish) {
    std::lock_guard lock(keptMutex);
    kept = std::move(finish);
    started->signal();
  });
  std::atomic<bool> secondRan = false;
  auto second = VtBlockOperation::create([&](VtBlockOperation::FinishCallback finish) {
    secondRan = true;
    finish();
  });
  ConsoleCapture capture;
  queue->addOperation(first);
  queue->addOperation(second);
  ASSERT_TRUE(started->waitFor(5s));
  EXPECT_FALSE(queue->waitUntilAllOperationsAreFinished(50ms));
  EXPECT_FALSE(secondRan);  // start() returned, but the first has not finished
  EXPECT_EQ(queue->operationCount(), 2);
  {
    std::lock_guard lock(keptMutex);
    kept();
  }
  ASSERT_TRUE(queue->waitUntilAllOperationsAreFinished(5s));
  EXPECT_TRUE(secondRan);
}

TEST(OperationQueueTest, HigherPriorityStartsFirstThenOrderAdded) {
  auto queue = OperationQueue::create("ordered");
  queue->setMaxConcurrentOperationCount(1);
  auto gate = std::make_shared<DispatchSemaphore>(0);
  std::mutex mutex;
  std::vector<std::string> order;
  const auto record = [&](std::string name) {
    return VtBlockOperation::create([&, name](VtBlockOperation::FinishCallback finish) {
      {
        std::lock_guard lock(mutex);
        order.push_back(name);
      }
      finish();
    });
  };
  ConsoleCapture capture;
  auto blocker = VtBlockOperation::create([gate](VtBlockOperation::FinishCallback finish) {
    (void)gate->waitFor(5s);
    finish();
  });
  queue->addOperation(blocker);
  auto low = record("low");
  low->setQueuePriority(Operation::QueuePriority::low);
  auto normal1 = record("normal1");
  auto high = record("high");
  high->setQueuePriority(Operation::QueuePriority::high);
  auto normal2 = record("normal2");
  for (const auto& op : {low, normal1, high, normal2}) queue->addOperation(op);
  gate->signal();
  ASSERT_TRUE(queue->waitUntilAllOperationsAreFinished(5s));
  EXPECT_EQ(order, (std::vector<std::string>{"high", "normal1", "normal2", "low"}));
}

TEST(OperationQueueTest, CancelAllFinishesWaitingOperationsWithoutTheirWork) {
  auto queue = OperationQueue::create("cancel");
  queue->setMaxConcurrentOperationCount(1);
  auto gate = std::make_shared<DispatchSemaphore>(0);
  ConsoleCapture capture;
  queue->addOperation(VtBlockOperation::create([gate](VtBlockOperation::FinishCallback finish) {
    (void)gate->waitFor(5s);
    finish();
  }));
  std::atomic<int> ran = 0;
  std::atomic<int> handled = 0;
  std::vector<std::shared_ptr<VtBlockOperation>> waiting;
  for (int i = 0; i < 3; ++i) {
    auto op = VtBlockOperation::create([&ran](VtBlockOperation::FinishCallback finish) {
      ++ran;
      finish();
    });
    op->addOnFinishedBlock([&handled](VtOperation&, const Errors&) { ++handled; });
    waiting.push_back(op);
    queue->addOperation(op);
  }
  queue->cancelAllOperations();
  gate->signal();
  ASSERT_TRUE(queue->waitUntilAllOperationsAreFinished(5s));
  EXPECT_EQ(ran, 0);
  EXPECT_EQ(handled, 3);
  for (const auto& op : waiting) EXPECT_TRUE(op->isFinished());
}

TEST(OperationQueueTest, OperationsOfADroppedQueueStillRun) {
  auto queue = OperationQueue::create("dropped");
  queue->setMaxConcurrentOperationCount(1);
  auto gate = std::make_shared<DispatchSemaphore>(0);
  auto done = std::make_shared<DispatchSemaphore>(0);
  ConsoleCapture capture;
  queue->addOperation(VtBlockOperation::create([gate](VtBlockOperation::FinishCallback finish) {
    (void)gate->waitFor(5s);
    finish();
  }));
  auto last = VtBlockOperation::create([done](VtBlockOperation::FinishCallback finish) {
    done->signal();
    finish();
  });
  queue->addOperation(last);
  queue.reset();
  gate->signal();
  EXPECT_TRUE(done->waitFor(5s));
}

TEST(OperationQueueDeathTest, AnOperationGoesIntoOneQueueOnce) {
  auto queue = OperationQueue::create("once");
  auto op = std::make_shared<Counting>();
  queue->addOperation(op);
  ASSERT_TRUE(queue->waitUntilAllOperationsAreFinished(5s));
  EXPECT_DEATH(queue->addOperation(op), "the operation was already added to a queue");
  EXPECT_DEATH(queue->setMaxConcurrentOperationCount(0), "neither positive nor the default");
}

}  // namespace
}  // namespace vantrel
