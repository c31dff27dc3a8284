// File: vantrel/collections/shuffling.h
//
// Uniform shuffles, and three sequences that never run out: one cycling
// through a list from a start position, one picking random elements of a
// list, and one repeating a single value.
//
//   shuffle(cells);                                       // in place, uniform
//   InfiniteSequence<char> cycle({'a', 'b', 'c'}, 1);
//   for (char c : cycle | std::views::take(4)) ...        // b, c, a, b
//   RandomSequence<int> picks({1, 2, 3});                 // random picks, with repeats
//   ConstantSequence<std::string> xs("x");                // x, x, x, ...
//
// The shuffle is Fisher-Yates from the front: for i = 0 ... count - 2 it draws
// d = randomUniform(count - i) and swaps positions i and i + d when d is not
// 0, so exactly count - 1 values are drawn, with the bounds count, count - 1,
// ..., 2 (none for fewer than two elements). Code that replays a shuffle
// relies on this order.
//
// Each sequence makes a fresh iterator for every traversal (`makeIterator()`
// or `begin()`); the iterators have `std::optional<T> next()` (see
// any_iterator.h). An endless sequence never ends by itself: bound it with
// `std::views::take`, a zip with a finite range, or a loop condition. Only a
// `RandomSequence` over an empty list ends, at once.
//
// `InfiniteSequence` stores any start position; making its iterator stops the
// program through `fatal` unless 0 <= start < count. Shuffling more than
// 4294967295 elements stops too. Not thread-safe: each iterator and each
// collection being shuffled belongs to its caller.
#pragma once

#include <cstdint>
#include <iterator>
#include <optional>
#include <ranges>
#include <utility>
#include <vector>

#include "vantrel/collections/any_iterator.h"
#include "vantrel/collections/array_random.h"
#include "vantrel/core/checked.h"
#include "vantrel/core/random.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

namespace collections_internal {
[[noreturn]] void infiniteStartFatal(std::int64_t startIndex, std::size_t count);
}  // namespace collections_internal

// Reorders any random-access collection in place; every permutation is
// equally likely.
template <std::ranges::random_access_range R>
void shuffle(R&& self) {
  auto first = std::ranges::begin(self);
  const auto count = checkedCast<std::uint32_t>(std::ranges::distance(self));
  if (count < 2) return;
  for (std::uint32_t i = 0; i + 1 < count; ++i) {
    std::uint32_t d = randomUniform(count - i);
    if (d != 0) std::ranges::iter_swap(first + i, first + (i + d));
  }
}

// The sequence's elements in iteration order, shuffled as by `shuffle`.
template <std::ranges::input_range R>
[[nodiscard]] std::vector<std::ranges::range_value_t<R>> shuffled(R&& self) {
  std::vector<std::ranges::range_value_t<R>> elements;
  for (auto&& element : self) elements.push_back(std::forward<decltype(element)>(element));
  shuffle(elements);
  return elements;
}

// Cycles through its list from the start position; `next()` never answers
// nullopt.
template <class T>
class InfiniteIterator {
 public:
  // Stops unless 0 <= startIndex < the number of elements (so an empty list
  // cannot be traversed).
  InfiniteIterator(std::vector<T> elements, std::int64_t startIndex)
      : elements_(std::move(elements)), currentIndex_(startIndex) {
    if (startIndex < 0 || std::cmp_greater_equal(startIndex, elements_.size())) {
      collections_internal::infiniteStartFatal(startIndex, elements_.size());
    }
  }

  std::optional<T> next() {
    std::optional<T> element(elements_[currentIndex_]);
    if (++currentIndex_ == elements_.size()) currentIndex_ = 0;
    return element;
  }

 private:
  std::vector<T> elements_;
  std::size_t currentIndex_;
};

template <class T>
class InfiniteSequence {
 public:
  // Stored unchecked; the start position is first tested when a traversal
  // begins.
  explicit InfiniteSequence(std::vector<T> elements, std::int64_t startIndex = 0)
      : elements_(std::move(elements)), startIndex_(startIndex) {}

  [[nodiscard]] const std::vector<T>& elements() const { return elements_; }
  [[nodiscard]] InfiniteIterator<T> makeIterator() const {
    return InfiniteIterator<T>(elements_, startIndex_);
  }
  [[nodiscard]] StepIteratorAdapter<InfiniteIterator<T>> begin() const {
    return StepIteratorAdapter<InfiniteIterator<T>>(makeIterator());
  }
  [[nodiscard]] std::default_sentinel_t end() const { return {}; }

 private:
  std::vector<T> elements_;
  std::int64_t startIndex_;
};

// Every step is `randomElement(elements)` (array_random.h): independent picks
// with repeats; one element draws nothing; an empty list ends at once.
template <class T>
class RandomSequence {
 public:
  explicit RandomSequence(std::vector<T> elements) : elements_(std::move(elements)) {}

  [[nodiscard]] const std::vector<T>& elements() const { return elements_; }
  [[nodiscard]] AnyIterator<T> makeIterator() const {
    return AnyIterator<T>([elements = elements_] { return randomElement(elements); });
  }
  [[nodiscard]] StepIteratorAdapter<AnyIterator<T>> begin() const {
    return StepIteratorAdapter<AnyIterator<T>>(makeIterator());
  }
  [[nodiscard]] std::default_sentinel_t end() const { return {}; }

 private:
  std::vector<T> elements_;
};

// Every step is a copy of the element (the iterator keeps its own copy, taken
// when it is made; a shared_ptr element yields the same object every time).
template <class T>
class ConstantSequence {
 public:
  explicit ConstantSequence(T element) : element_(std::move(element)) {}

  [[nodiscard]] const T& element() const { return element_; }
  [[nodiscard]] AnyIterator<T> makeIterator() const {
    return AnyIterator<T>([element = element_] { return std::optional<T>(element); });
  }
  [[nodiscard]] StepIteratorAdapter<AnyIterator<T>> begin() const {
    return StepIteratorAdapter<AnyIterator<T>>(makeIterator());
  }
  [[nodiscard]] std::default_sentinel_t end() const { return {}; }

 private:
  T element_;
};

}  // namespace vantrel
