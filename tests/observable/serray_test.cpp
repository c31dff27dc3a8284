#include "vantrel/observable/serray.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/observable/observable_test_support.h"
#include "tests/support/fixtures.h"

namespace vantrel {
namespace {

using testing::row;
using testing::Row;
using testing::rows;

using Rows = Serray<Row>;

// By payload alone: rows with one payload tie.
const NamedSortBlock<Row> kByPayload("byPayload", [](const Row& a, const Row& b) { return a.payload < b.payload; });

std::string ids(const Rows& s) {
  std::string out;
  for (const Row& r : s.array()) out += r.id;
  return out;
}

std::shared_ptr<SerrayObserver<Row>> record(Rows& s, const std::shared_ptr<const void>& owner,
                                            std::vector<std::string>& log) {
  return s.observers().createNew(owner, [&log](SerrayObserver<Row>& o) {
    o.sortingChanged = [&log](Rows&, const std::string& code) { log.push_back("sortingChanged " + code); };
    o.replacedContent = [&log](Rows&) { log.push_back("replacedContent"); };
    o.removedAll = [&log](Rows&) { log.push_back("removedAll"); };
    o.inserted = [&log](Rows&, std::int64_t i, const Row& e) {
      log.push_back("inserted " + std::to_string(i) + " " + describe(e));
    };
    o.removed = [&log](Rows&, std::int64_t i, const Row& e) {
      log.push_back("removed " + std::to_string(i) + " " + describe(e));
    };
    o.updated = [&log](Rows&, std::int64_t i, const Row& e) {
      log.push_back("updated " + std::to_string(i) + " " + describe(e));
    };
    o.moved = [&log](Rows&, std::int64_t f, std::int64_t t, const Row& e) {
      log.push_back("moved " + std::to_string(f) + " " + std::to_string(t) + " " + describe(e));
    };
  });
}

class SerrayTest : public ::testing::Test {
 protected:
  std::shared_ptr<int> owner = std::make_shared<int>(0);
  std::vector<std::string> log;
};

TEST_F(SerrayTest, DefaultOrderIsAscendingKeysAndFillingKeepsTheFirstOfEachKeyAfterTheSort) {
  auto s = Rows::create({row("c"), row("a", "1"), row("b"), row("a", "2")});
  EXPECT_EQ(s->sortBlock().code(), "default");
  EXPECT_EQ(ids(*s), "abc");
  EXPECT_EQ(s->subscript("a"), row("a", "1"));
  // Sorted by payload, "a:0" comes first of the two a's, whatever the order given.
  auto byPayload = Rows::create({row("a", "2"), row("b", "1"), row("a", "0")}, kByPayload);
  EXPECT_EQ(testing::texts(byPayload->array()), "[a:0, b:1]");
}

TEST_F(SerrayTest, InsertGoesInFrontOfItsEqualsAndRefusesAPresentKey) {
  auto s = Rows::create({row("a", "1"), row("b", "2"), row("c", "2")}, kByPayload);
  record(*s, owner, log);
  s->insert(row("d", "2"));
  s->insert(row("e", "3"));
  EXPECT_EQ(ids(*s), "adbce");
  EXPECT_THROW_DESCRIPTION(s->insert(row("b", "9")), Rows::Errur, "Element already present:b:9");
  // The list form stops at the first refusal and keeps what it inserted.
  EXPECT_THROW(s->insert(std::vector<Row>{row("f", "0"), row("g", "4"), row("a"), row("h", "5")}), Rows::Errur);
  EXPECT_EQ(ids(*s), "fadbceg");
  EXPECT_EQ(log, (std::vector<std::string>{"inserted 1 d:2", "inserted 4 e:3", "inserted 0 f:0", "inserted 6 g:4"}));
  EXPECT_EQ(Rows::Errur::indexOutOfBounds("7").description(), "Index out of bounds:7");
}

// An update leaves every other element where it was: one `updated` or one
// `moved` says all that changed, also among elements the block ranks equal.
TEST_F(SerrayTest, UpdateStaysWhereTheNeighboursAllowElseMovesToTheLowerBoundAndNothingElseMoves) {
  struct Case {
    std::string update;
    std::string payload;
    std::string event;
    std::string after;
  };
  const std::vector<Case> cases = {
      {"c", "2", "updated 2 c:2", "abcde"},     // ties with both neighbours: stays
      {"c", "1x", "updated 2 c:1x", "abcde"},   // between its neighbours
      {"a", "3", "moved 0 3 a:3", "bcdae"},     // in front of the equal e
      {"e", "0", "moved 4 0 e:0", "eabcd"},
      {"b", "2", "updated 1 b:2", "abcde"},     // ties with its right neighbour
      {"d", "1", "moved 3 0 d:1", "dabce"},     // in front of the equal a and b
      {"z", "2", "inserted 2 z:2", "abzcde"},   // absent key: inserted in front of its equals
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.update + " -> " + c.payload);
    auto s = Rows::create({row("a", "1"), row("b", "1"), row("c", "2"), row("d", "2"), row("e", "3")}, kByPayload);
    log.clear();
    record(*s, owner, log);
    const std::optional<Row> old = s->update(row(c.update, c.payload));
    EXPECT_EQ(log, std::vector<std::string>{c.event});
    EXPECT_EQ(ids(*s), c.after);
    EXPECT_EQ(old.has_value(), c.update != "z");
    EXPECT_EQ(s->indexWith(c.update), s->indexOf(row(c.update)));
  }
}

TEST_F(SerrayTest, RemovalsAndReplacementsReportTheStoredElement) {
  auto s = Rows::create({row("a", "1"), row("b", "2"), row("c", "3")}, kByPayload);
  record(*s, owner, log);
  EXPECT_EQ(s->remove(row("b", "other")), row("b", "2"));
  EXPECT_EQ(s->remove(row("b")), std::nullopt);
  EXPECT_EQ(s->removeWith("zz"), std::nullopt);
  s->replaceContent({});
  s->removeAll();
  s->setSortBlock(kByPayload);
  EXPECT_EQ(log, (std::vector<std::string>{"removed 1 b:2", "replacedContent", "removedAll",
                                           "sortingChanged byPayload"}));
}

TEST_F(SerrayTest, NewSortBlockResortsStablyAndReportsItsCode) {
  auto s = Rows::create({row("a", "2"), row("b", "1"), row("c", "2"), row("d", "1")});
  record(*s, owner, log);
  s->setSortBlock(kByPayload);
  EXPECT_EQ(ids(*s), "bdac");  // equal payloads keep their key order
  EXPECT_EQ(log, std::vector<std::string>{"sortingChanged byPayload"});
}

TEST_F(SerrayTest, LookupsAnswerNulloptOutsideTheContent) {
  auto s = Rows::create(rows("abc"));
  EXPECT_EQ(s->subscriptIndex(3), std::nullopt);
  EXPECT_EQ(s->subscriptIndex(-1), std::nullopt);
  EXPECT_EQ(s->subscriptIndex(1), row("b"));
  EXPECT_EQ(s->indexWith("d"), std::nullopt);
  EXPECT_TRUE(s->contains(row("a", "other")));
}

TEST_F(SerrayTest, IterationSeesElementsInsertedAfterItsPosition) {
  auto s = Rows::create(rows("ac"));
  std::string seen;
  auto it = s->makeIterator();
  while (const std::optional<Row> r = it.next()) {
    seen += r->id;
    if (r->id == "a") s->insert(row("b"));
  }
  EXPECT_EQ(seen, "abc");
}

TEST_F(SerrayTest, Descriptions) {
  struct Case {
    std::string letters;
    std::string general;
    std::string listing;
  };
  const std::vector<Case> cases = {
      {"", "Serray(count: 0, elements: <none>)", "Serray(count: 0, elements: <none>)"},
      {"ab", "Serray(count: 2, elements: <not CustomStringConvertible>)", "Serray(count: 2, elements: a, b)"},
      {"abcde", "Serray(count: 5, elements: <not CustomStringConvertible>)",
       "Serray(count: 5, elements: a, b, c, d, e)"},
      {"abcdefg", "Serray(count: 7, elements: <not CustomStringConvertible>)",
       "Serray(count: 7, elements: a, b, c, d, e, ...)"},
  };
  for (const Case& c : cases) {
    auto s = Rows::create(rows(c.letters));
    EXPECT_EQ(s->description(), c.general);
    EXPECT_EQ(s->description2(), c.listing);
  }
}

TEST_F(SerrayTest, AThrowingComparatorLeavesTheArrayAsItWas) {
  auto s = Rows::create(rows("cab"));
  record(*s, owner, log);
  EXPECT_THROW(s->setSortBlock(NamedSortBlock<Row>("throwing", [](const Row&, const Row&) -> bool {
                 throw std::runtime_error("comparator");
               })),
               std::runtime_error);
  EXPECT_EQ(ids(*s), "abc");
  EXPECT_EQ(s->sortBlock().code(), "default");
  EXPECT_TRUE(log.empty());
}

}  // namespace
}  // namespace vantrel
