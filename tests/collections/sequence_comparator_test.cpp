#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "single_pass_range.h"
#include "vantrel/collections/sequence_comparator.h"

namespace vantrel {
namespace {

using Ints = std::vector<int>;

template <class T>
std::set<T> sorted(const ElementSet<T>& set) {
  return std::set<T>(set.begin(), set.end());
}

struct ComparatorCase {
  const char* name;
  Ints left, right;
  std::set<int> onlyLeft, onlyRight, intersection, union_;
};

TEST(SequenceComparator, Table) {
  const ComparatorCase cases[] = {
      {"both empty", {}, {}, {}, {}, {}, {}},
      {"overlapping", {1, 2, 2, 3}, {3, 4}, {1, 2}, {4}, {3}, {1, 2, 3, 4}},
      {"same contents, other order and repeats", {3, 1, 1, 2}, {2, 3, 1, 2}, {}, {}, {1, 2, 3}, {1, 2, 3}},
      {"disjoint", {1}, {2}, {1}, {2}, {}, {1, 2}},
      {"left empty", {}, {5, 5}, {}, {5}, {}, {5}},
  };
  for (const ComparatorCase& c : cases) {
    const auto comparator = SequenceComparator<int>::create(c.left, c.right);
    EXPECT_EQ(sorted(comparator->onlyLeft()), c.onlyLeft) << c.name;
    EXPECT_EQ(sorted(comparator->onlyRight()), c.onlyRight) << c.name;
    EXPECT_EQ(sorted(comparator->intersection()), c.intersection) << c.name;
    EXPECT_EQ(sorted(comparator->union_()), c.union_) << c.name;
    // A second read gives the same kept set.
    EXPECT_EQ(&comparator->union_(), &comparator->union_()) << c.name;
    EXPECT_EQ(sorted(comparator->intersection()), c.intersection) << c.name;
  }
}

TEST(SequenceComparator, KeepsTheDistinctElementsAndTheNames) {
  const auto named = SequenceComparator<int>::create(Ints{1, 2, 2, 3}, "old", Ints{3, 4}, "new");
  EXPECT_EQ(sorted(named->left()), (std::set<int>{1, 2, 3}));
  EXPECT_EQ(sorted(named->right()), (std::set<int>{3, 4}));
  EXPECT_EQ(named->nameLeft(), "old");
  EXPECT_EQ(named->nameRight(), "new");

  const auto unnamed = SequenceComparator<int>::create(Ints{1}, Ints{1});
  EXPECT_EQ(unnamed->nameLeft(), std::nullopt);
  EXPECT_EQ(unnamed->nameRight(), std::nullopt);
  const auto leftNamed = SequenceComparator<int>::create(Ints{1}, "only", Ints{1});
  EXPECT_EQ(leftNamed->nameRight(), std::nullopt);
}

TEST(SequenceComparator, ReadsSinglePassSequencesAndComparesTextCanonically) {
  const auto comparator = SequenceComparator<std::string>::create(
      testing::SinglePass<std::string>({"\u00e9", "a"}), testing::SinglePass<std::string>({"e\u0301", "b"}));
  EXPECT_EQ(comparator->intersection().size(), 1u);
  EXPECT_TRUE(comparator->intersection().contains("e\u0301"));
  EXPECT_EQ(sorted(comparator->onlyLeft()), std::set<std::string>{"a"});
  EXPECT_EQ(sorted(comparator->onlyRight()), std::set<std::string>{"b"});
  EXPECT_EQ(comparator->union_().size(), 3u);
}

}  // namespace
}  // namespace vantrel
