// File: vantrel/matrix/matrix_coordinate.h
//
// The geometry every matrix, grid and image tile of the library passes
// around: `MatrixSize` (columns by rows) and `MatrixCoordinate` (one cell).
// The first cell is (0, 0); x counts columns to the right, y counts rows, and
// the cell (x, y) of a matrix w wide has the row-major index y * w + x.
//
//   MatrixSize size(3, 4);                       // 3 columns, 4 rows
//   size.indexForCoordinate(MatrixCoordinate(1, 2))   // 7
//   size.coordinateForIndex(7)                   // (1, 2)
//   MatrixCoordinate(2, 0).right(1, size)        // nullopt: no wrap into row 1
//   MatrixCoordinate(0, 0).up()                  // (0, 1): up increases y
//   MatrixSize::from(10, 1.0f)                   // (3, 4): room for 10 cells
//
// Both are plain values. A size's sides are fixed (read through `width()` /
// `height()`); a coordinate's `x` and `y` are public and writable. Quotients
// truncate toward zero; all arithmetic is on int64_t.
//
// Failures: integer overflow in a product, a sum or a move stops the program
// (`fatal`, "Arithmetic overflow: ..."), except in the bounded moves
// (`up`, `coordinateMovedBy`, ...), which answer nullopt for any cell they
// cannot reach, an overflowing one included. A divisor side below 1 where an
// operation divides by it, a negative element count, a ratio that is not
// positive and finite, and a border-walk step outside the walk stop the
// program with a message naming the values. Random draws go through
// `Int::random` (vantrel/collections/numeric.h), so tests can script them; a
// size with a side below 1 has no random cell ("maxValue has to be at least 1").
//
// `transformed(...)` (see transformation_matrix.h) and the random rectangles
// `randomRect` / `rectRandomlyPosition` (see matrix_rect.h) are declared here
// but need those headers at the call site. Thread-safe: no shared state.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

class MatrixCoordinate;
class MatrixRect;
struct TransformationMatrix;
class OrderedCoordinateIterator;
class SpiralCoordinateIterator;
class RandomOuterLineCoordinateIterator;
class RandomPrecalculatedCoordinateIterator;
class CheckeredCoordinateIterator;
class ArrayCoordinateIterator;

// The number of columns (`width`) and rows (`height`) of a matrix. A side of
// 0 is allowed (a matrix without cells); negative sides are stored as given
// and only the operations that need a positive side check it.
class MatrixSize {
 public:
  constexpr MatrixSize(std::int64_t width, std::int64_t height) : width_(width), height_(height) {}
  // From a (width, height) pair.
  explicit constexpr MatrixSize(std::pair<std::int64_t, std::int64_t> tuple)
      : width_(tuple.first), height_(tuple.second) {}

  // `width` columns and as many rows as `elementCount` cells need:
  // (elementCount + width - 1) / width (0 cells, 0 rows). Stops for width < 1.
  [[nodiscard]] static MatrixSize fromElementCount(std::int64_t width, std::int64_t elementCount);

  // The largest int64_t for both sides.
  [[nodiscard]] static constexpr MatrixSize max() { return MatrixSize(INT64_MAX, INT64_MAX); }

  // A size with room for `elementCount` cells near `ratio` = width / height.
  // 0 to 6 cells come from a fixed table, whatever the ratio: (0, 0) (1, 1)
  // (2, 1) (2, 2) (2, 2) (3, 2) (3, 2). From 7 on, in single precision:
  // h = floor(sqrt(n / ratio)), w = floor(h * ratio), then w grows by 1 while
  // w / h < ratio, else h grows by 1, until w * h >= n. 10 at 1.0 give (3, 4);
  // 7 at 2.0 give (4, 2). Stops for a negative count and for a ratio that is
  // not positive and finite.
  [[nodiscard]] static MatrixSize from(std::int64_t elementCount, float ratio);

  // A near-square size for n >= 1 cells: width = ceil(sqrt(n)), height =
  // (n - 1) / width + 1. 10 gives (4, 3), 5 gives (3, 2). Stops for n < 1.
  [[nodiscard]] static MatrixSize matrixSizeForSquareMatrix(std::int64_t elementCount);

  [[nodiscard]] constexpr std::int64_t width() const { return width_; }
  [[nodiscard]] constexpr std::int64_t height() const { return height_; }

  // width * height; stops on overflow.
  [[nodiscard]] std::int64_t count() const;
  // Only 0 x 0 is empty: a 0 x 5 size is not.
  [[nodiscard]] constexpr bool isEmpty() const { return width_ == 0 && height_ == 0; }
  // (height, width).
  [[nodiscard]] constexpr MatrixSize sizeFlipped() const { return MatrixSize(height_, width_); }
  // (width - dx, height - dy): each side shrinks once by its amount.
  [[nodiscard]] MatrixSize sizeInsetBy(std::int64_t dx, std::int64_t dy) const;
  // 0 <= x < width and 0 <= y < height.
  [[nodiscard]] constexpr bool contains(const MatrixCoordinate& coordinate) const;

