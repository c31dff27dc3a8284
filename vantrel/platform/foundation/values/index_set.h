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
// value. `count()` is kept as the runs change, so it costs nothing.
//
// As a C++ range the set is its indexes, lowest first: `begin()`/`end()`
// give bidirectional iterators (a run is not indexable in O(1) across runs)
// that yield `std::int64_t` values, and `size()`/`empty()` stand beside
// `count()`/`isEmpty()`:
//
//   for (std::int64_t i : s | std::views::reverse) ...   // 5, 3, 2, 1
//
// Any `insert`, `insertRange`, `remove` or assignment invalidates every
// iterator. Stepping one whose index the set no longer holds in the same
// place stops the program ("IndexSet iterator used after the set changed"),
// and so do reading the end and comparing iterators of two different sets,
// in every build (the library's one iterator-check policy,
// vantrel/core/indexed_iterator.h). An iterator never writes. `std::hash` hashes the runs, which are the same
// for equal sets.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <iterator>
#include <string>
#include <unordered_set>
#include <vector>

#include "vantrel/core/hash_combine.h"
#include "vantrel/core/indexed_iterator.h"

#include "vantrel/api.h"
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
  [[nodiscard]] std::int64_t count() const { return count_; }
  [[nodiscard]] bool isEmpty() const { return runs_.empty(); }
  [[nodiscard]] std::size_t size() const { return static_cast<std::size_t>(count_); }
  [[nodiscard]] bool empty() const { return runs_.empty(); }
  [[nodiscard]] const std::vector<Run>& runs() const { return runs_; }
  // "(1-3, 5)": runs lowest first, "()" when empty.
  [[nodiscard]] std::string description() const;

  class const_iterator {
   public:
    using iterator_concept = std::bidirectional_iterator_tag;
    // `reference` is a value, which the older iterator categories do not allow.
    using iterator_category = std::input_iterator_tag;
    using value_type = std::int64_t;
    using difference_type = std::ptrdiff_t;
    using pointer = void;
    using reference = std::int64_t;

    const_iterator() = default;
    std::int64_t operator*() const {
      if (runs_ == nullptr || run_ >= runs_->size()) [[unlikely]] misused();
      return value_;
    }
    const_iterator& operator++();
    const_iterator operator++(int) {
      const_iterator before = *this;
      ++*this;
      return before;
    }
    const_iterator& operator--();
    const_iterator operator--(int) {
      const_iterator before = *this;
      --*this;
      return before;
    }
    friend bool operator==(const const_iterator& a, const const_iterator& b) {
      checkSameSequence(a.runs_, b.runs_);
      return a.run_ == b.run_ && a.value_ == b.value_;
    }

   private:
    friend class IndexSet;
    const_iterator(const std::vector<Run>* runs, std::size_t run, std::int64_t value)
        : runs_(runs), run_(run), value_(value) {}
    // Stops unless the iterator still sits on an index of its run (or at the end).
    void checkPlace() const;
    [[noreturn]] static void misused();
    const std::vector<Run>* runs_ = nullptr;
    std::size_t run_ = 0;
    std::int64_t value_ = 0;
  };
  using iterator = const_iterator;
  using value_type = std::int64_t;
  using size_type = std::size_t;
  using difference_type = std::ptrdiff_t;
  [[nodiscard]] const_iterator begin() const;
  [[nodiscard]] const_iterator end() const;

  friend bool operator==(const IndexSet&, const IndexSet&) = default;

 private:
  std::vector<Run> runs_;
  std::int64_t count_ = 0;  // the indexes in runs_
};

}  // namespace vantrel

template <>
struct std::hash<vantrel::IndexSet> {
  std::size_t operator()(const vantrel::IndexSet& s) const noexcept {
    std::size_t h = static_cast<std::size_t>(vantrel::hashMix(s.runs().size()));
    for (const vantrel::IndexSet::Run& run : s.runs()) {
      h = vantrel::hashCombine(h, static_cast<std::uint64_t>(run.lowerBound));
      h = vantrel::hashCombine(h, static_cast<std::uint64_t>(run.upperBound));
    }
    return h;
  }
};
