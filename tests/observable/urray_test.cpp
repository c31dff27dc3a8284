// The unique array and the optionally sorted unique array: values whose
// copies share the observers registered before the copy.
#include "vantrel/observable/urray.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/observable/observable_test_support.h"
#include "tests/support/fixtures.h"
#include "vantrel/observable/optionally_sorted_urray.h"

namespace vantrel {
namespace {

using testing::row;
using testing::Row;
using testing::rows;

using Names = Urray<std::string>;
using Sorted = OptionallySortedUrray<Row>;

std::string joinedNames(const Names& u) {
  std::string out;
  for (const std::string& s : u.array()) out += s;
  return out;
}

std::string ids(const std::vector<Row>& rows) {
  std::string out;
  for (const Row& r : rows) out += r.id;
  return out;
}

// Records each event with the content of the value it carries.
std::shared_ptr<UrrayObserver<std::string>> record(Names& u, const std::shared_ptr<const void>& owner,
                                                   std::vector<std::string>& log) {
  return u.observers().createNew(owner, [&log](UrrayObserver<std::string>& o) {
    o.replacedContent = [&log](const Names& a) { log.push_back("replacedContent " + joinedNames(a)); };
    o.removedAll = [&log](const Names&) { log.push_back("removedAll"); };
    o.inserted = [&log](const Names& a, std::int64_t i, const std::string& e) {
      log.push_back("inserted " + std::to_string(i) + " " + e + " " + joinedNames(a));
    };
    o.removed = [&log](const Names& a, std::int64_t i, const std::string& e) {
      log.push_back("removed " + std::to_string(i) + " " + e + " " + joinedNames(a));
    };
    o.updated = [&log](const Names&, std::int64_t i, const std::string& e) {
      log.push_back("updated " + std::to_string(i) + " " + e);
    };
    o.moved = [&log](const Names& a, std::int64_t f, std::int64_t t, const std::string& e) {
      log.push_back("moved " + std::to_string(f) + " " + std::to_string(t) + " " + e + " " + joinedNames(a));
    };
  });
}

class UrrayTest : public ::testing::Test {
 protected:
  std::shared_ptr<int> owner = std::make_shared<int>(0);
  std::vector<std::string> log;
};

TEST_F(UrrayTest, ASequenceWithRepeatsKeepsTheFirstOfEachSoArrayAndMembershipAgree) {
  Names u({"a", "b", "a", "c", "b"});
  EXPECT_EQ(joinedNames(u), "abc");
  record(u, owner, log);
  u.replaceContent({"x", "y", "x"});
  EXPECT_EQ(joinedNames(u), "xy");
  // Removing the one x leaves no x behind in either.
  EXPECT_EQ(u.remove("x"), "x");
  EXPECT_FALSE(u.contains("x"));
  EXPECT_EQ(u.indexOf("x"), std::nullopt);
  EXPECT_EQ(log, (std::vector<std::string>{"replacedContent xy", "removed 0 x y"}));
}

TEST_F(UrrayTest, InsertionsReportEachElementAndStopAtTheFirstPresentOne) {
  Names u({"x", "y"});
  record(u, owner, log);
  u.insert(std::vector<std::string>{"a", "b", "c"}, 1);
  EXPECT_EQ(joinedNames(u), "xabcy");
  EXPECT_THROW_DESCRIPTION(u.insert(std::vector<std::string>{"d", "x", "e"}, 0), OrderedSetErrors,
                           "elementAlreadyPresent(\"x\")");
  EXPECT_THROW_DESCRIPTION(u.append("y"), OrderedSetErrors, "elementAlreadyPresent(\"y\")");
  EXPECT_EQ(log, (std::vector<std::string>{"inserted 1 a xay", "inserted 2 b xaby", "inserted 3 c xabcy",
                                           "inserted 0 d dxabcy"}));
}

TEST_F(UrrayTest, UpdateMoveAndRemoval) {
  Names u({"a", "b", "c"});
  record(u, owner, log);
  EXPECT_EQ(u.update("b"), "b");
  EXPECT_EQ(u.update("z"), std::nullopt);
  u.move(0, 2);
  u.move(1, 1);
  EXPECT_EQ(u.removeElementAtIndex(3), std::nullopt);
  EXPECT_EQ(u.removeElementAtIndex(-1), std::nullopt);
  EXPECT_EQ(u.remove("z"), std::nullopt);
  u.removeAll();
  u.removeAll();
  EXPECT_EQ(log, (std::vector<std::string>{"updated 1 b", "moved 0 2 a bca", "moved 1 1 c bca", "removedAll",
                                           "removedAll"}));
}

TEST(UrrayDeathTest, PositionsOutsideTheArrayStopTheProgram) {
  Names u({"a", "b", "c"});
  EXPECT_DEATH(u.move(3, 0), "from index 3 out of bounds\\.");
  EXPECT_DEATH(u.move(-1, 7), "from index -1 out of bounds\\.");
  EXPECT_DEATH(u.move(0, 3), "to index 3 out of bounds\\.");
  EXPECT_DEATH(u.insert("d", 4), "insert: index 4 out of range 0\\.\\.<4");
}

TEST_F(UrrayTest, ACopySharesTheEarlierObserversAndReportsItself) {
  Names a({"a", "b"});
  record(a, owner, log);
  Names b = a;
  auto later = std::make_shared<int>(0);
  std::vector<std::string> laterLog;
  record(b, later, laterLog);
  b.append("c");
  EXPECT_EQ(joinedNames(a), "ab");
  EXPECT_EQ(log, std::vector<std::string>{"inserted 2 c abc"});
  EXPECT_EQ(laterLog, std::vector<std::string>{"inserted 2 c abc"});
  a.append("d");
  EXPECT_EQ(log, (std::vector<std::string>{"inserted 2 c abc", "inserted 2 d abd"}));
  EXPECT_EQ(laterLog.size(), 1U);
}

TEST_F(UrrayTest, IterationWalksTheContentOfItsStart) {
  Names u({"a", "b"});
  std::string seen;
  auto it = u.makeIterator();
  u.append("c");
  while (auto e = it.next()) seen += *e;
  EXPECT_EQ(seen, "ab");
}

TEST(UrrayDescription, ListsUpToFiveElements) {
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{}, "OrderedSet(count: 0, elements: <none>)"},
      {{"a", "b", "c", "d", "e"}, "OrderedSet(count: 5, elements: a, b, c, d, e)"},
      {{"a", "b", "c", "d", "e", "f", "g"}, "OrderedSet(count: 7, elements: a, b, c, d, e, ...)"},
  };
  for (const auto& [elements, text] : cases) EXPECT_EQ(Names(elements).description(), text);
  EXPECT_EQ(Urray<testing::Tag>().description(), "OrderedSet(count: 0, elements: <none>)");
  EXPECT_EQ(Urray<testing::Tag>({testing::Tag{"a", 1}}).description(), "OrderedSet(count: 1, elements: a#1)");
}

