#include "vantrel/text/string_services.h"

#include <gtest/gtest.h>

#include "vantrel/text/character_set.h"

namespace vantrel {
namespace {

// "é" written as e + combining acute, and precomposed.
constexpr const char* kDecomposedE = "e\xCC\x81";
constexpr const char* kComposedE = "\xC3\xA9";

TEST(StringServices, HeaderExamples) {
  EXPECT_EQ(rangeOf("cafe\u0301!", "café"), (ByteRange{0, 6}));
  EXPECT_EQ(rangeOf("e\u0301", "e"), std::nullopt);
  EXPECT_EQ(rangeOfUtf16("a😀b", "b").location, 3);
  EXPECT_EQ(componentsSeparatedBy("a,b,", ","), (std::vector<std::string>{"a", "b", ""}));
  EXPECT_EQ(repairedUtf8("a\xFF"), "a\uFFFD");
}

TEST(StringServices, RepairsInvalidUtf8) {
  struct Case {
    std::string_view in;
    std::string want;
  };
  const Case cases[] = {
      {"plain", "plain"},
      {"\xC3\xA9", "\xC3\xA9"},
      {"\xFF\xFE", "\uFFFD\uFFFD"},
      {"ab\xE2\x82", "ab\uFFFD"},              // truncated: one replacement for the maximal subpart
      {"\xE0\x80\x80", "\uFFFD\uFFFD\uFFFD"},  // overlong: each byte replaced
      {"\xED\xA0\x80", "\uFFFD\uFFFD\uFFFD"},  // encoded surrogate
      {"\xF4\x90\x80\x80", "\uFFFD\uFFFD\uFFFD\uFFFD"},  // above U+10FFFF
      {"\xF0\x9F\x98\x80", "😀"},
      {std::string_view("a\0b", 3), std::string("a\0b", 3)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(std::string(c.in)));
    EXPECT_EQ(repairedUtf8(c.in), c.want);
    EXPECT_EQ(isValidUtf8(c.in), c.in == c.want);
    EXPECT_TRUE(isValidUtf8(repairedUtf8(c.in)));
  }
}

TEST(StringServices, Utf8ValidationRejectsMalformedSequences) {
  struct Case {
    std::string_view bytes;
    bool valid;
  };
  const Case cases[] = {
      {"", true},          {"plain", true},         {"\xC3\xA9", true},       {"\xF0\x9F\x98\x80", true},
      {"\xC3", false},     {"\xC0\xAF", false},     {"\xED\xA0\x80", false},  {"\xF4\x90\x80\x80", false},
      {"\xFF", false},     {"a\x80", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(std::string(c.bytes)));
    EXPECT_EQ(isValidUtf8(c.bytes), c.valid);
  }
}

TEST(StringServices, Utf16Conversions) {
  EXPECT_EQ(utf8FromUtf16(u"a\u00E9😀"), "a\u00E9😀");
  EXPECT_EQ(utf8FromUtf16(std::u16string{u'a', char16_t(0xD800), u'b'}), "a\uFFFDb");  // lone high surrogate
  EXPECT_EQ(utf8FromUtf16(std::u16string{char16_t(0xDC00)}), "\uFFFD");                // lone low surrogate
  EXPECT_EQ(utf16FromUtf8("a😀"), u"a😀");
  EXPECT_EQ(unicodeScalars("e\u0301😀"), U"e\u0301😀");
  EXPECT_EQ(stringFromScalar(0xE9), "\u00E9");
  EXPECT_EQ(stringFromScalar(0xD800), "\uFFFD");
}

TEST(StringServices, Utf16Offsets) {
  const std::string text = "a\u00E9😀\r\nb";  // units: a=1 é=1 😀=2 CR LF b
  EXPECT_EQ(utf16Length(text), 7);
  EXPECT_EQ(utf16Length(""), 0);
  EXPECT_EQ(utf16Offset(text, 3), 2);       // after é (2 bytes)
  EXPECT_EQ(utf16Offset(text, 7), 4);       // after 😀 (4 bytes)
  EXPECT_EQ(byteOffset(text, 4), 7u);
  EXPECT_EQ(byteOffset(text, 7), text.size());
  EXPECT_EQ(utf16Range(text, ByteRange{3, 7}), (Utf16Range{2, 2}));
  EXPECT_EQ(byteRange(text, Utf16Range{2, 2}), (ByteRange{3, 7}));
}

TEST(StringServicesDeathTest, BadUtf16OffsetsStop) {
  const std::string text = "a😀";
  EXPECT_DEATH((void)byteOffset(text, 2), "UTF-16 offset 2 splits a surrogate pair");
  EXPECT_DEATH((void)byteOffset(text, 4), "UTF-16 offset 4 out of range 0...3");
  EXPECT_DEATH((void)byteOffset(text, -1), "UTF-16 offset -1 is negative");
  EXPECT_DEATH((void)byteRange(text, Utf16Range{NotFound, 0}), "NotFound");
  EXPECT_DEATH((void)utf16Offset(text, 2), "Byte offset 2 is inside a scalar");
}

TEST(StringServices, CanonicalSearch) {
  struct Case {
    std::string_view text;
    std::string_view search;
    std::optional<ByteRange> want;
  };
  const Case cases[] = {
      {"hello world", "world", ByteRange{6, 11}},
      {"hello", "", std::nullopt},                       // an empty search is never found
      {"", "a", std::nullopt},
      {"aXbX", "X", ByteRange{1, 2}},                    // first from the front
      {"Hello", "hello", std::nullopt},                  // case-sensitive
      {"caf\u00E9", "cafe\u0301", ByteRange{0, 5}},      // decomposed search, composed text
      {"cafe\u0301", "caf\u00E9", ByteRange{0, 6}},      // and the other way round
      {"cafe\u0301", "cafe", std::nullopt},              // never half a letter
      {"e\u0301\u0323", "e\u0323\u0301", ByteRange{0, 5}},  // marks in another canonical order
      {"a\u212Bb", "\u00C5", ByteRange{1, 4}},           // angstrom sign is canonically Å
      {"x\r\ny", "\r\n", ByteRange{1, 3}},
      {"ab😀cd", "😀c", ByteRange{2, 7}},                // non-BMP
      {"👨‍👩‍👧 x", "x", ByteRange{19, 20}},
      {"🇩🇪🇫🇷", "🇫🇷", ByteRange{8, 16}},
      {"👨‍👩‍👧", "👩", std::nullopt},                     // inside a ZWJ sequence
      {"a\r\n", "\r", std::nullopt},                   // half of CR LF
      {"\x0B\u0301", "\u0301", ByteRange{1, 3}},        // a mark after a control is a character
      {"e\u0301", "\u0301", std::nullopt},              // a mark after a letter is not
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.text) + " / " + std::string(c.search));
    EXPECT_EQ(rangeOf(c.text, c.search), c.want);
  }
}

