// File: vantrel/matrix/tile_matrix_description.h
//
// `TileMatrixDescription`: how a matrix of equal tiles lies in a frame: the
// columns and rows of tiles, the lower-left corner of the block and the size
// of one tile. Coordinates are those of an unflipped surface (y grows
// upwards), and row 0 of the matrix is the top row of tiles.
//
//   auto d = TileMatrixDescription::from(Size(100, 50), Size(30, 20),
//                                        TileMatrixDescription::TilePlacement::centered);
//   d.description()  // "TileMatrixDescription(3 * 2, origin=(5.0, 5.0), tileSize=(30.0, 20.0))"
//   d.rect(MatrixCoordinate(0, 0))  // (5.0, 25.0, 30.0, 20.0): the top-left tile
//
// A fit takes A = max(frame width, tile width) and B likewise, gives
// floor(A / tw) columns and floor(B / th) rows (a frame smaller than a tile
// still holds one tile, without spare room) and puts the spare room as the
// placement says. Frame rectangles are made integral: floors of the corner,
// ceilings of the extent.
//
// Failures stop the program (`fatal`): a frame or tile size that is not
// positive and finite, a largest or smallest matrix size with a side below
// 1, a tile count that does not fit int64_t (the checked conversion), and
// overflow in the integer arithmetic of the queries. Plain values;
// thread-safe.
#pragma once

#include <cstdint>
#include <string>

#include "vantrel/matrix/matrix_coordinate.h"
#include "vantrel/matrix/matrix_rect.h"
#include "vantrel/core/geometry.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

class TileMatrixDescription {
 public:
  // Where the room left over in the frame goes.
  enum class TilePlacement : std::uint8_t {
    enlargeTiles,  // the tiles grow by equal shares of it; origin (0, 0)
    centered,      // half on each side
    topLeft,       // origin (0, spare height)
    bottomLeft,    // origin (0, 0)
    bottomRight,   // origin (spare width, 0)
    topRight,      // origin (spare width, spare height)
  };

  TileMatrixDescription(const MatrixSize& matrixSize, const Point& origin, const Size& tileSize)
      : matrixSize(matrixSize), origin(origin), tileSize(tileSize) {}

  // Tiles of `tileSize` fitted into the frame.
  [[nodiscard]] static TileMatrixDescription from(const Size& frameSize, const Size& tileSize,
                                                  TilePlacement tilePlacement);
  // The fit of `optimalTileSize`; when it has more columns or rows than
  // `maxMatrixSize`, the fit of square tiles of side max(fw / max columns,
  // fh / max rows), taken as it comes.
  [[nodiscard]] static TileMatrixDescription fromMaxMatrixSize(const Size& frameSize,
                                                               const MatrixSize& maxMatrixSize,
                                                               const Size& optimalTileSize,
                                                               TilePlacement tilePlacement);
  // The fit of `optimalTileSize`; when it has fewer columns or rows than
  // `minMatrixSize`, the fit of square tiles of side min(fw / min columns,
  // fh / min rows), taken as it comes.
  [[nodiscard]] static TileMatrixDescription fromMinMatrixSize(const Size& frameSize,
                                                               const MatrixSize& minMatrixSize,
                                                               const Size& optimalTileSize,
                                                               TilePlacement tilePlacement);

  // The frame of tile (x, y): corner (ox + x tw, oy + (rows - 1 - y) th),
  // floored; extent (ceil tw, ceil th).
  [[nodiscard]] Rect rect(const MatrixCoordinate& coordinate) const;
  // The frame of a block of tiles: corner (ox + x0 tw, oy + (rows - y0 - h) th),
  // floored; extent (ceil(w tw), ceil(h th)).
  [[nodiscard]] Rect rect(const MatrixRect& matrixRect) const;

  // Twice the columns and rows, the same origin, half the tile size.
  [[nodiscard]] TileMatrixDescription tileMatrixDescriptionQuaded() const;

  // "TileMatrixDescription(3 * 2, origin=(5.0, 5.0), tileSize=(30.0, 20.0))".
  [[nodiscard]] std::string description() const;

  friend bool operator==(const TileMatrixDescription&, const TileMatrixDescription&) = default;

  MatrixSize matrixSize;  // tile columns (width) and rows (height)
  Point origin;           // lower-left corner of the block, in the frame
  Size tileSize;          // one tile, not made integral
};

}  // namespace vantrel
