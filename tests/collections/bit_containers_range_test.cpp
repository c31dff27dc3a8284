// BitArray and BitSet as C++ ranges, and their std::hash.
#include <algorithm>
#include <cstdint>
#include <iterator>
#include <random>
#include <ranges>
#include <unordered_set>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/range_conformance.h"
#include "vantrel/collections/bit_array.h"
#include "vantrel/collections/bit_set.h"

namespace vantrel {
namespace {

static_assert(std::random_access_iterator<BitArray::const_iterator>);
static_assert(std::same_as<std::iter_reference_t<BitArray::const_iterator>, bool>);
static_assert(std::ranges::random_access_range<const BitArray>);
static_assert(std::ranges::sized_range<const BitArray>);
static_assert(std::ranges::common_range<const BitArray>);
static_assert(std::random_access_iterator<BitSet::const_iterator>);
static_assert(std::ranges::random_access_range<const BitSet>);
static_assert(std::ranges::sized_range<const BitSet>);
static_assert(std::ranges::common_range<const BitSet>);

// Random edits applied to the container and to a std::vector<bool> alike.
struct BitArrayCase {
  using Container = BitArray;
  static std::pair<BitArray, std::vector<bool>> build(std::uint64_t seed, int steps) {
    std::mt19937_64 random(seed);
    BitArray array;
    std::vector<bool> model;
    for (int step = 0; step < steps; ++step) {
      const auto size = static_cast<std::int64_t>(model.size());
      const bool value = random() % 3 == 0;
      switch (random() % 6) {
        case 0:
        case 1:
          array.append(value);
          model.push_back(value);
          break;
        case 2: {
          const auto at = static_cast<std::int64_t>(random() % static_cast<std::uint64_t>(size + 1));
          array.insert(value, at);
          model.insert(model.begin() + at, value);
          break;
        }
        case 3:
          if (size > 0) {
            const auto at = static_cast<std::int64_t>(random() % static_cast<std::uint64_t>(size));
            array.set(at, value);
            model[static_cast<std::size_t>(at)] = value;
          }
          break;
        case 4:
          if (size > 0) {
            const auto at = static_cast<std::int64_t>(random() % static_cast<std::uint64_t>(size));
            array.removeAtIndex(at);
            model.erase(model.begin() + at);
          }
          break;
        default:
          array.removeLast();
          if (!model.empty()) model.pop_back();
      }
    }
    return {std::move(array), std::move(model)};
  }
};

struct BitSetCase {
  using Container = BitSet;
  static std::pair<BitSet, std::vector<bool>> build(std::uint64_t seed, int steps) {
    std::mt19937_64 random(seed);
    const auto size = static_cast<std::int64_t>(1 + random() % static_cast<std::uint64_t>(steps + 1));
    BitSet set(size);
    std::vector<bool> model(static_cast<std::size_t>(size));
    for (int step = 0; step < steps; ++step) {
      const auto at = static_cast<std::int64_t>(random() % static_cast<std::uint64_t>(size));
      const bool value = set.flip(at);
      model[static_cast<std::size_t>(at)] = value;
    }
    return {std::move(set), std::move(model)};
  }
};

template <class Case>
class BitContainerRange : public ::testing::Test {};
using BitContainerCases = ::testing::Types<BitArrayCase, BitSetCase>;
TYPED_TEST_SUITE(BitContainerRange, BitContainerCases);

TYPED_TEST(BitContainerRange, AgreesWithAVectorBuiltTheSameWay) {
  for (const int steps : {0, 1, 63, 64, 65, 130, 700}) {
    for (std::uint64_t seed = 1; seed <= 4; ++seed) {
      SCOPED_TRACE(::testing::Message() << "steps " << steps << ", seed " << seed);
      const auto [container, model] = TypeParam::build(seed, steps);
      testing::expectRangeAgrees(container, model, [](bool b) { return b; });
      std::vector<bool> walked;
      for (bool b : container) walked.push_back(b);
      ASSERT_EQ(walked, model);
      ASSERT_EQ(std::ranges::count(container, true),
                std::count(model.begin(), model.end(), true));
    }
  }
}

TEST(BitArrayRange, IteratorsFollowSetAndSizeStandsBesideCount) {
  BitArray array{true, false, true};
  EXPECT_EQ(array.size(), 3u);
  EXPECT_FALSE(array.empty());
  EXPECT_TRUE(BitArray().empty());
  const auto it = array.begin() + 1;
  array.set(1, true);  // not a change of shape: the iterator reads the new value
  EXPECT_TRUE(*it);
  EXPECT_EQ(std::ranges::find(array, false), array.end());
}

TEST(BitArrayRange, IndexingStillStopsOutsideTheArray) {
  const BitArray array{true, false};
  EXPECT_DEATH((void)array[2], "Index out of range \\(2\\)");
  EXPECT_DEATH((void)array[-1], "Index out of range \\(-1\\)");
  const BitSet set(3);
  EXPECT_DEATH((void)set[3], "BitSet index 3 out of range 0..<3");
}

TEST(BitArrayRange, UsingAnIteratorAfterTheArrayChangedStops) {
  using Change = void (*)(BitArray&);
  const Change changes[] = {
      [](BitArray& a) { a.append(true); },
      [](BitArray& a) { a.insert(false, 0); },
      [](BitArray& a) { (void)a.removeLast(); },
      [](BitArray& a) { (void)a.removeAtIndex(0); },
      [](BitArray& a) { a.removeAll(false); },
      [](BitArray& a) { a = BitArray{true, true, true, true}; },
      [](BitArray& a) { BitArray other = std::move(a); },
  };
  for (const Change change : changes) {
    BitArray array{true, false, true, false};
    const auto it = array.begin();
    change(array);
    EXPECT_DEATH((void)*it, "BitArray iterator used after the array changed");
  }
  const BitArray array{true};
  EXPECT_DEATH((void)*array.end(), "BitArray iterator used after the array changed, or outside it \\(1\\)");
  const BitSet set(2);
  EXPECT_DEATH((void)*set.end(), "BitSet index 2 out of range 0..<2");
}

// Equal contents do not make two containers one: each comparison of
// iterators of different ones stops, where positions alone would answer.
TEST(BitArrayRange, ComparingIteratorsOfTwoContainersStops) {
  const BitArray a{true, false};
  const BitArray b{true, false};
  const BitSet s(2);
  const BitSet t(2);
  const char* const message = "Iterators of two different sequences compared";
  EXPECT_DEATH((void)(a.begin() == b.begin()), message);
  EXPECT_DEATH((void)(a.end() - b.begin()), message);
  EXPECT_DEATH((void)(a.begin() < b.end()), message);
  EXPECT_DEATH((void)(s.begin() != t.begin()), message);
  EXPECT_DEATH((void)(BitArray::const_iterator() == a.begin()), message);
  // One container's iterators, and value-initialised ones, compare as usual.
  EXPECT_EQ(a.end() - a.begin(), 2);
  EXPECT_EQ(BitArray::const_iterator(), BitArray::const_iterator());
  EXPECT_EQ(BitSet::const_iterator(), BitSet::const_iterator());
  EXPECT_LT(s.begin(), s.end());
}

TEST(BitArrayHash, TheEightElementArraysAllHashApart) {
  std::unordered_set<std::size_t> hashes;
  std::unordered_set<std::size_t> setHashes;
  for (unsigned pattern = 0; pattern < 256; ++pattern) {
    BitArray array;
    BitSet set(8);
    for (int bit = 0; bit < 8; ++bit) {
      array.append(((pattern >> bit) & 1) != 0);
      set.set(bit, ((pattern >> bit) & 1) != 0);
    }
    hashes.insert(std::hash<BitArray>{}(array));
    setHashes.insert(std::hash<BitSet>{}(set));
  }
  EXPECT_EQ(hashes.size(), 256u);
  EXPECT_EQ(setHashes.size(), 256u);
}

TEST(BitArrayHash, EqualValuesHashAlike) {
  // Storage left over from removals is not part of the value.
  BitArray shrunk = BitArray::fromCount(200, true);
  while (shrunk.count() > 3) shrunk.removeLast();
  const BitArray fresh{true, true, true};
  ASSERT_EQ(shrunk, fresh);
  EXPECT_EQ(std::hash<BitArray>{}(shrunk), std::hash<BitArray>{}(fresh));
  // Trailing false elements are elements.
  EXPECT_NE(std::hash<BitArray>{}(BitArray{false}), std::hash<BitArray>{}(BitArray{false, false}));
  EXPECT_NE(std::hash<BitArray>{}(BitArray()), std::hash<BitArray>{}(BitArray{false}));

  // Sets compare their words, whatever their sizes.
  BitSet small(5);
  BitSet wide(64);
  small.set(4);
  wide.set(4);
  ASSERT_EQ(small, wide);
  EXPECT_EQ(std::hash<BitSet>{}(small), std::hash<BitSet>{}(wide));
  EXPECT_NE(std::hash<BitSet>{}(BitSet(64)), std::hash<BitSet>{}(BitSet(65)));
}

TEST(BitArrayHash, ManyRandomArraysSpreadOverTheBuckets) {
  std::mt19937_64 random(11);
  std::unordered_set<BitArray> arrays;
  std::unordered_set<BitSet> sets;
  while (arrays.size() < 100000) {
    const auto count = static_cast<std::int64_t>(1 + random() % 100);
    BitArray array;
    BitSet set(count);
    for (std::int64_t i = 0; i < count; ++i) {
      const bool value = random() % 4 == 0;  // sparse, so many arrays share words
      array.append(value);
      set.set(i, value);
    }
    arrays.insert(std::move(array));
    sets.insert(std::move(set));
  }
  const auto largestBucket = [](const auto& container) {
    std::size_t largest = 0;
    for (std::size_t b = 0; b < container.bucket_count(); ++b) {
      largest = std::max(largest, container.bucket_size(b));
    }
    return largest;
  };
  EXPECT_LE(largestBucket(arrays), 16u);
  EXPECT_LE(largestBucket(sets), 16u);
}

}  // namespace
}  // namespace vantrel
