// `BlockedArray<T>`: a sequence kept in blocks of at most 2 × kBlock
// elements, with a Fenwick tree over the block sizes, so that reading,
// inserting or erasing at a position moves at most one block's elements
// and finds the block in O(log(n / kBlock)). A sorted view keeps its copy
// in one: a change that moves an element far costs a block, not the copy.
// Internal: used by the views in vantrel/observable.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <tuple>
#include <utility>
#include <vector>

#include "vantrel/observable/internal/fenwick.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {
namespace observable_internal {

template <class T>
class BlockedArray {
 public:
  static constexpr std::size_t kBlock = 256;

  void clear() {
    blocks_.clear();
    lasts_.clear();
    tree_.assign(1, 0);
    size_ = 0;
  }

  void assign(const std::vector<T>& elements) {
    blocks_.clear();
    for (std::size_t i = 0; i < elements.size(); i += kBlock) {
      const std::size_t end = std::min(elements.size(), i + kBlock);
      blocks_.emplace_back(elements.begin() + static_cast<std::ptrdiff_t>(i),
                           elements.begin() + static_cast<std::ptrdiff_t>(end));
    }
    size_ = static_cast<std::int64_t>(elements.size());
    rebuildTree();
  }

  // Stores `value` at `i` (0..<size).
  void set(std::int64_t i, T value) {
    const auto [b, offset] = locate(i);
    blocks_[b][offset] = std::move(value);
    if (offset + 1 == blocks_[b].size()) lasts_[b] = blocks_[b].back();
  }

  [[nodiscard]] std::vector<T> elements() const {
    std::vector<T> out;
    out.reserve(static_cast<std::size_t>(size_));
    for (const auto& block : blocks_) out.insert(out.end(), block.begin(), block.end());
    return out;
  }

  [[nodiscard]] std::int64_t size() const { return size_; }

  // The element at `i` (0..<size).
  [[nodiscard]] const T& operator[](std::int64_t i) const {
    const auto [b, offset] = locate(i);
    return blocks_[b][offset];
  }

  // The smallest position whose element is not ordered before `value`
  // (comparator called as (element, value)); size when every one is.
  template <class Less>
  [[nodiscard]] std::int64_t lowerBound(const Less& less, const T& value) const {
    std::size_t lo = 0;
    std::size_t hi = blocks_.size();
    while (lo < hi) {  // the first block whose last element is not before the value
      const std::size_t mid = lo + (hi - lo) / 2;
      if (less(lasts_[mid], value)) {
        lo = mid + 1;
      } else {
        hi = mid;
      }
    }
    if (lo == blocks_.size()) return size_;
    const auto& block = blocks_[lo];
    const auto inBlock = std::lower_bound(block.begin(), block.end(), value, less) - block.begin();
    return prefix(lo) + inBlock;
  }

  // Inserts `value` at `i` (0...size).
  void insert(std::int64_t i, T value) {
    if (blocks_.empty()) {
      blocks_.emplace_back();
      blocks_.back().push_back(std::move(value));
      size_ = 1;
      return rebuildTree();
    }
    std::size_t b = 0;
    std::size_t offset = 0;
    if (i == size_) {
      b = blocks_.size() - 1;
      offset = blocks_[b].size();
    } else {
      std::tie(b, offset) = locate(i);
    }
    auto& block = blocks_[b];
    block.insert(block.begin() + static_cast<std::ptrdiff_t>(offset), std::move(value));
    ++size_;
    if (offset + 1 == block.size()) lasts_[b] = block.back();
    if (block.size() > 2 * kBlock) {
      std::vector<T> upper(std::make_move_iterator(block.begin() + kBlock), std::make_move_iterator(block.end()));
      block.resize(kBlock);
      blocks_.insert(blocks_.begin() + static_cast<std::ptrdiff_t>(b) + 1, std::move(upper));
      return rebuildTree();
    }
    add(b, 1);
  }

  // Takes out and returns the element at `i` (0..<size).
  T erase(std::int64_t i) {
    const auto [b, offset] = locate(i);
    auto& block = blocks_[b];
    T value = std::move(block[offset]);
    block.erase(block.begin() + static_cast<std::ptrdiff_t>(offset));
    --size_;
    if (block.empty()) {
      blocks_.erase(blocks_.begin() + static_cast<std::ptrdiff_t>(b));
      rebuildTree();
    } else {
      if (offset == block.size()) lasts_[b] = block.back();
      add(b, -1);
    }
    return value;
  }

 private:
  // The block and offset of position `i` (0..<size): a descent of the tree.
  [[nodiscard]] std::pair<std::size_t, std::size_t> locate(std::int64_t i) const {
    std::size_t node = 0;
    std::int64_t rest = i;
    for (std::size_t step = highestPowerOfTwo(blocks_.size()); step > 0; step /= 2) {
      const std::size_t next = node + step;
      if (next < tree_.size() && tree_[next] <= rest) {
        node = next;
        rest -= tree_[next];
      }
    }
    return {node, static_cast<std::size_t>(rest)};
  }

  static std::size_t highestPowerOfTwo(std::size_t n) {
    std::size_t p = 1;
    while (p * 2 <= n) p *= 2;
    return n == 0 ? 0 : p;
  }

  // The elements of blocks 0..<b.
  [[nodiscard]] std::int64_t prefix(std::size_t b) const {
    return fenwickPrefix(tree_, b);
  }

  void add(std::size_t b, std::int64_t delta) { fenwickAdd(tree_, b, delta); }

  // Also the copies of the blocks' last elements.
  void rebuildTree() {
    lasts_.clear();
    lasts_.reserve(blocks_.size());
    for (const auto& block : blocks_) lasts_.push_back(block.back());
    fenwickBuild(tree_, blocks_.size(), [this](std::size_t b) { return blocks_[b].size(); });
  }

  std::vector<std::vector<T>> blocks_;
  // Each block's last element, side by side: the block search reads these
  // rather than one block after the other.
  std::vector<T> lasts_;
  std::vector<std::int64_t> tree_ = std::vector<std::int64_t>(1, 0);  // 1-based
  std::int64_t size_ = 0;
};

}  // namespace observable_internal
}  // namespace vantrel
