#include "vantrel/text/trimming.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

TEST(Trimming, HeaderExamples) {
  EXPECT_EQ(stringByTrimmingWhiteSpaces(" a b\n "), "a b\n");
  EXPECT_EQ(vtStringByStrippingWhiteSpaces(" a b "), "ab");
  EXPECT_EQ(droppingPrefix("foobar", "foo"), "bar");
  EXPECT_EQ(droppingPrefix("e\u0301x", "e"), "e\u0301x");
  EXPECT_EQ(droppingPrefix("e\u0301x", "\u00e9"), "x");
  EXPECT_EQ(ensuringSuffix("a", "/"), "a/");
  EXPECT_EQ(wrapIn("", "[", "]"), "[]");
}

TEST(Trimming, BlanksAndNewlines) {
  struct Case {
    std::string_view in;
    std::string trimmed;          // whitespaces
    std::string trimmedNewlines;  // whitespaces and newlines
    std::string stripped;
    std::string strippedNewlines;
  };
  const Case cases[] = {
      {"  a b  ", "a b", "a b", "ab", "ab"},
      {"\n a \n", "\n a \n", "a", "\na\n", "a"},
      {"\r\n\t", "\r\n", "", "\r\n", ""},
      {"", "", "", "", ""},
      {"\u00A0x\u3000y\u2028", "x\u3000y\u2028", "x\u3000y", "xy\u2028", "xy"},
      {" e\u0301 \u00E9 ", "e\u0301 \u00E9", "e\u0301 \u00E9", "e\u0301\u00E9", "e\u0301\u00E9"},
      {"\t👨‍👩‍👧 😀\t", "👨‍👩‍👧 😀", "👨‍👩‍👧 😀", "👨‍👩‍👧😀", "👨‍👩‍👧😀"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.in));
    EXPECT_EQ(stringByTrimmingWhiteSpaces(c.in), c.trimmed);
    EXPECT_EQ(stringByTrimmingWhiteSpacesAndNewlines(c.in), c.trimmedNewlines);
    EXPECT_EQ(vtStringByStrippingWhiteSpaces(c.in), c.stripped);
    EXPECT_EQ(vtStringByStrippingWhiteSpacesAndNewlines(c.in), c.strippedNewlines);
  }
}

TEST(Trimming, PrefixesAndSuffixes) {
  struct Case {
    std::string_view in;
    std::string_view affix;
    std::string withoutPrefix;
    std::string withoutSuffix;
  };
  const Case cases[] = {
      {"foobar", "foo", "bar", "foobar"},
      {"barfoo", "foo", "barfoo", "bar"},
      {"foo", "", "foo", "foo"},
      {"foo", "foo", "", ""},
      {"", "x", "", ""},
      {"e\u0301x", "e", "e\u0301x", "e\u0301x"},              // the fault: never half a letter
      {"\u00E9x\u00E9", "e\u0301", "x\u00E9", "\u00E9x"},     // one character removed for it
      {"e\u0301xe\u0301", "\u00E9", "xe\u0301", "e\u0301x"},
      {"a\r\n", "\n", "a\r\n", "a\r\n"},                      // half of CR LF
      {"\r\na", "\r", "\r\na", "\r\na"},
      {"👨‍👩‍👧", "👨", "👨‍👩‍👧", "👨‍👩‍👧"},                          // part of a ZWJ sequence
      {"🇩🇪🇫🇷", "🇩🇪", "🇫🇷", "🇩🇪🇫🇷"},
      {"😀a😀", "😀", "a😀", "😀a"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.in) + " / " + std::string(c.affix));
    EXPECT_EQ(droppingPrefix(c.in, c.affix), c.withoutPrefix);
    EXPECT_EQ(vtStringByRemovingPrefix(c.in, c.affix), c.withoutPrefix);
    EXPECT_EQ(droppingSuffix(c.in, c.affix), c.withoutSuffix);
    EXPECT_EQ(vtStringByRemovingSuffix(c.in, c.affix), c.withoutSuffix);
    std::string in(c.in);
    dropPrefix(in, c.affix);
    EXPECT_EQ(in, c.withoutPrefix);
    in = std::string(c.in);
    dropSuffix(in, c.affix);
    EXPECT_EQ(in, c.withoutSuffix);
  }
}

TEST(Trimming, Ensuring) {
  EXPECT_EQ(ensuringPrefix("a", "/"), "/a");
  EXPECT_EQ(ensuringPrefix("/a", "/"), "/a");
  EXPECT_EQ(ensuringPrefix("a", ""), "a");
  EXPECT_EQ(ensuringSuffix("a/", "/"), "a/");
  EXPECT_EQ(ensuringSuffix("caf\u00E9", "e\u0301"), "caf\u00E9");
  // "e" is not a prefix of "e\u0301", so it is added.
  EXPECT_EQ(ensuringPrefix("e\u0301", "e"), "ee\u0301");
  std::string s = "a";
  ensurePrefix(s, "/");
  ensurePrefix(s, "/");
  ensureSuffix(s, "/");
  ensureSuffix(s, "/");
  EXPECT_EQ(s, "/a/");
}

TEST(Trimming, WrappingAndConditions) {
  EXPECT_EQ(wrapInQuotes(""), "\"\"");
  EXPECT_EQ(wrapInQuotes("a"), "\"a\"");
  EXPECT_EQ(wrapIn("a", "*"), "*a*");
  EXPECT_EQ(appending("a", "b", true), "ab");
  EXPECT_EQ(appending("a", "b", false), "a");
  EXPECT_EQ(stringWhenNotEmpty(""), std::nullopt);
  EXPECT_EQ(stringWhenNotEmpty("x"), "x");
  EXPECT_EQ(vtAtLeastOneCharacter(""), std::nullopt);
  EXPECT_EQ(stringWhenMoreThan("abc", 3), "abc");
  EXPECT_EQ(stringWhenMoreThan("ab", 3), std::nullopt);
  EXPECT_EQ(stringWhenMoreThan("e\u0301e\u0301", 3), std::nullopt);  // two characters, six bytes
  EXPECT_EQ(stringWhenMoreThan("", 0), "");
}

}  // namespace
}  // namespace vantrel
