// File: vantrel/collections/set_range_helpers.h
//
// Small helpers on sets, ranges and collections.
//
//   vtContainsElementThatMatches(set, [](int v) { return v > 3; })
//   mergeAdjacentRanges<int64_t>({{0, 2}, {2, 5}, {7, 9}})   {0..<5, 7..<9}
//   offset(Range<int64_t>(2, 5), 3)                          5..<8
//   subscriptSafe(std::vector<int>{10, 20}, 2)               nullopt
//   sort_TwentyNine(people, {byLastName, byFirstName})      tie-breaking sort
//
// Set positions count from 0 in the set's iteration order. `randomElement`
// draws through the library's random source (vantrel/core/random.h); a set
// of more than 4294967295 elements stops the program. `offset` stops on
// integer overflow. `sort_TwentyNine` asks its comparators in list order and
// takes the first answer; a pair that none decides stops the program, so
// the caller's last comparator should always answer. It sorts a copy through
// `stableSort`, so comparators that are not strict weak orders stay safe.
// Pure except for the random draw; thread-safe.
#pragma once

#include <cstdint>
#include <functional>
#include <iterator>
#include <optional>
#include <ranges>
#include <unordered_set>
#include <vector>

#include "vantrel/core/checked.h"
#include "vantrel/core/fatal.h"
#include "vantrel/core/random.h"
#include "vantrel/core/range.h"
#include "vantrel/core/sort.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

// ---- Sets ----

// True when some element satisfies `predicate`; stops at the first match.
template <class T, class H, class E, class A, class Predicate>
[[nodiscard]] bool vtContainsElementThatMatches(const std::unordered_set<T, H, E, A>& self,
                                                Predicate&& predicate) {
  for (const T& element : self) {
    if (predicate(element)) return true;
  }
  return false;
}

// The iteration position of the first element that satisfies `predicate`.
template <class T, class H, class E, class A, class Predicate>
[[nodiscard]] std::optional<std::int64_t> vtFindFirstElementPositionThatMatches(
    const std::unordered_set<T, H, E, A>& self, Predicate&& predicate) {
  std::int64_t position = 0;
  for (const T& element : self) {
    if (predicate(element)) return position;
    ++position;
  }
  return std::nullopt;
}

// A uniformly drawn element; nullopt for an empty set.
template <class T, class H, class E, class A>
[[nodiscard]] std::optional<T> randomElement(const std::unordered_set<T, H, E, A>& self) {
  if (self.empty()) return std::nullopt;
  if (self.size() > UINT32_MAX) fatal("randomElement: the set has more than 4294967295 elements");
  const auto r = randomUniform(static_cast<std::uint32_t>(self.size()));
  return *std::next(self.begin(), static_cast<std::ptrdiff_t>(r));
}

// The set itself, or nullopt when it is empty.
template <class T, class H, class E, class A>
[[nodiscard]] std::optional<std::unordered_set<T, H, E, A>> vtAtLeastOne(
    const std::unordered_set<T, H, E, A>& self) {
  if (self.empty()) return std::nullopt;
  return self;
}

// ---- Ranges ----

// mergeAdjacentRanges: vantrel/core/range.h (text uses it too).

// Both bounds advanced by `by` (stops on overflow).
template <std::integral T>
[[nodiscard]] Range<T> offset(const Range<T>& self, std::type_identity_t<T> by) {
  return Range<T>(checkedAdd<T>(self.lowerBound(), by), checkedAdd<T>(self.upperBound(), by));
}

// ---- Collections ----

// The element at `index`, or nullopt when the index is outside 0..<count
// (negative indexes included).
template <std::ranges::random_access_range R>
  requires std::ranges::sized_range<R>
[[nodiscard]] std::optional<std::ranges::range_value_t<R>> subscriptSafe(const R& self,
                                                                         std::int64_t index) {
  if (index < 0 || index >= static_cast<std::int64_t>(std::ranges::size(self))) return std::nullopt;
  return std::ranges::begin(self)[index];
}

// A tie-breaking comparator: true (a before b), false (not), or nullopt
// (undecided: ask the next one).
template <class T>
using TieBreakingComparator = std::function<std::optional<bool>(const T&, const T&)>;

// A sorted copy of `self`, each pair decided by the first comparator that
// answers. A pair no comparator decides stops the program (an empty list
// decides nothing; fewer than two elements ask nothing).
template <std::ranges::input_range R>
[[nodiscard]] std::vector<std::ranges::range_value_t<R>> sort_TwentyNine(
    const R& self,
    const std::vector<TieBreakingComparator<std::ranges::range_value_t<R>>>& comparators) {
  using T = std::ranges::range_value_t<R>;
  std::vector<T> sorted(std::ranges::begin(self), std::ranges::end(self));
  stableSort(sorted, [&](const T& a, const T& b) {
    for (const auto& comparator : comparators) {
      if (const std::optional<bool> answer = comparator(a, b)) return *answer;
    }
    fatal("");
  });
  return sorted;
}

}  // namespace vantrel
