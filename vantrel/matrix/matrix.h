// File: vantrel/matrix/matrix.h
//
// `Matrix<T>`: a grid of cells that each hold one element or nothing. The
// cells are stored once, row by row in the orientation the matrix was made
// in, and read and written through a view: a `TransformationMatrix` that
// turns or mirrors the whole grid without moving a cell. Every coordinate a
// caller passes or receives is a coordinate of the view.
//
//   Matrix<int> m(3, 2);                        // 3 columns, 2 rows, all empty
//   m.set(MatrixCoordinate(2, 1), 7);           // fillCount() == 1
//   m.setTransform(TransformationMatrix::makeDirection(
//       TransformationMatrix::Direction::left, m.originalSize()));
//   m.size()                                    // MatrixSize(2, 3): turned
//   m[MatrixCoordinate(0, 2)]                   // 7, the same cell seen turned
//   m.subscriptRawIndex(5)                      // 7: storage ignores the view
//
// Reading: `m[c]` gives the cell (a `const std::optional<T>&`, valid until
// the matrix changes); writing goes through `set(c, value)`, which keeps
// `fillCount()` right. `copyCellsInViewOrder` reads the whole view row by
// row, walking turned views in cache-sized blocks.
//
// Drawing (`fill`, `draw`, `drawLineHorizontal`, `drawLineHorizontal2`)
// writes rectangles, outlines and lines through `set`; empty rectangles and
// lengths below 1 write nothing.
//
// A matrix is a value: a copy shares nothing with the original.
// `makeIterator()` reads the matrix it came from (do not change or destroy
// the matrix while using it); `makeSetCoordinateIterator()` works on its own
// copy.
//
// As C++ ranges: the matrix itself is its cells in storage order (what
// `makeIterator()` yields), and `viewCells()` is its cells in view order,
// row by row of the view; both give random-access iterators to
// `const std::optional<T>&`. `size()` stays the view's `MatrixSize`, so
// `std::ranges::size(m)` (end minus begin) is `cellCount()`; the matrix has
// no `empty()`, since `isEmpty()` means that no cell holds an element.
//
//   std::ranges::count_if(m, [](const auto& c) { return c.has_value(); })  // fillCount()
//   std::vector<std::optional<int>> seen(m.viewCells().begin(), m.viewCells().end());
//
// Iterators read through the matrix. `set`, the bulk changes and drawing
// keep them valid (they read the new cells); a view-order iterator follows
// a new `setTransform`. Assigning or moving the whole matrix invalidates
// them. In every build (the library's one iterator-check policy,
// vantrel/core/indexed_iterator.h) reading outside the cells, the end
// included, stops the program, and so does comparing iterators of two
// different matrices. No iterator writes. `std::hash` hashes what
// the view shows: its size and each cell in view order.
//
// Failures stop the program (`fatal`): a coordinate outside the view
// ("Coordinate out of bounds: MatrixCoordinate(3, 0) (MatrixSize(3, 2))"), a
// transformation that is not a one-to-one map of the view onto the stored
// cells (refused when set, the matrix unchanged), a negative raw index or
// side, a random coordinate of a matrix without cells, a negative checkered
// step, a fill percentage below 5.0, an empty fill pattern. Random draws go
// through the collections helpers, so tests can script them. Not
// thread-safe: one thread owns a matrix at a time.
#pragma once

#include <algorithm>
#include <compare>
#include <concepts>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <iterator>
#include <optional>
#include <ranges>
#include <span>
#include <type_traits>
#include <string>
#include <utility>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "vantrel/collections/any_iterator.h"
#include "vantrel/collections/numeric.h"
#include "vantrel/collections/element_hash.h"
#include "vantrel/core/checked.h"
#include "vantrel/core/hash_combine.h"
#include "vantrel/core/no_destructor.h"
#include "vantrel/matrix/matrix_coordinate.h"
#include "vantrel/matrix/matrix_pixel.h"
#include "vantrel/matrix/matrix_rect.h"
#include "vantrel/matrix/transformation_matrix.h"

