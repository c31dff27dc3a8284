#include <cstdint>
#include <limits>
#include <string>

#include <gtest/gtest.h>

#include "vantrel/matrix/tile_matrix_description.h"

namespace vantrel {
namespace {

using P = TileMatrixDescription::TilePlacement;

TEST(TileMatrixDescription, FitsTilesIntoAFrameWithEachPlacement) {
  struct Case {
    Size frame;
    Size tile;
    P placement;
    std::string expected;
  };
  const Case cases[] = {
      {Size(100, 50), Size(30, 20), P::centered,
       "TileMatrixDescription(3 * 2, origin=(5.0, 5.0), tileSize=(30.0, 20.0))"},
      {Size(100, 50), Size(30, 20), P::enlargeTiles,
       "TileMatrixDescription(3 * 2, origin=(0.0, 0.0), tileSize=(33.3333333333333, 25.0))"},
      {Size(100, 50), Size(30, 20), P::topLeft,
       "TileMatrixDescription(3 * 2, origin=(0.0, 10.0), tileSize=(30.0, 20.0))"},
      {Size(100, 50), Size(30, 20), P::bottomLeft,
       "TileMatrixDescription(3 * 2, origin=(0.0, 0.0), tileSize=(30.0, 20.0))"},
      {Size(100, 50), Size(30, 20), P::bottomRight,
       "TileMatrixDescription(3 * 2, origin=(10.0, 0.0), tileSize=(30.0, 20.0))"},
      {Size(100, 50), Size(30, 20), P::topRight,
       "TileMatrixDescription(3 * 2, origin=(10.0, 10.0), tileSize=(30.0, 20.0))"},
      // A frame smaller than the tile: one tile and no spare room that way.
      {Size(10, 50), Size(30, 20), P::topRight,
       "TileMatrixDescription(1 * 2, origin=(0.0, 10.0), tileSize=(30.0, 20.0))"},
      {Size(10, 5), Size(30, 20), P::enlargeTiles,
       "TileMatrixDescription(1 * 1, origin=(0.0, 0.0), tileSize=(30.0, 20.0))"},
      {Size(10, 5), Size(30, 20), P::centered,
       "TileMatrixDescription(1 * 1, origin=(0.0, 0.0), tileSize=(30.0, 20.0))"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.expected);
    EXPECT_EQ(TileMatrixDescription::from(c.frame, c.tile, c.placement).description(), c.expected);
  }
}

TEST(TileMatrixDescription, BoundedFitsFallBackToSquareTiles) {
  // 10 x 10 tiles are too many for 5 x 4: squares of max(100 / 5, 100 / 4).
  EXPECT_EQ(TileMatrixDescription::fromMaxMatrixSize(Size(100, 100), MatrixSize(5, 4), Size(10, 10), P::bottomLeft)
                .description(),
            "TileMatrixDescription(4 * 4, origin=(0.0, 0.0), tileSize=(25.0, 25.0))");
  EXPECT_EQ(TileMatrixDescription::fromMaxMatrixSize(Size(100, 100), MatrixSize(10, 10), Size(10, 10), P::centered)
                .description(),
            "TileMatrixDescription(10 * 10, origin=(0.0, 0.0), tileSize=(10.0, 10.0))");
  // One 70 x 70 tile is too few for 3 x 2: squares of min(120 / 3, 120 / 2).
  EXPECT_EQ(TileMatrixDescription::fromMinMatrixSize(Size(120, 120), MatrixSize(3, 2), Size(70, 70), P::bottomLeft)
                .description(),
            "TileMatrixDescription(3 * 3, origin=(0.0, 0.0), tileSize=(40.0, 40.0))");
  EXPECT_EQ(TileMatrixDescription::fromMinMatrixSize(Size(120, 120), MatrixSize(1, 1), Size(70, 70), P::topLeft)
                .description(),
            "TileMatrixDescription(1 * 1, origin=(0.0, 50.0), tileSize=(70.0, 70.0))");
}

TEST(TileMatrixDescription, FramesOfTilesAndBlocks) {
  const TileMatrixDescription d(MatrixSize(3, 2), Point(5.5, 7.25), Size(33.4, 20));
  struct Case {
    Rect actual;
    Rect expected;
  };
  const Case cases[] = {
      {d.rect(MatrixCoordinate(0, 0)), Rect(5, 27, 34, 20)},  // the top-left tile: y = floor(oy + th)
      {d.rect(MatrixCoordinate(0, 1)), Rect(5, 7, 34, 20)},
      {d.rect(MatrixCoordinate(1, 0)), Rect(38, 27, 34, 20)},  // floor(5.5 + 33.4), ceil(33.4)
      {d.rect(MatrixRect(1, 0, 1, 1)), d.rect(MatrixCoordinate(1, 0))},
      {d.rect(MatrixRect(2, 1, 1, 1)), d.rect(MatrixCoordinate(2, 1))},
      {d.rect(MatrixRect(0, 0, 3, 2)), Rect(5, 7, 101, 40)},  // the whole block
      {d.rect(MatrixRect(1, 0, 2, 1)), Rect(38, 27, 67, 20)},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.actual, c.expected) << c.actual.description();
  }
}

TEST(TileMatrixDescription, QuadedHalvesTheTiles) {
  const TileMatrixDescription d(MatrixSize(3, 2), Point(1, 2), Size(30, 20));
  EXPECT_EQ(d.tileMatrixDescriptionQuaded().description(),
            "TileMatrixDescription(6 * 4, origin=(1.0, 2.0), tileSize=(15.0, 10.0))");
}

TEST(TileMatrixDescriptionDeathTest, RefusesSizesOutsideItsLimits) {
  constexpr double kInf = std::numeric_limits<double>::infinity();
  constexpr double kNan = std::numeric_limits<double>::quiet_NaN();
  EXPECT_DEATH((void)TileMatrixDescription::from(Size(100, 50), Size(0, 20), P::centered),
               "TileMatrixDescription: frame size \\(100\\.0, 50\\.0\\) and tile size \\(0\\.0, 20\\.0\\) must be "
               "positive and finite");
  EXPECT_DEATH((void)TileMatrixDescription::from(Size(-1, 50), Size(30, 20), P::centered), "must be positive and finite");
  EXPECT_DEATH((void)TileMatrixDescription::from(Size(kInf, 50), Size(30, 20), P::centered),
               "frame size \\(inf, 50\\.0\\)");
  EXPECT_DEATH((void)TileMatrixDescription::from(Size(100, 50), Size(30, kNan), P::centered),
               "tile size \\(30\\.0, nan\\)");
  // The count floor(1e300 / 1e-10) does not fit int64_t.
  EXPECT_DEATH((void)TileMatrixDescription::from(Size(1e300, 50), Size(1e-10, 20), P::centered), "cannot be converted to");
  EXPECT_DEATH((void)TileMatrixDescription::fromMaxMatrixSize(Size(10, 10), MatrixSize(0, 4), Size(1, 1),
                                                             P::centered),
               "maxMatrixSize MatrixSize\\(0, 4\\) needs at least 1 column and 1 row");
  EXPECT_DEATH((void)TileMatrixDescription::fromMinMatrixSize(Size(10, 10), MatrixSize(2, -1), Size(1, 1),
                                                             P::centered),
               "minMatrixSize MatrixSize\\(2, -1\\) needs at least 1 column and 1 row");
  const TileMatrixDescription huge(MatrixSize(std::numeric_limits<std::int64_t>::max(), 1), Point(), Size(1, 1));
  EXPECT_DEATH((void)huge.tileMatrixDescriptionQuaded(), "overflow");
}

}  // namespace
}  // namespace vantrel
