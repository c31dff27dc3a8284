#include <latch>
#include <set>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "vantrel/collections/sequence_comparator.h"

namespace vantrel {
namespace {

// Two threads read one comparator's results for the first time together;
// each result must be computed once and seen whole by both.
TEST(SequenceComparatorConcurrency, TwoThreadsReadFreshResultsTogether) {
  std::vector<int> left, right;
  for (int i = 0; i < 2000; ++i) left.push_back(i);
  for (int i = 1000; i < 3000; ++i) right.push_back(i);

  for (int round = 0; round < 20; ++round) {
    const std::shared_ptr<const SequenceComparator<int>> comparator = SequenceComparator<int>::create(left, right);
    std::latch start(2);
    const ElementSet<int>* seen[2][4] = {};
    auto reader = [&](int which) {
      start.arrive_and_wait();
      // Opposite orders, so each result is somebody's first read.
      if (which == 0) {
        seen[0][0] = &comparator->onlyLeft();
        seen[0][1] = &comparator->onlyRight();
        seen[0][2] = &comparator->intersection();
        seen[0][3] = &comparator->union_();
      } else {
        seen[1][3] = &comparator->union_();
        seen[1][2] = &comparator->intersection();
        seen[1][1] = &comparator->onlyRight();
        seen[1][0] = &comparator->onlyLeft();
      }
    };
    std::thread a(reader, 0);
    std::thread b(reader, 1);
    a.join();
    b.join();
    for (int r = 0; r < 4; ++r) EXPECT_EQ(seen[0][r], seen[1][r]);
    EXPECT_EQ(comparator->onlyLeft().size(), 1000u);
    EXPECT_EQ(comparator->onlyRight().size(), 1000u);
    EXPECT_EQ(comparator->intersection().size(), 1000u);
    EXPECT_EQ(comparator->union_().size(), 3000u);
  }
}

}  // namespace
}  // namespace vantrel
