// File: vantrel/collections/any_iterator.h
//
// Step iterators, the library's form of a sequence's iterator: an object
// with `std::optional<T> next()`, which answers the next element or nullopt
// at the end. `AnyIterator<T>` erases the type of one by wrapping a function
// called once per step; `StepIteratorAdapter` turns one into a C++ input
// iterator, so a sequence with `makeIterator()` can offer `begin()`/`end()`:
//
//   AnyIterator<int> ones([] { return std::optional<int>(1); });
//   ones.next();                                   // 1, forever
//
//   for (int x : someSequence | std::views::take(3)) ...
//
// The adapter asks for the next element lazily (when it is read, skipped or
// compared with the end), so bounding an endless sequence with
// `std::views::take(n)` makes exactly n steps: no draw of a random sequence
// is wasted. A copy of the adapter shares nothing with the original; as with
// any input iterator, use one traversal at a time. Not thread-safe.
#pragma once

#include <cstddef>
#include <functional>
#include <iterator>
#include <optional>
#include <type_traits>
#include <utility>

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

// An iterator that calls `step` once per `next()`.
template <class T>
class AnyIterator {
 public:
  explicit AnyIterator(std::function<std::optional<T>()> step) : step_(std::move(step)) {}

  std::optional<T> next() { return step_(); }

 private:
  std::function<std::optional<T>()> step_;
};

// An input iterator over a step iterator; it equals `std::default_sentinel`
// once the step iterator has answered nullopt.
template <class StepIterator>
class StepIteratorAdapter {
 public:
  using value_type = typename std::invoke_result_t<decltype(&StepIterator::next),
                                                   StepIterator&>::value_type;
  using difference_type = std::ptrdiff_t;
  using iterator_concept = std::input_iterator_tag;

  StepIteratorAdapter() = default;
  explicit StepIteratorAdapter(StepIterator iterator) : iterator_(std::move(iterator)) {}

  const value_type& operator*() const {
    fetch();
    return *current_;
  }
  const value_type* operator->() const { return &**this; }

  StepIteratorAdapter& operator++() {
    fetch();  // skipping an element still takes its step
    current_.reset();
    fetched_ = false;
    return *this;
  }
  void operator++(int) { ++*this; }

  friend bool operator==(const StepIteratorAdapter& it, std::default_sentinel_t) {
    it.fetch();
    return !it.current_.has_value();
  }

 private:
  void fetch() const {
    if (fetched_) return;
    if (iterator_) current_ = iterator_->next();  // a default-made adapter is at the end
    fetched_ = true;
  }

  // Mutable: reading the current element takes the step that produces it.
  mutable std::optional<StepIterator> iterator_;
  mutable std::optional<value_type> current_;
  mutable bool fetched_ = false;
};

}  // namespace vantrel
