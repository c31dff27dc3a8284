// File: vantrel/foundation/time/timers_stopwatches.h
//
// Interval measuring (`VantrelTimer`, `VantrelStopwatch2`) and one-call
// run-loop timers (`scheduleDelay`, `scheduleRepeatInterval`).
//
//   VantrelStopwatch2 watch("load");
//   load();
//   watch.stopAndDebugPrint();          // VantrelStopWatch2 ⏱ "load" took 0.0123
//   VantrelStopwatch2::measureExecutionTime([] { work(); });   // Time ⏱: 0.5
//   auto timer = scheduleRepeatInterval(1.0, [](const std::shared_ptr<RunLoopTimer>& t) {
//     if (done()) t->invalidate();
//   });
//
// Times are seconds on the monotonic clock (since an arbitrary start, such
// as boot), so a change of the wall clock never changes a measurement;
// durations are differences of two readings. Seconds print with at most 15
// significant digits, exponent form below 1e-4 and from 1e15, and ".0" on
// whole numbers.
// A timer or stopwatch belongs to one thread (no locks). Scheduled timers
// join the calling thread's run loop in the common modes and fire on that
// thread while its loop runs; `invalidate()` stops them from anywhere.
// Stops (`fatal`): a NaN delay or interval.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "vantrel/platform/dispatch/run_loop.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

class VantrelTimer {
 public:
  VantrelTimer();
  [[nodiscard]] static std::shared_ptr<VantrelTimer> create();
  virtual ~VantrelTimer() = default;
  VantrelTimer(const VantrelTimer&) = delete;  // a class: shared, not copied
  VantrelTimer& operator=(const VantrelTimer&) = delete;

  [[nodiscard]] double startTime() const { return startTime_; }
  [[nodiscard]] virtual std::optional<double> endTime() const;
  virtual void setEndTime(std::optional<double> endTime);
  // Stores the current reading as the end time (every call anew) and
  // answers the interval since the start.
  virtual double stop();
  // End minus start; empty until stopped.
  [[nodiscard]] virtual std::optional<double> duration() const;
  // Now minus start, stopped or not.
  [[nodiscard]] virtual double elapsedTime() const;
  [[nodiscard]] virtual bool hasStopped() const;

 private:
  double startTime_;
  std::optional<double> endTime_;
};

class VantrelStopwatch2 {
 public:
  explicit VantrelStopwatch2(std::optional<std::string> name = std::nullopt);
  [[nodiscard]] static std::shared_ptr<VantrelStopwatch2> create(std::optional<std::string> name = std::nullopt);
  virtual ~VantrelStopwatch2() = default;
  VantrelStopwatch2(const VantrelStopwatch2&) = delete;  // a class: shared, not copied
  VantrelStopwatch2& operator=(const VantrelStopwatch2&) = delete;

  [[nodiscard]] double startTime() const { return startTime_; }
  [[nodiscard]] const std::optional<std::string>& name() const { return name_; }
  [[nodiscard]] virtual std::optional<double> endTime() const;
  virtual void setEndTime(std::optional<double> endTime);
  virtual double stop();
  // `stop()`, then prints "VantrelStopWatch2 ⏱ took <s>" or, with a name,
  // "VantrelStopWatch2 ⏱ "<name>" took <s>"; answers what `stop()` did.
  virtual double stopAndDebugPrint();
  [[nodiscard]] virtual std::optional<double> duration() const;
  [[nodiscard]] virtual double elapsedTime() const;
  [[nodiscard]] virtual bool hasStopped() const;

  // Runs `block` on this thread and prints "<name>: <s>".
  static void measureExecutionTime(const std::function<void()>& block);
  static void measureExecutionTime(std::string_view name, const std::function<void()>& block);

 private:
  double startTime_;
  std::optional<double> endTime_;
  std::optional<std::string> name_;
};

// A one-shot timer due `delay` seconds from now (at once for 0 or less).
std::shared_ptr<RunLoopTimer> scheduleDelay(double delay, RunLoopTimer::Handler handler);
// A timer due every `repeatInterval` seconds, first one interval from now,
// until invalidated; an interval of 0 or less fires once.
std::shared_ptr<RunLoopTimer> scheduleRepeatInterval(double repeatInterval, RunLoopTimer::Handler handler);

namespace foundation_internal {
// The current monotonic reading in seconds.
[[nodiscard]] double monotonicSeconds();
// Seconds as the stopwatch lines print them.
[[nodiscard]] std::string secondsText(double seconds);
}  // namespace foundation_internal

}  // namespace vantrel
