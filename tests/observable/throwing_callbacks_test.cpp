// Caller code that throws: inside a delivery (observers, a view's filter or
// comparator while it follows its base) the program stops through `fatal`
// naming the collection and the event; outside one (creating a view, a new
// filter or sort block) the throw reaches the caller and nothing changed.
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/observable/observable_test_support.h"
#include "vantrel/observable/optionally_filtered_optionally_sorted_array_based_on_kerray.h"
#include "vantrel/observable/optionally_filtered_set_based_on_kerray.h"
#include "vantrel/observable/optionally_filtered_set_based_on_observable_set.h"

namespace vantrel {
namespace {

using testing::row;
using testing::Row;
using testing::rows;

using Rows = Kerray<Row>;
using View = OptionallyFilteredOptionallySortedArray_BasedOnKerray<Row>;
using SetView = OptionallyFilteredSet_BasedOnKerray<Row>;
using StringSetView = OptionallyFilteredSet_BasedOnObservableSet<std::string>;

[[noreturn]] void boom() { throw std::runtime_error("boom"); }

// Passes every row but "x", whose judgement throws.
bool throwsOnX(const Row& r) {
  if (r.id == "x") boom();
  return true;
}
// Orders by id; any comparison with "x" throws.
const NamedSortBlock<Row> byIdThrowingOnX("byId", [](const Row& a, const Row& b) {
  if (a.id == "x" || b.id == "x") boom();
  return a.id < b.id;
});
const NamedSortBlock<Row> byId("byId", [](const Row& a, const Row& b) { return a.id < b.id; });

struct DeathCase {
  const char* name;
  std::function<void()> run;
  const char* message;
};

TEST(ThrowingCallbacks, InsideADeliveryTheProgramStopsNamingTheCollectionAndTheEvent) {
  const std::vector<DeathCase> cases = {
      {"observer of the keyed array",
       [] {
         auto k = Rows::create(rows("ab"));
         auto owner = std::make_shared<int>(0);
         k->observers().createNew(owner, [](KerrayObserver<Row>& o) {
           o.removed = [](Rows&, std::int64_t, const Row&) { boom(); };
         });
         k->removeElementWithKey("a");
       },
       "Uncaught exception in an observer of Kerray on \"removed\": boom"},
      {"observer of the set",
       [] {
         auto s = ObservableSet<std::string>::create();
         auto owner = std::make_shared<int>(0);
         s->observers().createNew(owner, [](ObservableSetObserver<std::string>& o) {
           o.inserted = [](ObservableSet<std::string>&, const std::string&) { boom(); };
         });
         s->insert("a");
       },
       "Uncaught exception in an observer of ObservableSet on \"inserted\": boom"},
      {"filter of a filter-only view",
       [] {
         auto k = Rows::create(rows("ab"));
         auto v = View::create(k, throwsOnX);
         k->insert(row("x"), 1);
       },
       "Uncaught exception in OptionallyFilteredOptionallySortedArray_BasedOnKerray following \"inserted\": boom"},
      {"comparator of a sorted view on append",
       [] {
         auto k = Rows::create(rows("abc"));
         auto v = View::create(k, {}, byIdThrowingOnX);
         k->append(row("x"));
       },
       "Uncaught exception in OptionallyFilteredOptionallySortedArray_BasedOnKerray following \"inserted\": boom"},
      {"comparator of a sorted view on a batch update",
       [] {
         auto k = Rows::create(rows("abc"));
         auto v = View::create(k, {}, byIdThrowingOnX);
         k->update(std::vector<Row>{row("b", "new")});
         k->update(std::vector<Row>{row("x")});  // absent: skipped, nothing judged
         k->update(row("x"), 0);
       },
       "Uncaught exception in OptionallyFilteredOptionallySortedArray_BasedOnKerray following \"inserted\": "
       "boom"},
      {"observer of a view, moved then updated",
       [] {
         auto k = Rows::create({row("a", "1"), row("b", "2")});
         auto v = View::create(k, {}, NamedSortBlock<Row>("byPayload", [](const Row& a, const Row& b) {
                                      return a.payload < b.payload;
                                    }));
         auto owner = std::make_shared<int>(0);
         v->observers().createNew(owner, [](OptionallyFilteredOptionallySortedArray_BasedOnKerrayObserver<Row>& o) {
           o.updated = [](View&, std::int64_t, const Row&) { boom(); };
         });
         k->update(row("a", "3"));
       },
       "Uncaught exception in an observer of OptionallyFilteredOptionallySortedArray_BasedOnKerray on \"updated\": "
       "boom"},
      {"filter of the keyed set view",
       [] {
         auto k = Rows::create(rows("ab"));
         auto v = SetView::create(k, throwsOnX);
         k->insertMultiple({row("y"), row("x")}, 0);
       },
       "Uncaught exception in OptionallyFilteredSet_BasedOnKerray following \"insertedMultipleContinuous\": boom"},
      {"filter of the set view",
       [] {
         auto s = ObservableSet<std::string>::create({"a"});
         auto v = StringSetView::create(s, [](const std::string& e) {
           if (e == "x") boom();
           return true;
         });
         s->update("x");
       },
       "Uncaught exception in OptionallyFilteredSet_BasedOnObservableSet following \"inserted\": boom"},
  };
  for (const DeathCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_DEATH(c.run(), c.message);
  }
}

// The one case the filer met: before, the view counted 3 elements while
// holding 4 keys, and a later removal by key crashed.
TEST(ThrowingCallbacks, ThrowingComparatorNoLongerLeavesTheViewHalfChanged) {
  EXPECT_DEATH(
      {
        auto k = Rows::create(rows("abc"));
        auto v = View::create(k, {}, byIdThrowingOnX);
        try {
          k->append(row("x"));
        } catch (...) {
        }
        k->removeElementWithKey("x");
      },
      "following \"inserted\": boom");
}

TEST(ThrowingCallbacks, OutsideADeliveryTheThrowReachesTheCallerAndNothingChanges) {
  auto k = Rows::create({row("a"), row("x"), row("b")});
  EXPECT_THROW((void)View::create(k, throwsOnX), std::runtime_error);
  EXPECT_THROW((void)View::create(k, {}, byIdThrowingOnX), std::runtime_error);
  EXPECT_THROW((void)SetView::create(k, throwsOnX), std::runtime_error);

  for (const bool sorted : {false, true}) {
    SCOPED_TRACE(sorted ? "sorted" : "filter-only");
    auto v = View::create(k, [](const Row& r) { return r.id != "b"; },
                          sorted ? std::optional<NamedSortBlock<Row>>(byId) : std::nullopt);
    std::vector<std::string> log;
    auto owner = std::make_shared<int>(0);
    v->observers().createNew(owner, [&log](OptionallyFilteredOptionallySortedArray_BasedOnKerrayObserver<Row>& o) {
      o.filterChanged = [&log](View&) { log.push_back("filterChanged"); };
      o.sortingChanged = [&log](View&, const std::optional<std::string>&) { log.push_back("sortingChanged"); };
    });
    const std::vector<Row> before = v->content();
    EXPECT_THROW(v->setFilterBlock(throwsOnX), std::runtime_error);
    EXPECT_THROW(v->setSortBlock(NamedSortBlock<Row>("other", byIdThrowingOnX.sortBlock())), std::runtime_error);
    EXPECT_EQ(v->content(), before);
    EXPECT_TRUE(v->filterBlock()(row("a")));
    EXPECT_FALSE(v->filterBlock()(row("b")));
    EXPECT_EQ(v->sortBlock().has_value(), sorted);
    EXPECT_EQ(log, std::vector<std::string>{});
    // It still follows its base.
    k->append(row("c"));
    EXPECT_EQ(v->count(), 3);
    k->removeElementWithKey("c");
    EXPECT_EQ(v->content(), before);
  }

  auto set = SetView::create(k, [](const Row& r) { return r.id != "b"; });
  EXPECT_THROW(set->setFilterBlock(throwsOnX), std::runtime_error);
  EXPECT_EQ(set->count(), 2);
  EXPECT_FALSE(set->filterBlock()(row("b")));
}

// A closure that replaces or clears itself while it runs keeps running on
// the function it started with; a second delivery finds the new closure.
TEST(ThrowingCallbacks, SelfReplacingClosureRunsToItsEnd) {
  auto k = Rows::create();
  auto owner = std::make_shared<int>(0);
  std::vector<std::string> log;
  auto observer = k->observers().createNew(owner);
  auto state = std::make_shared<std::string>("first closure");
  observer->inserted = [&log, &observer, state](Rows&, std::int64_t, const Row& e) {
    observer->inserted = [&log](Rows&, std::int64_t, const Row& e2) { log.push_back("second closure " + e2.id); };
    log.push_back(*state + " " + e.id);  // the captures of the replaced closure are still alive
  };
  state.reset();
  k->append(row("a"));
  k->append(row("b"));
  EXPECT_EQ(log, (std::vector<std::string>{"first closure a", "second closure b"}));
}

}  // namespace
}  // namespace vantrel
