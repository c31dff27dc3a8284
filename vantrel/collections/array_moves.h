// File: vantrel/collections/array_moves.h
//
// Removals by value and by index, moves of one element or of a block, and
// the conversions between the two kinds of move destination. The observable
// collections build their change events on the orders fixed here:
//
//   std::vector<char> v = {'a', 'b', 'c', 'd', 'e'};
//   removeAtIndexes(v, {3, 0, 1});        // returns {d, b, a}; v is {c, e}
//   vantrel::move(v, {1, 3}, 0);          // on a..e: v is {b, d, a, c, e}, returns {d, b}
//
// Order rules:
// - Index lists may come in any order. They are sorted ascending and the
//   elements are taken out from the highest index down; every returned list
//   of removed elements is in that removal order (highest former index first).
// - A to-index destination (`move`) is an index of the array after the moved
//   elements were taken out: the element, or the block in its former relative
//   order, ends up starting there.
// - An as-of-now destination (`moveToIndexAsOfNow`) is an index of the array
//   before the move: the element or block goes in front of the element now at
//   that index, or to the end when it equals the count.
//
// Contracts (each broken one stops the program through `fatal`, before the
// array is changed): source indexes lie in 0..<count and are pairwise
// distinct (a repeated index would silently reach the element that moved
// into its place); a to-index destination lies in 0...count − k after the
// removal of k elements; an as-of-now destination lies in 0...count.
//
// Cost: `removeAtIndexes` and the block moves sort the k indexes once and
// compact the array in one pass, O(n + k log k); the single moves rotate
// only the elements between source and destination. Removals by value
// compare every element once per value.
//
// A one-element index list must be spelled as a vector
// (`std::vector<std::int64_t>{i}`): a bare `{i}` picks the single-index form.
// Call the moves qualified (`vantrel::move`) from code that has the standard
// library's `move` algorithm in scope. Not thread-safe: an array belongs to
// its caller's thread.
#pragma once

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <optional>
#include <type_traits>
#include <utility>
#include <vector>

#include "vantrel/collections/internal/index_contract.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

namespace collections_internal {

// Takes out the elements at `sorted` (ascending, distinct, in range) in one
// compaction pass; returns them highest index first.
template <class T>
std::vector<T> removeAtSortedIndexes(std::vector<T>& self, const std::vector<std::int64_t>& sorted) {
  std::vector<T> removed;
  if (sorted.empty()) return removed;
  removed.reserve(sorted.size());
  for (auto it = sorted.rbegin(); it != sorted.rend(); ++it) {
    removed.push_back(std::move(self[static_cast<std::size_t>(*it)]));
  }
  std::size_t write = static_cast<std::size_t>(sorted.front());
  std::size_t next = 0;
  for (std::size_t read = write; read < self.size(); ++read) {
    if (next < sorted.size() && read == static_cast<std::size_t>(sorted[next])) {
      ++next;
      continue;
    }
    self[write++] = std::move(self[read]);
  }
  self.erase(self.begin() + static_cast<std::ptrdiff_t>(write), self.end());
  return removed;
}

template <class T>
std::vector<T> moveBlock(std::vector<T>& self, const std::vector<std::int64_t>& sorted,
                         std::int64_t toIndex, const char* operation) {
  const auto remaining = static_cast<std::int64_t>(self.size() - sorted.size());
  checkIndex(operation, toIndex, 0, remaining + 1);
  std::vector<T> removed = removeAtSortedIndexes(self, sorted);
  // Back in as one block, in their former relative order (the reverse of
  // the removal order).
  self.insert(self.begin() + static_cast<std::ptrdiff_t>(toIndex), removed.rbegin(), removed.rend());
  return removed;
}

// Moves the element at `from` so that it ends at `to` (both checked).
template <class T>
T moveOne(std::vector<T>& self, std::int64_t from, std::int64_t to) {
  auto f = self.begin() + static_cast<std::ptrdiff_t>(from);
  auto t = self.begin() + static_cast<std::ptrdiff_t>(to);
  if (from < to) {
    std::rotate(f, f + 1, t + 1);
  } else if (to < from) {
    std::rotate(t, f, f + 1);
  }
  return *t;
}

}  // namespace collections_internal

// ---- Removal by value (elements compared with ==) ----

