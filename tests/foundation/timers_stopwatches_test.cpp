#include "vantrel/foundation/time/timers_stopwatches.h"

#include <chrono>
#include <cmath>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "vantrel/core/console.h"

namespace vantrel {
namespace {

using namespace std::chrono_literals;
using Clock = RunLoop::Clock;

template <class T>
class TimingClassTest : public ::testing::Test {};
using TimingClasses = ::testing::Types<VantrelTimer, VantrelStopwatch2>;
TYPED_TEST_SUITE(TimingClassTest, TimingClasses);

TYPED_TEST(TimingClassTest, ANewObjectIsRunning) {
  TypeParam watch;
  EXPECT_FALSE(watch.hasStopped());
  EXPECT_FALSE(watch.duration().has_value());
  EXPECT_GE(watch.elapsedTime(), 0.0);
}

TYPED_TEST(TimingClassTest, StopStoresTheEndAndElapsedTimeKeepsGrowing) {
  TypeParam watch;
  std::this_thread::sleep_for(10ms);
  const double d = watch.stop();
  EXPECT_GE(d, 0.01);
  ASSERT_TRUE(watch.duration().has_value());
  EXPECT_EQ(*watch.duration(), d);
  EXPECT_TRUE(watch.hasStopped());
  std::this_thread::sleep_for(5ms);
  EXPECT_GT(watch.elapsedTime(), d);
  const double second = watch.stop();
  EXPECT_GE(second, d);
  EXPECT_EQ(*watch.duration(), second);
  watch.setEndTime(std::nullopt);
  EXPECT_FALSE(watch.hasStopped());
  EXPECT_FALSE(watch.duration().has_value());
}

TYPED_TEST(TimingClassTest, ReadingsComeFromTheMonotonicClock) {
  TypeParam watch;
  const double steadyNow =
      std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
  EXPECT_NEAR(watch.startTime(), steadyNow, 1.0);
}

TEST(VantrelTimer, StopGoesThroughTheOverridableEndTime) {
  struct Recording : VantrelTimer {
    std::vector<double> stored;
    void setEndTime(std::optional<double> endTime) override {
      if (endTime) stored.push_back(*endTime);
      VantrelTimer::setEndTime(endTime);
    }
  };
  Recording timer;
  const double d = timer.stop();
  ASSERT_EQ(timer.stored.size(), 1u);
  EXPECT_DOUBLE_EQ(timer.stored[0] - timer.startTime(), d);
}

TEST(VantrelStopwatch2, SecondsPrintWithFifteenDigitsAndAPointOnWholeNumbers) {
  struct Case {
    double seconds;
    std::string_view want;
  };
  const Case cases[] = {
      {2.0, "2.0"},          {0.5, "0.5"},       {0.00001, "1e-05"},  {0.0001, "0.0001"},
      {1e15, "1e+15"},       {1e14, "100000000000000.0"},                {0.12345678901234567, "0.123456789012346"},
      {0.0, "0.0"},          {-1.5, "-1.5"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.want);
    EXPECT_EQ(foundation_internal::secondsText(c.seconds), c.want);
  }
}

TEST(VantrelStopwatch2, StopAndDebugPrintWritesTheLineForItsName) {
  struct Case {
    std::optional<std::string> name;
    std::string prefix;
  };
  const Case cases[] = {{"load", "VantrelStopWatch2 \xE2\x8F\xB1 \"load\" took "},
                        {std::nullopt, "VantrelStopWatch2 \xE2\x8F\xB1 took "}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.prefix);
    ConsoleCapture capture;
    VantrelStopwatch2 watch(c.name);
    const double seconds = watch.stopAndDebugPrint();
    EXPECT_EQ(capture.standardOutput(), c.prefix + foundation_internal::secondsText(seconds) + "\n");
    EXPECT_EQ(*watch.duration(), seconds);
  }
}

TEST(VantrelStopwatch2, MeasureExecutionTimeRunsTheBlockAndPrintsItsName) {
  ConsoleCapture capture;
  int runs = 0;
  VantrelStopwatch2::measureExecutionTime([&] {
    ++runs;
    std::this_thread::sleep_for(10ms);
  });
  VantrelStopwatch2::measureExecutionTime("parse", [&] { ++runs; });
  EXPECT_EQ(runs, 2);
  const std::string out = capture.standardOutput();
  // "<name>: <seconds>\n" twice; the seconds print as secondsText does.
  const std::string first = "Time \xE2\x8F\xB1: ";
  ASSERT_EQ(out.rfind(first, 0), 0u) << out;
  const auto firstEnd = out.find('\n');
  const double seconds = std::stod(out.substr(first.size(), firstEnd - first.size()));
  EXPECT_GE(seconds, 0.01);
  EXPECT_EQ(out.substr(0, firstEnd), first + foundation_internal::secondsText(seconds));
  const std::string second = out.substr(firstEnd + 1);
  ASSERT_EQ(second.rfind("parse: ", 0), 0u) << out;
  EXPECT_EQ(second, "parse: " + foundation_internal::secondsText(std::stod(second.substr(7))) + "\n");
}

template <class Body>
void onFreshThread(Body body) {
  std::thread(body).join();
}

TEST(ScheduledTimers, ADelayedTimerFiresOnceOnTheCallingThreadInAnyMode) {
  onFreshThread([] {
    int fired = 0;
    std::thread::id firedOn;
    auto timer = scheduleDelay(0.02, [&](const std::shared_ptr<RunLoopTimer>&) {
      ++fired;
      firedOn = std::this_thread::get_id();
    });
    RunLoop::current()->run(Clock::now() + 100ms, "eventTracking");  // common modes
    EXPECT_EQ(fired, 1);
    EXPECT_EQ(firedOn, std::this_thread::get_id());
    RunLoop::current()->run(Clock::now() + 30ms);
    EXPECT_EQ(fired, 1);
  });
}

TEST(ScheduledTimers, ATimerOnALoopThatDoesNotRunNeverFires) {
  onFreshThread([] {
    int fired = 0;
    auto timer = scheduleDelay(0.0, [&](const std::shared_ptr<RunLoopTimer>&) { ++fired; });
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(fired, 0);
    timer->invalidate();
    RunLoop::current()->run(Clock::now() + 10ms);
    EXPECT_EQ(fired, 0);
  });
}

TEST(ScheduledTimers, ARepeatingTimerFiresUntilItInvalidatesItself) {
  onFreshThread([] {
    int fired = 0;
    scheduleRepeatInterval(0.005, [&](const std::shared_ptr<RunLoopTimer>& t) {
      if (++fired == 3) t->invalidate();
    });
    RunLoop::current()->run(Clock::now() + 200ms);
    EXPECT_EQ(fired, 3);
    int once = 0;
    scheduleRepeatInterval(0.001, [&](const std::shared_ptr<RunLoopTimer>& t) {
      ++once;
      t->invalidate();
    });
    RunLoop::current()->run(Clock::now() + 50ms);
    EXPECT_EQ(once, 1);
  });
}

TEST(ScheduledTimers, ANonPositiveRepeatIntervalFiresOnce) {
  onFreshThread([] {
    int fired = 0;
    auto timer = scheduleRepeatInterval(0.0, [&](const std::shared_ptr<RunLoopTimer>&) { ++fired; });
    RunLoop::current()->run(Clock::now() + 30ms);
    EXPECT_EQ(fired, 1);
    EXPECT_FALSE(timer->isValid());
  });
}

TEST(ScheduledTimersDeathTest, ANaNDelayStops) {
  EXPECT_DEATH(scheduleDelay(std::nan(""), {}), "Timer delay is not a number");
  EXPECT_DEATH(scheduleRepeatInterval(std::nan(""), {}), "Timer repeat interval is not a number");
}

}  // namespace
}  // namespace vantrel