TEST(StringServices, SearchOptionsAndRanges) {
  EXPECT_EQ(rangeOf("Hello", "hELLO", SearchOptions::caseInsensitive), (ByteRange{0, 5}));
  EXPECT_EQ(rangeOf("STRASSE", "stra\u00DFe", SearchOptions::caseInsensitive), (ByteRange{0, 7}));
  EXPECT_EQ(rangeOf("r\u00E9sum\u00E9", "resume", SearchOptions::diacriticInsensitive), (ByteRange{0, 8}));
  EXPECT_EQ(rangeOf("R\u00C9SUM\u00C9", "resume", SearchOptions{SearchOptions::caseInsensitive,
                                                                 SearchOptions::diacriticInsensitive}),
            (ByteRange{0, 8}));
  EXPECT_EQ(rangeOf("r\u00E9sum\u00E9", "resume"), std::nullopt);
  // A search range skips what lies before it.
  EXPECT_EQ(rangeOf("a=b=c", "=", {}, ByteRange{2, 5}), (ByteRange{3, 4}));
  EXPECT_EQ(rangeOfUtf16("😀a😀a", "a", {}, Utf16Range{3, 3}), (Utf16Range{5, 1}));
  EXPECT_EQ(rangeOfUtf16("abc", "z"), (Utf16Range{NotFound, 0}));
  EXPECT_FALSE(rangeOfUtf16("abc", "z").found());
  EXPECT_TRUE(containsText("a\u00E9", kDecomposedE));
}

TEST(StringServices, PrefixAndSuffixRespectCharacters) {
  struct Case {
    std::string_view text;
    std::string_view affix;
    std::optional<std::size_t> prefix;
    std::optional<std::size_t> suffix;
  };
  const Case cases[] = {
      {"foobar", "foo", 3, std::nullopt},
      {"foobar", "", 0, 0},
      {"", "", 0, 0},
      {"", "a", std::nullopt, std::nullopt},
      {kDecomposedE, "e", std::nullopt, std::nullopt},  // the mark belongs to the e
      {"e\u0301x", kComposedE, 3, std::nullopt},
      {"x\u00E9", kDecomposedE, std::nullopt, 2},
      {"a\r\nb", "a\r", std::nullopt, std::nullopt},    // CR LF is one character
      {"a\r\n", "\n", std::nullopt, std::nullopt},
      {"👨‍👩‍👧", "👨", std::nullopt, std::nullopt},           // part of a ZWJ sequence
      {"👨‍👩‍👧", "👧", std::nullopt, std::nullopt},
      {"🇩🇪🇫🇷", "🇩🇪", 8, std::nullopt},
      {"😀x😀", "😀", 4, 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.text) + " / " + std::string(c.affix));
    EXPECT_EQ(prefixMatchLength(c.text, c.affix), c.prefix);
    EXPECT_EQ(suffixMatchLength(c.text, c.affix), c.suffix);
    EXPECT_EQ(hasPrefix(c.text, c.affix), c.prefix.has_value());
    EXPECT_EQ(hasSuffix(c.text, c.affix), c.suffix.has_value());
  }
}

