// File: vantrel/collections/array_random.h
//
// Random picks and transposition shuffles of a `std::vector`, drawn through
// `Int::random` and `Int::randomNumber` (numeric.h), so every draw comes from
// the core random source and a test can script it.
//
//   std::optional<char> any = randomElement(letters);        // nullopt when empty
//   std::optional<char> other = randomElement(letters, 0);   // never letters[0]
//   randomize(letters, 2);                                    // 2 rounds of count swaps
//
// `randomize` and `randomizedArray` are sequences of random transpositions,
// not uniform permutations: a round makes count swaps of two independently
// drawn positions. For a uniform shuffle use `shuffle` (shuffling.h).
// `swapTwoRandomElements` of an empty array and a negative number of rounds
// stop the program through `fatal`. Thread-safe for distinct arrays.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "vantrel/collections/numeric.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

namespace collections_internal {
[[noreturn]] void emptyArrayFatal(std::string_view operation);
[[noreturn]] void negativeRoundsFatal(std::int64_t rounds);
}  // namespace collections_internal

// nullopt for an empty array; else the element at `Int::random(count - 1)`
// (a one-element array draws nothing).
template <class T>
[[nodiscard]] std::optional<T> randomElement(const std::vector<T>& self) {
  if (self.empty()) return std::nullopt;
  return self[static_cast<std::size_t>(Int::random(static_cast<std::int64_t>(self.size()) - 1))];
}

// A random element other than the one at `excludingIndex`: r =
// `Int::random(count - 2)`, and the element at r + 1 when r >= the excluded
// index, else at r. A one-element array answers its element whatever is
// excluded; an index outside the array shifts the draw the same way (below
// 0: never the first element; count or above: never the last).
template <class T>
[[nodiscard]] std::optional<T> randomElement(const std::vector<T>& self,
                                             std::int64_t excludingIndex) {
  if (self.empty()) return std::nullopt;
  if (self.size() == 1) return self.front();
  std::int64_t r = Int::random(static_cast<std::int64_t>(self.size()) - 2);
  return self[static_cast<std::size_t>(r >= excludingIndex ? r + 1 : r)];
}

// Draws i, then j, each with `Int::randomNumber(0, count - 1)`, and swaps the
// two elements when they differ. Stops for an empty array.
template <class T>
void swapTwoRandomElements(std::vector<T>& self) {
  if (self.empty()) collections_internal::emptyArrayFatal("swapTwoRandomElements");
  const auto last = static_cast<std::int64_t>(self.size()) - 1;
  const std::int64_t i = Int::randomNumber(0, last);
  const std::int64_t j = Int::randomNumber(0, last);
  if (i != j) {
    using std::swap;
    swap(self[static_cast<std::size_t>(i)], self[static_cast<std::size_t>(j)]);
  }
}

// Once per round, count calls of `swapTwoRandomElements`. 0 rounds change
// nothing; a negative number stops.
template <class T>
void randomize(std::vector<T>& self, std::int64_t shuffleRounds = 1) {
  if (shuffleRounds < 0) collections_internal::negativeRoundsFatal(shuffleRounds);
  for (std::int64_t round = 0; round < shuffleRounds; ++round) {
    for (std::size_t swaps = 0; swaps < self.size(); ++swaps) swapTwoRandomElements(self);
  }
}

// A copy shuffled as by `randomize`. Fewer than two elements are returned
// unchanged, whatever the number of rounds (a negative one included).
template <class T>
[[nodiscard]] std::vector<T> randomizedArray(const std::vector<T>& self,
                                             std::int64_t shuffleRounds = 1) {
  if (self.size() < 2) return self;
  std::vector<T> copy = self;
  randomize(copy, shuffleRounds);
  return copy;
}

}  // namespace vantrel