#include "vantrel/core/indexed_iterator.h"
#include "vantrel/api.h"
namespace vantrel VANTREL_API {

namespace matrix_internal {

// How a validated transformation reaches the storage: the storage index of
// view cell (x, y) is base + x * stepX + y * stepY, computed modulo 2^64
// (exact, because every view cell lands on a stored one).
struct ViewMapping {
  TransformationMatrix inverse;
  MatrixSize size;
  std::uint64_t base;
  std::uint64_t stepX;
  std::uint64_t stepY;
};

// The mapping of `transform` for a matrix stored as `originalSize`; stops
// unless the transform has determinant 1 or -1 and sends the stored cells
// one to one onto the view.
ViewMapping viewMapping(const TransformationMatrix& transform, const MatrixSize& originalSize);
std::size_t cellCount(std::int64_t columns, std::int64_t rows);

[[noreturn]] void coordinateOutOfBounds(const MatrixCoordinate& coordinate, const MatrixSize& size);
[[noreturn]] void storageIndexOutOfBounds(std::uint64_t index, std::size_t count);
[[noreturn]] void negativeRawIndex(std::int64_t index);
[[noreturn]] void negativeCheckeredStep(std::int64_t step);
[[noreturn]] void emptyPattern(const MatrixSize& size);
[[noreturn]] void viewBufferSize(std::size_t given, std::size_t count);
[[noreturn]] void iteratorOutside(std::ptrdiff_t index, std::size_t count);

// The random-access iterator of a matrix's two cell orders: `Order` turns a
// position (0 ..< cellCount) into a storage index, reading the matrix each
// time, so an iterator stays in step with the matrix it came from.
template <class M, class Order>
class CellOrderIterator
    : public IndexedIterator<CellOrderIterator<M, Order>, typename M::Cell, const typename M::Cell&> {
 public:
  CellOrderIterator() = default;
  CellOrderIterator(const M* matrix, std::ptrdiff_t index)
      : IndexedIterator<CellOrderIterator, typename M::Cell, const typename M::Cell&>(matrix, index),
        matrix_(matrix) {}

 private:
  friend IndexedIterator<CellOrderIterator, typename M::Cell, const typename M::Cell&>;

  const typename M::Cell& readAt(std::ptrdiff_t index) const {
    const std::vector<typename M::Cell>& cells = matrix_->cells_;
    if (static_cast<std::size_t>(index) >= cells.size()) [[unlikely]] iteratorOutside(index, cells.size());
    return cells[Order::storageIndex(*matrix_, static_cast<std::size_t>(index))];
  }

  const M* matrix_ = nullptr;
};

std::string description(const MatrixSize& size);
// `filled` holds one flag per view cell, row by row.
std::string debugDescription(const MatrixSize& size, const std::vector<bool>& filled);
void printFillWithMatrix(const MatrixSize& receiver, const MatrixSize& source);
// Prints the first line of a percentage fill and answers the draw threshold
// (stops below 5.0).
std::uint32_t startFillWithPercent(const MatrixSize& size, double percent);
void printFillCount(std::int64_t fillCount, std::size_t count);
void printSelfCheckFailure(const std::string& debugDescription);

// (p * x + q * y + t) modulo 2^64, exact whenever the result fits.
inline std::int64_t wrappingAffine(std::int64_t p, std::int64_t x, std::int64_t q, std::int64_t y,
                                   std::int64_t t) {
  const std::uint64_t r = static_cast<std::uint64_t>(p) * static_cast<std::uint64_t>(x) +
                          static_cast<std::uint64_t>(q) * static_cast<std::uint64_t>(y) +
                          static_cast<std::uint64_t>(t);
  return static_cast<std::int64_t>(r);
}

}  // namespace matrix_internal

template <class T>
class Matrix {
 public:
  using Cell = std::optional<T>;

  // Yields every cell, empty ones included, in storage order whatever the
  // view. Reads the matrix it was made from.
  class CellIterator {
   public:
    explicit CellIterator(const std::vector<Cell>& cells) : cells_(&cells) {}
    std::optional<Cell> next() {
      if (position_ >= cells_->size()) return std::nullopt;
      return (*cells_)[position_++];
    }

   private:
    const std::vector<Cell>* cells_;
    std::size_t position_ = 0;
  };

  // Yields the view coordinate of every filled cell, in storage order, from
  // a copy of the matrix taken when it was made.
  class SetCoordinateIterator {
   public:
    explicit SetCoordinateIterator(const Matrix& matrix) : matrix_(matrix) {}
    std::optional<MatrixCoordinate> next() {
      const std::vector<Cell>& cells = matrix_.cells_;
      while (position_ < cells.size()) {
        const std::size_t i = position_++;
        if (cells[i].has_value()) return matrix_.viewCoordinateForStorageIndex(i);
      }
      return std::nullopt;
    }

   private:
    Matrix matrix_;
    std::size_t position_ = 0;
  };

  // How each cell order finds its cells (see the private part).
 private:
  struct StorageOrder;
  struct ViewOrder;

 public:
  using const_iterator = matrix_internal::CellOrderIterator<Matrix, StorageOrder>;
  using iterator = const_iterator;
  using value_type = Cell;
  using difference_type = std::ptrdiff_t;

