// File: vantrel/platform/foundation/values/index_set.h
//
// `IndexSet`: a set of indexes 0 ... INT64_MAX - 1 held as sorted, disjoint,
// non-touching runs, so a million consecutive indexes cost one run.
//
//   IndexSet s = IndexSet::fromIntIndexes({5, 1, 5, 3});
//   s.arrayOfIntIndexes();      // {1, 3, 5}
//   s.insert(2); s.count();     // 4 (runs 1..<4 and 5..<6)
//   s.description();           // "(1-3, 5)"
//
// An index that is negative or INT64_MAX cannot be held: passing one stops
// the program with `fatal` and the value. Value type; thread-safe like any
// value.
#pragma once

#include <cstdint>
#include <iterator>
#include <string>
#include <unordered_set>
#include <vector>

#include "vantrel/core/api.h"
namespace vantrel VANTREL_API {

class IndexSet {
 public:
  // A run of indexes lowerBound..<upperBound.
  struct Run {
    std::int64_t lowerBound = 0;
    std::int64_t upperBound = 0;
    friend bool operator==(const Run&, const Run&) = default;
  };

  IndexSet() = default;
  explicit IndexSet(std::int64_t index);

  // The set of the given integers (repeats held once).
  [[nodiscard]] static IndexSet fromIntIndexes(const std::vector<std::int64_t>& indexes);
  // Ascending.
  [[nodiscard]] std::vector<std::int64_t> arrayOfIntIndexes() const;
  [[nodiscard]] std::unordered_set<std::int64_t> setOfIntIndexes() const;

  void insert(std::int64_t index);
  // Every index of lowerBound..<upperBound (nothing for an empty range).
  void insertRange(std::int64_t lowerBound, std::int64_t upperBound);
  void remove(std::int64_t index);

  [[nodiscard]] bool contains(std::int64_t index) const;
  [[nodiscard]] std::int64_t count() const;
  [[nodiscard]] bool isEmpty() const { return runs_.empty(); }
  [[nodiscard]] const std::vector<Run>& runs() const { return runs_; }
  // "(1-3, 5)": runs lowest first, "()" when empty.
  [[nodiscard]] std::string description() const;

  class const_iterator {
   public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = std::int64_t;
    using difference_type = std::ptrdiff_t;
    using pointer = const std::int64_t*;
    using reference = std::int64_t;

    const_iterator() = default;
    std::int64_t operator*() const { return value_; }
    const_iterator& operator++();
    const_iterator operator++(int) {
      const_iterator before = *this;
      ++*this;
      return before;
    }
    friend bool operator==(const const_iterator& a, const const_iterator& b) {
      return a.run_ == b.run_ && a.value_ == b.value_;
    }

   private:
    friend class IndexSet;
    const_iterator(const std::vector<Run>* runs, std::size_t run, std::int64_t value)
        : runs_(runs), run_(run), value_(value) {}
    const std::vector<Run>* runs_ = nullptr;
    std::size_t run_ = 0;
    std::int64_t value_ = 0;
  };
  [[nodiscard]] const_iterator begin() const;
  [[nodiscard]] const_iterator end() const;

  friend bool operator==(const IndexSet&, const IndexSet&) = default;

 private:
  std::vector<Run> runs_;
};

}  // namespace vantrel
