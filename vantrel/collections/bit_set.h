// File: vantrel/collections/bit_set.h
//
// `BitSet`: a fixed number of bits (at least 1) in 64-bit words, with
// per-bit access, counts, the operators & | ^ ~, runs of equal bits and
// three text forms.
//
//   BitSet s(8);
//   s.set(0); s.set(3);           // word 9
//   s.bitCode()                   "00001001"   (bit size - 1 first)
//   s.hexCode()                   "0x09"
//   s.hexDescription()            "BitSet(8 bits: 0x09)"
//   s.continuousRanges()          (true, 0...0) (false, 1...2) (true, 3...3) (false, 4...7)
//
// Bit i is bit i % 64 of word i / 64. The set always holds (size + 63) / 64
// words and every bit at or beyond `size()` is 0; `==` compares the words
// (not the sizes). The binary operators give the larger size.
//
// `setToBitCoded` / `setToHexCoded` read back the codes of sets of at most
// 64 bits: one number of 1 to 64 binary digits, or "0x" and 1 to 16
// hexadecimal digits. The value goes into word 0; the other words and the
// bits at or beyond `size()` are cleared. A text that does not read (empty,
// too long, a sign, a "/", another character, hexadecimal without "0x")
// changes nothing, and the setter answers false.
//
// A size below 1 or an index outside 0..<size() stops the program. Not
// thread-safe. `std::hash` hashes the words (as `==` compares them);
// `hashValue()` keeps its own formula.
//
// As a C++ range the set is its bits, bit 0 first, as `bool` values:
// `begin()`/`end()` give random-access iterators that read through the set,
// and `size()` is the bit count, so `std::ranges::count(s, true)` equals
// `cardinality()`. Changing bits keeps iterators valid (they read the new
// values); assigning another set invalidates them. In every build (the
// library's one iterator-check policy, vantrel/core/indexed_iterator.h)
// reading outside the set, the end included, stops the program, and so does
// comparing iterators of two different sets; no iterator ever writes.
#pragma once

#include <compare>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <iterator>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "vantrel/core/hash_combine.h"
#include "vantrel/core/indexed_iterator.h"
#include "vantrel/core/range.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

// 64 characters, bit 0 first: "1" for a set bit, "0" for a clear one.
[[nodiscard]] std::string bitsToString(std::uint64_t word);

class BitSet {
 public:
  explicit BitSet(std::int64_t size);
  // A 64-bit set with every bit clear.
  [[nodiscard]] static BitSet allZeros() { return BitSet(64); }

  [[nodiscard]] std::int64_t size() const { return size_; }
  [[nodiscard]] const std::vector<std::uint64_t>& words() const { return words_; }

  // Inline: a range check and one load.
  [[nodiscard]] bool operator[](std::int64_t index) const {
    if (index < 0 || index >= size_) indexOutOfRange(index, size_);
    return bitAt(index);
  }
  [[nodiscard]] bool isSet(std::int64_t index) const;
  void set(std::int64_t index, bool value);
  void set(std::int64_t index);
  void clear(std::int64_t index);
  // Inverts the bit and answers its new value.
  bool flip(std::int64_t index);

  void setAll();
  void clearAll();
  [[nodiscard]] std::int64_t cardinality() const;
  [[nodiscard]] bool all1() const;
  [[nodiscard]] bool any1() const;
  [[nodiscard]] bool all0() const;
  [[nodiscard]] std::int64_t hashValue() const;

  // Each word's `bitsToString`, each followed by one blank.
  [[nodiscard]] std::string description() const;
  [[nodiscard]] std::string bitCode() const;
  [[nodiscard]] std::string hexCode() const;
  // "BitSet(<size> bits: <hexCode>)"
  [[nodiscard]] std::string hexDescription() const;
  bool setToBitCoded(std::string_view code);
  bool setToHexCoded(std::string_view code);

  class const_iterator : public IndexedIterator<const_iterator, bool, bool> {
   public:
    const_iterator() = default;

   private:
    friend class BitSet;
    friend IndexedIterator;
    const_iterator(const BitSet* set, std::int64_t index) : IndexedIterator(set, index), set_(set) {}

    bool readAt(std::int64_t index) const {
      check(index);
      return set_->bitAt(index);
    }

    void check(std::int64_t index) const {
      const std::int64_t size = set_ == nullptr ? 0 : set_->size_;
      if (index < 0 || index >= size) [[unlikely]] indexOutOfRange(index, size);
    }

    const BitSet* set_ = nullptr;
  };
  using iterator = const_iterator;
  using value_type = bool;
  using size_type = std::int64_t;
  using difference_type = std::ptrdiff_t;

  [[nodiscard]] const_iterator begin() const { return const_iterator(this, 0); }
  [[nodiscard]] const_iterator end() const { return const_iterator(this, size_); }
  [[nodiscard]] const_iterator cbegin() const { return begin(); }
  [[nodiscard]] const_iterator cend() const { return end(); }

  // The maximal runs of equal bits, in position order, covering 0...size-1.
  [[nodiscard]] std::vector<std::pair<bool, ClosedRange<std::int64_t>>> continuousRanges() const;

  friend bool operator==(const BitSet& a, const BitSet& b) { return a.words_ == b.words_; }
  friend VANTREL_API BitSet operator&(const BitSet& a, const BitSet& b);
  friend VANTREL_API BitSet operator|(const BitSet& a, const BitSet& b);
  friend VANTREL_API BitSet operator^(const BitSet& a, const BitSet& b);
  friend VANTREL_API BitSet operator~(const BitSet& a);
  friend std::ostream& operator<<(std::ostream& os, const BitSet& s) {
    return os << s.description();
  }

 private:
  [[noreturn]] static void indexOutOfRange(std::int64_t index, std::int64_t size);
  void checkIndex(std::int64_t index) const {
    if (index < 0 || index >= size_) indexOutOfRange(index, size_);
  }
  // Bit `index`, which the caller has checked.
  [[nodiscard]] bool bitAt(std::int64_t index) const {
    const auto i = static_cast<std::uint64_t>(index);
    return ((words_[static_cast<std::size_t>(i / 64)] >> (i % 64)) & 1) != 0;
  }
  // The bits of the last word that lie below `size_`.
  [[nodiscard]] std::uint64_t lastWordMask() const;
  void setOnlyWord(std::uint64_t value);
  // The binary operators: the larger size, as many words as the longer
  // operand; `op` below the shorter one's word count, `tail` beyond it.
  template <class Op, class Tail>
  static BitSet combined(const BitSet& a, const BitSet& b, Op op, Tail tail);

  std::int64_t size_;
  std::vector<std::uint64_t> words_;
};

}  // namespace vantrel

// The words, as `==` compares them (their number included, since two sets
// with different word counts are unequal).
template <>
struct std::hash<vantrel::BitSet> {
  std::size_t operator()(const vantrel::BitSet& s) const noexcept {
    std::size_t h = static_cast<std::size_t>(vantrel::hashMix(s.words().size()));
    for (std::uint64_t w : s.words()) h = vantrel::hashCombine(h, w);
    return h;
  }
};
