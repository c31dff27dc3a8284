// File: vantrel/collections/sequence_comparator.h
//
// Compares the contents of two sequences as sets.
//
//   auto c = SequenceComparator<int>::create(std::vector{1, 2, 2, 3}, "old",
//                                            std::vector{3, 4}, "new");
//   c->onlyLeft()       {1, 2}
//   c->onlyRight()      {4}
//   c->intersection()   {3}
//   c->union_()         {1, 2, 3, 4}
//
// Each sequence (any input range, single-pass ones too) is read once, whole,
// into an `ElementSet` (element_hash.h): repeats collapse, order is lost, and
// text compares canonically. The names only label; they take no part in any
// result.
//
// Each of the four results is computed on its first read and kept; the
// sets never change, so a kept result stays valid. The computation runs
// under `std::call_once`, so several threads may read one comparator (a
// const object) at the same time; returned references live as long as the
// comparator.
#pragma once

#include <memory>
#include <mutex>
#include <optional>
#include <ranges>
#include <string>
#include <utility>

#include "vantrel/collections/element_hash.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

template <class T>
class SequenceComparator {
 public:
  using Set = ElementSet<T>;

  template <std::ranges::input_range L, std::ranges::input_range R>
  [[nodiscard]] static std::shared_ptr<SequenceComparator> create(L&& left, std::optional<std::string> nameLeft,
                                                                  R&& right,
                                                                  std::optional<std::string> nameRight = std::nullopt) {
    return std::shared_ptr<SequenceComparator>(
        new SequenceComparator(setOf(std::forward<L>(left)), std::move(nameLeft), setOf(std::forward<R>(right)),
                               std::move(nameRight)));
  }

  // Both unnamed.
  template <std::ranges::input_range L, std::ranges::input_range R>
  [[nodiscard]] static std::shared_ptr<SequenceComparator> create(L&& left, R&& right) {
    return create(std::forward<L>(left), std::nullopt, std::forward<R>(right), std::nullopt);
  }

  SequenceComparator(const SequenceComparator&) = delete;
  SequenceComparator& operator=(const SequenceComparator&) = delete;

  [[nodiscard]] const Set& left() const { return left_; }
  [[nodiscard]] const Set& right() const { return right_; }
  [[nodiscard]] const std::optional<std::string>& nameLeft() const { return nameLeft_; }
  [[nodiscard]] const std::optional<std::string>& nameRight() const { return nameRight_; }

  // The elements of `left` not in `right`.
  [[nodiscard]] const Set& onlyLeft() const {
    return onlyLeftCache_.get([this] { return difference(left_, right_); });
  }
  // The elements of `right` not in `left`.
  [[nodiscard]] const Set& onlyRight() const {
    return onlyRightCache_.get([this] { return difference(right_, left_); });
  }
  // The elements in both.
  [[nodiscard]] const Set& intersection() const {
    return intersectionCache_.get([this] {
      const bool leftSmaller = left_.size() <= right_.size();
      const Set& smaller = leftSmaller ? left_ : right_;
      const Set& larger = leftSmaller ? right_ : left_;
      Set result;
      for (const T& element : smaller) {
        if (larger.contains(element)) result.insert(element);
      }
      return result;
    });
  }
  // The elements in either.
  [[nodiscard]] const Set& union_() const {
    return unionCache_.get([this] {
      Set result = left_;
      result.insert(right_.begin(), right_.end());
      return result;
    });
  }

 private:
  // A result filled once, on first read, by whichever thread reads first.
  class Cache {
   public:
    template <class Compute>
    const Set& get(Compute&& compute) const {
      std::call_once(once_, [&] { value_.emplace(compute()); });
      return *value_;
    }

   private:
    mutable std::once_flag once_;
    mutable std::optional<Set> value_;
  };

  SequenceComparator(Set left, std::optional<std::string> nameLeft, Set right,
                     std::optional<std::string> nameRight)
      : left_(std::move(left)),
        right_(std::move(right)),
        nameLeft_(std::move(nameLeft)),
        nameRight_(std::move(nameRight)) {}

  template <class Range>
  static Set setOf(Range&& elements) {
    Set set;
    for (auto&& element : elements) set.insert(std::forward<decltype(element)>(element));
    return set;
  }

  static Set difference(const Set& from, const Set& without) {
    Set result;
    for (const T& element : from) {
      if (!without.contains(element)) result.insert(element);
    }
    return result;
  }

  const Set left_;
  const Set right_;
  const std::optional<std::string> nameLeft_;
  const std::optional<std::string> nameRight_;
  Cache onlyLeftCache_;
  Cache onlyRightCache_;
  Cache intersectionCache_;
  Cache unionCache_;
};

}  // namespace vantrel
