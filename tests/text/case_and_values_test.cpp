#include "vantrel/text/case_and_values.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <unordered_set>

#include "tests/support/comma_locale.h"

namespace vantrel {
namespace {

TEST(CaseAndValues, FirstCharacterCase) {
  struct Case {
    std::string_view text;
    std::string_view capitalizing;  // title case
    std::string_view capitalized;   // upper case
    std::string_view lowercasing;
  };
  const Case cases[] = {
      {"hello world", "Hello world", "Hello world", "hello world"},
      {"hELLO", "HELLO", "HELLO", "hELLO"},
      {"ABC", "ABC", "ABC", "aBC"},
      {"\u00DFa", "Ssa", "SSa", "\u00DFa"},                       // ß
      {"\u01C6a", "\u01C5a", "\u01C4a", "\u01C6a"},               // ǆ -> ǅ (title) / Ǆ (upper)
      {"\u01C4X", "\u01C5X", "\u01C4X", "\u01C6X"},               // Ǆ
      {"e\u0301tude", "E\u0301tude", "E\u0301tude", "e\u0301tude"},  // the whole first character
      {"\u00C9T\u00C9", "\u00C9T\u00C9", "\u00C9T\u00C9", "\u00E9T\u00C9"},
      {"1a", "1a", "1a", "1a"},
      {"", "", "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(capitalizingFirstLetter(c.text), c.capitalizing);
    EXPECT_EQ(capitalizedFirstCharacterString(c.text), c.capitalized);
    EXPECT_EQ(lowercasingFirstLetter(c.text), c.lowercasing);
    EXPECT_EQ(lowercasedFirstCharacterString(c.text), c.lowercasing);
    std::string inPlace(c.text);
    capitalizeFirstLetter(inPlace);
    EXPECT_EQ(inPlace, c.capitalizing);
    inPlace = std::string(c.text);
    lowercaseFirstLetter(inPlace);
    EXPECT_EQ(inPlace, c.lowercasing);
  }
}

TEST(CaseAndValues, CaseInsensitiveSortAndWrapper) {
  const auto& less = StringSort::incaseSensitive();
  EXPECT_TRUE(less("apple", "Banana"));
  EXPECT_FALSE(less("Banana", "apple"));
  EXPECT_FALSE(less("abc", "ABC"));
  EXPECT_FALSE(less("ABC", "abc"));
  EXPECT_EQ(&StringSort::incaseSensitive(), &less);

  LowercasedStringWrapper a("Hello");
  const LowercasedStringWrapper b("HELLO");
  EXPECT_EQ(a, b);
  EXPECT_FALSE(a < b);
  EXPECT_FALSE(b < a);
  EXPECT_EQ(std::hash<LowercasedStringWrapper>{}(a), std::hash<LowercasedStringWrapper>{}(b));
  EXPECT_EQ(a.string(), "Hello");
  EXPECT_EQ(b.string(), "HELLO");
  a.setString("World");
  EXPECT_EQ(a.lowercased(), "world");
  a.modifyString([](std::string& s) { s += "\u00C9"; });
  EXPECT_EQ(a.lowercased(), "world\u00E9");
  EXPECT_TRUE(b < a);
  EXPECT_EQ(LowercasedStringWrapper("\u00C9"), LowercasedStringWrapper("e\u0301"));  // canonical equality
  std::unordered_set<LowercasedStringWrapper> set{LowercasedStringWrapper("X"), LowercasedStringWrapper("x")};
  EXPECT_EQ(set.size(), 1u);
}

TEST(CaseAndValues, Lines) {
  struct Case {
    std::string_view text;
    bool multiple;
    std::int64_t lines;
    std::int64_t nonEmpty;
  };
  const Case cases[] = {
      {"", false, 1, 0},
      {"abc", false, 1, 1},
      {"a\nb", true, 2, 2},
      {"abc\n", false, 2, 1},
      {"abc\r\n", true, 2, 1},  // the carriage return is not the last scalar
      {"a\r\nb", true, 2, 2},   // CR LF is one break for the count
      {"a\n\nb", true, 3, 2},
      {"a\u2028b", true, 2, 2},
      {"a\u2029b\u0085c", true, 3, 3},
      {"a\u2028", false, 2, 1},
      {"\n", false, 2, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(std::string(c.text)));
    EXPECT_EQ(hasMultipleLines(c.text), c.multiple);
    EXPECT_EQ(numberOfLines(c.text), c.lines);
    EXPECT_EQ(numberOfNonEmptyLines(c.text), c.nonEmpty);
  }
}

TEST(CaseAndValues, LessThenIgnoresThePrefixCharacters) {
  EXPECT_FALSE(lessThen("The Zebra", "Apple", "The ", 4));
  EXPECT_TRUE(lessThen("The Apple", "Banana", "The ", 4));
  EXPECT_TRUE(lessThen("Banana", "The Zebra", "The ", 4));
  EXPECT_FALSE(lessThen("Zebra", "The Apple", "The ", 4));
  // The count is characters: "é" written with a combining mark is one.
  EXPECT_TRUE(lessThen("e\u0301A", "\u00E9B", "\u00E9", 1));
  EXPECT_FALSE(lessThen("The", "The", "", 0));
  EXPECT_TRUE(lessThen("ab", "b", "a", 0));  // the count, not the prefix, says what is cut
}

TEST(CaseAndValuesDeathTest, LessThenOutsideItsDomainStops) {
  EXPECT_DEATH((void)lessThen("The Zebra", "Apple", "The ", -1), "lessThen: prefixLength -1 is negative");
  EXPECT_DEATH((void)lessThen("The", "Apple", "Th", 4),
               "lessThen: prefixLength 4 is outside 0...3 \\(the character count of \"The\"\\)");
}

TEST(CaseAndValues, CommonPrefix) {
  struct Case {
    std::string_view a, b;
    CommonPrefix want;
  };
  const Case cases[] = {
      {"foobar", "foobaz", {"fooba", "r", "z"}},
      {"foo", "foobar", {"foo", std::nullopt, "bar"}},
      {"abc", "xyz", {std::nullopt, "abc", "xyz"}},
      {"", "", {std::nullopt, "", ""}},
      {"abc", "abc", {"abc", std::nullopt, std::nullopt}},
      {"\u00E9x", "e\u0301y", {"\u00E9", "x", "y"}},  // canonical equality, each rest its own
      {"e", "e\u0301", {std::nullopt, "e", "e\u0301"}},  // never half a character
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.a) + " / " + std::string(c.b));
    EXPECT_EQ(hasCommonPrefix(c.a, c.b), c.want);
  }
}

TEST(CaseAndValues, Tristate) {
  EXPECT_EQ(isCharacterTristate("Y", "y", "n"), true);
  EXPECT_EQ(isCharacterTristate("N", "y", "n"), false);
  EXPECT_EQ(isCharacterTristate("maybe", "y", "n"), std::nullopt);
  EXPECT_EQ(isCharacterTristate("Y", "y", "n", false), std::nullopt);
  EXPECT_EQ(isCharacterTristate("Y", "Y", "n"), std::nullopt);
  EXPECT_EQ(isCharacterTristate("Y", "Y", "n", false), true);
}

TEST(CaseAndValues, MakeBool) {
  struct Case {
    std::string_view text;
    std::optional<bool> want;
  };
  const Case cases[] = {
      {"TRUE", true}, {"Yes", true},    {"1", true},          {"False", false},
      {"NO", false},  {"0", false},     {" yes", std::nullopt}, {"on", std::nullopt},
      {"", std::nullopt}, {"yes\n", std::nullopt}, {"01", std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(makeBool(c.text), c.want);
    EXPECT_EQ(vtBool(c.text), c.want);
  }
}

TEST(CaseAndValues, MakeInt) {
  struct Case {
    std::string_view text;
    std::optional<std::int64_t> want;
  };
  const Case cases[] = {
      {"-42", -42},
      {"+7", 7},
      {"0", 0},
      {"007", 7},
      {"9223372036854775807", std::numeric_limits<std::int64_t>::max()},
      {"-9223372036854775808", std::numeric_limits<std::int64_t>::min()},
      {"9223372036854775808", std::nullopt},
      {"-9223372036854775809", std::nullopt},
      {"99999999999999999999999", std::nullopt},
      {" 42", std::nullopt},
      {"42 ", std::nullopt},
      {"4 2", std::nullopt},
      {"0x1F", std::nullopt},
      {"", std::nullopt},
      {"+", std::nullopt},
      {"-", std::nullopt},
      {"+-1", std::nullopt},
      {"--1", std::nullopt},
      {"1.0", std::nullopt},
      {"\u0661", std::nullopt},  // ARABIC-INDIC DIGIT ONE: ASCII digits only
      {"\xEF\xBC\x91", std::nullopt},  // FULLWIDTH DIGIT ONE
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(makeInt(c.text), c.want);
    EXPECT_EQ(vtInt(c.text), c.want);
  }
}

struct DoubleCase {
  std::string_view text;
  std::optional<double> want;
};

const DoubleCase kDoubleCases[] = {
    {"3.25", 3.25},
    {"-1e3", -1000.0},
    {"0x1p4", 16.0},
    {"+.5", 0.5},
    {"5.", 5.0},
    {"1e999", std::numeric_limits<double>::infinity()},
    {"-1e999", -std::numeric_limits<double>::infinity()},
    {"1e-999", 0.0},
    {"inf", std::numeric_limits<double>::infinity()},
    {"-Infinity", -std::numeric_limits<double>::infinity()},
    {"3.25 ", std::nullopt},
    {" 3.25", std::nullopt},
    {"\t1", std::nullopt},
    {"1\n", std::nullopt},
    {"3,25", std::nullopt},
    {"", std::nullopt},
    {"-", std::nullopt},
    {"1e", std::nullopt},
    {"0x", std::nullopt},
    {"1.5.2", std::nullopt},
    {"\u0661", std::nullopt},
    {"1\u00A0", std::nullopt},
};

void expectDoubleCases() {
  for (const DoubleCase& c : kDoubleCases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(makeDouble(c.text), c.want);
    EXPECT_EQ(vtDouble(c.text), c.want);
  }
  EXPECT_TRUE(std::isnan(*makeDouble("nan")));
  EXPECT_TRUE(std::signbit(*makeDouble("-0.0")));
}

TEST(CaseAndValues, MakeDouble) { expectDoubleCases(); }

TEST(CaseAndValues, MakeDoubleIgnoresACommaDecimalLocale) {
  testing::ScopedCommaDecimalLocale comma;
  expectDoubleCases();
}

TEST(CaseAndValues, StringFromScalar) {
  EXPECT_EQ(stringWithAscii(65), "A");
  EXPECT_EQ(stringWithAscii(233), "\u00E9");
  EXPECT_EQ(stringWithLatin1(0x1F600), "\U0001F600");
  EXPECT_EQ(stringWithLatin1(0), std::string(1, '\0'));
  EXPECT_EQ(stringWithAscii(0x10FFFF), "\U0010FFFF");
}

TEST(CaseAndValuesDeathTest, NonScalarStops) {
  EXPECT_DEATH((void)stringWithAscii(0xD800), "stringWithAscii: 55296 is not a Unicode scalar value");
  EXPECT_DEATH((void)stringWithLatin1(0x110000), "stringWithLatin1: 1114112 is not a Unicode scalar value");
  EXPECT_DEATH((void)stringWithAscii(-1), "stringWithAscii: -1 is not a Unicode scalar value");
}

TEST(CaseAndValues, UuidText) {
  struct Case {
    std::string_view text;
    bool want;
  };
  const Case cases[] = {
      {"1b4e28ba-2fa1-11d2-883f-0016d3cca427", true},
      {"1B4E28BA-2FA1-11D2-883F-0016D3CCA427", true},
      {"1b4E28bA-2Fa1-11d2-883F-0016d3CCa427", true},
      {"1b4e28ba2fa111d2883f0016d3cca427", false},
      {"{1b4e28ba-2fa1-11d2-883f-0016d3cca427}", false},
      {"1b4e28b-a2fa1-11d2-883f-0016d3cca427", false},
      {"1b4e28ba-2fa1-11d2-883f-0016d3cca42g", false},
      {"1b4e28ba-2fa1-11d2-883f-0016d3cca427 ", false},
      {" 1b4e28ba-2fa1-11d2-883f-0016d3cca42", false},
      {"1b4e28ba-2fa1-11d2-883f-0016d3cca4\u00E9", false},
      {"", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(isUuidString(c.text), c.want);
  }
}

TEST(CaseAndValues, RangesOf) {
  using Ranges = std::vector<ByteRange>;
  EXPECT_EQ(rangesOf("aaaa", "aa"), (Ranges{{0, 2}, {2, 4}}));
  EXPECT_EQ(rangesOf("aaa", "aa"), (Ranges{{0, 2}}));
  EXPECT_EQ(rangesOf("abc", ""), Ranges{});
  EXPECT_EQ(rangesOf("abc", "x"), Ranges{});
  EXPECT_EQ(rangesOf("abab", "ab", {}, ByteRange{0, 2}), (Ranges{{0, 2}}));
  EXPECT_EQ(rangesOf("abab", "ab", {}, ByteRange{1, 4}), (Ranges{{2, 4}}));
  EXPECT_EQ(rangesOf("caf\u00E9 cafe\u0301", "caf\u00E9"), (Ranges{{0, 5}, {6, 12}}));
  EXPECT_EQ(rangesOf("Ab aB", "ab", SearchOptions::caseInsensitive), (Ranges{{0, 2}, {3, 5}}));
  EXPECT_EQ(rangesOfString("x\r\nx", "\n"), Ranges{});  // never half of CR LF
}

TEST(CaseAndValues, FlatMapEmptyStrings) {
  EXPECT_EQ(flatMapEmptyStrings(std::vector<std::string>{"a", "", "b"}), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(flatMapEmptyStrings(std::vector<std::string_view>{"", ""}), std::vector<std::string>{});
}

}  // namespace
}  // namespace vantrel
