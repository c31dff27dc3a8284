#include "vantrel/core/date_text.h"

#include <ctime>

#include <fmt/format.h>

#include "vantrel/core/checked.h"

namespace vantrel {
namespace {

using std::chrono::system_clock;

std::int64_t floorDiv(std::int64_t a, std::int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

void appendTwo(std::string& out, int value) {
  out.push_back(static_cast<char>('0' + value / 10));
  out.push_back(static_cast<char>('0' + value % 10));
}

void appendYear(std::string& out, std::int64_t year) {
  if (year >= 0 && year <= 9999) {
    fmt::format_to(std::back_inserter(out), "{:04}", year);
  } else {
    fmt::format_to(std::back_inserter(out), "{}", year);
  }
}

void appendSeconds(std::string& out, const DateFields& f, char separator) {
  appendYear(out, f.year);
  out.push_back('-');
  appendTwo(out, f.month);
  out.push_back('-');
  appendTwo(out, f.day);
  out.push_back(separator);
  appendTwo(out, f.hour);
  out.push_back(':');
  appendTwo(out, f.minute);
  out.push_back(':');
  appendTwo(out, f.second);
}

void appendMillis(std::string& out, int millisecond) {
  out.push_back('.');
  out.push_back(static_cast<char>('0' + millisecond / 100));
  appendTwo(out, millisecond % 100);
}

// Reads exactly `count` ASCII digits at `pos`.
std::optional<int> digits(std::string_view text, std::size_t& pos, int count) {
  if (pos + static_cast<std::size_t>(count) > text.size()) return std::nullopt;
  int value = 0;
  for (int i = 0; i < count; ++i) {
    const char c = text[pos + static_cast<std::size_t>(i)];
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  pos += static_cast<std::size_t>(count);
  return value;
}

bool expect(std::string_view text, std::size_t& pos, char c) {
  if (pos >= text.size() || text[pos] != c) return false;
  ++pos;
  return true;
}

int daysInMonth(std::int64_t year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : kDays[month - 1];
}

}  // namespace

// Howard Hinnant's days_from_civil / civil_from_days: exact for every
// proleptic Gregorian date, no table, no locale.
std::int64_t daysFromCivil(std::int64_t year, int month, int day) {
  year -= month <= 2;
  const std::int64_t era = floorDiv(year, 400);
  const std::int64_t yoe = year - era * 400;
  const std::int64_t doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

DateFields civilFromDays(std::int64_t days) {
  days += 719468;
  const std::int64_t era = floorDiv(days, 146097);
  const std::int64_t doe = days - era * 146097;
  const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const std::int64_t mp = (5 * doy + 2) / 153;
  DateFields f;
  f.day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  f.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  f.year = yoe + era * 400 + (f.month <= 2);
  return f;
}

DateFields dateFields(system_clock::time_point date, TimeZoneChoice zone) {
  // floor, not duration_cast: a fraction of a millisecond before 1970 belongs
  // to the millisecond before.
  const std::int64_t millis = std::chrono::floor<std::chrono::milliseconds>(date.time_since_epoch()).count();
  std::int64_t seconds = floorDiv(millis, 1000);
  const int millisecond = static_cast<int>(millis - seconds * 1000);
  int offset = 0;
  if (zone == TimeZoneChoice::local) {
    const std::time_t t = static_cast<std::time_t>(seconds);
    std::tm local{};
    if (::localtime_r(&t, &local) != nullptr) offset = static_cast<int>(local.tm_gmtoff);
  }
  seconds += offset;
  const std::int64_t days = floorDiv(seconds, 86400);
  const std::int64_t inDay = seconds - days * 86400;
  DateFields f = civilFromDays(days);
  f.hour = static_cast<int>(inDay / 3600);
  f.minute = static_cast<int>(inDay / 60 % 60);
  f.second = static_cast<int>(inDay % 60);
  f.millisecond = millisecond;
  f.utcOffsetSeconds = offset;
  return f;
}

void appendDateTimeText(std::string& out, system_clock::time_point date, TimeZoneChoice zone) {
  const DateFields f = dateFields(date, zone);
  appendSeconds(out, f, ' ');
  appendMillis(out, f.millisecond);
}

std::string dateTimeText(system_clock::time_point date, TimeZoneChoice zone) {
  std::string out;
  appendDateTimeText(out, date, zone);
  return out;
}

std::string dateTimeSecondsText(system_clock::time_point date, TimeZoneChoice zone) {
  std::string out;
  appendSeconds(out, dateFields(date, zone), ' ');
  return out;
}

std::string dateTimeOffsetText(system_clock::time_point date, TimeZoneChoice zone) {
  const DateFields f = dateFields(date, zone);
  std::string out;
  appendSeconds(out, f, ' ');
  const int offset = f.utcOffsetSeconds;
  const int magnitude = (offset < 0 ? -offset : offset) / 60;
  out += offset < 0 ? " -" : " +";
  appendTwo(out, magnitude / 60);
  appendTwo(out, magnitude % 60);
  return out;
}

void appendIsoDateTimeText(std::string& out, system_clock::time_point date, bool withMilliseconds) {
  const DateFields f = dateFields(date, TimeZoneChoice::utc);
  appendSeconds(out, f, 'T');
  if (withMilliseconds) appendMillis(out, f.millisecond);
  out.push_back('Z');
}

std::string isoDateTimeText(system_clock::time_point date, bool withMilliseconds) {
  std::string out;
  appendIsoDateTimeText(out, date, withMilliseconds);
  return out;
}

std::optional<system_clock::time_point> parseIsoDateTimeMilliseconds(std::string_view text) {
  // Exactly 24 bytes: the fixed positions of "yyyy-MM-ddTHH:mm:ss.SSSZ".
  if (text.size() != 24 || text[19] != '.' || text[23] != 'Z') return std::nullopt;
  for (const std::size_t i : {20, 21, 22}) {
    if (text[i] < '0' || text[i] > '9') return std::nullopt;
  }
  return parseIsoDateTime(text);
}

std::optional<system_clock::time_point> parseIsoDateTime(std::string_view text) {
  std::size_t pos = 0;
  const auto year = digits(text, pos, 4);
  if (!year || !expect(text, pos, '-')) return std::nullopt;
  const auto month = digits(text, pos, 2);
  if (!month || !expect(text, pos, '-')) return std::nullopt;
  const auto day = digits(text, pos, 2);
  if (!day || pos >= text.size() || (text[pos] != 'T' && text[pos] != ' ')) return std::nullopt;
  const bool spaced = text[pos++] == ' ';
  const auto hour = digits(text, pos, 2);
  if (!hour || !expect(text, pos, ':')) return std::nullopt;
  const auto minute = digits(text, pos, 2);
  if (!minute || !expect(text, pos, ':')) return std::nullopt;
  const auto second = digits(text, pos, 2);
  if (!second) return std::nullopt;
  std::int64_t nanos = 0;
  if (!spaced && pos < text.size() && text[pos] == '.') {
    ++pos;
    int count = 0;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
      if (++count > 9) return std::nullopt;
      nanos = nanos * 10 + (text[pos++] - '0');
    }
    if (count == 0) return std::nullopt;
    for (int i = count; i < 9; ++i) nanos *= 10;
  }
  if (*month < 1 || *month > 12 || *day < 1 || *day > daysInMonth(*year, *month) || *hour > 23 ||
      *minute > 59 || *second > 59) {
    return std::nullopt;
  }
  int offsetSeconds = 0;
  if (spaced) {
    if (!expect(text, pos, ' ')) return std::nullopt;
  }
  if (!spaced && pos < text.size() && text[pos] == 'Z') {
    ++pos;
  } else {
    if (pos >= text.size() || (text[pos] != '+' && text[pos] != '-')) return std::nullopt;
    const int sign = text[pos++] == '-' ? -1 : 1;
    const auto oh = digits(text, pos, 2);
    if (!oh) return std::nullopt;
    if (!spaced && pos < text.size() && text[pos] == ':') ++pos;
    const auto om = digits(text, pos, 2);
    if (!om || *oh > 23 || *om > 59) return std::nullopt;
    offsetSeconds = sign * (*oh * 3600 + *om * 60);
  }
  if (pos != text.size()) return std::nullopt;
  std::int64_t seconds = daysFromCivil(*year, *month, *day) * 86400 + *hour * 3600 + *minute * 60 +
                               *second - offsetSeconds;
  // An instant the clock cannot hold (about 1677 to 2262) is no date, not
  // a wrapped one.
  // Before 1970 the fraction is taken off the next second up, so the first
  // instants of the clock do not overflow on the way.
  const bool borrow = seconds < 0 && nanos > 0;
  const auto whole = overflowingMul<std::int64_t>(borrow ? seconds + 1 : seconds, 1'000'000'000);
  const auto total = whole ? overflowingAdd<std::int64_t>(*whole, borrow ? nanos - 1'000'000'000 : nanos) : std::nullopt;
  if (!total) return std::nullopt;
  return system_clock::time_point(std::chrono::duration_cast<system_clock::duration>(std::chrono::nanoseconds(*total)));
}

}  // namespace vantrel
