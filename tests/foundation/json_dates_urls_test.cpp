#include <chrono>
#include <ctime>
#include <string>

#include "tests/foundation/files_test_support.h"
#include "vantrel/foundation/json/json_dates_urls.h"

namespace vantrel {
namespace {

Date atMillis(std::int64_t millis) { return Date(std::chrono::milliseconds(millis)); }

TEST(JsonDatesUrls, DatesRoundTripInTheFixedForm) {
  struct Case {
    const char* name;
    std::int64_t millis;
    const char* text;
  };
  const Case cases[] = {
      {"epoch", 0, "1970-01-01T00:00:00.000Z"},
      {"one millisecond before", -1, "1969-12-31T23:59:59.999Z"},
      {"before the 32-bit clock", -2208988800001, "1899-12-31T23:59:59.999Z"},
      {"leap day", 1582936496789, "2020-02-29T00:34:56.789Z"},
      {"centurial leap day", 951782400000, "2000-02-29T00:00:00.000Z"},
      {"milliseconds at .999", 1520164800999, "2018-03-04T12:00:00.999Z"},
      {"after 2038", 2147483648000, "2038-01-19T03:14:08.000Z"},
      {"far future", 7258118400000, "2200-01-01T00:00:00.000Z"},
      {"the clock's last millisecond", 9223372036854, "2262-04-11T23:47:16.854Z"},
      {"the clock's first millisecond", -9223372036854, "1677-09-21T00:12:43.146Z"},
  };
  for (const Case& c : cases) {
    const Json written = jsonFromJoWithAdditions(PlatformValue(atMillis(c.millis)));
    EXPECT_EQ(written.string(), c.text) << c.name;
    EXPECT_EQ(date(written), atMillis(c.millis)) << c.name;
    EXPECT_EQ(dateValue(Json(c.text)), atMillis(c.millis)) << c.name;
  }
}

TEST(JsonDatesUrls, DatesAreWrittenInUtcCutToTheMillisecond) {
  testing::ScopedEnv zone("TZ", "Asia/Kolkata");
  ::tzset();
  EXPECT_EQ(jsonFromJoWithAdditions(PlatformValue(atMillis(1520164800500))).string(), "2018-03-04T12:00:00.500Z");
  // Half a millisecond before 1970 is cut toward the past.
  EXPECT_EQ(jsonFromJoWithAdditions(PlatformValue(Date(std::chrono::microseconds(-500)))).string(),
            "1969-12-31T23:59:59.999Z");
  EXPECT_EQ(jsonFromJoWithAdditions(PlatformValue(Date(std::chrono::microseconds(999999)))).string(),
            "1970-01-01T00:00:00.999Z");
}

TEST(JsonDatesUrls, TextsOutsideTheFixedFormAreNoDates) {
  for (const Json& value :
       {Json("2018-03-04T12:00:00Z"), Json("2018-03-04T12:00:00.500+01:00"), Json("2018-03-04T12:00:00.5000Z"),
        Json("2018-03-04 12:00:00.500Z"), Json("2018-02-30T00:00:00.000Z"), Json("1900-02-29T00:00:00.000Z"),
        Json("2018-03-04T24:00:00.000Z"), Json("2018-03-04T12:60:00.000Z"), Json("9999-12-31T23:59:59.999Z"),
        Json("2262-04-11T23:47:16.855Z"), Json("+018-03-04T12:00:00.500Z"), Json(""), Json(1520164800),
        Json(true), Json()}) {
    EXPECT_EQ(date(value), std::nullopt) << value.description();
    EXPECT_EQ(dateValue(value), Date()) << value.description();
  }
}

TEST(JsonDatesUrls, AdditionsAreRewrittenAtAnyDepth) {
  const URL link = *URL::fromString("https://example.org/a?b=1");
  const Json value = jsonFromJoWithAdditions(PlatformValue(JsonDictionary(
      {{"a", PlatformValue(link)},
       {"b", PlatformValue(PlatformValue::Array{PlatformValue(atMillis(1520164800500))})},
       {"c", PlatformValue(URL::fileURLWithPath("/tmp/x y"))},
       {"d", PlatformValue(Json(PlatformValue(PlatformValue::Array{PlatformValue(atMillis(0))})))}})));
  EXPECT_EQ(value.makeData(),
            R"({"a":"https:\/\/example.org\/a?b=1","b":["2018-03-04T12:00:00.500Z"],"c":"file:\/\/\/tmp\/x%20y",)"
            R"("d":["1970-01-01T00:00:00.000Z"]})");
}

TEST(JsonDatesUrls, AJsonNestedInsideKeepsItsOwnValue) {
  // A Json made from a date is of tag unknown: its platform value is null.
  EXPECT_EQ(jsonFromJoWithAdditions(PlatformValue(Json(PlatformValue(atMillis(0))))).type(), JsonType::null);
  const Json inner(PlatformValue(PlatformValue::Array{1, "x"}));
  EXPECT_EQ(jsonFromJoWithAdditions(PlatformValue(PlatformValue::Array{PlatformValue(inner)})).makeData(),
            R"([[1,"x"]])");
  EXPECT_EQ(jsonFromJoWithAdditions(PlatformValue(5)), Json(5));
  EXPECT_EQ(jsonFromJoWithAdditions(PlatformValue("t")), Json("t"));
}

TEST(JsonDatesUrls, AdditionsAreBoundedByTheReaderDepth) {
  PlatformValue deep(1);
  for (int i = 0; i < kMaxJsonDepth + 2; ++i) deep = PlatformValue(PlatformValue::Array{deep});
  EXPECT_THROW((void)jsonFromJoWithAdditions(deep), JsonDepthError);
}

TEST(JsonDatesUrls, Urls) {
  struct Case {
    const char* text;
    std::optional<std::string> url;
  };
  const Case cases[] = {
      {"https://example.org/a b", "https://example.org/a%20b"},
      {"https://example.org/a%20b", "https://example.org/a%20b"},
      {"https://example.org/a%2fb c", std::nullopt},  // taken as encoded: the blank stays
      {"https://example.org/?q=\u00e9", "https://example.org/?q=%C3%A9"},
      {"https://example.org/#top", "https://example.org/%23top"},
      {"mailto:someone@example.org", "mailto:someone@example.org"},
      {"relative/path", std::nullopt},
      {"%zz", std::nullopt},
      {"", std::nullopt},
  };
  for (const Case& c : cases) {
    const auto result = url(Json(c.text));
    EXPECT_EQ(result ? std::optional<std::string>(result->absoluteString()) : std::nullopt, c.url) << c.text;
  }
  EXPECT_EQ(url(Json(5)), std::nullopt);
  EXPECT_EQ(url(Json()), std::nullopt);
}

}  // namespace
}  // namespace vantrel
