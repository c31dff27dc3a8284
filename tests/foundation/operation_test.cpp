#include "vantrel/foundation/operations/operation.h"

#include <stdexcept>

#include <gtest/gtest.h>

#include "vantrel/core/console.h"

namespace vantrel {
namespace {

using State = VtOperation::State;
using Errors = VtOperation::Errors;

// Records what the base class calls.
class Recorder : public VtOperation {
 public:
  int executeCalls = 0;
  std::vector<Errors> finishedCalls;
  bool finishInExecute = false;

 protected:
  void execute() override {
    ++executeCalls;
    if (finishInExecute) finish();
  }
  void finished(const Errors& errors) override { finishedCalls.push_back(errors); }
};

// Records every "state" announcement as "will <state>" / "did <state>".
std::shared_ptr<std::vector<std::string>> watchState(VtOperation& op) {
  auto log = std::make_shared<std::vector<std::string>>();
  op.addObserver("state", [log](Operation& o, std::string_view, bool prior) {
    log->push_back(std::string(prior ? "will " : "did ") +
                   std::string(description(static_cast<VtOperation&>(o).state())));
  });
  return log;
}

std::exception_ptr error(const std::string& text) { return std::make_exception_ptr(std::runtime_error(text)); }

TEST(OperationTest, StartExecutesAndFinishRunsHandlersOnceThenFinished) {
  auto op = std::make_shared<Recorder>();
  auto log = watchState(*op);
  int handlerCalls = 0;
  op->addOnFinishedBlock([&](VtOperation& o, const Errors& errors) {
    ++handlerCalls;
    EXPECT_EQ(&o, op.get());
    EXPECT_TRUE(errors.empty());
    // While the handlers run the operation is finishing.
    EXPECT_EQ(o.state(), State::finishing);
    EXPECT_FALSE(o.isFinished());
    EXPECT_FALSE(o.isExecuting());
  });
  op->start();
  EXPECT_EQ(op->executeCalls, 1);
  EXPECT_TRUE(op->isExecuting());
  op->finish();
  op->finish();
  EXPECT_EQ(handlerCalls, 1);
  EXPECT_EQ(op->finishedCalls.size(), 1u);
  EXPECT_TRUE(op->isFinished());
  EXPECT_EQ(*log, (std::vector<std::string>{"will initialized", "did executing", "will executing", "did finishing",
                                            "will finishing", "did finished"}));
}

TEST(OperationTest, CancellationErrorsComeBeforeFinishErrors) {
  const auto e = error("e");
  const auto f = error("f");
  auto op = std::make_shared<Recorder>();
  Errors seen;
  op->setOnFinished([&](VtOperation&, const Errors& errors) { seen = errors; });
  op->start();
  op->cancelWithError(e);
  EXPECT_TRUE(op->isCancelled());
  op->finish({f});
  EXPECT_EQ(seen, (Errors{e, f}));
  EXPECT_EQ(op->finishedCalls, (std::vector<Errors>{{e, f}}));

  auto plain = std::make_shared<Recorder>();
  Errors plainSeen{e};
  plain->setOnFinished([&](VtOperation&, const Errors& errors) { plainSeen = errors; });
  plain->cancel();
  plain->finish();
  EXPECT_TRUE(plainSeen.empty());
}

TEST(OperationTest, CancelledBeforeStartFinishesThroughTheNormalPath) {
  const auto e = error("cancelled");
  auto op = std::make_shared<Recorder>();
  auto log = watchState(*op);
  Errors seen;
  int handlerCalls = 0;
  op->addOnFinishedBlock([&](VtOperation&, const Errors& errors) {
    ++handlerCalls;
    seen = errors;
  });
  op->cancelWithError(e);
  op->start();
  EXPECT_EQ(op->executeCalls, 0);
  EXPECT_EQ(handlerCalls, 1);
  EXPECT_EQ(seen, (Errors{e}));
  EXPECT_EQ(op->finishedCalls.size(), 1u);
  EXPECT_TRUE(op->isFinished());
  EXPECT_EQ(*log, (std::vector<std::string>{"will initialized", "did cancelled", "will cancelled", "did finishing",
                                            "will finishing", "did finished"}));
}

TEST(OperationTest, CancellingAFinishedOperationLeavesItFinished) {
  auto op = std::make_shared<Recorder>();
  op->finishInExecute = true;
  op->start();
  ASSERT_TRUE(op->isFinished());
  auto log = watchState(*op);
  op->cancelWithError(error("late"));
  EXPECT_TRUE(op->isFinished());
  EXPECT_FALSE(op->isCancelled());
  EXPECT_TRUE(log->empty());
}

TEST(OperationTest, StartActsOnlyOnANewOperation) {
  auto op = std::make_shared<Recorder>();
  op->start();
  op->start();  // already executing
  EXPECT_EQ(op->executeCalls, 1);
  op->finish();
  op->start();  // finished
  EXPECT_EQ(op->executeCalls, 1);
  EXPECT_TRUE(op->isFinished());

  auto early = std::make_shared<Recorder>();
  early->finish();
  early->start();  // finished before it was started
  EXPECT_EQ(early->executeCalls, 0);
  EXPECT_EQ(early->finishedCalls.size(), 1u);
  EXPECT_TRUE(early->isFinished());
}

TEST(OperationTest, CancellingTwiceAnnouncesOnceAndCancellingDuringWorkDoesNotFinish) {
  auto op = std::make_shared<Recorder>();
  op->start();
  auto log = watchState(*op);
  op->cancel();
  op->cancel();
  EXPECT_EQ(*log, (std::vector<std::string>{"will executing", "did cancelled"}));
  EXPECT_EQ(op->finishedCalls.size(), 0u);
  EXPECT_FALSE(op->isFinished());
}

TEST(OperationTest, WithoutHandlersFinishStillPassesThroughFinishing) {
  auto op = std::make_shared<Recorder>();
  auto log = watchState(*op);
  op->finish({error("x")});
  EXPECT_EQ(op->finishedCalls.size(), 1u);
  EXPECT_EQ(op->finishedCalls[0].size(), 1u);
  EXPECT_EQ(*log, (std::vector<std::string>{"will initialized", "did finishing", "will finishing", "did finished"}));
}

TEST(OperationTest, HandlersRunInTheOrderAddedAndSettingReplacesTheChain) {
  auto op = std::make_shared<Recorder>();
  std::vector<std::string> order;
  op->setOnFinished([&](VtOperation&, const Errors&) { order.push_back("set"); });
  for (const char* name : {"1", "2", "3"}) {
    op->addOnFinishedBlock([&order, name](VtOperation&, const Errors&) { order.push_back(name); });
  }
  op->finish();
  EXPECT_EQ(order, (std::vector<std::string>{"set", "1", "2", "3"}));

  auto replaced = std::make_shared<Recorder>();
  std::vector<std::string> replacedOrder;
  for (const char* name : {"1", "2", "3"}) {
    replaced->addOnFinishedBlock([&replacedOrder, name](VtOperation&, const Errors&) { replacedOrder.push_back(name); });
  }
  replaced->setOnFinished([&](VtOperation&, const Errors&) { replacedOrder.push_back("only"); });
  replaced->finishWithErrorOptional(nullptr);
  EXPECT_EQ(replacedOrder, (std::vector<std::string>{"only"}));
}

TEST(OperationTest, FinishWithErrorOptional) {
  const auto e = error("e");
  auto op = std::make_shared<Recorder>();
  op->finishWithErrorOptional(e);
  EXPECT_EQ(op->finishedCalls, (std::vector<Errors>{{e}}));
}

TEST(OperationTest, ObserversOfTheStatusKeysFollowTheState) {
  auto op = std::make_shared<Recorder>();
  std::vector<std::string> seen;
  for (const char* key : {"isExecuting", "isFinished", "isCancelled"}) {
    op->addObserver(key, [&seen](Operation& o, std::string_view keyPath, bool prior) {
      if (prior) return;
      const bool value = keyPath == "isFinished"    ? o.isFinished()
                         : keyPath == "isExecuting" ? o.isExecuting()
                                                    : o.isCancelled();
      seen.push_back(std::string(keyPath) + (value ? "=true" : "=false"));
    });
  }
  op->start();
  op->finish();
  EXPECT_EQ(seen, (std::vector<std::string>{"isExecuting=true", "isFinished=false", "isCancelled=false",
                                            "isExecuting=false", "isFinished=false", "isCancelled=false",
                                            "isExecuting=false", "isFinished=true", "isCancelled=false"}));
}

class Forgetful : public VtOperation {};

TEST(OperationTest, AnOperationWithoutWorkSaysSoAndFinishes) {
  auto op = std::make_shared<Forgetful>();
  ConsoleCapture capture;
  op->start();
  EXPECT_EQ(capture.standardOutput(),
            "\xF0\x9F\x8D\xB0\xF0\x9F\x8D\xB0\xF0\x9F\x8D\xB0 Forgetful must override `execute()`. "
            "\xF0\x9F\x8D\xB0\xF0\x9F\x8D\xB0\xF0\x9F\x8D\xB0\n");
  EXPECT_TRUE(op->isFinished());
}

TEST(OperationTest, ACompletionBlockRunsOnceWhenFinished) {
  auto op = std::make_shared<Recorder>();
  int completions = 0;
  op->setCompletionBlock([&] { ++completions; });
  op->start();
  EXPECT_EQ(completions, 0);
  op->finish();
  op->cancel();
  EXPECT_EQ(completions, 1);
}

}  // namespace
}  // namespace vantrel
