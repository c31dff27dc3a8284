// Internal: include "vantrel/foundation/logs/csv_logger.h" instead.
//
// The date of the log lines, "yyyy-MM-dd HH:mm:ss.SSS" in the system time
// zone, through core's date text (Gregorian, ASCII digits, no locale). Not
// cached per second: the time-zone conversion is a small part of the ~90 ns
// a date costs, so a cache bought nothing measurable.
#pragma once

#include <chrono>
#include <string>

#include "vantrel/core/date_text.h"

namespace vantrel::foundation_internal {

// Appends the 23 characters of `date` to `out`.
inline void appendLogDate(std::string& out, std::chrono::system_clock::time_point date) {
  appendDateTimeText(out, date, TimeZoneChoice::local);
}

}  // namespace vantrel::foundation_internal