  // The cells in view order (row by row of the view), as a range over the
  // matrix it was made from.
  class ViewCells {
   public:
    using const_iterator = matrix_internal::CellOrderIterator<Matrix, ViewOrder>;
    using iterator = const_iterator;
    explicit ViewCells(const Matrix& matrix) : matrix_(&matrix) {}
    [[nodiscard]] const_iterator begin() const { return const_iterator(matrix_, 0); }
    [[nodiscard]] const_iterator end() const {
      return const_iterator(matrix_, static_cast<std::ptrdiff_t>(matrix_->cells_.size()));
    }
    [[nodiscard]] std::size_t size() const { return matrix_->cells_.size(); }
    [[nodiscard]] bool empty() const { return matrix_->cells_.empty(); }

   private:
    const Matrix* matrix_;
  };

  // columns x rows cells, each a copy of `repeatedValue` (or empty); the
  // identity view. Stops for a negative side.
  Matrix(std::int64_t columns, std::int64_t rows, Cell repeatedValue = std::nullopt)
      : cells_(matrix_internal::cellCount(columns, rows), repeatedValue),
        fillCount_(repeatedValue.has_value() ? static_cast<std::int64_t>(cells_.size()) : 0),
        originalSize_(columns, rows),
        size_(originalSize_) {
    if (!cells_.empty()) stepY_ = static_cast<std::uint64_t>(columns);
  }
  explicit Matrix(const MatrixSize& matrixSize, Cell repeatedValue = std::nullopt)
      : Matrix(matrixSize.width(), matrixSize.height(), std::move(repeatedValue)) {}

  // ---- Shape and view -------------------------------------------------------------
  [[nodiscard]] std::int64_t fillCount() const { return fillCount_; }
  [[nodiscard]] const MatrixSize& originalSize() const { return originalSize_; }
  // The view's size: originalSize with its sides exchanged when the view
  // turns by a quarter.
  [[nodiscard]] const MatrixSize& size() const { return size_; }
  [[nodiscard]] const TransformationMatrix& transform() const { return transform_; }
  [[nodiscard]] const TransformationMatrix& inverseTransform() const { return inverse_; }

  // Shows the cells through `transform` (stored coordinates to view
  // coordinates); `size()` and `inverseTransform()` follow at once; no cell
  // moves. Use `TransformationMatrix::makeDirection(direction, originalSize())`.
  // Stops, leaving the matrix unchanged, unless the transformation has
  // determinant 1 or -1 and maps the stored cells one to one onto the view.
  void setTransform(const TransformationMatrix& transform) {
    const matrix_internal::ViewMapping mapping = matrix_internal::viewMapping(transform, originalSize_);
    transform_ = transform;
    inverse_ = mapping.inverse;
    size_ = mapping.size;
    base_ = mapping.base;
    stepX_ = mapping.stepX;
    stepY_ = mapping.stepY;
  }

  [[nodiscard]] std::int64_t cellCount() const { return static_cast<std::int64_t>(cells_.size()); }
  [[nodiscard]] std::int64_t freeCount() const { return cellCount() - fillCount_; }
  // fillCount / cells * 100 (NaN without cells).
  [[nodiscard]] double fillPercentage() const {
    return static_cast<double>(fillCount_) / static_cast<double>(cells_.size()) * 100.0;
  }
  // No cell holds an element.
  [[nodiscard]] bool isEmpty() const { return fillCount_ == 0; }
  // Every cell holds an element (true for a matrix without cells).
  [[nodiscard]] bool isFull() const { return fillCount_ == cellCount(); }
  // Columns 0...W0 - 1, rows 0...H0 - 1 of the stored orientation.
  [[nodiscard]] MatrixRect originalRect() const {
    return MatrixRect(MatrixCoordinate::zero(), originalSize_);
  }

  // ---- Cells ----------------------------------------------------------------------
  [[nodiscard]] bool containsCoordinate(const MatrixCoordinate& coordinate) const {
    return static_cast<std::uint64_t>(coordinate.x) < static_cast<std::uint64_t>(size_.width()) &&
           static_cast<std::uint64_t>(coordinate.y) < static_cast<std::uint64_t>(size_.height());
  }

  // The cell at a view coordinate. Stops outside the view.
  [[nodiscard]] const Cell& operator[](const MatrixCoordinate& coordinate) const {
    return cells_[storageIndex(coordinate)];
  }

  // Stores `value` (an element or nothing) at a view coordinate and keeps
  // fillCount. Stops outside the view.
  void set(const MatrixCoordinate& coordinate, Cell value) {
    Cell& cell = cells_[storageIndex(coordinate)];
    fillCount_ += static_cast<std::int64_t>(value.has_value()) - static_cast<std::int64_t>(cell.has_value());
    cell = std::move(value);
  }

  // The cell at a storage index, ignoring the view; empty at or beyond the
  // cell count. Stops for a negative index.
  [[nodiscard]] const Cell& subscriptRawIndex(std::int64_t rawIndex) const {
    if (rawIndex < 0) matrix_internal::negativeRawIndex(rawIndex);
    if (static_cast<std::uint64_t>(rawIndex) >= cells_.size()) return emptyCell();
    return cells_[static_cast<std::size_t>(rawIndex)];
  }

