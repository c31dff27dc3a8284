#include "vantrel/foundation/operations/block_operation.h"

#include <stdexcept>
#include <thread>

#include <gtest/gtest.h>

#include "tests/support/main_loop.h"

#include "vantrel/core/console.h"
#include "vantrel/core/thread.h"
#include "vantrel/platform/dispatch/dispatch_queue.h"
#include "vantrel/platform/dispatch/run_loop.h"

namespace vantrel {
namespace {

using Errors = VtOperation::Errors;

std::string executeLine(const VtBlockOperation& op) {
  return "VTBlockOp execute " + std::to_string(reinterpret_cast<std::uintptr_t>(&op)) + "\n";
}

TEST(OperationBlockTest, WithoutABlockItPrintsItsLineAndFinishes) {
  auto op = VtBlockOperation::create();
  int handlerCalls = 0;
  op->addOnFinishedBlock([&](VtOperation&, const Errors& errors) {
    ++handlerCalls;
    EXPECT_TRUE(errors.empty());
  });
  ConsoleCapture capture;
  op->start();
  EXPECT_EQ(capture.standardOutput(), executeLine(*op));
  EXPECT_TRUE(op->isFinished());
  EXPECT_EQ(handlerCalls, 1);
}

TEST(OperationBlockTest, CallingTheCallbackTwiceFinishesOnce) {
  auto op = VtBlockOperation::create([](VtBlockOperation::FinishCallback finish) {
    finish();
    finish();
  });
  int handlerCalls = 0;
  op->addOnFinishedBlock([&](VtOperation&, const Errors&) { ++handlerCalls; });
  ConsoleCapture capture;
  op->start();
  EXPECT_EQ(handlerCalls, 1);
  EXPECT_TRUE(op->isFinished());
}

TEST(OperationBlockTest, AKeptCallbackFinishesLaterFromAnotherThread) {
  VtBlockOperation::FinishCallback kept;
  auto op = VtBlockOperation::create([&kept](VtBlockOperation::FinishCallback finish) { kept = std::move(finish); });
  std::weak_ptr<VtBlockOperation> watch = op;
  ConsoleCapture capture;
  op->start();
  op.reset();
  auto alive = watch.lock();  // the callback keeps the operation
  ASSERT_TRUE(alive);
  EXPECT_TRUE(alive->isExecuting());
  EXPECT_FALSE(alive->isFinished());
  std::thread([&kept] { kept(); }).join();
  EXPECT_TRUE(alive->isFinished());
}

TEST(OperationBlockTest, CancellingWhileTheBlockRunsStillFinishesWithTheError) {
  const auto e = std::make_exception_ptr(std::runtime_error("stop"));
  VtBlockOperation::FinishCallback kept;
  auto op = VtBlockOperation::create([&kept](VtBlockOperation::FinishCallback finish) { kept = std::move(finish); });
  Errors seen;
  op->addOnFinishedBlock([&](VtOperation&, const Errors& errors) { seen = errors; });
  ConsoleCapture capture;
  op->start();
  op->cancelWithError(e);
  EXPECT_TRUE(op->isCancelled());
  kept();
  EXPECT_TRUE(op->isFinished());
  EXPECT_EQ(seen, (Errors{e}));
}

TEST(OperationBlockTest, ACancelledOperationPrintsNothingAndRunsNoBlock) {
  bool ran = false;
  auto op = VtBlockOperation::create([&ran](VtBlockOperation::FinishCallback finish) {
    ran = true;
    finish();
  });
  int handlerCalls = 0;
  op->addOnFinishedBlock([&](VtOperation&, const Errors&) { ++handlerCalls; });
  op->cancel();
  ConsoleCapture capture;
  op->start();
  EXPECT_EQ(capture.standardOutput(), "");
  EXPECT_FALSE(ran);
  EXPECT_TRUE(op->isFinished());
  EXPECT_EQ(handlerCalls, 1);
}

TEST(OperationBlockTest, AMainQueueBlockRunsOnTheMainThreadAfterStartReturns) {
  ASSERT_TRUE(isMainThread());
  std::vector<std::string> order;
  auto op = VtBlockOperation::fromMainQueueBlock([&order] {
    order.push_back(isMainThread() ? "block on main" : "block elsewhere");
  });
  op->addOnFinishedBlock([&order](VtOperation&, const Errors&) {
    order.push_back(isMainThread() ? "handler on main" : "handler elsewhere");
  });
  ConsoleCapture capture;
  // Started from another thread, as a queue would.
  std::thread([op] { op->start(); }).join();
  EXPECT_TRUE(order.empty());
  EXPECT_TRUE(op->isExecuting());
  EXPECT_TRUE(testing::runMainLoopUntil([&] { return op->isFinished(); }));
  EXPECT_EQ(order, (std::vector<std::string>{"block on main", "handler on main"}));
}

TEST(OperationBlockTest, UserInfoIsTheCallersStorage) {
  auto op = VtBlockOperation::create();
  EXPECT_FALSE(op->userInfo());
  op->setUserInfo(VtBlockOperation::UserInfo{{"id", 7}});
  EXPECT_EQ(std::any_cast<int>(op->userInfo()->at("id")), 7);
}

TEST(OperationBlockTest, CompletionBlocksChainInOrderAndRunOnceAfterFinishing) {
  auto op = VtBlockOperation::create();
  std::vector<std::string> order;
  addCompletionBlock(*op, [&] { order.push_back("1"); });
  ASSERT_TRUE(op->completionBlock());
  addCompletionBlock(*op, [&] { order.push_back("2"); });
  addCompletionBlock(*op, [&] { order.push_back("3"); });
  op->addOnFinishedBlock([&](VtOperation&, const Errors&) { order.push_back("handler"); });
  ConsoleCapture capture;
  op->start();
  op->finish();
  EXPECT_EQ(order, (std::vector<std::string>{"handler", "1", "2", "3"}));
}

}  // namespace
}  // namespace vantrel
