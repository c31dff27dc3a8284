// File: vantrel/collections/bit_array.h
//
// `BitArray`: a growable array of truth values, one bit per element in
// 64-bit words, with a running count of the true elements (`cardinality`).
//
//   BitArray flags{true, false, true};              // elements, never a count
//   BitArray ones = BitArray::fromCount(3, true);   // [true, true, true]
//   flags.insert(true, 0);                          // [true, true, false, true]
//   flags.set(1, false);                            // write; read with flags[1]
//   flags.cardinality()                             // 2, without scanning
//
// Element i is bit i % 64 of word i / 64 (bit 0 is the least significant).
// Bits at or beyond `count()` are always 0; the storage may hold more words
// than the elements need (removals never release words).
//
// Indexes are the caller's contract: reading, writing, inserting or removing
// outside the valid range stops with "Index out of range (<index>)", and a
// negative count stops with "Can't construct BitArray with count < 0".
// `removeLast()`, `first()` and `last()` of an empty array answer nullopt.
// Equality compares the elements (not the storage); `std::hash` hashes the
// count and the words in use, while `hashValue()` keeps its own formula
// (it only tells the parities of the count and the cardinality apart).
// Not thread-safe.
//
// As a C++ range: `begin()`/`end()` give random-access iterators whose
// elements are `bool` values (read, never written, through an iterator);
// `size()`/`empty()` stand beside `count()`/`isEmpty()`:
//
//   std::ranges::count(flags, true)              // == flags.cardinality()
//   for (bool b : flags | std::views::reverse) ...
//
// Iterators read through the array. `set` keeps them valid (they read the
// new value); `append`, `insert`, the removals and assigning the whole array
// invalidate every iterator (a moved-from array is empty). In every build
// (the library's one iterator-check policy, vantrel/core/indexed_iterator.h)
// reading through an invalidated iterator, or outside the array (the end
// included), stops the program ("BitArray iterator used after the array
// changed, or outside it"), and so does comparing iterators of two
// different arrays; no iterator ever writes. `makeIterator()` is the
// type-erased step iterator.
#pragma once

#include <compare>
#include <concepts>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <iterator>
#include <optional>
#include <ostream>
#include <ranges>
#include <string>
#include <type_traits>
#include <vector>

#include "vantrel/collections/any_iterator.h"
#include "vantrel/core/hash_combine.h"
#include "vantrel/core/indexed_iterator.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

class BitArray {
 public:
  BitArray() = default;
  BitArray(const BitArray& other)
      : count_(other.count_), cardinality_(other.cardinality_), words_(other.words_) {}
  BitArray(BitArray&& other) noexcept;
  // Assigning changes the shape of the target: its iterators become stale.
  BitArray& operator=(const BitArray& other);
  BitArray& operator=(BitArray&& other) noexcept;

  // An array literal: `BitArray{true, false}`. Only truth values are taken,
  // so `BitArray{3, true}` does not compile (see `fromCount`).
  template <std::same_as<bool>... Values>
    requires(sizeof...(Values) > 0)
  BitArray(Values... values) {  // NOLINT: implicit, like a literal
    words_.reserve(sizeof...(Values) / 64 + 1);
    (append(values), ...);
  }

  // Every element of a sequence of truth values, in order.
  template <std::ranges::input_range R>
    requires(!std::same_as<std::remove_cvref_t<R>, BitArray> &&
             std::same_as<std::remove_cvref_t<std::ranges::range_value_t<R>>, bool>)
  explicit BitArray(R&& values) {
    for (bool v : values) append(v);
  }

  // `count` elements, all `repeatedValue`; a negative count stops.
  [[nodiscard]] static BitArray fromCount(std::int64_t count, bool repeatedValue);
  // One element per integer, true when it is not 0.
  [[nodiscard]] static BitArray fromIntRepresentation(const std::vector<std::int64_t>& values);

  [[nodiscard]] std::int64_t count() const { return count_; }
  [[nodiscard]] std::int64_t cardinality() const { return cardinality_; }
  [[nodiscard]] bool isEmpty() const { return count_ == 0; }
  [[nodiscard]] std::optional<bool> first() const;
  [[nodiscard]] std::optional<bool> last() const;
  [[nodiscard]] std::int64_t startIndex() const { return 0; }
  [[nodiscard]] std::int64_t endIndex() const { return count_; }
  [[nodiscard]] std::int64_t indexAfter(std::int64_t i) const { return i + 1; }