// ---- Optionally sorted ----

const NamedSortBlock<Row> kByPayload("byPayload", [](const Row& a, const Row& b) { return a.payload < b.payload; });

std::shared_ptr<OptionallySortedUrrayObserver<Row>> record(Sorted& s, const std::shared_ptr<const void>& owner,
                                                           std::vector<std::string>& log,
                                                           const std::string& prefix = "") {
  return s.observers().createNew(owner, [&log, prefix](OptionallySortedUrrayObserver<Row>& o) {
    o.sortingChanged = [&log, prefix](const Sorted&, const std::optional<std::string>& code) {
      log.push_back(prefix + "sortingChanged " + code.value_or("nil"));
    };
    o.replacedContent = [&log, prefix](const Sorted&) { log.push_back(prefix + "replacedContent"); };
    o.removedAll = [&log, prefix](const Sorted&) { log.push_back(prefix + "removedAll"); };
    o.inserted = [&log, prefix](const Sorted&, std::int64_t i, const Row& e) {
      log.push_back(prefix + "inserted " + std::to_string(i) + " " + describe(e));
    };
    o.removed = [&log, prefix](const Sorted&, std::int64_t i, std::int64_t n, const Row& e) {
      log.push_back(prefix + "removed " + std::to_string(i) + " " + std::to_string(n) + " " + describe(e));
    };
    o.updated = [&log, prefix](const Sorted&, std::int64_t i, const Row& e) {
      log.push_back(prefix + "updated " + std::to_string(i) + " " + describe(e));
    };
    o.moved = [&log, prefix](const Sorted&, std::int64_t f, std::int64_t t, const Row& e) {
      log.push_back(prefix + "moved " + std::to_string(f) + " " + std::to_string(t) + " " + describe(e));
    };
  });
}

class OptionallySortedUrrayTest : public ::testing::Test {
 protected:
  std::shared_ptr<int> owner = std::make_shared<int>(0);
  std::shared_ptr<int> second = std::make_shared<int>(0);
  std::vector<std::string> log;
};