TEST(StringServices, ComponentsAndReplacement) {
  EXPECT_EQ(componentsSeparatedBy("", ","), (std::vector<std::string>{""}));
  EXPECT_EQ(componentsSeparatedBy("abc", ""), (std::vector<std::string>{"abc"}));
  EXPECT_EQ(componentsSeparatedBy(",a,,b,", ","), (std::vector<std::string>{"", "a", "", "b", ""}));
  EXPECT_EQ(componentsSeparatedBy("aaaa", "aa"), (std::vector<std::string>{"", "", ""}));  // no overlap
  EXPECT_EQ(componentsSeparatedBy("e\u0301|e|\u00E9", kComposedE),
            (std::vector<std::string>{"", "|e|", ""}));
  EXPECT_EQ(replacingOccurrences("banana", "a", "b"), "bbnbnb");
  EXPECT_EQ(replacingOccurrences("banana", "", "x"), "banana");
  EXPECT_EQ(replacingOccurrences("caf\u00E9 cafe\u0301", kDecomposedE, "E"), "cafE cafE");
  EXPECT_EQ(componentsSeparatedBySet("a b\tc", CharacterSet::whitespaces()),
            (std::vector<std::string>{"a", "b", "c"}));
}

TEST(StringServices, CaseAndNumbers) {
  EXPECT_EQ(lowercased("ABC d\u00C9"), "abc d\u00E9");
  EXPECT_EQ(uppercased("stra\u00DFe"), "STRASSE");
  EXPECT_EQ(uppercased("i"), "I");  // no Turkish dotted capital: locale-independent
  EXPECT_EQ(titlecased("hello wORLD \u00E9t\u00E9"), "Hello World \u00C9t\u00E9");
  EXPECT_EQ(nfd("\u00E9"), kDecomposedE);
  EXPECT_EQ(hexString(255), "ff");
  EXPECT_EQ(hexString(255, true), "FF");
  EXPECT_EQ(parseHex("fF"), 255u);
  EXPECT_EQ(parseHex("ffffffffffffffff"), UINT64_MAX);
  EXPECT_EQ(parseHex(""), std::nullopt);
  EXPECT_EQ(parseHex("0x1"), std::nullopt);
  EXPECT_EQ(parseHex("-1"), std::nullopt);
  EXPECT_EQ(parseHex("1ffffffffffffffff"), std::nullopt);
  EXPECT_EQ(parseDouble("1.5"), 1.5);
  EXPECT_EQ(parseDouble("+2e3"), 2000.0);
  EXPECT_EQ(parseDouble("1,5"), std::nullopt);
  EXPECT_EQ(parseDouble(" 1"), std::nullopt);
  EXPECT_EQ(parseDouble(""), std::nullopt);
}

TEST(CharacterSet, PredefinedSets) {
  const CharacterSet& ws = CharacterSet::whitespaces();
  EXPECT_TRUE(ws.contains(U' '));
  EXPECT_TRUE(ws.contains(U'\t'));
  EXPECT_TRUE(ws.contains(0x00A0));  // no-break space is Zs
  EXPECT_TRUE(ws.contains(0x3000));
  EXPECT_FALSE(ws.contains(U'\n'));
  EXPECT_FALSE(ws.contains(0x2028));
  const CharacterSet& wsnl = CharacterSet::whitespacesAndNewlines();
  for (char32_t c : {U'\n', U'\r', char32_t(0x0B), char32_t(0x0C), char32_t(0x85), char32_t(0x2028),
                     char32_t(0x2029), U' '}) {
    EXPECT_TRUE(wsnl.contains(c)) << static_cast<std::uint32_t>(c);
  }
  EXPECT_FALSE(wsnl.contains(U'a'));
  EXPECT_TRUE(CharacterSet::newlines().contains(0x2029));
  EXPECT_FALSE(CharacterSet::newlines().contains(U' '));
  EXPECT_TRUE(CharacterSet::urlQueryAllowed().contains(U'?'));
  EXPECT_FALSE(CharacterSet::urlQueryAllowed().contains(U'#'));
  EXPECT_FALSE(CharacterSet::urlPathAllowed().contains(U'?'));
  EXPECT_TRUE(CharacterSet::urlHostAllowed().contains(U'['));
  EXPECT_FALSE(CharacterSet::urlUserAllowed().contains(U':'));
}

