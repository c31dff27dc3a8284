#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "vantrel/core/describe.h"
#include "vantrel/core/random.h"
#include "vantrel/matrix/matrix_coordinate.h"
#include "vantrel/matrix/matrix_pixel.h"

namespace vantrel {
namespace {

using C = MatrixCoordinate;
using S = MatrixSize;

TEST(MatrixCoordinateExample, ReplaysTheHeader) {
  const S size(3, 4);
  EXPECT_EQ(size.indexForCoordinate(C(1, 2)), 7);
  EXPECT_EQ(size.coordinateForIndex(7), C(1, 2));
  EXPECT_EQ(C(2, 0).right(1, size), std::nullopt);
  EXPECT_EQ(C(0, 0).up(), C(0, 1));
  EXPECT_EQ(S::from(10, 1.0f), S(3, 4));
}

TEST(MatrixSize, FieldsTextAndEmptiness) {
  EXPECT_EQ(describe(S(3, 2)), "MatrixSize(3, 2)");
  EXPECT_EQ(describe(C(3, 0)), "MatrixCoordinate(3, 0)");
  EXPECT_EQ(S(std::pair<std::int64_t, std::int64_t>(4, 5)), S(4, 5));
  EXPECT_EQ(S::max(), S(INT64_MAX, INT64_MAX));
  EXPECT_TRUE(S(0, 0).isEmpty());
  EXPECT_FALSE(S(0, 5).isEmpty());
  EXPECT_FALSE(S(5, 0).isEmpty());
  EXPECT_EQ(S(0, 5).count(), 0);
  EXPECT_EQ(S(3, 2).sizeFlipped(), S(2, 3));
  EXPECT_EQ(S(10, 10).sizeInsetBy(2, 3), S(8, 7));
  EXPECT_EQ(S(3, 2) * 3, S(9, 6));
  EXPECT_TRUE(S(3, 2).contains(C(2, 1)));
  EXPECT_FALSE(S(3, 2).contains(C(3, 1)));
  EXPECT_FALSE(S(3, 2).contains(C(-1, 0)));
  EXPECT_EQ(C::zero(), C(0, 0));
  EXPECT_EQ(C(1, 2) + C(3, -4), C(4, -2));
}

TEST(MatrixSize, IndexConversions) {
  const S size(3, 4);
  EXPECT_EQ(size.coordinateForIndex_verticallyFlipped(7), C(1, 1));
  EXPECT_EQ(C(1, 2).position(size), 7);
  EXPECT_EQ(S(3, 3).indexForCoordinate(C(2, 2), 8), std::nullopt);
  EXPECT_EQ(S(3, 3).indexForCoordinate(C(2, 2), 9), 8);
  EXPECT_EQ(S(3, 3).indexForCoordinate(C(5, 0), 9), 5);  // x is not compared with the width
  EXPECT_EQ(S(3, 3).indexForCoordinate(C(0, -1), 9), std::nullopt);
  EXPECT_EQ(S(INT64_MAX, 2).indexForCoordinate(C(0, 2), INT64_MAX), std::nullopt);
  for (std::int64_t i = 0; i < size.count(); ++i) {
    EXPECT_EQ(size.indexForCoordinate(size.coordinateForIndex(i)), i);
  }
}

TEST(MatrixSize, FittingToElementCounts) {
  EXPECT_EQ(S::fromElementCount(3, 7), S(3, 3));
  EXPECT_EQ(S::fromElementCount(3, 0), S(3, 0));
  EXPECT_EQ(S(4, 9).matrixSizeByReducingHeightToFit(9), S(4, 3));
  EXPECT_EQ(S(4, 1).matrixSizeByReducingHeightToFit(9), S(4, 3));  // grows too
  EXPECT_EQ(S(9, 2).matrixSizeByReducingWidthToFit(9), S(5, 2));

  struct Case {
    S size, maximum, want;
  };
  const Case cases[] = {
      {S(3, 3), S(4, 4), S(3, 3)},   {S(10, 2), S(4, 10), S(4, 5)},
      {S(2, 10), S(10, 4), S(5, 4)}, {S(10, 10), S(4, 4), S(4, 4)},
      {S(2, 10), S(3, 4), S(3, 4)},  // the grown width is capped by the maximum
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.size.description() + " into " + c.maximum.description());
    EXPECT_EQ(c.size.matrixSizeToFitInto(c.maximum), c.want);
  }
}

TEST(MatrixSize, SizesForElementCounts) {
  struct Case {
    std::int64_t count;
    float ratio;
    S want;
  };
  const Case cases[] = {
      {0, 1.0f, S(0, 0)}, {1, 5.0f, S(1, 1)},  {2, 1.0f, S(2, 1)}, {4, 0.1f, S(2, 2)},
      {5, 9.0f, S(3, 2)}, {5, 0.2f, S(3, 2)},  {6, 1.0f, S(3, 2)}, {10, 1.0f, S(3, 4)},
      {7, 2.0f, S(4, 2)}, {100, 1.0f, S(10, 10)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.count << " at " << c.ratio);
    EXPECT_EQ(S::from(c.count, c.ratio), c.want);
  }
  for (std::int64_t n = 7; n < 200; ++n) {
    const S size = S::from(n, 1.5f);
    EXPECT_GE(size.count(), n);
  }
  EXPECT_EQ(S::matrixSizeForSquareMatrix(10), S(4, 3));
  EXPECT_EQ(S::matrixSizeForSquareMatrix(16), S(4, 4));
  EXPECT_EQ(S::matrixSizeForSquareMatrix(5), S(3, 2));
  EXPECT_EQ(S::matrixSizeForSquareMatrix(1), S(1, 1));
}

TEST(MatrixSize, BorderWalk) {
  EXPECT_EQ(S(4, 1).countStrokedRect(), 4);
  EXPECT_EQ(S(4, 3).countStrokedRect(), 10);
  EXPECT_EQ(S(1, 3).countStrokedRect(), 4);
  EXPECT_EQ(S(2, 2).countStrokedRect(), 4);

  const auto walk = [](const S& size) {
    std::vector<C> cells;
    for (std::int64_t i = 0; i < size.countStrokedRect(); ++i) {
      cells.push_back(size.coordinateForStrokedRectIndex(i));
    }
    return cells;
  };
  EXPECT_EQ(walk(S(3, 3)),
            (std::vector<C>{C(0, 0), C(1, 0), C(2, 0), C(2, 1), C(2, 2), C(1, 2), C(0, 2), C(0, 1)}));
  // A single column goes down and back up, its inner cells twice.
  EXPECT_EQ(walk(S(1, 3)), (std::vector<C>{C(0, 0), C(0, 1), C(0, 2), C(0, 1)}));
  EXPECT_EQ(walk(S(3, 1)), (std::vector<C>{C(0, 0), C(1, 0), C(2, 0)}));
}

TEST(MatrixCoordinate, MovesInPlaceAndOnCopies) {
  C c(1, 2);
  c.moveByTo(2, -1);
  EXPECT_EQ(c, C(3, 1));
  c.moveByToX(7, 2);
  EXPECT_EQ(c, C(7, 3));
  c.moveByToY(-7, 9);
  EXPECT_EQ(c, C(0, 9));
  const C origin(5, 5);
  EXPECT_EQ(origin.coordinateMovedByTo(1, 1), C(6, 6));
  EXPECT_EQ(origin.coordinateMovedByToX(0, 1), C(0, 6));
  EXPECT_EQ(origin.coordinateMovedByToY(1, 0), C(6, 0));
  EXPECT_EQ(origin, C(5, 5));
  c.x = 4;  // the fields are writable
  EXPECT_EQ(c, C(4, 9));
}

TEST(MatrixCoordinate, BoundedMovesNeitherWrapNorClamp) {
  const S size(3, 3);
  struct Case {
    const char* name;
    std::optional<C> got, want;
  };
  const Case cases[] = {
      {"right off the row", C(2, 0).right(1, size), std::nullopt},
      {"right inside", C(1, 0).right(1, size), C(2, 0)},
      {"down below 0", C(0, 0).down(), std::nullopt},
      {"up without a size", C(0, 0).up(), C(0, 1)},
      {"up past the top", C(0, 2).up(1, size), std::nullopt},
      {"up from a negative x", C(-1, 0).up(), std::nullopt},
      {"left by 2", C(2, 1).left(2), C(0, 1)},
      {"left too far", C(1, 1).left(2), std::nullopt},
      {"direction down", C(1, 2).coordinateTo(C::Direction::down, 2), C(1, 0)},
      {"direction right", C(1, 2).coordinateTo(C::Direction::right, 1, size), C(2, 2)},
      {"partly filled row, 7 cells", C(0, 2).coordinateMovedBy(1, 0, size, 7), std::nullopt},
      {"partly filled row, 8 cells", C(0, 2).coordinateMovedBy(1, 0, size, 8), C(1, 2)},
      {"count without a size", C(0, 2).coordinateMovedBy(1, 0, std::nullopt, 0), C(1, 2)},
      {"overflowing right", C(INT64_MAX, 0).right(), std::nullopt},
      {"overflowing up", C(0, 1).up(INT64_MAX), std::nullopt},
      {"down by the smallest delta", C(0, 0).down(INT64_MIN), std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.got, c.want);
  }
  EXPECT_EQ(C::Direction::all().size(), 4u);
  EXPECT_EQ(C::Direction::all()[1], C::Direction::left);
}

TEST(MatrixSize, RandomCellsUseTheScriptedSource) {
  {
    ScriptedRandomSource script({2, 1});
    ScopedRandomSource use(script);
    EXPECT_EQ(S(3, 2).randomCoordinate(), C(2, 1));
    EXPECT_EQ(script.bounds(), (std::vector<std::uint32_t>{3, 2}));  // x first, then y
  }
  {
    ScriptedRandomSource script({});
    ScopedRandomSource use(script);
    EXPECT_EQ(S(1, 1).randomCoordinate(), C(0, 0));  // no draw for a single cell
  }
  {
    ScriptedRandomSource script({3});
    ScopedRandomSource use(script);
    // 5 x 2 in 5 x 5: exactly as wide, so x is 0 without a draw; y in 0...3.
    EXPECT_EQ(S(5, 5).coordinateOfRandomlyPlaced(S(5, 2)), C(0, 3));
    EXPECT_EQ(script.bounds(), (std::vector<std::uint32_t>{4}));
    EXPECT_EQ(S(5, 5).coordinateOfRandomlyPlaced(S(6, 2)), std::nullopt);
    EXPECT_EQ(S(5, 5).coordinateOfRandomlyPlaced(S(2, 6)), std::nullopt);
  }
  {
    ScriptedRandomSource script({1});
    ScopedRandomSource use(script);
    EXPECT_EQ(S(5, 5).coordinateOfRandomlyPlaced(S(5, 5)), C(0, 0));  // fills the matrix
    EXPECT_EQ(S(5, 5).coordinateOfRandomlyPlacedOr00(S(7, 2)), C(0, 1));
    EXPECT_EQ(script.bounds(), (std::vector<std::uint32_t>{4}));
  }
}

TEST(MatrixPixel, PairsACellWithItsContent) {
  MatrixPixel<std::string> pixel(C(2, 1), "a");
  EXPECT_EQ(pixel.coordinate, C(2, 1));
  pixel.content = "b";
  pixel.coordinate.y = 0;
  EXPECT_EQ(pixel, MatrixPixel<std::string>(C(2, 0), "b"));
  EXPECT_NE(pixel, MatrixPixel<std::string>(C(2, 0), "c"));
}

TEST(MatrixSizeDeathTest, RefusesCallsOutsideItsLimits) {
  EXPECT_DEATH((void)S(3, 3).coordinateForStrokedRectIndex(8),
               "Index 8 in coordinateForStrokedRectIndex out of bounds\\.");
  EXPECT_DEATH((void)S(3, 3).coordinateForStrokedRectIndex(-1),
               "Index -1 in coordinateForStrokedRectIndex out of bounds\\.");
  EXPECT_DEATH((void)S(0, 3).randomCoordinate(), "maxValue has to be at least 1");
  EXPECT_DEATH((void)S(3, 0).randomCoordinate(), "maxValue has to be at least 1");
  EXPECT_DEATH((void)S::from(-1, 1.0f), "elementCount -1 must not be negative");
  EXPECT_DEATH((void)S::from(9, 0.0f), "ratio 0 must be positive and finite");
  EXPECT_DEATH((void)S::matrixSizeForSquareMatrix(0), "must be at least 1");
  EXPECT_DEATH((void)S(0, 3).coordinateForIndex(2), "width 0 must be at least 1");
  EXPECT_DEATH((void)S::fromElementCount(0, 3), "width 0 must be at least 1");
  EXPECT_DEATH((void)S(3, 0).matrixSizeByReducingWidthToFit(3), "height 0 must be at least 1");
  EXPECT_DEATH((void)S(3, 0).countStrokedRect(), "height 0 must be at least 1");
  EXPECT_DEATH((void)S(2, 1).matrixSizeToFitInto(S(4, 0)), "maximum height 0 must be at least 1");
  EXPECT_DEATH((void)S(1, 1).matrixSizeToFitInto(S(0, 4)), "maximum width 0 must be at least 1");
}

TEST(MatrixSizeDeathTest, ProductsAndMovesStopOnOverflow) {
  EXPECT_DEATH((void)S(INT64_MAX, 2).count(), "Arithmetic overflow");
  EXPECT_DEATH((void)(S(INT64_MAX, 1) * 2), "Arithmetic overflow");
  EXPECT_DEATH((void)S(INT64_MAX, 2).indexForCoordinate(C(0, 2)), "Arithmetic overflow");
  EXPECT_DEATH((void)S(INT64_MIN, 0).sizeInsetBy(1, 0), "Arithmetic overflow");
  EXPECT_DEATH((void)(C(INT64_MAX, 0) + C(1, 0)), "Arithmetic overflow");
  EXPECT_DEATH(C(0, INT64_MIN).moveByTo(0, -1), "Arithmetic overflow");
  EXPECT_DEATH((void)C(INT64_MAX, 0).coordinateMovedByTo(1, 0), "Arithmetic overflow");
  EXPECT_DEATH((void)S(INT64_MIN, 5).coordinateOfRandomlyPlaced(S(1, 1)), "Arithmetic overflow");
}

}  // namespace
}  // namespace vantrel