TEST_F(OptionallySortedUrrayTest, ConstructionKeepsTheFirstOfEachKeyInTheGivenOrder) {
  const Sorted s({row("b", "2"), row("a", "1"), row("b", "0")}, kByPayload);
  EXPECT_EQ(testing::texts(s.naturallySortedArray()), "[b:2, a:1]");
  EXPECT_EQ(testing::texts(s.sortedArray()), "[a:1, b:2]");
}

TEST_F(OptionallySortedUrrayTest, AppendsAndPositionalInsertsReportSortedPositions) {
  Sorted s({row("a", "1"), row("b", "2")}, kByPayload);
  record(s, owner, log);
  s.append(row("c", "2"));                 // in front of the equal b
  s.insertAtIndex(row("d", "3"), 0);       // first in the natural order
  EXPECT_EQ(ids(s.naturallySortedArray()), "dabc");
  EXPECT_EQ(ids(s.sortedArray()), "acbd");
  EXPECT_THROW(s.append(std::vector<Row>{row("e", "0"), row("f", "9"), row("a"), row("g")}), Sorted::ArrayErrors);
  EXPECT_EQ(log, (std::vector<std::string>{"inserted 1 c:2", "inserted 3 d:3", "inserted 0 e:0", "inserted 5 f:9"}));
}

TEST_F(OptionallySortedUrrayTest, ErrorTexts) {
  Sorted s(rows("abc"));
  struct Case {
    std::function<void()> call;
    std::string text;
  };
  const std::vector<Case> cases = {
      {[&] { s.append(row("a", "x")); }, "elementAlreadyPresent(\"a:x\")"},
      {[&] { s.insertAtIndex(row("b"), 9); }, "elementAlreadyPresent(\"b\")"},
      {[&] { s.insertAtIndex(row("d"), 4); }, "indexOutOfBounds(\"atIndex 4\")"},
      {[&] { s.insertAtIndex(row("d"), -1); }, "indexOutOfBounds(\"atIndex -1\")"},
      {[&] { s.moveFromIndex(-1, 0); }, "indexOutOfBounds(\"fromIndex -1\")"},
      {[&] { s.moveFromIndex(5, 7); }, "indexOutOfBounds(\"fromIndex 5\")"},
      {[&] { s.moveFromIndex(0, 3); }, "indexOutOfBounds(\"toIndex 3\")"},
  };
  record(s, owner, log);
  for (const Case& c : cases) EXPECT_THROW_DESCRIPTION(c.call(), Sorted::ArrayErrors, c.text);
  s.moveFromIndex(7, 7);  // equal positions: nothing, not even a check
  s.setSortBlock(kByPayload);
  s.moveFromIndex(1, 1);
  EXPECT_THROW_DESCRIPTION(s.moveFromIndex(0, 2), Sorted::ArrayErrors,
                           "move only allowed, when not sorted. Currently sorted by byPayload");
  EXPECT_EQ(ids(s.naturallySortedArray()), "abc");
  EXPECT_EQ(log, std::vector<std::string>{"sortingChanged byPayload"});
}

TEST_F(OptionallySortedUrrayTest, UnsortedMoveAndRemovalReportBothPositions) {
  Sorted s(rows("abc"));
  record(s, owner, log);
  s.moveFromIndex(0, 2);
  EXPECT_EQ(ids(s.sortedArray()), "bca");
  s.setSortBlock(NamedSortBlock<Row>("byId", [](const Row& a, const Row& b) { return a.id > b.id; }));
  EXPECT_EQ(s.remove(row("a")), row("a"));
  EXPECT_EQ(s.removeElementWithKey("zz"), std::nullopt);
  EXPECT_EQ(log, (std::vector<std::string>{"moved 0 2 a", "sortingChanged byId", "removed 2 2 a"}));
  s.setSortBlock(std::nullopt);
  EXPECT_EQ(s.remove(row("c")), row("c"));
  EXPECT_EQ(log.back(), "removed 1 1 c");
}

// Each observer gets `moved` then `updated` before the next gets either:
// a follower replaying them in that order ends with the collection.
TEST_F(OptionallySortedUrrayTest, AnUpdateThatMovesReportsMovedThenUpdatedToEachObserverInTurn) {
  Sorted s({row("a", "1"), row("b", "2"), row("c", "3")}, kByPayload);
  record(s, owner, log, "1 ");
  record(s, second, log, "2 ");
  EXPECT_EQ(s.update(row("a", "4")), row("a", "1"));
  EXPECT_EQ(log, (std::vector<std::string>{"1 moved 0 2 a:4", "1 updated 2 a:4", "2 moved 0 2 a:4",
                                           "2 updated 2 a:4"}));
  EXPECT_EQ(ids(s.naturallySortedArray()), "abc");  // the natural place stays
  log.clear();
  s.update(row("b", "1"));
  s.update(row("z", "0"));
  EXPECT_EQ(log, (std::vector<std::string>{"1 updated 0 b:1", "2 updated 0 b:1", "1 inserted 0 z:0",
                                           "2 inserted 0 z:0"}));
}

