#include "vantrel/foundation/time/timers_stopwatches.h"

#include <chrono>
#include <cmath>

#include "vantrel/core/console.h"
#include "vantrel/core/fatal.h"
#include "vantrel/core/number_text.h"

namespace vantrel {

namespace {
// U+23F1 STOPWATCH, without a variation selector.
constexpr std::string_view kStopwatch = "\xE2\x8F\xB1";
}  // namespace

double foundation_internal::monotonicSeconds() {
  // The steady clock: measurements survive changes of the wall clock.
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

std::string foundation_internal::secondsText(double seconds) { return significantTextPointZero(seconds); }

// ---- VantrelTimer ---------------------------------------------------------

VantrelTimer::VantrelTimer() : startTime_(foundation_internal::monotonicSeconds()) {}

std::shared_ptr<VantrelTimer> VantrelTimer::create() { return std::make_shared<VantrelTimer>(); }

std::optional<double> VantrelTimer::endTime() const { return endTime_; }

void VantrelTimer::setEndTime(std::optional<double> endTime) { endTime_ = endTime; }

double VantrelTimer::stop() {
  const double reading = foundation_internal::monotonicSeconds();
  setEndTime(reading);
  return reading - startTime_;
}

std::optional<double> VantrelTimer::duration() const {
  const auto end = endTime();
  if (!end) return std::nullopt;
  return *end - startTime_;
}

double VantrelTimer::elapsedTime() const { return foundation_internal::monotonicSeconds() - startTime_; }

bool VantrelTimer::hasStopped() const { return endTime().has_value(); }

// ---- VantrelStopwatch2 ----------------------------------------------------

VantrelStopwatch2::VantrelStopwatch2(std::optional<std::string> name)
    : startTime_(foundation_internal::monotonicSeconds()), name_(std::move(name)) {}

std::shared_ptr<VantrelStopwatch2> VantrelStopwatch2::create(std::optional<std::string> name) {
  return std::make_shared<VantrelStopwatch2>(std::move(name));
}

std::optional<double> VantrelStopwatch2::endTime() const { return endTime_; }

void VantrelStopwatch2::setEndTime(std::optional<double> endTime) { endTime_ = endTime; }

double VantrelStopwatch2::stop() {
  const double reading = foundation_internal::monotonicSeconds();
  setEndTime(reading);
  return reading - startTime_;
}

double VantrelStopwatch2::stopAndDebugPrint() {
  const double seconds = stop();
  std::string line = "VantrelStopWatch2 ";
  line += kStopwatch;
  if (name_) {
    line += " \"";
    line += *name_;
    line += "\"";
  }
  line += " took ";
  line += foundation_internal::secondsText(seconds);
  consolePrint(line);
  return seconds;
}

std::optional<double> VantrelStopwatch2::duration() const {
  const auto end = endTime();
  if (!end) return std::nullopt;
  return *end - startTime_;
}

double VantrelStopwatch2::elapsedTime() const { return foundation_internal::monotonicSeconds() - startTime_; }

bool VantrelStopwatch2::hasStopped() const { return endTime().has_value(); }

void VantrelStopwatch2::measureExecutionTime(const std::function<void()>& block) {
  measureExecutionTime(std::string("Time ") + std::string(kStopwatch), block);
}

void VantrelStopwatch2::measureExecutionTime(std::string_view name, const std::function<void()>& block) {
  const double start = foundation_internal::monotonicSeconds();
  if (block) block();
  const double seconds = foundation_internal::monotonicSeconds() - start;
  std::string line(name);
  line += ": ";
  line += foundation_internal::secondsText(seconds);
  consolePrint(line);
}

// ---- run-loop timers ------------------------------------------------------

namespace {

RunLoopTimer::Clock::duration secondsDuration(double seconds, std::string_view what) {
  if (std::isnan(seconds)) fatal(std::string(what) + " is not a number");
  using Clock = RunLoopTimer::Clock;
  // Beyond about 292 years the clock's count would overflow: never due.
  if (seconds >= 9.2e9) return Clock::duration::max() / 2;
  if (seconds <= 0) return Clock::duration::zero();
  return std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
}

std::shared_ptr<RunLoopTimer> schedule(RunLoopTimer::Clock::duration firstIn, RunLoopTimer::Clock::duration interval,
                                       RunLoopTimer::Handler handler) {
  auto timer = RunLoopTimer::create(RunLoopTimer::Clock::now() + firstIn, interval, std::move(handler));
  RunLoop::current()->addTimer(timer, RunLoop::commonModes);
  return timer;
}

}  // namespace

std::shared_ptr<RunLoopTimer> scheduleDelay(double delay, RunLoopTimer::Handler handler) {
  return schedule(secondsDuration(delay, "Timer delay"), RunLoopTimer::Clock::duration::zero(),
                  std::move(handler));
}

std::shared_ptr<RunLoopTimer> scheduleRepeatInterval(double repeatInterval, RunLoopTimer::Handler handler) {
  const auto interval = secondsDuration(repeatInterval, "Timer repeat interval");
  return schedule(interval, interval, std::move(handler));
}

}  // namespace vantrel
