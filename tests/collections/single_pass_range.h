// An input range that can be walked only once, like a stream: the sequence
// helpers must not count on a second pass.
#pragma once

#include <cstddef>
#include <iterator>
#include <optional>
#include <ranges>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "vantrel/collections/any_iterator.h"

namespace vantrel::testing {

template <class T>
class SinglePass {
 public:
  explicit SinglePass(std::vector<T> elements) : elements_(std::move(elements)) {}

  // Hands the elements out by moving them, so a second walk would see
  // emptied values even if the failure below went unnoticed.
  StepIteratorAdapter<AnyIterator<T>> begin() {
    if (walked_) ADD_FAILURE() << "a single-pass range was walked twice";
    walked_ = true;
    return StepIteratorAdapter<AnyIterator<T>>(AnyIterator<T>([this, i = std::size_t{0}]() mutable {
      if (i == elements_.size()) return std::optional<T>();
      return std::optional<T>(std::move(elements_[i++]));
    }));
  }
  std::default_sentinel_t end() { return {}; }

 private:
  std::vector<T> elements_;
  bool walked_ = false;
};

static_assert(std::ranges::input_range<SinglePass<int>>);
static_assert(!std::ranges::forward_range<SinglePass<int>>);

}  // namespace vantrel::testing
