#include <cmath>
#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "vantrel/collections/named_sort_block.h"
#include "vantrel/collections/sorted_array.h"
#include "vantrel/core/sort.h"

namespace vantrel {
namespace {

const auto kLess = [](const int& a, const int& b) { return a < b; };

NamedSortBlock<int> ascending() { return NamedSortBlock<int>("ascending", kLess); }

TEST(NamedSortBlock, ReversedAppendsSuffixTogglesFlagAndNegates) {
  const NamedSortBlock<int> block = ascending();
  EXPECT_EQ(block.code(), "ascending");
  EXPECT_FALSE(block.reverse());

  const auto once = block.reversed();
  EXPECT_EQ(once.code(), "ascending_reversed");
  EXPECT_TRUE(once.reverse());
  EXPECT_FALSE(once(1, 2));
  EXPECT_TRUE(once(2, 1));
  EXPECT_TRUE(once(2, 2));  // negated `<` is `>=`: equals are "before" each other

  const auto twice = once.reversed();
  EXPECT_EQ(twice.code(), "ascending_reversed_reversed");
  EXPECT_FALSE(twice.reverse());
  EXPECT_TRUE(twice(1, 2));
  EXPECT_FALSE(twice(2, 2));

  EXPECT_EQ(NamedSortBlock<int>("", kLess).reversed().code(), "_reversed");
  EXPECT_TRUE(NamedSortBlock<int>("x", true, kLess).reverse());
}

TEST(NamedSortBlock, EqualityComparesCodesOnly) {
  const NamedSortBlock<int> a("name", kLess);
  const NamedSortBlock<int> b("name", true, [](const int& x, const int& y) { return x > y; });
  const NamedSortBlock<int> c("other", kLess);
  EXPECT_EQ(a, b);
  EXPECT_NE(a, c);
  // Codes compare as texts: canonically equivalent spellings are one code.
  EXPECT_EQ(NamedSortBlock<int>("caf\u00e9", kLess), NamedSortBlock<int>("cafe\u0301", kLess));
  EXPECT_EQ(std::optional<NamedSortBlock<int>>(), std::optional<NamedSortBlock<int>>());
  EXPECT_NE(std::optional<NamedSortBlock<int>>(a), std::optional<NamedSortBlock<int>>());
}

TEST(NamedSortBlock, CopiesShareOneComparator) {
  int calls = 0;
  const NamedSortBlock<int> block("counting", [&calls](const int& a, const int& b) {
    ++calls;
    return a < b;
  });
  const NamedSortBlock<int> copy = block;
  (void)block(1, 2);
  (void)copy(1, 2);
  (void)block.reversed()(1, 2);
  EXPECT_EQ(calls, 3);
}

TEST(NamedSortBlockDeathTest, EmptyComparatorStops) {
  EXPECT_DEATH(NamedSortBlock<int>("none", NamedSortBlock<int>::Comparator()),
               "NamedSortBlock needs a comparator");
}

TEST(InsertionIndex, FirstPositionNotOrderedBeforeTheValue) {
  struct Case {
    std::vector<int> array;
    int value;
    std::int64_t want;
  };
  const Case cases[] = {
      {{}, 4, 0},       {{1, 3, 5}, 0, 0}, {{1, 3, 5}, 1, 0}, {{1, 3, 5}, 2, 1},
      {{1, 3, 5}, 5, 2}, {{1, 3, 5}, 6, 3}, {{2, 2, 2}, 2, 0}, {{7}, 7, 0},
      {{7}, 8, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.array) + " value " + std::to_string(c.value));
    EXPECT_EQ(insertionIndexInSortedArray(c.array, ascending(), c.value), c.want);
    EXPECT_EQ(insertionIndexForSortedBy(c.array, kLess, c.value), c.want);
  }
}

TEST(InsertionIndex, ReversedBlockPutsValueBehindItsEquals) {
  const std::vector<int> descending = {5, 3, 3, 1};
  const auto block = ascending().reversed();
  EXPECT_EQ(insertionIndexInSortedArray(descending, block, 3), 3);
  EXPECT_EQ(insertionIndexInSortedArray(descending, block, 4), 1);
  EXPECT_EQ(insertionIndexInSortedArray(descending, block, 0), 4);
  EXPECT_EQ(insertionIndexInSortedArray(descending, block, 9), 0);
}

// The observable collections rely on the search's cost: never more than
// ceil(log2 n) + 1 comparator calls, and never the value as first argument.
TEST(InsertionIndex, ComparatorCallsStayWithinLogBound) {
  for (int n : {1, 2, 3, 4, 5, 7, 8, 9, 100, 1000, 1023, 1024, 1025, 100000}) {
    std::vector<int> array(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) array[static_cast<std::size_t>(i)] = 2 * i;
    const auto bound = static_cast<long>(std::ceil(std::log2(static_cast<double>(n)))) + 1;
    for (int value : {-1, 0, 1, n / 2, n - 1, n, 2 * n - 2, 2 * n - 1, 2 * n, 3 * n}) {
      long calls = 0;
      const std::int64_t index = insertionIndexForSortedBy(
          array,
          [&](const int& element, const int& v) {
            ++calls;
            EXPECT_EQ(v, value);
            return element < v;
          },
          value);
      SCOPED_TRACE("n " + std::to_string(n) + " value " + std::to_string(value));
      EXPECT_LE(calls, bound);
      const auto want = std::lower_bound(array.begin(), array.end(), value) - array.begin();
      EXPECT_EQ(index, want);
    }
  }
}

// A sort block negated into `>=` is not a strict weak order. Sorting with it
// goes through stableSort (AddressSanitizer watches for reads out of
// bounds), and the searches then agree with the sorted result.
TEST(InsertionIndex, NonStrictReversedBlockSortsAndSearchesInBounds) {
  const auto descending = ascending().reversed();
  std::vector<int> values;
  for (int i = 0; i < 3000; ++i) values.push_back((i * 7919) % 17);
  stableSort(values, descending);
  for (std::size_t i = 1; i < values.size(); ++i) ASSERT_GE(values[i - 1], values[i]);
  for (int v = -1; v <= 18; ++v) {
    const std::int64_t index = insertionIndexInSortedArray(values, descending, v);
    // Behind every element >= v, in front of every element < v.
    const auto want = std::partition_point(values.begin(), values.end(),
                                           [&](int e) { return e >= v; }) -
                      values.begin();
    EXPECT_EQ(index, want) << "value " << v;
  }
}

TEST(InsertionIndex, UnsortedArrayStillGivesAnIndexInRange) {
  const std::vector<int> unsorted = {9, 1, 8, 2, 7, 3};
  for (int v = 0; v < 11; ++v) {
    const auto index = insertionIndexForSortedBy(unsorted, kLess, v);
    EXPECT_GE(index, 0);
    EXPECT_LE(index, 6);
  }
}

TEST(InsertionIndexOf, ReturnsFirstProbedEqualOrInsertionIndex) {
  struct Case {
    std::vector<int> array;
    int value;
    std::int64_t want;
  };
  const Case cases[] = {
      {{1, 3, 5}, 3, 1}, {{1, 3, 5}, 4, 2}, {{1, 3, 5}, 9, 3},      {{1, 3, 5}, 0, 0},
      {{}, 3, 0},        {{2, 2, 2, 2, 2}, 2, 2},                   {{1, 2, 2, 2, 9}, 2, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.array) + " value " + std::to_string(c.value));
    EXPECT_EQ(insertionIndexOf(c.array, c.value, kLess), c.want);
  }
}

