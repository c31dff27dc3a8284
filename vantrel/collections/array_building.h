// File: vantrel/collections/array_building.h
//
// Small operations on `std::vector`: splitting into chunks and ranges,
// repeating and interleaving elements, count gates that turn an array into
// an optional, small queries, negated sorts, appending optionals and
// hexadecimal texts of bytes.
//
//   chunk(std::vector{1, 2, 3, 4, 5}, 2)          [[1, 2], [3, 4], [5]]
//   makeRangesWithTotalCount({0, 3, 7}, 10)        [0..<3, 3..<7, 7..<10]
//   arrayThicknessed(std::vector{'a', 'b'}, 2)     [a, a, b, b]
//   vtAtLeastOne(std::vector<int>{})               nullopt
//   hexDescription(bytes, 2)                       "01ab 02" for {0x01, 0xAB, 0x02}
//
// Broken contracts (a chunk size of 0, negative repetition counts or group
// sizes, starts out of order, a count that overflows) stop the program
// through `fatal`. Random picks and shuffles are in array_random.h.
// Pure functions of their arguments; thread-safe.
#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <iterator>
#include <optional>
#include <ranges>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "vantrel/core/range.h"
#include "vantrel/core/sort.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

namespace collections_internal {
[[noreturn]] void chunkSizeZeroFatal();
[[noreturn]] void negativeCountFatal(std::string_view operation, std::int64_t value);
// count * factor as a size, stopping on overflow.
[[nodiscard]] std::size_t repeatedCount(std::string_view operation, std::size_t count,
                                        std::int64_t factor);
}  // namespace collections_internal

// Consecutive sub-arrays of `n` elements, the last one shorter when the count
// is not a multiple of n. A negative n (or an empty array) gives an empty
// list; n = 0 stops.
template <class T>
[[nodiscard]] std::vector<std::vector<T>> chunk(const std::vector<T>& self, std::int64_t n) {
  if (n == 0) collections_internal::chunkSizeZeroFatal();
  std::vector<std::vector<T>> chunks;
  if (n < 0) return chunks;
  auto size = static_cast<std::uint64_t>(n);
  for (std::size_t start = 0; start < self.size();) {
    auto length = static_cast<std::size_t>(std::min<std::uint64_t>(size, self.size() - start));
    chunks.emplace_back(self.begin() + static_cast<std::ptrdiff_t>(start),
                        self.begin() + static_cast<std::ptrdiff_t>(start + length));
    start += length;
  }
  return chunks;
}

// One half-open range per start position: from each start to the next one,
// and from the last start to `totalCount`. A start above the next one, or a
// last start above the total, stops. An empty list gives an empty list.
[[nodiscard]] std::vector<Range<std::int64_t>> makeRangesWithTotalCount(
    const std::vector<std::int64_t>& self, std::int64_t totalCount);

// An empty array with room reserved for `capacity` elements. Stops for a
// negative capacity.
template <class T>
[[nodiscard]] std::vector<T> arrayWithCapacity(std::int64_t capacity) {
  if (capacity < 0) collections_internal::negativeCountFatal("arrayWithCapacity", capacity);
  std::vector<T> result;
  result.reserve(static_cast<std::size_t>(capacity));
  return result;
}

// The array repeated `n` times one after the other; n = 0 gives an empty
// array; a negative n stops.
template <class T>
[[nodiscard]] std::vector<T> multiply(const std::vector<T>& self, std::int64_t n) {
  if (n < 0) collections_internal::negativeCountFatal("multiply", n);
  std::vector<T> result;
  result.reserve(collections_internal::repeatedCount("multiply", self.size(), n));
  for (std::int64_t i = 0; i < n; ++i) result.insert(result.end(), self.begin(), self.end());
  return result;
}

// Each element repeated `width` times in its place, in order; width 0 gives
// an empty array. A negative width stops unless the array is empty.
template <class T>
[[nodiscard]] std::vector<T> arrayThicknessed(const std::vector<T>& self, std::int64_t width) {
  if (self.empty()) return {};
  if (width < 0) collections_internal::negativeCountFatal("arrayThicknessed", width);
  std::vector<T> result;
  result.reserve(collections_internal::repeatedCount("arrayThicknessed", self.size(), width));
  for (const T& element : self) result.insert(result.end(), static_cast<std::size_t>(width), element);
  return result;
}

