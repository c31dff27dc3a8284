#include <cstdint>
#include <list>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "vantrel/collections/array_building.h"

namespace vantrel {
namespace {

using Ints = std::vector<int>;

TEST(Chunk, SplitsIntoConsecutivePieces) {
  const Ints values{1, 2, 3, 4, 5};
  EXPECT_EQ(chunk(values, 2), (std::vector<Ints>{{1, 2}, {3, 4}, {5}}));
  EXPECT_EQ(chunk(values, 5), (std::vector<Ints>{{1, 2, 3, 4, 5}}));
  EXPECT_EQ(chunk(values, 7), (std::vector<Ints>{{1, 2, 3, 4, 5}}));
  EXPECT_TRUE(chunk(values, -1).empty());
  EXPECT_TRUE(chunk(Ints{}, 3).empty());
  EXPECT_DEATH((void)chunk(values, 0), "the chunk size must not be 0");
}

TEST(MakeRangesWithTotalCount, RunsFromEachStartToTheNext) {
  using R = Range<std::int64_t>;
  EXPECT_EQ(makeRangesWithTotalCount({0, 3, 7}, 10), (std::vector<R>{R(0, 3), R(3, 7), R(7, 10)}));
  EXPECT_EQ(makeRangesWithTotalCount({4}, 4), (std::vector<R>{R(4, 4)}));
  EXPECT_TRUE(makeRangesWithTotalCount({}, 5).empty());
  EXPECT_DEATH((void)makeRangesWithTotalCount({3, 2}, 5), "start 3 lies above the end 2");
  EXPECT_DEATH((void)makeRangesWithTotalCount({0, 6}, 5), "start 6 lies above the end 5");
}

TEST(ArrayBuilding, RepeatsAndInterleaves) {
  const std::vector<char> ab{'a', 'b'};
  EXPECT_EQ(multiply(ab, 3), (std::vector<char>{'a', 'b', 'a', 'b', 'a', 'b'}));
  EXPECT_TRUE(multiply(ab, 0).empty());
  EXPECT_EQ(arrayThicknessed(ab, 3), (std::vector<char>{'a', 'a', 'a', 'b', 'b', 'b'}));
  EXPECT_TRUE(arrayThicknessed(ab, 0).empty());
  EXPECT_TRUE(arrayThicknessed(std::vector<char>{}, -1).empty());  // empty: no stop
  EXPECT_EQ(arrayInterweaving(std::vector<char>{'a', 'b', 'c'}, 'x'),
            (std::vector<char>{'a', 'x', 'b', 'x', 'c'}));
  EXPECT_EQ(arrayInterweaving(std::list<char>{'a'}, 'x'), (std::vector<char>{'a'}));
  EXPECT_TRUE(arrayInterweaving(std::list<char>{}, 'x').empty());
  auto reserved = arrayWithCapacity<std::string>(40);
  EXPECT_TRUE(reserved.empty());
  EXPECT_GE(reserved.capacity(), 40u);
}

TEST(ArrayBuildingDeathTest, NegativeCountsAndOverflowStop) {
  const std::vector<char> ab{'a', 'b'};
  EXPECT_DEATH((void)multiply(ab, -1), "multiply: -1 is negative");
  EXPECT_DEATH((void)arrayThicknessed(ab, -2), "arrayThicknessed: -2 is negative");
  EXPECT_DEATH((void)multiply(ab, INT64_MAX), "Arithmetic overflow");
  EXPECT_DEATH((void)arrayWithCapacity<int>(-1), "arrayWithCapacity: -1 is negative");
}

TEST(AppendOptional, AppendsOnlyPresentValues) {
  Ints values{1};
  appendOptional(values, std::optional<int>(2));
  appendOptional(values, std::optional<int>());
  EXPECT_EQ(values, (Ints{1, 2}));
  std::vector<std::string> texts;
  appendOptionalStringWithMinimumLengthOfOne(texts, std::string("a"));
  appendOptionalStringWithMinimumLengthOfOne(texts, std::string());
  appendOptionalStringWithMinimumLengthOfOne(texts, std::nullopt);
  EXPECT_EQ(texts, (std::vector<std::string>{"a"}));
}

TEST(CountGates, AnswerTheArrayOrNothing) {
  const Ints two{1, 2};
  EXPECT_EQ(vtAtLeastCount(two, 2), two);
  EXPECT_EQ(vtAtLeastCount(two, 3), std::nullopt);
  EXPECT_EQ(vtAtLeastCount(two, -1), two);
  EXPECT_EQ(vtCountEquals(Ints{}, 0), Ints{});
  EXPECT_EQ(vtCountEquals(two, 1), std::nullopt);
  EXPECT_EQ(vtAtLeastOne(Ints{}), std::nullopt);
  EXPECT_EQ(vtAtLeastOne(two), two);
  EXPECT_EQ(nilArrayIfEmpty(Ints{}), std::nullopt);
  EXPECT_EQ(nilArrayIfEmpty(two), two);
}

TEST(ArrayQueries, AscendingOrderAndRotation) {
  EXPECT_TRUE(hasAscendingOrder(Ints{1, 1, 2}));
  EXPECT_FALSE(hasAscendingOrder(Ints{2, 1}));
  EXPECT_FALSE(hasAscendingOrder(Ints{1, 3, 2, 4}));
  EXPECT_TRUE(hasAscendingOrder(Ints{}));
  EXPECT_TRUE(hasAscendingOrder(Ints{7}));

  const std::vector<char> abc{'a', 'b', 'c'};
  EXPECT_EQ(elementAfterWithRotation(abc, 'c'), 'a');
  EXPECT_EQ(elementAfterWithRotation(abc, 'a'), 'b');
  EXPECT_EQ(elementAfterWithRotation(abc, 'z'), std::nullopt);
  EXPECT_EQ(elementAfterWithRotation(std::vector<char>{'a', 'b', 'a'}, 'a'), 'b');
}

TEST(Filtering, KeepsMatchesInOrderAndLeavesTheArrayOnThrow) {
  Ints values{1, 2, 3, 4, 5};
  filtering(values, [](int v) { return v % 2 == 1; });
  EXPECT_EQ(values, (Ints{1, 3, 5}));
  EXPECT_THROW(filtering(values,
                         [](int v) -> bool {
                           if (v == 3) throw std::runtime_error("bad");
                           return false;
                         }),
               std::runtime_error);
  EXPECT_EQ(values, (Ints{1, 3, 5}));
}

TEST(SortedNot, ReversesTheComparatorAndKeepsEqualElementsInOrder) {
  using P = std::pair<int, char>;
  auto byNumber = [](const P& a, const P& b) { return a.first < b.first; };
  const std::vector<P> values{{1, 'a'}, {3, 'b'}, {1, 'c'}, {2, 'd'}, {3, 'e'}};
  // Swapping the arguments keeps a strict order: ties stay in input order
  // (a negated "<" would be ">=", which is no strict order at all).
  const std::vector<P> expected{{3, 'b'}, {3, 'e'}, {2, 'd'}, {1, 'a'}, {1, 'c'}};
  EXPECT_EQ(sorted_not(values, byNumber), expected);
  std::vector<P> inPlace = values;
  sort_not(inPlace, byNumber);
  EXPECT_EQ(inPlace, expected);

  // Many ties: still a descending result.
  std::vector<int> many;
  for (int i = 0; i < 500; ++i) many.push_back(i % 7);
  auto sorted = sorted_not(many, std::less<>());
  for (std::size_t i = 1; i < sorted.size(); ++i) ASSERT_GE(sorted[i - 1], sorted[i]);
}

TEST(HexTexts, TwoLowerCaseDigitsPerByteWithOptionalGroups) {
  const std::vector<std::uint8_t> three{0x01, 0xAB, 0x02};
  const std::vector<std::uint8_t> two{0x01, 0xAB};
  EXPECT_EQ(hexString(two), "01ab");
  EXPECT_EQ(hexString(std::vector<std::uint8_t>{}), "");
  EXPECT_EQ(hexDescription(three), "01ab02");
  EXPECT_EQ(hexDescription(three, 2), "01ab 02");
  EXPECT_EQ(hexDescription(two, 2), "01ab ");
  EXPECT_EQ(hexDescription(two, 1), "01 ab ");
  EXPECT_EQ(hexDescription(two, 5), "01ab");
  EXPECT_DEATH((void)hexDescription(two, 0), "group size 0 is below 1");
}

}  // namespace
}  // namespace vantrel