  // y * width + x, the row-major index, without a range check.
  [[nodiscard]] std::int64_t indexForCoordinate(const MatrixCoordinate& coordinate) const;
  // The same index, or nullopt when it is negative or at least `totalCount`
  // (or cannot be represented). x is not compared with the width: (5, 0) in
  // width 3 gives 5.
  [[nodiscard]] std::optional<std::int64_t> indexForCoordinate(const MatrixCoordinate& coordinate,
                                                               std::int64_t totalCount) const;
  // x = index % width, y = (index - x) / width. Stops for width < 1.
  [[nodiscard]] MatrixCoordinate coordinateForIndex(std::int64_t index) const;
  // The same x; y counted from the last row: height - 1 - (index - x) / width.
  [[nodiscard]] MatrixCoordinate coordinateForIndex_verticallyFlipped(std::int64_t index) const;

  // (width, ceil(elementCount / width)), whether that is more rows or fewer.
  // Stops for width < 1.
  [[nodiscard]] MatrixSize matrixSizeByReducingHeightToFit(std::int64_t elementCount) const;
  // (ceil(elementCount / height), height), likewise. Stops for height < 1.
  [[nodiscard]] MatrixSize matrixSizeByReducingWidthToFit(std::int64_t elementCount) const;
  // Limited to `maximumSize`: unchanged when it fits; a side that is too
  // large is cut to the maximum and the other grows to keep the cell count,
  // up to its own maximum; both too large give the maximum. (10, 2) into
  // (4, 10) gives (4, 5). Stops when the maximum side divided by is below 1.
  [[nodiscard]] MatrixSize matrixSizeToFitInto(const MatrixSize& maximumSize) const;

  // The border walk: the outermost cells clockwise from (0, 0), along row 0
  // first. `countStrokedRect` is its number of steps: width for height 1,
  // else 2 * width + 2 * (height - 2) (a single column is walked down and
  // back up, so its inner cells come twice). Stops for height < 1.
  [[nodiscard]] std::int64_t countStrokedRect() const;
  // The cell of step `index`; stops with "Index <i> in
  // coordinateForStrokedRectIndex out of bounds." outside 0..<countStrokedRect.
  [[nodiscard]] MatrixCoordinate coordinateForStrokedRectIndex(std::int64_t index) const;

  // A uniformly random cell: x drawn first (Int::random(width - 1)), then y.
  [[nodiscard]] MatrixCoordinate randomCoordinate() const;
  // The top-left cell of an object of `objectSize` placed at random wholly
  // inside this size: x uniform in 0...width - object width, then y likewise.
  // nullopt when the object is wider or higher than this size; an object
  // exactly as wide (or high) is placed at 0 on that axis.
  [[nodiscard]] std::optional<MatrixCoordinate> coordinateOfRandomlyPlaced(
      const MatrixSize& objectWithMatrixSize) const;
  // Always a cell: each axis is drawn only when the object is smaller than
  // this size on it, else 0; x first.
  [[nodiscard]] MatrixCoordinate coordinateOfRandomlyPlacedOr00(
      const MatrixSize& objectWithMatrixSize) const;

  // A random rectangle wholly inside this size; see matrix_rect.h.
  [[nodiscard]] MatrixRect randomRect(const std::optional<MatrixSize>& minSize = std::nullopt,
                                      const std::optional<MatrixSize>& maxSize = std::nullopt) const;
  // A rectangle of `objectSize` at a random place; see matrix_rect.h.
  [[nodiscard]] MatrixRect rectRandomlyPosition(const MatrixSize& objectSize) const;

  // This size seen through a transformation: the sides are exchanged when
  // b * width != 0 (a quarter turn or a diagonal mirror of a size with
  // columns). Needs transformation_matrix.h.
  [[nodiscard]] MatrixSize transformed(const TransformationMatrix& transformation) const;

  // Walks over the cells; see coordinate_iterators.h, needed at the call
  // site. Row by row; an inward spiral from (0, 0); whole border lines from
  // random corners; a random order fixed now; passes of diagonal stripes
  // `step` apart (stops for a step below 1); the caller's list, its first
  // width x height entries.
  [[nodiscard]] OrderedCoordinateIterator coordinateIterator() const;
  [[nodiscard]] SpiralCoordinateIterator coordinateIterator_spiral(bool counterClockwise = false) const;
  [[nodiscard]] RandomOuterLineCoordinateIterator coordinateIterator_randomOuterLine() const;
  [[nodiscard]] RandomPrecalculatedCoordinateIterator coordinateIterator_randomPrecalculated() const;
  [[nodiscard]] CheckeredCoordinateIterator coordinateIterator_checkered(std::int64_t step = 3) const;
  [[nodiscard]] ArrayCoordinateIterator coordinateIterator_array(std::vector<MatrixCoordinate> coordinates) const;

  // "MatrixSize(3, 2)".
  [[nodiscard]] std::string description() const;

  friend constexpr bool operator==(const MatrixSize&, const MatrixSize&) = default;

 private:
  std::int64_t width_;
  std::int64_t height_;
};

