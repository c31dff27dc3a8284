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
//   DateFormatter::utcDateFormatter().date("2001-01-01 00:00:00 UTC")   // parses
//   DateFormatter(DateFormatter::Style::full, DateFormatter::Style::full).vtSetFormatString("HH:mm");
//
// The current time zone is asked of the host at each `TimeZone::current()`
// (so a changed TZ counts from the next call); the current locale is ICU's
// default locale (from the environment, or `icu::Locale::setDefault`).
// Locale-free fixed forms (logs, ISO stamps) go through core's date_text.h
// instead. Settings that ICU refuses write the empty text and parse
// nothing. Parsing is strict (not lenient) and succeeds only when the whole
// text is consumed. A date style or time style (the locale's own patterns)
// replaces the pattern, and a pattern replaces the styles, whichever was set
// last. A formatter may be shared between threads: its uses are serialised.
// Changing only the pattern of a formatter in use keeps its ICU object, so
// trying several patterns in turn stays cheap.
#pragma once

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "vantrel/platform/foundation/time/date.h"

#include "vantrel/api.h"
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
  // The platform's formatter styles; `short_` and `long_` as `short` and
  // `long` are keywords.
  enum class Style { none, short_, medium, long_, full };

  // The current locale, its calendar and the current time zone; empty pattern.
  DateFormatter();
  // The time style, then the date style; the zone only when given (else the
  // current one).
  DateFormatter(Style timeStyle, Style dateStyle, std::optional<TimeZone> timeZone = std::nullopt);
  // A plain formatter whose pattern is `formatString`.
  explicit DateFormatter(std::string_view formatString);
  DateFormatter(const DateFormatter& other);
  DateFormatter& operator=(const DateFormatter& other);
  ~DateFormatter();

  // "yyyy-MM-dd'T'HH:mm:ss.SSS'Z'", "en_US_POSIX", GMT: a new formatter each call.
  [[nodiscard]] static DateFormatter naiveISODateFormatter_withFractionalSeconds();
  // "yyyy-MM-dd'T'HH:mm:ss'Z'", "en_US_POSIX", GMT.
  [[nodiscard]] static DateFormatter naiveISODateFormatter_withoutFractionalSeconds();
  // "yyyy-MM-dd'T'HH:mm:ss.SSS'Z'", "en_US_POSIX", GMT.
  [[nodiscard]] static DateFormatter vtJsonIsoDateFormatter();
  // "yyyy-MM-dd' 'HH:mm:ss.SSS", "en_US_POSIX", GMT.
  [[nodiscard]] static DateFormatter sqliteDateFormatter();
  // "yyyy-MM-dd HH:mm:ss 'UTC'", "en_US_POSIX", GMT.
  [[nodiscard]] static DateFormatter utcDateFormatter();

  void setDateFormat(std::string_view pattern);
  // The pattern set last, or the one the styles give.
  [[nodiscard]] std::string dateFormat() const;
  // `setDateFormat`, answering the formatter for chained calls.
  DateFormatter& vtSetFormatString(std::string_view pattern);
  void setDateStyle(Style style);
  [[nodiscard]] Style dateStyle() const;
  void setTimeStyle(Style style);
  [[nodiscard]] Style timeStyle() const;
  void setLocale(const Locale& locale);
  [[nodiscard]] Locale locale() const;
  void setTimeZone(const TimeZone& zone);
  [[nodiscard]] TimeZone timeZone() const;
  void setCalendar(CalendarIdentifier calendar);
  [[nodiscard]] CalendarIdentifier calendar() const;

  // `date` written by the pattern; sub-millisecond parts are cut toward the past.
  [[nodiscard]] std::string string(Date date) const;
  // The date the whole of `text` gives, or nullopt (also for an instant the
  // `Date` cannot hold).
  [[nodiscard]] std::optional<Date> date(std::string_view text) const;

 private:
  struct Settings {
    std::string pattern;
    std::string locale;
    std::string timeZone;
    CalendarIdentifier calendar = CalendarIdentifier::localeDefault;
    Style dateStyle = Style::none;
    Style timeStyle = Style::none;
    bool styled = false;  // the styles, not the pattern, were set last
  };
  struct Icu;

  Settings settingsCopy() const;
  // The ICU object for the settings, built on first use; mutex_ held.
  Icu& icuLocked() const;

  mutable std::mutex mutex_;
  Settings settings_;
  // Built from the settings on first use after a change.
  mutable std::unique_ptr<Icu> icu_;
};

}  // namespace vantrel
