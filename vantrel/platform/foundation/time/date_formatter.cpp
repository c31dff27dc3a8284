#include "vantrel/platform/foundation/time/date_formatter.h"

#include <cstdint>
#include <cstdlib>
#include <utility>

#include <unicode/calendar.h>
#include <unicode/datefmt.h>
#include <unicode/locid.h>
#include <unicode/smpdtfmt.h>
#include <unicode/timezone.h>
#include <unicode/unistr.h>

#include "vantrel/core/no_destructor.h"

namespace vantrel {

namespace {

std::string utf8(const icu::UnicodeString& text) {
  std::string out;
  text.toUTF8String(out);
  return out;
}

std::string zoneIdentifier(const icu::TimeZone& zone) {
  icu::UnicodeString id;
  zone.getID(id);
  return utf8(id);
}

// ICU counts milliseconds as a double; the clock's finer part is cut toward
// the past, like core's date texts, so -0.5 s is 23:59:59.500.
UDate udateOf(Date date) {
  const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(date.time_since_epoch()).count();
  auto ms = ns / 1'000'000;
  if (ns % 1'000'000 < 0) --ms;
  return static_cast<UDate>(ms);
}

}  // namespace

// ---- TimeZone ----

TimeZone TimeZone::current() {
  // ICU reads /etc/localtime into a static buffer that it clears on every
  // detection, unguarded: concurrent detections must take turns.
  static NoDestructor<std::mutex> detection;
  std::lock_guard lock(*detection);
  // ICU also detects once on its own, unguarded, the first time anything
  // needs its default zone (the calendar of a new SimpleDateFormat). Made
  // here, under the lock, that detection cannot overlap one of ours: a
  // thread that gets here while another builds a formatter waits for it.
  static const bool icuDefaultZoneReady = [] {
    delete icu::TimeZone::createDefault();
    return true;
  }();
  (void)icuDefaultZoneReady;
  std::unique_ptr<icu::TimeZone> zone(icu::TimeZone::detectHostTimeZone());
  return TimeZone(zoneIdentifier(*zone));
}

std::optional<TimeZone> TimeZone::forSecondsFromGMT(int seconds) {
  if (seconds == 0) return TimeZone("GMT");
  // ICU's custom zones reach 23:59; the platform stops at 18 hours.
  if (seconds < -18 * 3600 || seconds > 18 * 3600) return std::nullopt;
  const int minutes = std::abs(seconds) / 60;
  std::string id = seconds < 0 ? "GMT-" : "GMT+";
  const int hours = minutes / 60;
  const int rest = minutes % 60;
  id += static_cast<char>('0' + hours / 10);
  id += static_cast<char>('0' + hours % 10);
  id += ':';
  id += static_cast<char>('0' + rest / 10);
  id += static_cast<char>('0' + rest % 10);
  if (hours == 0 && rest == 0) return TimeZone("GMT");
  return TimeZone(std::move(id));
}

std::optional<TimeZone> TimeZone::named(std::string_view identifier) {
  std::unique_ptr<icu::TimeZone> zone(icu::TimeZone::createTimeZone(
      icu::UnicodeString::fromUTF8(icu::StringPiece(identifier.data(), static_cast<std::int32_t>(identifier.size())))));
  if (!zone || *zone == icu::TimeZone::getUnknown()) return std::nullopt;
  return TimeZone(zoneIdentifier(*zone));
}

// ---- Locale ----

Locale Locale::current() { return Locale(icu::Locale::getDefault().getName()); }

// ---- DateFormatter ----

struct DateFormatter::Icu {
  // Null when ICU refused the settings (an unterminated quote in the pattern).
  std::unique_ptr<icu::SimpleDateFormat> format;
};

DateFormatter::DateFormatter() {
  settings_.locale = Locale::current().identifier();
  settings_.timeZone = TimeZone::current().identifier();
}

DateFormatter::DateFormatter(const DateFormatter& other) : settings_(other.settingsCopy()) {}

DateFormatter& DateFormatter::operator=(const DateFormatter& other) {
  if (this == &other) return *this;
  Settings copy = other.settingsCopy();
  std::lock_guard lock(mutex_);
  settings_ = std::move(copy);
  icu_.reset();
  return *this;
}

DateFormatter::~DateFormatter() = default;

DateFormatter::Settings DateFormatter::settingsCopy() const {
  std::lock_guard lock(mutex_);
  return settings_;
}

namespace {

DateFormatter fixedUtcFormatter(std::string_view pattern) {
  DateFormatter formatter;
  formatter.setDateFormat(pattern);
  formatter.setLocale(Locale("en_US_POSIX"));
  formatter.setTimeZone(*TimeZone::forSecondsFromGMT(0));
  return formatter;
}

icu::DateFormat::EStyle icuStyle(DateFormatter::Style style) {
  switch (style) {
    case DateFormatter::Style::none: return icu::DateFormat::kNone;
    case DateFormatter::Style::short_: return icu::DateFormat::kShort;
    case DateFormatter::Style::medium: return icu::DateFormat::kMedium;
    case DateFormatter::Style::long_: return icu::DateFormat::kLong;
    case DateFormatter::Style::full: return icu::DateFormat::kFull;
  }
  return icu::DateFormat::kNone;
}

// ICU's milliseconds as an instant, when the clock's nanoseconds reach it.
std::optional<Date> dateOfUDate(UDate udate) {
  // INT64_MAX nanoseconds is 9223372036854.775807 ms; whole milliseconds
  // within +-9223372036854 convert exactly.
  if (!(udate >= -9223372036854.0 && udate <= 9223372036854.0)) return std::nullopt;
  const auto ms = static_cast<std::int64_t>(udate);
  return Date(std::chrono::duration_cast<Date::duration>(std::chrono::nanoseconds(ms * 1'000'000)));
}

}  // namespace

DateFormatter::DateFormatter(Style timeStyle, Style dateStyle, std::optional<TimeZone> timeZone) : DateFormatter() {
  setTimeStyle(timeStyle);
  setDateStyle(dateStyle);
  if (timeZone) setTimeZone(*timeZone);
}

DateFormatter::DateFormatter(std::string_view formatString) : DateFormatter() { setDateFormat(formatString); }

DateFormatter DateFormatter::naiveISODateFormatter_withFractionalSeconds() {
  return fixedUtcFormatter("yyyy-MM-dd'T'HH:mm:ss.SSS'Z'");
}

DateFormatter DateFormatter::naiveISODateFormatter_withoutFractionalSeconds() {
  return fixedUtcFormatter("yyyy-MM-dd'T'HH:mm:ss'Z'");
}

DateFormatter DateFormatter::vtJsonIsoDateFormatter() { return fixedUtcFormatter("yyyy-MM-dd'T'HH:mm:ss.SSS'Z'"); }

DateFormatter DateFormatter::sqliteDateFormatter() { return fixedUtcFormatter("yyyy-MM-dd' 'HH:mm:ss.SSS"); }

DateFormatter DateFormatter::utcDateFormatter() { return fixedUtcFormatter("yyyy-MM-dd HH:mm:ss 'UTC'"); }

void DateFormatter::setDateFormat(std::string_view pattern) {
  std::lock_guard lock(mutex_);
  settings_.pattern = std::string(pattern);
  // Only the pattern changes: the ICU object in use takes it as it is, which
  // costs a fraction of building a new one (callers that try several
  // patterns in turn, like the RFC 822 parser, rely on that).
  if (icu_ && icu_->format && !settings_.styled) {
    icu_->format->applyPattern(icu::UnicodeString::fromUTF8(settings_.pattern));
    return;
  }
  settings_.styled = false;
  icu_.reset();
}

std::string DateFormatter::dateFormat() const {
  std::lock_guard lock(mutex_);
  if (!settings_.styled) return settings_.pattern;
  Icu& icu = icuLocked();
  if (!icu.format) return {};
  icu::UnicodeString pattern;
  icu.format->toPattern(pattern);
  return utf8(pattern);
}

DateFormatter& DateFormatter::vtSetFormatString(std::string_view pattern) {
  setDateFormat(pattern);
  return *this;
}

void DateFormatter::setDateStyle(Style style) {
  std::lock_guard lock(mutex_);
  settings_.dateStyle = style;
  settings_.styled = true;
  icu_.reset();
}

DateFormatter::Style DateFormatter::dateStyle() const { return settingsCopy().dateStyle; }

void DateFormatter::setTimeStyle(Style style) {
  std::lock_guard lock(mutex_);
  settings_.timeStyle = style;
  settings_.styled = true;
  icu_.reset();
}

DateFormatter::Style DateFormatter::timeStyle() const { return settingsCopy().timeStyle; }

void DateFormatter::setLocale(const Locale& locale) {
  std::lock_guard lock(mutex_);
  settings_.locale = locale.identifier();
  icu_.reset();
}

Locale DateFormatter::locale() const { return Locale(settingsCopy().locale); }

void DateFormatter::setTimeZone(const TimeZone& zone) {
  std::lock_guard lock(mutex_);
  settings_.timeZone = zone.identifier();
  icu_.reset();
}

TimeZone DateFormatter::timeZone() const {
  // Identifiers held here were all produced by TimeZone's makers.
  auto zone = TimeZone::named(settingsCopy().timeZone);
  return zone ? *zone : *TimeZone::forSecondsFromGMT(0);
}

void DateFormatter::setCalendar(CalendarIdentifier calendar) {
  std::lock_guard lock(mutex_);
  settings_.calendar = calendar;
  icu_.reset();
}

CalendarIdentifier DateFormatter::calendar() const { return settingsCopy().calendar; }

DateFormatter::Icu& DateFormatter::icuLocked() const {
  if (icu_) return *icu_;
  auto built = std::make_unique<Icu>();
  UErrorCode status = U_ZERO_ERROR;
  icu::Locale locale(settings_.locale.c_str());
  if (settings_.calendar == CalendarIdentifier::gregorian) locale.setKeywordValue("calendar", "gregorian", status);
  std::unique_ptr<icu::SimpleDateFormat> format;
  if (settings_.styled) {
    // Both styles none write the empty text; ICU would fall back to a
    // pattern of its own.
    if (settings_.dateStyle == Style::none && settings_.timeStyle == Style::none) {
      icu_ = std::move(built);
      return *icu_;
    }
    std::unique_ptr<icu::DateFormat> styled(icu::DateFormat::createDateTimeInstance(
        icuStyle(settings_.dateStyle), icuStyle(settings_.timeStyle), locale));
    if (auto* simple = dynamic_cast<icu::SimpleDateFormat*>(styled.get())) {
      styled.release();
      format.reset(simple);
    }
  } else {
    format = std::make_unique<icu::SimpleDateFormat>(icu::UnicodeString::fromUTF8(settings_.pattern), locale, status);
  }
  if (format && U_SUCCESS(status)) {
    format->adoptTimeZone(icu::TimeZone::createTimeZone(icu::UnicodeString::fromUTF8(settings_.timeZone)));
    format->setLenient(false);
    built->format = std::move(format);
  }
  icu_ = std::move(built);
  return *icu_;
}

std::string DateFormatter::string(Date date) const {
  std::lock_guard lock(mutex_);
  Icu& icu = icuLocked();
  if (!icu.format) return {};
  icu::UnicodeString out;
  icu.format->format(udateOf(date), out);
  return utf8(out);
}

std::optional<Date> DateFormatter::date(std::string_view text) const {
  if (text.size() > static_cast<std::size_t>(INT32_MAX)) return std::nullopt;  // beyond ICU's lengths
  const icu::UnicodeString input =
      icu::UnicodeString::fromUTF8(icu::StringPiece(text.data(), static_cast<std::int32_t>(text.size())));
  std::lock_guard lock(mutex_);
  Icu& icu = icuLocked();
  if (!icu.format) return std::nullopt;
  icu::ParsePosition position(0);
  const UDate parsed = icu.format->parse(input, position);
  if (position.getErrorIndex() >= 0 || position.getIndex() != input.length()) return std::nullopt;
  return dateOfUDate(parsed);
}

}  // namespace vantrel
