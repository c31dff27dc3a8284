// A Fenwick tree (binary indexed tree) of counts, kept by the views'
// position indexes to answer "how many before slot n" in logarithmic time.
// Internal: included by the observable module's own headers.
//
// The tree is 1-based: `tree[0]` is unused, `tree.size() - 1` slots.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "vantrel/api.h"
namespace vantrel VANTREL_API { namespace observable_internal {

// The lowest set bit of `i`: the span of the tree node `i`.
inline std::size_t fenwickSpan(std::size_t i) { return i & (~i + 1); }

// The sum of the counts of slots 0..<n.
inline std::int64_t fenwickPrefix(const std::vector<std::int64_t>& tree, std::size_t n) {
  std::int64_t sum = 0;
  for (std::size_t i = n; i > 0; i -= fenwickSpan(i)) sum += tree[i];
  return sum;
}

// Adds `delta` to the count of slot `slot`.
inline void fenwickAdd(std::vector<std::int64_t>& tree, std::size_t slot, std::int64_t delta) {
  for (std::size_t i = slot + 1; i < tree.size(); i += fenwickSpan(i)) tree[i] += delta;
}

// The tree of `slots` counts, `countOf(slot)` each, built in linear time.
template <class CountOf>
void fenwickBuild(std::vector<std::int64_t>& tree, std::size_t slots, CountOf&& countOf) {
  tree.assign(slots + 1, 0);
  for (std::size_t i = 1; i < tree.size(); ++i) {
    tree[i] += static_cast<std::int64_t>(countOf(i - 1));
    const std::size_t parent = i + fenwickSpan(i);
    if (parent < tree.size()) tree[parent] += tree[i];
  }
}

// The slot that holds the count unit number `k` (0-based): the smallest
// slot whose prefix through it exceeds `k`. Counts must not be negative.
inline std::size_t fenwickFind(const std::vector<std::int64_t>& tree, std::int64_t k) {
  std::size_t position = 0;
  for (std::size_t step = tree.size() > 1 ? std::bit_floor(tree.size() - 1) : 0; step > 0; step >>= 1) {
    if (position + step < tree.size() && tree[position + step] <= k) {
      position += step;
      k -= tree[position];
    }
  }
  return position;
}

// Elements inserted one after the other, element i at `momentary[i]` in the
// sequence of its moment, into a sequence that ends `size` long: the final
// position of each. Going backwards, an element takes the free slot of its
// rank among the slots the later ones left free.
inline std::vector<std::int64_t> finalPositions(const std::vector<std::int64_t>& momentary, std::size_t size) {
  std::vector<std::int64_t> tree;
  fenwickBuild(tree, size, [](std::size_t) { return 1; });
  std::vector<std::int64_t> out(momentary.size());
  for (std::size_t i = momentary.size(); i-- > 0;) {
    const std::size_t slot = fenwickFind(tree, momentary[i]);
    out[i] = static_cast<std::int64_t>(slot);
    fenwickAdd(tree, slot, -1);
  }
  return out;
}

}}  // namespace vantrel::observable_internal
