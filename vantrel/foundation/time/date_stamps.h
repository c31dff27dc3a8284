// File: vantrel/foundation/time/date_stamps.h
//
// Text stamps of a date or of now for file names and logs, ISO stamps in
// UTC, daily windows, strict comparisons and the start of today.
//
//   qEasy(d)                   "2021-03-03_0905"       (yyyy-MM-dd_HHmm)
//   qEasyTime(d)               "09-05-07"              (HH-mm-ss)
//   qYyyyMmDdHhMmSs(d)         "2021-03-03_09-05-07"   (yyyy-MM-dd_HH-mm-ss)
//   qIso_with(d)               "2001-01-01T00:00:00.000Z"
//   qIso_without(d)            "2001-01-01T00:00:00Z"
//   vtNowString()              "2021-03-03_09-05"      (yyyy-MM-dd_HH-mm, now)
//   vtNowStringWithSeconds()   "2021-03-03_09-05-07"
//   vtNowStringTime()          "09-05-07"
//   vtIsTimeBetweenSlang(d, 2200, 600)   22:00 to 06:00, over midnight
//   beginningOfDayDate()       00:00 today in the current time zone
//
// The local stamps are written in the current time zone (asked of the host
// at each call, so TZ counts) with the Gregorian calendar, ASCII digits and
// the "en_US_POSIX" locale, whatever the user's locale: a Thai or Egyptian
// user still gets "2021-03-03_0905", never a Buddhist-era year or
// Arabic-Indic digits. The ISO stamps are core's UTC texts (milliseconds cut
// toward the past: -0.5 s is "1969-12-31T23:59:59.500Z"). Stateless and
// thread-safe: each stamp makes its own formatter.
#pragma once

#include <cstdint>
#include <string>

#include "vantrel/platform/foundation/time/date.h"
#include "vantrel/platform/foundation/time/date_formatter.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

[[nodiscard]] std::string qEasy(Date self);
[[nodiscard]] std::string qEasyTime(Date self);
[[nodiscard]] std::string qYyyyMmDdHhMmSs(Date self);
[[nodiscard]] std::string qIso_with(Date self);
[[nodiscard]] std::string qIso_without(Date self);

[[nodiscard]] std::string vtNowString();
[[nodiscard]] std::string vtNowStringWithSeconds();
[[nodiscard]] std::string vtNowStringTime();

// `self` written by the caller's formatter.
[[nodiscard]] std::string formatWith(Date self, const DateFormatter& formatter);

// Whether the time of day of `self` (hour * 100 + minute, current time zone)
// lies in the window from `start` to `end`, end excluded. When `end` is less
// than `start` the window runs over midnight; equal ends give an empty
// window. The clock numbers are compared as plain integers.
[[nodiscard]] bool vtIsTimeBetweenSlang(Date self, std::int64_t start, std::int64_t end);

[[nodiscard]] inline bool isEarlierThan(Date self, Date other) { return self < other; }
[[nodiscard]] inline bool isLaterThan(Date self, Date other) { return self > other; }

// The first instant of today in the current time zone.
[[nodiscard]] Date beginningOfDayDate();

namespace foundation_internal {
// The first instant of the day of `date` in the current time zone: its
// midnight, or where midnight is skipped by a clock change the first instant
// after it (01:00 on 2018-11-04 in America/Sao_Paulo).
[[nodiscard]] Date beginningOfDay(Date date);
}  // namespace foundation_internal

}  // namespace vantrel
