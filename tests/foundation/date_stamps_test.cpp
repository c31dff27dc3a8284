#include "vantrel/foundation/time/date_stamps.h"

#include <time.h>

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include <gtest/gtest.h>
#include <unicode/locid.h>

#include "files_test_support.h"
#include "vantrel/core/date_text.h"

namespace vantrel {
namespace {

using testing::ScopedEnv;

// TZ for a scope; the host zone is asked again at every call.
class ScopedTimeZone {
 public:
  explicit ScopedTimeZone(const char* zone) : env_("TZ", std::string(zone)) { ::tzset(); }
  ~ScopedTimeZone() { ::tzset(); }

 private:
  ScopedEnv env_;
};

// The user's locale for a scope: ICU's default locale, and the C library's
// (compiled with localedef into a temporary LOCPATH, as the comma-locale
// helper does) so neither can leak into a stamp.
class ScopedUserLocale {
 public:
  explicit ScopedUserLocale(const std::string& name) : previousIcu_(icu::Locale::getDefault()) {
    UErrorCode status = U_ZERO_ERROR;
    icu::Locale::setDefault(icu::Locale(name.c_str()), status);
    EXPECT_TRUE(U_SUCCESS(status)) << name;
    folder_ = std::filesystem::temp_directory_path() / ("vantrel-date-locale-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder_);
    const std::string locale = name + ".UTF-8";
    if (!std::filesystem::exists(folder_ / locale / "LC_TIME")) {
      const std::string command =
          "localedef -i " + name + " -f UTF-8 '" + (folder_ / locale).string() + "' >/dev/null 2>&1";
      (void)std::system(command.c_str());
    }
    const char* previousPath = std::getenv("LOCPATH");
    if (previousPath != nullptr) previousLocPath_ = previousPath;
    ::setenv("LOCPATH", folder_.c_str(), 1);
    previousC_ = std::setlocale(LC_ALL, nullptr);
    EXPECT_NE(std::setlocale(LC_ALL, locale.c_str()), nullptr) << "localedef could not build " << locale;
  }
  ~ScopedUserLocale() {
    std::setlocale(LC_ALL, previousC_.c_str());
    if (previousLocPath_) ::setenv("LOCPATH", previousLocPath_->c_str(), 1); else ::unsetenv("LOCPATH");
    UErrorCode status = U_ZERO_ERROR;
    icu::Locale::setDefault(previousIcu_, status);
  }
  ScopedUserLocale(const ScopedUserLocale&) = delete;
  ScopedUserLocale& operator=(const ScopedUserLocale&) = delete;

  static void removeFolders() {
    std::error_code ignored;
    std::filesystem::remove_all(
        std::filesystem::temp_directory_path() / ("vantrel-date-locale-" + std::to_string(::getpid())), ignored);
  }

 private:
  icu::Locale previousIcu_;
  std::filesystem::path folder_;
  std::optional<std::string> previousLocPath_;
  std::string previousC_;
};

class DateStampsTest : public ::testing::Test {
 protected:
  static void TearDownTestSuite() { ScopedUserLocale::removeFolders(); }
};

Date utc(const char* iso) { return *parseIsoDateTime(iso); }

bool isStamp(const std::string& text, std::string_view shape) {
  if (text.size() != shape.size()) return false;
  for (std::size_t i = 0; i < shape.size(); ++i) {
    if (shape[i] == 'd' ? (text[i] < '0' || text[i] > '9') : text[i] != shape[i]) return false;
  }
  return true;
}

TEST_F(DateStampsTest, LocalStampsAreGregorianWithAsciiDigitsInEveryUserLocale) {
  struct Case {
    const char* zone;
    const char* easy;
    const char* easyTime;
    const char* seconds;
  };
  // 03:35:07.250 UTC: 09:05:07 in India, 00:35:07 in Brazil.
  const Date date = utc("2021-03-03T03:35:07.250Z");
  const Case cases[] = {
      {"UTC", "2021-03-03_0335", "03-35-07", "2021-03-03_03-35-07"},
      {"Asia/Kolkata", "2021-03-03_0905", "09-05-07", "2021-03-03_09-05-07"},
      {"America/Sao_Paulo", "2021-03-03_0035", "00-35-07", "2021-03-03_00-35-07"},
  };
  for (const char* locale : {"th_TH", "ar_EG"}) {
    ScopedUserLocale user(locale);
    for (const auto& c : cases) {
      SCOPED_TRACE(std::string(locale) + " " + c.zone);
      ScopedTimeZone zone(c.zone);
      EXPECT_EQ(qEasy(date), c.easy);
      EXPECT_EQ(qEasyTime(date), c.easyTime);
      EXPECT_EQ(qYyyyMmDdHhMmSs(date), c.seconds);
      EXPECT_TRUE(isStamp(vtNowString(), "dddd-dd-dd_dd-dd")) << vtNowString();
      EXPECT_TRUE(isStamp(vtNowStringWithSeconds(), "dddd-dd-dd_dd-dd-dd")) << vtNowStringWithSeconds();
      EXPECT_TRUE(isStamp(vtNowStringTime(), "dd-dd-dd")) << vtNowStringTime();
      EXPECT_EQ(vtNowString().substr(0, 2), "20");
    }
  }
}

// What the stamps are protected from: a formatter left at the user's
// defaults writes the Buddhist era and Arabic-Indic digits.
TEST_F(DateStampsTest, AFormatterWithTheUserDefaultsFollowsTheUserLocale) {
  ScopedTimeZone zone("UTC");
  const Date date = utc("2021-03-03T03:35:07Z");
  {
    ScopedUserLocale user("th_TH");
    DateFormatter formatter;
    formatter.setDateFormat("yyyy");
    EXPECT_EQ(formatter.string(date), "2564");
    formatter.setCalendar(CalendarIdentifier::gregorian);
    EXPECT_EQ(formatWith(date, formatter), "2021");
  }
  {
    ScopedUserLocale user("ar_EG");
    DateFormatter formatter;
    formatter.setDateFormat("yyyy");
    EXPECT_EQ(formatter.string(date), "\u0662\u0660\u0662\u0661");
  }
}

TEST_F(DateStampsTest, IsoStampsAreUtcAndCutMillisecondsTowardThePast) {
  struct Case {
    double seconds;
    const char* with;
    const char* without;
  };
  const Case cases[] = {
      {978307200.0, "2001-01-01T00:00:00.000Z", "2001-01-01T00:00:00Z"},
      {978307200.9999, "2001-01-01T00:00:00.999Z", "2001-01-01T00:00:00Z"},
      {-0.5, "1969-12-31T23:59:59.500Z", "1969-12-31T23:59:59Z"},
  };
  ScopedUserLocale user("th_TH");
  ScopedTimeZone zone("Asia/Kolkata");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.with);
    const Date date = dateWithTimeIntervalSince1970(c.seconds);
    EXPECT_EQ(qIso_with(date), c.with);
    EXPECT_EQ(qIso_without(date), c.without);
    // The factories' formatters write the same texts.
    EXPECT_EQ(formatWith(date, DateFormatter::naiveISODateFormatter_withFractionalSeconds()), c.with);
    EXPECT_EQ(formatWith(date, DateFormatter::naiveISODateFormatter_withoutFractionalSeconds()), c.without);
  }
}

TEST_F(DateStampsTest, SettersApplyAfterAFirstUse) {
  const Date date = utc("2021-03-03T03:35:07Z");
  DateFormatter formatter;
  formatter.setLocale(Locale("en_US_POSIX"));
  formatter.setTimeZone(*TimeZone::forSecondsFromGMT(0));
  formatter.setDateFormat("HH:mm");
  EXPECT_EQ(formatter.string(date), "03:35");
  formatter.setTimeZone(*TimeZone::named("Asia/Kolkata"));
  EXPECT_EQ(formatter.string(date), "09:05");
  formatter.setDateFormat("yyyy");
  EXPECT_EQ(DateFormatter(formatter).string(date), "2021");
}

TEST_F(DateStampsTest, FactoriesFixPatternLocaleAndZone) {
  const auto formatter = DateFormatter::naiveISODateFormatter_withFractionalSeconds();
  EXPECT_EQ(formatter.dateFormat(), "yyyy-MM-dd'T'HH:mm:ss.SSS'Z'");
  EXPECT_EQ(formatter.locale().identifier(), "en_US_POSIX");
  EXPECT_EQ(formatter.timeZone().identifier(), "GMT");
  EXPECT_EQ(DateFormatter::naiveISODateFormatter_withoutFractionalSeconds().dateFormat(),
            "yyyy-MM-dd'T'HH:mm:ss'Z'");
}

TEST_F(DateStampsTest, SecondsSince1970RoundTrip) {
  EXPECT_EQ(timeIntervalSince1970(dateWithTimeIntervalSince1970(978307200.5)), 978307200.5);
  EXPECT_EQ(dateWithTimeIntervalSince1970(-0.5).time_since_epoch(), std::chrono::milliseconds(-500));
}

TEST(DateStampsDeathTest, SecondsWithoutAnInstantStop) {
  EXPECT_DEATH((void)dateWithTimeIntervalSince1970(std::nan("")), "Fatal error: ");
  EXPECT_DEATH((void)dateWithTimeIntervalSince1970(1e300), "Fatal error: ");
}

TEST_F(DateStampsTest, CurrentTimeZoneFollowsTZ) {
  {
    ScopedTimeZone zone("Asia/Kolkata");
    EXPECT_EQ(TimeZone::current().identifier(), "Asia/Kolkata");
  }
  ScopedTimeZone zone("America/Sao_Paulo");
  EXPECT_EQ(TimeZone::current().identifier(), "America/Sao_Paulo");
  EXPECT_EQ(TimeZone::named("Nowhere/Special"), std::nullopt);
  EXPECT_EQ(TimeZone::forSecondsFromGMT(19800)->identifier(), "GMT+05:30");
  EXPECT_EQ(TimeZone::forSecondsFromGMT(-18 * 3600 - 1), std::nullopt);
}

TEST_F(DateStampsTest, TimeWindowsWithinADayOverMidnightAndEmpty) {
  struct Case {
    const char* time;
    std::int64_t start;
    std::int64_t end;
    bool inside;
  };
  const Case cases[] = {
      {"23:30", 2200, 600, true},  {"00:00", 2200, 600, true},  {"05:59", 2200, 600, true},
      {"22:00", 2200, 600, true},  {"06:00", 2200, 600, false}, {"21:59", 2200, 600, false},
      {"09:00", 900, 1700, true},  {"16:59", 900, 1700, true},  {"17:00", 900, 1700, false},
      {"08:59", 900, 1700, false}, {"08:00", 800, 800, false},  {"12:00", 800, 800, false},
  };
  ScopedTimeZone zone("UTC");
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.time) + " " + std::to_string(c.start) + "-" + std::to_string(c.end));
    const Date date = utc(("2021-03-03T" + std::string(c.time) + ":30Z").c_str());
    EXPECT_EQ(vtIsTimeBetweenSlang(date, c.start, c.end), c.inside);
  }
}

