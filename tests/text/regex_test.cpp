#include "vantrel/text/regex.h"

#include "vantrel/text/internal/regular_expression_limits.h"
#include "vantrel/text/regex_matching.h"
#include "vantrel/text/regular_expression.h"

namespace vantrel {
namespace {

using Groups = std::vector<std::optional<std::string>>;
constexpr Utf16Range kAbsent{NotFound, 0};

TEST(RegularExpression, RangesAreUtf16WithNotFoundForAbsentGroups) {
  struct Case {
    std::string pattern;
    std::string text;
    std::vector<std::vector<Utf16Range>> matches;
  };
  const std::vector<Case> cases = {
      {"b", "😀b", {{{2, 1}}}},                                // emoji before the match
      {"(a)|(b)", "ab", {{{0, 1}, {0, 1}, kAbsent}, {{1, 1}, kAbsent, {1, 1}}}},
      {"(a)?b", "b", {{{0, 1}, kAbsent}}},                     // absent group
      {"(a*)b", "b", {{{0, 1}, {0, 0}}}},                       // empty, not absent
      {"c$", "abc", {{{2, 1}}}},                                // match at the end
      {"é", "e\u0301é", {{{2, 1}}}},                            // ICU compares code points
      {"x", "", {}},
      {"", "😀", {{{0, 0}}, {{2, 0}}}},                         // empty matches step a whole scalar
      {"a*", "baa", {{{0, 0}}, {{1, 2}}, {{3, 0}}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.pattern + " on " + c.text);
    std::vector<std::vector<Utf16Range>> found;
    for (const auto& match : RegularExpression(c.pattern).matches(c.text)) found.push_back(match.ranges());
    EXPECT_EQ(found, c.matches);
  }
}

TEST(RegularExpression, CompileErrorsCarryIcuErrorNames) {
  struct Case {
    std::string pattern;
    std::string name;
  };
  for (const auto& c : std::vector<Case>{{"(", "U_REGEX_MISMATCHED_PAREN"},
                                         {"a{2,1}", "U_REGEX_MAX_LT_MIN"},
                                         {"[z-a]", "U_REGEX_INVALID_RANGE"},
                                         {"*", "U_REGEX_RULE_SYNTAX"}}) {
    try {
      (void)RegularExpression(c.pattern);
      ADD_FAILURE() << c.pattern << " compiled";
    } catch (const RegularExpressionError& e) {
      EXPECT_EQ(e.description(), c.name) << c.pattern;
      const Error& base = e;
      EXPECT_EQ(base.description(), c.name);
    }
  }
}

TEST(RegularExpression, OptionsMapOntoIcuFlags) {
  using O = RegularExpressionOptions;
  struct Case {
    std::string pattern;
    O options;
    std::string text;
    std::int64_t count;
  };
  const std::vector<Case> cases = {
      {"abc", {}, "ABC", 0},
      {"abc", O::caseInsensitive, "ABC", 1},
      {"a b # comment", O::allowCommentsAndWhitespace, "ab", 1},
      {"a.c", O::ignoreMetacharacters, "abc a.c", 1},
      {"a.c", {}, "a\nc", 0},
      {"a.c", O::dotMatchesLineSeparators, "a\nc", 1},
      {"^b", {}, "a\nb", 0},
      {"^b", O::anchorsMatchLines, "a\nb", 1},
      {"a$", O{O::anchorsMatchLines, O::useUnixLineSeparators}, "a\u2028", 0},
      {"a$", O::anchorsMatchLines, "a\u2028", 1},
      {"\\bb", {}, "a.b", 1},
      {"\\bb", O::useUnicodeWordBoundaries, "a.b", 0},  // "a.b" is one word by UAX #29
  };
  for (const auto& c : cases) {
    EXPECT_EQ(RegularExpression(c.pattern, c.options).numberOfMatches(c.text), c.count) << c.pattern;
  }
}

TEST(RegularExpression, MatchingOptionsAndRanges) {
  const RegularExpression re("a");
  EXPECT_EQ(re.numberOfMatches("aab", MatchingOptions::anchored), 2);
  EXPECT_EQ(re.numberOfMatches("baa", MatchingOptions::anchored), 0);
  EXPECT_EQ(re.numberOfMatches("aa", {MatchingOptions::reportProgress, MatchingOptions::reportCompletion}), 2);
  // Within a range: ^ and $ hold at its bounds unless anchoring bounds are off.
  const RegularExpression anchoredA("^a$");
  EXPECT_EQ(anchoredA.numberOfMatches("bab", {}, Utf16Range{1, 1}), 1);
  EXPECT_EQ(anchoredA.numberOfMatches("bab", MatchingOptions::withoutAnchoringBounds, Utf16Range{1, 1}), 0);
  const RegularExpression lookAhead("a(?=b)");
  EXPECT_EQ(lookAhead.numberOfMatches("ab", {}, Utf16Range{0, 1}), 0);
  EXPECT_EQ(lookAhead.numberOfMatches("ab", MatchingOptions::withTransparentBounds, Utf16Range{0, 1}), 1);
  const auto match = re.firstMatch("😀xa", {}, Utf16Range{2, 2});
  ASSERT_TRUE(match);
  EXPECT_EQ(match->range(), (Utf16Range{3, 1}));
  EXPECT_EQ(match->description(), "<TextCheckingResult>{3, 1}");
}

TEST(RegularExpressionDeathTest, RangesOutsideTheTextOrInsideAPairStop) {
  const RegularExpression re("a");
  EXPECT_DEATH((void)re.firstMatch("abc", {}, Utf16Range{2, 2}), "Search range \\{2, 2\\} out of range");
  EXPECT_DEATH((void)re.firstMatch("abc", {}, Utf16Range{-1, 1}), "Search range \\{-1, 1\\} out of range");
  EXPECT_DEATH((void)re.firstMatch("😀", {}, Utf16Range{1, 1}), "splits a surrogate pair");
  EXPECT_DEATH((void)re.firstMatch("a")->rangeAt(1), "Range index 1 out of range 0..<1");
}

TEST(RegularExpression, AnEngineErrorEndsTheSearch) {
  text_internal::setRegularExpressionTimeLimit(1);
  const RegularExpression re("(a+)+b");
  const std::string text = "ab" + std::string(40, 'a') + "c";
  EXPECT_EQ(re.matches(text).size(), 1u);  // the first match, then the time limit
  text_internal::setRegularExpressionTimeLimit(0);
}

TEST(Regex, ValueOperations) {
  const Regex r("(a)?b");
  EXPECT_EQ(r.groupsOfFirstMatch("b"), (Groups{"b", std::nullopt}));
  EXPECT_EQ(r.matchingGroupsOf("b"), (std::vector<Groups>{{"b", std::nullopt}}));
  EXPECT_EQ(r.matchingGroupsOf("ab b"), (std::vector<Groups>{{"ab", "a"}, {"b", std::nullopt}}));
  EXPECT_TRUE(r.match("xxb"));
  EXPECT_EQ(r.matchingsOf("😀ab b"), (std::vector<std::string>{"ab", "b"}));

  const Regex none("z");
  EXPECT_FALSE(none.match("abc"));
  EXPECT_TRUE(none.matchingsOf("abc").empty());
  EXPECT_TRUE(none.matchingGroupsOf("abc").empty());
  EXPECT_TRUE(none.groupsOfFirstMatch("abc").empty());

  const Regex any(".*");
  EXPECT_TRUE(any.match(""));
  EXPECT_EQ(any.matchingsOf(""), (std::vector<std::string>{""}));
  EXPECT_EQ(Regex("..$").matchingsOf("a😀"), (std::vector<std::string>{"a😀"}));
}

TEST(Regex, ConstructionAndEquality) {
  EXPECT_THROW((void)Regex("(ab"), RegularExpressionError);
  EXPECT_EQ(Regex("a+"), Regex("a+"));
  EXPECT_FALSE(Regex("a+") == Regex("a+", RegularExpressionOptions::caseInsensitive));
  EXPECT_FALSE(Regex("\u00e9") == Regex("e\u0301"));  // compiled differently: different patterns
  EXPECT_TRUE(Regex("\u00e9").match("\u00e9"));
  EXPECT_FALSE(Regex("\u00e9").match("e\u0301"));

  const Regex original("\\d+");
  const Regex copy = original;  // NOLINT(performance-unnecessary-copy-initialization)
  EXPECT_EQ(&copy.matcher().pattern(), &original.matcher().pattern());  // one compiled pattern
  const Regex literal = "\\d+"_regex;
  EXPECT_EQ(literal, original);
  EXPECT_EQ(literal.matchingsOf("a12b3"), (std::vector<std::string>{"12", "3"}));
}

TEST(RegexDeathTest, ALiteralThatDoesNotCompileStops) {
  EXPECT_DEATH((void)"(x"_regex, "Regex literal \"\\(x\" does not compile: U_REGEX_MISMATCHED_PAREN");
}

TEST(RegexMatching, ExpectedGroupsAndRest) {
  const RegularExpression two("(\\w+)=(\\w+)");
  EXPECT_EQ(matches(two, "a=b", 2), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(matches(two, "a=b", 1), std::nullopt);
  EXPECT_EQ(matches(two, "ab", 2), std::nullopt);
  EXPECT_EQ(matches(RegularExpression("ab"), "xab", 0), std::vector<std::string>{});
  EXPECT_EQ(matches(RegularExpression("(a)|(b)"), "b", 2), (std::vector<std::string>{"", "b"}));

  const auto rest = matchesWithRest(RegularExpression("(\\d+)"), "ab12cd", 1);
  ASSERT_TRUE(rest);
  EXPECT_EQ(rest->first, std::vector<std::string>{"12"});
  EXPECT_EQ(rest->second, "cd");
  const auto atEnd = matchesWithRest(RegularExpression("(\\d+)"), "😀12", 1);
  ASSERT_TRUE(atEnd);
  EXPECT_EQ(atEnd->second, "");

  EXPECT_EQ(firstMatchingStringInNsString(RegularExpression("(\\d)(\\d)"), "12"), std::nullopt);
  EXPECT_EQ(firstMatchingStringInNsString(RegularExpression("x(\\d)"), "😀x7"), "7");
  EXPECT_EQ(firstMatchingStringInNsString(RegularExpression("(a)?b"), "b"), std::nullopt);
  EXPECT_EQ(firstMatchingStringInNsString(RegularExpression("x(\\d)"), "x1 x2", Utf16Range{1, 4}), "2");

  std::vector<Utf16Range> seen;
  enumerateMatchesInStringVt(RegularExpression("\\d"), "😀1a2",
                             [&](const TextCheckingResult& m) { seen.push_back(m.range()); });
  EXPECT_EQ(seen, (std::vector<Utf16Range>{{2, 1}, {4, 1}}));
}

TEST(RegexMatching, StringFormsOfThePattern) {
  EXPECT_EQ(vtMatchSingle("key: v", "key: (\\w)"), "v");
  EXPECT_EQ(vtMatchSingle("nothing", "key: (\\w)"), std::nullopt);
  EXPECT_EQ(vtMatchSingle("abc", "b"), std::nullopt);  // no group
  EXPECT_EQ(vtMatch("nothing", "(x)"), std::vector<std::string>{});
  EXPECT_EQ(vtMatch("b", "(a)?(b)"), (std::vector<std::string>{"", "b"}));
  EXPECT_EQ(vtMatch("a=b", "(\\w)=(\\w)", 2), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(vtMatch("a=b", "(\\w)=(\\w)", 1), std::nullopt);

  // A pattern that does not compile answers nothing.
  EXPECT_EQ(vtMatchSingle("a(", "("), std::nullopt);
  EXPECT_EQ(vtMatch("a(", "("), std::vector<std::string>{});
  EXPECT_EQ(vtMatch("a(", "(", 0), std::nullopt);
  EXPECT_EQ(vtMatchSingle("a(", "(", 0), std::nullopt);
  EXPECT_EQ(vtMatchSingleAllInLine("a(", "("), std::nullopt);
}

TEST(RegexMatching, StartPositions) {
  using Found = std::optional<std::pair<std::string, Utf16Range>>;
  EXPECT_EQ(vtMatchSingle("x1 x2", "x(\\d)", std::nullopt), (Found{{"1", {1, 1}}}));
  EXPECT_EQ(vtMatchSingle("x1 x2", "x(\\d)", 1), (Found{{"2", {4, 1}}}));
  EXPECT_EQ(vtMatchSingle("😀x1", "x(\\d)", 2), (Found{{"1", {3, 1}}}));
  EXPECT_EQ(vtMatchSingle("x1", "x(\\d)", 2), std::nullopt);   // at the end
  EXPECT_EQ(vtMatchSingle("x1", "x(\\d)", 9), std::nullopt);   // past it
  EXPECT_EQ(vtMatchSingle("xy", "x(\\d)?", 0), std::nullopt);  // group 1 took no part
}

TEST(RegexMatchingDeathTest, NegativeOrMidPairStartPositionsStop) {
  EXPECT_DEATH((void)vtMatchSingle("abc", "(a)", -1), "Start position -1 is negative");
  EXPECT_DEATH((void)vtMatchSingle("😀a", "(a)", 1), "Start position 1 splits a surrogate pair");
}

TEST(RegexMatching, SuccessiveGroupOneMatchesAlwaysEnd) {
  using List = std::optional<std::vector<std::string>>;
  struct Case {
    std::string text;
    std::string pattern;
    List expected;
  };
  const std::vector<Case> cases = {
      {"x1 x2 x3", "x(\\d)", List{{"1", "2", "3"}}},
      {"nothing", "x(\\d)", std::nullopt},
      {"bab", "(a*)", List{{"", "a", ""}}},
      {"😀a", "(a*)", List{{"", "a"}}},
      {"😀x1😀x2", "x(\\d)", List{{"1", "2"}}},
      {"aaa", "(a)(?=a)", List{{"a", "a"}}},
      // ICU's look-behind sees before the search range: group 1 can end
      // before the start position, and the next search still moves on.
      {"ab", "(?<=(a))b", List{{"a", "a"}}},
      {"", "(a*)", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(vtMatchSingleAllInLine(c.text, c.pattern), c.expected) << c.pattern;
}

}  // namespace
}  // namespace vantrel
