#include "vantrel/platform/foundation/values/index_set.h"

#include <limits>
#include <random>
#include <set>

namespace vantrel {
namespace {

TEST(IndexSet, FromAndToIntIndexes) {
  const IndexSet set = IndexSet::fromIntIndexes({5, 1, 5, 3});
  EXPECT_EQ(set.arrayOfIntIndexes(), (std::vector<std::int64_t>{1, 3, 5}));
  EXPECT_EQ(set.setOfIntIndexes(), (std::unordered_set<std::int64_t>{1, 3, 5}));
  EXPECT_EQ(set.description(), "(1, 3, 5)");
  EXPECT_TRUE(IndexSet::fromIntIndexes({}).isEmpty());
  EXPECT_TRUE(IndexSet::fromIntIndexes({}).arrayOfIntIndexes().empty());
  const IndexSet top = IndexSet::fromIntIndexes({std::numeric_limits<std::int64_t>::max() - 1, 0});
  EXPECT_EQ(top.count(), 2);
}

TEST(IndexSet, RunsMergeAndSplit) {
  IndexSet set;
  set.insertRange(10, 20);
  set.insert(20);
  set.insert(9);
  EXPECT_EQ(set.runs(), (std::vector<IndexSet::Run>{{9, 21}}));
  set.remove(15);
  EXPECT_EQ(set.description(), "(9-14, 16-20)");
  set.insertRange(0, 100);
  EXPECT_EQ(set.runs(), (std::vector<IndexSet::Run>{{0, 100}}));
  EXPECT_EQ(set.count(), 100);
  set.remove(0);
  set.remove(99);
  set.remove(500);
  EXPECT_EQ(set.description(), "(1-98)");
}

TEST(IndexSet, AgreesWithAnOrderedSet) {
  std::mt19937 random(7);
  IndexSet set;
  std::set<std::int64_t> mirror;
  for (int step = 0; step < 3000; ++step) {
    const std::int64_t index = random() % 64;
    switch (random() % 3) {
      case 0: set.insert(index); mirror.insert(index); break;
      case 1: set.remove(index); mirror.erase(index); break;
      default: {
        const std::int64_t end = index + static_cast<std::int64_t>(random() % 6);
        set.insertRange(index, end);
        for (std::int64_t i = index; i < end; ++i) mirror.insert(i);
      }
    }
    ASSERT_EQ(set.arrayOfIntIndexes(), std::vector<std::int64_t>(mirror.begin(), mirror.end()));
    for (std::size_t r = 1; r < set.runs().size(); ++r) {
      ASSERT_LT(set.runs()[r - 1].upperBound, set.runs()[r].lowerBound);  // disjoint and not touching
    }
    ASSERT_EQ(set.contains(index), mirror.count(index) == 1);
  }
}

TEST(IndexSetDeathTest, IndexesItCannotHoldStop) {
  EXPECT_DEATH((void)IndexSet::fromIntIndexes({1, -1}), "Index -1 cannot be held in an index set");
  EXPECT_DEATH((void)IndexSet::fromIntIndexes({std::numeric_limits<std::int64_t>::max()}),
               "Index 9223372036854775807 cannot be held in an index set");
  IndexSet set;
  EXPECT_DEATH(set.insert(-3), "Index -3 cannot be held");
}

}  // namespace
}  // namespace vantrel
