// File: vantrel/dispatch/dispatch_helpers.h
//
// Small timing and dispatch helpers for host code:
//
//   once("load-fonts", [] { loadFonts(); });        // first call per token only
//   once([] { warnDeprecated(); });                  // first call from this line only
//   auto trigger = qdispatch::onMainQueueDelayedOrManual(2.0, [](bool manual) { hide(manual); });
//   trigger(true);                                   // run it now instead of in 2 s
//   asyncAfter(*DispatchQueue::global(), 0.5, [] { poll(); });
//   qsleepSeconds(0.25);  qsleep(3);  q::sleep(0.1);  // block this thread
//
// `once`: the token list is process-wide, shared by both overloads, only
// ever grows, and is looked up by hash. The block runs on the calling thread
// while a recursive lock is held: a block may call `once` again (its own
// token is already taken; a new token runs at once), but a long block holds
// up every other caller, and it must not wait for a thread that is itself
// calling `once`.
// `onMainQueueDelayedOrManual`: the delayed run happens on the main queue
// (served by the main thread's run loop); the trigger runs the closure on
// the calling thread, every time it is called. Between a trigger on another
// thread and the delayed run exactly one wins the slot, so the closure runs
// with false from the delay, or with the trigger's flag first.
// Stops (`fatal`): a delay whose nanosecond count is not finite or does not
// fit 64 bits; sleep lengths outside the limits given below; a NaN delay
// for `asyncAfter`. Everything here may be called from any thread.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "vantrel/core/source_location.h"
#include "vantrel/platform/dispatch/dispatch_queue.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

// Runs `block` unless `token` was used before (by either overload).
void once(std::string_view token, const std::function<void()>& block);
// Runs `block` unless this call site ran one before; the token is
// file + ":" + function + ":" + line.
void once(const std::function<void()>& block, SourceLocation loc = SourceLocation::current());

// Queues `execute` on `queue` after `delay` seconds (at once when 0 or less;
// never for +infinity).
void asyncAfter(DispatchQueue& queue, double delay, std::function<void()> execute);

namespace qdispatch {
// Schedules `closure(false)` on the main queue after `delay` seconds (cut to
// whole nanoseconds; negative means at once) and answers a trigger that
// runs `closure` with its flag at once and cancels the delayed run.
[[nodiscard]] std::function<void(bool)> onMainQueueDelayedOrManual(double delay,
                                                                   std::function<void(bool)> closure);
}  // namespace qdispatch

// Sleeps seconds × 1,000,000 microseconds, truncated; stops unless that
// count is finite, above -1 and below 2^32.
void qsleepSeconds(double seconds);
// Sleeps `tenths` tenths of a second; stops when tenths × 100,000 overflows
// 32 bits (the largest accepted count is 42,949).
void qsleep(std::uint32_t tenths);

namespace q {
// Sleeps `seconds`; zero, negative and NaN return at once.
void sleep(double seconds);
}  // namespace q

namespace dispatch_internal {
[[nodiscard]] std::string callSiteToken(std::string_view file, std::string_view function, std::int64_t line);
// The sleep lengths in microseconds, stopping where the sleeps stop.
[[nodiscard]] std::uint32_t sleepMicrosecondsForSeconds(double seconds);
[[nodiscard]] std::uint32_t sleepMicrosecondsForTenths(std::uint32_t tenths);
// The delay of onMainQueueDelayedOrManual in whole nanoseconds.
[[nodiscard]] std::int64_t delayNanoseconds(double delay);
}  // namespace dispatch_internal

}  // namespace vantrel
