#include <array>
#include <list>
#include <map>
#include <memory>
#include <ranges>
#include <span>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "vantrel/collections/shuffling.h"
#include "vantrel/core/random.h"

namespace vantrel {
namespace {

using Bounds = std::vector<std::uint32_t>;
using Chars = std::vector<char>;

static_assert(std::ranges::input_range<InfiniteSequence<int>>);
static_assert(std::ranges::input_range<const RandomSequence<int>>);
static_assert(std::ranges::input_range<ConstantSequence<std::string>>);

template <class Sequence>
auto firstElements(const Sequence& sequence, std::size_t n) {
  std::vector<std::ranges::range_value_t<Sequence>> out;
  for (auto&& element : sequence | std::views::take(n)) out.push_back(element);
  return out;
}

TEST(Shuffle, ShortCollectionsDrawNothing) {
  ScriptedRandomSource empty({});
  ScopedRandomSource use(empty);
  Chars none;
  shuffle(none);
  Chars one{'a'};
  shuffle(one);
  EXPECT_EQ(one, Chars{'a'});
  EXPECT_TRUE(empty.bounds().empty());
}

TEST(Shuffle, TwoElementsSwapExactlyWhenTheDrawIsOne) {
  ScriptedRandomSource script({1, 0});
  ScopedRandomSource use(script);
  Chars values{'a', 'b'};
  shuffle(values);
  EXPECT_EQ(values, (Chars{'b', 'a'}));
  shuffle(values);
  EXPECT_EQ(values, (Chars{'b', 'a'}));
  EXPECT_EQ(script.bounds(), (Bounds{2, 2}));
}

TEST(Shuffle, DrawsFromTheFrontWithShrinkingBounds) {
  ScriptedRandomSource script({3, 0, 1});
  ScopedRandomSource use(script);
  std::array<char, 4> values{'a', 'b', 'c', 'd'};  // any random-access collection
  shuffle(values);
  // i = 0, d = 3: d b c a; i = 1, d = 0: unchanged; i = 2, d = 1: d b a c.
  EXPECT_EQ(values, (std::array<char, 4>{'d', 'b', 'a', 'c'}));
  EXPECT_EQ(script.bounds(), (Bounds{4, 3, 2}));
}

TEST(Shuffle, ReordersAPartOfACollectionInPlace) {
  ScriptedRandomSource script({1});
  ScopedRandomSource use(script);
  Chars values{'a', 'b', 'c'};
  shuffle(std::span(values).subspan(1));
  EXPECT_EQ(values, (Chars{'a', 'c', 'b'}));
}

TEST(Shuffle, EveryOrderIsAboutEquallyLikely) {
  std::map<std::string, int> seen;
  constexpr int kShuffles = 6000;
  for (int i = 0; i < kShuffles; ++i) {
    std::string order = "abc";
    shuffle(order);
    ++seen[order];
  }
  ASSERT_EQ(seen.size(), 6u);
  for (const auto& [order, times] : seen) {
    SCOPED_TRACE(order);
    EXPECT_GT(times, 800);  // expected 1000, standard deviation about 29
    EXPECT_LT(times, 1200);
  }
}

TEST(Shuffled, CopiesInIterationOrderThenShuffles) {
  ScriptedRandomSource script({2, 0});
  ScopedRandomSource use(script);
  const std::list<char> source{'a', 'b', 'c'};
  EXPECT_EQ(shuffled(source), (Chars{'c', 'b', 'a'}));
  EXPECT_EQ(source, (std::list<char>{'a', 'b', 'c'}));
  EXPECT_EQ(script.bounds(), (Bounds{3, 2}));
}

TEST(InfiniteSequence, CyclesFromTheStartOnEveryTraversal) {
  InfiniteSequence<char> cycle({'a', 'b', 'c'}, 1);
  EXPECT_EQ(firstElements(cycle, 7), (Chars{'b', 'c', 'a', 'b', 'c', 'a', 'b'}));
  EXPECT_EQ(firstElements(cycle, 2), (Chars{'b', 'c'}));  // starts again at b
  EXPECT_EQ(cycle.elements(), (Chars{'a', 'b', 'c'}));
  InfiniteIterator<char> it = cycle.makeIterator();
  EXPECT_EQ(it.next(), 'b');
  EXPECT_EQ(it.next(), 'c');
  EXPECT_EQ(it.next(), 'a');
  EXPECT_EQ(firstElements(InfiniteSequence<char>({'z'}), 3), (Chars{'z', 'z', 'z'}));
}

TEST(InfiniteSequenceDeathTest, StartOutsideTheListStopsWhenTraversalBegins) {
  InfiniteSequence<char> past({'a', 'b', 'c'}, 3);  // can be created
  EXPECT_EQ(past.elements().size(), 3u);
  EXPECT_DEATH((void)past.makeIterator(), "start index 3 out of range 0..<3");
  InfiniteSequence<char> negative({'a', 'b', 'c'}, -1);
  EXPECT_DEATH((void)firstElements(negative, 1), "start index -1 out of range 0..<3");
  InfiniteSequence<char> empty({});
  EXPECT_DEATH((void)empty.begin(), "start index 0 out of range 0..<0");
}

TEST(RandomSequence, PicksIndependentlyWithOneDrawPerStep) {
  ScriptedRandomSource script({2, 0, 2});
  ScopedRandomSource use(script);
  RandomSequence<char> picks({'a', 'b', 'c'});
  // Bounded by take(3): exactly three draws, none wasted.
  EXPECT_EQ(firstElements(picks, 3), (Chars{'c', 'a', 'c'}));
  EXPECT_EQ(script.remaining(), 0u);
  EXPECT_EQ(script.bounds(), (Bounds{3, 3, 3}));
  EXPECT_EQ(picks.elements(), (Chars{'a', 'b', 'c'}));
}

TEST(RandomSequence, EmptyListEndsAtOnceAndOneElementDrawsNothing) {
  ScriptedRandomSource empty({});
  ScopedRandomSource use(empty);
  int steps = 0;
  for ([[maybe_unused]] char c : RandomSequence<char>({})) ++steps;
  EXPECT_EQ(steps, 0);
  EXPECT_EQ(RandomSequence<char>({}).makeIterator().next(), std::nullopt);
  EXPECT_EQ(firstElements(RandomSequence<char>({'a'}), 4), (Chars{'a', 'a', 'a', 'a'}));
}

TEST(ConstantSequence, RepeatsItsElement) {
  ConstantSequence<std::string> xs("x");
  EXPECT_EQ(firstElements(xs, 3), (std::vector<std::string>{"x", "x", "x"}));
  EXPECT_EQ(xs.element(), "x");
  auto object = std::make_shared<int>(4);
  ConstantSequence<std::shared_ptr<int>> same(object);
  auto it = same.makeIterator();
  EXPECT_EQ(it.next(), object);  // the same object every time
  EXPECT_EQ(it.next(), object);
}

}  // namespace
}  // namespace vantrel
