#include <cstdint>
#include <optional>
#include <vector>

#include <gtest/gtest.h>

#include "vantrel/collections/array_random.h"
#include "vantrel/core/random.h"

namespace vantrel {
namespace {

using Bounds = std::vector<std::uint32_t>;
using Chars = std::vector<char>;

TEST(RandomElement, PicksWithIntRandomOfTheLastIndex) {
  ScriptedRandomSource script({2});
  {
    ScopedRandomSource use(script);
    EXPECT_EQ(randomElement(Chars{}), std::nullopt);
    EXPECT_EQ(randomElement(Chars{'a'}), 'a');  // no draw
    EXPECT_EQ(randomElement(Chars{'a', 'b', 'c'}), 'c');
  }
  EXPECT_EQ(script.bounds(), (Bounds{3}));
}

TEST(RandomElementExcludingIndex, ShiftsTheDrawPastTheExcludedIndex) {
  struct Case {
    Chars elements;
    std::int64_t excluded;
    std::optional<std::uint32_t> draw;  // none: nothing is drawn
    std::optional<char> picked;
  };
  const Case cases[] = {
      {{'a', 'b'}, 0, std::nullopt, 'b'},
      {{'a', 'b'}, 1, std::nullopt, 'a'},
      {{'a'}, 0, std::nullopt, 'a'},
      {{'a'}, 5, std::nullopt, 'a'},
      {{}, 0, std::nullopt, std::nullopt},
      {{'a', 'b', 'c', 'd'}, 1, 0, 'a'},
      {{'a', 'b', 'c', 'd'}, 1, 1, 'c'},
      {{'a', 'b', 'c', 'd'}, 1, 2, 'd'},
      {{'a', 'b', 'c', 'd'}, -1, 0, 'b'},  // below 0: never the first
      {{'a', 'b', 'c', 'd'}, 4, 2, 'c'},   // count or above: never the last
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.elements.size() << " elements, excluding " << c.excluded);
    ScriptedRandomSource script(c.draw ? std::vector<std::uint32_t>{*c.draw}
                                       : std::vector<std::uint32_t>{});
    ScopedRandomSource use(script);
    EXPECT_EQ(randomElement(c.elements, c.excluded), c.picked);
    EXPECT_EQ(script.remaining(), 0u);
    if (c.draw) {
      EXPECT_EQ(script.bounds(), (Bounds{static_cast<std::uint32_t>(c.elements.size() - 1)}));
    }
  }
}

TEST(SwapTwoRandomElements, DrawsIThenJAndSwapsWhenTheyDiffer) {
  ScriptedRandomSource script({0, 2, 1, 1});
  {
    ScopedRandomSource use(script);
    Chars values{'a', 'b', 'c'};
    swapTwoRandomElements(values);
    EXPECT_EQ(values, (Chars{'c', 'b', 'a'}));
    swapTwoRandomElements(values);  // i == j: unchanged
    EXPECT_EQ(values, (Chars{'c', 'b', 'a'}));
    Chars one{'a'};
    swapTwoRandomElements(one);  // equal bounds: no draw
    EXPECT_EQ(one, Chars{'a'});
  }
  EXPECT_EQ(script.bounds(), (Bounds{3, 3, 3, 3}));
  Chars empty;
  EXPECT_DEATH(swapTwoRandomElements(empty), "swapTwoRandomElements: the array is empty");
}

TEST(Randomize, MakesCountSwapsPerRound) {
  // Round 1: (0, 1), (2, 2), (1, 2); round 2: (0, 2), (0, 0), (1, 1).
  ScriptedRandomSource script({0, 1, 2, 2, 1, 2, 0, 2, 0, 0, 1, 1});
  {
    ScopedRandomSource use(script);
    Chars values{'a', 'b', 'c'};
    randomize(values, 0);
    EXPECT_EQ(values, (Chars{'a', 'b', 'c'}));
    randomize(values, 2);
    // a b c -> b a c -> b a c -> b c a; then -> a c b.
    EXPECT_EQ(values, (Chars{'a', 'c', 'b'}));
  }
  EXPECT_EQ(script.remaining(), 0u);
  EXPECT_EQ(script.bounds(), Bounds(12, 3));
  Chars values{'a', 'b'};
  EXPECT_DEATH(randomize(values, -1), "randomize: shuffleRounds -1 is negative");
}

TEST(RandomizedArray, CopiesAndLeavesShortArraysAlone) {
  ScriptedRandomSource script({0, 1, 0, 0});
  {
    ScopedRandomSource use(script);
    EXPECT_EQ(randomizedArray(Chars{'a'}, -1), Chars{'a'});  // no stop, no draw
    EXPECT_EQ(randomizedArray(Chars{}, 3), Chars{});
    const Chars source{'a', 'b'};
    EXPECT_EQ(randomizedArray(source), (Chars{'b', 'a'}));  // default: one round
    EXPECT_EQ(source, (Chars{'a', 'b'}));
  }
  EXPECT_EQ(script.remaining(), 0u);
}

}  // namespace
}  // namespace vantrel
