#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "date_test_support.h"
#include "vantrel/core/console.h"
#include "vantrel/foundation/time/date_utils.h"
#include "vantrel/foundation/time/rfc822_date.h"
#include "vantrel/platform/foundation/time/calendar.h"
#include "vantrel/platform/foundation/time/date_formatter.h"

namespace vantrel {
namespace {

using testing::isoDate;
using testing::ScopedCurrentDate;
using testing::ScopedDateEnvironment;

std::optional<std::int64_t> epochSeconds(std::optional<Date> date) {
  if (!date) return std::nullopt;
  return std::chrono::duration_cast<std::chrono::seconds>(date->time_since_epoch()).count();
}

TEST(Rfc822DateTest, ReadsHeaderDatesInEveryForm) {
  // Zones and locale that must not leak into the result.
  ScopedDateEnvironment environment("Asia/Kolkata", "th_TH");
  constexpr std::int64_t kJune10 = 1055217600;  // 2003-06-10 04:00:00 GMT
  struct Case {
    const char* text;
    std::optional<std::int64_t> seconds;
  };
  const Case cases[] = {
      // With a comma: the four forms with a weekday, in order.
      {"Tue, 10 Jun 2003 04:00:00 GMT", kJune10},
      {"Tue, 10 Jun 2003 04:00 GMT", kJune10},
      {"Tue, 10 Jun 2003 04:00:00", kJune10},
      {"Tue, 10 Jun 2003 04:00", kJune10},
      // Without one: the same four without a weekday.
      {"10 Jun 2003 04:00:00 GMT", kJune10},
      {"10 Jun 2003 04:00 GMT", kJune10},
      {"10 Jun 2003 04:00:00", kJune10},
      {"10 Jun 2003 04:00", kJune10},
      {"1 Jun 2003 04:00", kJune10 - 9 * 86400},
      // Case does not matter.
      {"tue, 10 jun 2003 04:00:00 gmt", kJune10},
      {"TuE, 10 jUN 2003 04:00:00 Gmt", kJune10},
      // Named zones.
      {"Tue, 10 Jun 2003 04:00:00 UT", kJune10},
      {"Tue, 10 Jun 2003 04:00:00 UTC", kJune10},
      {"Tue, 10 Jun 2003 04:00:00 EST", kJune10 + 5 * 3600},
      {"Tue, 10 Jun 2003 04:00:00 EDT", kJune10 + 4 * 3600},
      {"Tue, 10 Jun 2003 04:00:00 PST", kJune10 + 8 * 3600},
      {"10 Jun 2003 04:00 pdt", kJune10 + 7 * 3600},
      // Numeric zones.
      {"Tue, 10 Jun 2003 04:00:00 +0200", kJune10 - 2 * 3600},
      {"10 Jun 2003 04:00:00 -0500", kJune10 + 5 * 3600},
      {"10 Jun 2003 04:00 +0530", kJune10 - 5 * 3600 - 1800},
      {"Tue, 10 Jun 2003 04:00:00 GMT+02:00", kJune10 - 2 * 3600},
      // The weekday is read, not checked.
      {"Wed, 10 Jun 2003 04:00:00 GMT", kJune10},
      // Refused: trailing text, after "GMT" or elsewhere.
      {"Tue, 10 Jun 2003 04:00:00 GMTX", std::nullopt},
      {"Tue, 10 Jun 2003 04:00:00 GMT today", std::nullopt},
      {"10 Jun 2003 04:00 GMT ", std::nullopt},
      {"Tue, 10 Jun 2003 04:00:00 CEST", std::nullopt},
      // A weekday needs its comma, and a comma its weekday.
      {"Tue 10 Jun 2003 04:00:00 GMT", std::nullopt},
      {"10 Jun 2003, 04:00", std::nullopt},
      // Fields out of range, empty and partial texts.
      {"32 Jun 2003 04:00", std::nullopt},
      {"10 Jun 2003 24:00", std::nullopt},
      {"", std::nullopt},
      {"10 Jun 2003", std::nullopt},
      // Dates the clock holds at its ends, and beyond them.
      {"11 Apr 2262 23:47 GMT", 9223372020},
      {"11 Apr 2262 23:48 GMT", std::nullopt},
      {"1 Jan 2300 00:00 GMT", std::nullopt},
      {"21 Sep 1677 00:13 GMT", -9223372020},
      {"21 Sep 1677 00:12 GMT", std::nullopt},
      {"1 Jan 1600 00:00 GMT", std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(epochSeconds(dateFromRFC822String(c.text)), c.seconds);
  }
}

TEST(DateFormatterFactoriesTest, WriteAndReadTheirFixedFormsWhateverTheUserSettings) {
  ScopedDateEnvironment environment("America/Sao_Paulo", "ar_EG");
  struct Case {
    const char* name;
    DateFormatter formatter;
    const char* start2001;
    const char* minusHalfMillisecond;
  };
  const Case cases[] = {
      {"naiveISODateFormatter_withFractionalSeconds", DateFormatter::naiveISODateFormatter_withFractionalSeconds(),
       "2001-01-01T00:00:00.000Z", "1969-12-31T23:59:59.999Z"},
      {"naiveISODateFormatter_withoutFractionalSeconds",
       DateFormatter::naiveISODateFormatter_withoutFractionalSeconds(), "2001-01-01T00:00:00Z",
       "1969-12-31T23:59:59Z"},
      {"vtJsonIsoDateFormatter", DateFormatter::vtJsonIsoDateFormatter(), "2001-01-01T00:00:00.000Z",
       "1969-12-31T23:59:59.999Z"},
      {"sqliteDateFormatter", DateFormatter::sqliteDateFormatter(), "2001-01-01 00:00:00.000",
       "1969-12-31 23:59:59.999"},
      {"utcDateFormatter", DateFormatter::utcDateFormatter(), "2001-01-01 00:00:00 UTC", "1969-12-31 23:59:59 UTC"},
  };
  const Date start2001 = dateWithTimeIntervalSince1970(978307200);
  const Date minusHalfMillisecond = Date(-std::chrono::microseconds(500));
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.formatter.string(start2001), c.start2001);
    EXPECT_EQ(c.formatter.string(minusHalfMillisecond), c.minusHalfMillisecond);
    EXPECT_EQ(c.formatter.date(c.start2001), start2001);
    EXPECT_EQ(c.formatter.locale().identifier(), "en_US_POSIX");
    EXPECT_EQ(c.formatter.timeZone().identifier(), "GMT");
    // The whole text or nothing.
    EXPECT_EQ(c.formatter.date(std::string(c.start2001) + " "), std::nullopt);
    EXPECT_EQ(c.formatter.date(std::string(c.start2001).substr(1)), std::nullopt);
  }
  const auto with = DateFormatter::naiveISODateFormatter_withFractionalSeconds();
  const auto without = DateFormatter::naiveISODateFormatter_withoutFractionalSeconds();
  EXPECT_EQ(without.date("2001-01-01T00:00:00.000Z"), std::nullopt);
  EXPECT_EQ(with.date("2001-01-01T00:00:00Z"), std::nullopt);
  // The quoted letters are literal, not zones.
  EXPECT_EQ(with.date("2001-01-01T00:00:00.000+01:00"), std::nullopt);
  EXPECT_EQ(DateFormatter::utcDateFormatter().date("2001-01-01 00:00:00 GMT"), std::nullopt);
  // Not lenient: no 30 February.
  EXPECT_EQ(DateFormatter::sqliteDateFormatter().date("2001-02-30 00:00:00.000"), std::nullopt);
}

TEST(DateFormatterInitialisersTest, StylesPatternsAndChainedSetters) {
  ScopedDateEnvironment environment("Europe/Berlin", "en_US");
  const Date date = isoDate("2003-06-10T04:05:06Z");
  // A pattern alone keeps the user's locale and the current zone.
  DateFormatter patterned("yyyy-MM-dd HH:mm MMMM");
  EXPECT_EQ(patterned.string(date), "2003-06-10 06:05 June");
  EXPECT_EQ(patterned.locale().identifier(), "en_US");
  EXPECT_EQ(patterned.timeZone().identifier(), "Europe/Berlin");
  EXPECT_EQ(patterned.vtSetFormatString("HH:mm").vtSetFormatString("d.M.").string(date), "10.6.");
  // Styles: the time style, the date style, the zone only when given.
  const DateFormatter styled(DateFormatter::Style::short_, DateFormatter::Style::medium,
                             TimeZone::forSecondsFromGMT(0));
  EXPECT_EQ(styled.timeStyle(), DateFormatter::Style::short_);
  EXPECT_EQ(styled.dateStyle(), DateFormatter::Style::medium);
  EXPECT_EQ(styled.string(date), "Jun 10, 2003, 4:05\u202fAM");
  EXPECT_EQ(styled.date("Jun 10, 2003, 4:05\u202fAM"), isoDate("2003-06-10T04:05:00Z"));
  const DateFormatter localZone(DateFormatter::Style::none, DateFormatter::Style::short_);
  EXPECT_EQ(localZone.string(date), "6/10/03");
  EXPECT_EQ(localZone.timeZone().identifier(), "Europe/Berlin");
  EXPECT_EQ(DateFormatter(DateFormatter::Style::none, DateFormatter::Style::none).string(date), "");
  // Whichever was set last wins.
  DateFormatter switched(DateFormatter::Style::short_, DateFormatter::Style::none, TimeZone::forSecondsFromGMT(0));
  EXPECT_EQ(switched.dateFormat(), "h:mm\u202fa");
  switched.setDateFormat("yyyy");
  EXPECT_EQ(switched.string(date), "2003");
  switched.setDateStyle(DateFormatter::Style::short_);
  EXPECT_EQ(switched.string(date), "6/10/03, 4:05\u202fAM");
}

TEST(DateComponentsTest, ValuesAreTakenPairwise) {
  const DateComponents one(-1, CalendarComponent::day);
  EXPECT_EQ(one.value(CalendarComponent::day), -1);
  EXPECT_EQ(one.value(CalendarComponent::month), std::nullopt);
  const DateComponents threeForTwo({1, 2, 3}, {CalendarComponent::year, CalendarComponent::month});
  EXPECT_EQ(threeForTwo.value(CalendarComponent::year), 1);
  EXPECT_EQ(threeForTwo.value(CalendarComponent::month), 2);
  EXPECT_EQ(threeForTwo, DateComponents({1, 2}, {CalendarComponent::year, CalendarComponent::month}));
  const DateComponents twoForThree({5, 6}, {CalendarComponent::hour, CalendarComponent::minute,
                                            CalendarComponent::second});
  EXPECT_EQ(twoForThree.value(CalendarComponent::second), std::nullopt);
  // Calendar and zone carry no number.
  EXPECT_EQ(DateComponents(4, CalendarComponent::timeZone), DateComponents());
}

TEST(CalendarTest, AddsAcrossMonthsYearsAndClockChanges) {
  ScopedDateEnvironment environment("Europe/Berlin", "de_DE");
  const Calendar calendar(CalendarIdentifier::gregorian);
  EXPECT_EQ(calendar.timeZone().identifier(), "Europe/Berlin");
  const DateComponents minusOneDay(-1, CalendarComponent::day);
  struct Case {
    const char* from;
    const char* to;
  };
  const Case cases[] = {
      {"2021-02-28T23:00:00Z", "2021-02-27T23:00:00Z"},  // 1 March -> 28 February, local midnights
      {"2020-12-31T23:00:00Z", "2020-12-30T23:00:00Z"},  // 1 January -> 31 December
      {"2021-03-28T22:00:00Z", "2021-03-27T23:00:00Z"},  // over the start of summer time: 23 hours
      {"2021-10-31T23:00:00Z", "2021-10-30T22:00:00Z"},  // over its end: 25 hours
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.from);
    EXPECT_EQ(calendar.dateByAdding(minusOneDay, isoDate(c.from)), isoDate(c.to));
  }
  // Wrapping stays within the next larger unit.
  const Date january = isoDate("2021-01-15T11:00:00Z");
  EXPECT_EQ(calendar.dateByAdding(DateComponents(-1, CalendarComponent::month), january, true),
            isoDate("2021-12-15T11:00:00Z"));
  EXPECT_EQ(calendar.dateByAdding(DateComponents(-1, CalendarComponent::month), january),
            isoDate("2020-12-15T11:00:00Z"));
  // Finer than milliseconds rides along; nanoseconds add.
  const Date fine = january + std::chrono::nanoseconds(123456);
  EXPECT_EQ(calendar.dateByAdding(DateComponents({1, 7}, {CalendarComponent::hour, CalendarComponent::nanosecond}),
                                  fine),
            january + std::chrono::hours(1) + std::chrono::nanoseconds(123463));
  // Beyond what a `Date` holds, or an amount beyond 32 bits.
  EXPECT_EQ(calendar.dateByAdding(DateComponents(400, CalendarComponent::year), january), std::nullopt);
  EXPECT_EQ(calendar.dateByAdding(DateComponents(INT64_C(1) << 40, CalendarComponent::day), january), std::nullopt);
  EXPECT_EQ(calendar.component(CalendarComponent::month, january), 1);
  EXPECT_EQ(calendar.component(CalendarComponent::hour, january), 12);
}

