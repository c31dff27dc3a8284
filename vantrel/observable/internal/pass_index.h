// `PassIndex`: one flag per position of a sequence that grows and shrinks
// anywhere, with the number of set flags before any position. A filtered
// view keeps one over its base's positions (set: the element is shown), so
// the view position of a base position is `rank(p)`.
// Internal: used by the views in vantrel/observable.
//
// Flags are bits in 64-bit words; a Fenwick tree over the words' counts
// answers `rank` in O(log(n / 64)) and follows a flag change at the same
// cost. Inserting or erasing a flag shifts the words after it and, unless
// it is in the last word, rebuilds the tree: O(n / 64), well below the
// O(n) element move the base makes for the same change.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "vantrel/observable/internal/fenwick.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {
namespace observable_internal {

class PassIndex {
 public:
  void clear() {
    words_.clear();
    tree_.assign(1, 0);
    size_ = 0;
    total_ = 0;
  }

  // The flags of positions 0..<flags.size().
  void assign(const std::vector<std::uint8_t>& flags) {
    size_ = static_cast<std::int64_t>(flags.size());
    words_.assign((flags.size() + 63) / 64, 0);
    total_ = 0;
    for (std::size_t i = 0; i < flags.size(); ++i) {
      if (flags[i]) {
        words_[i / 64] |= std::uint64_t{1} << (i % 64);
        ++total_;
      }
    }
    rebuildTree();
  }

  [[nodiscard]] std::vector<std::uint8_t> flags() const {
    std::vector<std::uint8_t> out(static_cast<std::size_t>(size_));
    for (std::int64_t i = 0; i < size_; ++i) out[static_cast<std::size_t>(i)] = test(i) ? 1 : 0;
    return out;
  }

  [[nodiscard]] std::int64_t size() const { return size_; }
  // The number of set flags.
  [[nodiscard]] std::int64_t count() const { return total_; }

  [[nodiscard]] bool test(std::int64_t p) const {
    return ((words_[word(p)] >> bit(p)) & 1U) != 0;
  }

  // The number of set flags at positions 0..<p (p in 0...size).
  [[nodiscard]] std::int64_t rank(std::int64_t p) const {
    if (p >= size_) return total_;
    const std::size_t w = word(p);
    std::int64_t sum = 0;
    for (std::size_t i = w; i > 0; i -= i & (~i + 1)) sum += tree_[i];
    return sum + std::popcount(words_[w] & below(bit(p)));
  }

  void set(std::int64_t p, bool value) {
    if (test(p) == value) return;
    words_[word(p)] ^= std::uint64_t{1} << bit(p);
    const std::int64_t delta = value ? 1 : -1;
    total_ += delta;
    add(word(p), delta);
  }

  // A new flag at `p` (0...size); the flags from `p` on move up by one.
  void insert(std::int64_t p, bool value) {
    if (size_ % 64 == 0) {
      words_.push_back(0);
      tree_.push_back(0);
      const std::size_t j = words_.size();
      tree_[j] = prefix(j - 1) - prefix(j - fenwickSpan(j));
    }
    const std::size_t w = word(p);
    const std::size_t last = words_.size() - 1;
    for (std::size_t i = last; i > w; --i) words_[i] = (words_[i] << 1) | (words_[i - 1] >> 63);
    const std::uint64_t low = words_[w] & below(bit(p));
    const std::uint64_t high = words_[w] & ~below(bit(p));
    words_[w] = low | (high << 1) | (std::uint64_t{value ? 1U : 0U} << bit(p));
    ++size_;
    if (value) ++total_;
    if (w == last) {
      if (value) add(w, 1);
    } else {
      rebuildTree();
    }
  }

  // Takes out the flag at `p` (0..<size); the flags after it move down.
  void erase(std::int64_t p) {
    const bool value = test(p);
    const std::size_t w = word(p);
    const std::size_t last = words_.size() - 1;
    const unsigned b = bit(p);
    const std::uint64_t low = words_[w] & below(b);
    const std::uint64_t above = b == 63 ? 0 : (words_[w] >> (b + 1)) << b;
    words_[w] = low | above | (w < last ? (words_[w + 1] & 1U) << 63 : 0);
    for (std::size_t i = w + 1; i <= last; ++i) {
      words_[i] = (words_[i] >> 1) | (i < last ? (words_[i + 1] & 1U) << 63 : 0);
    }
    --size_;
    if (value) --total_;
    if (w == last) {
      if (value) add(w, -1);
    } else {
      rebuildTree();
    }
    if (size_ % 64 == 0 && !words_.empty() && words_.size() * 64 > static_cast<std::size_t>(size_)) {
      words_.pop_back();
      tree_.pop_back();
    }
  }

 private:
  static std::size_t word(std::int64_t p) { return static_cast<std::size_t>(p) / 64; }
  static unsigned bit(std::int64_t p) { return static_cast<unsigned>(p % 64); }
  static std::uint64_t below(unsigned b) { return b == 0 ? 0 : (~std::uint64_t{0} >> (64 - b)); }

  // The set flags in words 0..<w.
  [[nodiscard]] std::int64_t prefix(std::size_t w) const {
    return fenwickPrefix(tree_, w);
  }

  void add(std::size_t w, std::int64_t delta) { fenwickAdd(tree_, w, delta); }

  void rebuildTree() {
    fenwickBuild(tree_, words_.size(), [this](std::size_t w) { return std::popcount(words_[w]); });
  }

  std::vector<std::uint64_t> words_;
  std::vector<std::int64_t> tree_ = std::vector<std::int64_t>(1, 0);  // 1-based
  std::int64_t size_ = 0;
  std::int64_t total_ = 0;
};

}  // namespace observable_internal
}  // namespace vantrel
