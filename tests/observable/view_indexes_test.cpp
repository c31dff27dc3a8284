// The views' position structures against plain vectors, over sizes that
// cross their word and block boundaries (the differential tests keep a
// dozen keys, too few to reach them), and a filter-only and a sorted view
// over a few thousand elements against the recomputation.
#include <algorithm>
#include <cstdint>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "vantrel/core/sort.h"
#include "vantrel/observable/internal/blocked_array.h"
#include "vantrel/observable/internal/pass_index.h"
#include "vantrel/observable/optionally_filtered_optionally_sorted_array_based_on_kerray.h"

namespace vantrel {
namespace {

using observable_internal::BlockedArray;
using observable_internal::PassIndex;

std::int64_t draw(std::mt19937_64& rng, std::int64_t max) {
  return std::uniform_int_distribution<std::int64_t>(0, max)(rng);
}

TEST(ViewIndexes, PassIndexAgreesWithAVectorOfFlags) {
  std::mt19937_64 rng(11);
  PassIndex index;
  std::vector<std::uint8_t> flags;
  index.assign(flags);
  for (int step = 0; step < 20000; ++step) {
    const auto n = static_cast<std::int64_t>(flags.size());
    const std::int64_t roll = draw(rng, 9);
    // Grows to a few hundred flags (several words), then shrinks again.
    const bool grow = (step / 4000) % 2 == 0;
    if (n == 0 || roll < (grow ? 5 : 3)) {
      const std::int64_t at = draw(rng, n);
      const bool value = draw(rng, 1) == 1;
      index.insert(at, value);
      flags.insert(flags.begin() + at, value ? 1 : 0);
    } else if (roll < 8) {
      const std::int64_t at = draw(rng, n - 1);
      index.erase(at);
      flags.erase(flags.begin() + at);
    } else {
      const std::int64_t at = draw(rng, n - 1);
      const bool value = draw(rng, 1) == 1;
      index.set(at, value);
      flags[static_cast<std::size_t>(at)] = value ? 1 : 0;
    }
    ASSERT_EQ(index.size(), static_cast<std::int64_t>(flags.size())) << step;
    const std::int64_t probe = draw(rng, static_cast<std::int64_t>(flags.size()));
    const auto want = std::count(flags.begin(), flags.begin() + probe, 1);
    ASSERT_EQ(index.rank(probe), want) << "step " << step << " at " << probe;
    ASSERT_EQ(index.count(), std::count(flags.begin(), flags.end(), 1)) << step;
    if (step % 500 == 0) {
      ASSERT_EQ(index.flags(), flags) << step;
    }
  }
}

TEST(ViewIndexes, BlockedArrayAgreesWithAVector) {
  std::mt19937_64 rng(12);
  BlockedArray<std::int64_t> blocked;
  std::vector<std::int64_t> plain;
  const auto less = [](std::int64_t a, std::int64_t b) { return a < b; };
  for (int step = 0; step < 30000; ++step) {
    const auto n = static_cast<std::int64_t>(plain.size());
    const std::int64_t roll = draw(rng, 9);
    const bool grow = (step / 6000) % 2 == 0;  // up past several block splits, then down to none
    if (n == 0 || roll < (grow ? 6 : 3)) {
      // Kept sorted, as a sorted view keeps it.
      const std::int64_t value = draw(rng, 5000);
      const std::int64_t at = blocked.lowerBound(less, value);
      ASSERT_EQ(at, std::lower_bound(plain.begin(), plain.end(), value) - plain.begin()) << step;
      blocked.insert(at, value);
      plain.insert(plain.begin() + at, value);
    } else if (roll < 8) {
      const std::int64_t at = draw(rng, n - 1);
      ASSERT_EQ(blocked.erase(at), plain[static_cast<std::size_t>(at)]) << step;
      plain.erase(plain.begin() + at);
    } else {
      // A stored value kept in order: the same value again.
      const std::int64_t at = draw(rng, n - 1);
      blocked.set(at, plain[static_cast<std::size_t>(at)]);
    }
    ASSERT_EQ(blocked.size(), static_cast<std::int64_t>(plain.size())) << step;
    if (!plain.empty()) {
      const std::int64_t probe = draw(rng, static_cast<std::int64_t>(plain.size()) - 1);
      ASSERT_EQ(blocked[probe], plain[static_cast<std::size_t>(probe)]) << step;
    }
    if (step % 1000 == 0) {
      ASSERT_EQ(blocked.elements(), plain) << step;
    }
  }
  blocked.assign(plain);
  EXPECT_EQ(blocked.elements(), plain);
  // Emptied at random positions: blocks run empty and go.
  while (!plain.empty()) {
    const std::int64_t at = draw(rng, static_cast<std::int64_t>(plain.size()) - 1);
    ASSERT_EQ(blocked.erase(at), plain[static_cast<std::size_t>(at)]);
    plain.erase(plain.begin() + at);
    if (!plain.empty()) {
      ASSERT_EQ(blocked[0], plain.front());
      ASSERT_EQ(blocked[static_cast<std::int64_t>(plain.size()) - 1], plain.back());
    }
  }
  EXPECT_EQ(blocked.size(), 0);
  blocked.insert(0, 7);
  EXPECT_EQ(blocked.elements(), std::vector<std::int64_t>{7});
}

struct Item {
  using KeyType = std::int64_t;
  std::int64_t id;
  std::int64_t score;
  KeyType key() const { return id; }
  friend bool operator==(const Item&, const Item&) = default;
};

TEST(ViewIndexes, LargeViewsEqualTheRecomputation) {
  std::mt19937_64 rng(13);
  std::vector<Item> start;
  for (std::int64_t i = 0; i < 3000; ++i) start.push_back(Item{i, draw(rng, 100)});
  auto base = Kerray<Item>::create(start);
  using View = OptionallyFilteredOptionallySortedArray_BasedOnKerray<Item>;
  const auto even = [](const Item& i) { return i.score % 2 == 0; };
  const auto byScore = [](const Item& a, const Item& b) { return a.score != b.score ? a.score < b.score : a.id < b.id; };
  const auto filterOnly = View::create(base, even);
  const auto sorted = View::create(base, even, NamedSortBlock<Item>("byScore", byScore));
  std::int64_t nextId = 3000;
  for (int step = 0; step < 6000; ++step) {
    const std::int64_t n = base->count();
    switch (draw(rng, 5)) {
      case 0: base->insert(Item{nextId++, draw(rng, 100)}, draw(rng, n)); break;
      case 1:
        if (n > 0) base->removeAtIndex(draw(rng, n - 1));
        break;
      case 2:
        if (n > 1) base->move(draw(rng, n - 1), draw(rng, n - 1));
        break;
      default:
        if (n > 0) {
          const std::int64_t at = draw(rng, n - 1);
          base->update(Item{base->array()[static_cast<std::size_t>(at)].id, draw(rng, 100)}, at);
        }
    }
    if (step % 100 != 0) continue;
    std::vector<Item> want;
    for (const Item& i : base->array()) {
      if (even(i)) want.push_back(i);
    }
    ASSERT_EQ(filterOnly->content(), want) << step;
    stableSort(want, byScore);
    ASSERT_EQ(sorted->content(), want) << step;
    ASSERT_EQ(sorted->count(), static_cast<std::int64_t>(want.size()));
  }
}

}  // namespace
}  // namespace vantrel
