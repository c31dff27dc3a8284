#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/observable/observable_test_support.h"
#include "tests/support/fixtures.h"
#include "vantrel/core/console.h"
#include "vantrel/observable/optionally_filtered_set_based_on_kerray.h"
#include "vantrel/observable/optionally_filtered_set_based_on_observable_set.h"

namespace vantrel {
namespace {

using testing::row;
using testing::Row;
using testing::rows;
using testing::Tag;

Tag tag(std::string id, int version = 0) { return Tag{std::move(id), version}; }

template <class Range>
std::string sortedTexts(const Range& elements) {
  std::vector<std::string> texts;
  for (const auto& e : elements) texts.push_back(describe(e));
  std::sort(texts.begin(), texts.end());
  return describe(texts);
}

// ---- View of an observable set ----

using Tags = ObservableSet<Tag>;
using TagView = OptionallyFilteredSet_BasedOnObservableSet<Tag>;

bool odd(const Tag& t) { return t.version % 2 == 1; }

class SetViewTest : public ::testing::Test {
 protected:
  std::shared_ptr<Tags> base = Tags::create({tag("a", 1), tag("b", 2), tag("c", 3)});
  std::shared_ptr<TagView> view = TagView::create(base, odd);
  std::vector<std::string> log;

  void record() {
    view->observers().createNew(view, [this](OptionallyFilteredSet_BasedOnObservableSetObserver<Tag>& o) {
      o.filterChanged = [this](TagView&) { log.push_back("filterChanged"); };
      o.replacedContent = [this](TagView&) { log.push_back("replacedContent"); };
      o.removedAll = [this](TagView&) { log.push_back("removedAll"); };
      o.inserted = [this](TagView&, const Tag& e) { log.push_back("inserted " + describe(e)); };
      o.insertedMultiple = [this](TagView&, const std::vector<Tag>& e) {
        log.push_back("insertedMultiple " + describe(e));
      };
      o.updated = [this](TagView&, const Tag& e) { log.push_back("updated " + describe(e)); };
      o.removed = [this](TagView&, const Tag& e) { log.push_back("removed " + describe(e)); };
      o.removedMultiple = [this](TagView&, const ObservableSetElements<Tag>& e) {
        log.push_back("removedMultiple " + sortedTexts(e));
      };
    });
  }
};

TEST_F(SetViewTest, WithoutAFilterItIsAWindowOnTheBase) {
  view = TagView::create(base);
  record();
  EXPECT_FALSE(view->inElements().has_value());
  EXPECT_EQ(view->count(), 3);
  EXPECT_EQ(view->subscript(tag("b"))->version, 2);
  EXPECT_EQ(view->description(), "OptionallyFilteredSet_BasedOnObservableSet(NO FILTER, total count 3)");
  base->insert(tag("d", 2));
  base->insertMultiple({tag("e")});
  base->update(tag("a", 4));
  base->remove(tag("b"));
  base->remove(std::vector<Tag>{tag("c")});
  base->removeAll();
  EXPECT_EQ(log, (std::vector<std::string>{"inserted d#2", "insertedMultiple [e]", "updated a#4", "removed b",
                                           "removedMultiple [\"c#3\"]", "removedAll"}));
  EXPECT_TRUE(view->isEmpty());
}

TEST_F(SetViewTest, FilteredContentAndDescription) {
  EXPECT_EQ(sortedTexts(*view), "[\"a#1\", \"c#3\"]");
  EXPECT_EQ(view->description(), "OptionallyFilteredSet_BasedOnObservableSet(in count 2, total count 3)");
  EXPECT_EQ(view->subscript(tag("b")), std::nullopt);
}

TEST_F(SetViewTest, InsertionsThroughTheBaseAndTheView) {
  record();
  base->insert(tag("d", 2));  // rejected: silent
  view->insert(tag("e", 5));
  EXPECT_THROW_DESCRIPTION(view->insert(std::vector<Tag>{tag("f", 7), tag("a"), tag("g", 9)}), Tags::Errur,
                           "elementAlreadyPresent(\"a\")");
  EXPECT_FALSE(base->subscript(tag("g")).has_value()) << "the first error stops the loop";
  EXPECT_EQ(log, (std::vector<std::string>{"inserted e#5", "inserted f#7"}));
}

TEST_F(SetViewTest, BatchInsertionReportsOnlyWhatEnters) {
  record();
  // c is held already, x is repeated, b's stored value (version 2) fails
  // although the argument (version 9) would pass.
  EXPECT_THROW(base->insertMultiple({tag("c", 3), tag("x", 1), tag("x", 1), tag("b", 9), tag("y", 2)}),
               Tags::Errur);
  EXPECT_EQ(log, (std::vector<std::string>{"insertedMultiple [x#1]"}));
  EXPECT_EQ(sortedTexts(*view), "[\"a#1\", \"c#3\", \"x#1\"]");
  log.clear();
  base->insertMultiple({tag("z", 2)});
  EXPECT_TRUE(log.empty()) << "nothing passes: no event";
}

TEST_F(SetViewTest, UpdatesEnterLeaveOrStayWithTheNewValue) {
  record();
  base->update(tag("b", 5));  // enters
  base->update(tag("a", 2));  // leaves
  base->update(tag("c", 7));  // stays, with the new value
  base->update(tag("a", 4));  // still rejected: silent
  EXPECT_EQ(log, (std::vector<std::string>{"inserted b#5", "removed a#2", "updated c#7"}));
  EXPECT_EQ(view->subscript(tag("c"))->version, 7);
}

TEST_F(SetViewTest, BatchUpdateIsFollowedElementByElement) {
  record();
  ConsoleCapture quiet;
  base->updateMultiple({tag("b", 5), tag("a", 2), tag("c", 9), tag("n", 1)});
  ASSERT_EQ(log.size(), 5u);
  EXPECT_EQ(log[0], "inserted n#1") << "during the base's walk";
  std::sort(log.begin() + 1, log.end());  // the rest in the order of the reported set
  EXPECT_EQ(log, (std::vector<std::string>{"inserted n#1", "inserted b#5", "removed a#2", "updated c#9",
                                           "updated n#1"}));
  EXPECT_EQ(sortedTexts(*view), "[\"b#5\", \"c#9\", \"n#1\"]");
}

TEST_F(SetViewTest, RemovalTakesOutAHeldElementWhateverTheNamedValue) {
  record();
  ConsoleCapture capture;
  base->remove(tag("a", 2));  // the argument's version fails the filter; a#1 is held
  base->remove(std::vector<Tag>{tag("c", 0), tag("b")});
  base->remove(std::vector<Tag>{tag("b")});
  EXPECT_TRUE(view->isEmpty());
  EXPECT_EQ(capture.standardOutput(), "WARNING! Element to remove not present: b\n");
  EXPECT_EQ(log, (std::vector<std::string>{"removed a#1", "removedMultiple [\"c#3\"]", "removedMultiple []"}));
}

TEST_F(SetViewTest, FilterChangeAndWholeContentEvents) {
  record();
  view->setFilterBlock({});
  EXPECT_FALSE(view->inElements().has_value());
  view->setFilterBlock({});
  view->setFilterBlock([](const Tag& t) { return t.id != "a"; });
  EXPECT_EQ(sortedTexts(*view->inElements()), "[\"b#2\", \"c#3\"]");
  base->replaceContent({tag("a"), tag("q")});
  EXPECT_EQ(sortedTexts(*view), "[\"q\"]");
  base->removeAll();
  EXPECT_EQ(view->count(), 0);
  EXPECT_TRUE(view->inElements().has_value());
  EXPECT_EQ(log, (std::vector<std::string>{"filterChanged", "filterChanged", "filterChanged", "replacedContent",
                                           "removedAll"}));
}

TEST_F(SetViewTest, ReleasedViewNoLongerReacts) {
  int baseCalls = 0;
  auto owner = std::make_shared<int>(0);
  base->observers().createNew(owner, [&](ObservableSetObserver<Tag>& o) {
    o.inserted = [&](Tags&, const Tag&) { ++baseCalls; };
  });
  std::weak_ptr<TagView> weak = view;
  view.reset();
  EXPECT_TRUE(weak.expired());
  base->insert(tag("z", 1));
  EXPECT_EQ(baseCalls, 1);
}

// ---- View of a keyed array ----

using Rows = Kerray<Row>;
using RowView = OptionallyFilteredSet_BasedOnKerray<Row>;

bool notB(const Row& r) { return r.payload != "hidden"; }

class KerraySetViewTest : public ::testing::Test {
 protected:
  std::shared_ptr<Rows> base = Rows::create({row("a"), row("b", "hidden"), row("c")});
  std::shared_ptr<RowView> view = RowView::create(base, notB);
  std::vector<std::string> log;

