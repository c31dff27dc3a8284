#include "vantrel/observable/optionally_filtered_always_sorted_array_based_on_observable_set.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/observable/observable_test_support.h"

namespace vantrel {
namespace {

using testing::scored;
using testing::Scored;

using Set = ObservableSet<Scored>;
using View = OptionallyFilteredAlwaysSortedArray_BasedOnObservableSet<Scored>;
using ViewObserver = OptionallyFilteredAlwaysSortedArray_BasedOnObservableSetObserver<Scored>;

// By score alone: equal scores tie.
const NamedSortBlock<Scored> kByScore("byScore", [](const Scored& a, const Scored& b) { return a.score < b.score; });
const NamedSortBlock<Scored> kById("byId", [](const Scored& a, const Scored& b) { return a.id < b.id; });

bool evenScore(const Scored& s) { return s.score % 2 == 0; }

std::string shown(const View& v) {
  std::string out;
  for (const Scored& s : v.content()) out += (out.empty() ? "" : " ") + s.description();
  return out;
}

std::shared_ptr<ViewObserver> record(View& v, const std::shared_ptr<const void>& owner, std::vector<std::string>& log,
                                     const std::string& prefix = "") {
  return v.observers().createNew(owner, [&log, prefix](ViewObserver& o) {
    using P = std::vector<std::int64_t>;
    using E = std::vector<Scored>;
    o.sortingChanged = [&log, prefix](View&, const std::string& code) { log.push_back(prefix + "sortingChanged " + code); };
    o.filterChanged = [&log, prefix](View&) { log.push_back(prefix + "filterChanged"); };
    o.replacedContent = [&log, prefix](View&) { log.push_back(prefix + "replacedContent"); };
    o.removedAll = [&log, prefix](View&) { log.push_back(prefix + "removedAll"); };
    o.inserted = [&log, prefix](View&, std::int64_t i, const Scored& e) {
      log.push_back(prefix + "inserted " + std::to_string(i) + " " + describe(e));
    };
    o.insertedMultiple = [&log, prefix](View&, const P& p, const E& e) {
      log.push_back(prefix + "insertedMultiple " + describe(p) + " " + describe(e));
    };
    o.removed = [&log, prefix](View&, std::int64_t i, const Scored& e) {
      log.push_back(prefix + "removed " + std::to_string(i) + " " + describe(e));
    };
    o.removedMultiple = [&log, prefix](View&, const P& p, const E& e) {
      log.push_back(prefix + "removedMultiple " + describe(p) + " " + describe(e));
    };
    o.updated = [&log, prefix](View&, std::int64_t i, const Scored& e) {
      log.push_back(prefix + "updated " + std::to_string(i) + " " + describe(e));
    };
    o.moved = [&log, prefix](View&, std::int64_t f, std::int64_t t, const Scored& e) {
      log.push_back(prefix + "moved " + std::to_string(f) + " " + std::to_string(t) + " " + describe(e));
    };
  });
}

class SortedSetViewTest : public ::testing::Test {
 protected:
  std::shared_ptr<Set> base = Set::create({scored("c", 3), scored("a", 1), scored("b", 2)});
  std::shared_ptr<int> owner = std::make_shared<int>(0);
  std::vector<std::string> log;
};

TEST_F(SortedSetViewTest, CreationSortsAndReportsNothing) {
  auto view = View::create(base, kById);
  record(*view, owner, log);
  EXPECT_EQ(shown(*view), "a=1 b=2 c=3");
  EXPECT_EQ(view->count(), 3);
  EXPECT_TRUE(log.empty());
}

TEST_F(SortedSetViewTest, SingleInsertionsGoInFrontOfTheirEqualsAndPassTheFilter) {
  auto view = View::create(base, [](const Scored& s) { return s.score != 7; }, kByScore);
  record(*view, owner, log);
  base->insert(scored("d", 2));
  base->insert(scored("e", 7));
  EXPECT_EQ(shown(*view), "a=1 d=2 b=2 c=3");
  EXPECT_EQ(log, std::vector<std::string>{"inserted 1 d=2"});
}

TEST_F(SortedSetViewTest, BatchInsertionPositionsReplayInListOrder) {
  auto empty = Set::create();
  auto view = View::create(empty, kByScore);
  record(*view, owner, log);
  empty->insertMultiple({scored("x", 0), scored("y", 0)});
  EXPECT_EQ(shown(*view), "y=0 x=0");
  empty->insertMultiple({});
  empty->insertMultiple({scored("m", 5), scored("k", 3), scored("n", 4)});
  EXPECT_EQ(shown(*view), "y=0 x=0 k=3 n=4 m=5");
  EXPECT_EQ(log, (std::vector<std::string>{"insertedMultiple [0, 0] [x=0, y=0]", "insertedMultiple [] []",
                                           "insertedMultiple [2, 2, 3] [m=5, k=3, n=4]"}));
}

// The base reports every input element, present ones and repeats included,
// with the value given: the view lets in only what it does not hold, once,
// with the value the set stored.
TEST_F(SortedSetViewTest, BatchInsertionSkipsHeldElementsAndRepeatsAndJudgesTheStoredValue) {
  auto view = View::create(base, evenScore, kByScore);
  record(*view, owner, log);
  EXPECT_THROW(base->insertMultiple({scored("b", 9), scored("d", 4), scored("d", 5), scored("e", 6), scored("e", 6)}),
               Set::Errur);
  EXPECT_EQ(shown(*view), "b=2 d=4 e=6");
  EXPECT_EQ(log, std::vector<std::string>{"insertedMultiple [1, 2] [d=4, e=6]"});
  log.clear();
  EXPECT_THROW(base->insertMultiple({scored("a", 2), scored("f", 1)}), Set::Errur);  // a stays a=1: fails
  EXPECT_TRUE(log.empty());
}

TEST_F(SortedSetViewTest, UpdateStaysMovesLeavesOrEnters) {
  auto view = View::create(base, evenScore, kByScore);
  base->insertMultiple({scored("d", 4), scored("e", 6), scored("f", 4)});
  EXPECT_EQ(shown(*view), "b=2 f=4 d=4 e=6");  // f in front of its equal d
  record(*view, owner, log, "1 ");
  auto second = std::make_shared<int>(0);
  record(*view, second, log, "2 ");
  base->update(scored("f", 4, 1));   // ties with its right neighbour: stays
  base->update(scored("b", 8));      // after e: moves to the end
  base->update(scored("d", 3));      // fails the filter: leaves with its new value
  base->update(scored("a", 0));      // enters
  base->update(scored("c", 5));      // fails before and after
  EXPECT_EQ(shown(*view), "a=0 f=4 e=6 b=8");
  EXPECT_EQ(log, (std::vector<std::string>{"1 updated 1 f=4", "2 updated 1 f=4", "1 moved 0 3 b=8",
                                           "1 updated 3 b=8", "2 moved 0 3 b=8", "2 updated 3 b=8",
                                           "1 removed 1 d=3", "2 removed 1 d=3", "1 inserted 0 a=0",
                                           "2 inserted 0 a=0"}));
  EXPECT_EQ((*view)[1].version, 1);  // the value the base now stores
}

TEST_F(SortedSetViewTest, BatchUpdatesAreFollowedElementByElement) {
  auto view = View::create(base, kByScore);
  record(*view, owner, log);
  base->updateMultiple({scored("a", 9)});
  EXPECT_EQ(shown(*view), "b=2 c=3 a=9");
  EXPECT_EQ(log, (std::vector<std::string>{"moved 0 2 a=9", "updated 2 a=9"}));
}

TEST_F(SortedSetViewTest, BatchRemovalPrintsItsLinesAndReportsAscendingPositions) {
  base->insertMultiple({scored("d", 4), scored("e", 5), scored("f", 6)});
  auto view = View::create(base, kByScore);
  record(*view, owner, log);
  ConsoleCapture capture;
  base->remove(std::vector<Scored>{scored("e", 0), scored("b", 0)});
  EXPECT_EQ(capture.standardOutput(),
            "remove at index 4\n"
            "its e=5\n"
            "remove at index 1\n"
            "its b=2\n"
            "remove = [1, 4]\n"
            "elements = [b=2, e=5]\n");
  EXPECT_EQ(shown(*view), "a=1 c=3 d=4 f=6");
  capture.clear();
  auto filtered = View::create(base, [](const Scored& s) { return s.score > 100; }, kByScore);
  base->remove(std::vector<Scored>{scored("a", 0)});
  EXPECT_EQ(capture.standardOutput(),
            "remove at index 0\nits a=1\nremove = [0]\nelements = [a=1]\n"
            "remove = []\nelements = []\n");
  EXPECT_EQ(log, (std::vector<std::string>{"removedMultiple [1, 4] [b=2, e=5]", "removedMultiple [0] [a=1]"}));
}

TEST_F(SortedSetViewTest, RemovalReportsTheHeldElementAndIgnoresOthers) {
  auto view = View::create(base, evenScore, kByScore);
  record(*view, owner, log);
  ConsoleCapture quiet;
  base->remove(scored("b", 99));
  base->remove(scored("a", 0));
  EXPECT_EQ(log, std::vector<std::string>{"removed 0 b=2"});
}

TEST_F(SortedSetViewTest, ASortBlockWithAnotherCodeResortsOneWithTheCurrentCodeChangesNothing) {
  auto view = View::create(base, kByScore);
  record(*view, owner, log);
  view->setSortBlock(NamedSortBlock<Scored>("byScore", [](const Scored& a, const Scored& b) { return a.score > b.score; }));
  base->insert(scored("d", 4));
  EXPECT_EQ(shown(*view), "a=1 b=2 c=3 d=4");  // the current comparator stays in use
  view->setSortBlock(NamedSortBlock<Scored>("down", [](const Scored& a, const Scored& b) { return a.score > b.score; }));
  EXPECT_EQ(shown(*view), "d=4 c=3 b=2 a=1");
  EXPECT_EQ(view->sortBlock().code(), "down");
  EXPECT_EQ(log, (std::vector<std::string>{"inserted 3 d=4", "sortingChanged down"}));
}

TEST_F(SortedSetViewTest, FilterAssignmentsRebuildUnlessNoneOverNone) {
  auto view = View::create(base, kByScore);
  record(*view, owner, log);
  view->setFilterBlock({});
  view->setFilterBlock(evenScore);
  EXPECT_EQ(shown(*view), "b=2");
  view->setFilterBlock(evenScore);
  view->setFilterBlock({});
  EXPECT_EQ(shown(*view), "a=1 b=2 c=3");
  base->replaceContent({scored("q", 1)});
  base->removeAll();
  EXPECT_EQ(log, (std::vector<std::string>{"filterChanged", "filterChanged", "filterChanged", "replacedContent",
                                           "removedAll"}));
  EXPECT_TRUE(view->isEmpty());
}

TEST_F(SortedSetViewTest, AThrowingFilterOrComparatorIsRefusedWithTheViewAsItWas) {
  auto view = View::create(base, kByScore);
  record(*view, owner, log);
  EXPECT_THROW(view->setFilterBlock([](const Scored&) -> bool { throw std::runtime_error("filter"); }),
               std::runtime_error);
  EXPECT_THROW(view->setSortBlock(NamedSortBlock<Scored>(
                   "throwing", [](const Scored&, const Scored&) -> bool { throw std::runtime_error("comparator"); })),
               std::runtime_error);
  EXPECT_EQ(shown(*view), "a=1 b=2 c=3");
  EXPECT_EQ(view->sortBlock().code(), "byScore");
  EXPECT_FALSE(view->filterBlock());
  EXPECT_TRUE(log.empty());
}

TEST(SortedSetViewDeathTest, AFilterThatThrowsWhileFollowingStopsTheProgram) {
  auto base = Set::create();
  auto view = View::create(base, [](const Scored& s) -> bool {
    if (s.score == 13) throw std::runtime_error("unlucky");
    return true;
  }, kByScore);
  EXPECT_DEATH(base->insert(scored("x", 13)),
               "Uncaught exception in OptionallyFilteredAlwaysSortedArray_BasedOnObservableSet following "
               "\"inserted\": unlucky");
}

TEST(SortedSetViewDescription, CodeCountAndUpToFiveElements) {
  struct Case {
    int count;
    std::string text;
  };
  const std::vector<Case> cases = {
      {0, "OptionallyFilteredAlwaysSortedArray_BasedOnObservableSet(sortBlock:byScore, count: 0, elements: <none>)"},
      {3, "OptionallyFilteredAlwaysSortedArray_BasedOnObservableSet(sortBlock:byScore, count: 3, elements: "
          "e0=0, e1=1, e2=2)"},
      {5, "OptionallyFilteredAlwaysSortedArray_BasedOnObservableSet(sortBlock:byScore, count: 5, elements: "
          "e0=0, e1=1, e2=2, e3=3, e4=4)"},
      {6, "OptionallyFilteredAlwaysSortedArray_BasedOnObservableSet(sortBlock:byScore, count: 6, elements: "
          "e0=0, e1=1, e2=2, e3=3, e4=4, ...)"},
  };
  for (const Case& c : cases) {
    std::vector<Scored> elements;
    for (int i = 0; i < c.count; ++i) elements.push_back(scored("e" + std::to_string(i), i));
    EXPECT_EQ(View::create(Set::create(elements), kByScore)->description(), c.text);
  }
}

TEST_F(SortedSetViewTest, AReleasedViewNoLongerFollowsAndTheBaseGoesOn) {
  auto view = View::create(base, kByScore);
  record(*view, owner, log);
  std::vector<std::string> baseLog;
  base->observers().createNew(owner, [&baseLog](ObservableSetObserver<Scored>& o) {
    o.inserted = [&baseLog](Set&, const Scored& e) { baseLog.push_back(describe(e)); };
  });
  view.reset();
  base->insert(scored("z", 0));
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(baseLog, std::vector<std::string>{"z=0"});
}

TEST_F(SortedSetViewTest, IterationReadsTheCurrentContent) {
  auto view = View::create(base, kByScore);
  std::string seen;
  auto it = view->makeIterator();
  while (const std::optional<Scored> s = it.next()) {
    seen += s->id;
    if (s->id == "a") base->insert(scored("z", 9));
  }
  EXPECT_EQ(seen, "abcz");
}

}  // namespace
}  // namespace vantrel
