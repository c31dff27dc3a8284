// File: vantrel/foundation/time/date_utils.h
//
// `VtDateUtils`: the starts of the last days, newest first.
//
//   VtDateUtils::beginningOfDayDatesBackwards(3)
//       // today 00:00, yesterday 00:00, the day before 00:00 (current time zone)
//   VtDateUtils::beginningOfDayDatesBackwards_Debug(3)   // the same, printing:
//       2021-03-27 23:00:00 +0000 /// Sonntag, 28. März 2021 um 00:00:00 Mitteleuropäische Sommerzeit
//       ---------------------------------------
//       1: Sonntag, 28. März 2021 um 00:00:00 Mitteleuropäische Sommerzeit
//       2: Samstag, 27. März 2021 um 00:00:00 Mitteleuropäische Normalzeit
//       ----------------------> 82800.0
//       3: ...
//
// The list starts at `beginningOfDayDate()` and steps back one day at a time
// in the Gregorian calendar of the current time zone, so it crosses months
// and years, and two neighbours lie 86400 seconds apart except across a
// change of daylight-saving time (23 or 25 hours). The debug form prints the
// day's start in UTC ("yyyy-MM-dd HH:mm:ss +0000") and in German with the
// full date and time styles, a rule of 39 hyphens, one numbered line per
// date, and after a date whose previous one is not 86400 seconds later a
// line with the difference in seconds. A count below 1 gives an empty list
// (the debug form still prints its two heading lines). Runs on the caller's
// thread and shares nothing.
#pragma once

#include <cstdint>
#include <vector>

#include "vantrel/platform/foundation/time/date.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {
namespace VtDateUtils {

[[nodiscard]] std::vector<Date> beginningOfDayDatesBackwards(std::int64_t count);
std::vector<Date> beginningOfDayDatesBackwards_Debug(std::int64_t count);

}  // namespace VtDateUtils
}  // namespace vantrel
