// File: vantrel/platform/foundation/time/calendar.h
//
// `Calendar` and `DateComponents`: calendar arithmetic over ICU, in place of
// the platform's calendar, with the platform's units.
//
//   Calendar gregorian(CalendarIdentifier::gregorian);      // the current time zone
//   DateComponents minusOneDay(-1, CalendarComponent::day);
//   gregorian.dateByAdding(minusOneDay, midnight)           // midnight of the day before,
//                                                           // 23 or 25 hours back across a clock change
//   DateComponents({1, 2, 3}, {CalendarComponent::year, CalendarComponent::month})   // year 1, month 2
//
// Adding keeps the wall-clock time where it can; with `wrappingComponents`
// a unit rolls within the next larger one (January minus one month is
// December of the same year). Units are added from the largest to the
// smallest. A result the `Date` cannot hold, or an amount beyond 32 bits
// for a calendar unit, answers nullopt. `calendar` and `timeZone` carry no
// number: setting them does nothing. Values, safe to copy between threads;
// one `Calendar` may be used from several threads.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "vantrel/platform/foundation/time/date.h"
#include "vantrel/platform/foundation/time/date_formatter.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

enum class CalendarComponent {
  era,
  year,
  month,
  day,
  hour,
  minute,
  second,
  weekday,
  weekdayOrdinal,
  quarter,
  weekOfMonth,
  weekOfYear,
  yearForWeekOfYear,
  nanosecond,
  calendar,
  timeZone,
};

class DateComponents {
 public:
  // No unit set.
  DateComponents() = default;
  // Only `unit` set, to `value`.
  DateComponents(std::int64_t value, CalendarComponent unit);
  // `values` and `units` taken pairwise, in order; the longer list's extra
  // items are ignored.
  DateComponents(const std::vector<std::int64_t>& values, const std::vector<CalendarComponent>& units);

  [[nodiscard]] std::optional<std::int64_t> value(CalendarComponent unit) const;
  // nullopt clears the unit.
  void setValue(std::optional<std::int64_t> value, CalendarComponent unit);

  friend bool operator==(const DateComponents&, const DateComponents&) = default;

 private:
  // One slot per numeric unit (every unit before `calendar`).
  std::array<std::optional<std::int64_t>, static_cast<std::size_t>(CalendarComponent::calendar)> values_{};
};

class Calendar {
 public:
  // The current time zone at this call.
  explicit Calendar(CalendarIdentifier identifier);

  [[nodiscard]] CalendarIdentifier identifier() const { return identifier_; }
  [[nodiscard]] const TimeZone& timeZone() const { return timeZone_; }
  void setTimeZone(TimeZone zone) { timeZone_ = std::move(zone); }

  // `date` moved by every unit set in `components`; see the top.
  [[nodiscard]] std::optional<Date> dateByAdding(const DateComponents& components, Date date,
                                                 bool wrappingComponents = false) const;
  // The value of `unit` at `date` in this calendar and zone (months count
  // from 1, weekdays from 1 = Sunday); nullopt for `calendar` and `timeZone`.
  [[nodiscard]] std::optional<std::int64_t> component(CalendarComponent unit, Date date) const;

 private:
  CalendarIdentifier identifier_;
  TimeZone timeZone_;
};

}  // namespace vantrel
