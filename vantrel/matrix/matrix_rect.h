// File: vantrel/matrix/matrix_rect.h
//
// `MatrixRect`: a rectangle of cells given by its first and last column and
// row, both ends included, walked row by row. `MatrixCoordinateFactory`
// lists the cells of a filled or an outlined rectangle.
//
//   MatrixRect rect(MatrixCoordinate(2, 3), MatrixSize(4, 2));  // columns 2...5, rows 3...4
//   for (MatrixCoordinate c : rect) ...                         // (2,3) (3,3) ... (5,4)
//   rect.rectInsetedBy(1, 0)                                    // columns 3...4
//   MatrixSize(5, 5).randomRect()                               // somewhere inside 5 x 5
//
// The four ends are public and writable; `width()`, `height()` and `size()`
// are stored: set when the rectangle is made and recomputed by `formUnion`
// and the insets, kept by the moves, and left as they were when an end is
// assigned directly. Nothing keeps the ends ordered: an inset by more than
// half the extent leaves a rectangle without cells (width 0 or less), which
// walks nothing.
//
// Failures stop the program: integer overflow on the ends, a random
// rectangle whose bounds leave a negative span (see `Int::randomNumber`), a
// factory size with a side below 1. Plain values; thread-safe apart from the
// shared random source.
#pragma once

#include <cstdint>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "vantrel/collections/any_iterator.h"
#include "vantrel/collections/int_grid.h"
#include "vantrel/matrix/matrix_coordinate.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

// Walks a copy of a rectangle taken when it is made: row by row from
// (startColumn, startRow), x fastest. Ends at once when endColumn <
// startColumn or startRow > endRow, and stays ended.
class MatrixRectIterator {
 public:
  MatrixRectIterator(std::int64_t startColumn, std::int64_t endColumn, std::int64_t endRow,
                     MatrixCoordinate start)
      : startColumn_(startColumn), endColumn_(endColumn), endRow_(endRow), current_(start) {}

  std::optional<MatrixCoordinate> next();

 private:
  std::int64_t startColumn_;
  std::int64_t endColumn_;
  std::int64_t endRow_;
  MatrixCoordinate current_;
  bool ended_ = false;
};

class MatrixRect {
 public:
  // Columns origin.x...origin.x + size.width - 1, rows likewise.
  MatrixRect(const MatrixCoordinate& origin, const MatrixSize& size);
  // The same from four integers.
  MatrixRect(std::int64_t x, std::int64_t y, std::int64_t width, std::int64_t height);
  // The ends as given; width = endColumn - startColumn + 1, height likewise.
  [[nodiscard]] static MatrixRect fromStartColumn(std::int64_t startColumn, std::int64_t endColumn,
                                           std::int64_t startRow, std::int64_t endRow);

  [[nodiscard]] constexpr std::int64_t width() const { return size_.width(); }
  [[nodiscard]] constexpr std::int64_t height() const { return size_.height(); }
  [[nodiscard]] constexpr const MatrixSize& size() const { return size_; }

  // (startColumn, startRow) and (endColumn, endRow).
  [[nodiscard]] MatrixCoordinate topLeft() const { return MatrixCoordinate(startColumn, startRow); }
  [[nodiscard]] MatrixCoordinate bottomRight() const { return MatrixCoordinate(endColumn, endRow); }

  // Both columns += dx, both rows += dy; the size stays.
  void moveBy(std::int64_t dx, std::int64_t dy);
  [[nodiscard]] MatrixRect rectMovedBy(std::int64_t dx, std::int64_t dy) const;
  // The smallest rectangle holding both sets of ends; the size recomputed.
  void formUnion(const MatrixRect& other);
  // startColumn += dx, endColumn -= dx, startRow += dy, endRow -= dy; the
  // size recomputed. Negative amounts grow the rectangle.
  void insetBy(std::int64_t dx, std::int64_t dy);
  [[nodiscard]] MatrixRect rectInsetedBy(std::int64_t dx, std::int64_t dy) const;

  [[nodiscard]] MatrixRectIterator makeIterator() const {
    return MatrixRectIterator(startColumn, endColumn, endRow, topLeft());
  }
  [[nodiscard]] StepIteratorAdapter<MatrixRectIterator> begin() const {
    return StepIteratorAdapter<MatrixRectIterator>(makeIterator());
  }
  [[nodiscard]] std::default_sentinel_t end() const { return {}; }

  // "MatrixRect(2 x 3: startColumn: 0, endColumn: 1, startRow: 0, endRow: 2))"
  // (two closing parentheses).
  [[nodiscard]] std::string description() const;

  std::int64_t startColumn;
  std::int64_t endColumn;
  std::int64_t startRow;
  std::int64_t endRow;

 private:
  MatrixRect(std::int64_t startColumn, std::int64_t endColumn, std::int64_t startRow,
             std::int64_t endRow, MatrixSize size)
      : startColumn(startColumn), endColumn(endColumn), startRow(startRow), endRow(endRow),
        size_(size) {}
  void recomputeSize();

  MatrixSize size_;
};

// Lists the cells of rectangles given by an origin and an `IntSize`. Holds
// no state; subclasses may override either list.
class MatrixCoordinateFactory {
 public:
  MatrixCoordinateFactory() = default;
  virtual ~MatrixCoordinateFactory() = default;
  MatrixCoordinateFactory(const MatrixCoordinateFactory&) = default;
  MatrixCoordinateFactory& operator=(const MatrixCoordinateFactory&) = default;

  // Every cell, row by row from origin.y, each row from origin.x upwards:
  // width * height cells. Stops for a side below 1.
  [[nodiscard]] virtual std::vector<MatrixCoordinate> rectFilled(const MatrixCoordinate& origin,
                                                                 const IntSize& size) const;
  // The border: the first row left to right; then for each middle row its
  // first and its last cell (the same cell twice when the width is 1); then
  // the last row left to right. width cells for height 1, else
  // 2 * width + 2 * (height - 2). Stops for a side below 1.
  [[nodiscard]] virtual std::vector<MatrixCoordinate> rectStroked(const MatrixCoordinate& origin,
                                                                  const IntSize& size) const;
};

}  // namespace vantrel
