#include "vantrel/text/fixed_splits.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <utility>

#include "vantrel/text/case_and_values.h"

namespace vantrel {
namespace {

using Parts = std::vector<std::string>;
using Slices = std::vector<std::string_view>;

// The slices point into the text, so a temporary text is refused at compile
// time; everything that outlives the call is taken.
template <class T>
concept SlicesAccepted = requires(T&& text) {
  splitByD(std::forward<T>(text));
  splitByC(std::forward<T>(text));
  splitByS(std::forward<T>(text));
  splitByNL(std::forward<T>(text));
  splitByCS(std::forward<T>(text));
  split(std::forward<T>(text), ", ");
  split(std::forward<T>(text), ", ", false);
};
template <class T>
concept SlicesRefused = requires(T&& text) {
  requires !requires { splitByD(std::forward<T>(text)); };
  requires !requires { splitByC(std::forward<T>(text)); };
  requires !requires { splitByS(std::forward<T>(text)); };
  requires !requires { splitByNL(std::forward<T>(text)); };
  requires !requires { splitByCS(std::forward<T>(text)); };
  requires !requires { split(std::forward<T>(text), ", "); };
};
static_assert(SlicesAccepted<std::string&> && SlicesAccepted<const std::string&>);
static_assert(SlicesAccepted<std::string_view> && SlicesAccepted<const char (&)[4]>);
static_assert(!SlicesRefused<std::string&> && !SlicesAccepted<std::string>);
static_assert(SlicesRefused<std::string> && SlicesRefused<std::string&&> && SlicesRefused<const std::string&&>);

TEST(FixedSplits, Components) {
  EXPECT_EQ(componentsByC("a,,b"), (Parts{"a", "", "b"}));
  EXPECT_EQ(componentsByC(""), (Parts{""}));
  EXPECT_EQ(componentsByC(","), (Parts{"", ""}));
  EXPECT_EQ(componentsByS(" a b "), (Parts{"", "a", "b", ""}));
  EXPECT_EQ(componentsByCS("a, b,c, "), (Parts{"a", "b,c", ""}));
  EXPECT_EQ(componentsByCS("a, , b"), (Parts{"a", "", "b"}));
  EXPECT_EQ(componentsByD("a\u25CAb\u25CA"), (Parts{"a", "b", ""}));
  // Every line feed cuts, the one inside CR LF too: the CR stays behind.
  EXPECT_EQ(componentsByNL("a\r\nb\r\n"), (Parts{"a\r", "b\r", ""}));
  // Byte cuts: a lozenge that carries a combining mark is still cut out.
  EXPECT_EQ(componentsByD("a\u25CA\u0301b"), (Parts{"a", "\u0301b"}));
}

TEST(FixedSplits, SlicesAtOneCharacter) {
  EXPECT_EQ(splitByC(",a,,b,"), (Slices{"a", "b"}));
  EXPECT_EQ(splitByC("a,b,"), (Slices{"a", "b"}));
  EXPECT_EQ(splitByC(""), Slices{});
  EXPECT_EQ(splitByC(",,,"), Slices{});
  EXPECT_EQ(splitByS("  a  b "), (Slices{"a", "b"}));
  EXPECT_EQ(splitByD("\u25CAa\u25CA\u25CAb"), (Slices{"a", "b"}));
  // CR LF is one character, not a line feed.
  EXPECT_EQ(splitByNL("a\r\nb\nc"), (Slices{"a\r\nb", "c"}));
  // A separator carrying a mark is another character.
  EXPECT_EQ(splitByC("a,\u0301b"), (Slices{"a,\u0301b"}));
}

TEST(FixedSplits, SplitAtASeparatorText) {
  struct Case {
    std::string_view text;
    std::string_view separator;
    bool omitting;
    Slices want;
  };
  const Case cases[] = {
      // With the flag set no slice is empty: not at the end, not for a text
      // equal to the separator, not for the empty text.
      {"a, b, ", ", ", true, {"a", "b"}},
      {", ", ", ", true, {}},
      {"", ", ", true, {}},
      {", , a, , b, , ", ", ", true, {"a", "b"}},
      {"ab", ", ", true, {"ab"}},
      {"a, , b", ", ", false, {"a", "", "b"}},
      {"a, b, ", ", ", false, {"a", "b", ""}},
      {", ", ", ", false, {"", ""}},
      {"", ", ", false, {""}},
      {"ab", "", false, {"ab"}},
      {"aaa", "aa", false, {"", "a"}},
      // Canonical search: é matches e + U+0301, never the bare e of it.
      {"x\u00E9ye\u0301z", "\u00E9", false, {"x", "y", "z"}},
      {"xe\u0301y", "e", false, {"xe\u0301y"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(std::string(c.text)) + " at " + std::string(c.separator));
    EXPECT_EQ(split(c.text, c.separator, c.omitting), c.want);
  }
  EXPECT_EQ(splitByCS("a, b, "), (Slices{"a", "b"}));
}

TEST(FixedSplits, Joins) {
  const std::vector<std::string> ab{"a", "b"};
  const std::vector<std::string_view> none;
  EXPECT_EQ(joinedCS(ab), "a, b");
  EXPECT_EQ(joinedC(ab), "a,b");
  EXPECT_EQ(joinedS(ab), "a b");
  EXPECT_EQ(joinedD(ab), "a\u25CAb");
  EXPECT_EQ(joinedNL(ab), "a\nb");
  EXPECT_EQ(nlAndJoinedNL(ab), "\na\nb");
  EXPECT_EQ(nltAndJoinedNLT(ab), "\n\ta\n\tb");
  EXPECT_EQ(joinedC(none), "");
  EXPECT_EQ(nlAndJoinedNL(none), "\n");
  EXPECT_EQ(nltAndJoinedNLT(none), "\n\t");
  EXPECT_EQ(joinedC(std::vector<std::string>{"x"}), "x");
  EXPECT_EQ(joinedC(std::vector<std::string>{"", ""}), ",");
}

// Texts from a small alphabet that holds every separator, CR LF and a
// letter with a combining mark.
TEST(FixedSplits, PropertiesOverRandomTexts) {
  const std::string_view alphabet[] = {"a", "\u25CA", ",", " ", "\r\n", "e\u0301", "\n"};
  std::mt19937 random(20261210);
  std::uniform_int_distribution<std::size_t> pick(0, std::size(alphabet) - 1);
  std::uniform_int_distribution<int> length(0, 12);
  struct Family {
    std::string_view separator;
    std::vector<std::string> (*components)(std::string_view);
  };
  const Family families[] = {{kSeparatorD, componentsByD}, {kSeparatorC, componentsByC}, {kSeparatorS, componentsByS},
                             {kSeparatorCS, componentsByCS}, {kSeparatorNL, componentsByNL}};
  for (int round = 0; round < 2000; ++round) {
    std::string text;
    for (int n = length(random); n > 0; --n) text += alphabet[pick(random)];
    SCOPED_TRACE(::testing::PrintToString(text));
    for (const Family& family : families) {
      EXPECT_EQ(joinedWith(family.components(text), family.separator), text);

      const Slices all = split(text, family.separator, false);
      EXPECT_EQ(joinedWith(all, family.separator), text);
      Slices nonEmpty;
      for (std::string_view s : all) {
        if (!s.empty()) nonEmpty.push_back(s);
      }
      EXPECT_EQ(split(text, family.separator, true), nonEmpty);

      const std::vector<ByteRange> ranges = rangesOf(text, family.separator);
      for (std::size_t i = 1; i < ranges.size(); ++i) EXPECT_LE(ranges[i - 1].upperBound, ranges[i].lowerBound);
    }
  }
}

}  // namespace
}  // namespace vantrel
