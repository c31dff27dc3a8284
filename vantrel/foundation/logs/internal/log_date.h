// Internal: include "vantrel/foundation/logs/csv_logger.h" instead.
//
// The date of the log lines, "yyyy-MM-dd HH:mm:ss.SSS" in the system time
// zone, through core's date text (Gregorian, ASCII digits, no locale). Not
// cached per second: the time-zone conversion is a small part of the ~90 ns
// a date costs, so a cache bought nothing measurable.
#pragma once

#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>

#include "vantrel/core/date_text.h"

namespace vantrel::foundation_internal {

// Appends the 23 characters of `date` to `out`.
inline void appendLogDate(std::string& out, std::chrono::system_clock::time_point date) {
  appendDateTimeText(out, date, TimeZoneChoice::local);
}

// Whether `text` starts with a date of that form (its shape only: digits
// where digits go). Dated records start with one, so it marks where a
// record may begin when a file is read from somewhere in its middle.
inline bool startsWithLogDate(std::string_view text) {
  constexpr std::string_view shape = "dddd-dd-dd dd:dd:dd.ddd";
  if (text.size() < shape.size()) return false;
  for (std::size_t i = 0; i < shape.size(); ++i) {
    if (shape[i] == 'd' ? (text[i] < '0' || text[i] > '9') : text[i] != shape[i]) return false;
  }
  return true;
}

}  // namespace vantrel::foundation_internal
