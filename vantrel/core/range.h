// File: vantrel/core/range.h
//
// `Range<T>`: a half-open interval [lowerBound, upperBound).
// `ClosedRange<T>`: a closed interval [lowerBound, upperBound].
//
//   Range<int64_t> r(2, 5);      // 2..<5: holds 2, 3, 4
//   r.contains(5)                false
//   r.count()                    3   (integer bounds only; stops on overflow)
//   ClosedRange<int64_t> c(2, 5);   // 2...5: holds 2, 3, 4, 5
//   mergeAdjacentRanges<int64_t>({{0, 2}, {2, 5}, {7, 9}})   {0..<5, 7..<9}
//
// The bounds are fixed at construction and always ordered: a lower bound
// above the upper one stops the program (`fatal`), so no range in the
// library is ever inverted. An empty `Range` has equal bounds; a
// `ClosedRange` is never empty. Both print as "2..<5" / "2...5" through
// `operator<<` (and so through `describe`). Plain values; thread-safe to read.
#pragma once

#include <concepts>
#include <cstdint>
#include <ostream>
#include <utility>
#include <vector>

#include "vantrel/core/checked.h"
#include "vantrel/core/fatal.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

template <std::totally_ordered T>
class Range {
 public:
  Range(T lowerBound, T upperBound) : lower_(std::move(lowerBound)), upper_(std::move(upperBound)) {
    if (upper_ < lower_) fatal("Range requires lowerBound <= upperBound");
  }

  [[nodiscard]] const T& lowerBound() const { return lower_; }
  [[nodiscard]] const T& upperBound() const { return upper_; }
  [[nodiscard]] bool isEmpty() const { return lower_ == upper_; }
  [[nodiscard]] bool contains(const T& value) const { return !(value < lower_) && value < upper_; }

  // The number of values held (integer bounds).
  [[nodiscard]] std::int64_t count() const
    requires std::integral<T>
  {
    return checkedCast<std::int64_t>(checkedSub<T>(upper_, lower_));
  }

  friend bool operator==(const Range&, const Range&) = default;

  friend std::ostream& operator<<(std::ostream& os, const Range& r) {
    return os << r.lower_ << "..<" << r.upper_;
  }

 private:
  T lower_;
  T upper_;
};

template <std::totally_ordered T>
class ClosedRange {
 public:
  ClosedRange(T lowerBound, T upperBound)
      : lower_(std::move(lowerBound)), upper_(std::move(upperBound)) {
    if (upper_ < lower_) fatal("ClosedRange requires lowerBound <= upperBound");
  }

  [[nodiscard]] const T& lowerBound() const { return lower_; }
  [[nodiscard]] const T& upperBound() const { return upper_; }
  [[nodiscard]] bool contains(const T& value) const {
    return !(value < lower_) && !(upper_ < value);
  }

  // The number of values held (integer bounds).
  [[nodiscard]] std::int64_t count() const
    requires std::integral<T>
  {
    return checkedAdd(checkedCast<std::int64_t>(checkedSub<T>(upper_, lower_)), std::int64_t{1});
  }

  friend bool operator==(const ClosedRange&, const ClosedRange&) = default;

  friend std::ostream& operator<<(std::ostream& os, const ClosedRange& r) {
    return os << r.lower_ << "..." << r.upper_;
  }

 private:
  T lower_;
  T upper_;
};

// Joins each range with the next one in list order when the next one starts
// exactly where it ends. Overlapping, separated and backward-touching ranges
// stay as they are; the list is not sorted. O(n).
template <class T>
[[nodiscard]] std::vector<Range<T>> mergeAdjacentRanges(const std::vector<Range<T>>& ranges) {
  std::vector<Range<T>> merged;
  if (ranges.empty()) return merged;
  Range<T> current = ranges.front();
  for (std::size_t i = 1; i < ranges.size(); ++i) {
    const Range<T>& r = ranges[i];
    if (r.lowerBound() == current.upperBound()) {
      current = Range<T>(current.lowerBound(), r.upperBound());
    } else {
      merged.push_back(current);
      current = r;
    }
  }
  merged.push_back(current);
  return merged;
}

}  // namespace vantrel
