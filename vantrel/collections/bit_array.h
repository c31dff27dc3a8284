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
// Equality compares the elements (not the storage). Not thread-safe.
#pragma once

#include <concepts>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <ostream>
#include <ranges>
#include <string>
#include <type_traits>
#include <vector>

#include "vantrel/collections/any_iterator.h"

#include "vantrel/core/api.h"
namespace vantrel VANTREL_API {

class BitArray {
 public:
  BitArray() = default;

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

  [[nodiscard]] bool operator[](std::int64_t index) const;
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
  [[nodiscard]] StepIteratorAdapter<AnyIterator<bool>> begin() const {
    return StepIteratorAdapter<AnyIterator<bool>>(makeIterator());
  }
  [[nodiscard]] std::default_sentinel_t end() const { return {}; }

  friend VANTREL_API bool operator==(const BitArray& a, const BitArray& b);
  friend std::ostream& operator<<(std::ostream& os, const BitArray& a) {
    return os << a.description();
  }

 private:
  void checkIndex(std::int64_t index, std::int64_t limit) const;
  // The one write primitive: keeps `cardinality_` in step with the bits.
  void setValue(bool value, std::int64_t index);

  std::int64_t count_ = 0;
  std::int64_t cardinality_ = 0;
  std::vector<std::uint64_t> words_;
};

}  // namespace vantrel

template <>
struct std::hash<vantrel::BitArray> {
  std::size_t operator()(const vantrel::BitArray& a) const noexcept {
    return static_cast<std::size_t>(a.hashValue());
  }
};