// Removes every element equal to `element`; the others keep their order.
template <class T>
void remove(std::vector<T>& self, const std::type_identity_t<T>& element) {
  std::erase_if(self, [&](const T& e) { return e == element; });
}

// A copy without the elements equal to `element`.
template <class T>
[[nodiscard]] std::vector<T> arrayRemoving(const std::vector<T>& self,
                                           const std::type_identity_t<T>& element) {
  std::vector<T> copy;
  copy.reserve(self.size());
  for (const T& e : self) {
    if (!(e == element)) copy.push_back(e);
  }
  return copy;
}

// Removes the first element equal to `element` and returns its index;
// nullopt (array unchanged) when none is equal.
template <class T>
std::optional<std::int64_t> vtRemoveObject_firstMatch(std::vector<T>& self,
                                                      const std::type_identity_t<T>& element) {
  for (std::size_t i = 0; i < self.size(); ++i) {
    if (self[i] == element) {
      self.erase(self.begin() + static_cast<std::ptrdiff_t>(i));
      return static_cast<std::int64_t>(i);
    }
  }
  return std::nullopt;
}

// For each value, the index of its first equal element in the array as it
// was before the call; those indexes are removed as by `removeAtIndexes`.
// Returns the number of indexes removed. Equal values name the same index,
// which is collected (and removed) once.
template <class T>
std::int64_t vtRemoveObjects_firstMatchesOnly(std::vector<T>& self, const std::vector<T>& values) {
  std::vector<std::int64_t> indexes;
  for (const T& value : values) {
    for (std::size_t i = 0; i < self.size(); ++i) {
      if (self[i] == value) {
        indexes.push_back(static_cast<std::int64_t>(i));
        break;
      }
    }
  }
  indexes = collections_internal::sortedUniqueIndexes(std::move(indexes));
  collections_internal::removeAtSortedIndexes(self, indexes);
  return static_cast<std::int64_t>(indexes.size());
}

// For each value, every index whose element equals it; those indexes are
// removed as by `removeAtIndexes`. Returns the number of indexes removed;
// an index named by several equal values counts (and is removed) once.
template <class T>
std::int64_t vtRemoveObjects(std::vector<T>& self, const std::vector<T>& values) {
  std::vector<std::int64_t> indexes;
  for (const T& value : values) {
    for (std::size_t i = 0; i < self.size(); ++i) {
      if (self[i] == value) indexes.push_back(static_cast<std::int64_t>(i));
    }
  }
  indexes = collections_internal::sortedUniqueIndexes(std::move(indexes));
  collections_internal::removeAtSortedIndexes(self, indexes);
  return static_cast<std::int64_t>(indexes.size());
}

// ---- Removal by index ----

// Removes the elements at `indexes` (any order; each in 0..<count, none
// repeated) in one pass. Returns them in removal order: highest index first.
template <class T>
std::vector<T> removeAtIndexes(std::vector<T>& self, const std::vector<std::int64_t>& indexes) {
  const auto sorted = collections_internal::sortedDistinctIndexes(
      "removeAtIndexes", indexes, static_cast<std::int64_t>(self.size()));
  return collections_internal::removeAtSortedIndexes(self, sorted);
}

// count − 1; −1 for an empty array.
template <class T>
[[nodiscard]] std::int64_t lastIndex(const std::vector<T>& self) {
  return static_cast<std::int64_t>(self.size()) - 1;
}

// ---- Moves with a to-index destination ----

// Moves the element at `fromIndex` so that it ends at `toIndex` (both in
// 0..<count) and returns it. Equal indexes change nothing.
template <class T>
T move(std::vector<T>& self, std::int64_t fromIndex, std::int64_t toIndex) {
  const auto count = static_cast<std::int64_t>(self.size());
  collections_internal::checkIndex("move", fromIndex, 0, count);
  collections_internal::checkIndex("move", toIndex, 0, count);
  return collections_internal::moveOne(self, fromIndex, toIndex);
}

// Moves the elements at `fromIndexes` into one block that starts at
// `toIndex` (an index after their removal) and keeps their former relative
// order. Returns them in removal order, highest former index first.
template <class T>
std::vector<T> move(std::vector<T>& self, const std::vector<std::int64_t>& fromIndexes,
                    std::int64_t toIndex) {
  const auto sorted = collections_internal::sortedDistinctIndexes(
      "move", fromIndexes, static_cast<std::int64_t>(self.size()));
  return collections_internal::moveBlock(self, sorted, toIndex, "move");
}

