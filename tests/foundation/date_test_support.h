// Pins the clock's zone, the user's locale and "now" for date tests.
#pragma once

#include <time.h>

#include <clocale>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>

#include <gtest/gtest.h>
#include <unicode/locid.h>
#include <unicode/timezone.h>

#include "files_test_support.h"
#include "vantrel/core/date_text.h"
#include "vantrel/foundation/time/internal/current_date.h"

namespace vantrel::testing {

// The time zone and the user's locale for a scope, on both sides: the C
// library's (TZ and tzset; setlocale) and ICU's defaults, since ICU caches
// its default zone and would not see TZ change. The C locale is one every
// system has, so the scope never skips.
class ScopedDateEnvironment {
 public:
  ScopedDateEnvironment(const char* zone, const char* icuLocale, const char* cLocale = "C.UTF-8")
      : tz_("TZ", std::string(zone)),
        previousIcuZone_(icu::TimeZone::createDefault()),
        previousIcuLocale_(icu::Locale::getDefault()),
        previousCLocale_(std::setlocale(LC_ALL, nullptr)) {
    ::tzset();
    icu::TimeZone::adoptDefault(icu::TimeZone::createTimeZone(icu::UnicodeString::fromUTF8(zone)));
    UErrorCode status = U_ZERO_ERROR;
    icu::Locale::setDefault(icu::Locale(icuLocale), status);
    EXPECT_TRUE(U_SUCCESS(status)) << icuLocale;
    EXPECT_NE(std::setlocale(LC_ALL, cLocale), nullptr) << cLocale;
  }
  ~ScopedDateEnvironment() {
    std::setlocale(LC_ALL, previousCLocale_.c_str());
    UErrorCode status = U_ZERO_ERROR;
    icu::Locale::setDefault(previousIcuLocale_, status);
    icu::TimeZone::adoptDefault(previousIcuZone_.release());
  }
  ScopedDateEnvironment(const ScopedDateEnvironment&) = delete;
  ScopedDateEnvironment& operator=(const ScopedDateEnvironment&) = delete;

 private:
  // Destroyed after `tz_`, so the C library reads the restored TZ.
  struct TzsetOnExit {
    ~TzsetOnExit() { ::tzset(); }
  } tzsetOnExit_;
  ScopedEnv tz_;
  std::unique_ptr<icu::TimeZone> previousIcuZone_;
  icu::Locale previousIcuLocale_;
  std::string previousCLocale_;
};

// An instant from its ISO 8601 text ("2021-03-28T10:00:00Z").
inline Date isoDate(const char* text) {
  const auto date = parseIsoDateTime(text);
  EXPECT_TRUE(date.has_value()) << text;
  return date.value_or(Date{});
}

using foundation_internal::ScopedCurrentDate;

}  // namespace vantrel::testing
