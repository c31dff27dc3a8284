// IndexSet as a C++ range, and its std::hash.
#include <cstdint>
#include <random>
#include <ranges>
#include <set>
#include <unordered_set>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/range_conformance.h"
#include "vantrel/platform/foundation/values/index_set.h"

namespace vantrel {
namespace {

static_assert(std::bidirectional_iterator<IndexSet::const_iterator>);
static_assert(std::ranges::bidirectional_range<const IndexSet>);
static_assert(std::ranges::sized_range<const IndexSet>);
static_assert(std::ranges::common_range<const IndexSet>);

// Random inserts, range inserts and removals, applied to a std::set as well.
std::pair<IndexSet, std::vector<std::int64_t>> build(std::uint64_t seed, int steps, std::int64_t span) {
  std::mt19937_64 random(seed);
  IndexSet set;
  std::set<std::int64_t> mirror;
  for (int step = 0; step < steps; ++step) {
    const auto index = static_cast<std::int64_t>(random() % static_cast<std::uint64_t>(span));
    switch (random() % 3) {
      case 0:
        set.insert(index);
        mirror.insert(index);
        break;
      case 1:
        set.remove(index);
        mirror.erase(index);
        break;
      default: {
        const std::int64_t end = index + static_cast<std::int64_t>(random() % 9);
        set.insertRange(index, end);
        for (std::int64_t i = index; i < end; ++i) mirror.insert(i);
      }
    }
  }
  return {set, std::vector<std::int64_t>(mirror.begin(), mirror.end())};
}

TEST(IndexSetRange, AgreesWithAVectorBuiltTheSameWay) {
  const std::pair<int, std::int64_t> shapes[] = {{0, 10}, {1, 10}, {20, 30}, {300, 64}, {2000, 5000}};
  for (const auto& [steps, span] : shapes) {
    for (std::uint64_t seed = 1; seed <= 3; ++seed) {
      SCOPED_TRACE(::testing::Message() << "steps " << steps << ", span " << span << ", seed " << seed);
      const auto [set, model] = build(seed, steps, span);
      ASSERT_EQ(set.count(), static_cast<std::int64_t>(model.size()));
      testing::expectRangeAgrees(set, model, [](std::int64_t i) { return i % 2 == 0; });
      // Stepping back and forth across run boundaries.
      auto it = set.end();
      for (auto m = model.rbegin(); m != model.rend(); ++m) ASSERT_EQ(*--it, *m);
      ASSERT_EQ(it, set.begin());
    }
  }
}

TEST(IndexSetRange, CountFollowsEveryChange) {
  IndexSet set;
  set.insertRange(10, 20);
  set.insertRange(15, 25);  // overlaps
  EXPECT_EQ(set.count(), 15);
  set.insertRange(25, 30);  // touches
  set.insert(40);
  EXPECT_EQ(set.count(), 21);
  set.remove(12);  // splits
  set.remove(12);  // already gone
  set.remove(99);
  EXPECT_EQ(set.count(), 20);
  set.insertRange(0, 100);
  EXPECT_EQ(set.count(), 100);
  EXPECT_EQ(set.size(), 100u);
  EXPECT_EQ(IndexSet::fromIntIndexes({4, 4, 5, 9}).size(), 3u);
  EXPECT_TRUE(IndexSet().empty());
  const IndexSet small = IndexSet::fromIntIndexes({5, 1, 2, 3});
  const std::vector<std::int64_t> reversed(std::ranges::rbegin(small), std::ranges::rend(small));
  EXPECT_EQ(reversed, (std::vector<std::int64_t>{5, 3, 2, 1}));
}

TEST(IndexSetRange, SteppingAfterTheSetChangedStops) {
  EXPECT_DEATH(
      {
        IndexSet set = IndexSet::fromIntIndexes({1, 2, 3, 7});
        auto it = std::next(set.begin(), 3);  // 7, the second run
        set.remove(7);                        // that run is gone
        ++it;
      },
      "IndexSet iterator used after the set changed");
  EXPECT_DEATH(
      {
        IndexSet set = IndexSet::fromIntIndexes({1, 2, 3});
        auto it = std::next(set.begin());
        set = IndexSet::fromIntIndexes({10, 11});
        --it;
      },
      "IndexSet iterator used after the set changed");
  EXPECT_DEATH(
      {
        const IndexSet set(4);
        auto it = set.end();
        ++it;
      },
      "IndexSet iterator used after the set changed, or outside it");
  EXPECT_DEATH(
      {
        const IndexSet set(4);
        auto it = set.begin();
        --it;
      },
      "IndexSet iterator used after the set changed, or outside it");
}

TEST(IndexSetRange, ComparingIteratorsOfTwoSetsStops) {
  const IndexSet a = IndexSet::fromIntIndexes({1, 2, 3, 7});
  const IndexSet b = a;
  EXPECT_DEATH((void)(a.begin() == b.begin()), "Iterators of two different sequences compared");
  EXPECT_DEATH((void)*a.end(), "IndexSet iterator used after the set changed, or outside it");
  EXPECT_EQ(std::ranges::distance(a.begin(), a.end()), 4);
}

TEST(IndexSetHash, EqualSetsHashAlikeAndDifferentOnesApart) {
  const std::hash<IndexSet> hash;
  IndexSet built;
  built.insertRange(3, 9);
  built.remove(5);
  EXPECT_EQ(hash(built), hash(IndexSet::fromIntIndexes({3, 4, 6, 7, 8})));
  std::unordered_set<std::size_t> hashes;
  for (unsigned pattern = 0; pattern < 256; ++pattern) {
    std::vector<std::int64_t> indexes;
    for (int bit = 0; bit < 8; ++bit) {
      if ((pattern >> bit) & 1) indexes.push_back(bit);
    }
    hashes.insert(hash(IndexSet::fromIntIndexes(indexes)));
  }
  EXPECT_EQ(hashes.size(), 256u);
}

}  // namespace
}  // namespace vantrel
