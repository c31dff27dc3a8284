// File: vantrel/platform/foundation/time/date.h
//
// `Date`: an instant, the system clock's time point (the type the CSV logger
// and the user defaults already use), with its seconds since 1970.
//
//   Date d = dateWithTimeIntervalSince1970(978307200.5);   // 2001-01-01T00:00:00.500Z
//   timeIntervalSince1970(d)                                 // 978307200.5
//
// Seconds are rounded to the clock's nanoseconds. A number of seconds that
// is NaN, infinite or beyond the clock's range (about ±292 years around
// 1970) stops through `fatal`: there is no instant to give for it.
#pragma once

#include <chrono>
#include <cmath>
#include <cstdint>

#include "vantrel/core/checked.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

using Date = std::chrono::system_clock::time_point;

[[nodiscard]] inline Date dateWithTimeIntervalSince1970(double seconds,
                                                        SourceLocation loc = SourceLocation::current()) {
  const auto nanoseconds = checkedIntegerFromDouble<std::int64_t>(std::round(seconds * 1e9), loc);
  return Date(std::chrono::duration_cast<Date::duration>(std::chrono::nanoseconds(nanoseconds)));
}

[[nodiscard]] inline double timeIntervalSince1970(Date date) {
  const auto nanoseconds = std::chrono::duration_cast<std::chrono::nanoseconds>(date.time_since_epoch()).count();
  return static_cast<double>(nanoseconds) / 1e9;
}

}  // namespace vantrel
