#include <cstdint>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "vantrel/core/describe.h"
#include "vantrel/core/random.h"
#include "vantrel/matrix/matrix_rect.h"

namespace vantrel {
namespace {

using C = MatrixCoordinate;
using S = MatrixSize;
using Cells = std::vector<C>;

Cells walk(const MatrixRect& rect) {
  Cells cells;
  for (C c : rect) cells.push_back(c);
  return cells;
}

struct Ends {
  std::int64_t startColumn, endColumn, startRow, endRow, width, height;
};

void expectEnds(const MatrixRect& rect, const Ends& want) {
  EXPECT_EQ(rect.startColumn, want.startColumn);
  EXPECT_EQ(rect.endColumn, want.endColumn);
  EXPECT_EQ(rect.startRow, want.startRow);
  EXPECT_EQ(rect.endRow, want.endRow);
  EXPECT_EQ(rect.width(), want.width);
  EXPECT_EQ(rect.height(), want.height);
  EXPECT_EQ(rect.size(), S(want.width, want.height));
}

TEST(MatrixRectExample, ReplaysTheHeader) {
  const MatrixRect rect(C(2, 3), S(4, 2));
  expectEnds(rect, {2, 5, 3, 4, 4, 2});
  EXPECT_EQ(rect.topLeft(), C(2, 3));
  EXPECT_EQ(rect.bottomRight(), C(5, 4));
  EXPECT_EQ(walk(rect), (Cells{C(2, 3), C(3, 3), C(4, 3), C(5, 3), C(2, 4), C(3, 4), C(4, 4), C(5, 4)}));
  expectEnds(rect.rectInsetedBy(1, 0), {3, 4, 3, 4, 2, 2});
  expectEnds(rect, {2, 5, 3, 4, 4, 2});  // the copy changed, not the receiver
}

TEST(MatrixRect, MadeFromEndsOrFourIntegers) {
  expectEnds(MatrixRect::fromStartColumn(1, 1, 0, 2), {1, 1, 0, 2, 1, 3});
  expectEnds(MatrixRect(1, 2, 3, 4), {1, 3, 2, 5, 3, 4});
  EXPECT_EQ(describe(MatrixRect(0, 0, 2, 3)),
            "MatrixRect(2 x 3: startColumn: 0, endColumn: 1, startRow: 0, endRow: 2))");
  EXPECT_TRUE(walk(MatrixRect(C(0, 0), S(0, 3))).empty());
  EXPECT_TRUE(walk(MatrixRect(C(0, 0), S(3, 0))).empty());
}

TEST(MatrixRect, StoredSizeFollowsOnlyTheRecomputingOperations) {
  MatrixRect rect(0, 0, 4, 2);
  rect.endColumn = 5;
  EXPECT_EQ(rect.width(), 4);
  EXPECT_EQ(rect.size(), S(4, 2));
  EXPECT_EQ(walk(rect).size(), 12u);  // the walk follows the new end
  rect.moveBy(1, 1);
  expectEnds(rect, {1, 6, 1, 2, 4, 2});
  rect.formUnion(rect);
  expectEnds(rect, {1, 6, 1, 2, 6, 2});
  expectEnds(rect.rectMovedBy(-1, -1), {0, 5, 0, 1, 6, 2});
}

TEST(MatrixRect, UnionAndInsets) {
  MatrixRect joined = MatrixRect::fromStartColumn(0, 1, 0, 1);
  joined.formUnion(MatrixRect::fromStartColumn(3, 4, 5, 5));
  expectEnds(joined, {0, 4, 0, 5, 5, 6});

  MatrixRect square = MatrixRect::fromStartColumn(0, 4, 0, 4);
  expectEnds(square.rectInsetedBy(1, 1), {1, 3, 1, 3, 3, 3});
  expectEnds(square.rectInsetedBy(-1, 0), {-1, 5, 0, 4, 7, 5});
  const MatrixRect inverted = square.rectInsetedBy(3, 0);
  expectEnds(inverted, {3, 1, 0, 4, -1, 5});
  EXPECT_TRUE(walk(inverted).empty());
}

TEST(MatrixRect, IteratorStaysEndedAndOwnsItsCopy) {
  MatrixRect rect(0, 0, 2, 1);
  MatrixRectIterator it = rect.makeIterator();
  rect.endColumn = 10;  // the iterator keeps the rectangle it was made from
  EXPECT_EQ(it.next(), C(0, 0));
  EXPECT_EQ(it.next(), C(1, 0));
  EXPECT_EQ(it.next(), std::nullopt);
  EXPECT_EQ(it.next(), std::nullopt);
  // A rectangle on the last representable row ends instead of overflowing.
  EXPECT_EQ(walk(MatrixRect::fromStartColumn(0, 1, INT64_MAX, INT64_MAX)),
            (Cells{C(0, INT64_MAX), C(1, INT64_MAX)}));
}

TEST(MatrixRect, RandomRectanglesUseTheScriptedSource) {
  {
    ScriptedRandomSource script({1, 0, 2, 1});
    ScopedRandomSource use(script);
    // Width 1...5 drawn 1 + 1 = 2, height 1...5 drawn 1, x in 0...3 drawn 2, y in 0...4 drawn 1.
    expectEnds(S(5, 5).randomRect(), {2, 3, 1, 1, 2, 1});
    EXPECT_EQ(script.bounds(), (std::vector<std::uint32_t>{5, 5, 4, 5}));
  }
  {
    ScriptedRandomSource script({});
    ScopedRandomSource use(script);
    expectEnds(S(1, 1).randomRect(), {0, 0, 0, 0, 1, 1});  // every span is a single value
  }
  {
    ScriptedRandomSource script({0, 0, 1, 0});
    ScopedRandomSource use(script);
    expectEnds(S(6, 6).randomRect(S(2, 2), S(3, 4)), {1, 2, 0, 1, 2, 2});
    EXPECT_EQ(script.bounds(), (std::vector<std::uint32_t>{2, 3, 5, 5}));
  }
  {
    ScriptedRandomSource script({2});
    ScopedRandomSource use(script);
    // Wider than the size: column 0, reaching past it; the row is drawn in 0...2.
    expectEnds(S(3, 3).rectRandomlyPosition(S(5, 1)), {0, 4, 2, 2, 5, 1});
    EXPECT_EQ(script.bounds(), (std::vector<std::uint32_t>{3}));
  }
}

TEST(MatrixCoordinateFactory, FilledAndStrokedRectangles) {
  const MatrixCoordinateFactory factory;
  EXPECT_EQ(factory.rectFilled(C(1, 1), IntSize(2, 2)), (Cells{C(1, 1), C(2, 1), C(1, 2), C(2, 2)}));
  struct Case {
    C origin;
    IntSize size;
    Cells want;
  };
  const Case cases[] = {
      {C(0, 0), IntSize(3, 3),
       {C(0, 0), C(1, 0), C(2, 0), C(0, 1), C(2, 1), C(0, 2), C(1, 2), C(2, 2)}},
      {C(10, 5), IntSize(2, 4),
       {C(10, 5), C(11, 5), C(10, 6), C(11, 6), C(10, 7), C(11, 7), C(10, 8), C(11, 8)}},
      {C(0, 0), IntSize(1, 3), {C(0, 0), C(0, 1), C(0, 1), C(0, 2)}},
      {C(4, 4), IntSize(3, 1), {C(4, 4), C(5, 4), C(6, 4)}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.origin.description());
    EXPECT_EQ(factory.rectStroked(c.origin, c.size), c.want);
  }
}

TEST(MatrixCoordinateFactory, SubclassesOverrideTheLists) {
  struct Corners : MatrixCoordinateFactory {
    Cells rectStroked(const C& origin, const IntSize&) const override { return {origin}; }
  };
  const std::unique_ptr<MatrixCoordinateFactory> factory = std::make_unique<Corners>();
  EXPECT_EQ(factory->rectStroked(C(3, 3), IntSize(5, 5)), (Cells{C(3, 3)}));
  EXPECT_EQ(factory->rectFilled(C(0, 0), IntSize(1, 1)), (Cells{C(0, 0)}));
}

TEST(MatrixRectDeathTest, RefusesBadSizesSpansAndOverflow) {
  const MatrixCoordinateFactory factory;
  EXPECT_DEATH((void)factory.rectFilled(C(0, 0), IntSize(0, 2)), "rectFilled: size 0 x 2");
  EXPECT_DEATH((void)factory.rectStroked(C(0, 0), IntSize(2, -1)), "rectStroked: size 2 x -1");
  EXPECT_DEATH((void)S(2, 2).randomRect(S(3, 1)), "below minValue");
  EXPECT_DEATH(
      {
        ScriptedRandomSource script({2, 0});  // width 3 in a size 2 wide
        ScopedRandomSource use(script);
        (void)S(2, 2).randomRect(std::nullopt, S(3, 3));
      },
      "below minValue");
  EXPECT_DEATH((void)MatrixRect(INT64_MAX, 0, 2, 1), "Arithmetic overflow");
  EXPECT_DEATH(MatrixRect(0, 0, 2, 1).moveBy(INT64_MAX, 0), "Arithmetic overflow");
}

}  // namespace
}  // namespace vantrel
