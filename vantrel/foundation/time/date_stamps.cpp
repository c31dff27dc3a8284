#include "vantrel/foundation/time/date_stamps.h"

#include <chrono>
#include <memory>

#include <unicode/gregocal.h>
#include <unicode/timezone.h>
#include <unicode/unistr.h>

#include "vantrel/core/date_text.h"
#include "vantrel/core/fatal.h"
#include "vantrel/foundation/time/internal/current_date.h"

namespace vantrel {

namespace {

// A file-name stamp must read the same for every user, so the user's locale
// and calendar are replaced; only the time zone is the user's.
std::string localStamp(Date date, std::string_view pattern) {
  DateFormatter formatter;
  formatter.setLocale(Locale("en_US_POSIX"));
  formatter.setCalendar(CalendarIdentifier::gregorian);
  formatter.setTimeZone(TimeZone::current());
  formatter.setDateFormat(pattern);
  return formatter.string(date);
}

UDate udateOf(Date date) {
  const auto ms = std::chrono::floor<std::chrono::milliseconds>(date.time_since_epoch()).count();
  return static_cast<UDate>(ms);
}

Date dateOf(UDate udate) {
  return Date(std::chrono::duration_cast<Date::duration>(
      std::chrono::milliseconds(static_cast<std::int64_t>(udate))));
}

// A Gregorian calendar in the host's current time zone, set to `date`.
std::unique_ptr<icu::GregorianCalendar> currentCalendarAt(Date date) {
  UErrorCode status = U_ZERO_ERROR;
  const std::string zone = TimeZone::current().identifier();
  auto calendar = std::make_unique<icu::GregorianCalendar>(
      icu::TimeZone::createTimeZone(icu::UnicodeString::fromUTF8(zone)), status);
  if (U_FAILURE(status)) fatal("Cannot create a Gregorian calendar");
  calendar->setTime(udateOf(date), status);
  return calendar;
}

}  // namespace

std::string qEasy(Date self) { return localStamp(self, "yyyy-MM-dd_HHmm"); }
std::string qEasyTime(Date self) { return localStamp(self, "HH-mm-ss"); }
std::string qYyyyMmDdHhMmSs(Date self) { return localStamp(self, "yyyy-MM-dd_HH-mm-ss"); }
std::string qIso_with(Date self) { return isoDateTimeText(self, true); }
std::string qIso_without(Date self) { return isoDateTimeText(self, false); }

std::string vtNowString() { return localStamp(std::chrono::system_clock::now(), "yyyy-MM-dd_HH-mm"); }
std::string vtNowStringWithSeconds() {
  return localStamp(std::chrono::system_clock::now(), "yyyy-MM-dd_HH-mm-ss");
}
std::string vtNowStringTime() { return localStamp(std::chrono::system_clock::now(), "HH-mm-ss"); }

std::string formatWith(Date self, const DateFormatter& formatter) { return formatter.string(self); }

bool vtIsTimeBetweenSlang(Date self, std::int64_t start, std::int64_t end) {
  auto calendar = currentCalendarAt(self);
  UErrorCode status = U_ZERO_ERROR;
  const std::int64_t hour = calendar->get(UCAL_HOUR_OF_DAY, status);
  const std::int64_t minute = calendar->get(UCAL_MINUTE, status);
  const std::int64_t t = hour * 100 + minute;
  if (end >= start) return start <= t && t < end;
  return t >= start || t < end;
}

Date beginningOfDayDate() { return foundation_internal::beginningOfDay(foundation_internal::currentDate()); }

namespace foundation_internal {

Date beginningOfDay(Date date) {
  auto calendar = currentCalendarAt(date);
  UErrorCode status = U_ZERO_ERROR;
  const int year = calendar->get(UCAL_EXTENDED_YEAR, status);
  const int month = calendar->get(UCAL_MONTH, status);
  const int day = calendar->get(UCAL_DAY_OF_MONTH, status);
  calendar->clear();
  // A skipped midnight resolves to the first instant after the gap, a
  // repeated one to its first occurrence: the day's true start either way.
  calendar->setRepeatedWallTimeOption(UCAL_WALLTIME_FIRST);
  calendar->setSkippedWallTimeOption(UCAL_WALLTIME_NEXT_VALID);
  calendar->set(UCAL_EXTENDED_YEAR, year);
  calendar->set(UCAL_MONTH, month);
  calendar->set(UCAL_DAY_OF_MONTH, day);
  const UDate start = calendar->getTime(status);
  if (U_FAILURE(status)) fatal("Cannot compute the beginning of the day");
  return dateOf(start);
}

}  // namespace foundation_internal

}  // namespace vantrel