  // Copies every cell into `out` in view order (row by row of the view).
  // `out` must hold exactly cellCount() cells.
  void copyCellsInViewOrder(std::span<Cell> out) const {
    if (out.size() != cells_.size()) matrix_internal::viewBufferSize(out.size(), cells_.size());
    if (cells_.empty()) return;
    const std::size_t width = static_cast<std::size_t>(size_.width());
    const std::size_t height = static_cast<std::size_t>(size_.height());
    const Cell* cells = cells_.data();
    Cell* target = out.data();
    if (stepX_ == 1 && stepY_ == width) {
      std::copy(cells, cells + cells_.size(), target);
    } else if (stepX_ == 1 || stepX_ == ~std::uint64_t{0}) {
      // Mirrors keep view rows in storage rows: copy each row, reversed or not.
      for (std::size_t y = 0; y < height; ++y) {
        const std::size_t first = static_cast<std::size_t>(base_ + y * stepY_);
        if (stepX_ == 1) {
          std::copy(cells + first, cells + first + width, target + y * width);
        } else {
          std::reverse_copy(cells + first + 1 - width, cells + first + 1, target + y * width);
        }
      }
    } else {
      copyTurnedInViewOrder(target, width, height);
    }
  }

  // ---- Searches ---------------------------------------------------------------------

  // x = Int::random(W - 1), then y = Int::random(H - 1): uniform over the
  // view whatever the cells hold. Stops without cells.
  [[nodiscard]] MatrixCoordinate randomCoordinate() const {
    const std::int64_t x = Int::random(size_.width() - 1);
    const std::int64_t y = Int::random(size_.height() - 1);
    return MatrixCoordinate(x, y);
  }

  // A view coordinate whose cell passes `condition`, or nullopt. Tries one
  // random coordinate; when it fails, tests every cell once from a random
  // storage index, ascending or descending (a draw of 2: 0 ascending), and
  // answers the first that passes. Stops without cells.
  template <std::predicate<const Cell&> F>
  [[nodiscard]] std::optional<MatrixCoordinate> randomCoordinateWithCondition(F&& condition) const {
    const MatrixCoordinate first = randomCoordinate();
    if (std::invoke(condition, (*this)[first])) return first;
    const std::size_t n = cells_.size();
    const std::size_t start = static_cast<std::size_t>(Int::random(static_cast<std::int64_t>(n) - 1));
    const bool ascending = UInt32::random(2) == 0;
    for (std::size_t k = 0; k < n; ++k) {
      // Ascending: start, ..., n - 1, 0, ..., start - 1.
      // Descending: start - 1, ..., 0, n - 1, ..., start.
      const std::size_t i = ascending ? (start + k) % n : (start + n - 1 - k) % n;
      if (std::invoke(condition, cells_[i])) return viewCoordinateForStorageIndex(i);
    }
    return std::nullopt;
  }
  [[nodiscard]] std::optional<MatrixCoordinate> randomNonEmptyCoordinate() const {
    return randomCoordinateWithCondition([](const Cell& cell) { return cell.has_value(); });
  }
  [[nodiscard]] std::optional<MatrixCoordinate> randomEmptyCoordinate() const {
    return randomCoordinateWithCondition([](const Cell& cell) { return !cell.has_value(); });
  }

  // The view coordinate of the first cell, in storage order, that passes
  // `testCondition`. With a step s > 1 the storage indices are tested as
  // 0, s, 2s, ..., then 1, 1 + s, ..., and so on up to offset s - 1 (step 2:
  // all even indices before the odd ones). Step 0 tests nothing. Stops for a
  // negative step.
  template <std::predicate<const Cell&> F>
  [[nodiscard]] std::optional<MatrixCoordinate> firstCoordinateWithCondition(std::int64_t checkeredStep,
                                                                            F&& testCondition) const {
    if (checkeredStep < 0) matrix_internal::negativeCheckeredStep(checkeredStep);
    const std::size_t n = cells_.size();
    const std::size_t step = static_cast<std::size_t>(checkeredStep);
    for (std::size_t offset = 0; offset < step && offset < n; ++offset) {
      for (std::size_t i = offset; i < n; i += step) {
        if (std::invoke(testCondition, cells_[i])) return viewCoordinateForStorageIndex(i);
        if (n - i <= step) break;  // the next index would pass the end (or overflow)
      }
    }
    return std::nullopt;
  }
  template <std::predicate<const Cell&> F>
  [[nodiscard]] std::optional<MatrixCoordinate> firstCoordinateWithCondition(F&& testCondition) const {
    return firstCoordinateWithCondition(1, std::forward<F>(testCondition));
  }

