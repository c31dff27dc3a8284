#include "vantrel/collections/int_grid.h"

#include <fmt/format.h>

#include "vantrel/core/checked.h"
#include "vantrel/core/fatal.h"

namespace vantrel {

IntCoordinate IntCoordinate::withOffset(std::int64_t dx, std::int64_t dy) const {
  return IntCoordinate(checkedAdd(x_, dx), checkedAdd(y_, dy));
}

IntCoordinate IntCoordinate::withOffset(std::int64_t dx, std::int64_t dy,
                                        std::int64_t wrapAroundWithColumnCount) const {
  std::int64_t nx = checkedAdd(x_, dx);
  std::int64_t ny = checkedAdd(y_, dy);
  if (nx < 0) return IntCoordinate(checkedSub(wrapAroundWithColumnCount, 1), checkedSub(ny, 1));
  if (nx >= wrapAroundWithColumnCount) return IntCoordinate(0, checkedAdd(ny, 1));
  return IntCoordinate(nx, ny);
}

IntSize IntSize::fromElementCount(std::int64_t width, std::int64_t elementCount) {
  if (width == 0) fatal("IntSize: width must not be 0");
  std::int64_t numerator = checkedSub(checkedAdd(elementCount, width), 1);
  if (numerator == INT64_MIN && width == -1) {
    fatal(fmt::format("Arithmetic overflow: {} / {}", numerator, width));
  }
  return IntSize(width, numerator / width);
}

std::int64_t IntSize::count() const { return checkedMul(width_, height_); }

std::int64_t IntSize::indexForCoordinate(IntCoordinate coordinate) const {
  return checkedAdd(checkedMul(coordinate.y(), width_), coordinate.x());
}

IntCoordinate IntSize::coordinateForIndex(std::int64_t index) const {
  if (width_ == 0) fatal("IntSize: width must not be 0");
  if (index == INT64_MIN && width_ == -1) {
    fatal(fmt::format("Arithmetic overflow: {} % {}", index, width_));
  }
  std::int64_t x = index % width_;
  // index - x is a multiple of width_, so the quotient is exact.
  return IntCoordinate(x, checkedSub(index, x) / width_);
}

std::optional<IntCoordinate> IntRectIterator::next() {
  if (row_ > endRow_) return std::nullopt;
  IntCoordinate current(column_, row_);
  column_ = checkedAdd(column_, 1);
  if (column_ > endColumn_) {
    column_ = startColumn_;
    row_ = checkedAdd(row_, 1);
  }
  return current;
}

std::int64_t IntRect::width() const { return checkedAdd(checkedSub(endColumn_, startColumn_), 1); }

std::int64_t IntRect::height() const { return checkedAdd(checkedSub(endRow_, startRow_), 1); }

std::string IntRect::description() const {
  return fmt::format("IntRect({} x {}: startColumn: {}, endColumn: {}, startRow: {}, endRow: {})",
                     width(), height(), startColumn_, endColumn_, startRow_, endRow_);
}

}  // namespace vantrel