TEST(CanElement, NeighboursDecide) {
  struct Case {
    std::vector<int> array;
    int element;
    std::int64_t index;
    bool want;
  };
  const Case cases[] = {
      {{1, 5, 9}, 4, 1, true},   {{1, 5, 9}, 0, 1, false}, {{1, 5, 9}, 10, 1, false},
      {{5, 5, 5}, 5, 1, true},   {{7}, 100, 0, true},      {{}, 3, 0, true},
      {{1, 2, 7}, 3, 2, true},   {{1, 2, 7}, 0, 0, true},  {{1, 2, 7}, 3, 0, false},
      {{1, 2, 7}, 9, 3, true},   {{1, 2, 7}, 1, 3, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.array) + " element " + std::to_string(c.element) +
                 " at " + std::to_string(c.index));
    EXPECT_EQ(canElement(c.array, c.element, c.index, kLess), c.want);
    EXPECT_EQ(canElement(c.array, c.element, c.index, ascending()), c.want);
  }
}

TEST(CanElement, NeverReadsTheStoredElementAndTestsBothSides) {
  const std::vector<int> array = {1, 100, 3};
  std::vector<std::pair<int, int>> calls;
  const bool stays = canElement(array, 2, 1, [&](const int& a, const int& b) {
    calls.emplace_back(a, b);
    return a < b;
  });
  EXPECT_TRUE(stays);
  for (const auto& [a, b] : calls) {
    EXPECT_NE(a, 100);
    EXPECT_NE(b, 100);
  }
  // The left test fails on its second call; the right side is still asked.
  calls.clear();
  EXPECT_FALSE(canElement(array, 0, 1, [&](const int& a, const int& b) {
    calls.emplace_back(a, b);
    return a < b;
  }));
  EXPECT_EQ(calls, (std::vector<std::pair<int, int>>{{1, 0}, {0, 1}, {0, 3}}));
}

TEST(CanElementDeathTest, IndexThatReadsOutsideStops) {
  const std::vector<int> array = {1, 2, 3};
  EXPECT_DEATH((void)canElement(array, 2, 5, kLess), "canElement: index 5 out of range -1..<4");
  EXPECT_DEATH((void)canElement(array, 2, -2, kLess), "canElement: index -2 out of range");
}

}  // namespace
}  // namespace vantrel
