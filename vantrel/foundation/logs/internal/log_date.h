// Internal: include "vantrel/foundation/logs/csv_logger.h" instead.
//
// The date of the log lines, "yyyy-MM-dd HH:mm:ss.SSS": system time zone,
// Gregorian calendar, ASCII digits, no locale involved.
#pragma once

#include <chrono>
#include <ctime>
#include <string>

namespace vantrel::foundation_internal {

// Appends the 23 characters of `date` to `out`.
void appendLogDate(std::string& out, std::chrono::system_clock::time_point date);

// Remembers the local-time fields of the last second formatted, so a burst of
// lines costs one time-zone conversion per second. One per writer; not
// thread-safe.
class LogDateFormatter {
 public:
  void append(std::string& out, std::chrono::system_clock::time_point date);

 private:
  std::time_t second_ = -1;
  bool valid_ = false;
  char prefix_[20] = {};  // "yyyy-MM-dd HH:mm:ss" (19) + NUL
};

}  // namespace vantrel::foundation_internal
