#include "vantrel/observable/observable_set.h"

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/observable/observable_test_support.h"
#include "tests/support/fixtures.h"
#include "vantrel/core/console.h"

namespace vantrel {
namespace {

using testing::Tag;
using Tags = ObservableSet<Tag>;

Tag tag(std::string id, int version = 0) { return Tag{std::move(id), version}; }

// The descriptions of a set of tags, sorted (the hash order is not fixed).
std::string sorted(const ObservableSetElements<Tag>& elements) {
  std::vector<std::string> texts;
  for (const Tag& t : elements) texts.push_back(t.description());
  std::sort(texts.begin(), texts.end());
  return describe(texts);
}

class ObservableSetTest : public ::testing::Test {
 protected:
  std::shared_ptr<Tags> set = Tags::create({tag("a"), tag("b")});
  std::shared_ptr<int> owner = std::make_shared<int>(0);
  std::vector<std::string> log;

  void record(const std::string& prefix = "") {
    set->observers().createNew(owner, [this, prefix](ObservableSetObserver<Tag>& o) {
      o.replacedContent = [this, prefix](Tags& s) {
        log.push_back(prefix + "replacedContent " + std::to_string(s.count()));
      };
      o.replacedContentOldContent = [this, prefix](Tags&, const ObservableSetElements<Tag>& old) {
        log.push_back(prefix + "replacedContentOldContent " + sorted(old));
      };
      o.removedAll = [this, prefix](Tags&) { log.push_back(prefix + "removedAll"); };
      o.inserted = [this, prefix](Tags&, const Tag& e) { log.push_back(prefix + "inserted " + describe(e)); };
      o.insertedMultiple = [this, prefix](Tags&, const std::vector<Tag>& e) {
        log.push_back(prefix + "insertedMultiple " + describe(e));
      };
      o.updated = [this, prefix](Tags&, const Tag& e) { log.push_back(prefix + "updated " + describe(e)); };
      o.updatedMultiple = [this, prefix](Tags&, const ObservableSetElements<Tag>& e) {
        log.push_back(prefix + "updatedMultiple " + sorted(e));
      };
      o.removed = [this, prefix](Tags&, const Tag& e) { log.push_back(prefix + "removed " + describe(e)); };
      o.removedMultiple = [this, prefix](Tags&, const ObservableSetElements<Tag>& e) {
        log.push_back(prefix + "removedMultiple " + sorted(e));
      };
    });
  }
};

TEST_F(ObservableSetTest, CreationKeepsTheFirstOfEqualElements) {
  auto s = Tags::create({tag("a", 1), tag("a", 2), tag("b")});
  EXPECT_EQ(s->count(), 2);
  EXPECT_EQ(s->subscript(tag("a"))->version, 1);
  EXPECT_TRUE(Tags::create()->isEmpty());
  EXPECT_FALSE(s->logDelegateCalls());
}

TEST_F(ObservableSetTest, InsertOfAPresentElementThrowsAndChangesNothing) {
  record();
  set->setLogDelegateCalls(true);
  ConsoleCapture capture;
  EXPECT_THROW_DESCRIPTION(set->insert(tag("a", 7)), Tags::Errur, "elementAlreadyPresent(\"a#7\")");
  EXPECT_EQ(set->subscript(tag("a"))->version, 0);
  EXPECT_EQ(capture.standardOutput(), "");
  EXPECT_TRUE(log.empty());
}

TEST_F(ObservableSetTest, InsertLogsItsLineBeforeTheObserversAreCalled) {
  ConsoleCapture capture;
  set->observers().createNew(owner, [&](ObservableSetObserver<Tag>& o) {
    o.inserted = [&](Tags&, const Tag&) { log.push_back("observer saw: " + capture.standardOutput()); };
  });
  set->insert(tag("c"));
  EXPECT_EQ(capture.standardOutput(), "") << "no line while logDelegateCalls is off";
  set->setLogDelegateCalls(true);
  set->insert(tag("d"));
  EXPECT_EQ(capture.standardOutput(), "🍌 inserted d\n");
  EXPECT_EQ(log, (std::vector<std::string>{"observer saw: ", "observer saw: 🍌 inserted d\n"}));
}

TEST_F(ObservableSetTest, InsertMultipleReportsEveryInputElementThenThrowsForThePresentOnes) {
  struct Case {
    std::vector<Tag> input;
    std::string output;
    std::vector<std::string> events;
    std::string error;  // empty: no throw
    std::string content;
  };
  const Case cases[] = {
      {{tag("c"), tag("b")},
       "🍌 inserted [c, b]\n🍌 alreadyExisting [b]\n",
       {"insertedMultiple [c, b]"},
       "elementsAlreadyPresent(\"b\")",
       "[\"a\", \"b\", \"c\"]"},
      {{tag("c"), tag("c", 2)},
       "🍌 inserted [c, c#2]\n🍌 alreadyExisting [c#2]\n",
       {"insertedMultiple [c, c#2]"},
       "elementsAlreadyPresent(\"c#2\")",
       "[\"a\", \"b\", \"c\"]"},
      {{}, "🍌 inserted []\n", {"insertedMultiple []"}, "", "[\"a\", \"b\"]"},
      {{tag("b"), tag("a")},
       "🍌 inserted [b, a]\n🍌 alreadyExisting [b, a]\n",
       {"insertedMultiple [b, a]"},
       "elementsAlreadyPresent(\"b,a\")",
       "[\"a\", \"b\"]"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(describe(c.input));
    set = Tags::create({tag("a"), tag("b")});
    set->setLogDelegateCalls(true);
    log.clear();
    record();
    ConsoleCapture capture;
    if (c.error.empty()) {
      set->insertMultiple(c.input);
    } else {
      EXPECT_THROW_DESCRIPTION(set->insertMultiple(c.input), Tags::Errur, c.error);
    }
    EXPECT_EQ(capture.standardOutput(), c.output);
    EXPECT_EQ(log, c.events);
    EXPECT_EQ(sorted(set->elements()), c.content);
  }
}

TEST_F(ObservableSetTest, UpdateReplacesOrInserts) {
  record();
  set->setLogDelegateCalls(true);
  ConsoleCapture capture;
  EXPECT_EQ(set->update(tag("a", 1)), tag("a"));
  EXPECT_EQ(set->subscript(tag("a"))->version, 1);
  EXPECT_EQ(set->update(tag("x", 1)), std::nullopt);
  EXPECT_EQ(capture.standardOutput(), "🍌 updated a#1\n🍌 inserted x#1\n");
  EXPECT_EQ(log, (std::vector<std::string>{"updated a#1", "inserted x#1"}));
}

TEST_F(ObservableSetTest, UpdateOfTheStoredElementItself) {
  const Tag& stored = *set->elements().find(tag("a"));
  EXPECT_EQ(set->update(stored), tag("a"));
  EXPECT_EQ(set->subscript(tag("a"))->version, 0);
  EXPECT_EQ(set->count(), 2);
}

TEST_F(ObservableSetTest, UpdateMultipleWarnsAndInsertsTheAbsentDuringTheWalk) {
  record();
  ConsoleCapture capture;
  const auto result = set->updateMultiple({tag("a", 2), tag("x")});
  EXPECT_EQ(result, (std::vector<std::optional<Tag>>{tag("a"), std::nullopt}));
  EXPECT_EQ(capture.standardOutput(), "warning: could not find old element\n");
  EXPECT_EQ(log, (std::vector<std::string>{"inserted x", "updatedMultiple [\"a#2\", \"x\"]"}));
  EXPECT_EQ(set->subscript(tag("a"))->version, 2);

  set->setLogDelegateCalls(true);
  capture.clear();
  set->updateMultiple({tag("b", 3), tag("y")});
  EXPECT_EQ(capture.standardOutput(),
            "🍌 updated b#3\nwarning: could not find old element\n🍌 inserted y\n");
}

TEST_F(ObservableSetTest, UpdateMultipleReportsTheStoredOneOfRepeatedElements) {
  record();
  ConsoleCapture capture;
  set->updateMultiple({tag("x", 1), tag("x", 2), tag("a", 3), tag("a", 4)});
  EXPECT_EQ(capture.standardOutput(), "warning: could not find old element\n");
  EXPECT_EQ(set->subscript(tag("x"))->version, 2);
  EXPECT_EQ(set->subscript(tag("a"))->version, 4);
  EXPECT_EQ(log, (std::vector<std::string>{"inserted x#1", "updatedMultiple [\"a#4\", \"x#2\"]"}));
}

TEST_F(ObservableSetTest, ReplaceContentDeliversTwoCompleteWalks) {
  record("first: ");
  auto second = std::make_shared<int>(1);
  set->observers().createNew(second, [&](ObservableSetObserver<Tag>& o) {
    o.replacedContent = [&](Tags&) { log.push_back("second: replacedContent"); };
    o.replacedContentOldContent = [&](Tags&, const ObservableSetElements<Tag>& old) {
      log.push_back("second: replacedContentOldContent " + sorted(old));
    };
  });
  set->setLogDelegateCalls(true);
  ConsoleCapture capture;
  set->replaceContent({tag("q"), tag("q", 2), tag("r")});
  EXPECT_EQ(sorted(set->elements()), "[\"q\", \"r\"]");
  EXPECT_EQ(capture.standardOutput(), "🍌 replacedContent[OldContent]\n");
  EXPECT_EQ(log, (std::vector<std::string>{"first: replacedContent 2", "second: replacedContent",
                                           "first: replacedContentOldContent [\"a\", \"b\"]",
                                           "second: replacedContentOldContent [\"a\", \"b\"]"}));
  log.clear();
  Tags::create()->replaceContent({});  // no observers: nothing to call
  auto empty = Tags::create();
  set = empty;
  record();
  set->replaceContent({});
  EXPECT_EQ(log, (std::vector<std::string>{"replacedContent 0", "replacedContentOldContent []"}));
}

TEST_F(ObservableSetTest, RemoveAllReportsAlsoWhenEmpty) {
  record();
  set->setLogDelegateCalls(true);
  ConsoleCapture capture;
  set->removeAll();
  set->removeAll();
  EXPECT_TRUE(set->isEmpty());
  EXPECT_EQ(capture.standardOutput(), "🍌 removedAll\n🍌 removedAll\n");
  EXPECT_EQ(log, (std::vector<std::string>{"removedAll", "removedAll"}));
}

TEST_F(ObservableSetTest, RemoveOneReportsTheArgumentAndReturnsTheStoredElement) {
  set->update(tag("a", 5));
  record();
  ConsoleCapture capture;
  EXPECT_EQ(set->remove(tag("a", 9))->version, 5);
  EXPECT_EQ(set->remove(tag("z")), std::nullopt);
  EXPECT_EQ(capture.standardOutput(), "WARNING! Element to remove not present: z\n")
      << "the warning is printed with logDelegateCalls off";
  EXPECT_EQ(log, (std::vector<std::string>{"removed a#9"}));
  set->setLogDelegateCalls(true);
  capture.clear();
  set->remove(tag("b"));
  EXPECT_EQ(capture.standardOutput(), "🍌 remove b\n");
}

TEST_F(ObservableSetTest, RemoveSeveral) {
  set->update(tag("b", 4));
  record();
  set->setLogDelegateCalls(true);
  ConsoleCapture capture;
  const auto removed = set->remove(std::vector<Tag>{tag("b"), tag("z"), tag("b", 1)});
  EXPECT_EQ(sorted(removed), "[\"b#4\"]");
  EXPECT_EQ(capture.standardOutput(),
            "🍌 remove b\nWARNING! Element to remove not present: z\n"
            "WARNING! Element to remove not present: b#1\n");
  EXPECT_EQ(log, (std::vector<std::string>{"removedMultiple [\"b#4\"]"}));

  log.clear();
  capture.clear();
  EXPECT_TRUE(set->remove(std::vector<Tag>{tag("y"), tag("z")}).empty());
  EXPECT_EQ(capture.standardOutput(),
            "WARNING! Element to remove not present: y\nWARNING! Element to remove not present: z\n");
  EXPECT_EQ(log, (std::vector<std::string>{"removedMultiple []"}));
}

// The iteration shares the content and the set copies it only when it
// changes meanwhile: every kind of change leaves a running iteration alone.
TEST_F(ObservableSetTest, IterationWalksTheContentOfItsStart) {
  ConsoleCapture quiet;
  const std::vector<std::function<void(Tags&)>> changes = {
      [](Tags& s) { s.insert(tag("c")); },
      [](Tags& s) { s.update(Tag{"a", 7}); },
      [](Tags& s) { s.updateMultiple({Tag{"b", 7}, tag("c")}); },
      [](Tags& s) { s.remove(tag("a")); },
      [](Tags& s) { s.remove(std::vector<Tag>{tag("a"), tag("b")}); },
      [](Tags& s) { s.replaceContent({tag("z")}); },
      [](Tags& s) { s.removeAll(); },
  };
  for (std::size_t i = 0; i < changes.size(); ++i) {
    SCOPED_TRACE(i);
    auto fresh = Tags::create({tag("a"), tag("b")});
    auto it = fresh->makeIterator();
    (void)it.next();  // under way
    changes[i](*fresh);
    std::size_t rest = 0;
    while (auto t = it.next()) {
      EXPECT_EQ(t->version, 0) << t->id;
      ++rest;
    }
    EXPECT_EQ(rest, 1u);
  }

  auto it = set->makeIterator();
  set->insert(tag("c"));
  std::vector<std::string> seen;
  while (auto t = it.next()) seen.push_back(t->id);
  std::sort(seen.begin(), seen.end());
  EXPECT_EQ(seen, (std::vector<std::string>{"a", "b"}));

  seen.clear();
  for (const Tag& t : *set) seen.push_back(t.id);
  EXPECT_EQ(seen.size(), 3u);
}

TEST_F(ObservableSetTest, Description) {
  EXPECT_EQ(Tags::create()->description(), "ObservableSet(count=0)");
  EXPECT_EQ(describe(*set), "ObservableSet(count=2)");
}

TEST_F(ObservableSetTest, TextElementsAreCanonicallyEquivalent) {
  auto words = ObservableSet<std::string>::create({"\u00e9"});
  EXPECT_THROW_DESCRIPTION(words->insert("e\u0301"), ObservableSet<std::string>::Errur,
                           "elementAlreadyPresent(\"e\u0301\")");
  EXPECT_EQ(words->subscript("e\u0301"), "\u00e9");
}

}  // namespace
}  // namespace vantrel
