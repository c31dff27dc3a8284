#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <utility>

#include <gtest/gtest.h>

#include "vantrel/matrix/grid.h"

namespace vantrel {
namespace {

using C = MatrixCoordinate;

std::string hit(const GridHitArea& area) {
  return (area.kind() == GridHitArea::Kind::tile ? "tile " : "spacing ") + std::to_string(area.index());
}

std::string extent(const std::optional<MatrixRect>& rect) { return rect ? rect->description() : "none"; }

// Tiles 10 x 10, gaps 2, no padding.
Grid plain(Point translation = Point()) { return Grid(Size(10, 10), Size(2, 2), EdgeInsets(), translation); }

TEST(Grid, HitTestTellsTilesFromGaps) {
  const std::pair<double, std::string> cases[] = {
      {0, "tile 0"},        {9.99, "tile 0"}, {10, "spacing 0"}, {11.5, "spacing 0"},
      {12, "tile 1"},       {-1, "spacing -1"}, {-5, "tile -1"},  {-12, "tile -1"},
      {1e15, "tile 83333333333333"},
  };
  for (const auto& [value, expected] : cases) {
    SCOPED_TRACE(value);
    EXPECT_EQ(hit(Grid::hitTest(value, 10, 2)), expected);
  }
  EXPECT_EQ(hit(Grid::hitTest(10, 10, 0)), "tile 1");  // without gaps every point is on a tile
}

TEST(Grid, PaddingGapsAndRectangles) {
  const Grid grid(Size(20, 20), Size(4, 4), EdgeInsets(2));
  EXPECT_EQ(grid.tileSize(), Size(24, 24));
  EXPECT_EQ(grid.rect(MatrixSize(3, 2)), Rect(0, 0, 80, 52));
  EXPECT_EQ(grid.rect(MatrixSize(0, 2)), Rect(0, 0, -4, 52));  // no columns: minus one gap
  EXPECT_EQ(grid.rectForCoordinate(C(1, 0)), Rect(28, 0, 24, 24));
  EXPECT_EQ(grid.innerRectForCoordinate(C(1, 0)), Rect(30, 2, 20, 20));
  EXPECT_EQ(grid.description(), "Grid(tileSize:(24.0, 24.0), tileSpacing:(4.0, 4.0), tilePadding:(2.0, 2.0, 2.0, 2.0))");

  const Grid shifted(Size(8, 6), Size(1, 3), EdgeInsets(1, 2, 3, 4), Point(10, 20));
  EXPECT_EQ(shifted.tileSize(), Size(14, 10));
  EXPECT_EQ(shifted.rectForCoordinate(C(2, 1)), Rect(40, 33, 14, 10));
  EXPECT_EQ(shifted.innerRectForCoordinate(C(2, 1)), Rect(42, 34, 8, 6));
  EXPECT_EQ(shifted.description(), "Grid(tileSize:(14.0, 10.0), tileSpacing:(1.0, 3.0), tilePadding:(1.0, 2.0, 3.0, 4.0))");
}

TEST(Grid, PointsFindTheirTile) {
  struct Case {
    Point translation;
    Point point;
    std::optional<C> expected;
  };
  const Case cases[] = {
      {Point(), Point(9.5, 9.5), C(0, 0)},
      {Point(), Point(10, 5), std::nullopt},  // the first point of the gap
      {Point(), Point(5, 10), std::nullopt},
      {Point(), Point(12, 0), C(1, 0)},
      {Point(), Point(1e6, 0), C(83333, 0)},  // no upper bound
      {Point(100, 50), Point(100, 50), C(0, 0)},
      {Point(100, 50), Point(90, 50), C(-1, 0)},
      {Point(100, 50), Point(99, 50), std::nullopt},  // the gap before tile 0
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.point.description() + " translated " + c.translation.description());
    EXPECT_EQ(plain(c.translation).coordinateForPoint(c.point), c.expected);
  }
}

TEST(Grid, RectanglesFindTheTilesTheyTouch) {
  const std::pair<Rect, std::string> cases[] = {
      {Rect(10.5, 0, 1, 5), "none"},  // wholly in the first gap across
      {Rect(0, 10.5, 5, 1), "none"},  // wholly in a gap down
      {Rect(11, 0, 5, 5), "MatrixRect(1 x 1: startColumn: 1, endColumn: 1, startRow: 0, endRow: 0))"},
      {Rect(5, 5, 20, 20), "MatrixRect(3 x 3: startColumn: 0, endColumn: 2, startRow: 0, endRow: 2))"},
      {Rect(10.5, 0, 13, 5), "MatrixRect(1 x 1: startColumn: 1, endColumn: 1, startRow: 0, endRow: 0))"},  // gap to gap
      {Rect(-5, -5, 5, 5), "MatrixRect(2 x 2: startColumn: -1, endColumn: 0, startRow: -1, endRow: 0))"},
  };
  for (const auto& [rect, expected] : cases) {
    SCOPED_TRACE(rect.description());
    EXPECT_EQ(extent(plain().extendOfRect(rect)), expected);
  }
  // Without gaps a rectangle one tile wide from a tile's start touches two.
  const Grid tight(Size(10, 10), Size(0, 0), EdgeInsets());
  EXPECT_EQ(extent(tight.extendOfRect(Rect(10, 0, 10, 5))),
            "MatrixRect(2 x 1: startColumn: 1, endColumn: 2, startRow: 0, endRow: 0))");
  EXPECT_EQ(extent(plain(Point(100, 50)).extendOfRect(Rect(100, 50, 1, 1))),
            "MatrixRect(1 x 1: startColumn: 0, endColumn: 0, startRow: 0, endRow: 0))");
}

TEST(Grid, CountsOfTilesThatFit) {
  const std::pair<double, std::int64_t> widths[] = {{10, 1}, {21, 1}, {22, 2}, {0, 0}, {-5, 0}, {9.9, 0}};
  for (const auto& [width, expected] : widths) {
    SCOPED_TRACE(width);
    EXPECT_EQ(plain().numberOfColumnsThatFitIntoWidth(width), expected);
  }
  EXPECT_EQ(Grid(Size(10, 10), Size(0, 0), EdgeInsets()).numberOfColumnsThatFitIntoWidth(30), 3);
  using Pair = std::pair<std::int64_t, std::int64_t>;
  EXPECT_EQ(plain().numberOfRowsAndColumnsThatFitIntoSize(Size(22, 10)), Pair(2, 1));
  EXPECT_EQ(plain().numberOfRowsAndColumnsThatFitIntoSize(Size(22, 0)), Pair(0, 0));
  EXPECT_EQ(plain().numberOfRowsAndColumnsThatFitIntoSize(Size(-1, 40)), Pair(0, 0));
}

TEST(GridDeathTest, PeriodsAndQuotientsOutsideTheLimitsStop) {
  constexpr double kInf = std::numeric_limits<double>::infinity();
  constexpr double kNan = std::numeric_limits<double>::quiet_NaN();
  EXPECT_DEATH((void)Grid::hitTest(5, 0, 0),
               "Grid\\.hitTest: the period \\(tile 0\\.0 \\+ spacing 0\\.0\\) must be positive and finite");
  EXPECT_DEATH((void)Grid::hitTest(5, 10, -12), "the period \\(tile 10\\.0 \\+ spacing -12\\.0\\)");
  EXPECT_DEATH((void)Grid::hitTest(5, kInf, 0), "must be positive and finite");
  EXPECT_DEATH((void)Grid::hitTest(5, kNan, 1), "must be positive and finite");
  const Grid flat(Size(0, 10), Size(0, 2), EdgeInsets());
  EXPECT_DEATH((void)flat.coordinateForPoint(Point(1, 1)), "Grid\\.coordinateForPoint: the period");
  EXPECT_DEATH((void)flat.extendOfRect(Rect(0, 0, 1, 1)), "Grid\\.extendOfRect: the period");
  EXPECT_DEATH((void)flat.numberOfColumnsThatFitIntoWidth(5), "Grid\\.numberOfColumnsThatFitIntoWidth: the period");
  // Quotients that do not fit int64_t go through the checked conversion.
  EXPECT_DEATH((void)Grid::hitTest(1e300, 10, 2), "cannot be converted to");
  EXPECT_DEATH((void)Grid::hitTest(kNan, 10, 2), "cannot be converted to");
  EXPECT_DEATH((void)plain().coordinateForPoint(Point(5, kNan)), "cannot be converted to");
  // Far beyond int64_t a tile is narrower than the spacing of doubles, so
  // the point reads as a gap and nothing is converted.
  EXPECT_EQ(plain().coordinateForPoint(Point(-1e300, 5)), std::nullopt);
  EXPECT_DEATH((void)plain().numberOfColumnsThatFitIntoWidth(kInf), "cannot be converted to");
  EXPECT_DEATH((void)plain().extendOfRect(Rect(0, 0, 1e300, 5)), "cannot be converted to");
}

}  // namespace
}  // namespace vantrel
