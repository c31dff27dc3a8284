#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "vantrel/collections/array_moves.h"

namespace vantrel {
namespace {

using Chars = std::vector<char>;
using Indexes = std::vector<std::int64_t>;

Chars abcde() { return {'a', 'b', 'c', 'd', 'e'}; }

TEST(Move, SingleToIndex) {
  struct Case {
    std::int64_t from, to;
    Chars want;
    char moved;
  };
  const Case cases[] = {
      {1, 3, {'a', 'c', 'd', 'b', 'e'}, 'b'},
      {3, 1, {'a', 'd', 'b', 'c', 'e'}, 'd'},
      {2, 2, {'a', 'b', 'c', 'd', 'e'}, 'c'},
      {0, 4, {'b', 'c', 'd', 'e', 'a'}, 'a'},
      {4, 0, {'e', 'a', 'b', 'c', 'd'}, 'e'},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.from) + " to " + std::to_string(c.to));
    Chars v = abcde();
    EXPECT_EQ(vantrel::move(v, c.from, c.to), c.moved);
    EXPECT_EQ(v, c.want);
  }
}

TEST(Move, BlockToIndexKeepsRelativeOrderAndReturnsRemovalOrder) {
  struct Case {
    Indexes from;
    std::int64_t to;
    Chars want;
    Chars moved;
  };
  const Case cases[] = {
      {{1, 3}, 0, {'b', 'd', 'a', 'c', 'e'}, {'d', 'b'}},
      {{3, 1}, 2, {'a', 'c', 'b', 'd', 'e'}, {'d', 'b'}},
      {{0, 4}, 3, {'b', 'c', 'd', 'a', 'e'}, {'e', 'a'}},
      {{4, 2, 0}, 2, {'b', 'd', 'a', 'c', 'e'}, {'e', 'c', 'a'}},
      {{}, 5, {'a', 'b', 'c', 'd', 'e'}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.from) + " to " + std::to_string(c.to));
    Chars v = abcde();
    EXPECT_EQ(vantrel::move(v, c.from, c.to), c.moved);
    EXPECT_EQ(v, c.want);
  }
}

TEST(Move, SingleToIndexAsOfNow) {
  struct Case {
    std::int64_t from, to;
    Chars want;
    char moved;
  };
  const Case cases[] = {
      {1, 4, {'a', 'c', 'd', 'b', 'e'}, 'b'}, {1, 2, {'a', 'b', 'c', 'd', 'e'}, 'b'},
      {1, 1, {'a', 'b', 'c', 'd', 'e'}, 'b'}, {1, 5, {'a', 'c', 'd', 'e', 'b'}, 'b'},
      {3, 0, {'d', 'a', 'b', 'c', 'e'}, 'd'}, {4, 5, {'a', 'b', 'c', 'd', 'e'}, 'e'},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.from) + " to " + std::to_string(c.to));
    Chars v = abcde();
    EXPECT_EQ(moveToIndexAsOfNow(v, c.from, c.to), c.moved);
    EXPECT_EQ(v, c.want);
  }
}

TEST(Move, BlockToIndexAsOfNow) {
  struct Case {
    Indexes from;
    std::int64_t to;
    Chars want;
    Chars moved;
  };
  const Case cases[] = {
      {{0, 2}, 4, {'b', 'd', 'a', 'c', 'e'}, {'c', 'a'}},
      {{3, 4}, 0, {'d', 'e', 'a', 'b', 'c'}, {'e', 'd'}},
      {{4, 3}, 5, {'a', 'b', 'c', 'd', 'e'}, {'e', 'd'}},
      {{1, 3}, 2, {'a', 'b', 'd', 'c', 'e'}, {'d', 'b'}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.from) + " to " + std::to_string(c.to));
    Chars v = abcde();
    EXPECT_EQ(moveToIndexAsOfNow(v, c.from, c.to), c.moved);
    EXPECT_EQ(v, c.want);
  }
}