  // ---- Bulk changes -----------------------------------------------------------------

  // Prints "<this> fillWithMatrix <source>", then for each view cell (x, y)
  // of this matrix, rows outer: takes the source's cell (x, y) when the
  // source's view holds it, else empties the cell when `nilOutRest`.
  void fillWithMatrix(const Matrix& source, bool nilOutRest = false) {
    matrix_internal::printFillWithMatrix(size_, source.size_);
    for (std::int64_t y = 0; y < size_.height(); ++y) {
      for (std::int64_t x = 0; x < size_.width(); ++x) {
        const MatrixCoordinate c(x, y);
        if (source.containsCoordinate(c)) {
          set(c, source[c]);
        } else if (nilOutRest) {
          set(c, std::nullopt);
        }
      }
    }
  }

  // Prints "filling matrix(<size>) with <percent> ", then for each view
  // cell, rows outer: a draw of 100000 below percent * 1000 (truncated) fills
  // the cell from `elementProvider`, else empties it; then prints
  // "fillcount = <n> == <fraction>". Stops for a percentage below 5.0.
  template <std::invocable F>
  void fillWithPercent(double percent, F&& elementProvider) {
    const std::uint32_t threshold = matrix_internal::startFillWithPercent(size_, percent);
    for (std::int64_t y = 0; y < size_.height(); ++y) {
      for (std::int64_t x = 0; x < size_.width(); ++x) {
        const MatrixCoordinate c(x, y);
        if (UInt32::random(100000) < threshold) {
          set(c, Cell(std::invoke(elementProvider)));
        } else {
          set(c, std::nullopt);
        }
      }
    }
    matrix_internal::printFillCount(fillCount_, cells_.size());
  }

  // Every cell empty; size and view stay.
  void clear() {
    std::fill(cells_.begin(), cells_.end(), Cell());
    fillCount_ = 0;
  }

  // View cell i (row by row) gets pattern[i % pattern.size()]. Stops for an
  // empty pattern when the matrix has cells.
  void fillWithPattern(const std::vector<T>& pattern) {
    if (cells_.empty()) return;
    if (pattern.empty()) matrix_internal::emptyPattern(size_);
    const std::size_t n = cells_.size();
    const std::int64_t width = size_.width();
    for (std::size_t i = 0; i < n; ++i) {
      const std::int64_t index = static_cast<std::int64_t>(i);
      set(MatrixCoordinate(index % width, index / width), T(pattern[i % pattern.size()]));
    }
  }

  // ---- Drawing ---------------------------------------------------------------------
  // Raster drawing in view coordinates, written through `set`, so the bounds
  // rule and fillCount hold for every cell touched; each cell gets its own
  // copy of the element. A rectangle without cells (an end below its start)
  // and a length below 1 write nothing.

  // Every cell of the rectangle, rows outer.
  void fill(const MatrixRect& rect, const T& element) {
    if (rect.startColumn > rect.endColumn || rect.startRow > rect.endRow) return;
    for (std::int64_t y = rect.startRow;; ++y) {
      for (std::int64_t x = rect.startColumn;; ++x) {
        set(MatrixCoordinate(x, y), Cell(element));
        if (x == rect.endColumn) break;  // the end may be INT64_MAX
      }
      if (y == rect.endRow) break;
    }
  }

  // The outline: the top row (startRow), then for each row between the
  // first and last the left and right cell, then the bottom row (endRow).
  // One or two rows high: the top and bottom rows only (once for one row).
  void draw(const MatrixRect& rect, const T& element) {
    if (rect.startColumn > rect.endColumn || rect.startRow > rect.endRow) return;
    drawRow(rect.startColumn, rect.endColumn, rect.startRow, element);
    if (rect.startRow == rect.endRow) return;
    for (std::int64_t y = rect.startRow + 1; y < rect.endRow; ++y) {
      set(MatrixCoordinate(rect.startColumn, y), Cell(element));
      set(MatrixCoordinate(rect.endColumn, y), Cell(element));
    }
    drawRow(rect.startColumn, rect.endColumn, rect.endRow, element);
  }

  // `length` cells from `origin` to the right.
  void drawLineHorizontal(const MatrixCoordinate& origin, std::int64_t length, const T& element) {
    for (std::int64_t i = 0; i < length; ++i) set(origin.coordinateMovedByTo(i, 0), Cell(element));
  }

  // The sequence's elements into consecutive cells from `origin` to the
  // right, until the sequence or the view's row ends; no element beyond the
  // edge is taken from the sequence. An empty sequence writes nothing, even
  // at an origin outside the view.
  template <std::ranges::input_range R>
    requires std::convertible_to<std::ranges::range_reference_t<R>, T>
  void drawLineHorizontal2(const MatrixCoordinate& origin, R&& elements) {
    auto it = std::ranges::begin(elements);
    const auto last = std::ranges::end(elements);
    if (it == last) return;
    MatrixCoordinate c = origin;
    while (true) {
      set(c, Cell(T(*it)));
      ++c.x;  // set stopped unless c.x < width, so this cannot overflow
      if (!containsCoordinate(c)) return;
      if (++it == last) return;
    }
  }