// The sequence's elements with `element` between every two neighbours.
template <std::ranges::input_range R>
[[nodiscard]] std::vector<std::ranges::range_value_t<R>> arrayInterweaving(
    R&& self, const std::ranges::range_value_t<R>& element) {
  std::vector<std::ranges::range_value_t<R>> result;
  bool first = true;
  for (auto&& value : self) {
    if (!first) result.push_back(element);
    result.push_back(std::forward<decltype(value)>(value));
    first = false;
  }
  return result;
}

// Appends the value when present.
template <class T>
void appendOptional(std::vector<T>& self, const std::optional<T>& value) {
  if (value) self.push_back(*value);
}

// Appends the text when present and not empty.
void appendOptionalStringWithMinimumLengthOfOne(std::vector<std::string>& self,
                                                const std::optional<std::string>& text);

// Count gates: the array itself, or nullopt.
// The array when its count is at least `count`.
template <class T>
[[nodiscard]] std::optional<std::vector<T>> vtAtLeastCount(const std::vector<T>& self,
                                                           std::int64_t count) {
  if (std::cmp_greater_equal(self.size(), count)) return self;
  return std::nullopt;
}
// The array when its count equals `count`.
template <class T>
[[nodiscard]] std::optional<std::vector<T>> vtCountEquals(const std::vector<T>& self,
                                                          std::int64_t count) {
  if (std::cmp_equal(self.size(), count)) return self;
  return std::nullopt;
}
// The array when it is not empty.
template <class T>
[[nodiscard]] std::optional<std::vector<T>> vtAtLeastOne(const std::vector<T>& self) {
  if (!self.empty()) return self;
  return std::nullopt;
}
// The array when it is not empty.
template <class T>
[[nodiscard]] std::optional<std::vector<T>> nilArrayIfEmpty(const std::vector<T>& self) {
  return vtAtLeastOne(self);
}

// False at the first element whose predecessor is greater; equal neighbours
// are allowed.
template <class T>
[[nodiscard]] bool hasAscendingOrder(const std::vector<T>& self) {
  for (std::size_t i = 1; i < self.size(); ++i) {
    if (self[i] < self[i - 1]) return false;
  }
  return true;
}

// The element after the first one equal to `current`, the first element
// when that is the last; nullopt when none is equal.
template <class T>
[[nodiscard]] std::optional<T> elementAfterWithRotation(const std::vector<T>& self,
                                                        const T& current) {
  for (std::size_t i = 0; i < self.size(); ++i) {
    if (self[i] == current) return i + 1 < self.size() ? self[i + 1] : self.front();
  }
  return std::nullopt;
}

// Keeps, in order, the elements that satisfy `isIncluded`. When the
// predicate throws, the exception propagates and the array is unchanged.
template <class T, class Predicate>
void filtering(std::vector<T>& self, Predicate&& isIncluded) {
  std::vector<T> kept;
  for (const T& element : self) {
    if (std::invoke(isIncluded, element)) kept.push_back(element);
  }
  self = std::move(kept);
}

// Sorted the other way round from `areInIncreasingOrder`: a less-than gives
// a descending result. The comparator is called with its arguments swapped
// rather than negated, so it stays a strict weak order; equal elements keep
// their order.
template <class T, class Compare>
void sort_not(std::vector<T>& self, Compare areInIncreasingOrder) {
  stableSort(self, [&](const T& a, const T& b) { return std::invoke(areInIncreasingOrder, b, a); });
}
template <class T, class Compare>
[[nodiscard]] std::vector<T> sorted_not(std::vector<T> self, Compare areInIncreasingOrder) {
  sort_not(self, std::move(areInIncreasingOrder));
  return self;
}

// Each byte as two lower-case hexadecimal digits, without separators.
[[nodiscard]] std::string hexString(std::span<const std::uint8_t> self);

// Without a group size, `hexString`. With group size g: the same digits and
// a blank after every byte whose position (counted from 1) is a multiple of
// g, the last byte included. g < 1 stops.
[[nodiscard]] std::string hexDescription(std::span<const std::uint8_t> self,
                                         std::optional<std::int64_t> groupSize = std::nullopt);

}  // namespace vantrel
