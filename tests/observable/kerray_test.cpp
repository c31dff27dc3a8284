#include "vantrel/observable/kerray.h"

#include <cstdint>
#include <memory>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "tests/observable/observable_test_support.h"
#include "tests/support/fixtures.h"

namespace vantrel {
namespace {

using testing::ids;
using testing::recordKerray;
using testing::row;
using testing::Row;
using testing::rows;

using Rows = Kerray<Row>;

// `keyOf` hands out the stored key when `key()` returns a reference, and a
// value otherwise (also through a shared pointer).
struct ByReference {
  using KeyType = std::string;
  std::string id;
  const KeyType& key() const { return id; }
};
static_assert(std::is_same_v<decltype(keyOf(std::declval<const ByReference&>())), const std::string&>);
static_assert(std::is_same_v<decltype(keyOf(std::declval<const std::shared_ptr<ByReference>&>())), const std::string&>);
static_assert(std::is_same_v<decltype(keyOf(std::declval<const Row&>())), std::string>);

static_assert(KeyedElement<Row>);
static_assert(EquatableKeyedElement<Row>);
static_assert(!KeyedElement<int>);

struct Shared {
  using KeyType = std::int64_t;
  std::int64_t id;
  KeyType key() const { return id; }
};
static_assert(KeyedElement<std::shared_ptr<Shared>>, "objects shared by reference are keyed too");

class KerrayTest : public ::testing::Test {
 protected:
  std::shared_ptr<Rows> k = Rows::create(rows("abc"));
  std::shared_ptr<int> owner = std::make_shared<int>(0);
  std::vector<std::string> log;
  void record() { recordKerray(*k, owner, log); }
};

TEST_F(KerrayTest, InsertReportsPositionAfterInsertion) {
  record();
  k->insert(row("x"), 1);
  k->append(row("y"));
  EXPECT_EQ(ids(*k), "axbcy");
  EXPECT_EQ(log, (std::vector<std::string>{"inserted 1 x", "inserted 4 y"}));
}

TEST_F(KerrayTest, InsertOfPresentKeyThrowsBeforeLookingAtThePosition) {
  record();
  EXPECT_THROW_DESCRIPTION(k->insert(row("b", "other"), 99), Rows::Errur,
                           "elementAlreadyPresent(\"b:other\")");
  EXPECT_THROW_DESCRIPTION(k->append(row("a")), Rows::Errur, "elementAlreadyPresent(\"a\")");
  EXPECT_EQ(ids(*k), "abc");
  EXPECT_TRUE(log.empty());
  try {
    k->append(row("c"));
  } catch (const Rows::Errur& e) {
    EXPECT_EQ(e.kind, Rows::Errur::Case::elementAlreadyPresent);
    EXPECT_EQ(e.text, "c");
  }
}

TEST_F(KerrayTest, InsertWithoutContainsCheckStoresTheKeyTwiceAndKeepsItUntilBothAreGone) {
  record();
  k->insertWithoutContainsCheck(row("b", "2"), 0);
  k->appendWithoutContainsCheck(row("a", "2"));
  EXPECT_EQ(describe(k->array()), "[b:2, a, b, c, a:2]");
  EXPECT_EQ(log, (std::vector<std::string>{"inserted 0 b:2", "inserted 4 a:2"}));

  // Removing one of two elements with a key keeps the key for the other.
  EXPECT_EQ(k->removeElementWithKey("b"), row("b", "2"));
  EXPECT_TRUE(k->containsWith("b"));
  EXPECT_EQ(k->removeElementWithKey("b"), row("b"));
  EXPECT_FALSE(k->containsWith("b"));
  EXPECT_EQ(describe(k->array()), "[a, c, a:2]");
}

TEST_F(KerrayTest, ContainsAndIndexGoByKey) {
  EXPECT_TRUE(k->contains(row("b", "different payload")));
  EXPECT_TRUE(k->containsWith("c"));
  EXPECT_FALSE(k->containsWith("z"));
  EXPECT_EQ(k->indexOf(row("c", "x")), 2);
  EXPECT_EQ(k->indexOf(row("z")), std::nullopt);
  EXPECT_EQ(k->count(), 3);
  EXPECT_FALSE(k->isEmpty());
  EXPECT_TRUE(Rows::create()->isEmpty());
}

TEST_F(KerrayTest, TextKeysAreCanonicallyEquivalent) {
  auto texts = Rows::create({row("\u00e9")});
  EXPECT_TRUE(texts->containsWith("e\u0301"));
  EXPECT_EQ(texts->indexOf(row("e\u0301")), 0);
  EXPECT_THROW(texts->append(row("e\u0301")), Rows::Errur);
}

TEST_F(KerrayTest, UpdateByKey) {
  record();
  EXPECT_EQ(k->update(row("z", "1")), std::nullopt);
  EXPECT_EQ(k->update(row("b", "1")), row("b", "1"));
  EXPECT_EQ(describe(k->array()), "[a, b:1, c]");
  EXPECT_EQ(log, (std::vector<std::string>{"updated 1 b:1"}));
}

TEST_F(KerrayTest, UpdateAtIndexWithTheSameKey) {
  record();
  EXPECT_EQ(k->update(row("c", "new"), 2), row("c", "new"));
  EXPECT_EQ(k->array()[2], row("c", "new"));
  EXPECT_EQ(log, (std::vector<std::string>{"updated 2 c:new"}));
}

TEST_F(KerrayTest, UpdateAtIndexWithANewKeyReKeysTheEntry) {
  record();
  EXPECT_EQ(k->update(row("x"), 1), row("x"));
  EXPECT_EQ(ids(*k), "axc");
  EXPECT_FALSE(k->containsWith("b")) << "the replaced key is gone";
  EXPECT_TRUE(k->containsWith("x"));
  k->append(row("b"));  // the old key is free again
  EXPECT_EQ(k->removeElementWithKey("x"), row("x")) << "a removal by the new key finds it";
  EXPECT_EQ(ids(*k), "acb");
  EXPECT_EQ(log, (std::vector<std::string>{"removed 1 b", "inserted 1 x", "inserted 3 b", "removed 1 x"}))
      << "a change of key is reported as a removal and an insertion";
}

TEST_F(KerrayTest, UpdateAtIndexWithAKeyHeldElsewhereIsRefused) {
  record();
  EXPECT_THROW_DESCRIPTION(k->update(row("c", "dup"), 0), Rows::Errur,
                           "elementAlreadyPresent(\"c:dup\")");
  EXPECT_EQ(describe(k->array()), "[a, b, c]");
  EXPECT_TRUE(k->containsWith("a"));
  EXPECT_TRUE(log.empty());
}

TEST_F(KerrayTest, RemovalsByPositionAndKey) {
  record();
  EXPECT_EQ(k->removeAtIndex(3), std::nullopt);
  EXPECT_EQ(k->removeAtIndex(-1), std::nullopt);
  EXPECT_EQ(k->remove(row("z")), std::nullopt);
  EXPECT_EQ(k->removeElementWithKey("z"), std::nullopt);
  EXPECT_TRUE(log.empty());

  k->update(row("b", "stored"));
  log.clear();
  EXPECT_EQ(k->remove(row("b", "argument")), row("b", "stored")) << "the stored element comes back";
  EXPECT_EQ(k->removeAtIndex(0), row("a"));
  EXPECT_EQ(k->removeElementWithKey("c"), row("c"));
  EXPECT_TRUE(k->isEmpty());
  EXPECT_FALSE(k->contains(row("a")));
  EXPECT_EQ(log, (std::vector<std::string>{"removed 1 b:stored", "removed 0 a", "removed 0 c"}));
}

TEST_F(KerrayTest, ReplaceContentAndRemoveAllReportEveryTime) {
  record();
  k->replaceContent(k->array());
  k->replaceContent({row("q"), row("q", "2")});
  EXPECT_EQ(describe(k->array()), "[q, q:2]");
  EXPECT_EQ(k->count(), 2);
  EXPECT_FALSE(k->containsWith("a"));
  k->removeAll();
  k->removeAll();
  EXPECT_FALSE(k->containsWith("q"));
  EXPECT_EQ(log, (std::vector<std::string>{"replacedContent", "replacedContent", "removedAll",
                                           "removedAll"}));
}

TEST_F(KerrayTest, CreationKeepsRepeatedKeys) {
  auto twice = Rows::create({row("k", "1"), row("k", "2")});
  EXPECT_EQ(twice->count(), 2);
  EXPECT_TRUE(twice->containsWith("k"));
  EXPECT_EQ(twice->remove(row("k")), row("k", "1"));
  EXPECT_TRUE(twice->containsWith("k"));
}

TEST_F(KerrayTest, Descriptions) {
  struct Case {
    std::string letters;
    std::string description;
    std::string description2;
  };
  const Case cases[] = {
      {"", "OrderedSet(count: 0, elements: <none>)", "OrderedSet(count: 0, elements: <none>)"},
      {"ab", "OrderedSet(count: 2, elements: <not CustomStringConvertible>)",
       "OrderedSet(count: 2, elements: a, b)"},
      {"abcde", "OrderedSet(count: 5, elements: <not CustomStringConvertible>)",
       "OrderedSet(count: 5, elements: a, b, c, d, e)"},
      {"abcdef", "OrderedSet(count: 6, elements: <not CustomStringConvertible>)",
       "OrderedSet(count: 6, elements: a, b, c, d, e, ...)"},
      {"abcdefg", "OrderedSet(count: 7, elements: <not CustomStringConvertible>)",
       "OrderedSet(count: 7, elements: a, b, c, d, e, ...)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.letters);
    auto kerray = Rows::create(rows(c.letters));
    EXPECT_EQ(kerray->description(), c.description);
    EXPECT_EQ(describe(*kerray), c.description);
    EXPECT_EQ(kerray->description2(), c.description2);
  }
}

TEST_F(KerrayTest, IteratorReadsTheCurrentContent) {
  auto it = k->makeIterator();
  EXPECT_EQ(it.next(), row("a"));
  k->append(row("d"));
  k->removeAtIndex(0);  // b c d: the iterator's next position is 1
  EXPECT_EQ(it.next(), row("c"));
  EXPECT_EQ(it.next(), row("d")) << "appended after the iterator was made";
  EXPECT_EQ(it.next(), std::nullopt);

  std::string seen;
  for (const Row& r : *k) seen += r.id;
  EXPECT_EQ(seen, "bcd");
  EXPECT_EQ(k->startIndex(), 0);
  EXPECT_EQ(k->endIndex(), 3);
  EXPECT_EQ(k->indexAfter(1), 2);
  EXPECT_EQ((*k)[2], row("d"));
}

TEST_F(KerrayTest, IteratorKeepsTheKeyedArrayAlive) {
  auto it = k->makeIterator();
  k.reset();
  EXPECT_EQ(it.next(), row("a"));
}

TEST_F(KerrayTest, ReportedElementIsACopyEvenWhenTheArgumentLivesInTheArray) {
  std::vector<std::string> seen;
  k->observers().createNew(owner, [&](KerrayObserver<Row>& o) {
    o.inserted = [&](Rows& kerray, std::int64_t, const Row& e) {
      if (kerray.count() < 6) kerray.insertWithoutContainsCheck(row("n"), 0);  // reallocates
      seen.push_back(e.id);
    };
  });
  k->insertWithoutContainsCheck(k->array()[2], 0);
  EXPECT_EQ(seen, (std::vector<std::string>{"n", "n", "c"}));
}

TEST_F(KerrayTest, PositionsOutsideTheLimitsStop) {
  EXPECT_DEATH(k->insert(row("x"), 4), "insert: index 4 out of range 0\\.\\.<4");
  EXPECT_DEATH(k->insertWithoutContainsCheck(row("x"), -1), "insert: index -1 out of range 0\\.\\.<4");
  EXPECT_DEATH(k->update(row("a"), 3), "update: index 3 out of range 0\\.\\.<3");
  EXPECT_DEATH((void)(*k)[3], "subscript: index 3 out of range 0\\.\\.<3");
}

}  // namespace
}  // namespace vantrel