  // Inline: a range check and one load.
  [[nodiscard]] bool operator[](std::int64_t index) const {
    if (index < 0 || index >= count_) indexOutOfRange(index);
    return bitAt(index);
  }
  void set(std::int64_t index, bool value);

  void append(bool value);
  // 0 <= index <= count(); count() appends.
  void insert(bool value, std::int64_t atIndex);
  std::optional<bool> removeLast();
  bool removeAtIndex(std::int64_t index);
  // keepCapacity: one zero word remains, with the allocation; otherwise the
  // storage is released.
  void removeAll(bool keepCapacity = true);

  // "[true, false]"; "[]" when empty.
  [[nodiscard]] std::string description() const;
  [[nodiscard]] std::int64_t hashValue() const;
  // The storage words, for tests and diagnostics.
  [[nodiscard]] const std::vector<std::uint64_t>& words() const { return words_; }

  [[nodiscard]] AnyIterator<bool> makeIterator() const;

  class const_iterator : public IndexedIterator<const_iterator, bool, bool> {
   public:
    const_iterator() = default;

   private:
    friend class BitArray;
    friend IndexedIterator;
    const_iterator(const BitArray* array, std::int64_t index)
        : IndexedIterator(array, index), array_(array), shape_(array->shape_) {}

    bool readAt(std::int64_t index) const {
      check(index);
      return array_->bitAt(index);
    }

    void check(std::int64_t index) const {
      if (array_ == nullptr || shape_ != array_->shape_ || index < 0 || index >= array_->count_) [[unlikely]] {
        iteratorMisused(index);
      }
    }

    const BitArray* array_ = nullptr;
    std::uint64_t shape_ = 0;  // the array's shape_ when this iterator was made
  };
  using iterator = const_iterator;
  using value_type = bool;
  using size_type = std::size_t;
  using difference_type = std::ptrdiff_t;

  [[nodiscard]] const_iterator begin() const { return const_iterator(this, 0); }
  [[nodiscard]] const_iterator end() const { return const_iterator(this, count_); }
  [[nodiscard]] const_iterator cbegin() const { return begin(); }
  [[nodiscard]] const_iterator cend() const { return end(); }
  [[nodiscard]] std::size_t size() const { return static_cast<std::size_t>(count_); }
  [[nodiscard]] bool empty() const { return count_ == 0; }

  friend VANTREL_API bool operator==(const BitArray& a, const BitArray& b);
  friend std::ostream& operator<<(std::ostream& os, const BitArray& a) {
    return os << a.description();
  }

 private:
  [[noreturn]] static void indexOutOfRange(std::int64_t index);
  [[noreturn]] static void iteratorMisused(std::int64_t index);
  // Element `index`, which the caller has checked.
  [[nodiscard]] bool bitAt(std::int64_t index) const {
    const auto i = static_cast<std::uint64_t>(index);
    return ((words_[static_cast<std::size_t>(i / 64)] >> (i % 64)) & 1) != 0;
  }
  void checkIndex(std::int64_t index, std::int64_t limit) const;
  // Every change of the count moves this on, so an iterator can tell it is stale.
  void reshaped() { ++shape_; }
  // The one write primitive: keeps `cardinality_` in step with the bits.
  void setValue(bool value, std::int64_t index);

  std::int64_t count_ = 0;
  std::int64_t cardinality_ = 0;
  std::vector<std::uint64_t> words_;
  std::uint64_t shape_ = 0;
};

}  // namespace vantrel

// The count, then each word that holds elements (the rest of the storage is
// not part of the value).
template <>
struct std::hash<vantrel::BitArray> {
  std::size_t operator()(const vantrel::BitArray& a) const noexcept {
    const std::size_t used = static_cast<std::size_t>((a.count() + 63) / 64);
    std::size_t h = static_cast<std::size_t>(vantrel::hashMix(static_cast<std::uint64_t>(a.count())));
    for (std::size_t w = 0; w < used; ++w) h = vantrel::hashCombine(h, a.words()[w]);
    return h;
  }
};
