#include "vantrel/matrix/grid.h"

#include <cmath>

#include "vantrel/core/checked.h"
#include "vantrel/core/fatal.h"
#include "vantrel/core/number_text.h"

namespace vantrel {

namespace {

// tile + gap, which every tile index is a quotient of.
double period(double tileLength, double tileSpacing, const char* operation) {
  const double p = tileLength + tileSpacing;
  if (!(std::isfinite(p) && p > 0)) {
    fatal(std::string("Grid.") + operation + ": the period (tile " + significantTextPointZero(tileLength) +
          " + spacing " + significantTextPointZero(tileSpacing) + ") must be positive and finite");
  }
  return p;
}

GridHitArea hitTestWithPeriod(double value, double tileLength, double p) {
  const std::int64_t i = checkedInt64(std::floor(value / p));
  const double rest = value - p * static_cast<double>(i);
  return rest < tileLength ? GridHitArea::tile(i) : GridHitArea::spacing(i);
}

std::int64_t fitInto(double length, double tileLength, double tileSpacing, const char* operation) {
  if (length <= 0) return 0;
  const double p = period(tileLength, tileSpacing, operation);
  const std::int64_t n = checkedInt64(std::floor(length / p));
  const double rest = length - p * static_cast<double>(n);
  return rest >= tileLength ? checkedAdd(n, 1) : n;
}

// The first and last tile index a span touches along one direction, or
// nullopt when both ends lie in the same gap.
std::optional<std::pair<std::int64_t, std::int64_t>> touched(double start, double length, double tileLength,
                                                             double p) {
  const GridHitArea a = hitTestWithPeriod(start, tileLength, p);
  const GridHitArea b = hitTestWithPeriod(start + length, tileLength, p);
  const bool aInGap = a.kind() == GridHitArea::Kind::spacing;
  if (aInGap && b.kind() == GridHitArea::Kind::spacing && a.index() == b.index()) return std::nullopt;
  return std::make_pair(aInGap ? checkedAdd(a.index(), 1) : a.index(), b.index());
}

}  // namespace

Grid::Grid(const Size& innerTileSize, const Size& tileSpacing, const EdgeInsets& tilePadding,
           const Point& translation)
    : tileSize_(innerTileSize.width + tilePadding.right + tilePadding.left,
                innerTileSize.height + tilePadding.bottom + tilePadding.top),
      tileSpacing_(tileSpacing),
      tilePadding_(tilePadding),
      translation_(translation) {}

Rect Grid::rect(const MatrixSize& matrixSize) const {
  const double pw = tileSize_.width + tileSpacing_.width;
  const double ph = tileSize_.height + tileSpacing_.height;
  return Rect(translation_.x, translation_.y, static_cast<double>(matrixSize.width()) * pw - tileSpacing_.width,
              static_cast<double>(matrixSize.height()) * ph - tileSpacing_.height);
}

Rect Grid::rectForCoordinate(const MatrixCoordinate& coordinate) const {
  const double pw = tileSize_.width + tileSpacing_.width;
  const double ph = tileSize_.height + tileSpacing_.height;
  return Rect(static_cast<double>(coordinate.x) * pw + translation_.x,
              static_cast<double>(coordinate.y) * ph + translation_.y, tileSize_.width, tileSize_.height);
}

Rect Grid::innerRectForCoordinate(const MatrixCoordinate& coordinate) const {
  const double pw = tileSize_.width + tileSpacing_.width;
  const double ph = tileSize_.height + tileSpacing_.height;
  return Rect(static_cast<double>(coordinate.x) * pw + tilePadding_.left + translation_.x,
              static_cast<double>(coordinate.y) * ph + tilePadding_.top + translation_.y,
              tileSize_.width - (tilePadding_.left + tilePadding_.right),
              tileSize_.height - (tilePadding_.top + tilePadding_.bottom));
}

std::optional<MatrixCoordinate> Grid::coordinateForPoint(const Point& point) const {
  const double pw = period(tileSize_.width, tileSpacing_.width, "coordinateForPoint");
  const double ph = period(tileSize_.height, tileSpacing_.height, "coordinateForPoint");
  const double px = point.x - translation_.x;
  const double py = point.y - translation_.y;
  // Compared as doubles first: only a point on a tile becomes integers.
  const double cx = std::floor(px / pw);
  if (px >= cx * pw + tileSize_.width) return std::nullopt;
  const double cy = std::floor(py / ph);
  if (py >= cy * ph + tileSize_.height) return std::nullopt;
  return MatrixCoordinate(checkedInt64(cx), checkedInt64(cy));
}

GridHitArea Grid::hitTest(double value, double tileLength, double tileSpacing) {
  return hitTestWithPeriod(value, tileLength, period(tileLength, tileSpacing, "hitTest"));
}

std::optional<MatrixRect> Grid::extendOfRect(const Rect& rect) const {
  const double pw = period(tileSize_.width, tileSpacing_.width, "extendOfRect");
  const double ph = period(tileSize_.height, tileSpacing_.height, "extendOfRect");
  const auto columns = touched(rect.minX() - translation_.x, rect.width(), tileSize_.width, pw);
  if (!columns) return std::nullopt;
  const auto rows = touched(rect.minY() - translation_.y, rect.height(), tileSize_.height, ph);
  if (!rows) return std::nullopt;
  return MatrixRect::fromStartColumn(columns->first, columns->second, rows->first, rows->second);
}

std::int64_t Grid::numberOfColumnsThatFitIntoWidth(double width) const {
  return fitInto(width, tileSize_.width, tileSpacing_.width, "numberOfColumnsThatFitIntoWidth");
}

std::pair<std::int64_t, std::int64_t> Grid::numberOfRowsAndColumnsThatFitIntoSize(const Size& size) const {
  if (size.width <= 0 || size.height <= 0) return {0, 0};
  return {fitInto(size.width, tileSize_.width, tileSpacing_.width, "numberOfRowsAndColumnsThatFitIntoSize"),
          fitInto(size.height, tileSize_.height, tileSpacing_.height, "numberOfRowsAndColumnsThatFitIntoSize")};
}

std::string Grid::description() const {
  return "Grid(tileSize:" + tileSize_.description() + ", tileSpacing:" + tileSpacing_.description() +
         ", tilePadding:" + tilePadding_.description() + ")";
}

}  // namespace vantrel
