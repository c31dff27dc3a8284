#include "vantrel/dispatch/dispatch_helpers.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <memory>
#include <mutex>
#include <thread>
#include <unordered_set>

#include "vantrel/core/describe.h"
#include "vantrel/core/fatal.h"

namespace vantrel {

namespace {

struct OnceTracker {
  // Recursive: a once block may call once again on the same thread.
  std::recursive_mutex mutex;
  // A set rather than a list: n distinct tokens cost O(n) in all, not O(n²).
  std::unordered_set<std::string> tokens;
};

OnceTracker& onceTracker() {
  static OnceTracker* tracker = new OnceTracker;  // lives as long as the process
  return *tracker;
}

}  // namespace

void once(std::string_view token, const std::function<void()>& block) {
  OnceTracker& tracker = onceTracker();
  std::lock_guard lock(tracker.mutex);
  // Taken before the block runs, so the block cannot run itself again.
  if (!tracker.tokens.emplace(token).second) return;
  if (block) block();
}

void once(const std::function<void()>& block, SourceLocation loc) {
  once(dispatch_internal::callSiteToken(loc.file_name(), loc.function_name(),
                                             static_cast<std::int64_t>(loc.line())),
       block);
}

std::string dispatch_internal::callSiteToken(std::string_view file, std::string_view function,
                                                  std::int64_t line) {
  std::string token(file);
  token += ':';
  token += function;
  token += ':';
  token += std::to_string(line);
  return token;
}

void asyncAfter(DispatchQueue& queue, double delay, std::function<void()> execute) {
  if (std::isnan(delay)) fatal("asyncAfter: the delay is not a number");
  const double nanos = delay * 1e9;
  if (nanos >= 9.2e18) {
    queue.asyncAt(DispatchQueue::Clock::time_point::max(), std::move(execute));
    return;
  }
  if (nanos <= 0) {
    queue.async(std::move(execute));
    return;
  }
  queue.asyncAfter(std::chrono::nanoseconds(static_cast<std::int64_t>(nanos)), std::move(execute));
}

std::int64_t dispatch_internal::delayNanoseconds(double delay) {
  const double nanos = delay * 1'000'000'000.0;
  // 2^63 is the first double past the signed 64-bit range; -2^63 is inside.
  if (!std::isfinite(nanos) || nanos >= 9223372036854775808.0 || nanos < -9223372036854775808.0) {
    fatal("onMainQueueDelayedOrManual: delay " + describe(delay) + " seconds is out of range");
  }
  return static_cast<std::int64_t>(nanos);  // truncates toward zero
}

std::function<void(bool)> qdispatch::onMainQueueDelayedOrManual(double delay,
                                                                std::function<void(bool)> closure) {
  const std::int64_t nanos = dispatch_internal::delayNanoseconds(delay);
  // The slot: true while the run closure is still in it.
  auto slot = std::make_shared<std::atomic<bool>>(true);
  auto shared = std::make_shared<std::function<void(bool)>>(std::move(closure));
  std::function<void(bool)> trigger = [slot, shared](bool flag) {
    slot->store(false);
    if (*shared) (*shared)(flag);
  };
  DispatchQueue::main()->asyncAfter(std::chrono::nanoseconds(nanos), [slot, trigger] {
    // Whoever empties the slot first wins; the other finds it empty.
    if (slot->exchange(false)) trigger(false);
  });
  return trigger;
}

std::uint32_t dispatch_internal::sleepMicrosecondsForSeconds(double seconds) {
  const double micros = seconds * 1000.0 * 1000.0;
  if (!std::isfinite(micros) || !(micros > -1.0) || !(micros < 4294967296.0)) {
    fatal("qsleepSeconds: " + describe(seconds) + " seconds is out of range");
  }
  return static_cast<std::uint32_t>(std::trunc(micros) < 0 ? 0 : std::trunc(micros));
}

std::uint32_t dispatch_internal::sleepMicrosecondsForTenths(std::uint32_t tenths) {
  std::uint32_t millis = 0;
  std::uint32_t micros = 0;
  if (__builtin_mul_overflow(tenths, 1000u, &millis) || __builtin_mul_overflow(millis, 100u, &micros)) {
    fatal("qsleep: " + std::to_string(tenths) + " tenths of a second overflow 32 bits");
  }
  return micros;
}

void qsleepSeconds(double seconds) {
  std::this_thread::sleep_for(
      std::chrono::microseconds(dispatch_internal::sleepMicrosecondsForSeconds(seconds)));
}

void qsleep(std::uint32_t tenths) {
  std::this_thread::sleep_for(
      std::chrono::microseconds(dispatch_internal::sleepMicrosecondsForTenths(tenths)));
}

void q::sleep(double seconds) {
  if (!(seconds > 0)) return;
  // About 31 years: past it the nanosecond count of the clock would overflow.
  seconds = std::min(seconds, 1e9);
  std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

}  // namespace vantrel
