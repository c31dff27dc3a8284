#include "vantrel/foundation/time/rfc822_date.h"

#include <memory>
#include <string>

#include "vantrel/core/thread_cache.h"
#include "vantrel/platform/foundation/time/date_formatter.h"
#include "vantrel/text/string_services.h"

namespace vantrel {

namespace {

constexpr std::string_view kDateFormatsWithComma[] = {
    "EEE, d MMM yyyy HH:mm:ss zzz",
    "EEE, d MMM yyyy HH:mm zzz",
    "EEE, d MMM yyyy HH:mm:ss",
    "EEE, d MMM yyyy HH:mm",
};

constexpr std::string_view kDateFormatsWithoutComma[] = {
    "d MMM yyyy HH:mm:ss zzz",
    "d MMM yyyy HH:mm zzz",
    "d MMM yyyy HH:mm:ss",
    "d MMM yyyy HH:mm",
};

// The helper formatter changes its pattern for every attempt, so one shared
// formatter would let two threads' attempts change each other's pattern.
// One per thread keeps each thread's attempts its own.
DateFormatter& helperFormatter() {
  constinit thread_local ThreadCache<DateFormatter> formatter;
  return formatter.get([] {
    auto f = std::make_unique<DateFormatter>();
    f->setLocale(Locale("en_US_POSIX"));
    f->setTimeZone(*TimeZone::forSecondsFromGMT(0));
    return f;
  });
}

}  // namespace

std::optional<Date> dateFromRFC822String(std::string_view text) {
  const std::string upper = uppercased(text);
  DateFormatter& formatter = helperFormatter();
  const bool withComma = upper.find(',') != std::string::npos;
  for (std::string_view format : withComma ? kDateFormatsWithComma : kDateFormatsWithoutComma) {
    formatter.setDateFormat(format);
    if (auto date = formatter.date(upper)) return date;
  }
  return std::nullopt;
}

}  // namespace vantrel
