#include "vantrel/text/substrings.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

TEST(Substrings, HeaderExamples) {
  EXPECT_EQ(vtStringTo("abcdef", 3), "abc");
  EXPECT_EQ(vtStringFromTo("abcdef", 2, 4), "cd");
  EXPECT_EQ(vtStringFromStartOffseted("abcdef", 1, -1), "bcde");
  EXPECT_EQ(vtStringUpTo("key=value=more", "="), "key");
  EXPECT_EQ(vtStringAfter("key=value=more", "=", 4), "more");
  EXPECT_EQ(subscriptRange("abc", 0, 4), std::nullopt);
}

// One row per text; each column is an operation with fixed arguments, so the
// same cuts run over combining marks, ZWJ sequences, CR LF and non-BMP text.
TEST(Substrings, CutsFallOnCharacters) {
  struct Case {
    std::string_view text;
    std::string to2;         // vtStringTo(2)
    std::string from1to3;    // vtStringFromTo(1, 3)
    std::string from1;       // vtStringFromTo(1)
    std::string at1;         // vtStringAt(1)
    std::string trim1;       // vtStringFromStartOffseted(1, -1)
  };
  const Case cases[] = {
      {"abcdef", "ab", "bc", "bcdef", "b", "bcde"},
      {"e\u0301a\u0308bc", "e\u0301a\u0308", "a\u0308b", "a\u0308bc", "a\u0308", "a\u0308b"},
      {"👨‍👩‍👧x👍🏽y", "👨‍👩‍👧x", "x👍🏽", "x👍🏽y", "x", "x👍🏽"},
      {"a\r\nb\r\n", "a\r\n", "\r\nb", "\r\nb\r\n", "\r\n", "\r\nb"},
      {"😀𝄞🇩🇪z", "😀𝄞", "𝄞🇩🇪", "𝄞🇩🇪z", "𝄞", "𝄞🇩🇪"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.text));
    EXPECT_EQ(vtStringTo(c.text, 2), c.to2);
    EXPECT_EQ(vtStringFromTo(c.text, 1, 3), c.from1to3);
    EXPECT_EQ(vtStringFromLength(c.text, 1, 2), c.from1to3);
    EXPECT_EQ(vtStringFromTo(c.text, 1), c.from1);
    EXPECT_EQ(vtStringAt(c.text, 1), c.at1);
    EXPECT_EQ(vtStringFromStartOffseted(c.text, 1, -1), c.trim1);
    EXPECT_EQ(vtStringTo(c.text, 1000), c.text);
    EXPECT_EQ(vtStringFromStartOffseted(c.text, 0, 0), c.text);
  }
  EXPECT_EQ(vtStringTo("abcdef", 0), "");
  EXPECT_EQ(vtStringFromTo("abcdef", 6), "");
  EXPECT_EQ(firstLetterString("e\u0301x"), "e\u0301");
  EXPECT_EQ(vtStringTo("e\u0301x", 1), "e\u0301");
}

TEST(Substrings, SearchCuts) {
  struct Case {
    std::string_view text;
    std::string_view search;
    std::optional<std::int64_t> start;
    std::string after;
    std::string upTo;
  };
  const Case cases[] = {
      {"key=value=more", "=", std::nullopt, "value=more", "key"},
      {"key=value=more", "=", 4, "more", "key=value"},
      {"key=value=more", "#", std::nullopt, "", "key=value=more"},   // a miss
      {"key=value=more", "#", 0, "key=value=more", "key=value=more"},  // a miss with a start offset
      {"abc", "", std::nullopt, "", "abc"},                            // empty search: never found
      {"abc", "a", 3, "abc", "abc"},                                   // start offset = count
      {"caf\u00E9=1", "e\u0301=", std::nullopt, "1", "caf"},           // canonical match
      {"👨‍👩‍👧=😀=x", "=", 2, "x", "👨‍👩‍👧=😀"},
      {"a\r\nb", "\n", std::nullopt, "", "a\r\nb"},                    // half of CR LF is no match
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.text) + " / " + std::string(c.search));
    EXPECT_EQ(vtStringAfter(c.text, c.search, c.start), c.after);
    EXPECT_EQ(vtStringUpTo(c.text, c.search, c.start), c.upTo);
  }
}

