#include <cstdint>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "vantrel/collections/int_grid.h"
#include "vantrel/core/describe.h"

namespace vantrel {
namespace {

using Cells = std::vector<std::pair<std::int64_t, std::int64_t>>;

std::pair<std::int64_t, std::int64_t> xy(IntCoordinate c) { return {c.x(), c.y()}; }

Cells walk(const IntRect& rect) {
  Cells cells;
  for (IntCoordinate c : rect) cells.push_back(xy(c));
  return cells;
}

TEST(IntSize, FromElementCountRoundsRowsUp) {
  struct Case {
    std::int64_t width, elements, height;
  };
  const Case cases[] = {{3, 7, 3}, {3, 6, 2}, {3, 0, 0}, {1, 5, 5}, {4, 1, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.width << " wide, " << c.elements << " cells");
    EXPECT_EQ(IntSize::fromElementCount(c.width, c.elements), IntSize(c.width, c.height));
  }
  EXPECT_DEATH((void)IntSize::fromElementCount(0, 4), "width must not be 0");
}

TEST(IntSize, NumbersCellsRowByRow) {
  const IntSize size(3, 2);
  EXPECT_EQ(size.width(), 3);
  EXPECT_EQ(size.height(), 2);
  EXPECT_EQ(size.count(), 6);
  EXPECT_EQ(size.indexForCoordinate(IntCoordinate(2, 1)), 5);
  EXPECT_EQ(xy(size.coordinateForIndex(5)), std::make_pair(std::int64_t{2}, std::int64_t{1}));
  for (std::int64_t i = 0; i < size.count(); ++i) {
    EXPECT_EQ(size.indexForCoordinate(size.coordinateForIndex(i)), i);
  }
  EXPECT_EQ(IntSize(std::pair<std::int64_t, std::int64_t>(3, 2)), size);
  EXPECT_NE(IntSize(2, 3), size);
}

TEST(IntSizeDeathTest, StopsOnZeroWidthAndOverflow) {
  EXPECT_DEATH((void)IntSize(0, 4).coordinateForIndex(3), "width must not be 0");
  EXPECT_DEATH((void)IntSize(INT64_MAX, 2).count(), "Arithmetic overflow");
  EXPECT_DEATH((void)IntSize(INT64_MAX, 2).indexForCoordinate(IntCoordinate(0, 2)),
               "Arithmetic overflow");
}

TEST(IntCoordinate, OffsetsAndWrapsAtRowEnds) {
  EXPECT_EQ(xy(IntCoordinate(1, 2).withOffset(-3, 4)), std::make_pair(std::int64_t{-2}, std::int64_t{6}));
  struct Case {
    std::int64_t x, y, dx, dy, toX, toY;
  };
  const Case cases[] = {
      {3, 0, 1, 0, 0, 1},   // past the last column: first column of the row below
      {0, 1, -1, 0, 3, 0},  // before the first: last column of the row above
      {1, 1, -3, 0, 3, 0},  // however far: exactly one row, to the last column
      {1, 1, 9, 0, 0, 2},
      {1, 1, 1, 1, 2, 2},   // inside: a plain offset
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "(" << c.x << ", " << c.y << ") by " << c.dx);
    EXPECT_EQ(xy(IntCoordinate(c.x, c.y).withOffset(c.dx, c.dy, 4)), std::make_pair(c.toX, c.toY));
  }
}

TEST(IntRect, WalksRowByRowAndDescribesItself) {
  const IntRect rect(1, 2, 5, 6);
  EXPECT_EQ(walk(rect), (Cells{{1, 5}, {2, 5}, {1, 6}, {2, 6}}));
  EXPECT_EQ(walk(rect), (Cells{{1, 5}, {2, 5}, {1, 6}, {2, 6}}));  // a fresh walk each time
  EXPECT_EQ(rect.width(), 2);
  EXPECT_EQ(rect.height(), 2);
  EXPECT_EQ(describe(rect), "IntRect(2 x 2: startColumn: 1, endColumn: 2, startRow: 5, endRow: 6)");
  IntRectIterator it = rect.makeIterator();
  for (int i = 0; i < 4; ++i) ASSERT_TRUE(it.next().has_value());
  EXPECT_FALSE(it.next().has_value());
  EXPECT_FALSE(it.next().has_value());
}

TEST(IntRect, InvertedAndSingleCellRectangles) {
  EXPECT_TRUE(walk(IntRect(0, 3, 5, 4)).empty());                  // rows inverted
  EXPECT_EQ(walk(IntRect(3, 1, 0, 2)), (Cells{{3, 0}, {3, 1}, {3, 2}}));  // columns inverted
  const IntRect single(7, 7, -2, -2);
  EXPECT_EQ(single.width(), 1);
  EXPECT_EQ(single.height(), 1);
  EXPECT_EQ(walk(single), (Cells{{7, -2}}));
  EXPECT_EQ(IntRect(5, 1, 0, 0).width(), -3);  // stored and measured unchecked
}

}  // namespace
}  // namespace vantrel
