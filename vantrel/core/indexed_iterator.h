// File: vantrel/core/indexed_iterator.h
//
// The arithmetic of a random-access iterator that is a position in its
// container, written once for every container that reads element i in O(1):
//
//   class const_iterator : public IndexedIterator<const_iterator, bool, bool> {
//     friend IndexedIterator;
//     bool readAt(std::ptrdiff_t i) const { return array_->bitAt(i); }
//     const BitArray* array_ = nullptr;
//   };
//
// The derived iterator keeps what it reads from and answers `readAt(i)`,
// where its checks go (a stale or out-of-range read); the base keeps the
// position and gives stepping, distance and comparison, so the iterator
// models `std::random_access_iterator`. A `Reference` that is a value (a
// bit, a value made on reading) leaves the older iterator category at input,
// as the standard asks of such iterators.
//
// The library's one iterator-check policy, the same in every build: there
// is no switch, NDEBUG changes nothing, so the library and a program built
// with other settings always agree on what an inline iterator does. Each
// check costs a compare or two on a value already at hand:
// - a read outside the sequence, the end included, stops the program
//   through `fatal`;
// - so does a read through an iterator that its container can tell is
//   stale (the header of each container says which changes it notices);
// - so does comparing, or taking the distance between, iterators of two
//   different sequences, which would otherwise answer as if they were one.
// An iterator takes part in the last check by naming its sequence when it
// is made, `IndexedIterator(sequence, position)`: any address that is the
// same for every iterator of one sequence and differs between two live
// sequences (the container, or its storage). A value-initialised iterator
// names none, so two of them compare equal. Iterators that do not use this
// base call `checkSameSequence(a, b)` in their own comparison.
#pragma once

#include <compare>
#include <cstddef>
#include <iterator>
#include <memory>
#include <type_traits>

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

// Stops with "Iterators of two different sequences compared".
[[noreturn]] void iteratorsOfDifferentSequences();

// The policy's comparison check for iterators of any shape.
inline void checkSameSequence(const void* a, const void* b) {
  if (a != b) [[unlikely]] iteratorsOfDifferentSequences();
}

template <class Derived, class Value, class Reference>
class IndexedIterator {
 public:
  using iterator_concept = std::random_access_iterator_tag;
  using iterator_category = std::conditional_t<std::is_reference_v<Reference>, std::random_access_iterator_tag,
                                               std::input_iterator_tag>;
  using value_type = Value;
  using difference_type = std::ptrdiff_t;
  using reference = Reference;
  using pointer = std::conditional_t<std::is_reference_v<Reference>,
                                     std::add_pointer_t<std::remove_reference_t<Reference>>, void>;

  Reference operator*() const { return self().readAt(index_); }
  Reference operator[](difference_type n) const { return self().readAt(index_ + n); }
  pointer operator->() const
    requires std::is_reference_v<Reference>
  {
    return std::addressof(**this);
  }

  Derived& operator++() {
    ++index_;
    return self();
  }
  Derived operator++(int) {
    Derived before = self();
    ++index_;
    return before;
  }
  Derived& operator--() {
    --index_;
    return self();
  }
  Derived operator--(int) {
    Derived before = self();
    --index_;
    return before;
  }
  Derived& operator+=(difference_type n) {
    index_ += n;
    return self();
  }
  Derived& operator-=(difference_type n) {
    index_ -= n;
    return self();
  }
  friend Derived operator+(Derived it, difference_type n) { return it += n; }
  friend Derived operator+(difference_type n, Derived it) { return it += n; }
  friend Derived operator-(Derived it, difference_type n) { return it -= n; }
  friend difference_type operator-(const Derived& a, const Derived& b) { return distance(a, b); }
  friend bool operator==(const Derived& a, const Derived& b) { return distance(a, b) == 0; }
  friend std::strong_ordering operator<=>(const Derived& a, const Derived& b) { return distance(a, b) <=> 0; }

  // The position this iterator stands at.
  [[nodiscard]] difference_type position() const { return index_; }

 protected:
  IndexedIterator() = default;
  // An iterator of `sequence` (see above); `sequence` is never dereferenced.
  IndexedIterator(const void* sequence, difference_type index) : sequence_(sequence), index_(index) {}
  // An iterator that leaves out the comparison check.
  explicit IndexedIterator(difference_type index) : index_(index) {}

 private:
  // Every comparison is a distance, so each checks the sequences once.
  static difference_type distance(const IndexedIterator& a, const IndexedIterator& b) {
    checkSameSequence(a.sequence_, b.sequence_);
    return a.index_ - b.index_;
  }
  Derived& self() { return static_cast<Derived&>(*this); }
  const Derived& self() const { return static_cast<const Derived&>(*this); }

  const void* sequence_ = nullptr;
  difference_type index_ = 0;
};

}  // namespace vantrel