TEST_F(OptionallySortedUrrayTest, AnUpdateMovesNoOtherElementAmongEquals) {
  // b and c tie with the new a; a stays, and only a is reported.
  Sorted s({row("a", "1"), row("b", "2"), row("c", "2"), row("d", "2")}, kByPayload);
  record(s, owner, log);
  s.update(row("a", "2"));
  EXPECT_EQ(ids(s.sortedArray()), "abcd");
  s.update(row("c", "0"));
  EXPECT_EQ(ids(s.sortedArray()), "cabd");
  EXPECT_EQ(log, (std::vector<std::string>{"updated 0 a:2", "moved 2 0 c:0", "updated 0 c:0"}));
}

TEST_F(OptionallySortedUrrayTest, ASortBlockWithTheCurrentCodeKeepsTheCurrentComparator) {
  Sorted s({row("a", "1"), row("b", "2")}, kByPayload);
  record(s, owner, log);
  s.setSortBlock(NamedSortBlock<Row>("byPayload", [](const Row& a, const Row& b) { return a.payload > b.payload; }));
  s.append(row("c", "3"));
  EXPECT_EQ(ids(s.sortedArray()), "abc");
  EXPECT_EQ(s.sortBlock()->code(), "byPayload");
  EXPECT_EQ(log, std::vector<std::string>{"inserted 2 c:3"});
}

TEST_F(OptionallySortedUrrayTest, ReplacementWhileSortedMakesTheSortedOrderNatural) {
  Sorted s(rows("ab"), kByPayload);
  record(s, owner, log);
  s.replaceContent({row("x", "2"), row("y", "1"), row("x", "0")});
  EXPECT_EQ(testing::texts(s.naturallySortedArray()), "[x:0, y:1]");
  s.setSortBlock(std::nullopt);
  EXPECT_EQ(testing::texts(s.sortedArray()), "[x:0, y:1]");
  s.removeAll();
  EXPECT_EQ(log, (std::vector<std::string>{"replacedContent", "sortingChanged nil", "removedAll"}));
}

TEST_F(OptionallySortedUrrayTest, ACopySharesTheEarlierObserversAndReportsItself) {
  Sorted a(rows("ab"));
  std::vector<std::string> seen;
  a.observers().createNew(owner, [&seen](OptionallySortedUrrayObserver<Row>& o) {
    o.inserted = [&seen](const Sorted& after, std::int64_t, const Row&) { seen.push_back(ids(after.sortedArray())); };
  });
  Sorted b = a;
  b.append(row("c"));
  EXPECT_EQ(seen, std::vector<std::string>{"abc"});
  EXPECT_EQ(ids(a.sortedArray()), "ab");
}

TEST(OptionallySortedUrrayDescription, SortBlockCountAndUpToFiveElements) {
  struct Case {
    std::string letters;
    bool sorted;
    std::string text;
  };
  const std::vector<Case> cases = {
      {"", false, "OptionallySortedUrray(sortBlock:n/a, count: 0, elements: <none>)"},
      {"cab", true, "OptionallySortedUrray(sortBlock:default, count: 3, elements: a, b, c)"},
      {"abcde", false, "OptionallySortedUrray(sortBlock:n/a, count: 5, elements: a, b, c, d, e)"},
      {"fedcba", true, "OptionallySortedUrray(sortBlock:default, count: 6, elements: a, b, c, d, e, ...)"},
  };
  const NamedSortBlock<Row> byId("default", [](const Row& a, const Row& b) { return a.id < b.id; });
  for (const Case& c : cases) {
    EXPECT_EQ(Sorted(rows(c.letters), c.sorted ? std::optional(byId) : std::nullopt).description(), c.text);
  }
}

TEST_F(OptionallySortedUrrayTest, IteratorMadeBeforeAnAppendDoesNotSeeIt) {
  Sorted s(rows("ab"));
  auto it = s.makeIterator();
  s.append(row("c"));
  std::string seen;
  while (auto e = it.next()) seen += e->id;
  EXPECT_EQ(seen, "ab");
}

}  // namespace
}  // namespace vantrel
