#include <vector>

#include <gtest/gtest.h>

#include "vantrel/core/random.h"
#include "vantrel/core/sort.h"

namespace vantrel {
namespace {

TEST(Random, ScriptedSourceAnswersInOrderAndRecordsBounds) {
  ScriptedRandomSource script({2, 0, 7, 0xAB, 0x1FF});
  {
    ScopedRandomSource use(script);
    EXPECT_EQ(randomUniform(3), 2u);
    EXPECT_EQ(randomUniform(1), 0u);
    EXPECT_EQ(randomUniform(0), 0u);  // nothing drawn
    EXPECT_EQ(randomUInt32(), 7u);
    unsigned char bytes[2];
    randomBytes(bytes, 2);
    EXPECT_EQ(bytes[0], 0xAB);
    EXPECT_EQ(bytes[1], 0xFF);
  }
  EXPECT_EQ(script.bounds(), (std::vector<std::uint32_t>{3, 1, 0}));
  EXPECT_EQ(script.remaining(), 0u);
  // Restored: the system source answers within its bound.
  EXPECT_LT(randomUniform(10), 10u);
}

TEST(RandomDeathTest, ScriptMismatchStops) {
  ScriptedRandomSource empty({});
  EXPECT_DEATH(
      {
        ScopedRandomSource use(empty);
        (void)randomUInt32();
      },
      "ran out of values");
  ScriptedRandomSource tooBig({5});
  EXPECT_DEATH(
      {
        ScopedRandomSource use(tooBig);
        (void)randomUniform(5);
      },
      "value 5 is not below the bound 5");
}

TEST(Random, SystemSourceCoversItsRange) {
  bool seen[4] = {};
  for (int i = 0; i < 200; ++i) seen[randomUniform(4)] = true;
  EXPECT_TRUE(seen[0] && seen[1] && seen[2] && seen[3]);
}

TEST(StableSort, KeepsEqualElementsInOrder) {
  std::vector<std::pair<int, char>> v = {{2, 'a'}, {1, 'b'}, {2, 'c'}, {1, 'd'}};
  stableSort(v, [](const auto& x, const auto& y) { return x.first < y.first; });
  EXPECT_EQ(v, (std::vector<std::pair<int, char>>{{1, 'b'}, {1, 'd'}, {2, 'a'}, {2, 'c'}}));
  EXPECT_EQ(stableSorted(std::vector<int>{3, 1, 2}), (std::vector<int>{1, 2, 3}));
}

// A negated comparator (>=) is not a strict weak order; sorting with it must
// stay in bounds (AddressSanitizer watches) and still order the values.
TEST(StableSort, NonStrictComparatorStaysInBounds) {
  std::vector<int> v;
  for (int i = 0; i < 2000; ++i) v.push_back((i * 7919) % 13);
  stableSort(v, [](int a, int b) { return a >= b; });
  for (std::size_t i = 1; i < v.size(); ++i) ASSERT_GE(v[i - 1], v[i]);
  std::vector<int> same(100, 4);
  stableSort(same.begin(), same.end(), [](int a, int b) { return a >= b; });
  EXPECT_EQ(same, std::vector<int>(100, 4));
}

}  // namespace
}  // namespace vantrel
