#include "vantrel/matrix/matrix_coordinate.h"

#include <algorithm>
#include <array>
#include <cmath>

#include <fmt/format.h>

#include "vantrel/collections/numeric.h"
#include "vantrel/core/checked.h"
#include "vantrel/core/fatal.h"

namespace vantrel {
namespace {

// ceil(n / d) for d >= 1 as (n + d - 1) / d, the form every fitting
// operation shares (it truncates toward zero for negative counts).
std::int64_t roundedUpQuotient(std::int64_t n, std::int64_t d) {
  return checkedAdd(n, d - 1) / d;
}

void requirePositiveSide(std::int64_t side, const char* name, const char* operation,
                         SourceLocation loc = SourceLocation::current()) {
  if (side < 1) fatal(fmt::format("{}: {} {} must be at least 1", operation, name, side), loc);
}

}  // namespace

// ---- MatrixCoordinate -----------------------------------------------------------

std::int64_t MatrixCoordinate::position(const MatrixSize& matrixSize) const {
  return matrixSize.indexForCoordinate(*this);
}

void MatrixCoordinate::moveByTo(std::int64_t dx, std::int64_t dy) {
  // Both sums first, so a move that overflows stops before changing anything.
  const std::int64_t nx = checkedAdd(x, dx);
  const std::int64_t ny = checkedAdd(y, dy);
  x = nx;
  y = ny;
}

void MatrixCoordinate::moveByToX(std::int64_t newX, std::int64_t dy) {
  y = checkedAdd(y, dy);
  x = newX;
}

void MatrixCoordinate::moveByToY(std::int64_t dx, std::int64_t newY) {
  x = checkedAdd(x, dx);
  y = newY;
}

MatrixCoordinate MatrixCoordinate::coordinateMovedByTo(std::int64_t dx, std::int64_t dy) const {
  MatrixCoordinate moved = *this;
  moved.moveByTo(dx, dy);
  return moved;
}

MatrixCoordinate MatrixCoordinate::coordinateMovedByToX(std::int64_t newX, std::int64_t dy) const {
  MatrixCoordinate moved = *this;
  moved.moveByToX(newX, dy);
  return moved;
}

MatrixCoordinate MatrixCoordinate::coordinateMovedByToY(std::int64_t dx, std::int64_t newY) const {
  MatrixCoordinate moved = *this;
  moved.moveByToY(dx, newY);
  return moved;
}

std::optional<MatrixCoordinate> MatrixCoordinate::coordinateMovedBy(
    std::int64_t dx, std::int64_t dy, const std::optional<MatrixSize>& matrixSize,
    std::optional<std::int64_t> totalCount) const {
  // A move that cannot be represented leaves every matrix, so it is a miss
  // like any other, not a stop.
  const std::optional<std::int64_t> nx = overflowingAdd(x, dx);
  const std::optional<std::int64_t> ny = overflowingAdd(y, dy);
  if (!nx || !ny || *nx < 0 || *ny < 0) return std::nullopt;
  if (!matrixSize) return MatrixCoordinate(*nx, *ny);
  if (*nx >= matrixSize->width() || *ny >= matrixSize->height()) return std::nullopt;
  if (totalCount) {
    const std::optional<std::int64_t> rowStart = overflowingMul(matrixSize->width(), *ny);
    const std::optional<std::int64_t> index =
        rowStart ? overflowingAdd(*rowStart, *nx) : std::nullopt;
    if (!index || *index >= *totalCount) return std::nullopt;
  }
  return MatrixCoordinate(*nx, *ny);
}

std::optional<MatrixCoordinate> MatrixCoordinate::up(std::int64_t delta,
                                                     const std::optional<MatrixSize>& matrixSize) const {
  return coordinateMovedBy(0, delta, matrixSize);
}

std::optional<MatrixCoordinate> MatrixCoordinate::down(std::int64_t delta,
                                                       const std::optional<MatrixSize>& matrixSize) const {
  // -delta itself may overflow (delta = INT64_MIN): then no cell is reachable.
  const std::optional<std::int64_t> dy = overflowingSub<std::int64_t>(0, delta);
  if (!dy) return std::nullopt;
  return coordinateMovedBy(0, *dy, matrixSize);
}

std::optional<MatrixCoordinate> MatrixCoordinate::left(std::int64_t delta,
                                                       const std::optional<MatrixSize>& matrixSize) const {
  const std::optional<std::int64_t> dx = overflowingSub<std::int64_t>(0, delta);
  if (!dx) return std::nullopt;
  return coordinateMovedBy(*dx, 0, matrixSize);
}

std::optional<MatrixCoordinate> MatrixCoordinate::right(std::int64_t delta,
                                                        const std::optional<MatrixSize>& matrixSize) const {
  return coordinateMovedBy(delta, 0, matrixSize);
}

std::optional<MatrixCoordinate> MatrixCoordinate::coordinateTo(
    Direction direction, std::int64_t delta, const std::optional<MatrixSize>& matrixSize) const {
  switch (direction) {
    case Direction::up: return up(delta, matrixSize);
    case Direction::left: return left(delta, matrixSize);
    case Direction::down: return down(delta, matrixSize);
    case Direction::right: return right(delta, matrixSize);
  }
  fatal("coordinateTo: unknown direction");
}

std::string MatrixCoordinate::description() const {
  return fmt::format("MatrixCoordinate({}, {})", x, y);
}

MatrixCoordinate operator+(const MatrixCoordinate& lhs, const MatrixCoordinate& rhs) {
  return MatrixCoordinate(checkedAdd(lhs.x, rhs.x), checkedAdd(lhs.y, rhs.y));
}

// ---- MatrixSize ---------------------------------------------------------------------

MatrixSize MatrixSize::fromElementCount(std::int64_t width, std::int64_t elementCount) {
  requirePositiveSide(width, "width", "MatrixSize::fromElementCount");
  return MatrixSize(width, roundedUpQuotient(elementCount, width));
}

MatrixSize MatrixSize::from(std::int64_t elementCount, float ratio) {
  if (elementCount < 0) {
    fatal(fmt::format("MatrixSize.from: elementCount {} must not be negative", elementCount));
  }
  if (!(ratio > 0.0f) || std::isinf(ratio)) {
    fatal(fmt::format("MatrixSize.from: ratio {} must be positive and finite", ratio));
  }
  static constexpr std::array<std::pair<std::int64_t, std::int64_t>, 7> kSmall = {
      {{0, 0}, {1, 1}, {2, 1}, {2, 2}, {2, 2}, {3, 2}, {3, 2}}};
  if (elementCount < 7) return MatrixSize(kSmall[static_cast<std::size_t>(elementCount)]);

  // Single precision throughout, so the sizes chosen match the ratio search
  // exactly as the float arithmetic rounds it.
  const float hf = std::floor(std::sqrt(static_cast<float>(elementCount) / ratio));
  std::int64_t h = checkedIntegerFromDouble<std::int64_t>(hf);
  std::int64_t w = checkedIntegerFromDouble<std::int64_t>(std::floor(hf * ratio));
  while (checkedMul(w, h) < elementCount) {
    const float quotient = static_cast<float>(w) / static_cast<float>(h);
    // 0 / 0 is NaN, and NaN < ratio is false: the height grows first.
    if (quotient < ratio) {
      w = checkedAdd(w, 1);
    } else {
      h = checkedAdd(h, 1);
    }
  }
  return MatrixSize(w, h);
}

MatrixSize MatrixSize::matrixSizeForSquareMatrix(std::int64_t elementCount) {
  if (elementCount < 1) {
    fatal(fmt::format("matrixSizeForSquareMatrix: elementCount {} must be at least 1", elementCount));
  }
  // The exact ceiling of the square root: a double sqrt rounds for counts
  // above 2^52 and could give a side one too small.
  const std::int64_t width = squareMatrixSideLength(elementCount);
  return MatrixSize(width, (elementCount - 1) / width + 1);
}

std::int64_t MatrixSize::count() const { return checkedMul(width_, height_); }

MatrixSize MatrixSize::sizeInsetBy(std::int64_t dx, std::int64_t dy) const {
  return MatrixSize(checkedSub(width_, dx), checkedSub(height_, dy));
}

std::int64_t MatrixSize::indexForCoordinate(const MatrixCoordinate& coordinate) const {
  return checkedAdd(checkedMul(coordinate.y, width_), coordinate.x);
}

std::optional<std::int64_t> MatrixSize::indexForCoordinate(const MatrixCoordinate& coordinate,
                                                           std::int64_t totalCount) const {
  const std::optional<std::int64_t> rowStart = overflowingMul(coordinate.y, width_);
  const std::optional<std::int64_t> index = rowStart ? overflowingAdd(*rowStart, coordinate.x) : std::nullopt;
  if (!index || *index < 0 || *index >= totalCount) return std::nullopt;
  return index;
}

MatrixCoordinate MatrixSize::coordinateForIndex(std::int64_t index) const {
  requirePositiveSide(width_, "width", "coordinateForIndex");
  const std::int64_t x = index % width_;
  return MatrixCoordinate(x, (index - x) / width_);
}

MatrixCoordinate MatrixSize::coordinateForIndex_verticallyFlipped(std::int64_t index) const {
  requirePositiveSide(width_, "width", "coordinateForIndex_verticallyFlipped");
  const std::int64_t x = index % width_;
  return MatrixCoordinate(x, checkedSub(checkedSub(height_, 1), (index - x) / width_));
}

MatrixSize MatrixSize::matrixSizeByReducingHeightToFit(std::int64_t elementCount) const {
  requirePositiveSide(width_, "width", "matrixSizeByReducingHeightToFit");
  return MatrixSize(width_, roundedUpQuotient(elementCount, width_));
}

MatrixSize MatrixSize::matrixSizeByReducingWidthToFit(std::int64_t elementCount) const {
  requirePositiveSide(height_, "height", "matrixSizeByReducingWidthToFit");
  return MatrixSize(roundedUpQuotient(elementCount, height_), height_);
}

MatrixSize MatrixSize::matrixSizeToFitInto(const MatrixSize& maximumSize) const {
  const std::int64_t mw = maximumSize.width_;
  const std::int64_t mh = maximumSize.height_;
  const bool widthFits = width_ <= mw;
  const bool heightFits = height_ <= mh;
  if (widthFits && heightFits) return *this;
  if (!widthFits && !heightFits) return maximumSize;
  const std::int64_t cells = count();
  if (widthFits) {
    requirePositiveSide(mh, "maximum height", "matrixSizeToFitInto");
    return MatrixSize(std::min(mw, roundedUpQuotient(cells, mh)), mh);
  }
  requirePositiveSide(mw, "maximum width", "matrixSizeToFitInto");
  return MatrixSize(mw, std::min(mh, roundedUpQuotient(cells, mw)));
}

std::int64_t MatrixSize::countStrokedRect() const {
  requirePositiveSide(height_, "height", "countStrokedRect");
  if (height_ == 1) return width_;
  return checkedAdd(checkedMul(2, width_), checkedMul(2, height_ - 2));
}

MatrixCoordinate MatrixSize::coordinateForStrokedRectIndex(std::int64_t index) const {
  const std::int64_t steps = countStrokedRect();
  if (index < 0 || index >= steps) {
    fatal(fmt::format("Index {} in coordinateForStrokedRectIndex out of bounds.", index));
  }
  // Every bound below lies between 0 and `steps`, so nothing here overflows.
  const std::int64_t w = width_;
  const std::int64_t h = height_;
  if (index < w) return MatrixCoordinate(index, 0);
  if (index < w + h - 2) return MatrixCoordinate(w - 1, index - (w - 1));
  if (index < 2 * w + h - 2) return MatrixCoordinate(w - 1 - (index - (w + h - 2)), h - 1);
  return MatrixCoordinate(0, h - 1 - (index - (2 * w + h - 3)));
}

MatrixCoordinate MatrixSize::randomCoordinate() const {
  const std::int64_t x = Int::random(checkedSub(width_, 1));
  const std::int64_t y = Int::random(checkedSub(height_, 1));
  return MatrixCoordinate(x, y);
}

std::optional<MatrixCoordinate> MatrixSize::coordinateOfRandomlyPlaced(
    const MatrixSize& objectWithMatrixSize) const {
  const std::int64_t dx = checkedSub(width_, objectWithMatrixSize.width_);
  const std::int64_t dy = checkedSub(height_, objectWithMatrixSize.height_);
  // An object exactly as wide or as high as the matrix fits at 0 on that
  // axis; only a larger one has no place.
  if (dx < 0 || dy < 0) return std::nullopt;
  const std::int64_t x = Int::random(dx);
  const std::int64_t y = Int::random(dy);
  return MatrixCoordinate(x, y);
}

MatrixCoordinate MatrixSize::coordinateOfRandomlyPlacedOr00(const MatrixSize& objectWithMatrixSize) const {
  const std::int64_t dx = checkedSub(width_, objectWithMatrixSize.width_);
  const std::int64_t dy = checkedSub(height_, objectWithMatrixSize.height_);
  const std::int64_t x = dx > 0 ? Int::random(dx) : 0;
  const std::int64_t y = dy > 0 ? Int::random(dy) : 0;
  return MatrixCoordinate(x, y);
}

std::string MatrixSize::description() const {
  return fmt::format("MatrixSize({}, {})", width_, height_);
}

MatrixSize operator*(const MatrixSize& size, std::int64_t factor) {
  return MatrixSize(checkedMul(size.width(), factor), checkedMul(size.height(), factor));
}

}  // namespace vantrel
