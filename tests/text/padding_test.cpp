#include "vantrel/text/padding.h"

#include <gtest/gtest.h>

#include "vantrel/text/characters.h"

namespace vantrel {
namespace {

TEST(Characters, CountsGraphemeClusters) {
  struct Case {
    const char* in;
    std::int64_t want;
  };
  const Case cases[] = {
      {"", 0},
      {"abc", 3},
      {"a\r\nb", 3},         // CR LF is one character
      {"\r\r\n\n", 3},
      {"e\xCC\x81", 1},      // e + combining acute
      {"é", 1},
      {"🍇🍇", 2},
      {"👨‍👩‍👧", 1},             // ZWJ family
      {"🇩🇪🇫🇷", 2},             // two flags
      {"👍🏽", 1},              // skin tone
      {"한국어", 3},
      {"\xFF\xFE", 2},        // invalid bytes: one each
      {"ab\xE2\x82", 3},      // truncated sequence at the end
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.in);
    EXPECT_EQ(characterCount(c.in), c.want);
  }
}

TEST(PaddedLeft, Cases) {
  struct Case {
    const char* in;
    std::int64_t width;
    const char* pad;
    const char* want;
  };
  const Case cases[] = {
      {"7", 3, " ", "  7"},
      {"7", 3, "ab", "abab7"},
      {"123", 3, " ", "123"},
      {"1234", 3, " ", "1234"},
      {"7", 3, "", "7"},
      {"", 2, "0", "00"},
      {"7", 0, " ", "7"},
      {"7", -5, " ", "7"},
      {"é", 3, "·", "··é"},            // counted as one character, not two bytes
      {"👨‍👩‍👧", 2, " ", " 👨‍👩‍👧"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.in) + " / " + std::to_string(c.width));
    EXPECT_EQ(paddedLeft(c.in, c.width, c.pad), c.want);
  }
}

TEST(Padding, HeaderExamples) {
  EXPECT_EQ(paddedLeft("7", 3), "  7");
  EXPECT_EQ(paddedBoth("abc", 6), " abc  ");
  EXPECT_EQ(paddedLeftPadding("7", "0000"), "0007");
  EXPECT_EQ(overwritten("abcdef", "XY"), "abcdXY");
  EXPECT_EQ(multiplyBy("ab", 3), "ababab");
}

TEST(Padding, RightBothAndToLength) {
  struct Case {
    std::string_view in;
    std::int64_t width;
    std::string_view pad;
    std::string right;
    std::string both;
  };
  const Case cases[] = {
      {"abc", 5, " ", "abc  ", " abc "},
      {"abc", 6, " ", "abc   ", " abc  "},
      {"abc", 3, " ", "abc", "abc"},
      {"abc", -1, " ", "abc", "abc"},
      {"abc", 6, "", "abc", "abc"},
      {"abc", 5, "xy", "abcxyxy", "xyabcxy"},
      {"e\u0301", 3, "·", "e\u0301··", "·e\u0301·"},
      {"👨‍👩‍👧\r\n", 4, "-", "👨‍👩‍👧\r\n--", "-👨‍👩‍👧\r\n-"},
      {"🇩🇪", 2, "😀", "🇩🇪😀", "🇩🇪😀"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.in) + " / " + std::to_string(c.width));
    EXPECT_EQ(paddedRight(c.in, c.width, c.pad), c.right);
    EXPECT_EQ(paddedBoth(c.in, c.width, c.pad), c.both);
    EXPECT_EQ(vtStringPadToLength(c.in, c.width, c.pad, true), c.right);
    EXPECT_EQ(vtStringPadToLength(c.in, c.width, c.pad), paddedLeft(c.in, c.width, c.pad));
  }
  EXPECT_EQ(vtStringPadToLength("42", 5, "0"), "00042");
  EXPECT_EQ(vtStringPadToLength("42", 5, "0", true), "42000");
  EXPECT_EQ(paddedLeft("abc", 6, "xy"), "xyxyxyabc");
}

TEST(Padding, Template) {
  EXPECT_EQ(paddedLeftPadding("12345", "0000"), "12345");
  EXPECT_EQ(paddedLeftPadding("", "0000"), "0000");
  EXPECT_EQ(vtStringPaddedLeftWith("7", "ab\u00E9d"), "ab\u00E97");
  EXPECT_EQ(paddedLeftPadding("e\u0301", "x\u0308y\u0308z"), "x\u0308y\u0308e\u0301");
}

TEST(Padding, Overwritten) {
  EXPECT_EQ(overwritten("abcdef", "XY", true), "XYcdef");
  EXPECT_EQ(overwritten("ab", "XYZ"), "XYZ");
  EXPECT_EQ(overwritten("0000", 42), "0042");
  EXPECT_EQ(overwritten("0000", -5), "00-5");
  EXPECT_EQ(overwritten("0000", 12345), "12345");
  EXPECT_EQ(overwritten("e\u0301👨‍👩‍👧ab", "Z"), "e\u0301👨‍👩‍👧aZ");
  EXPECT_EQ(overwritten("e\u0301👨‍👩‍👧ab", "Z", true), "Z👨‍👩‍👧ab");
  EXPECT_EQ(overwritten("", ""), "");
}

TEST(Padding, MultiplyBy) {
  EXPECT_EQ(multiplyBy("ab", 0), "");
  EXPECT_EQ(multiplyBy("ab", -3), "");
  EXPECT_EQ(multiplyBy("", 3), "");
  EXPECT_EQ(multiplyBy("é", 2), "éé");
}

}  // namespace
}  // namespace vantrel
