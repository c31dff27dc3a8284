// File: vantrel/platform/foundation/time/date_formatter.h
//
// `DateFormatter`: dates written by a date-format pattern (Unicode Technical
// Standard #35) in a locale, a calendar and a time zone, over ICU's
// SimpleDateFormat; with the `TimeZone` and `Locale` values it takes.
//
//   DateFormatter f;                              // the user's locale, calendar and zone
//   f.setDateFormat("yyyy-MM-dd_HHmm");
//   f.setLocale(Locale("en_US_POSIX"));
//   f.setCalendar(CalendarIdentifier::gregorian);
//   f.string(date)                                // "2021-03-03_0905"
//   DateFormatter::naiveISODateFormatter_withFractionalSeconds().string(date)
//                                                 // "2001-01-01T00:00:00.000Z"
//
// The current time zone is asked of the host at each `TimeZone::current()`
// (so a changed TZ counts from the next call); the current locale is ICU's
// default locale (from the environment, or `icu::Locale::setDefault`).
// Locale-free fixed forms (logs, ISO stamps) go through core's date_text.h
// instead. Settings that ICU refuses write the empty text. A formatter may
// be shared between threads: its uses are serialised.
#pragma once

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "vantrel/platform/foundation/time/date.h"

#include "vantrel/core/api.h"
namespace vantrel VANTREL_API {

// A time zone by its identifier ("Asia/Kolkata", "GMT", "GMT+05:30").
class TimeZone {
 public:
  // The host's zone at this call (TZ, else /etc/localtime).
  [[nodiscard]] static TimeZone current();
  // The fixed zone `seconds` east of GMT ("GMT" for 0); whole minutes count.
  // nullopt beyond 18 hours either way.
  [[nodiscard]] static std::optional<TimeZone> forSecondsFromGMT(int seconds);
  // The zone known by that identifier; nullopt for an unknown one.
  [[nodiscard]] static std::optional<TimeZone> named(std::string_view identifier);

  [[nodiscard]] const std::string& identifier() const { return identifier_; }
  [[nodiscard]] std::string description() const { return identifier_; }
  friend bool operator==(const TimeZone&, const TimeZone&) = default;

 private:
  explicit TimeZone(std::string identifier) : identifier_(std::move(identifier)) {}
  std::string identifier_;
};

// A locale by its ICU identifier ("en_US_POSIX", "th_TH").
class Locale {
 public:
  explicit Locale(std::string identifier) : identifier_(std::move(identifier)) {}
  // ICU's default locale at this call.
  [[nodiscard]] static Locale current();

  [[nodiscard]] const std::string& identifier() const { return identifier_; }
  [[nodiscard]] std::string description() const { return identifier_; }
  friend bool operator==(const Locale&, const Locale&) = default;

 private:
  std::string identifier_;
};

// `localeDefault`: the calendar the locale names (Buddhist for th_TH, ...).
enum class CalendarIdentifier { localeDefault, gregorian };

class DateFormatter {
 public:
  // The current locale, its calendar and the current time zone; empty pattern.
  DateFormatter();
  DateFormatter(const DateFormatter& other);
  DateFormatter& operator=(const DateFormatter& other);
  ~DateFormatter();

  // "yyyy-MM-dd'T'HH:mm:ss.SSS'Z'", "en_US_POSIX", GMT: a new formatter each call.
  [[nodiscard]] static DateFormatter naiveISODateFormatter_withFractionalSeconds();
  // "yyyy-MM-dd'T'HH:mm:ss'Z'", "en_US_POSIX", GMT.
  [[nodiscard]] static DateFormatter naiveISODateFormatter_withoutFractionalSeconds();

  void setDateFormat(std::string_view pattern);
  [[nodiscard]] std::string dateFormat() const;
  void setLocale(const Locale& locale);
  [[nodiscard]] Locale locale() const;
  void setTimeZone(const TimeZone& zone);
  [[nodiscard]] TimeZone timeZone() const;
  void setCalendar(CalendarIdentifier calendar);
  [[nodiscard]] CalendarIdentifier calendar() const;

  // `date` written by the pattern; sub-millisecond parts are cut toward the past.
  [[nodiscard]] std::string string(Date date) const;

 private:
  struct Settings {
    std::string pattern;
    std::string locale;
    std::string timeZone;
    CalendarIdentifier calendar = CalendarIdentifier::localeDefault;
  };
  struct Icu;

  Settings settingsCopy() const;

  mutable std::mutex mutex_;
  Settings settings_;
  // Built from the settings on first use after a change.
  mutable std::unique_ptr<Icu> icu_;
};

}  // namespace vantrel