  // The pixels `drawLineHorizontal` would write, in order; the matrix is
  // not changed and its bounds are not consulted. Empty for a length below 1.
  [[nodiscard]] std::vector<MatrixPixel<T>> matrixPixels_drawLineHorizontal(const MatrixCoordinate& origin,
                                                                           std::int64_t length,
                                                                           const T& element) const {
    std::vector<MatrixPixel<T>> pixels;
    if (length < 1) return pixels;
    (void)checkedAdd(origin.x, length - 1);  // the last x must exist before anything is built
    pixels.reserve(static_cast<std::size_t>(length));
    for (std::int64_t i = 0; i < length; ++i) pixels.emplace_back(MatrixCoordinate(origin.x + i, origin.y), element);
    return pixels;
  }

  // ---- Iteration -------------------------------------------------------------------
  // Iterators read the matrix they came from: none is made from a temporary.
  [[nodiscard]] CellIterator makeIterator() const& { return CellIterator(cells_); }
  CellIterator makeIterator() const&& = delete;
  [[nodiscard]] const_iterator begin() const& { return const_iterator(this, 0); }
  const_iterator begin() const&& = delete;
  [[nodiscard]] const_iterator end() const& {
    return const_iterator(this, static_cast<std::ptrdiff_t>(cells_.size()));
  }
  const_iterator end() const&& = delete;
  [[nodiscard]] const_iterator cbegin() const& { return begin(); }
  [[nodiscard]] const_iterator cend() const& { return end(); }
  [[nodiscard]] ViewCells viewCells() const& { return ViewCells(*this); }
  ViewCells viewCells() const&& = delete;
  [[nodiscard]] SetCoordinateIterator makeSetCoordinateIterator() const& {
    return SetCoordinateIterator(*this);
  }
  SetCoordinateIterator makeSetCoordinateIterator() const&& = delete;

  // ---- Text ------------------------------------------------------------------------
  // "Matrix(W,H)" of the view.
  [[nodiscard]] std::string description() const { return matrix_internal::description(size_); }
  // "Matrix(W,H): (", a header of column digits, one line per view row with
  // "X" for a filled cell and "_" for an empty one, then ")"; each line ends
  // with a line feed.
  [[nodiscard]] std::string debugDescription() const {
    std::vector<bool> filled;
    filled.reserve(cells_.size());
    for (std::int64_t y = 0; y < size_.height(); ++y) {
      for (std::int64_t x = 0; x < size_.width(); ++x) {
        filled.push_back((*this)[MatrixCoordinate(x, y)].has_value());
      }
    }
    return matrix_internal::debugDescription(size_, filled);
  }

  // Checks the view against the storage: every stored cell, mapped to the
  // view and back, must return to itself and read the same through the
  // coordinate subscript. A cell that reads differently prints
  // "self.debugDescription = ..." first. True when every cell passes.
  [[nodiscard]] bool testTranformationCalculation() const
    requires std::equality_comparable<T>
  {
    const std::int64_t w0 = originalSize_.width();
    for (std::size_t i = 0; i < cells_.size(); ++i) {
      const std::int64_t index = static_cast<std::int64_t>(i);
      const MatrixCoordinate stored(index % w0, index / w0);
      const MatrixCoordinate view = stored.transformed(transform_);
      if (view.transformed(inverse_) != stored) return false;
      if (!containsCoordinate(view) || (*this)[view] != cells_[i]) {
        matrix_internal::printSelfCheckFailure(debugDescription());
        return false;
      }
    }
    return true;
  }

 private:
  template <class M, class Order>
  friend class matrix_internal::CellOrderIterator;
  struct StorageOrder {
    static std::size_t storageIndex(const Matrix&, std::size_t position) { return position; }
  };
  struct ViewOrder {
    static std::size_t storageIndex(const Matrix& m, std::size_t position) {
      const auto width = static_cast<std::uint64_t>(m.size_.width());
      const std::uint64_t x = position % width;
      const std::uint64_t y = position / width;
      return static_cast<std::size_t>(m.base_ + x * m.stepX_ + y * m.stepY_);
    }
  };

  void drawRow(std::int64_t x0, std::int64_t x1, std::int64_t y, const T& element) {
    for (std::int64_t x = x0;; ++x) {
      set(MatrixCoordinate(x, y), Cell(element));
      if (x == x1) break;
    }
  }

  static const Cell& emptyCell() {
    static const NoDestructor<Cell> kEmpty;  // read by any thread, also during exit
    return *kEmpty;
  }

