// Checks that a container works as a C++ range the way a standard container
// does, against a std::vector that holds the same elements in the same order:
//
//   expectRangeAgrees(bits, model, [](bool b) { return b; });
//
// It compares the whole range, the size, a reversed walk, a filtered walk, a
// sorted copy, and (for random-access ranges) indexing and iterator
// arithmetic at every position.
#pragma once

#include <algorithm>
#include <cstddef>
#include <iterator>
#include <ranges>
#include <type_traits>
#include <vector>

#include <gtest/gtest.h>

namespace vantrel::testing {

// std::vector<bool> cannot be sorted through std::ranges; bytes stand in.
template <class V>
using SortableCopy = std::vector<std::conditional_t<std::is_same_v<V, bool>, unsigned char, V>>;

template <std::ranges::sized_range R, class V, class Predicate>
void expectRangeAgrees(const R& range, const std::vector<V>& model, Predicate keep) {
  ASSERT_EQ(std::ranges::size(range), model.size());
  ASSERT_EQ(std::ranges::empty(range), model.empty());
  ASSERT_EQ(std::ranges::distance(range), static_cast<std::ptrdiff_t>(model.size()));
  ASSERT_TRUE(std::ranges::equal(range, model));

  std::vector<V> reversed(model.rbegin(), model.rend());
  ASSERT_TRUE(std::ranges::equal(range | std::views::reverse, reversed));

  std::vector<V> kept;
  std::ranges::copy_if(model, std::back_inserter(kept), keep);
  ASSERT_TRUE(std::ranges::equal(range | std::views::filter(keep), kept));
  ASSERT_TRUE(std::ranges::equal(range | std::views::filter(keep) | std::views::reverse,
                                 kept | std::views::reverse));

  SortableCopy<V> sorted(std::ranges::begin(range), std::ranges::end(range));
  std::ranges::sort(sorted);
  SortableCopy<V> expected(model.begin(), model.end());
  std::ranges::sort(expected);
  ASSERT_EQ(sorted, expected);

  if constexpr (std::ranges::random_access_range<const R>) {
    const auto first = std::ranges::begin(range);
    const auto last = std::ranges::end(range);
    const auto n = static_cast<std::ptrdiff_t>(model.size());
    ASSERT_EQ(last - first, n);
    for (std::ptrdiff_t i = 0; i < n; ++i) {
      const V& expectedValue = model[static_cast<std::size_t>(i)];
      ASSERT_EQ(first[i], expectedValue) << "position " << i;
      ASSERT_EQ(*(first + i), expectedValue) << "position " << i;
      ASSERT_EQ(*(i + first), expectedValue) << "position " << i;
      ASSERT_EQ(*(last - (n - i)), expectedValue) << "position " << i;
      ASSERT_EQ((first + i) - first, i);
      ASSERT_TRUE(first + i < last);
      ASSERT_TRUE(first + i >= first);
    }
  }
}

}  // namespace vantrel::testing