TEST(CharacterSet, Algebra) {
  const CharacterSet digits = CharacterSet::fromRange(U'0', U'9');
  const CharacterSet punct = CharacterSet::fromCharacters(",;😀");
  EXPECT_TRUE(digits.contains(U'5'));
  EXPECT_FALSE(digits.inverted().contains(U'5'));
  EXPECT_TRUE(digits.inverted().contains(0x10FFFF));
  const CharacterSet both = digits.union_(punct);
  EXPECT_TRUE(both.contains(U';'));
  EXPECT_TRUE(both.contains(U'0'));
  EXPECT_TRUE(both.contains(0x1F600));
  EXPECT_TRUE(both.hasMemberInPlane(1));
  EXPECT_FALSE(digits.hasMemberInPlane(1));
  EXPECT_FALSE(CharacterSet().contains(U'a'));
  EXPECT_FALSE(CharacterSet::fromRange(U'b', U'a').contains(U'a'));
  EXPECT_EQ(CharacterSet::fromCharacters("ab"), CharacterSet::fromRange(U'a', U'b'));
  EXPECT_EQ(rangeOfCharacter("ab,c", CharacterSet::fromCharacters(",")), (ByteRange{2, 3}));
  EXPECT_EQ(rangeOfCharacter("é😀", CharacterSet::fromCharacters("😀")), (ByteRange{2, 6}));
  EXPECT_EQ(rangeOfCharacter("abc", digits), std::nullopt);
}

TEST(CharacterSet, TrimmingKeepsCharactersWhole) {
  struct Case {
    std::string_view in;
    std::string want;
  };
  const CharacterSet& set = CharacterSet::whitespacesAndNewlines();
  const Case cases[] = {
      {"  a b  ", "a b"},
      {"\r\n a \r\n", "a"},
      {"", ""},
      {" \t ", ""},
      {" \u00E9 ", "\u00E9"},
      {" e\u0301 ", kDecomposedE},
      {" \u0301x", " \u0301x"},       // the space carries a mark: not a blank character
      {"\u3000😀\u00A0", "😀"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.in));
    EXPECT_EQ(trimmingCharacters(c.in, set), c.want);
  }
  // A CR LF pair is trimmed whole or kept whole.
  EXPECT_EQ(trimmingCharacters("\r\nx", CharacterSet::fromCharacters("\r")), "\r\nx");
}

}  // namespace
}  // namespace vantrel

namespace vantrel {
namespace {

TEST(ScalarAt, ReadsScalarsAndIllFormedBytesAsRepairReadsThem) {
  const std::string text = "a\xC3\xA9\xF0\x9F\x98\x80\xE2\x82x";
  struct Case {
    std::size_t pos;
    char32_t scalar;
    std::size_t length;
    bool valid;
  };
  for (const Case& c : {Case{0, U'a', 1, true}, Case{1, U'\u00E9', 2, true}, Case{3, U'\U0001F600', 4, true},
                        Case{7, U'\uFFFD', 2, false}, Case{9, U'x', 1, true}}) {
    SCOPED_TRACE(c.pos);
    const ScalarAt got = scalarAt(text, c.pos);
    EXPECT_EQ(got.scalar, c.scalar);
    EXPECT_EQ(got.length, c.length);
    EXPECT_EQ(got.valid, c.valid);
  }
  EXPECT_DEATH((void)scalarAt(text, text.size()), "scalarAt: byte 10 outside a text of 10 bytes");
}

}  // namespace
}  // namespace vantrel

namespace vantrel {
namespace {

TEST(AsciiPrefixLength, CountsLeadingAsciiBytes) {
  const std::string longAscii(100, 'a');
  EXPECT_EQ(asciiPrefixLength(""), 0u);
  EXPECT_EQ(asciiPrefixLength("abc"), 3u);
  EXPECT_EQ(asciiPrefixLength("ab\xC3\xA9"), 2u);
  EXPECT_EQ(asciiPrefixLength(longAscii), 100u);
  EXPECT_EQ(asciiPrefixLength(longAscii + "\x80" + longAscii), 100u);
}

}  // namespace
}  // namespace vantrel
