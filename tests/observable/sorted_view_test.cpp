#include "vantrel/observable/optionally_filtered_optionally_sorted_array_based_on_kerray.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/observable/observable_test_support.h"
#include "tests/support/fixtures.h"
#include "vantrel/core/console.h"

namespace vantrel {
namespace {

using testing::row;
using testing::Row;
using testing::rows;

using Rows = Kerray<Row>;
using View = OptionallyFilteredOptionallySortedArray_BasedOnKerray<Row>;
using Positions = std::vector<std::int64_t>;

const NamedSortBlock<Row> byId("byId", [](const Row& a, const Row& b) { return a.id < b.id; });
const NamedSortBlock<Row> byPayload("byPayload", [](const Row& a, const Row& b) { return a.payload < b.payload; });
bool shown(const Row& r) { return r.payload != "hidden"; }

std::string ids(const View& v) {
  std::string out;
  for (const Row& r : v.content()) out += r.id;
  return out;
}

class SortedViewTest : public ::testing::Test {
 protected:
  std::shared_ptr<Rows> base = Rows::create({row("c"), row("a"), row("d", "hidden"), row("b")});
  std::vector<std::string> log;

  void record(View& view, const std::string& prefix = "") {
    view.observers().createNew(base, [this, prefix](OptionallyFilteredOptionallySortedArray_BasedOnKerrayObserver<Row>& o) {
      using V = std::vector<Row>;
      o.sortingChanged = [this, prefix](View&, const std::optional<std::string>& code) {
        log.push_back(prefix + "sortingChanged " + describe(code));
      };
      o.filterChanged = [this, prefix](View&) { log.push_back(prefix + "filterChanged"); };
      o.replacedContent = [this, prefix](View&) { log.push_back(prefix + "replacedContent"); };
      o.removedAll = [this, prefix](View&) { log.push_back(prefix + "removedAll"); };
      o.inserted = [this, prefix](View&, std::int64_t i, const Row& e) {
        log.push_back(prefix + "inserted " + std::to_string(i) + " " + describe(e));
      };
      o.insertedMultipleContinuous = [this, prefix](View&, std::int64_t i, const V& e) {
        log.push_back(prefix + "insertedMultipleContinuous " + std::to_string(i) + " " + describe(e));
      };
      o.insertedMultipleDistributed = [this, prefix](View&, const Positions& i, const V& e) {
        log.push_back(prefix + "insertedMultipleDistributed " + describe(i) + " " + describe(e));
      };
      o.removed = [this, prefix](View&, std::int64_t i, const Row& e) {
        log.push_back(prefix + "removed " + std::to_string(i) + " " + describe(e));
      };
      o.removedMultiple = [this, prefix](View&, const Positions& i, const V& e) {
        log.push_back(prefix + "removedMultiple " + describe(i) + " " + describe(e));
      };
      o.updated = [this, prefix](View&, std::int64_t i, const Row& e) {
        log.push_back(prefix + "updated " + std::to_string(i) + " " + describe(e));
      };
      o.moved = [this, prefix](View&, std::int64_t f, std::int64_t t, const Row& e) {
        log.push_back(prefix + "moved " + std::to_string(f) + " " + std::to_string(t) + " " + describe(e));
      };
      o.movedMultiple = [this, prefix](View&, const Positions& f, std::int64_t t, const V& e) {
        log.push_back(prefix + "movedMultiple " + describe(f) + " " + std::to_string(t) + " " + describe(e));
      };
    });
  }
};

TEST_F(SortedViewTest, NaturalOrderReadsThroughAndPassesReportsOn) {
  auto view = View::create(base);
  record(*view);
  EXPECT_EQ(ids(*view), "cadb");
  EXPECT_EQ(&view->content(), &base->array()) << "no copy";
  base->append(row("e"));
  base->move(0, 1);
  base->update(std::vector<Row>{row("a", "1"), row("b", "2")});
  base->removeAll();
  EXPECT_EQ(log, (std::vector<std::string>{"inserted 4 e", "moved 0 1 c", "updated 0 a:1", "updated 3 b:2",
                                           "removedAll"}));
  EXPECT_TRUE(view->isEmpty());
}

TEST_F(SortedViewTest, DescriptionsAndReads) {
  auto none = View::create(base, [](const Row&) { return false; });
  EXPECT_EQ(none->description(),
            "OptionallyFilteredOptionallySortedArray_BasedOnKerray(sortBlock:n/a, count: 0, elements: <none>)");
  auto sorted = View::create(base, shown, byId);
  EXPECT_EQ(sorted->description(),
            "OptionallyFilteredOptionallySortedArray_BasedOnKerray(sortBlock:byId, count: 3, elements: a, b, c)");
  EXPECT_EQ(sorted->subscriptIndex(3), std::nullopt);
  EXPECT_EQ(sorted->subscriptIndex(-1), std::nullopt);
  EXPECT_EQ(sorted->subscriptIndex(2), row("c"));
  EXPECT_TRUE(sorted->contains(row("a", "other")));
  EXPECT_FALSE(sorted->containsElementWithKey("d"));

  auto many = Rows::create(rows("abcdefghijk"));
  EXPECT_EQ(View::create(many, {}, byId)->description(),
            "OptionallyFilteredOptionallySortedArray_BasedOnKerray(sortBlock:byId, count: 11, elements: "
            "a, b, c, d, e, f, g, h, i, j, ...)");
}

TEST_F(SortedViewTest, IndexOfOutsideNaturalOrderPrintsItsCost) {
  auto view = View::create(base, {}, byId);
  ConsoleCapture capture;
  EXPECT_EQ(view->indexOf(row("z")), std::nullopt);
  EXPECT_EQ(capture.standardOutput(), "");
  EXPECT_EQ(view->indexOf(row("c", "other")), 2);
  EXPECT_EQ(capture.standardOutput(), "👎👎👎👎 very expensive!\n");
  capture.clear();
  EXPECT_EQ(View::create(base)->indexOf(row("d")), 2);
  EXPECT_EQ(capture.standardOutput(), "");
}

TEST_F(SortedViewTest, SortAndFilterChanges) {
  auto view = View::create(base, shown);
  record(*view);
  view->setSortBlock(byId);
  EXPECT_EQ(ids(*view), "abc");
  view->setSortBlock(NamedSortBlock<Row>("byId", [](const Row& a, const Row& b) { return a.id > b.id; }));
  EXPECT_EQ(ids(*view), "abc") << "same code: the current comparator stays in use";
  base->append(row("bb"));
  EXPECT_EQ(ids(*view), "abbbc");
  view->setSortBlock(std::nullopt);
  EXPECT_EQ(ids(*view), "cabbb");
  view->setFilterBlock(shown);
  view->setFilterBlock({});
  EXPECT_EQ(&view->content(), &base->array()) << "back in natural order";
  view->setFilterBlock({});
  EXPECT_EQ(log, (std::vector<std::string>{"sortingChanged Optional(\"byId\")", "inserted 2 bb",
                                           "sortingChanged nil", "filterChanged", "filterChanged"}));
}

TEST_F(SortedViewTest, PositionalMutationsOnlyInNaturalOrder) {
  auto view = View::create(base, {}, byId);
  record(*view);
  EXPECT_THROW_DESCRIPTION(view->insertAtIndex(row("x"), 0), View::Errors, "CurrentlyNotSortedInNaturalOrder");
  EXPECT_THROW_DESCRIPTION(view->moveFrom(0, 1), View::Errors, "CurrentlyNotSortedInNaturalOrder");
  EXPECT_THROW_DESCRIPTION(view->moveFrom(Positions{0}, 1), View::Errors, "CurrentlyNotSortedInNaturalOrder");
  EXPECT_EQ(base->count(), 4);
  EXPECT_TRUE(log.empty());

  auto natural = View::create(base);
  natural->insertAtIndex(row("x"), 1);
  natural->moveFrom(2, 2);
  natural->moveFrom(0, 1);
  EXPECT_THROW_DESCRIPTION(natural->insertAtIndex(row("x"), 0), Rows::Errur, "elementAlreadyPresent(\"x\")");
  EXPECT_EQ(ids(*natural), "xcadb");
}

TEST_F(SortedViewTest, SortedInsertions) {
  auto view = View::create(base, shown, byId);
  record(*view);
  base->append(row("0"));
  base->append(row("e", "hidden"));
  base->appendMultiple({row("f"), row("bb"), row("g", "hidden")});
  base->appendMultiple({row("h", "hidden")});
  EXPECT_EQ(ids(*view), "0abbbcf");
  EXPECT_EQ(log, (std::vector<std::string>{"inserted 0 0", "insertedMultipleDistributed [3, 5] [bb, f]",
                                           "insertedMultipleDistributed [] []"}));
}

TEST_F(SortedViewTest, TiedElementGoesInFrontOfItsEquals) {
  auto view = View::create(Rows::create({row("a", "1"), row("b", "1")}), {}, byPayload);
  view->baseKerray()->append(row("c", "1"));
  EXPECT_EQ(ids(*view), "cab");
}

TEST_F(SortedViewTest, SortedUpdatesStayOrMoveThenUpdate) {
  auto view = View::create(base, {}, byPayload);  // d:hidden, then a, b, c (ties by base order)
  EXPECT_EQ(ids(*view), "cabd");
  record(*view, "first: ");
  record(*view, "second: ");
  base->update(row("a", "1"));  // a sorts behind the empty payloads
  base->update(row("c", ""));   // stays
  EXPECT_EQ(ids(*view), "cbad");
  EXPECT_EQ(log, (std::vector<std::string>{"first: moved 1 2 a:1", "first: updated 2 a:1", "second: moved 1 2 a:1",
                                           "second: updated 2 a:1", "first: updated 0 c", "second: updated 0 c"}));
}

TEST_F(SortedViewTest, FilteredUpdatesEnterAndLeave) {
  auto view = View::create(base, shown, byId);
  record(*view);
  base->update(row("d", "shown"));   // enters at its sorted place
  base->update(row("a", "hidden"));  // leaves, reported with the new value
  base->update(row("a", "hidden"));  // still hidden: nothing
  EXPECT_EQ(ids(*view), "bcd");
  EXPECT_EQ(log, (std::vector<std::string>{"inserted 3 d:shown", "removed 0 a:hidden"}));
}

TEST_F(SortedViewTest, FilterOnlyUpdatesKeepTheNewValueAndBaseOrder) {
  auto view = View::create(base, shown);  // c a b
  record(*view);
  base->update(row("a", "new"));
  EXPECT_EQ(view->content()[1], row("a", "new"));
  base->update(row("d", "shown"));  // enters behind a, the shown element in front of it in the base
  base->insert(row("x"), 0);
  EXPECT_EQ(ids(*view), "xcadb");
  EXPECT_EQ(log, (std::vector<std::string>{"updated 1 a:new", "inserted 2 d:shown", "inserted 0 x"}));
}

TEST_F(SortedViewTest, FilterOnlyFollowsBaseMovesInViewPositions) {
  auto view = View::create(base, shown);  // base c a d b, view c a b
  record(*view);
  base->move(3, 0);                         // b c a d: view b c a
  base->move(3, 2);                         // b c d a: d is hidden, a keeps its place among the shown
  base->move(Positions{0, 2}, 2);           // c a b d: view c a b
  EXPECT_EQ(ids(*view), "cab");
  EXPECT_EQ(log, (std::vector<std::string>{"moved 2 0 b", "movedMultiple [0] 2 [b]"}));
}

TEST_F(SortedViewTest, SortedViewIgnoresBaseMoves) {
  auto view = View::create(base, {}, byId);
  record(*view);
  base->move(0, 3);
  base->move(Positions{0, 1}, 2);
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(ids(*view), "abcd");
}

TEST_F(SortedViewTest, RemovalsByKeyWhateverTheFilterSays) {
  auto view = View::create(base, shown, byId);
  record(*view);
  base->update(row("b", "hidden"), 3);     // leaves
  base->removeElementWithKey("d");         // never shown: nothing
  base->remove(std::vector<Row>{row("c"), row("a")});
  EXPECT_TRUE(view->isEmpty());
  EXPECT_EQ(log, (std::vector<std::string>{"removed 1 b:hidden", "removedMultiple [1, 0] [c, a]"}));
}

TEST_F(SortedViewTest, WholeContentEvents) {
  auto view = View::create(base, shown, byId);
  record(*view);
  base->replaceContent({row("z"), row("y", "hidden"), row("x")});
  EXPECT_EQ(ids(*view), "xz");
  base->removeAll();
  EXPECT_TRUE(view->isEmpty());
  base->append(row("m"));
  EXPECT_EQ(log, (std::vector<std::string>{"replacedContent", "removedAll", "inserted 0 m"}));
}

TEST_F(SortedViewTest, IteratorFollowsTheViewAcrossModes) {
  auto view = View::create(base, {}, byId);
  auto it = view->makeIterator();
  EXPECT_EQ(it.next(), row("a"));
  view->setSortBlock(std::nullopt);  // natural order: c a d b
  EXPECT_EQ(it.next(), row("a"));
  view->setSortBlock(byId);
  EXPECT_EQ(it.next(), row("c"));
  EXPECT_EQ(it.next(), row("d", "hidden"));
  EXPECT_EQ(it.next(), std::nullopt);
  std::string seen;
  for (const Row& r : *view) seen += r.id;
  EXPECT_EQ(seen, "abcd");
}

TEST_F(SortedViewTest, PassedOnMutations) {
  auto view = View::create(base, shown, byId);
  EXPECT_EQ(view->update(row("a", "1")), row("a", "1"));
  EXPECT_EQ(view->remove(row("b")), row("b"));
  EXPECT_EQ(view->removeElementWithKey("c"), row("c"));
  EXPECT_EQ(ids(*view), "a");
  view->replaceContent({row("q")});
  EXPECT_EQ(ids(*view), "q");
  view->removeAll();
  EXPECT_TRUE(base->isEmpty());
}

TEST_F(SortedViewTest, ReleasedViewNoLongerReacts) {
  auto view = View::create(base, {}, byId);
  std::weak_ptr<View> weak = view;
  int baseCalls = 0;
  auto owner = std::make_shared<int>(0);
  base->observers().createNew(owner, [&](KerrayObserver<Row>& o) {
    o.inserted = [&](Rows&, std::int64_t, const Row&) { ++baseCalls; };
  });
  view.reset();
  EXPECT_TRUE(weak.expired());
  base->append(row("z"));
  EXPECT_EQ(baseCalls, 1);
}

TEST_F(SortedViewTest, ViewReleasedByItsOwnObserverDuringADelivery) {
  auto view = View::create(base, {}, byId);
  std::weak_ptr<View> weak = view;
  view->observers().createNew(base, [&](OptionallyFilteredOptionallySortedArray_BasedOnKerrayObserver<Row>& o) {
    o.inserted = [&](View& v, std::int64_t, const Row&) {
      view.reset();             // the last holder goes
      EXPECT_EQ(ids(v), "abcdz");  // still safe to read until the delivery ends
    };
  });
  base->append(row("z"));
  EXPECT_TRUE(weak.expired());
}

}  // namespace
}  // namespace vantrel