// One cell of a matrix: column `x`, row `y`.
class MatrixCoordinate {
 public:
  // The four neighbours of a cell. `up` increases y and `down` decreases it;
  // `left` decreases x and `right` increases it.
  class Direction {
   public:
    enum Case : std::uint8_t { up, left, down, right };

    constexpr Direction(Case value) : value_(value) {}  // NOLINT: a case is a direction
    constexpr operator Case() const { return value_; }  // NOLINT: switch over directions

    // up, left, down, right.
    [[nodiscard]] static constexpr const std::array<Direction, 4>& all() { return kAll; }

   private:
    Case value_;
    static const std::array<Direction, 4> kAll;
  };

  constexpr MatrixCoordinate(std::int64_t x, std::int64_t y) : x(x), y(y) {}

  // (0, 0).
  [[nodiscard]] static constexpr MatrixCoordinate zero() { return MatrixCoordinate(0, 0); }

  // The row-major index y * matrixSize.width + x, without range checks.
  [[nodiscard]] std::int64_t position(const MatrixSize& matrixSize) const;

  // Moves in place: x += dx, y += dy; or set one axis and move the other.
  void moveByTo(std::int64_t dx, std::int64_t dy);
  void moveByToX(std::int64_t x, std::int64_t dy);
  void moveByToY(std::int64_t dx, std::int64_t y);
  // The same moves on a copy; the receiver is unchanged.
  [[nodiscard]] MatrixCoordinate coordinateMovedByTo(std::int64_t dx, std::int64_t dy) const;
  [[nodiscard]] MatrixCoordinate coordinateMovedByToX(std::int64_t x, std::int64_t dy) const;
  [[nodiscard]] MatrixCoordinate coordinateMovedByToY(std::int64_t dx, std::int64_t y) const;

  // Bounded moves: the moved cell, or nullopt when it has a negative side,
  // lies outside `matrixSize` (when given), or cannot be represented. None
  // wraps into another row or column and none clamps. The test of the
  // negative quadrant covers the axis that did not move too: `up` from
  // (-1, 0) is nullopt.
  //
  // `coordinateMovedBy` also refuses, when both `matrixSize` and
  // `totalCount` are given, a cell whose row-major index
  // matrixSize.width * y + x is at least totalCount (a last row only partly
  // filled); `totalCount` alone is not looked at.
  [[nodiscard]] std::optional<MatrixCoordinate> coordinateMovedBy(
      std::int64_t dx, std::int64_t dy, const std::optional<MatrixSize>& matrixSize = std::nullopt,
      std::optional<std::int64_t> totalCount = std::nullopt) const;
  [[nodiscard]] std::optional<MatrixCoordinate> up(
      std::int64_t delta = 1, const std::optional<MatrixSize>& matrixSize = std::nullopt) const;
  [[nodiscard]] std::optional<MatrixCoordinate> down(
      std::int64_t delta = 1, const std::optional<MatrixSize>& matrixSize = std::nullopt) const;
  [[nodiscard]] std::optional<MatrixCoordinate> left(
      std::int64_t delta = 1, const std::optional<MatrixSize>& matrixSize = std::nullopt) const;
  [[nodiscard]] std::optional<MatrixCoordinate> right(
      std::int64_t delta = 1, const std::optional<MatrixSize>& matrixSize = std::nullopt) const;
  // `up`, `left`, `down` or `right` for the direction.
  [[nodiscard]] std::optional<MatrixCoordinate> coordinateTo(
      Direction direction, std::int64_t delta = 1,
      const std::optional<MatrixSize>& matrixSize = std::nullopt) const;

  // (a * x + c * y + tx, b * x + d * y + ty). Needs transformation_matrix.h.
  [[nodiscard]] MatrixCoordinate transformed(const TransformationMatrix& transformation) const;

  // "MatrixCoordinate(3, 0)".
  [[nodiscard]] std::string description() const;

  friend constexpr bool operator==(const MatrixCoordinate&, const MatrixCoordinate&) = default;

  std::int64_t x;
  std::int64_t y;
};

inline constexpr std::array<MatrixCoordinate::Direction, 4> MatrixCoordinate::Direction::kAll = {
    up, left, down, right};

// (x1 + x2, y1 + y2); stops on overflow.
[[nodiscard]] MatrixCoordinate operator+(const MatrixCoordinate& lhs, const MatrixCoordinate& rhs);

constexpr bool MatrixSize::contains(const MatrixCoordinate& coordinate) const {
  return coordinate.x >= 0 && coordinate.y >= 0 && coordinate.x < width_ && coordinate.y < height_;
}

// (width * factor, height * factor); stops on overflow.
[[nodiscard]] MatrixSize operator*(const MatrixSize& size, std::int64_t factor);

}  // namespace vantrel

template <>
struct std::hash<vantrel::MatrixCoordinate::Direction> {
  std::size_t operator()(vantrel::MatrixCoordinate::Direction direction) const noexcept {
    return static_cast<std::size_t>(static_cast<vantrel::MatrixCoordinate::Direction::Case>(direction));
  }
};