TEST_F(DateStampsTest, TimeWindowsUseTheCurrentTimeZone) {
  const Date date = utc("2021-03-03T03:35:00Z");
  {
    ScopedTimeZone zone("Asia/Kolkata");  // 09:05
    EXPECT_TRUE(vtIsTimeBetweenSlang(date, 900, 1700));
  }
  ScopedTimeZone zone("UTC");
  EXPECT_FALSE(vtIsTimeBetweenSlang(date, 900, 1700));
}

TEST_F(DateStampsTest, ComparisonsAreStrict) {
  const Date a = utc("2021-03-03T03:35:00Z");
  const Date b = a + std::chrono::milliseconds(1);
  EXPECT_FALSE(isEarlierThan(a, a));
  EXPECT_FALSE(isLaterThan(a, a));
  EXPECT_TRUE(isEarlierThan(a, b));
  EXPECT_TRUE(isLaterThan(b, a));
}

TEST_F(DateStampsTest, BeginningOfDayIsTheDaysFirstInstant) {
  struct Case {
    const char* zone;
    const char* date;
    const char* start;
  };
  const Case cases[] = {
      {"UTC", "2021-03-03T23:59:59.999Z", "2021-03-03T00:00:00Z"},
      // 23:59 in India is 18:29 UTC; the day began at 18:30 UTC the day before.
      {"Asia/Kolkata", "2021-03-03T18:29:00Z", "2021-03-02T18:30:00Z"},
      // Clocks went from 00:00 to 01:00 (UTC-2): the day began at 01:00.
      {"America/Sao_Paulo", "2018-11-04T15:00:00Z", "2018-11-04T03:00:00Z"},
      {"America/Sao_Paulo", "2018-11-04T03:00:00Z", "2018-11-04T03:00:00Z"},
      {"America/Sao_Paulo", "2018-11-03T12:00:00Z", "2018-11-03T03:00:00Z"},
      // Clocks went from 01:00 back to 00:00 (UTC-5): the first midnight counts.
      {"America/Havana", "2021-11-07T12:00:00Z", "2021-11-07T04:00:00Z"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.zone) + " " + c.date);
    ScopedTimeZone zone(c.zone);
    EXPECT_EQ(isoDateTimeText(foundation_internal::beginningOfDay(utc(c.date))),
              isoDateTimeText(utc(c.start)));
  }
  ScopedTimeZone zone("America/Sao_Paulo");
  EXPECT_EQ(qEasy(foundation_internal::beginningOfDay(utc("2018-11-04T15:00:00Z"))), "2018-11-04_0100");
}

TEST_F(DateStampsTest, BeginningOfDayDateIsMidnightOfToday) {
  ScopedTimeZone zone("Asia/Kolkata");
  const Date start = beginningOfDayDate();
  EXPECT_LE(start, std::chrono::system_clock::now());
  EXPECT_EQ(qEasyTime(start), "00-00-00");
  EXPECT_EQ(qYyyyMmDdHhMmSs(start).substr(0, 10), qYyyyMmDdHhMmSs(std::chrono::system_clock::now()).substr(0, 10));
}

}  // namespace
}  // namespace vantrel
