#include "vantrel/matrix/matrix_rect.h"

#include <algorithm>

#include <fmt/format.h>

#include "vantrel/collections/numeric.h"
#include "vantrel/core/checked.h"
#include "vantrel/core/fatal.h"

namespace vantrel {
namespace {

// The last cell of a run of `length` cells from `first`: first + length - 1.
std::int64_t lastOf(std::int64_t first, std::int64_t length) {
  return checkedAdd(first, checkedSub(length, 1));
}

// end - start + 1, the number of cells from start to end.
std::int64_t extent(std::int64_t start, std::int64_t end) {
  return checkedAdd(checkedSub(end, start), 1);
}

void requireFactorySize(const IntSize& size, const char* operation) {
  if (size.width() < 1 || size.height() < 1) {
    fatal(fmt::format("{}: size {} x {} needs both sides of at least 1", operation, size.width(),
                      size.height()));
  }
}

}  // namespace

std::optional<MatrixCoordinate> MatrixRectIterator::next() {
  if (ended_ || endColumn_ < startColumn_ || current_.y > endRow_) {
    ended_ = true;
    return std::nullopt;
  }
  const MatrixCoordinate cell = current_;
  if (current_.x >= endColumn_) {
    current_.x = startColumn_;
    // The last row of a rectangle ending at INT64_MAX has no row after it.
    if (current_.y == endRow_) {
      ended_ = true;
    } else {
      ++current_.y;
    }
  } else {
    ++current_.x;
  }
  return cell;
}

MatrixRect::MatrixRect(const MatrixCoordinate& origin, const MatrixSize& size)
    : MatrixRect(origin.x, lastOf(origin.x, size.width()), origin.y, lastOf(origin.y, size.height()),
                 size) {}

MatrixRect::MatrixRect(std::int64_t x, std::int64_t y, std::int64_t width, std::int64_t height)
    : MatrixRect(MatrixCoordinate(x, y), MatrixSize(width, height)) {}

MatrixRect MatrixRect::fromStartColumn(std::int64_t startColumn, std::int64_t endColumn,
                                       std::int64_t startRow, std::int64_t endRow) {
  return MatrixRect(startColumn, endColumn, startRow, endRow,
                    MatrixSize(extent(startColumn, endColumn), extent(startRow, endRow)));
}

void MatrixRect::recomputeSize() {
  size_ = MatrixSize(extent(startColumn, endColumn), extent(startRow, endRow));
}

void MatrixRect::moveBy(std::int64_t dx, std::int64_t dy) {
  // All four sums first: a move that overflows stops before changing anything.
  const std::int64_t sc = checkedAdd(startColumn, dx);
  const std::int64_t ec = checkedAdd(endColumn, dx);
  const std::int64_t sr = checkedAdd(startRow, dy);
  const std::int64_t er = checkedAdd(endRow, dy);
  startColumn = sc;
  endColumn = ec;
  startRow = sr;
  endRow = er;
}

MatrixRect MatrixRect::rectMovedBy(std::int64_t dx, std::int64_t dy) const {
  MatrixRect moved = *this;
  moved.moveBy(dx, dy);
  return moved;
}

void MatrixRect::formUnion(const MatrixRect& other) {
  MatrixRect joined = fromStartColumn(std::min(startColumn, other.startColumn),
                                      std::max(endColumn, other.endColumn),
                                      std::min(startRow, other.startRow), std::max(endRow, other.endRow));
  *this = joined;
}

void MatrixRect::insetBy(std::int64_t dx, std::int64_t dy) {
  *this = fromStartColumn(checkedAdd(startColumn, dx), checkedSub(endColumn, dx),
                          checkedAdd(startRow, dy), checkedSub(endRow, dy));
}

MatrixRect MatrixRect::rectInsetedBy(std::int64_t dx, std::int64_t dy) const {
  MatrixRect inset = *this;
  inset.insetBy(dx, dy);
  return inset;
}

std::string MatrixRect::description() const {
  return fmt::format("MatrixRect({} x {}: startColumn: {}, endColumn: {}, startRow: {}, endRow: {}))",
                     width(), height(), startColumn, endColumn, startRow, endRow);
}

// ---- Random rectangles of a size ---------------------------------------------------

MatrixRect MatrixSize::randomRect(const std::optional<MatrixSize>& minSize,
                                  const std::optional<MatrixSize>& maxSize) const {
  const MatrixSize low = minSize.value_or(MatrixSize(1, 1));
  const MatrixSize high = maxSize.value_or(*this);
  // Drawn in this order: width, height, x, y.
  const std::int64_t rw = Int::randomNumber(low.width(), high.width());
  const std::int64_t rh = Int::randomNumber(low.height(), high.height());
  const std::int64_t x = Int::randomNumber(0, checkedSub(width_, rw));
  const std::int64_t y = Int::randomNumber(0, checkedSub(height_, rh));
  return MatrixRect(MatrixCoordinate(x, y), MatrixSize(rw, rh));
}

MatrixRect MatrixSize::rectRandomlyPosition(const MatrixSize& objectSize) const {
  // An object as large as this size or larger on an axis sits at 0 there
  // (and may reach beyond the size).
  const std::int64_t x =
      objectSize.width() < width_ ? Int::randomNumber(0, width_ - objectSize.width()) : 0;
  const std::int64_t y =
      objectSize.height() < height_ ? Int::randomNumber(0, height_ - objectSize.height()) : 0;
  return MatrixRect(MatrixCoordinate(x, y), objectSize);
}

// ---- Coordinate factory --------------------------------------------------------------

std::vector<MatrixCoordinate> MatrixCoordinateFactory::rectFilled(const MatrixCoordinate& origin,
                                                                  const IntSize& size) const {
  requireFactorySize(size, "rectFilled");
  std::vector<MatrixCoordinate> cells;
  cells.reserve(static_cast<std::size_t>(size.count()));
  for (MatrixCoordinate cell : MatrixRect(origin, MatrixSize(size.width(), size.height()))) {
    cells.push_back(cell);
  }
  return cells;
}

std::vector<MatrixCoordinate> MatrixCoordinateFactory::rectStroked(const MatrixCoordinate& origin,
                                                                   const IntSize& size) const {
  requireFactorySize(size, "rectStroked");
  const std::int64_t w = size.width();
  const std::int64_t h = size.height();
  const std::int64_t lastX = lastOf(origin.x, w);
  const std::int64_t lastY = lastOf(origin.y, h);
  std::vector<MatrixCoordinate> cells;
  const auto row = [&](std::int64_t y) {
    for (std::int64_t i = 0; i < w; ++i) cells.emplace_back(origin.x + i, y);
  };
  row(origin.y);
  for (std::int64_t i = 1; i < h - 1; ++i) {
    cells.emplace_back(origin.x, origin.y + i);
    cells.emplace_back(lastX, origin.y + i);
  }
  if (h >= 2) row(lastY);
  return cells;
}

}  // namespace vantrel