TEST(DayStartListsTest, StepBackOverMonthsAndYears) {
  ScopedDateEnvironment environment("Europe/Berlin", "en_US");
  {
    ScopedCurrentDate now(isoDate("2021-03-01T10:00:00Z"));
    EXPECT_EQ(VtDateUtils::beginningOfDayDatesBackwards(1), std::vector<Date>{isoDate("2021-02-28T23:00:00Z")});
    EXPECT_EQ(VtDateUtils::beginningOfDayDatesBackwards(3),
              (std::vector<Date>{isoDate("2021-02-28T23:00:00Z"), isoDate("2021-02-27T23:00:00Z"),
                                 isoDate("2021-02-26T23:00:00Z")}));
  }
  {
    ScopedCurrentDate now(isoDate("2021-01-01T00:30:00Z"));  // 01:30 on New Year's Day in Berlin
    EXPECT_EQ(VtDateUtils::beginningOfDayDatesBackwards(2),
              (std::vector<Date>{isoDate("2020-12-31T23:00:00Z"), isoDate("2020-12-30T23:00:00Z")}));
  }
  for (std::int64_t count : {INT64_C(0), INT64_C(-1), INT64_MIN}) {
    EXPECT_TRUE(VtDateUtils::beginningOfDayDatesBackwards(count).empty());
  }
}