// The conversions must name the place that the two kinds of move agree on.
TEST(VtArrayMoveHelper, ConversionsAgreeWithTheMoves) {
  using namespace VtArrayMoveHelper;
  EXPECT_EQ(asOfNowToIndex_From_ToIndex(2, Indexes{0, 2}), 4);
  EXPECT_EQ(asOfNowToIndex_From_ToIndex(2, Indexes{2}), 2);
  EXPECT_EQ(asOfNowToIndex_From_ToIndex(2, Indexes{}), 2);
  EXPECT_EQ(asOfNowToIndex_From_ToIndex(2, std::int64_t{2}), 3);
  EXPECT_EQ(asOfNowToIndex_From_ToIndex(1, std::int64_t{2}), 1);
  EXPECT_EQ(toIndex_From_AsOfNowToIndex(4, Indexes{0, 2}), 2);
  EXPECT_EQ(toIndex_From_AsOfNowToIndex(4, std::int64_t{1}), 3);
  EXPECT_EQ(toIndex_From_AsOfNowToIndex(1, std::int64_t{3}), 1);

  // Round trip through real moves over every source and destination.
  for (std::int64_t from = 0; from < 5; ++from) {
    for (std::int64_t to = 0; to < 5; ++to) {
      Chars byTo = abcde();
      vantrel::move(byTo, from, to);
      Chars byNow = abcde();
      moveToIndexAsOfNow(byNow, from, asOfNowToIndex_From_ToIndex(to, from));
      EXPECT_EQ(byTo, byNow) << from << " to " << to;
    }
  }
  const Indexes sources = {0, 2};
  for (std::int64_t to = 0; to <= 3; ++to) {
    Chars byTo = abcde();
    vantrel::move(byTo, sources, to);
    Chars byNow = abcde();
    moveToIndexAsOfNow(byNow, sources, asOfNowToIndex_From_ToIndex(to, sources));
    EXPECT_EQ(byTo, byNow) << "block to " << to;
  }
}

TEST(RemoveAtIndexes, RemovesHighestFirstInOnePass) {
  Chars v = abcde();
  EXPECT_EQ(removeAtIndexes(v, {3, 0, 1}), (Chars{'d', 'b', 'a'}));
  EXPECT_EQ(v, (Chars{'c', 'e'}));
  EXPECT_EQ(removeAtIndexes(v, {}), Chars{});
  EXPECT_EQ(v, (Chars{'c', 'e'}));
  EXPECT_EQ(removeAtIndexes(v, {1, 0}), (Chars{'e', 'c'}));
  EXPECT_TRUE(v.empty());

  // Elements that own memory are moved out intact.
  std::vector<std::string> words = {"zero", "one", "two", "three", "four", "five"};
  EXPECT_EQ(removeAtIndexes(words, {5, 1, 2}), (std::vector<std::string>{"five", "two", "one"}));
  EXPECT_EQ(words, (std::vector<std::string>{"zero", "three", "four"}));
}

TEST(RemoveByValue, AllFirstAndListed) {
  std::vector<char> v = {'b', 'a', 'b', 'b'};
  remove(v, 'b');
  EXPECT_EQ(v, Chars{'a'});

  const Chars original = {'a', 'b', 'c', 'b'};
  EXPECT_EQ(arrayRemoving(original, 'b'), (Chars{'a', 'c'}));
  EXPECT_EQ(original, (Chars{'a', 'b', 'c', 'b'}));

  Chars first = {'a', 'b', 'b'};
  EXPECT_EQ(vtRemoveObject_firstMatch(first, 'b'), 1);
  EXPECT_EQ(first, (Chars{'a', 'b'}));
  EXPECT_EQ(vtRemoveObject_firstMatch(first, 'z'), std::nullopt);
  EXPECT_EQ(first, (Chars{'a', 'b'}));

  Chars all = original;
  EXPECT_EQ(vtRemoveObjects(all, {'b', 'c'}), 3);
  EXPECT_EQ(all, Chars{'a'});

  Chars firsts = original;
  EXPECT_EQ(vtRemoveObjects_firstMatchesOnly(firsts, {'b', 'c'}), 2);
  EXPECT_EQ(firsts, (Chars{'a', 'b'}));

  Chars none = original;
  EXPECT_EQ(vtRemoveObjects(none, {'x'}), 0);
  EXPECT_EQ(none, original);
}

// Equal values in the list name the same indexes: each is removed once and
// the neighbours that match nothing stay.
TEST(RemoveByValue, RepeatedValuesCollectEachIndexOnce) {
  Chars all = {'a', 'b', 'c', 'b', 'd'};
  EXPECT_EQ(vtRemoveObjects(all, {'b', 'b'}), 2);
  EXPECT_EQ(all, (Chars{'a', 'c', 'd'}));

  Chars firsts = {'a', 'b', 'c', 'b'};
  EXPECT_EQ(vtRemoveObjects_firstMatchesOnly(firsts, {'b', 'b', 'c', 'b'}), 2);
  EXPECT_EQ(firsts, (Chars{'a', 'b'}));

  Chars last = {'x', 'y'};
  EXPECT_EQ(vtRemoveObjects(last, {'y', 'y', 'y'}), 1);
  EXPECT_EQ(last, Chars{'x'});
}

