#include "vantrel/text/hex_forms.h"

#include <climits>
#include <cstdint>
#include <random>

#include <gtest/gtest.h>

#include "vantrel/core/utf8.h"
#include "vantrel/text/string_services.h"

namespace vantrel {
namespace {

TEST(HexForms, ListForms) {
  EXPECT_EQ(utf8HexStringRepresentation("abc"), "61-62-63");
  EXPECT_EQ(utf8HexStringRepresentation("abc", {.uppercase = true, .prefix = "0x", .separator = " "}),
            "0x61 0x62 0x63");
  EXPECT_EQ(utf16HexStringRepresentation("abc"), "0061-0062-0063");
  EXPECT_EQ(scalarsHexRepresentation("abc"), "61-62-63");
  EXPECT_EQ(scalarsHexRepresentation("abc", "0000", {.prefix = "U+"}), "U+0061-U+0062-U+0063");
  EXPECT_EQ(asScalarsHexString("abc", "0000", {.prefix = "U+"}), "U+0061-U+0062-U+0063");
  EXPECT_EQ(asScalarsHexString("abc"), "61-62-63");
  EXPECT_EQ(vtHexString("abc"), "0x61 0x62 0x63");

  // Below 16: two digits in the UTF-8 form, one in vtHexString.
  EXPECT_EQ(utf8HexStringRepresentation("\t"), "09");
  EXPECT_EQ(vtHexString("\t"), "0x9");

  EXPECT_EQ(utf8HexStringRepresentation("\u00E9"), "c3-a9");
  EXPECT_EQ(utf16HexStringRepresentation("\u00E9"), "00e9");
  EXPECT_EQ(scalarsHexRepresentation("\u00E9"), "e9");
  EXPECT_EQ(utf8HexStringRepresentation("\U0001F600"), "f0-9f-98-80");
  EXPECT_EQ(utf16HexStringRepresentation("\U0001F600"), "d83d-de00");
  EXPECT_EQ(utf16HexStringRepresentation("\U0001F600", {.uppercase = true}), "D83D-DE00");
  EXPECT_EQ(scalarsHexRepresentation("\U0001F600"), "1f600");
  EXPECT_EQ(vtHexString("\u00E9"), "0xc3 0xa9");

  // A template shorter than the digits leaves them whole; other characters fill too.
  EXPECT_EQ(scalarsHexRepresentation("\U0001F600", "00"), "1f600");
  EXPECT_EQ(scalarsHexRepresentation("a", "    "), "  61");
  // Only the digits change case, never the prefix.
  EXPECT_EQ(scalarsHexRepresentation("\u00FE", {.uppercase = true, .prefix = "0x"}), "0xFE");

  for (const std::string& empty : {utf8HexStringRepresentation(""), utf16HexStringRepresentation(""),
                                   scalarsHexRepresentation(""), scalarsHexRepresentation("", "0000"),
                                   vtHexString(""), fromUint32s({}), fromUint32s({}, "0000")}) {
    EXPECT_EQ(empty, "");
  }

  EXPECT_EQ(fromUint32s({97, 98, 99}), "61-62-63");
  EXPECT_EQ(fromUint32s({97, 98, 99}, "0000"), "0061-0062-0063");
  EXPECT_EQ(fromUint32s({0, 0xFFFFFFFF}, {.uppercase = true, .separator = ", "}), "0, FFFFFFFF");
}

TEST(HexForms, SingleIntegers) {
  EXPECT_EQ(stringWithOffset(255), "0x000000ff");
  EXPECT_EQ(stringWithOffset(255, 2, true), "0xFF");
  EXPECT_EQ(stringWithOffset(0x123456789LL), "0x123456789");
  EXPECT_EQ(stringWithOffset(255, 0), "0xff");
  EXPECT_EQ(stringWithOffset(255, -3), "0xff");
  EXPECT_EQ(stringWithOffset(0), "0x00000000");
  EXPECT_EQ(stringWithOffset(std::uint8_t{0}, 2), "0x00");
  EXPECT_EQ(stringWithOffset(UINT64_MAX), "0xffffffffffffffff");
  EXPECT_EQ(stringWithAddress(4096), "0x0000000000001000");
  EXPECT_EQ(stringWithAddress(std::uintptr_t{0xDEADBEEF}, true), "0x00000000DEADBEEF");

  // Negative values: zeros, the sign (counted as a digit), the magnitude.
  EXPECT_EQ(stringWithOffset(-1), "0x000000-1");
  EXPECT_EQ(stringWithOffset(std::int8_t{-128}), "0x00000-80");
  EXPECT_EQ(stringWithOffset(std::int16_t{-255}, 8, true), "0x00000-FF");
  EXPECT_EQ(stringWithOffset(INT64_MIN), "0x-8000000000000000");
  EXPECT_EQ(stringWithAddress(INT64_MIN), "0x-8000000000000000");
  EXPECT_EQ(stringWithAddress(std::int32_t{INT32_MIN}), "0x0000000-80000000");
  EXPECT_EQ(stringWithAddress(INT64_MAX), "0x7fffffffffffffff");
}

TEST(HexForms, ComponentAcceptance) {
  struct Case {
    std::string_view component;
    std::optional<std::uint32_t> value;
  };
  const Case cases[] = {
      {"61", 0x61},
      {"+61", 0x61},
      {"-0", 0},
      {"-000", 0},
      {"+0", 0},
      {"-1", std::nullopt},
      {"-0001", std::nullopt},
      {"", std::nullopt},
      {"+", std::nullopt},
      {"-", std::nullopt},
      {"+-1", std::nullopt},
      {"--0", std::nullopt},
      {"++1", std::nullopt},
      {"0x61", std::nullopt},
      {"FFFFFFFF", 0xFFFFFFFF},
      {"ffffffff", 0xFFFFFFFF},
      {"100000000", std::nullopt},
      {"FFFFFFFFF", std::nullopt},
      {"00000000000000000000061", 0x61},
      {"000000000000000000000FFFFFFFF", 0xFFFFFFFF},
      {"aBcD", 0xABCD},
      {" 61", std::nullopt},
      {"61 ", std::nullopt},
      {"g", std::nullopt},
      {"6\u0301", std::nullopt},
      {"\xEF\xBC\x91", std::nullopt},  // FULLWIDTH DIGIT ONE
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(std::string(c.component)));
    // A separator that none of the components holds ("-" would split "-0").
    const auto numbers = uint32sFromHexString(c.component, "", ",");
    if (c.value) {
      ASSERT_TRUE(numbers.has_value());
      EXPECT_EQ(*numbers, std::vector<std::uint32_t>{*c.value});
    } else {
      EXPECT_FALSE(numbers.has_value());
      EXPECT_FALSE(stringFromScalarsHexString(c.component, "", ",").has_value());
    }
  }
}

TEST(HexForms, Parsers) {
  using Numbers = std::vector<std::uint32_t>;
  EXPECT_EQ(stringFromScalarsHexString("61-62-63"), "abc");
  EXPECT_EQ(uint32sFromHexString("61-62-63"), (Numbers{97, 98, 99}));
  EXPECT_EQ(stringFromScalarsHexString("0061-0062-0063"), "abc");
  EXPECT_EQ(stringFromScalarsHexString("4A-4b-6C"), "JKl");

  EXPECT_EQ(stringFromScalarsHexString("U+61 U+62", "U+", " "), "ab");
  EXPECT_EQ(stringFromScalarsHexString("U+61 62", "U+", " "), std::nullopt);
  EXPECT_EQ(uint32sFromHexString("U+61 62", "U+", " "), std::nullopt);
  // The prefix is removed once: a second one is not a digit.
  EXPECT_EQ(uint32sFromHexString("U+U+61", "U+", " "), std::nullopt);
  // Case-sensitive prefix.
  EXPECT_EQ(uint32sFromHexString("u+61", "U+", " "), std::nullopt);
  // Compared character by character: "e" does not begin "e\u0301".
  EXPECT_EQ(uint32sFromHexString("e\u030161", "e", " "), std::nullopt);

  for (const std::string_view bad : {"61--62", "61-62-", "-61-62", "", "0x61", "123456789", "61-g2"}) {
    SCOPED_TRACE(std::string(bad));
    EXPECT_EQ(stringFromScalarsHexString(bad), std::nullopt);
    EXPECT_EQ(uint32sFromHexString(bad), std::nullopt);
  }

  // Numbers that are not scalar values are dropped from the text, kept as numbers.
  EXPECT_EQ(stringFromScalarsHexString("61-d800-62"), "ab");
  EXPECT_EQ(uint32sFromHexString("61-d800-62"), (Numbers{0x61, 0xD800, 0x62}));
  EXPECT_EQ(stringFromScalarsHexString("110000"), "");
  EXPECT_EQ(stringFromScalarsHexString("10ffff-0"), std::string("\U0010FFFF") + std::string(1, '\0'));

  EXPECT_EQ(uint32sFromHexString("+61 -0", "", " "), (Numbers{0x61, 0}));
  EXPECT_EQ(uint32sFromHexString("-1", "", " "), std::nullopt);

  // An empty separator leaves the text whole.
  EXPECT_EQ(uint32sFromHexString("61", "", ""), (Numbers{0x61}));
}

// Random text of ASCII, BMP and supplementary scalars (no surrogates).
std::string randomText(std::mt19937& rng) {
  std::uniform_int_distribution<int> length(0, 12);
  std::uniform_int_distribution<int> plane(0, 3);
  std::string text;
  for (int i = length(rng); i > 0; --i) {
    char32_t scalar = 0;
    switch (plane(rng)) {
      case 0: scalar = std::uniform_int_distribution<char32_t>(0, 0x7F)(rng); break;
      case 1: scalar = std::uniform_int_distribution<char32_t>(0x80, 0xD7FF)(rng); break;
      case 2: scalar = std::uniform_int_distribution<char32_t>(0xE000, 0xFFFF)(rng); break;
      default: scalar = std::uniform_int_distribution<char32_t>(0x10000, 0x10FFFF)(rng); break;
    }
    appendUtf8(text, scalar);
  }
  return text;
}

TEST(HexForms, SeededRoundTrip) {
  // Separators free of hex digits and signs; prefixes that do not hold them
  // and do not begin with a mark that would join the separator.
  const std::string_view separators[] = {" ", ", ", ";", "::", "\u2192", " | ", "\U0001F600", "\t", "xx"};
  const std::string_view prefixes[] = {"", "U+", "0x", "\\u", "#", "\u00E9", "\U0001F600", "&#x"};
  const std::string_view paddings[] = {"00", "0000", "00000000"};
  std::mt19937 rng(20261210);
  for (int round = 0; round < 400; ++round) {
    const std::string text = randomText(rng);
    const std::string_view separator = separators[rng() % std::size(separators)];
    const std::string_view prefix = prefixes[rng() % std::size(prefixes)];
    if (prefix.find(separator) != std::string_view::npos) continue;
    const HexListOptions options{.uppercase = rng() % 2 == 0, .prefix = prefix, .separator = separator};
    SCOPED_TRACE(::testing::Message() << "round " << round << " prefix '" << prefix << "' separator '" << separator
                                      << "' text " << scalarsHexRepresentation(text));

    const std::string scalars = scalarsHexRepresentation(text, options);
    if (text.empty()) {
      EXPECT_EQ(scalars, "");
      continue;
    }
    EXPECT_EQ(stringFromScalarsHexString(scalars, prefix, separator), text);
    const std::string padded = scalarsHexRepresentation(text, paddings[rng() % std::size(paddings)], options);
    EXPECT_EQ(stringFromScalarsHexString(padded, prefix, separator), text);

    const auto bytes = uint32sFromHexString(utf8HexStringRepresentation(text, options), prefix, separator);
    ASSERT_TRUE(bytes.has_value());
    EXPECT_EQ(std::string(bytes->begin(), bytes->end()), text);

    const auto units = uint32sFromHexString(utf16HexStringRepresentation(text, options), prefix, separator);
    const std::u16string utf16 = utf16FromUtf8(text);
    EXPECT_EQ(units, std::vector<std::uint32_t>(utf16.begin(), utf16.end()));

    std::vector<std::uint32_t> numbers(1 + rng() % 6);
    for (std::uint32_t& n : numbers) n = rng() % 2 == 0 ? rng() : rng() % 256;
    EXPECT_EQ(uint32sFromHexString(fromUint32s(numbers, options), prefix, separator), numbers);
    EXPECT_EQ(uint32sFromHexString(fromUint32s(numbers, "0000", options), prefix, separator), numbers);
  }
}

TEST(HexForms, DefaultsReadBack) {
  const std::string text = "a\u00E9\U0001F600";
  EXPECT_EQ(stringFromScalarsHexString(scalarsHexRepresentation(text)), text);
  EXPECT_EQ(uint32sFromHexString(fromUint32s({1, 0xFFFF, 0x10FFFF})),
            (std::vector<std::uint32_t>{1, 0xFFFF, 0x10FFFF}));
}

}  // namespace
}  // namespace vantrel
