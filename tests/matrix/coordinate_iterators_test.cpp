#include <cstdint>
#include <functional>
#include <limits>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "vantrel/core/random.h"
#include "vantrel/matrix/coordinate_iterators.h"

namespace vantrel {
namespace {

using C = MatrixCoordinate;
using S = MatrixSize;
using Cs = std::vector<C>;

// Everything a walk hands out, then three more requests that must all be
// nullopt (a spent walk stays spent).
template <class Walk>
Cs drain(Walk walk, int* lateAnswers = nullptr) {
  Cs out;
  while (std::optional<C> c = walk.next()) {
    out.push_back(*c);
    if (out.size() > 100000) break;  // a walk that never ends fails below, not here
  }
  int late = 0;
  for (int i = 0; i < 3; ++i) late += walk.next().has_value() ? 1 : 0;
  if (lateAnswers != nullptr) *lateAnswers = late;
  return out;
}

TEST(CoordinateIterators, ReplayTheHeader) {
  MatrixSize size(3, 2);
  EXPECT_EQ(drain(size.coordinateIterator()), (Cs{{0, 0}, {1, 0}, {2, 0}, {0, 1}, {1, 1}, {2, 1}}));
  auto spiral = size.coordinateIterator_spiral();
  Cs seen;
  for (C c : spiral) seen.push_back(c);  // range-for consumes the walk itself
  EXPECT_EQ(seen, (Cs{{0, 0}, {1, 0}, {2, 0}, {2, 1}, {1, 1}, {0, 1}}));
  EXPECT_EQ(spiral.next(), std::nullopt);
  const std::optional<CoordinateIteratorType2> four = CoordinateIteratorType2::from("checkered-4");
  ASSERT_TRUE(four.has_value());
  EXPECT_EQ(four->kind(), CoordinateIteratorType2::Kind::checkered);
  EXPECT_EQ(four->stepSize(), 4);
}

TEST(CoordinateIterators, RowByRow) {
  struct Case {
    S size;
    Cs expected;
  };
  const Case cases[] = {
      {S(3, 2), {{0, 0}, {1, 0}, {2, 0}, {0, 1}, {1, 1}, {2, 1}}},
      {S(1, 2), {{0, 0}, {0, 1}}},
      {S(0, 5), {}},
      {S(5, 0), {}},
      {S(-2, -3), {}},  // negative sides hold no cells, though their product is positive
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.size.description());
    EXPECT_EQ(drain(c.size.coordinateIterator()), c.expected);
  }
}

TEST(CoordinateIterators, Spiral) {
  struct Case {
    S size;
    bool counterClockwise;
    Cs expected;
  };
  const Case cases[] = {
      {S(3, 3), false, {{0, 0}, {1, 0}, {2, 0}, {2, 1}, {2, 2}, {1, 2}, {0, 2}, {0, 1}, {1, 1}}},
      {S(3, 3), true, {{0, 0}, {0, 1}, {0, 2}, {1, 2}, {2, 2}, {2, 1}, {2, 0}, {1, 0}, {1, 1}}},
      {S(4, 2), false, {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {3, 1}, {2, 1}, {1, 1}, {0, 1}}},
      {S(4, 2), true, {{0, 0}, {0, 1}, {1, 1}, {2, 1}, {3, 1}, {3, 0}, {2, 0}, {1, 0}}},
      {S(1, 3), false, {{0, 0}, {0, 1}, {0, 2}}},
      {S(1, 3), true, {{0, 0}, {0, 1}, {0, 2}}},
      {S(3, 1), false, {{0, 0}, {1, 0}, {2, 0}}},
      {S(3, 1), true, {{0, 0}, {1, 0}, {2, 0}}},
      {S(0, 5), false, {}},
      {S(0, 5), true, {}},
      {S(1, 1), false, {{0, 0}}},
      {S(1, 1), true, {{0, 0}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.size.description() + (c.counterClockwise ? " counter-clockwise" : " clockwise"));
    EXPECT_EQ(drain(c.size.coordinateIterator_spiral(c.counterClockwise)), c.expected);
  }
}

TEST(CoordinateIterators, Checkered) {
  struct Case {
    S size;
    std::int64_t step;
    Cs expected;
  };
  const Case cases[] = {
      {S(4, 3),
       3,
       {{0, 0}, {3, 0}, {1, 1}, {2, 2}, {1, 0}, {2, 1}, {0, 2}, {3, 2}, {2, 0}, {0, 1}, {3, 1}, {1, 2}}},
      {S(2, 2), 5, {{0, 0}, {1, 1}, {1, 0}, {0, 1}}},  // the step is cut to the width
      {S(3, 2), 1, {{0, 0}, {1, 0}, {2, 0}, {0, 1}, {1, 1}, {2, 1}}},
      {S(1, 3), 4, {{0, 0}, {0, 1}, {0, 2}}},
      {S(5, 0), 3, {}},
      {S(3, 2), std::numeric_limits<std::int64_t>::max(), {{0, 0}, {1, 1}, {1, 0}, {2, 1}, {2, 0}, {0, 1}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.size.description() + " step " + std::to_string(c.step));
    EXPECT_EQ(drain(c.size.coordinateIterator_checkered(c.step)), c.expected);
  }
  EXPECT_EQ(drain(S(4, 3).coordinateIterator_checkered()), drain(S(4, 3).coordinateIterator_checkered(3)));
}

TEST(CoordinateIterators, SidesWithoutCellsGiveNothing) {
  constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
  for (const S& size : {S(kMin, 3), S(3, kMin), S(kMin, kMin), S(-2, -3)}) {
    SCOPED_TRACE(size.description());
    EXPECT_EQ(drain(size.coordinateIterator()), Cs{});
    EXPECT_EQ(drain(size.coordinateIterator_spiral(false)), Cs{});
    EXPECT_EQ(drain(size.coordinateIterator_spiral(true)), Cs{});
    EXPECT_EQ(drain(size.coordinateIterator_randomOuterLine()), Cs{});
    EXPECT_EQ(drain(size.coordinateIterator_randomPrecalculated()), Cs{});
    EXPECT_EQ(drain(size.coordinateIterator_checkered(2)), Cs{});
    EXPECT_EQ(drain(size.coordinateIterator_array({{0, 0}})), Cs{});
  }
}

TEST(CoordinateIterators, CallersList) {
  const Cs list{{5, 5}, {0, 0}, {9, 1}};
  EXPECT_EQ(drain(S(2, 1).coordinateIterator_array(list)), (Cs{{5, 5}, {0, 0}}));
  EXPECT_EQ(drain(S(3, 1).coordinateIterator_array(list)), list);
  EXPECT_EQ(drain(S(0, 4).coordinateIterator_array({})), Cs{});
}

TEST(CoordinateIteratorsDeathTest, ShortListStopsAtTheRequestBeyondItsEnd) {
  auto walk = S(2, 2).coordinateIterator_array({{0, 0}, {1, 0}});
  EXPECT_EQ(walk.next(), C(0, 0));
  EXPECT_EQ(walk.next(), C(1, 0));
  EXPECT_DEATH((void)walk.next(),
               "coordinateIterator_array: the list holds 2 coordinates, fewer than the 2 x 2 cells of the walk");
  // A size whose cell count overflows is only ever cut short by its list.
  auto huge = S(std::numeric_limits<std::int64_t>::max(), 2).coordinateIterator_array({{0, 0}});
  EXPECT_EQ(huge.next(), C(0, 0));
  EXPECT_DEATH((void)huge.next(), "the list holds 1 coordinates, fewer than the 9223372036854775807 x 2 cells");
}

TEST(CoordinateIteratorsDeathTest, CheckeredStepBelowOneStops) {
  EXPECT_DEATH((void)S(4, 3).coordinateIterator_checkered(0), "coordinateIterator_checkered: step 0 must be at least 1");
  EXPECT_DEATH((void)S(4, 3).coordinateIterator_checkered(-2), "step -2 must be at least 1");
  EXPECT_DEATH((void)S(0, 0).coordinateIterator_checkered(0), "step 0 must be at least 1");
}

TEST(CoordinateIterators, RandomOrderReplaysItsShuffle) {
  // Fisher-Yates from the front over the cells in row order: bounds 3, 2.
  ScriptedRandomSource script({2, 1});
  ScopedRandomSource use(script);
  EXPECT_EQ(drain(S(3, 1).coordinateIterator_randomPrecalculated()), (Cs{{2, 0}, {0, 0}, {1, 0}}));
  EXPECT_EQ(script.bounds(), (std::vector<std::uint32_t>{3, 2}));
  EXPECT_EQ(drain(S(1, 1).coordinateIterator_randomPrecalculated()), (Cs{{0, 0}}));
  EXPECT_EQ(drain(S(0, 3).coordinateIterator_randomPrecalculated()), Cs{});
  EXPECT_EQ(script.remaining(), 0u);  // one cell or none: nothing drawn
}

TEST(CoordinateIterators, RandomOrderTurnsEveryIndexIntoItsCell) {
  // Draws of 0 swap nothing, so the walk is the row-major order, and every
  // index of a wide size goes through the walk's division.
  const S size(999983, 4);
  ScriptedRandomSource script(std::vector<std::uint32_t>(999983 * 4 - 1, 0));
  ScopedRandomSource use(script);
  auto walk = size.coordinateIterator_randomPrecalculated();
  std::int64_t wrong = 0;
  for (std::int64_t i = 0; i < 999983 * 4; ++i) wrong += walk.next() != C(i % 999983, i / 999983) ? 1 : 0;
  EXPECT_EQ(wrong, 0);
  EXPECT_EQ(walk.next(), std::nullopt);
}

TEST(CoordinateIteratorsDeathTest, RandomOrderRefusesMoreCellsThanTheSourceCanShuffle) {
  EXPECT_DEATH((void)S(65536, 65537).coordinateIterator_randomPrecalculated(),
               "65536 x 65537 cells exceed the 4294967295");
}

TEST(CoordinateIterators, OuterLinesReplayTheirDraws) {
  struct Case {
    S size;
    std::vector<std::uint32_t> draws;  // flag, then corner and coin per line
    Cs expected;
  };
  const Case cases[] = {
      // Flag off. Top left, coin 0: column 0 down. Bottom right, coin 0: column
      // 2 up. Top right, coin 1: row 1 leftwards. Bottom left, coin 1: row 0.
      {S(3, 2), {1, 1, 0, 3, 0, 0, 1, 2, 1}, {{0, 1}, {0, 0}, {2, 0}, {2, 1}, {1, 1}, {1, 0}}},
      // Flag on: bottom right gives a row even for coin 0.
      {S(2, 1), {0, 3, 0}, {{1, 0}, {0, 0}}},
      // Flag on: top right, coin 0, row 1 leftwards; then twice top left,
      // coin 0: a column of one cell each.
      {S(2, 2), {0, 0, 0, 1, 0, 1, 0}, {{1, 1}, {0, 1}, {0, 0}, {1, 0}}},
      {S(1, 1), {1, 2, 0}, {{0, 0}}},
      {S(0, 3), {1}, {}},  // the flag is drawn at creation, whatever the size
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.size.description());
    ScriptedRandomSource script(c.draws);
    ScopedRandomSource use(script);
    EXPECT_EQ(drain(c.size.coordinateIterator_randomOuterLine()), c.expected);
    EXPECT_EQ(script.remaining(), 0u);
    std::vector<std::uint32_t> bounds{2};
    for (std::size_t i = 1; i < c.draws.size(); i += 2) bounds.insert(bounds.end(), {4, 2});
    EXPECT_EQ(script.bounds(), bounds);
  }
}

// Whether `cells` peel the w x h rectangle line by line: each line starts at
// a corner of what remains and runs a whole row or column of it.
::testing::AssertionResult peelsWholeLines(const Cs& cells, std::int64_t w, std::int64_t h) {
  std::int64_t minX = 0, maxX = w - 1, minY = 0, maxY = h - 1;
  std::size_t i = 0;
  while (i < cells.size()) {
    const C start = cells[i];
    const bool atX = start.x == minX || start.x == maxX;
    const bool atY = start.y == minY || start.y == maxY;
    if (!atX || !atY) return ::testing::AssertionFailure() << "cell " << i << " is not a corner";
    const auto runs = [&](std::int64_t dx, std::int64_t dy, std::int64_t length) {
      if (i + static_cast<std::size_t>(length) > cells.size()) return false;
      for (std::int64_t k = 0; k < length; ++k) {
        if (cells[i + static_cast<std::size_t>(k)] != C(start.x + k * dx, start.y + k * dy)) return false;
      }
      return true;
    };
    const std::int64_t dx = start.x == minX ? 1 : -1;
    const std::int64_t dy = start.y == minY ? 1 : -1;
    if (runs(0, dy, maxY - minY + 1)) {
      i += static_cast<std::size_t>(maxY - minY + 1);
      if (start.x == minX) ++minX; else --maxX;
    } else if (runs(dx, 0, maxX - minX + 1)) {
      i += static_cast<std::size_t>(maxX - minX + 1);
      if (start.y == minY) ++minY; else --maxY;
    } else {
      return ::testing::AssertionFailure() << "the line from cell " << i << " is not a whole row or column";
    }
  }
  return ::testing::AssertionSuccess();
}

TEST(CoordinateIterators, EveryWalkVisitsEachCellOnceAndThenStops) {
  using Walks = std::vector<std::pair<std::string, std::function<Cs(const S&, int*)>>>;
  const Walks walks = {
      {"ordered", [](const S& s, int* late) { return drain(s.coordinateIterator(), late); }},
      {"spiral", [](const S& s, int* late) { return drain(s.coordinateIterator_spiral(false), late); }},
      {"spiral ccw", [](const S& s, int* late) { return drain(s.coordinateIterator_spiral(true), late); }},
      {"outer lines", [](const S& s, int* late) { return drain(s.coordinateIterator_randomOuterLine(), late); }},
      {"random", [](const S& s, int* late) { return drain(s.coordinateIterator_randomPrecalculated(), late); }},
      {"checkered 1", [](const S& s, int* late) { return drain(s.coordinateIterator_checkered(1), late); }},
      {"checkered 2", [](const S& s, int* late) { return drain(s.coordinateIterator_checkered(2), late); }},
      {"checkered 3", [](const S& s, int* late) { return drain(s.coordinateIterator_checkered(3), late); }},
      {"checkered 7", [](const S& s, int* late) { return drain(s.coordinateIterator_checkered(7), late); }},
  };
  for (std::int64_t w = 0; w <= 9; ++w) {
    for (std::int64_t h = 0; h <= 9; ++h) {
      for (const auto& [name, walk] : walks) {
        SCOPED_TRACE(name + " on " + S(w, h).description());
        int late = 0;
        const Cs cells = walk(S(w, h), &late);
        EXPECT_EQ(late, 0);
        ASSERT_EQ(cells.size(), static_cast<std::size_t>(w * h));
        const std::set<std::pair<std::int64_t, std::int64_t>> distinct = [&] {
          std::set<std::pair<std::int64_t, std::int64_t>> s;
          for (const C& c : cells) {
            EXPECT_TRUE(S(w, h).contains(c)) << c.description();
            s.emplace(c.x, c.y);
          }
          return s;
        }();
        EXPECT_EQ(distinct.size(), cells.size());
        if (name == "outer lines") {
          EXPECT_TRUE(peelsWholeLines(cells, w, h));
        }
      }
    }
  }
}

TEST(CoordinateIteratorType1, ParsesNamesInAnyLetterCase) {
  using T = CoordinateIteratorType1;
  const std::pair<std::string, std::optional<T>> cases[] = {
      {"ordered", T::ordered},
      {"ORDERED", T::ordered},
      {"checkered", T::checkered},
      {"Spiral", T::spiral},
      {"randomOuterLine", T::randomOuterLine},
      {"RANDOMOUTERLINE", T::randomOuterLine},
      {"random", T::random},
      {"checkered-3", std::nullopt},
      {" spiral", std::nullopt},
      {"spiral ", std::nullopt},
      {"spiralCounterClockwise", std::nullopt},
      {"", std::nullopt},
      {"randomouter", std::nullopt},
  };
  for (const auto& [text, expected] : cases) {
    SCOPED_TRACE(text);
    EXPECT_EQ(T::from(text), expected);
  }
  EXPECT_EQ(T::all(), (std::array<T, 5>{T::ordered, T::checkered, T::spiral, T::randomOuterLine, T::random}));
}

// The case as text, for comparing the payload-carrying cases.
std::string caseText(const std::optional<CoordinateIteratorType2>& value) {
  if (!value) return "none";
  using K = CoordinateIteratorType2::Kind;
  switch (value->kind()) {
    case K::checkered: return "checkered(" + std::to_string(*value->stepSize()) + ")";
    case K::spiral: return *value->clockwise() ? "spiral(clockwise)" : "spiral(counter-clockwise)";
    case K::ordered: return "ordered";
    case K::randomOuterLine: return "randomOuterLine";
    case K::random: return "random";
  }
  return "?";
}

TEST(CoordinateIteratorType2, ParsesNamesAndCheckeredSteps) {
  const std::pair<std::string, std::string> cases[] = {
      {"ordered", "ordered"},
      {"Ordered", "ordered"},
      {"spiral", "spiral(clockwise)"},
      {"Spiral", "spiral(clockwise)"},
      {"spiralCounterClockwise", "spiral(counter-clockwise)"},
      {"SPIRALCOUNTERCLOCKWISE", "spiral(counter-clockwise)"},
      {"spiralcounterclockwise", "spiral(counter-clockwise)"},
      {"randomOuterLine", "randomOuterLine"},
      {"random", "random"},
      {"checkered-4", "checkered(4)"},
      {"checkered-+4", "checkered(4)"},
      {"checkered-004", "checkered(4)"},
      {"checkered-9223372036854775807", "checkered(9223372036854775807)"},
      {"checkered-9223372036854775808", "none"},  // beyond int64_t
      {"checkered-99999999999999999999", "none"},
      {"Checkered-4", "none"},  // the prefix is case-sensitive
      {"CHECKERED-4", "none"},
      {"checkered", "none"},
      {"checkered-", "none"},
      {"checkered-a", "none"},
      {"checkered-4a", "none"},
      {"checkered- 4", "none"},
      {"checkered-4 ", "none"},
      {"checkered-+", "none"},
      {"checkered--4", "none"},
      {"checkered-+-4", "none"},
      {"checkered-++4", "none"},
      {"checkered-0", "none"},  // a step below 1 never makes a walk
      {"checkered-+0", "none"},
      {"checkered--0", "none"},
      {"checkered--1", "none"},
      {"checkered--9223372036854775808", "none"},
      {"checkered-1", "checkered(1)"},
      {"checkered-\xd9\xa3", "none"},  // an Arabic-Indic three is not a decimal digit here
      {" ordered", "none"},
      {"", "none"},
  };
  for (const auto& [text, expected] : cases) {
    SCOPED_TRACE(text);
    EXPECT_EQ(caseText(CoordinateIteratorType2::from(text)), expected);
  }
}

TEST(CoordinateIteratorType2, SomeListsTwelveCasesInOrder) {
  std::vector<std::string> texts;
  for (const CoordinateIteratorType2& t : CoordinateIteratorType2::some()) texts.push_back(caseText(t));
  EXPECT_EQ(texts, (std::vector<std::string>{"ordered", "checkered(1)", "checkered(2)", "checkered(3)",
                                             "checkered(4)", "checkered(5)", "checkered(6)", "checkered(7)",
                                             "spiral(clockwise)", "spiral(counter-clockwise)", "randomOuterLine",
                                             "random"}));
}

}  // namespace
}  // namespace vantrel