  std::size_t storageIndex(const MatrixCoordinate& coordinate) const {
    if (!containsCoordinate(coordinate)) matrix_internal::coordinateOutOfBounds(coordinate, size_);
    const std::uint64_t index = base_ + static_cast<std::uint64_t>(coordinate.x) * stepX_ +
                                static_cast<std::uint64_t>(coordinate.y) * stepY_;
    // The transformation was checked when set; this keeps a write inside the
    // storage whatever happens.
    if (index >= cells_.size()) matrix_internal::storageIndexOutOfBounds(index, cells_.size());
    return static_cast<std::size_t>(index);
  }

  // A view row runs down a storage column (a quarter turn), so one of the
  // two buffers is walked with a stride of a whole row, and rows a power of
  // two apart share a cache set. The walk moves tiles of kTileX view columns
  // by kTileY view rows through a small buffer: each storage row of a tile
  // is read as one run of kTileY cells and each view row written as one run
  // of kTileX cells. Tiles go down a band kTileX columns wide, which keeps
  // the storage rows (and pages) in use few. (Measured on 4096 x 4096: 32 by
  // 64 reads at about 0.4 of memcpy's bandwidth; 8 by 8 at 0.2.)
  void copyTurnedInViewOrder(Cell* target, std::size_t width, std::size_t height) const {
    if constexpr (std::is_trivially_copyable_v<Cell> && sizeof(Cell) == 8) {
      if (stepY_ == 1 || stepY_ == ~std::uint64_t{0}) {
        copyTurnedWords(target, width, height);
        return;
      }
    }
    constexpr std::size_t kTileX = 32;
    constexpr std::size_t kTileY = 64;
    // The buffer lives on the stack: only small, trivially copied cells use it.
    constexpr bool kBuffered = std::is_trivially_copyable_v<Cell> && sizeof(Cell) <= 16;
    const Cell* cells = cells_.data();
    const auto source = [&](std::size_t x, std::size_t y) -> const Cell& {
      return cells[static_cast<std::size_t>(base_ + x * stepX_ + y * stepY_)];
    };
    for (std::size_t band = 0; band < width; band += kTileX) {
      const std::size_t x1 = std::min(width, band + kTileX);
      for (std::size_t y0 = 0; y0 < height; y0 += kTileY) {
        const std::size_t y1 = std::min(height, y0 + kTileY);
        if constexpr (kBuffered) {
          if (y1 - y0 == kTileY && x1 - band == kTileX) {
            Cell tile[kTileY][kTileX];
            for (std::size_t i = 0; i < kTileX; ++i) {
              for (std::size_t j = 0; j < kTileY; ++j) tile[j][i] = source(band + i, y0 + j);
            }
            for (std::size_t j = 0; j < kTileY; ++j) {
              std::copy(tile[j], tile[j] + kTileX, target + (y0 + j) * width + band);
            }
            continue;
          }
        }
        for (std::size_t i = band; i < x1; ++i) {
          for (std::size_t j = y0; j < y1; ++j) target[j * width + i] = source(i, j);
        }
      }
    }
  }

