#include "vantrel/platform/foundation/time/calendar.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <memory>

#include <unicode/calendar.h>
#include <unicode/locid.h>
#include <unicode/timezone.h>
#include <unicode/unistr.h>

#include "vantrel/core/checked.h"

namespace vantrel {

namespace {

constexpr std::size_t slot(CalendarComponent unit) { return static_cast<std::size_t>(unit); }

std::unique_ptr<icu::Calendar> icuCalendar(CalendarIdentifier identifier, const TimeZone& zone) {
  UErrorCode status = U_ZERO_ERROR;
  icu::Locale locale = icu::Locale::getDefault();
  if (identifier == CalendarIdentifier::gregorian) locale.setKeywordValue("calendar", "gregorian", status);
  std::unique_ptr<icu::Calendar> calendar(icu::Calendar::createInstance(
      icu::TimeZone::createTimeZone(icu::UnicodeString::fromUTF8(zone.identifier())), locale, status));
  if (U_FAILURE(status)) return nullptr;
  return calendar;
}

// The ICU field a unit moves, with the factor of its amount.
struct FieldStep {
  CalendarComponent unit;
  UCalendarDateFields field;
  std::int64_t factor;
};

// Largest unit first; nanoseconds are added outside ICU.
constexpr FieldStep kSteps[] = {
    {CalendarComponent::era, UCAL_ERA, 1},
    {CalendarComponent::year, UCAL_YEAR, 1},
    {CalendarComponent::yearForWeekOfYear, UCAL_YEAR_WOY, 1},
    {CalendarComponent::quarter, UCAL_MONTH, 3},
    {CalendarComponent::month, UCAL_MONTH, 1},
    {CalendarComponent::weekOfYear, UCAL_WEEK_OF_YEAR, 1},
    {CalendarComponent::weekOfMonth, UCAL_WEEK_OF_MONTH, 1},
    {CalendarComponent::weekdayOrdinal, UCAL_DAY_OF_WEEK_IN_MONTH, 1},
    {CalendarComponent::weekday, UCAL_DAY_OF_WEEK, 1},
    {CalendarComponent::day, UCAL_DAY_OF_MONTH, 1},
    {CalendarComponent::hour, UCAL_HOUR_OF_DAY, 1},
    {CalendarComponent::minute, UCAL_MINUTE, 1},
    {CalendarComponent::second, UCAL_SECOND, 1},
};

std::int64_t nanosecondsOf(Date date) {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(date.time_since_epoch()).count();
}

}  // namespace

DateComponents::DateComponents(std::int64_t value, CalendarComponent unit) { setValue(value, unit); }

DateComponents::DateComponents(const std::vector<std::int64_t>& values, const std::vector<CalendarComponent>& units) {
  const std::size_t n = std::min(values.size(), units.size());
  for (std::size_t i = 0; i < n; ++i) setValue(values[i], units[i]);
}

std::optional<std::int64_t> DateComponents::value(CalendarComponent unit) const {
  if (slot(unit) >= values_.size()) return std::nullopt;
  return values_[slot(unit)];
}

void DateComponents::setValue(std::optional<std::int64_t> value, CalendarComponent unit) {
  if (slot(unit) >= values_.size()) return;
  values_[slot(unit)] = value;
}

Calendar::Calendar(CalendarIdentifier identifier) : identifier_(identifier), timeZone_(TimeZone::current()) {}

std::optional<Date> Calendar::dateByAdding(const DateComponents& components, Date date,
                                           bool wrappingComponents) const {
  auto calendar = icuCalendar(identifier_, timeZone_);
  if (!calendar) return std::nullopt;
  // ICU counts whole milliseconds; the finer part rides along unchanged.
  const std::int64_t ns = nanosecondsOf(date);
  std::int64_t ms = ns / 1'000'000;
  if (ns % 1'000'000 < 0) --ms;
  const std::int64_t finer = ns - ms * 1'000'000;
  UErrorCode status = U_ZERO_ERROR;
  calendar->setTime(static_cast<UDate>(ms), status);
  for (const FieldStep& step : kSteps) {
    const auto value = components.value(step.unit);
    if (!value || *value == 0) continue;
    const auto amount = overflowingMul<std::int64_t>(*value, step.factor);
    if (!amount || *amount < INT32_MIN || *amount > INT32_MAX) return std::nullopt;
    if (wrappingComponents) {
      calendar->roll(step.field, static_cast<std::int32_t>(*amount), status);
    } else {
      calendar->add(step.field, static_cast<std::int32_t>(*amount), status);
    }
    if (U_FAILURE(status)) return std::nullopt;
  }
  const UDate moved = calendar->getTime(status);
  if (U_FAILURE(status) || !(moved >= -9223372036854.0 && moved <= 9223372036854.0)) return std::nullopt;
  auto total = overflowingMul<std::int64_t>(static_cast<std::int64_t>(moved), 1'000'000);
  if (total) total = overflowingAdd<std::int64_t>(*total, finer);
  if (const auto extra = components.value(CalendarComponent::nanosecond); total && extra) {
    total = overflowingAdd<std::int64_t>(*total, *extra);
  }
  if (!total) return std::nullopt;
  return Date(std::chrono::duration_cast<Date::duration>(std::chrono::nanoseconds(*total)));
}

std::optional<std::int64_t> Calendar::component(CalendarComponent unit, Date date) const {
  auto calendar = icuCalendar(identifier_, timeZone_);
  if (!calendar) return std::nullopt;
  const std::int64_t ns = nanosecondsOf(date);
  std::int64_t ms = ns / 1'000'000;
  if (ns % 1'000'000 < 0) --ms;
  UErrorCode status = U_ZERO_ERROR;
  calendar->setTime(static_cast<UDate>(ms), status);
  auto field = [&](UCalendarDateFields f) -> std::optional<std::int64_t> {
    const std::int32_t v = calendar->get(f, status);
    if (U_FAILURE(status)) return std::nullopt;
    return v;
  };
  switch (unit) {
    case CalendarComponent::era: return field(UCAL_ERA);
    case CalendarComponent::year: return field(UCAL_YEAR);
    case CalendarComponent::month: {
      const auto m = field(UCAL_MONTH);
      return m ? std::optional<std::int64_t>(*m + 1) : std::nullopt;
    }
    case CalendarComponent::day: return field(UCAL_DAY_OF_MONTH);
    case CalendarComponent::hour: return field(UCAL_HOUR_OF_DAY);
    case CalendarComponent::minute: return field(UCAL_MINUTE);
    case CalendarComponent::second: return field(UCAL_SECOND);
    case CalendarComponent::weekday: return field(UCAL_DAY_OF_WEEK);
    case CalendarComponent::weekdayOrdinal: return field(UCAL_DAY_OF_WEEK_IN_MONTH);
    case CalendarComponent::quarter: {
      const auto m = field(UCAL_MONTH);
      return m ? std::optional<std::int64_t>(*m / 3 + 1) : std::nullopt;
    }
    case CalendarComponent::weekOfMonth: return field(UCAL_WEEK_OF_MONTH);
    case CalendarComponent::weekOfYear: return field(UCAL_WEEK_OF_YEAR);
    case CalendarComponent::yearForWeekOfYear: return field(UCAL_YEAR_WOY);
    case CalendarComponent::nanosecond: {
      const auto milliseconds = field(UCAL_MILLISECOND);
      return milliseconds ? std::optional<std::int64_t>(*milliseconds * 1'000'000 + (ns - ms * 1'000'000))
                          : std::nullopt;
    }
    case CalendarComponent::calendar:
    case CalendarComponent::timeZone: return std::nullopt;
  }
  return std::nullopt;
}

}  // namespace vantrel
