#include <chrono>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

#include "vantrel/core/date_text.h"
#include "vantrel/core/deadline.h"
#include "vantrel/core/no_destructor.h"
#include "vantrel/core/number_text.h"

namespace vantrel {
namespace {

using namespace std::chrono;

TEST(NumberText, WritesEachForm) {
  struct Case {
    std::string got, want;
  };
  const Case cases[] = {
      {doubleText(0.1), "0.1"},
      {doubleText(3), "3.0"},
      {doubleText(1e16), "1e+16"},
      {doubleText(0.00001), "1e-05"},
      {doubleText(-0.0), "-0.0"},
      // Either side of the two edges of the decimal layout.
      {doubleText(1e-4), "0.0001"},
      {doubleText(std::nextafter(1e-4, 0.0)), "9.999999999999999e-05"},
      {doubleText(0x1.0p53), "9007199254740992.0"},
      {doubleText(-(0x1.0p53 + 2)), "-9.007199254740994e+15"},
      {doubleText(1e15), "1000000000000000.0"},
      {doubleText(-179.123456), "-179.123456"},
      {floatText(0.1f), "0.1"},
      {significantText(1.0 / 3), "0.333333333333333"},
      {significantText(0.25), "0.25"},
      {significantTextPointZero(2), "2.0"},
      {significantTextPointZero(1e20), "1e+20"},
      {significantTextPointZero(std::numeric_limits<double>::infinity()), "inf"},
      {printfDouble("%+08.2f", 1.5), "+0001.50"},
      {fixedText(2.0 / 3, 3), "0.667"},
      {fixedText(-1.5, 0), "-2"},
      {fixedText(-std::nan(""), 3), "nan"},
      {fixedText(-std::numeric_limits<double>::infinity(), 3), "-inf"},
      {printfDouble("%.3e", 12345.678), "1.235e+04"},
      {printfDouble("%Lf", 0.5), "0.500000"},
      {printfDouble("%.0f", 1e300).substr(0, 4), "1000"},
      {integerText(std::numeric_limits<std::int64_t>::min()), "-9223372036854775808"},
      {unsignedText(std::numeric_limits<std::uint64_t>::max()), "18446744073709551615"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.got, c.want);
}

TEST(NumberText, ParsesWholeTokensOnly) {
  struct Case {
    std::string_view text;
    std::optional<double> want;
  };
  const Case cases[] = {
      {"1.5", 1.5},       {"-2e3", -2000.0}, {"+0.25", 0.25},  {".5", 0.5},      {"5.", 5.0},
      {"0x1.8p1", 3.0},   {"-0x10", -16.0},  {"1e-400", 0.0},  {"1e400", std::nullopt},
      {"0x1p99999", std::nullopt},           {"0x1p-99999", 0.0},
      {"", std::nullopt}, {" 1", std::nullopt}, {"1 ", std::nullopt}, {"1,5", std::nullopt},
      {"+-1", std::nullopt}, {"--1", std::nullopt}, {"0x", std::nullopt}, {"0x-1", std::nullopt},
      {"1.5x", std::nullopt}, {"-", std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(parseDouble(c.text), c.want);
  }
  EXPECT_TRUE(std::isinf(*parseDouble("inf")));
  EXPECT_TRUE(std::isinf(*parseDouble("-Infinity")) && *parseDouble("-Infinity") < 0);
  EXPECT_TRUE(std::isnan(*parseDouble("nan")));
  EXPECT_TRUE(std::signbit(*parseDouble("-1e-400")));
  for (double v : {0.1, 1.0 / 3, 1e-310, 123456789.125, -2.5e300}) EXPECT_EQ(parseDouble(doubleText(v)), v);

  EXPECT_EQ(parseInt64("-42"), -42);
  EXPECT_EQ(parseInt64("+7"), 7);
  EXPECT_EQ(parseInt64("9223372036854775808"), std::nullopt);
  EXPECT_EQ(parseInt64("1.0"), std::nullopt);
  EXPECT_EQ(parseInt64(""), std::nullopt);
  EXPECT_EQ(parseUInt64("18446744073709551615"), std::numeric_limits<std::uint64_t>::max());
  EXPECT_EQ(parseUInt64("-1"), std::nullopt);
}

TEST(NumberTextDeathTest, RefusesASpecThatIsNotOneConversion) {
  EXPECT_DEATH((void)printfDouble("%d", 1), "is not one floating-point conversion");
  EXPECT_DEATH((void)printfDouble("%f%f", 1), "is not one floating-point conversion");
  EXPECT_DEATH((void)printfDouble("%.99999f", 1), "is not one floating-point conversion");
}

system_clock::time_point at(std::int64_t millis) { return system_clock::time_point(milliseconds(millis)); }

TEST(DateText, WritesEachFormInUtcAndLocal) {
  const auto t = at(1700000000123);  // 2023-11-14 22:13:20.123 UTC
  EXPECT_EQ(dateTimeText(t, TimeZoneChoice::utc), "2023-11-14 22:13:20.123");
  EXPECT_EQ(dateTimeSecondsText(t, TimeZoneChoice::utc), "2023-11-14 22:13:20");
  EXPECT_EQ(dateTimeOffsetText(t, TimeZoneChoice::utc), "2023-11-14 22:13:20 +0000");
  EXPECT_EQ(isoDateTimeText(t), "2023-11-14T22:13:20Z");
  EXPECT_EQ(isoDateTimeText(t, true), "2023-11-14T22:13:20.123Z");
  // Before 1970 the milliseconds count toward the past.
  EXPECT_EQ(dateTimeText(at(-1), TimeZoneChoice::utc), "1969-12-31 23:59:59.999");
  EXPECT_EQ(dateTimeText(at(951782400000), TimeZoneChoice::utc), "2000-02-29 00:00:00.000");

  const char* saved = std::getenv("TZ");
  const std::string savedTz = saved ? saved : "";
  for (const auto& [zone, want, offset] :
       {std::tuple{"IST-5:30", "2023-11-15 03:43:20.123", " +0530"}, {"HST10", "2023-11-14 12:13:20.123", " -1000"}}) {
    ::setenv("TZ", zone, 1);
    ::tzset();
    EXPECT_EQ(dateTimeText(t, TimeZoneChoice::local), want);
    EXPECT_EQ(dateTimeOffsetText(t, TimeZoneChoice::local).substr(19), offset);
  }
  if (saved) ::setenv("TZ", savedTz.c_str(), 1); else ::unsetenv("TZ");
  ::tzset();
}

TEST(DateText, ParsesIsoFormsAndRefusesBadFields) {
  const auto t = at(1700000000123);
  EXPECT_EQ(parseIsoDateTime("2023-11-14T22:13:20.123Z"), t);
  EXPECT_EQ(parseIsoDateTime("2023-11-14T23:13:20.123+01:00"), t);
  EXPECT_EQ(parseIsoDateTime("2023-11-14T22:13:20Z"), at(1700000000000));
  EXPECT_EQ(parseIsoDateTime("2023-11-14 22:13:20 +0000"), at(1700000000000));
  EXPECT_EQ(parseIsoDateTime("1969-12-31T23:59:59.999Z"), at(-1));
  // Sub-millisecond parts are cut toward the past, before 1970 too.
  EXPECT_EQ(isoDateTimeText(system_clock::time_point(std::chrono::microseconds(-500)), true),
            "1969-12-31T23:59:59.999Z");
  EXPECT_EQ(dateTimeText(system_clock::time_point(std::chrono::nanoseconds(-1)), TimeZoneChoice::utc),
            "1969-12-31 23:59:59.999");
  // The clock's last and first whole milliseconds still read.
  EXPECT_EQ(parseIsoDateTime("2262-04-11T23:47:16.854Z"), at(9223372036854));
  EXPECT_EQ(parseIsoDateTime("1677-09-21T00:12:43.146Z"), at(-9223372036854));
  for (std::string_view bad : {"2023-13-01T00:00:00Z", "2023-04-31T00:00:00Z", "2023-02-29T00:00:00Z",
                               "2023-11-14T24:00:00Z", "2023-11-14T22:13:20", "2023-11-14T22:13:20.Z",
                               "2023-11-14T22:13:20Zjunk", "2023-1-14T22:13:20Z", "",
                               // beyond the clock's nanoseconds: no wrapped date
                               "9999-12-31T23:59:59.999Z", "2262-04-11T23:47:16.855Z", "1677-09-21T00:12:43.145Z",
                               "0000-01-01T00:00:00Z"}) {
    SCOPED_TRACE(bad);
    EXPECT_EQ(parseIsoDateTime(bad), std::nullopt);
  }
  for (std::int64_t days : {-800000, -1, 0, 59, 10957, 2932896}) {
    const DateFields f = civilFromDays(days);
    EXPECT_EQ(daysFromCivil(f.year, f.month, f.day), days);
  }
}

TEST(Deadline, SaturatesInsteadOfOverflowing) {
  const auto now = steady_clock::now();
  EXPECT_EQ(deadlineAfter(steady_clock::duration::max(), now), steady_clock::time_point::max());
  EXPECT_EQ(deadlineAfter(hours::max(), now), steady_clock::time_point::max());
  EXPECT_EQ(deadlineAfter(duration<double>(std::numeric_limits<double>::infinity()), now),
            steady_clock::time_point::max());
  EXPECT_EQ(deadlineAfter(milliseconds(-5), now), now);
  EXPECT_EQ(deadlineAfter(milliseconds(50), now), now + milliseconds(50));
  EXPECT_EQ(deadlineAfter(duration<double>(0.25), now), now + milliseconds(250));
}

TEST(DeadlineDeathTest, RefusesNaN) {
  EXPECT_DEATH((void)deadlineAfter(duration<double>(std::nan(""))), "deadlineAfter: the duration is NaN");
}

TEST(NoDestructor, BuildsOnceAndIsNeverDestroyed) {
  static int destroyed = 0;
  struct Probe {
    explicit Probe(int v) : value(v) {}
    ~Probe() { ++destroyed; }
    int value;
  };
  {
    NoDestructor<Probe> probe(7);
    EXPECT_EQ(probe->value, 7);
    EXPECT_EQ((*probe).value, 7);
  }
  EXPECT_EQ(destroyed, 0);
}

}  // namespace
}  // namespace vantrel

namespace vantrel {
namespace {

std::chrono::system_clock::time_point atNanos(std::int64_t ns) {
  return std::chrono::system_clock::time_point(std::chrono::duration_cast<std::chrono::system_clock::duration>(
      std::chrono::nanoseconds(ns)));
}

TEST(DateText, IsoMillisecondsAreFlooredTowardThePast) {
  const struct {
    std::int64_t nanos;
    const char* text;
  } cases[] = {
      {0, "1970-01-01T00:00:00.000Z"},
      {-1000, "1969-12-31T23:59:59.999Z"},  // a microsecond before 1970 is not 1970
      {-1000000, "1969-12-31T23:59:59.999Z"},
      {-1000001, "1969-12-31T23:59:59.998Z"},
      {951782400999999999, "2000-02-29T00:00:00.999Z"},
      {-86400000000000, "1969-12-31T00:00:00.000Z"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(isoDateTimeText(atNanos(c.nanos), true), c.text);
    std::string appended = "x";
    appendIsoDateTimeText(appended, atNanos(c.nanos), true);
    EXPECT_EQ(appended, std::string("x") + c.text);
  }
}

TEST(DateText, FixedIsoFormAndDatesTheClockCannotHold) {
  EXPECT_EQ(parseIsoDateTimeMilliseconds("2023-11-14T22:13:20.123Z"), atNanos(1700000000123000000));
  EXPECT_EQ(parseIsoDateTimeMilliseconds("1969-12-31T23:59:59.999Z"), atNanos(-1000000));
  for (std::string_view bad :
       {"2023-11-14T22:13:20Z", "2023-11-14T22:13:20.12Z", "2023-11-14T22:13:20.1234Z", "2023-11-14 22:13:20.123Z",
        "2023-11-14T23:13:20.123+01:00", "2023-11-14T22:13:20.123z", "2023-02-29T22:13:20.123Z",
        "1500-01-01T00:00:00.000Z", "9999-12-31T23:59:59.999Z", " 2023-11-14T22:13:20.123Z"}) {
    SCOPED_TRACE(bad);
    EXPECT_EQ(parseIsoDateTimeMilliseconds(bad), std::nullopt);
  }
  // The general reader refuses what the clock cannot hold instead of overflowing.
  EXPECT_EQ(parseIsoDateTime("1500-01-01T00:00:00Z"), std::nullopt);
  EXPECT_EQ(parseIsoDateTime("2263-01-01T00:00:00Z"), std::nullopt);
  EXPECT_NE(parseIsoDateTime("1678-01-01T00:00:00Z"), std::nullopt);
  EXPECT_NE(parseIsoDateTime("2262-01-01T00:00:00Z"), std::nullopt);
}

}  // namespace
}  // namespace vantrel
