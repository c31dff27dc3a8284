#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <locale.h>
#include <optional>
#include <cstdint>
#include <string>

#include "vantrel/core/number_text.h"

namespace vantrel {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

TEST(ParseDoubleSaturating, OverflowBecomesInfinityOfItsSign) {
  struct Case {
    const char* text;
    std::optional<double> want;
  };
  const Case cases[] = {
      {"1e999", kInf},
      {"-1e999", -kInf},
      {"+1e999", kInf},
      {"0x1p99999", kInf},
      {"-0x1.8p1025", -kInf},
      {"1.7976931348623157e308", 1.7976931348623157e308},
      {"1.8e308", kInf},
      {"1e-999", 0.0},
      {"0x1p-99999", 0.0},
      {"3.25", 3.25},
      {"0x1p4", 16.0},
      {"inf", kInf},
      {"-INFINITY", -kInf},
      // The grammar stays strtod's, whole token only.
      {"", std::nullopt},
      {"1e999 ", std::nullopt},
      {" 1e999", std::nullopt},
      {"1e", std::nullopt},
      {"--1", std::nullopt},
      {"3,25", std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(parseDoubleSaturating(c.text), c.want);
    // The plain parser refuses what overflows and agrees on everything else.
    const auto plain = parseDouble(c.text);
    if (c.want && std::isinf(*c.want) && std::string(c.text).find_first_of("iI") == std::string::npos) {
      EXPECT_EQ(plain, std::nullopt);
    } else {
      EXPECT_EQ(plain, c.want);
    }
  }
  EXPECT_TRUE(std::signbit(*parseDoubleSaturating("-1e-999")));
  EXPECT_TRUE(std::isnan(*parseDoubleSaturating("nan")));
}

// Every accepted token reads as strtod reads it in the C locale.
TEST(ParseDoubleSaturating, AgreesWithStrtodInTheCLocale) {
  const locale_t c = newlocale(LC_ALL_MASK, "C", nullptr);
  ASSERT_NE(c, nullptr);
  for (const char* text : {"1e999", "-1e999", "1e308", "2e308", "-0x1p1024", "0x1p1023", "0x1.fffffffffffffp1023",
                           "4.9e-324", "2e-324", "1e-400", "123.456e-7", "0X.8P1", "infinity", "-inf"}) {
    SCOPED_TRACE(text);
    char* end = nullptr;
    const double want = strtod_l(text, &end, c);
    ASSERT_EQ(*end, '\0');
    const auto got = parseDoubleSaturating(text);
    ASSERT_TRUE(got.has_value());
    EXPECT_EQ(*got, want);
    EXPECT_EQ(std::signbit(*got), std::signbit(want));
  }
  freelocale(c);
}

TEST(ParseInteger, TakesOneSignAtMost) {
  struct Case {
    const char* text;
    std::optional<std::int64_t> want;
  };
  const Case cases[] = {
      {"+7", 7}, {"-7", -7}, {"7", 7}, {"+-1", std::nullopt}, {"-+1", std::nullopt},
      {"++1", std::nullopt}, {"--1", std::nullopt}, {"+", std::nullopt}, {"-", std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(parseInt64(c.text), c.want);
  }
  EXPECT_EQ(parseUInt64("+-1"), std::nullopt);
  EXPECT_EQ(parseUInt64("+1"), 1u);
  EXPECT_EQ(parseUInt64("-1"), std::nullopt);
}

}  // namespace
}  // namespace vantrel
