#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/observable/observable_test_support.h"
#include "tests/support/fixtures.h"
#include "vantrel/observable/kerray.h"

namespace vantrel {
namespace {

using testing::ids;
using testing::recordKerray;
using testing::row;
using testing::Row;
using testing::rows;

using Rows = Kerray<Row>;
using Positions = std::vector<std::int64_t>;

class KerrayBatchTest : public ::testing::Test {
 protected:
  std::shared_ptr<Rows> k = Rows::create(rows("abc"));
  std::shared_ptr<int> owner = std::make_shared<int>(0);
  std::vector<std::string> log;
  void record() { recordKerray(*k, owner, log); }
};

TEST_F(KerrayBatchTest, BlockInsertionAcceptsTheNewAndThrowsForThePresentAfterReporting) {
  record();
  EXPECT_THROW_DESCRIPTION(k->insertMultiple({row("a", "x"), row("y")}, 0), Rows::Errur,
                           "elementsAlreadyPresent(1, \"a:x\")");
  EXPECT_EQ(ids(*k), "yabc");
  EXPECT_EQ(log, (std::vector<std::string>{"insertedMultipleContinuous 0 [y]"}));
}

TEST_F(KerrayBatchTest, BlockInsertionWhollyRefusedChangesAndReportsNothing) {
  record();
  try {
    k->appendMultiple({row("c"), row("a")});
    ADD_FAILURE() << "expected a throw";
  } catch (const Rows::Errur& e) {
    EXPECT_EQ(e.kind, Rows::Errur::Case::elementsAlreadyPresent);
    EXPECT_EQ(e.count, 2);
    EXPECT_EQ(e.text, "c,a");
  }
  EXPECT_EQ(ids(*k), "abc");
  EXPECT_TRUE(log.empty());
}

TEST_F(KerrayBatchTest, BlockInsertionRefusesAKeyRepeatedInsideTheBatch) {
  record();
  EXPECT_THROW_DESCRIPTION(k->appendMultiple({row("x", "1"), row("y"), row("x", "2")}), Rows::Errur,
                           "elementsAlreadyPresent(1, \"x:2\")");
  EXPECT_EQ(describe(k->array()), "[a, b, c, x:1, y]");
  EXPECT_EQ(log, (std::vector<std::string>{"insertedMultipleContinuous 3 [x:1, y]"}));
  EXPECT_EQ(k->removeElementWithKey("x"), row("x", "1"));
  EXPECT_FALSE(k->containsWith("x")) << "the key was stored once";
}

TEST_F(KerrayBatchTest, BlockInsertionWithoutTheTestStoresRepeatedKeys) {
  record();
  k->insertMultiple({row("a", "2"), row("a", "3")}, 1, false);
  EXPECT_EQ(describe(k->array()), "[a, a:2, a:3, b, c]");
  EXPECT_EQ(log, (std::vector<std::string>{"insertedMultipleContinuous 1 [a:2, a:3]"}));
  k->removeAtIndexes({0, 2});
  EXPECT_TRUE(k->containsWith("a")) << "one element with the key is left";
  k->remove(row("a"));
  EXPECT_FALSE(k->containsWith("a"));
}

TEST_F(KerrayBatchTest, DistributedInsertion) {
  record();
  k->insertMultipleDistributed({row("p"), row("q")}, {0, 2});
  EXPECT_EQ(ids(*k), "paqbc");
  EXPECT_EQ(log, (std::vector<std::string>{"insertedMultipleDistributed [0, 2] [p, q]"}));
}

TEST_F(KerrayBatchTest, DistributedInsertionRefusalsKeepThePositionsOfTheOthers) {
  record();
  EXPECT_THROW_DESCRIPTION(
      k->insertMultipleDistributed({row("p"), row("b"), row("q"), row("p", "2")}, {3, 0, 4, 1}),
      Rows::Errur, "elementsAlreadyPresent(2, \"b,p:2\")");
  EXPECT_EQ(ids(*k), "abcpq");
  EXPECT_EQ(log, (std::vector<std::string>{"insertedMultipleDistributed [3, 4] [p, q]"}));
}

TEST_F(KerrayBatchTest, DistributedInsertionWithListsOfDifferentLengthsDoesNothing) {
  record();
  k->insertMultipleDistributed({row("p"), row("q")}, {0});
  EXPECT_EQ(ids(*k), "abc");
  EXPECT_TRUE(log.empty());
}

TEST_F(KerrayBatchTest, UpdateOfAList) {
  record();
  EXPECT_EQ(k->update(std::vector<Row>{row("c", "1"), row("z"), row("a", "1")}),
            (std::vector<Row>{row("c", "1"), row("a", "1")}));
  EXPECT_EQ(describe(k->array()), "[a:1, b, c:1]");
  EXPECT_TRUE(k->update(std::vector<Row>{row("z")}).empty());
  EXPECT_EQ(log, (std::vector<std::string>{"updatedMultiple [2, 0] [c:1, a:1]",
                                           "updatedMultiple [] []"}));
}

TEST_F(KerrayBatchTest, SingleMove) {
  k = Rows::create(rows("abcd"));
  record();
  k->move(0, 2);
  EXPECT_EQ(ids(*k), "bcad");
  k->move(3, 0);
  EXPECT_EQ(ids(*k), "dbca");
  k->move(1, 1);
  EXPECT_EQ(log, (std::vector<std::string>{"moved 0 2 a", "moved 3 0 d"}));
}

TEST_F(KerrayBatchTest, BlockMove) {
  k = Rows::create(rows("abcde"));
  record();
  k->move(Positions{1, 3}, 0);
  EXPECT_EQ(ids(*k), "bdace");
  k->move(Positions{}, 5);
  EXPECT_EQ(ids(*k), "bdace");
  EXPECT_EQ(log, (std::vector<std::string>{"movedMultiple [1, 3] 0 [d, b]", "movedMultiple [] 5 []"}));
}

TEST_F(KerrayBatchTest, MovesRefuseBadPositionsBeforeChangingAnything) {
  struct Case {
    std::function<void(Rows&)> call;
    std::string message;
  };
  const Case cases[] = {
      {[](Rows& r) { r.move(3, 0); }, "from index 3 out of bounds\\."},
      {[](Rows& r) { r.move(-1, 5); }, "from index -1 out of bounds\\."},
      {[](Rows& r) { r.move(0, 3); }, "to index 3 out of bounds\\."},
      {[](Rows& r) { r.move(Positions{0, 1}, 2); }, "to index 2 out of bounds\\."},
      {[](Rows& r) { r.move(Positions{2, 0}, 5); }, "to index 5 out of bounds\\."},
      {[](Rows& r) { r.move(Positions{2, 0}, 0); }, "\\[2, 0\\] not in ascending order!"},
      {[](Rows& r) { r.move(Positions{1, 3}, 0); }, "from index 3 out of bounds\\."},
      {[](Rows& r) { r.move(Positions{1, 1}, 0); }, "from index 1 is listed more than once\\."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    EXPECT_DEATH(c.call(*k), c.message);
  }
}

TEST_F(KerrayBatchTest, RemovalAtPositions) {
  record();
  EXPECT_EQ(k->removeAtIndexes({0, 2}), (std::vector<Row>{row("c"), row("a")}));
  EXPECT_EQ(ids(*k), "b");
  EXPECT_FALSE(k->containsWith("a"));
  EXPECT_FALSE(k->containsWith("c"));
  EXPECT_TRUE(k->removeAtIndexes({}).empty());
  EXPECT_EQ(log, (std::vector<std::string>{"removedMultiple [2, 0] [c, a]", "removedMultiple [] []"}));
}

TEST_F(KerrayBatchTest, RemovalAtRepeatedOrOutOfRangePositionsStops) {
  EXPECT_DEATH(k->removeAtIndexes({0, 3}), "removeAtIndexes: index 3 out of range 0\\.\\.<3");
  EXPECT_DEATH(k->removeAtIndexes({1, 1}), "removeAtIndexes: index 1 is listed more than once");
}

TEST_F(KerrayBatchTest, RemovalOfElements) {
  k->update(row("b", "stored"));
  record();
  EXPECT_EQ(k->remove(std::vector<Row>{row("a"), row("b")}), (std::vector<Row>{row("b", "stored"), row("a")}));
  EXPECT_EQ(ids(*k), "c");
  EXPECT_EQ(log, (std::vector<std::string>{"removedMultiple [1, 0] [b:stored, a]"}));
}

TEST_F(KerrayBatchTest, RemovalOfElementsWithAnAbsentKeyRemovesNothing) {
  record();
  EXPECT_TRUE(k->remove(std::vector<Row>{row("a"), row("z")}).empty());
  EXPECT_EQ(ids(*k), "abc");
  EXPECT_TRUE(log.empty());
}

TEST_F(KerrayBatchTest, RemovalOfElementsNamingAKeyTwiceRemovesItOnce) {
  record();
  EXPECT_EQ(k->remove(std::vector<Row>{row("a"), row("a", "again")}), (std::vector<Row>{row("a")}));
  EXPECT_EQ(ids(*k), "bc") << "b, which slides into a's place, stays";
  EXPECT_EQ(log, (std::vector<std::string>{"removedMultiple [0] [a]"}));
}

TEST_F(KerrayBatchTest, InsertionPositionsOutsideTheLimitsStopBeforeAnyChange) {
  EXPECT_DEATH(k->insertMultiple({row("x")}, 4), "insertMultiple: index 4 out of range 0\\.\\.<4");
  // The second accepted pair may go up to 4 (after the first insertion), not 5.
  EXPECT_DEATH(k->insertMultipleDistributed({row("x"), row("y")}, {0, 5}),
               "insertMultipleDistributed: index 5 out of range 0\\.\\.<5");
  k->insertMultipleDistributed({row("x"), row("y")}, {3, 4});
  EXPECT_EQ(ids(*k), "abcxy");
}

}  // namespace
}  // namespace vantrel
