#include "vantrel/text/splitting.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

using Parts = std::vector<std::string>;
using Pair = std::pair<std::string, std::string>;

TEST(Splitting, HeaderExamples) {
  EXPECT_EQ(componentsSeparatedByIntoTwoParts("a=b=c", "="), (Pair{"a", "b=c"}));
  EXPECT_EQ(componentsSeparatedByStringTrimmed(" a , b ,, c "), (Parts{"a", "b", "", "c"}));
  EXPECT_EQ(componentsSeparatedByKeeping("a,b,c", ","), (Parts{"a,", "b,", "c"}));
  EXPECT_EQ(splitSeparatorSet(",a,,b,", CharacterSet::fromCharacters(",")),
            (std::vector<std::string_view>{"a", "b"}));
  EXPECT_EQ(extractSearchTerms("from:anna report", {"from"}),
            (SearchTerms{{"report"}, {{"from", "anna"}}}));
}

TEST(Splitting, TwoParts) {
  struct Case {
    std::string_view text;
    std::string_view separator;
    std::optional<Pair> want;
  };
  const Case cases[] = {
      {"a=b=c", "=", Pair{"a", "b=c"}},
      {"=b", "=", Pair{"", "b"}},
      {"a=", "=", Pair{"a", ""}},
      {"abc", "=", std::nullopt},
      {"abc", "", std::nullopt},
      {"\u00E9=x", "e\u0301=", Pair{"", "x"}},            // canonical
      {"e\u0301x", "e", std::nullopt},                     // not half a letter
      {"👨‍👩‍👧|😀|b", "|", Pair{"👨‍👩‍👧", "😀|b"}},
      {"a\r\nb", "\r\n", Pair{"a", "b"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.text) + " / " + std::string(c.separator));
    EXPECT_EQ(componentsSeparatedByIntoTwoPartsNilIfNotFound(c.text, c.separator), c.want);
    const Pair orWhole = c.want.value_or(Pair{std::string(c.text), ""});
    EXPECT_EQ(componentsSeparatedByIntoTwoParts(c.text, c.separator), orWhole);
    EXPECT_EQ(componentsDividedAt(c.text, c.separator), orWhole);
    EXPECT_EQ(vtSplitAtFirstOccurrenceOf(c.text, c.separator), orWhole);
    const auto views = splitDividedAt(c.text, c.separator);
    ASSERT_EQ(views.has_value(), c.want.has_value());
    if (views) {
      EXPECT_EQ((Pair{std::string(views->first), std::string(views->second)}), *c.want);
    }
  }
}

TEST(Splitting, EveryOccurrence) {
  EXPECT_EQ(componentsSeparatedByStringTrimmed(""), (Parts{""}));
  EXPECT_EQ(componentsSeparatedByStringTrimmed("  solo\t "), (Parts{"solo"}));
  EXPECT_EQ(componentsSeparatedByStringTrimmed("a ;\nb", ";"), (Parts{"a", "\nb"}));  // newlines are not blanks
  EXPECT_EQ(componentsSeparatedByStringTrimmed("a ;\nb", ";", CharacterSet::whitespacesAndNewlines()),
            (Parts{"a", "b"}));
  EXPECT_EQ(componentsSeparatedByKeeping("a,,b", ","), (Parts{"a,", ",", "b"}));
  EXPECT_EQ(componentsSeparatedByKeeping("a,", ","), (Parts{"a,", ""}));
  EXPECT_EQ(componentsSeparatedByKeeping("😀👍🏽😀", "👍🏽"), (Parts{"😀👍🏽", "😀"}));
  EXPECT_EQ(componentsSeparatedByExpectedCount("a,b", ",", 2), (Parts{"a", "b"}));
  EXPECT_EQ(componentsSeparatedByExpectedCount("a,b", ",", 1), std::nullopt);
  EXPECT_EQ(componentsSeparatedByExpectedCount("a,b", ",", 3), std::nullopt);
  EXPECT_EQ(componentsSeparatedByExpectedCount("", ",", 1), (Parts{""}));
}

TEST(Splitting, AtCharactersOfASet) {
  using Views = std::vector<std::string_view>;
  const CharacterSet comma = CharacterSet::fromCharacters(",");
  EXPECT_EQ(splitSeparatorSet(",a,,b,", comma, false), (Views{"", "a", "", "b", ""}));
  EXPECT_EQ(splitSeparatorSet("", comma), Views{});
  EXPECT_EQ(splitSeparatorSet("", comma, false), (Views{""}));
  // A character is a separator when its first scalar is a member; its marks go with it.
  EXPECT_EQ(splitSeparatorSet("a,\u0301b", comma), (Views{"a", "b"}));
  EXPECT_EQ(splitSeparatorSet("e\u0301xe\u0301", CharacterSet::fromCharacters("\u0301")),
            (Views{"e\u0301xe\u0301"}));
  EXPECT_EQ(splitSeparatorSet("a\r\nb\nc", CharacterSet::newlines()), (Views{"a", "b", "c"}));
  EXPECT_EQ(splitSeparatorSet("👨‍👩‍👧 😀", CharacterSet::whitespaces()), (Views{"👨‍👩‍👧", "😀"}));
}

TEST(Splitting, SearchTerms) {
  EXPECT_EQ(extractSearchTerms("from:anna  report in:inbox   x:y", {"from", "in"}),
            (SearchTerms{{"report", "x:y"}, {{"from", "anna"}, {"in", "inbox"}}}));
  EXPECT_EQ(extractSearchTerms("a b", {}), (SearchTerms{{"a", "b"}, {}}));
  EXPECT_EQ(extractSearchTerms("from:", {"from"}), (SearchTerms{{"from:"}, {}}));
  // An empty value leaves the word to the remaining tags.
  EXPECT_EQ(extractSearchTerms(":x from:", {"from", ""}), (SearchTerms{{"from:"}, {{"", "x"}}}));
  // Only the space separates; a tab stays inside a word but is trimmed at its ends.
  EXPECT_EQ(extractSearchTerms("a\tb \tc\t", {}), (SearchTerms{{"a\tb", "c"}, {}}));
  EXPECT_EQ(extractSearchTerms("\"a b\"", {}), (SearchTerms{{"\"a", "b\""}, {}}));
  // Canonically equivalent tag names match; the value keeps its own spelling.
  EXPECT_EQ(extractSearchTerms("cafe\u0301:cre\u0300me", {"caf\u00E9"}),
            (SearchTerms{{}, {{"caf\u00E9", "cre\u0300me"}}}));
}

}  // namespace
}  // namespace vantrel
