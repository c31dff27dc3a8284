#include <atomic>
#include <stdexcept>
#include <thread>

#include <gtest/gtest.h>

#include "vantrel/core/console.h"
#include "vantrel/foundation/operations/block_operation.h"
#include "vantrel/platform/dispatch/dispatch_semaphore.h"
#include "vantrel/platform/foundation/operations/operation_queue.h"

namespace vantrel {
namespace {

using namespace std::chrono_literals;
using Errors = VtOperation::Errors;

TEST(OperationConcurrencyTest, CancelRacingFinishRunsTheHandlersOnce) {
  ConsoleCapture capture;  // the "VTBlockOp execute" lines
  for (int round = 0; round < 200; ++round) {
    VtBlockOperation::FinishCallback kept;
    auto op = VtBlockOperation::create([&kept](VtBlockOperation::FinishCallback finish) { kept = std::move(finish); });
    std::atomic<int> handlerCalls = 0;
    std::atomic<int> announcedFinished = 0;
    op->addOnFinishedBlock([&](VtOperation&, const Errors&) { ++handlerCalls; });
    op->addObserver("isFinished", [&](Operation& o, std::string_view, bool prior) {
      if (!prior && o.isFinished()) ++announcedFinished;
    });
    op->start();
    std::atomic<bool> go = false;
    std::thread finisher([&] {
      while (!go) std::this_thread::yield();
      kept();
    });
    std::thread canceller([&] {
      while (!go) std::this_thread::yield();
      op->cancelWithError(std::make_exception_ptr(std::runtime_error("cancel")));
    });
    std::thread secondFinisher([&] {
      while (!go) std::this_thread::yield();
      op->finish();
    });
    go = true;
    finisher.join();
    canceller.join();
    secondFinisher.join();
    ASSERT_EQ(handlerCalls, 1) << "round " << round;
    ASSERT_TRUE(op->isFinished()) << "round " << round;
    ASSERT_EQ(announcedFinished, 1) << "round " << round;
  }
}

TEST(OperationConcurrencyTest, StartRacingCancelFinishesExactlyOnce) {
  for (int round = 0; round < 200; ++round) {
    std::atomic<int> blockRuns = 0;
    auto op = VtBlockOperation::create([&](VtBlockOperation::FinishCallback finish) {
      ++blockRuns;
      finish();
    });
    std::atomic<int> handlerCalls = 0;
    op->addOnFinishedBlock([&](VtOperation&, const Errors&) { ++handlerCalls; });
    ConsoleCapture capture;
    std::thread starter([&] { op->start(); });
    std::thread canceller([&] { op->cancel(); });
    std::thread secondStarter([&] { op->start(); });
    starter.join();
    canceller.join();
    secondStarter.join();
    ASSERT_EQ(handlerCalls, 1) << "round " << round;
    ASSERT_LE(blockRuns, 1) << "round " << round;
    ASSERT_TRUE(op->isFinished()) << "round " << round;
  }
}

TEST(OperationConcurrencyTest, AQueueWithSeveralWorkersSeesEveryOperationFinish) {
  auto queue = OperationQueue::create("workers");
  queue->setMaxConcurrentOperationCount(4);
  constexpr int kCount = 300;
  std::atomic<int> handled = 0;
  std::atomic<int> completed = 0;
  std::vector<std::shared_ptr<VtBlockOperation>> operations;
  ConsoleCapture capture;
  for (int i = 0; i < kCount; ++i) {
    std::shared_ptr<VtBlockOperation> op;
    if (i % 3 == 0) {
      // Finishes later, on a thread of its own.
      op = VtBlockOperation::create([](VtBlockOperation::FinishCallback finish) {
        std::thread([finish] { finish(); }).detach();
      });
    } else {
      op = VtBlockOperation::create([](VtBlockOperation::FinishCallback finish) { finish(); });
    }
    op->addOnFinishedBlock([&handled](VtOperation&, const Errors&) { ++handled; });
    addCompletionBlock(*op, [&completed] { ++completed; });
    if (i % 7 == 0) op->cancel();
    operations.push_back(op);
    queue->addOperation(op);
  }
  ASSERT_TRUE(queue->waitUntilAllOperationsAreFinished(20s));
  for (const auto& op : operations) EXPECT_TRUE(op->isFinished());
  EXPECT_EQ(handled, kCount);
  // Completion blocks run on the finishing thread, right after the change.
  const auto deadline = std::chrono::steady_clock::now() + 5s;
  while (completed < kCount && std::chrono::steady_clock::now() < deadline) std::this_thread::sleep_for(1ms);
  EXPECT_EQ(completed, kCount);
  EXPECT_EQ(queue->operationCount(), 0);
}

}  // namespace
}  // namespace vantrel
