#include "vantrel/dispatch/dispatch_helpers.h"

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>
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

// Once-state lasts as long as the process: each call makes a token no
// other test (or repetition of this one) has used.
std::string uniqueToken(const char* name) {
  static std::atomic<int> counter{0};
  return std::string("dispatch_helpers_test.") + name + "." + std::to_string(counter.fetch_add(1));
}

TEST(Once, RunsTheBlockForTheFirstCallOfAToken) {
  int runs = 0;
  const auto token = uniqueToken("first");
  once(token, [&] { ++runs; });
  once(token, [&] { ++runs; });
  EXPECT_EQ(runs, 1);
}

// In a child process: the empty token can be taken once per process only.
TEST(Once, TheEmptyTextIsAToken) {
  EXPECT_EXIT(
      {
        int runs = 0;
        once("", [&] { ++runs; });
        once("", [&] { ++runs; });
        std::exit(runs == 1 ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}

TEST(Once, ABlockCallingOnceWithItsOwnTokenDoesNotRunAgainButANewTokenRunsAtOnce) {
  std::vector<std::string> steps;
  const auto outer = uniqueToken("outer");
  once(outer, [&] {
    steps.push_back("outer");
    once(outer, [&] { steps.push_back("outer again"); });
    once(uniqueToken("inner"), [&] { steps.push_back("inner"); });
    steps.push_back("outer end");
  });
  EXPECT_EQ(steps, (std::vector<std::string>{"outer", "inner", "outer end"}));
}

TEST(Once, CallSiteTokensJoinFileFunctionAndLine) {
  struct Case {
    std::string_view file, function;
    std::int64_t line;
    std::string want;
  };
  const Case cases[] = {{"a", "b()", 7, "a:b():7"}, {"a", "b()", -3, "a:b():-3"}, {"", "", 0, "::0"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.want);
    EXPECT_EQ(dispatch_internal::callSiteToken(c.file, c.function, c.line), c.want);
  }
}

// Outside the test macro, so each call below has a line of its own.
int callSiteRuns() {
  int runs = 0;
  for (int i = 0; i < 3; ++i) once([&] { ++runs; });
  const auto here = SourceLocation::current();
  once([&] { runs += 10; }, here);
  once(dispatch_internal::callSiteToken(here.file_name(), here.function_name(), here.line()),
       [&] { runs += 100; });  // the same text, already taken
  return runs;
}

// In a child process: a call site stays taken for the life of the process.
TEST(Once, ACallSiteRunsOnceAndSharesStateWithTheSameTextAsToken) {
  EXPECT_EXIT(std::exit(callSiteRuns() == 11 ? 0 : 1), ::testing::ExitedWithCode(0), "");
}

TEST(Once, ManyDistinctTokensEachRunOnce) {
  int runs = 0;
  std::vector<std::string> tokens;
  for (int i = 0; i < 20000; ++i) tokens.push_back(uniqueToken("many"));
  for (int round = 0; round < 2; ++round) {
    for (const auto& token : tokens) once(token, [&] { ++runs; });
  }
  EXPECT_EQ(runs, 20000);
}

TEST(OnMainQueueDelayedOrManual, LeftAloneRunsOnTheMainQueueWithFalseAfterTheDelay) {
  std::vector<bool> flags;
  bool onMain = false;
  const auto start = std::chrono::steady_clock::now();
  std::chrono::steady_clock::duration took{};
  auto trigger = qdispatch::onMainQueueDelayedOrManual(0.05, [&](bool flag) {
    flags.push_back(flag);
    onMain = isMainThread();
    took = std::chrono::steady_clock::now() - start;
  });
  EXPECT_EQ(DispatchQueue::drainMain(), 0u);  // not yet due
  ASSERT_TRUE(testing::runMainLoopUntil([&] { return !flags.empty(); }));
  EXPECT_EQ(flags, std::vector<bool>{false});
  EXPECT_TRUE(onMain);
  EXPECT_GE(took, 50ms);
}

TEST(OnMainQueueDelayedOrManual, ATriggerRunsTheClosureAtOnceAndTheDelayedRunDoesNothing) {
  std::vector<bool> flags;
  auto trigger = qdispatch::onMainQueueDelayedOrManual(0.02, [&](bool flag) { flags.push_back(flag); });
  trigger(true);
  EXPECT_EQ(flags, std::vector<bool>{true});
  trigger(false);  // no guard: every call runs it
  EXPECT_EQ(flags, (std::vector<bool>{true, false}));
  RunLoop::current()->run(std::chrono::steady_clock::now() + 80ms);
  EXPECT_EQ(flags, (std::vector<bool>{true, false}));
}

TEST(OnMainQueueDelayedOrManual, ATriggerAfterTheDelayedRunRunsTheClosureAgain) {
  std::vector<bool> flags;
  auto trigger = qdispatch::onMainQueueDelayedOrManual(0, [&](bool flag) { flags.push_back(flag); });
  EXPECT_TRUE(flags.empty());  // a delay of 0 still waits for the main queue
  ASSERT_TRUE(testing::runMainLoopUntil([&] { return !flags.empty(); }));
  trigger(true);
  EXPECT_EQ(flags, (std::vector<bool>{false, true}));
}

TEST(OnMainQueueDelayedOrManual, DelaysAreCutToWholeNanoseconds) {
  struct Case {
    double delay;
    std::int64_t want;
  };
  const Case cases[] = {{1.5, 1'500'000'000}, {1e-9 * 0.9, 0}, {-0.25, -250'000'000}, {9.2e9, 9'200'000'000'000'000'000}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.delay);
    EXPECT_EQ(dispatch_internal::delayNanoseconds(c.delay), c.want);
  }
}

TEST(OnMainQueueDelayedOrManualDeathTest, DelaysOutsideSixtyFourBitsOfNanosecondsStop) {
  for (double delay : {9.3e9, -9.3e9, std::numeric_limits<double>::infinity(), std::nan("")}) {
    SCOPED_TRACE(delay);
    EXPECT_DEATH((void)qdispatch::onMainQueueDelayedOrManual(delay, [](bool) {}), "out of range");
  }
}

TEST(AsyncAfter, RunsTheBlockOnTheQueueAfterTheDelay) {
  auto queue = DispatchQueue::create("after");
  auto done = std::make_shared<DispatchSemaphore>(0);
  bool onQueue = false;
  const auto start = std::chrono::steady_clock::now();
  asyncAfter(*queue, 0.03, [&, done] {
    onQueue = DispatchQueue::isCurrent(*queue);
    done->signal();
  });
  ASSERT_TRUE(done->waitFor(5s));
  EXPECT_GE(std::chrono::steady_clock::now() - start, 30ms);
  EXPECT_TRUE(onQueue);
  asyncAfter(*queue, -1.0, [done] { done->signal(); });  // already due
  EXPECT_TRUE(done->waitFor(5s));
}

TEST(Sleeps, LengthsInMicroseconds) {
  struct Case {
    double seconds;
    std::uint32_t want;
  };
  const Case cases[] = {{0.0000005, 0}, {0.25, 250000}, {-0.0000009, 0}, {4294.967295, 4294967295u}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.seconds);
    EXPECT_EQ(dispatch_internal::sleepMicrosecondsForSeconds(c.seconds), c.want);
  }
  EXPECT_EQ(dispatch_internal::sleepMicrosecondsForTenths(3), 300000u);
  EXPECT_EQ(dispatch_internal::sleepMicrosecondsForTenths(42949), 4294900000u);
}

TEST(SleepsDeathTest, LengthsPastTheLimitsStop) {
  EXPECT_DEATH((void)dispatch_internal::sleepMicrosecondsForTenths(42950), "overflow 32 bits");
  for (double seconds : {4294.967296, -0.000001, std::nan(""), std::numeric_limits<double>::infinity()}) {
    SCOPED_TRACE(seconds);
    EXPECT_DEATH(qsleepSeconds(seconds), "out of range");
  }
}

TEST(Sleeps, BlockTheCallingThreadForTheirLength) {
  struct Case {
    const char* name;
    void (*sleep)();
    std::chrono::milliseconds atLeast;
  };
  const Case cases[] = {
      {"qsleepSeconds", [] { qsleepSeconds(0.03); }, 30ms},
      {"qsleep", [] { qsleep(1); }, 100ms},
      {"q::sleep", [] { q::sleep(0.03); }, 30ms},
      {"q::sleep negative", [] { q::sleep(-5); }, 0ms},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto start = std::chrono::steady_clock::now();
    c.sleep();
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_GE(took, c.atLeast);
    EXPECT_LT(took, c.atLeast + 2s);
  }
}

}  // namespace
}  // namespace vantrel