  // Quarter turns of 8-byte cells, copied as words. A view row runs down a
  // storage column (stepY is +-1), so an 8 x 8 block of the view reads 8
  // storage rows of one cache line each and writes 8 view rows of one line
  // each: every line moved is used whole. Blocks go down bands of 16 view
  // columns, so the 16 storage rows of a band are read front to back (the
  // prefetcher follows them) and few pages are in use at once. A large copy
  // into rows that all start at the same offset in a cache line writes
  // whole lines with streaming stores, which skip reading the target first;
  // the columns before the first whole line and after the last are copied
  // cell by cell. (Measured on 4096 x 4096: 0.7 of memcpy's bandwidth, from
  // 0.2 for the blocked walk through a buffer.)
  void copyTurnedWords(Cell* target, std::size_t width, std::size_t height) const {
    constexpr std::size_t kMicro = 8;
    constexpr std::size_t kBand = 16;
    constexpr std::size_t kStreamBytes = std::size_t{8} << 20;  // beyond the caches anyway
    const Cell* cells = cells_.data();
    const std::ptrdiff_t dy = stepY_ == 1 ? 1 : -1;
    const auto source = [&](std::size_t x, std::size_t y) {
      return cells + static_cast<std::size_t>(base_ + x * stepX_ + y * stepY_);
    };
    const auto copyCells = [&](std::size_t x0, std::size_t x1, std::size_t y0, std::size_t y1) {
      for (std::size_t y = y0; y < y1; ++y) {
        for (std::size_t x = x0; x < x1; ++x) std::memcpy(target + y * width + x, source(x, y), sizeof(Cell));
      }
    };
    const std::uintptr_t address = reinterpret_cast<std::uintptr_t>(target);
    bool stream = false;
    std::size_t lead = 0;
#if defined(__SSE2__)
    stream = cells_.size() * sizeof(Cell) >= kStreamBytes && width % kMicro == 0 && address % 16 == 0;
    if (stream) lead = std::min(width, (64 - address % 64) % 64 / sizeof(Cell));
#endif
    const std::size_t full = lead + (width - lead) / kMicro * kMicro;
    const std::size_t fullHeight = height / kMicro * kMicro;
    for (std::size_t band = lead; band < full; band += kBand) {
      const std::size_t band1 = std::min(full, band + kBand);
      for (std::size_t y = 0; y < fullHeight; y += kMicro) {
        for (std::size_t x = band; x < band1; x += kMicro) {
          const Cell* column[kMicro];
          for (std::size_t i = 0; i < kMicro; ++i) column[i] = source(x + i, y);
#if defined(__SSE2__)
          if (stream) {
            // Two rows at a time: two cells down each of two storage rows,
            // exchanged across (a 2 x 2 transpose), stored as 16 bytes.
            for (std::size_t j = 0; j < kMicro; j += 2) {
              auto* row0 = reinterpret_cast<__m128i*>(target + (y + j) * width + x);
              auto* row1 = reinterpret_cast<__m128i*>(target + (y + j + 1) * width + x);
              const std::ptrdiff_t offset = dy > 0 ? static_cast<std::ptrdiff_t>(j) : -static_cast<std::ptrdiff_t>(j) - 1;
              for (std::size_t i = 0; i < kMicro; i += 2) {
                const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(column[i] + offset));
                const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(column[i + 1] + offset));
                const __m128i low = _mm_unpacklo_epi64(a, b);
                const __m128i high = _mm_unpackhi_epi64(a, b);
                _mm_stream_si128(row0 + i / 2, dy > 0 ? low : high);
                _mm_stream_si128(row1 + i / 2, dy > 0 ? high : low);
              }
            }
            continue;
          }
#endif
          for (std::size_t j = 0; j < kMicro; ++j) {
            Cell* row = target + (y + j) * width + x;
            const std::ptrdiff_t offset = static_cast<std::ptrdiff_t>(j) * dy;
            for (std::size_t i = 0; i < kMicro; ++i) std::memcpy(row + i, column[i] + offset, sizeof(Cell));
          }
        }
      }
    }
#if defined(__SSE2__)
    if (stream) _mm_sfence();  // the streamed lines before anything the caller reads
#endif
    copyCells(0, lead, 0, height);
    copyCells(full, width, 0, height);
    copyCells(lead, full, fullHeight, height);
  }

  MatrixCoordinate viewCoordinateForStorageIndex(std::size_t i) const {
    const std::int64_t index = static_cast<std::int64_t>(i);
    const std::int64_t w0 = originalSize_.width();
    const std::int64_t xs = index % w0;
    const std::int64_t ys = index / w0;
    const TransformationMatrix& t = transform_;
    return MatrixCoordinate(matrix_internal::wrappingAffine(t.a, xs, t.c, ys, t.tx),
                            matrix_internal::wrappingAffine(t.b, xs, t.d, ys, t.ty));
  }

  std::vector<Cell> cells_;
  std::int64_t fillCount_;
  MatrixSize originalSize_;
  TransformationMatrix transform_ = TransformationMatrix::identity();
  TransformationMatrix inverse_ = TransformationMatrix::identity();
  MatrixSize size_;
  // Storage index of view cell (x, y): base_ + x * stepX_ + y * stepY_ (mod 2^64).
  std::uint64_t base_ = 0;
  std::uint64_t stepX_ = 1;
  std::uint64_t stepY_ = 0;
};

}  // namespace vantrel

// What the view shows: its size, then each cell in view order (an empty
// cell and each element's `ElementHash` folded in turn).
template <class T>
  requires requires(const T& value) {
    { vantrel::ElementHash<T>{}(value) } -> std::convertible_to<std::size_t>;
    std::hash<T>{};
  }
struct std::hash<vantrel::Matrix<T>> {
  std::size_t operator()(const vantrel::Matrix<T>& m) const {
    const vantrel::ElementHash<T> elementHash;
    std::size_t h = static_cast<std::size_t>(vantrel::hashMix(static_cast<std::uint64_t>(m.size().width())));
    h = vantrel::hashCombine(h, static_cast<std::uint64_t>(m.size().height()));
    for (const std::optional<T>& cell : m.viewCells()) {
      // An empty cell and an element hash apart: the flag goes in first.
      h = vantrel::hashCombine(h, cell.has_value() ? 1 : 0);
      if (cell.has_value()) h = vantrel::hashCombine(h, elementHash(*cell));
    }
    return h;
  }
};
