#include "vantrel/foundation/time/date_utils.h"

#include <chrono>

#include "vantrel/core/console.h"
#include "vantrel/core/date_text.h"
#include "vantrel/core/number_text.h"
#include "vantrel/foundation/time/date_stamps.h"
#include "vantrel/platform/foundation/time/calendar.h"
#include "vantrel/platform/foundation/time/date_formatter.h"

namespace vantrel::VtDateUtils {

namespace {

// Walks back from today's start; `each` sees every date as it is appended.
template <class Each>
std::vector<Date> daysBackwards(Date today, std::int64_t count, Each each) {
  std::vector<Date> dates;
  if (count < 1) return dates;
  const Calendar calendar(CalendarIdentifier::gregorian);
  const DateComponents minusOneDay(-1, CalendarComponent::day);
  Date current = today;
  for (std::int64_t i = 0; i < count; ++i) {
    dates.push_back(current);
    each(dates);
    if (i + 1 == count) break;
    const auto previous = calendar.dateByAdding(minusOneDay, current);
    if (!previous) break;  // before the first instant a `Date` holds
    current = *previous;
  }
  return dates;
}

}  // namespace

std::vector<Date> beginningOfDayDatesBackwards(std::int64_t count) {
  return daysBackwards(beginningOfDayDate(), count, [](const std::vector<Date>&) {});
}

std::vector<Date> beginningOfDayDatesBackwards_Debug(std::int64_t count) {
  const Date today = beginningOfDayDate();
  DateFormatter german(DateFormatter::Style::full, DateFormatter::Style::full);
  german.setLocale(Locale("de"));
  consolePrint(dateTimeOffsetText(today, TimeZoneChoice::utc) + " /// " + german.string(today));
  consolePrint("---------------------------------------");
  return daysBackwards(today, count, [&](const std::vector<Date>& dates) {
    const Date date = dates.back();
    consolePrint(integerText(static_cast<std::int64_t>(dates.size())) + ": " + german.string(date));
    if (dates.size() < 2) return;
    const std::chrono::duration<double> difference = dates[dates.size() - 2] - date;
    if (difference.count() != 86400.0) consolePrint("----------------------> " + doubleText(difference.count()));
  });
}

}  // namespace vantrel::VtDateUtils
