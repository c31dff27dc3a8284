#include "vantrel/foundation/operations/delay_operation.h"

#include <chrono>
#include <cmath>
#include <cstdint>
#include <optional>

#include "vantrel/core/checked.h"
#include "vantrel/core/fatal.h"
#include "vantrel/platform/dispatch/dispatch_queue.h"

namespace vantrel {

namespace {

// The wait in whole nanoseconds, cut toward zero; nullopt when it has no end
// (not finite, or beyond 64 bits: the timer could not hold the deadline).
std::optional<std::chrono::nanoseconds> nanosecondsOf(double seconds) {
  const double ns = std::trunc(seconds * 1e9);
  // 2^63 is exact as a double; every double below it converts.
  if (!(ns < 9223372036854775808.0)) return std::nullopt;
  return std::chrono::nanoseconds(static_cast<std::int64_t>(ns));
}

}  // namespace

VtDelayOperation::VtDelayOperation(double seconds) : delay_(seconds) {
  if (std::isnan(seconds)) fatal("VtDelayOperation: the delay is NaN");
}

VtDelayOperation::VtDelayOperation(Until until) : delay_(until) {}

void VtDelayOperation::execute() {
  // A cancel that came while `start()` was on its way here has finished the
  // operation already: no deadline for it.
  if (isCancelled() || isFinished()) return;
  std::optional<std::chrono::nanoseconds> wait;
  if (const double* seconds = std::get_if<double>(&delay_)) {
    if (*seconds <= 0) {
      finish();
      return;
    }
    wait = nanosecondsOf(*seconds);
  } else {
    const Date date = std::get<Until>(delay_).date;
    const Date now = std::chrono::system_clock::now();
    if (date <= now) {
      finish();
      return;
    }
    // Only a clock set before 1970 could make the difference overflow; such
    // a wait is beyond 64 bits of nanoseconds anyway.
    const auto difference = overflowingSub<std::int64_t>(
        std::chrono::duration_cast<std::chrono::nanoseconds>(date.time_since_epoch()).count(),
        std::chrono::duration_cast<std::chrono::nanoseconds>(now.time_since_epoch()).count());
    if (difference) wait = std::chrono::nanoseconds(*difference);
  }
  if (!wait) return;  // waits until cancelled
  auto self = std::static_pointer_cast<VtDelayOperation>(shared_from_this());
  DispatchQueue::global()->asyncAfter(*wait, [self] {
    if (!self->isCancelled()) self->finish();
  });
}

void VtDelayOperation::cancelWithError(std::exception_ptr error) {
  VtOperation::cancelWithError(std::move(error));
  finish();
}

}  // namespace vantrel