  void record() {
    view->observers().createNew(view, [this](OptionallyFilteredSet_BasedOnKerrayObserver<Row>& o) {
      using S = ObservableSetElements<Row>;
      o.filterChanged = [this](RowView&) { log.push_back("filterChanged"); };
      o.replacedContent = [this](RowView&) { log.push_back("replacedContent"); };
      o.removedAll = [this](RowView&) { log.push_back("removedAll"); };
      o.inserted = [this](RowView&, const Row& e) { log.push_back("inserted " + describe(e)); };
      o.insertedMultiple = [this](RowView&, const S& e) { log.push_back("insertedMultiple " + sortedTexts(e)); };
      o.removed = [this](RowView&, const Row& e) { log.push_back("removed " + describe(e)); };
      o.removedMultiple = [this](RowView&, const S& e) { log.push_back("removedMultiple " + sortedTexts(e)); };
      o.updated = [this](RowView&, const Row& e) { log.push_back("updated " + describe(e)); };
      o.updatedMultiple = [this](RowView&, const S& e) { log.push_back("updatedMultiple " + sortedTexts(e)); };
    });
  }
};

TEST_F(KerraySetViewTest, ContentDescriptionAndKeyedMembership) {
  EXPECT_EQ(sortedTexts(*view), "[\"a\", \"c\"]");
  EXPECT_EQ(view->description(), "FilterSet(in 2 of total 3)");
  EXPECT_TRUE(view->contains(row("a", "other payload"))) << "identified by key";
  EXPECT_FALSE(view->contains(row("b")));
  EXPECT_EQ(RowView::create(base)->description(), "FilterSet(in 3 of total 3)");
  EXPECT_EQ(RowView::create(Rows::create())->description(), "FilterSet(in 0 of total 0)");
}

TEST_F(KerraySetViewTest, InsertionsAndBatchInsertions) {
  record();
  base->append(row("h", "hidden"));
  base->append(row("d"));
  base->appendMultiple({row("x", "hidden")});
  base->insertMultipleDistributed({row("e"), row("f", "hidden")}, {0, 0});
  EXPECT_EQ(log, (std::vector<std::string>{"inserted d", "insertedMultiple []", "insertedMultiple [\"e\"]"}));
}

TEST_F(KerraySetViewTest, RemovalsGoByKeyWhateverTheFilterSays) {
  record();
  base->update(row("a", "hidden"), 0);  // a leaves
  base->remove(row("b"));               // never held: silent
  base->removeAtIndexes({0, 1});        // a (not held) and c
  base->append(row("d"));
  base->removeAll();
  EXPECT_EQ(log, (std::vector<std::string>{"removed a:hidden", "removedMultiple [\"c\"]", "inserted d",
                                           "removedAll"}));
  EXPECT_TRUE(view->isEmpty());
}

TEST_F(KerraySetViewTest, UpdatesKeepTheNewValue) {
  record();
  base->update(row("c", "new"));
  base->update(row("b", "shown"));
  base->update(row("a", "hidden"));
  base->update(row("a", "hidden"));
  EXPECT_EQ(log, (std::vector<std::string>{"updated c:new", "inserted b:shown", "removed a:hidden"}));
  EXPECT_EQ(sortedTexts(*view), "[\"b:shown\", \"c:new\"]");
}

TEST_F(KerraySetViewTest, BatchUpdateReportsLeavingThenStayingThenEntering) {
  std::vector<std::string> countsSeen;
  record();
  view->observers().createNew(view, [&](OptionallyFilteredSet_BasedOnKerrayObserver<Row>& o) {
    o.removedMultiple = [&](RowView& v, const ObservableSetElements<Row>&) {
      countsSeen.push_back(std::to_string(v.count()));
    };
  });
  base->update(std::vector<Row>{row("a", "hidden"), row("b", "shown"), row("c", "new")});
  EXPECT_EQ(log, (std::vector<std::string>{"removedMultiple [\"a:hidden\"]", "updatedMultiple [\"c:new\"]",
                                           "insertedMultiple [\"b:shown\"]"}));
  EXPECT_EQ(countsSeen, (std::vector<std::string>{"1"})) << "without the leaving one, before the entering one";
  EXPECT_EQ(sortedTexts(*view), "[\"b:shown\", \"c:new\"]");
  log.clear();
  base->update(std::vector<Row>{row("z")});
  EXPECT_EQ(log, (std::vector<std::string>{"removedMultiple []", "updatedMultiple []", "insertedMultiple []"}));
}

TEST_F(KerraySetViewTest, MovesChangeNothing) {
  record();
  base->move(0, 2);
  base->move(std::vector<std::int64_t>{0, 1}, 1);
  EXPECT_TRUE(log.empty());
}

TEST_F(KerraySetViewTest, FilterChanges) {
  record();
  view->setFilterBlock({});
  EXPECT_EQ(view->count(), 3);
  view->setFilterBlock({});  // none over none: nothing
  view->setFilterBlock([](const Row& r) { return r.id == "b"; });
  EXPECT_EQ(sortedTexts(*view), "[\"b:hidden\"]");
  base->replaceContent({row("b"), row("q")});
  EXPECT_EQ(log, (std::vector<std::string>{"filterChanged", "filterChanged", "replacedContent"}));
  EXPECT_EQ(sortedTexts(*view), "[\"b\"]");
}

TEST_F(KerraySetViewTest, RepeatedKeyInTheBaseStaysUntilItsLastElementGoes) {
  view = RowView::create(base);
  record();
  base->appendWithoutContainsCheck(row("a", "2"));
  base->removeAtIndex(0);
  EXPECT_TRUE(view->contains(row("a"))) << "the base still holds a:2";
  base->remove(row("a"));
  EXPECT_FALSE(view->contains(row("a")));
  EXPECT_EQ(log, (std::vector<std::string>{"removed a"}));
}

}  // namespace
}  // namespace vantrel
