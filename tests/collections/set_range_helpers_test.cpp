#include <array>
#include <cstdint>
#include <deque>
#include <optional>
#include <sstream>
#include <string>
#include <unordered_set>
#include <vector>

#include <gtest/gtest.h>

#include "vantrel/collections/set_range_helpers.h"
#include "vantrel/core/describe.h"
#include "vantrel/core/random.h"

namespace vantrel {
namespace {

using IntRange = Range<std::int64_t>;
using Ranges = std::vector<IntRange>;

TEST(Range, BoundsCountContainsAndText) {
  const IntRange r(2, 5);
  EXPECT_EQ(r.lowerBound(), 2);
  EXPECT_EQ(r.upperBound(), 5);
  EXPECT_EQ(r.count(), 3);
  EXPECT_TRUE(r.contains(2));
  EXPECT_FALSE(r.contains(5));
  EXPECT_FALSE(r.isEmpty());
  EXPECT_TRUE(IntRange(3, 3).isEmpty());
  EXPECT_EQ(describe(r), "2..<5");

  const ClosedRange<std::int64_t> c(2, 5);
  EXPECT_EQ(c.count(), 4);
  EXPECT_TRUE(c.contains(5));
  EXPECT_FALSE(c.contains(6));
  EXPECT_EQ(describe(c), "2...5");
  EXPECT_EQ(ClosedRange<double>(0.5, 0.5).contains(0.5), true);
}

TEST(RangeDeathTest, InvertedBoundsAndOverflowingCountStop) {
  EXPECT_DEATH(IntRange(5, 2), "Range requires lowerBound <= upperBound");
  EXPECT_DEATH(ClosedRange<int>(1, 0), "ClosedRange requires lowerBound <= upperBound");
  EXPECT_DEATH((void)IntRange(INT64_MIN, INT64_MAX).count(), "overflow");
}

TEST(MergeAdjacentRanges, JoinsOnlyRangesTouchingEndToStartInListOrder) {
  struct Case {
    const char* name;
    Ranges in, want;
  };
  const Case cases[] = {
      {"touching runs", {{0, 2}, {2, 5}, {7, 9}, {9, 10}}, {{0, 5}, {7, 10}}},
      {"overlap", {{0, 2}, {1, 3}}, {{0, 2}, {1, 3}}},
      {"backward", {{2, 4}, {0, 2}}, {{2, 4}, {0, 2}}},
      {"empty range joins", {{3, 3}, {3, 5}}, {{3, 5}}},
      {"single", {{4, 8}}, {{4, 8}}},
      {"none", {}, {}},
      {"gap", {{0, 1}, {2, 3}}, {{0, 1}, {2, 3}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(mergeAdjacentRanges(c.in), c.want);
  }
}

TEST(Offset, ShiftsBothBounds) {
  EXPECT_EQ(offset(IntRange(2, 5), 3), IntRange(5, 8));
  EXPECT_EQ(offset(IntRange(2, 5), -2), IntRange(0, 3));
  EXPECT_EQ(offset(IntRange(2, 5), 0), IntRange(2, 5));
}

TEST(OffsetDeathTest, OverflowStops) {
  EXPECT_DEATH((void)offset(IntRange(0, INT64_MAX), 1), "overflow");
}

TEST(SubscriptSafe, AnswersNothingOutsideTheCollection) {
  const std::vector<int> v = {10, 20, 30};
  EXPECT_EQ(subscriptSafe(v, 2), 30);
  EXPECT_EQ(subscriptSafe(v, 0), 10);
  EXPECT_EQ(subscriptSafe(v, 3), std::nullopt);
  EXPECT_EQ(subscriptSafe(v, -1), std::nullopt);
  EXPECT_EQ(subscriptSafe(std::vector<int>{}, 0), std::nullopt);
  EXPECT_EQ(subscriptSafe(std::deque<char>{'x'}, 0), 'x');
  EXPECT_EQ(subscriptSafe(std::string("ab"), 1), 'b');
}

struct Person {
  std::string first, last;
  bool operator==(const Person&) const = default;
};

TEST(SortTwentyNine, TieBreakersDecideInListOrder) {
  const std::vector<Person> people = {
      {"Zoe", "Adams"}, {"Bob", "Young"}, {"Amy", "Young"}, {"Carl", "Adams"}};
  const TieBreakingComparator<Person> byLast = [](const Person& a,
                                                  const Person& b) -> std::optional<bool> {
    if (a.last == b.last) return std::nullopt;
    return a.last < b.last;
  };
  const TieBreakingComparator<Person> byFirst = [](const Person& a, const Person& b) {
    return std::optional<bool>(a.first < b.first);
  };
  const auto sorted = sort_TwentyNine(people, {byLast, byFirst});
  EXPECT_EQ(sorted, (std::vector<Person>{
                        {"Carl", "Adams"}, {"Zoe", "Adams"}, {"Amy", "Young"}, {"Bob", "Young"}}));
  EXPECT_EQ(people[0].first, "Zoe") << "receiver unchanged";

  const std::vector<int> one = {7};
  EXPECT_EQ(sort_TwentyNine(one, {}), one);
  EXPECT_TRUE(sort_TwentyNine(std::vector<int>{}, {}).empty());
}

// A tie-breaker that is not a strict weak order (>=) still sorts in bounds.
TEST(SortTwentyNine, NonStrictComparatorStaysInBounds) {
  std::vector<int> values;
  for (int i = 0; i < 2000; ++i) values.push_back((i * 7919) % 11);
  const auto sorted = sort_TwentyNine(
      values, {[](const int& a, const int& b) { return std::optional<bool>(a >= b); }});
  for (std::size_t i = 1; i < sorted.size(); ++i) ASSERT_GE(sorted[i - 1], sorted[i]);
}

TEST(SortTwentyNineDeathTest, UndecidedPairStops) {
  EXPECT_DEATH((void)sort_TwentyNine(std::vector<int>{2, 1}, {}), "Fatal error: ");
  const TieBreakingComparator<int> never = [](const int&, const int&) { return std::nullopt; };
  EXPECT_DEATH((void)sort_TwentyNine(std::vector<int>{2, 1}, {never}), "Fatal error: ");
}

TEST(SetHelpers, SearchesInIterationOrder) {
  const std::unordered_set<int> set = {1, 5, 9, 12};
  std::vector<int> order(set.begin(), set.end());
  EXPECT_TRUE(vtContainsElementThatMatches(set, [](int v) { return v > 10; }));
  EXPECT_FALSE(vtContainsElementThatMatches(set, [](int v) { return v > 100; }));

  const auto position = vtFindFirstElementPositionThatMatches(set, [](int v) { return v % 3 == 0; });
  ASSERT_TRUE(position);
  EXPECT_EQ(order[static_cast<std::size_t>(*position)] % 3, 0);
  for (std::int64_t i = 0; i < *position; ++i) EXPECT_NE(order[static_cast<std::size_t>(i)] % 3, 0);

  const std::unordered_set<int> empty;
  EXPECT_EQ(vtFindFirstElementPositionThatMatches(empty, [](int) { return true; }), std::nullopt);
  EXPECT_FALSE(vtContainsElementThatMatches(empty, [](int) { return true; }));
  EXPECT_EQ(vtFindFirstElementPositionThatMatches(set, [](int) { return false; }), std::nullopt);

  // The walk stops at the first match.
  int asked = 0;
  EXPECT_TRUE(vtContainsElementThatMatches(set, [&](int) { return ++asked == 2; }));
  EXPECT_EQ(asked, 2);
}

TEST(SetHelpers, RandomElementDrawsAnIterationPosition) {
  const std::unordered_set<std::string> set = {"a", "b", "c"};
  const std::vector<std::string> order(set.begin(), set.end());
  ScriptedRandomSource script({2});
  {
    ScopedRandomSource use(script);
    EXPECT_EQ(randomElement(set), order[2]);
  }
  EXPECT_EQ(script.bounds(), std::vector<std::uint32_t>{3});
  EXPECT_EQ(randomElement(std::unordered_set<int>{}), std::nullopt);
  EXPECT_EQ(randomElement(std::unordered_set<int>{4}), 4);
}

TEST(SetHelpers, AtLeastOne) {
  EXPECT_EQ(vtAtLeastOne(std::unordered_set<int>{}), std::nullopt);
  EXPECT_EQ(vtAtLeastOne(std::unordered_set<int>{1, 2}), (std::unordered_set<int>{1, 2}));
}

}  // namespace
}  // namespace vantrel