TEST(Substrings, RangeSubscripts) {
  EXPECT_EQ(subscriptRange("abc", 0, 3), "abc");
  EXPECT_EQ(subscriptRange("abc", 1, 2), "b");
  EXPECT_EQ(subscriptRange("abc", 0, 5), std::nullopt);
  EXPECT_EQ(subscriptRange("abc", -1, 2), std::nullopt);
  EXPECT_EQ(subscriptRange("abc", 3, 3), std::nullopt);  // empty at the end
  EXPECT_EQ(subscriptRange("", 0, 0), std::nullopt);
  EXPECT_EQ(subscriptRange("abc", 1, 1), "");            // empty inside the text
  EXPECT_EQ(subscriptClosedRange("abc", 0, 2), "abc");
  EXPECT_EQ(subscriptClosedRange("abc", 0, 3), std::nullopt);
  EXPECT_EQ(subscriptClosedRange("abc", -1, 1), std::nullopt);
  EXPECT_EQ(subscriptClosedRange("e\u0301👨‍👩‍👧x", 1, 1), "👨‍👩‍👧");
  EXPECT_EQ(subscriptRangeForced("e\u0301👨‍👩‍👧x", 0, 2), "e\u0301👨‍👩‍👧");
  EXPECT_EQ(subscriptClosedRangeForced("abc", 2, 2), "c");
}

TEST(Substrings, SmallAccessors) {
  EXPECT_EQ(q_(""), "\"\"");
  EXPECT_EQ(q_("a\"b"), "\"a\"b\"");
  EXPECT_TRUE(fullRange("").isEmpty());
  EXPECT_EQ(fullRange("é"), (ByteRange{0, 2}));
}

TEST(Substrings, OlderNamesForward) {
  EXPECT_EQ(vtSubstringToPosition("abcdef", 3), "abc");
  EXPECT_EQ(vtSubstringFrom("abcdef", 2, 4), "cd");
  EXPECT_EQ(vtSubstringFrom("abcdef", 2), "cdef");
  EXPECT_EQ(vtSubstringFromWithLength("abcdef", 1, 3), "bcd");
  EXPECT_EQ(vtSubstringAt("abcdef", 5), "f");
  EXPECT_EQ(substring("abcdef", 1, -1), "bcde");
  EXPECT_EQ(vtSubstringToString("a=b", "="), "a");
  EXPECT_EQ(vtSubstringUpToFirstOccurrenceOf("a=b=c", "=", 2), "a=b");
  EXPECT_EQ(vtSubstringAfterFirstOccurrenceOf("a=b=c", "="), "b=c");
}

TEST(SubstringsDeathTest, OffsetsOutsideTheTextStop) {
  EXPECT_DEATH((void)vtStringTo("abc", -1), "Character count -1 is negative");
  EXPECT_DEATH((void)vtStringFromTo("abc", 4), "Character offset 4 out of range 0...3");
  EXPECT_DEATH((void)vtStringFromTo("abc", -1), "Character offset -1 out of range 0...3");
  EXPECT_DEATH((void)vtStringFromTo("e\u0301", 0, 2), "Character offset 2 out of range 0...1");
  EXPECT_DEATH((void)vtStringFromTo("abc", 2, 1), "Character offset 1 is before the start offset 2");
  EXPECT_DEATH((void)vtStringFromLength("abc", 1, 3), "Character offset 4 out of range 0...3");
  EXPECT_DEATH((void)vtStringFromLength("abc", 1, -1), "Character length -1 is negative");
  EXPECT_DEATH((void)vtStringFromLength("abc", 1, INT64_MAX), "overflow");
  EXPECT_DEATH((void)vtStringAt("abc", 3), "Character offset 3 out of range 0..<3");
  EXPECT_DEATH((void)vtStringAt("", 0), "Character offset 0 out of range 0..<0");
  EXPECT_DEATH((void)vtStringFromStartOffseted("abc", 0, 1), "End offset 1 is positive");
  EXPECT_DEATH((void)vtStringFromStartOffseted("abc", 2, -2), "leave no valid range");
  EXPECT_DEATH((void)vtStringFromStartOffseted("abc", 0, -4), "leave no valid range");
  EXPECT_DEATH((void)vtStringAfter("abc", "a", 4), "Start offset 4 out of range 0...3");
  EXPECT_DEATH((void)vtStringUpTo("abc", "a", -1), "Start offset -1 out of range 0...3");
  EXPECT_DEATH((void)subscriptRange("abc", 2, 1), "upper bound below its lower bound");
  EXPECT_DEATH((void)subscriptRangeForced("abc", 1, 4), "Range 1..<4 out of range 0..<3");
  EXPECT_DEATH((void)subscriptClosedRangeForced("abc", 0, 3), "Range 0...3 out of range 0..<3");
  EXPECT_DEATH((void)firstLetterString(""), "firstLetterString of the empty text");
}

}  // namespace
}  // namespace vantrel
