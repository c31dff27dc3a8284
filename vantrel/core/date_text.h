// File: vantrel/core/date_text.h
//
// The one way dates become text and back for logs, file names and stored
// values: Gregorian calendar, ASCII digits, never the user's locale.
//
//   dateTimeText(t, TimeZoneChoice::utc)         "2023-11-14 22:13:20.123"
//   dateTimeSecondsText(t, TimeZoneChoice::local) "2023-11-14 23:13:20"
//   dateTimeOffsetText(t, TimeZoneChoice::utc)   "2023-11-14 22:13:20 +0000"
//   isoDateTimeText(t)                           "2023-11-14T22:13:20Z"
//   isoDateTimeText(t, true)                     "2023-11-14T22:13:20.123Z"
//   parseIsoDateTime("2023-11-14T23:13:20+01:00") the same instant
//
// Sub-millisecond parts are cut (toward the past, also before 1970). Local
// time is the process's time zone (TZ) at the call.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

enum class TimeZoneChoice { utc, local };

// The calendar fields of an instant in a zone.
struct DateFields {
  std::int64_t year = 1970;
  int month = 1;  // 1...12
  int day = 1;    // 1...31
  int hour = 0;
  int minute = 0;
  int second = 0;
  int millisecond = 0;
  int utcOffsetSeconds = 0;  // east of UTC positive
  bool operator==(const DateFields&) const = default;
};

[[nodiscard]] DateFields dateFields(std::chrono::system_clock::time_point date, TimeZoneChoice zone);

// "yyyy-MM-dd HH:mm:ss.SSS"
[[nodiscard]] std::string dateTimeText(std::chrono::system_clock::time_point date, TimeZoneChoice zone);
void appendDateTimeText(std::string& out, std::chrono::system_clock::time_point date, TimeZoneChoice zone);
// "yyyy-MM-dd HH:mm:ss"
[[nodiscard]] std::string dateTimeSecondsText(std::chrono::system_clock::time_point date, TimeZoneChoice zone);
// "yyyy-MM-dd HH:mm:ss +hhmm"
[[nodiscard]] std::string dateTimeOffsetText(std::chrono::system_clock::time_point date, TimeZoneChoice zone);
// ISO 8601 in UTC: "yyyy-MM-ddTHH:mm:ssZ", with ".SSS" before the Z when asked.
[[nodiscard]] std::string isoDateTimeText(std::chrono::system_clock::time_point date, bool withMilliseconds = false);
void appendIsoDateTimeText(std::string& out, std::chrono::system_clock::time_point date, bool withMilliseconds = false);

// Reads "yyyy-MM-ddTHH:mm:ss", optional ".S…" (up to 9 digits), then "Z" or
// "+hh:mm" / "-hh:mm" / "+hhmm"; also "yyyy-MM-dd HH:mm:ss +hhmm". Fields out
// of their ranges (month 13, 31 April, hour 24) are nullopt, and so are dates
// the clock cannot hold (before 1677 or after 2262).
[[nodiscard]] std::optional<std::chrono::system_clock::time_point> parseIsoDateTime(std::string_view text);
// Only the fixed form "yyyy-MM-ddTHH:mm:ss.SSSZ" (log files' dates), with the
// same checks.
[[nodiscard]] std::optional<std::chrono::system_clock::time_point> parseIsoDateTimeMilliseconds(std::string_view text);

// Days since 1970-01-01 of a proleptic Gregorian date, and back.
[[nodiscard]] std::int64_t daysFromCivil(std::int64_t year, int month, int day);
[[nodiscard]] DateFields civilFromDays(std::int64_t days);

}  // namespace vantrel
