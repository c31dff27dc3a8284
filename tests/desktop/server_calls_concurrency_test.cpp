// Work that waits on another process (here, on a promise the test keeps)
// holds a thread of its own, never the caller past the limit.
#include "vantrel/platform/desktop/internal/server_calls.h"

#include <atomic>
#include <chrono>
#include <future>
#include <stdexcept>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "vantrel/core/console.h"

namespace vantrel::desktop_internal {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr milliseconds kLimit{200};

TEST(ServerCalls, AnAnsweredCallGivesItsResult) {
  ServerCalls calls;
  EXPECT_EQ(calls.ask([] { return std::string("answer"); }, kLimit), "answer");
  EXPECT_EQ(calls.ask([] { return 42; }, kLimit), 42);
}

TEST(ServerCalls, AnUnansweredCallLeavesTheCallerAndHoldsBackTheNextOnesUntilItEnds) {
  ServerCalls calls;
  std::promise<void> answer;
  std::shared_future<void> answered = answer.get_future().share();
  auto start = Clock::now();
  EXPECT_EQ(calls.ask([answered] { answered.wait(); return 1; }, kLimit), std::nullopt);
  const auto waited = Clock::now() - start;
  EXPECT_GE(waited, kLimit);
  EXPECT_LT(waited, kLimit + milliseconds(500));

  // While the first one waits, the next ones answer at once.
  std::atomic<bool> ran{false};
  start = Clock::now();
  EXPECT_EQ(calls.ask([&ran] { ran = true; return 2; }, kLimit), std::nullopt);
  EXPECT_LT(Clock::now() - start, milliseconds(100));
  EXPECT_FALSE(ran);

  answer.set_value();
  std::optional<int> next;
  const auto deadline = Clock::now() + std::chrono::seconds(5);
  while (!next && Clock::now() < deadline) {
    next = calls.ask([] { return 3; }, kLimit);
    if (!next) std::this_thread::sleep_for(milliseconds(5));
  }
  EXPECT_EQ(next, 3);
}

TEST(ServerCalls, EachAnswerGivesTheWorkTheLimitAgain) {
  ServerCalls calls;
  const bool finished = calls.run(
      [](AnswerClock& clock) {
        for (int step = 0; step < 4; ++step) {
          std::this_thread::sleep_for(kLimit * 3 / 4);
          clock.answered();
        }
      },
      kLimit);
  EXPECT_TRUE(finished);
}

TEST(ServerCalls, AThrowIsReportedAndFailsTheCall) {
  ServerCalls calls;
  ConsoleCapture capture;
  EXPECT_EQ(calls.ask([]() -> int { throw std::runtime_error("no answer"); }, kLimit), std::nullopt);
  EXPECT_EQ(capture.standardError(),
            "Uncaught exception in a request on a thread waiting for the X server: no answer\n");
  EXPECT_EQ(calls.ask([] { return 1; }, kLimit), 1);
}

}  // namespace
}  // namespace vantrel::desktop_internal
