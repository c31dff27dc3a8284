// File: vantrel/collections/int_grid.h
//
// Integer grid values: a size (`IntSize`), a coordinate (`IntCoordinate`) and
// an inclusive rectangle of columns and rows (`IntRect`) that can be walked
// cell by cell.
//
//   IntSize size(3, 2);                          // 3 columns, 2 rows
//   size.indexForCoordinate(IntCoordinate(2, 1)) // 5: cells count row by row
//   IntSize::fromElementCount(3, 7)              // 3 x 3: rows rounded up
//   IntRect rect(1, 2, 5, 6);                    // columns 1...2, rows 5...6
//   for (IntCoordinate c : rect) ...             // (1,5) (2,5) (1,6) (2,6)
//
// `IntSize` is the pixel size the image code reports and the size the matrix
// code fills rectangles with; the cell in column x of row y has the index
// y * width + x. Fields are read-only, read through accessors of the same
// name. Integer overflow and a width of 0 where a division needs it stop the
// program through `fatal`; nothing else is checked (a rectangle may be
// inverted; it then walks fewer cells, see `IntRect`). Plain values;
// thread-safe to read.
#pragma once

#include <cstdint>
#include <iterator>
#include <optional>
#include <string>
#include <utility>

#include "vantrel/collections/any_iterator.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

// An integer grid coordinate: column `x`, row `y`. Has no equality.
class IntCoordinate {
 public:
  constexpr IntCoordinate(std::int64_t x, std::int64_t y) : x_(x), y_(y) {}

  [[nodiscard]] constexpr std::int64_t x() const { return x_; }
  [[nodiscard]] constexpr std::int64_t y() const { return y_; }

  // (x + dx, y + dy).
  [[nodiscard]] IntCoordinate withOffset(std::int64_t dx, std::int64_t dy) const;

  // Moves within rows of `wrapAroundWithColumnCount` columns: a column left
  // of 0 lands on the last column of the row above, one at or past the
  // column count on the first column of the row below; however far it lies
  // outside, the move is exactly one row. The column count is not tested.
  [[nodiscard]] IntCoordinate withOffset(std::int64_t dx, std::int64_t dy,
                                         std::int64_t wrapAroundWithColumnCount) const;

 private:
  std::int64_t x_;
  std::int64_t y_;
};

// A grid size in cells (or an image's size in pixels): `width` columns by
// `height` rows. Cells are numbered row by row from the top left, so the cell
// in column x of row y has the index y * width + x, the order in which pixel
// buffers and matrix stores lay out their cells. Equal when both widths and
// both heights are equal. Negative values are stored as given; only the
// operations below that multiply or divide check anything.
class IntSize {
 public:
  constexpr IntSize(std::int64_t width, std::int64_t height) : width_(width), height_(height) {}
  // From a (width, height) pair.
  explicit constexpr IntSize(std::pair<std::int64_t, std::int64_t> tuple)
      : width_(tuple.first), height_(tuple.second) {}

  // The size of a grid `width` wide holding `elementCount` cells: the height
  // is (elementCount + width - 1) / width, truncating (rounded up for
  // positive values). Stops for width 0.
  [[nodiscard]] static IntSize fromElementCount(std::int64_t width, std::int64_t elementCount);

  [[nodiscard]] constexpr std::int64_t width() const { return width_; }
  [[nodiscard]] constexpr std::int64_t height() const { return height_; }

  // width * height.
  [[nodiscard]] std::int64_t count() const;
  // y * width + x.
  [[nodiscard]] std::int64_t indexForCoordinate(IntCoordinate coordinate) const;
  // x = index % width (truncating), y = (index - x) / width. Stops for width 0.
  [[nodiscard]] IntCoordinate coordinateForIndex(std::int64_t index) const;

  friend constexpr bool operator==(const IntSize&, const IntSize&) = default;

 private:
  std::int64_t width_;
  std::int64_t height_;
};

// Walks an `IntRect` row by row from the top, each row from startColumn to
// endColumn. A rectangle whose endRow is below its startRow walks no cell;
// one whose endColumn is below its startColumn (rows in order) walks one cell
// per row, at startColumn.
class IntRectIterator {
 public:
  IntRectIterator(std::int64_t startColumn, std::int64_t endColumn, std::int64_t startRow,
                  std::int64_t endRow)
      : startColumn_(startColumn), endColumn_(endColumn), endRow_(endRow),
        column_(startColumn), row_(startRow) {}

  std::optional<IntCoordinate> next();

 private:
  std::int64_t startColumn_;
  std::int64_t endColumn_;
  std::int64_t endRow_;
  std::int64_t column_;
  std::int64_t row_;
};

// Columns startColumn...endColumn and rows startRow...endRow, both ends
// included. The values are stored as given, untested.
class IntRect {
 public:
  constexpr IntRect(std::int64_t startColumn, std::int64_t endColumn, std::int64_t startRow,
                    std::int64_t endRow)
      : startColumn_(startColumn), endColumn_(endColumn), startRow_(startRow), endRow_(endRow) {}

  [[nodiscard]] constexpr std::int64_t startColumn() const { return startColumn_; }
  [[nodiscard]] constexpr std::int64_t endColumn() const { return endColumn_; }
  [[nodiscard]] constexpr std::int64_t startRow() const { return startRow_; }
  [[nodiscard]] constexpr std::int64_t endRow() const { return endRow_; }

  // endColumn - startColumn + 1.
  [[nodiscard]] std::int64_t width() const;
  // endRow - startRow + 1.
  [[nodiscard]] std::int64_t height() const;

  // "IntRect(2 x 2: startColumn: 1, endColumn: 2, startRow: 5, endRow: 6)".
  [[nodiscard]] std::string description() const;

  [[nodiscard]] IntRectIterator makeIterator() const {
    return IntRectIterator(startColumn_, endColumn_, startRow_, endRow_);
  }
  [[nodiscard]] StepIteratorAdapter<IntRectIterator> begin() const {
    return StepIteratorAdapter<IntRectIterator>(makeIterator());
  }
  [[nodiscard]] std::default_sentinel_t end() const { return {}; }

 private:
  std::int64_t startColumn_;
  std::int64_t endColumn_;
  std::int64_t startRow_;
  std::int64_t endRow_;
};

}  // namespace vantrel
