// Under a locale whose decimal separator is a comma, the stopwatch texts and
// the filled formats still write (and read back) numbers with a point.
#include <cstdio>

#include <gtest/gtest.h>

#include "tests/foundation/localization_test_support.h"
#include "tests/support/comma_locale.h"
#include "vantrel/core/number_text.h"
#include "vantrel/foundation/localization/localization.h"
#include "vantrel/foundation/time/timers_stopwatches.h"

namespace vantrel {
namespace {

void expectCommaLocale(const testing::ScopedCommaDecimalLocale& locale) {
  ASSERT_TRUE(locale.active());
  char probe[8];
  std::snprintf(probe, sizeof probe, "%.1f", 0.5);
  ASSERT_STREQ(probe, "0,5");  // the locale is really in force
}

TEST(CommaDecimalLocale, StopwatchSecondsKeepTheDecimalPoint) {
  testing::ScopedCommaDecimalLocale locale;
  expectCommaLocale(locale);
  const struct {
    double seconds;
    const char* text;
  } cases[] = {{0.25, "0.25"}, {2, "2.0"}, {1234.5, "1234.5"}, {1e-7, "1e-07"}, {0.1 + 0.2, "0.3"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const std::string text = foundation_internal::secondsText(c.seconds);
    EXPECT_EQ(text, c.text);
    const std::optional<double> back = parseDouble(text);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(foundation_internal::secondsText(*back), text);
  }
}

TEST(CommaDecimalLocale, FilledFormatsAreLocaleFree) {
  testing::LocalizationWorld world;
  testing::ScopedCommaDecimalLocale locale;
  expectCommaLocale(locale);
  EXPECT_EQ(formatLocalize("%.2f", std::nullopt, 1.5), "1.50");
  EXPECT_EQ(formatLocalize("%e|%g|%G", std::nullopt, 1234.5, 0.25, 1e-10), "1.234500e+03|0.25|1E-10");
  EXPECT_EQ(formatLocalize("%'.1f %'d", std::nullopt, 1234567.5, 1234567), "1234567.5 1234567");  // no grouping
  EXPECT_EQ(formatLocalize("%@ %a", std::nullopt, 0.5, 1.0), "0.5 0x1p+0");
  EXPECT_EQ(parseDouble(formatLocalize("%.17g", std::nullopt, 0.1)), 0.1);
}

}  // namespace
}  // namespace vantrel
