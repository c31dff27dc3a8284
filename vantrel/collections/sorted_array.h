// File: vantrel/collections/sorted_array.h
//
// Searches on arrays kept sorted by a comparator ("is a ordered before b").
// The sorted collections insert where `insertionIndexInSortedArray` says and
// decide whether a changed element may stay in place with `canElement`.
//
//   std::vector<int> v = {1, 3, 5};
//   auto less = [](const int& a, const int& b) { return a < b; };
//   insertionIndexForSortedBy(v, less, 3)   1   (in front of the equal 3)
//   insertionIndexOf(v, 4, less)            2
//   canElement(v, 4, 1, less)               true  (1 <= 4 <= 5)
//
// Insertion index (`insertionIndexInSortedArray`, `insertionIndexForSortedBy`):
// - Result: the smallest index whose element is not ordered before the value
//   (comparator called as (element, value), never with the value first), or
//   count when every element is; 0 for an empty array. With a strict
//   comparator a value lands in front of its equals; with a non-strict one
//   (a reversed sort block) behind them.
// - O(log n): at most ceil(log2 n) + 1 comparator calls.
// - The array is not checked for being sorted; on an unsorted array the
//   result is still some index in 0...count.
//
// Three-way search (`insertionIndexOf`): returns the index of the first
// probed element that is neither before nor after the given one (not
// necessarily the first of a run of equals), else the insertion index.
// O(log n), at most two comparator calls per probe.
//
// Stay test (`canElement`): true when the element, placed at `stayAtIndex`,
// keeps the order with its neighbours: the left one is not ordered after it
// and the right one not before it (ties may stay). The element stored at
// that index is never read. Left comparisons come first; the right ones are
// made even when the left test failed. O(1), at most four comparator calls.
// `stayAtIndex` is meant to lie in 0...count − 1 (count tests only the left
// neighbour); an index that would read outside the array stops the program.
//
// Every comparator may be any callable, including a `NamedSortBlock`. No
// allocation, nothing changed; thread-safe when the comparator is.
#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>
#include <vector>

#include "vantrel/collections/internal/index_contract.h"
#include "vantrel/collections/named_sort_block.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

template <class T, class Compare>
[[nodiscard]] std::int64_t insertionIndexForSortedBy(const std::vector<T>& self, Compare&& sortBlock,
                                                     const std::type_identity_t<T>& value) {
  const auto count = static_cast<std::int64_t>(self.size());
  if (count == 0) return 0;
  const T* elements = self.data();
  std::int64_t lo = 0;
  std::int64_t hi = count - 1;
  while (lo < hi) {
    const std::int64_t mid = lo + (hi - lo) / 2;
    if (sortBlock(elements[mid], value)) {
      lo = mid + 1;
    } else {
      hi = mid;
    }
  }
  return sortBlock(elements[lo], value) ? count : lo;
}

template <class T>
[[nodiscard]] std::int64_t insertionIndexInSortedArray(const std::vector<T>& self,
                                                       const NamedSortBlock<T>& namedSortBlock,
                                                       const std::type_identity_t<T>& value) {
  return insertionIndexForSortedBy(self, namedSortBlock.sortBlock(), value);
}

template <class T, class Compare>
[[nodiscard]] std::int64_t insertionIndexOf(const std::vector<T>& self,
                                            const std::type_identity_t<T>& element,
                                            Compare&& isOrderedBefore) {
  std::int64_t lo = 0;
  std::int64_t hi = static_cast<std::int64_t>(self.size()) - 1;
  while (lo <= hi) {
    const std::int64_t mid = lo + (hi - lo) / 2;
    const T& probe = self[static_cast<std::size_t>(mid)];
    if (isOrderedBefore(probe, element)) {
      lo = mid + 1;
    } else if (isOrderedBefore(element, probe)) {
      hi = mid - 1;
    } else {
      return mid;
    }
  }
  return lo;
}

template <class T, class Compare>
[[nodiscard]] bool canElement(const std::vector<T>& self, const std::type_identity_t<T>& element,
                              std::int64_t stayAtIndex, Compare&& whenAlreadySortedBy) {
  const auto count = static_cast<std::int64_t>(self.size());
  const std::int64_t i = stayAtIndex;
  // Exactly the indexes whose neighbours lie inside the array.
  collections_internal::checkIndex("canElement", i, -1, count + 1);
  bool left = true;
  if (i > 0) {
    const T& l = self[static_cast<std::size_t>(i - 1)];
    left = whenAlreadySortedBy(l, element) || !whenAlreadySortedBy(element, l);
  }
  bool right = true;
  if (i < count - 1) {
    const T& r = self[static_cast<std::size_t>(i + 1)];
    right = whenAlreadySortedBy(element, r) || !whenAlreadySortedBy(r, element);
  }
  return left && right;
}

}  // namespace vantrel
