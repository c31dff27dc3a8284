#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include <vantrel/core/describe.h>
#include <vantrel/matrix/coordinate_iterators.h>
#include <vantrel/matrix/grid.h>
#include <vantrel/matrix/matrix.h>
#include <vantrel/matrix/matrix_coordinate.h>
#include <vantrel/matrix/matrix_rect.h>
#include <vantrel/matrix/tile_matrix_description.h>
#include <vantrel/matrix/transformation_matrix.h>

#include "tour.h"

using namespace vantrel;

TOUR_SECTION(70, "Matrix sizes and coordinates") {
  const MatrixSize size(3, 4);
  std::printf("%s holds %lld cells; index 7 is %s; (2, 0) moved right: %s\n",
              size.description().c_str(), static_cast<long long>(size.count()),
              size.coordinateForIndex(7).description().c_str(),
              describe(MatrixCoordinate(2, 0).right(1, size)).c_str());
  std::string border;
  for (std::int64_t i = 0; i < MatrixSize(3, 3).countStrokedRect(); ++i) {
    const MatrixCoordinate c = MatrixSize(3, 3).coordinateForStrokedRectIndex(i);
    border += "(" + std::to_string(c.x) + "," + std::to_string(c.y) + ")";
  }
  std::printf("border of 3 x 3: %s; 10 cells at ratio 2: %s\n", border.c_str(),
              MatrixSize::from(10, 2.0f).description().c_str());
}

TOUR_SECTION(71, "Matrix rectangles") {
  MatrixRect rect(MatrixCoordinate(2, 3), MatrixSize(4, 2));
  std::printf("%s\n", rect.description().c_str());
  rect.formUnion(MatrixRect::fromStartColumn(0, 0, 0, 0));
  std::printf("joined with (0, 0): %s\n", rect.description().c_str());
  std::printf("stroked 3 x 3: %zu cells; random 2 x 2 in 5 x 5: %s\n",
              MatrixCoordinateFactory().rectStroked(MatrixCoordinate::zero(), IntSize(3, 3)).size(),
              MatrixSize(5, 5).randomRect(MatrixSize(2, 2), MatrixSize(2, 2)).description().c_str());
}

TOUR_SECTION(72, "Transformations: quarter turns and mirrors") {
  const TransformationMatrix left =
      TransformationMatrix::makeDirection(TransformationMatrix::Direction::left, MatrixSize(3, 2));
  std::printf("%s\n(2, 1) goes to %s; 3 x 2 becomes %s\n", left.description().c_str(),
              MatrixCoordinate(2, 1).transformed(left).description().c_str(),
              MatrixSize(3, 2).transformed(left).description().c_str());
}

TOUR_SECTION(73, "The matrix store, turned without moving a cell") {
  Matrix<int> m(3, 2);
  m.set(MatrixCoordinate(0, 0), 1);
  m.set(MatrixCoordinate(2, 1), 2);
  std::printf("%s", m.debugDescription().c_str());
  m.setTransform(TransformationMatrix::makeDirection(TransformationMatrix::Direction::left,
                                                     m.originalSize()));
  std::printf("turned left:\n%s", m.debugDescription().c_str());
  std::printf("cell (0, 2) holds %s; a random filled cell: %s\n",
              describe(m[MatrixCoordinate(0, 2)]).c_str(),
              describe(m.randomNonEmptyCoordinate()).c_str());
  m.fillWithPercent(50.0, [] { return 9; });
}

TOUR_SECTION(74, "Walks over the cells, and their names") {
  const MatrixSize size(4, 3);
  const auto line = [](auto walk) {
    std::string text;
    for (const MatrixCoordinate c : walk) text += "(" + std::to_string(c.x) + "," + std::to_string(c.y) + ")";
    return text;
  };
  std::printf("spiral:    %s\n", line(size.coordinateIterator_spiral()).c_str());
  std::printf("checkered: %s\n", line(size.coordinateIterator_checkered(3)).c_str());
  std::printf("outer lines, at random: %s\n", line(size.coordinateIterator_randomOuterLine()).c_str());
  for (const char* name : {"spiralCounterClockwise", "checkered-2", "checkered-0", "Checkered-2"}) {
    const std::optional<CoordinateIteratorType2> order = CoordinateIteratorType2::from(name);
    std::printf("%s: %s\n", name, !order ? "not a walk" : order->stepSize() ? "checkered" : "a walk");
  }
}

TOUR_SECTION(75, "Drawing into a matrix") {
  Matrix<int> m(6, 4);
  m.draw(MatrixRect(0, 0, 6, 4), 1);
  m.fill(MatrixRect(2, 1, 2, 2), 2);
  m.drawLineHorizontal2(MatrixCoordinate(4, 1), std::vector<int>{3, 3, 3});  // stops at the edge
  std::printf("%s", m.debugDescription().c_str());
  std::printf("fillCount %lld; a line of 3 from (5, 0) as pixels: %zu, the matrix unchanged\n",
              static_cast<long long>(m.fillCount()),
              m.matrixPixels_drawLineHorizontal(MatrixCoordinate(5, 0), 3, 7).size());
}

TOUR_SECTION(76, "Tiles in a frame, and a grid under the pointer") {
  const TileMatrixDescription tiles = TileMatrixDescription::from(
      Size(100, 50), Size(30, 20), TileMatrixDescription::TilePlacement::centered);
  std::printf("%s\ntop-left tile %s\n", tiles.description().c_str(),
              tiles.rect(MatrixCoordinate(0, 0)).description().c_str());
  const Grid grid(Size(20, 20), Size(4, 4), EdgeInsets(2));
  std::printf("%s\n(30, 3) is on %s; (30, 25) on %s; (5, 5, 40, 10) touches %s\n", grid.description().c_str(),
              describe(grid.coordinateForPoint(Point(30, 3))).c_str(),
              describe(grid.coordinateForPoint(Point(30, 25))).c_str(),
              grid.extendOfRect(Rect(5, 5, 40, 10))->description().c_str());
}
