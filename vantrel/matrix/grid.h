// File: vantrel/matrix/grid.h
//
// `Grid`: equal tiles on a drawing surface, a fixed gap between neighbours,
// an inner rectangle inset by a padding, the whole shifted by a translation.
// It turns tiles into rectangles and points and rectangles into tiles.
// Unlike `TileMatrixDescription` it does not turn the y axis: row y lies at
// y * (tile height + gap) from the translation, and the padding's `top` is
// on the side of the smaller y.
//
//   Grid grid(Size(20, 20), Size(4, 4), EdgeInsets(2));   // tileSize (24, 24)
//   grid.rect(MatrixSize(3, 2))                           // (0.0, 0.0, 80.0, 52.0)
//   grid.coordinateForPoint(Point(30, 3))                 // (1, 0)
//   grid.coordinateForPoint(Point(30, 25))                // nullopt: in a gap
//   Grid::hitTest(-1, 10, 2)                              // spacing(-1)
//
// The first point of a gap belongs to the gap, the first point of a tile to
// the tile; negative positions give negative indices, and no upper bound is
// applied.
//
// Failures stop the program (`fatal`): a period (tile plus gap) that is not
// positive and finite where an operation divides by it, and a quotient that
// does not fit int64_t (NaN and infinite positions included) where it
// becomes a tile index (the checked conversion). Plain values; thread-safe.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include "vantrel/matrix/matrix_coordinate.h"
#include "vantrel/matrix/matrix_rect.h"
#include "vantrel/core/geometry.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

// Where one position falls along one direction: on tile `index`, or in the
// gap after tile `index`.
class GridHitArea {
 public:
  enum class Kind : std::uint8_t { tile, spacing };

  [[nodiscard]] static constexpr GridHitArea tile(std::int64_t index) { return GridHitArea(Kind::tile, index); }
  [[nodiscard]] static constexpr GridHitArea spacing(std::int64_t index) {
    return GridHitArea(Kind::spacing, index);
  }

  [[nodiscard]] constexpr Kind kind() const { return kind_; }
  [[nodiscard]] constexpr std::int64_t index() const { return index_; }

 private:
  constexpr GridHitArea(Kind kind, std::int64_t index) : kind_(kind), index_(index) {}
  Kind kind_;
  std::int64_t index_;
};

class Grid {
 public:
  // tileSize = inner size plus the padding on both sides.
  Grid(const Size& innerTileSize, const Size& tileSpacing, const EdgeInsets& tilePadding,
       const Point& translation = Point());

  [[nodiscard]] const Size& tileSize() const { return tileSize_; }
  [[nodiscard]] const Size& tileSpacing() const { return tileSpacing_; }
  [[nodiscard]] const EdgeInsets& tilePadding() const { return tilePadding_; }
  [[nodiscard]] const Point& translation() const { return translation_; }

  // The block of nc x nr tiles with the gaps between them, at the
  // translation: nc * pw - sw wide (-sw without columns), nr * ph - sh high.
  [[nodiscard]] Rect rect(const MatrixSize& matrixSize) const;
  // The outer rectangle of tile (x, y).
  [[nodiscard]] Rect rectForCoordinate(const MatrixCoordinate& coordinate) const;
  // The inner rectangle of tile (x, y): the outer one inset by the padding.
  [[nodiscard]] Rect innerRectForCoordinate(const MatrixCoordinate& coordinate) const;
  // The tile under the point, or nullopt in a gap.
  [[nodiscard]] std::optional<MatrixCoordinate> coordinateForPoint(const Point& point) const;

  // Along one direction: i = floor(value / (tileLength + tileSpacing)); a
  // tile when the rest is below tileLength, else the gap after tile i.
  [[nodiscard]] static GridHitArea hitTest(double value, double tileLength, double tileSpacing);

  // The tiles the rectangle touches (an edge on a tile's first point touches
  // it), or nullopt when it lies wholly inside one gap across or down.
  [[nodiscard]] std::optional<MatrixRect> extendOfRect(const Rect& rect) const;

  // Tiles side by side in the width (the last needs no gap after it); 0 for
  // a width of 0 or less.
  [[nodiscard]] std::int64_t numberOfColumnsThatFitIntoWidth(double width) const;
  // (across the width, down the height); (0, 0) when either is 0 or less.
  [[nodiscard]] std::pair<std::int64_t, std::int64_t> numberOfRowsAndColumnsThatFitIntoSize(const Size& size) const;

  // "Grid(tileSize:(24.0, 24.0), tileSpacing:(4.0, 4.0), tilePadding:(2.0, 2.0, 2.0, 2.0))";
  // the translation is not shown.
  [[nodiscard]] std::string description() const;

 private:
  Size tileSize_;
  Size tileSpacing_;
  EdgeInsets tilePadding_;
  Point translation_;
};

}  // namespace vantrel
