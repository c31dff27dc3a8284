// File: vantrel/core/deadline.h
//
// `deadlineAfter(d)` is the steady-clock time point `d` from now, saturated:
// a duration that would carry the time point past the clock's range
// (`duration::max()`, `hours::max()`, +infinity) gives `time_point::max()`, which timed waits treat as "wait forever"; zero or a
// negative duration gives now. Every timed wait computes its deadline here,
// so `waitFor(steady_clock::duration::max())` waits instead of overflowing
// into the past and timing out at once.
//
//   std::unique_lock lock(mutex);
//   cv.wait_until(lock, deadlineAfter(timeout), [&] { return done; });
//
// A NaN duration is a caller's error and stops the program.
#pragma once

#include <chrono>
#include <cmath>
#include <type_traits>

#include "vantrel/core/fatal.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

template <class Rep, class Period>
[[nodiscard]] std::chrono::steady_clock::time_point deadlineAfter(
    std::chrono::duration<Rep, Period> d,
    std::chrono::steady_clock::time_point now = std::chrono::steady_clock::now()) {
  using Clock = std::chrono::steady_clock;
  if constexpr (std::is_floating_point_v<Rep>) {
    if (std::isnan(d.count())) fatal("deadlineAfter: the duration is NaN");
  }
  if (d <= std::chrono::duration<Rep, Period>::zero()) return now;
  const Clock::duration room = Clock::time_point::max() - now;
  // Compared in long double seconds: neither side can overflow there.
  const std::chrono::duration<long double> wanted = d;
  if (wanted >= std::chrono::duration<long double>(room)) return Clock::time_point::max();
  return now + std::chrono::duration_cast<Clock::duration>(wanted);
}

}  // namespace vantrel