// ---- Moves with an as-of-now destination ----

// Moves the element at `fromIndex` in front of the element now at
// `toIndexAsOfNow` (0...count; count means the end) and returns it. A
// destination of `fromIndex` or `fromIndex` + 1 changes nothing.
template <class T>
T moveToIndexAsOfNow(std::vector<T>& self, std::int64_t fromIndex, std::int64_t toIndexAsOfNow) {
  const auto count = static_cast<std::int64_t>(self.size());
  collections_internal::checkIndex("moveToIndexAsOfNow", fromIndex, 0, count);
  collections_internal::checkIndex("moveToIndexAsOfNow", toIndexAsOfNow, 0, count + 1);
  if (toIndexAsOfNow == fromIndex || toIndexAsOfNow == fromIndex + 1) {
    return self[static_cast<std::size_t>(fromIndex)];
  }
  const std::int64_t to = fromIndex < toIndexAsOfNow ? toIndexAsOfNow - 1 : toIndexAsOfNow;
  return collections_internal::moveOne(self, fromIndex, to);
}

// Moves the elements at `fromIndexes` as one block in front of the element
// now at `toIndexAsOfNow` (0...count). Returns them highest former index
// first. Every destination moves (none is skipped as a no-op).
template <class T>
std::vector<T> moveToIndexAsOfNow(std::vector<T>& self, const std::vector<std::int64_t>& fromIndexes,
                                  std::int64_t toIndexAsOfNow) {
  const auto count = static_cast<std::int64_t>(self.size());
  const auto sorted =
      collections_internal::sortedDistinctIndexes("moveToIndexAsOfNow", fromIndexes, count);
  collections_internal::checkIndex("moveToIndexAsOfNow", toIndexAsOfNow, 0, count + 1);
  const auto below = std::lower_bound(sorted.begin(), sorted.end(), toIndexAsOfNow) - sorted.begin();
  return collections_internal::moveBlock(self, sorted, toIndexAsOfNow - below, "moveToIndexAsOfNow");
}

// ---- Destination conversions (pure; no checks) ----

namespace VtArrayMoveHelper {

// As-of-now destination d for source f, as a to-index: d − 1 when f < d, else d.
[[nodiscard]] std::int64_t toIndex_From_AsOfNowToIndex(std::int64_t asOfNowToIndex,
                                                       std::int64_t fromIndex);
// d minus the number of listed indexes below d.
[[nodiscard]] std::int64_t toIndex_From_AsOfNowToIndex(std::int64_t asOfNowToIndex,
                                                       const std::vector<std::int64_t>& fromIndexes);
// To-index destination t for source f, as of now: t when t < f, else t + 1.
[[nodiscard]] std::int64_t asOfNowToIndex_From_ToIndex(std::int64_t toIndex, std::int64_t fromIndex);
// Walks the sources ascending from r = t, raising r by one for each source
// strictly below it. A source equal to t does not raise it (unlike the
// single form): both name the same place among the elements that stay.
[[nodiscard]] std::int64_t asOfNowToIndex_From_ToIndex(std::int64_t toIndex,
                                                       const std::vector<std::int64_t>& fromIndexes);

}  // namespace VtArrayMoveHelper

// ---- Comparison ----

// `self` is the earlier state, `later` the later one. Returns the positions
// in `later`, with its elements there, that a greedy forward walk cannot
// match against `self` (it never looks back: a swapped pair shows up as one
// insertion).
template <class T>
[[nodiscard]] std::pair<std::vector<std::int64_t>, std::vector<T>> insertions(
    const std::vector<T>& self, const std::vector<T>& later) {
  std::pair<std::vector<std::int64_t>, std::vector<T>> result;
  std::size_t j = 0;
  for (std::size_t i = 0; i < later.size(); ++i) {
    if (j == self.size() || !(self[j] == later[i])) {
      result.first.push_back(static_cast<std::int64_t>(i));
      result.second.push_back(later[i]);
    } else {
      ++j;
    }
  }
  return result;
}

}  // namespace vantrel