TEST(DayStartListsTest, TheDebugFormPrintsEachDayAndTheLengthOfShortAndLongDays) {
  // The user's locale is Thai: the lines are German all the same.
  ScopedDateEnvironment environment("Europe/Berlin", "th_TH");
  struct Case {
    const char* now;
    std::int64_t count;
    const char* lines;
  };
  const Case cases[] = {
      {"2021-03-29T10:00:00Z", 3,
       "2021-03-28 22:00:00 +0000 /// Montag, 29. März 2021 um 00:00:00 Mitteleuropäische Sommerzeit\n"
       "---------------------------------------\n"
       "1: Montag, 29. März 2021 um 00:00:00 Mitteleuropäische Sommerzeit\n"
       "2: Sonntag, 28. März 2021 um 00:00:00 Mitteleuropäische Normalzeit\n"
       "----------------------> 82800.0\n"
       "3: Samstag, 27. März 2021 um 00:00:00 Mitteleuropäische Normalzeit\n"},
      {"2021-11-01T10:00:00Z", 3,
       "2021-10-31 23:00:00 +0000 /// Montag, 1. November 2021 um 00:00:00 Mitteleuropäische Normalzeit\n"
       "---------------------------------------\n"
       "1: Montag, 1. November 2021 um 00:00:00 Mitteleuropäische Normalzeit\n"
       "2: Sonntag, 31. Oktober 2021 um 00:00:00 Mitteleuropäische Sommerzeit\n"
       "----------------------> 90000.0\n"
       "3: Samstag, 30. Oktober 2021 um 00:00:00 Mitteleuropäische Sommerzeit\n"},
      {"2021-01-01T10:00:00Z", 2,
       "2020-12-31 23:00:00 +0000 /// Freitag, 1. Januar 2021 um 00:00:00 Mitteleuropäische Normalzeit\n"
       "---------------------------------------\n"
       "1: Freitag, 1. Januar 2021 um 00:00:00 Mitteleuropäische Normalzeit\n"
       "2: Donnerstag, 31. Dezember 2020 um 00:00:00 Mitteleuropäische Normalzeit\n"},
      {"2021-01-01T10:00:00Z", 0,
       "2020-12-31 23:00:00 +0000 /// Freitag, 1. Januar 2021 um 00:00:00 Mitteleuropäische Normalzeit\n"
       "---------------------------------------\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.now);
    ScopedCurrentDate now(isoDate(c.now));
    ConsoleCapture capture;
    const auto dates = VtDateUtils::beginningOfDayDatesBackwards_Debug(c.count);
    EXPECT_EQ(capture.standardOutput(), c.lines);
    EXPECT_EQ(dates, VtDateUtils::beginningOfDayDatesBackwards(c.count));
  }
}

}  // namespace
}  // namespace vantrel