TEST(LastIndex, CountMinusOne) {
  EXPECT_EQ(lastIndex(Chars{}), -1);
  EXPECT_EQ(lastIndex(abcde()), 4);
}

TEST(Insertions, GreedyForwardWalk) {
  struct Case {
    std::string earlier, later;
    Indexes indexes;
    std::string elements;
  };
  const Case cases[] = {
      {"ab", "axby", {1, 3}, "xy"}, {"", "pq", {0, 1}, "pq"}, {"ab", "", {}, ""},
      {"ab", "ba", {0}, "b"},       {"abc", "ac", {1}, "c"},  {"abc", "abc", {}, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.earlier + " -> " + c.later);
    const Chars earlier(c.earlier.begin(), c.earlier.end());
    const Chars later(c.later.begin(), c.later.end());
    const auto [indexes, elements] = insertions(earlier, later);
    EXPECT_EQ(indexes, c.indexes);
    EXPECT_EQ(std::string(elements.begin(), elements.end()), c.elements);
  }
}

// Arrays of indexes are arrays like any other (called qualified, as the
// header asks, so the standard move algorithm stays out of the way).
TEST(Move, BlockMoveOnAnIndexArray) {
  Indexes v = {10, 11, 12};
  EXPECT_EQ(vantrel::move(v, Indexes{0}, 2), Indexes{10});
  EXPECT_EQ(v, (Indexes{11, 12, 10}));
}

TEST(ArrayMovesDeathTest, RepeatedIndexesStop) {
  EXPECT_DEATH(
      {
        Chars v = abcde();
        removeAtIndexes(v, {1, 3, 1});
      },
      "removeAtIndexes: index 1 is listed more than once");
  EXPECT_DEATH(
      {
        Chars v = abcde();
        vantrel::move(v, Indexes{4, 4}, 0);
      },
      "move: index 4 is listed more than once");
  EXPECT_DEATH(
      {
        Chars v = abcde();
        moveToIndexAsOfNow(v, Indexes{2, 0, 2}, 5);
      },
      "moveToIndexAsOfNow: index 2 is listed more than once");
}

TEST(ArrayMovesDeathTest, IndexesOutsideTheirRangesStop) {
  struct Case {
    void (*run)();
    const char* message;
  };
  const Case cases[] = {
      {[] { Chars v = abcde(); removeAtIndexes(v, {0, 5}); },
       "removeAtIndexes: index 5 out of range 0..<5"},
      {[] { Chars v = abcde(); removeAtIndexes(v, {-1}); },
       "removeAtIndexes: index -1 out of range 0..<5"},
      {[] { Chars v = abcde(); vantrel::move(v, 5, 0); }, "move: index 5 out of range 0..<5"},
      {[] { Chars v = abcde(); vantrel::move(v, 0, 5); }, "move: index 5 out of range 0..<5"},
      {[] { Chars v = abcde(); vantrel::move(v, Indexes{0, 1}, 4); },
       "move: index 4 out of range 0..<4"},
      {[] { Chars v = abcde(); moveToIndexAsOfNow(v, 0, 6); },
       "moveToIndexAsOfNow: index 6 out of range 0..<6"},
      {[] { Chars v; moveToIndexAsOfNow(v, 0, 0); },
       "moveToIndexAsOfNow: index 0 out of range 0..<0"},
      {[] { Chars v = abcde(); moveToIndexAsOfNow(v, Indexes{1}, -1); },
       "moveToIndexAsOfNow: index -1 out of range 0..<6"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    EXPECT_DEATH(c.run(), c.message);
  }
}

// The one-pass compaction against the plain erase it replaces.
TEST(RemoveAtIndexes, LargeRemovalMatchesElementByElementErase) {
  std::vector<int> values(5000);
  for (int i = 0; i < 5000; ++i) values[static_cast<std::size_t>(i)] = i;
  Indexes indexes;
  for (std::int64_t i = 4999; i >= 0; i -= 7) indexes.push_back((i * 31) % 5000);
  std::vector<int> expected = values;
  Indexes sorted = indexes;
  std::sort(sorted.begin(), sorted.end());
  std::vector<int> expectedRemoved;
  for (auto it = sorted.rbegin(); it != sorted.rend(); ++it) {
    expectedRemoved.push_back(expected[static_cast<std::size_t>(*it)]);
    expected.erase(expected.begin() + *it);
  }
  EXPECT_EQ(removeAtIndexes(values, indexes), expectedRemoved);
  EXPECT_EQ(values, expected);
}

}  // namespace
}  // namespace vantrel
