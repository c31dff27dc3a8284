#include "vantrel/matrix/tile_matrix_description.h"

#include <algorithm>
#include <cmath>
#include <string_view>

#include <fmt/format.h>

#include "vantrel/core/checked.h"
#include "vantrel/core/fatal.h"

namespace vantrel {

namespace {

bool positiveFinite(double value) { return std::isfinite(value) && value > 0; }

TileMatrixDescription fit(const Size& frame, const Size& tile, TileMatrixDescription::TilePlacement placement) {
  if (!positiveFinite(frame.width) || !positiveFinite(frame.height) || !positiveFinite(tile.width) ||
      !positiveFinite(tile.height)) {
    fatal("TileMatrixDescription: frame size " + frame.description() + " and tile size " +
          tile.description() + " must be positive and finite");
  }
  const double a = std::max(frame.width, tile.width);
  const double b = std::max(frame.height, tile.height);
  const std::int64_t columns = checkedInt64(std::floor(a / tile.width));
  const std::int64_t rows = checkedInt64(std::floor(b / tile.height));
  const double spareWidth = a - static_cast<double>(columns) * tile.width;
  const double spareHeight = b - static_cast<double>(rows) * tile.height;
  Point origin;
  Size tileSize = tile;
  using P = TileMatrixDescription::TilePlacement;
  switch (placement) {
    case P::enlargeTiles:
      tileSize = Size(tile.width + spareWidth / static_cast<double>(columns),
                      tile.height + spareHeight / static_cast<double>(rows));
      break;
    case P::centered: origin = Point(spareWidth / 2, spareHeight / 2); break;
    case P::topLeft: origin = Point(0, spareHeight); break;
    case P::bottomLeft: break;
    case P::bottomRight: origin = Point(spareWidth, 0); break;
    case P::topRight: origin = Point(spareWidth, spareHeight); break;
  }
  return TileMatrixDescription(MatrixSize(columns, rows), origin, tileSize);
}

void requireMatrixBound(const MatrixSize& bound, std::string_view label) {
  if (bound.width() < 1 || bound.height() < 1) {
    fatal(fmt::format("TileMatrixDescription: {} {} needs at least 1 column and 1 row", label,
                      bound.description()));
  }
}

}  // namespace

TileMatrixDescription TileMatrixDescription::from(const Size& frameSize, const Size& tileSize,
                                                  TilePlacement tilePlacement) {
  return fit(frameSize, tileSize, tilePlacement);
}

TileMatrixDescription TileMatrixDescription::fromMaxMatrixSize(const Size& frameSize,
                                                               const MatrixSize& maxMatrixSize,
                                                               const Size& optimalTileSize,
                                                               TilePlacement tilePlacement) {
  requireMatrixBound(maxMatrixSize, "maxMatrixSize");
  TileMatrixDescription first = fit(frameSize, optimalTileSize, tilePlacement);
  if (first.matrixSize.width() <= maxMatrixSize.width() && first.matrixSize.height() <= maxMatrixSize.height()) {
    return first;
  }
  const double side = std::max(frameSize.width / static_cast<double>(maxMatrixSize.width()),
                               frameSize.height / static_cast<double>(maxMatrixSize.height()));
  return fit(frameSize, Size(side), tilePlacement);
}

TileMatrixDescription TileMatrixDescription::fromMinMatrixSize(const Size& frameSize,
                                                               const MatrixSize& minMatrixSize,
                                                               const Size& optimalTileSize,
                                                               TilePlacement tilePlacement) {
  requireMatrixBound(minMatrixSize, "minMatrixSize");
  TileMatrixDescription first = fit(frameSize, optimalTileSize, tilePlacement);
  if (first.matrixSize.width() >= minMatrixSize.width() && first.matrixSize.height() >= minMatrixSize.height()) {
    return first;
  }
  const double side = std::min(frameSize.width / static_cast<double>(minMatrixSize.width()),
                               frameSize.height / static_cast<double>(minMatrixSize.height()));
  return fit(frameSize, Size(side), tilePlacement);
}

Rect TileMatrixDescription::rect(const MatrixCoordinate& coordinate) const {
  const std::int64_t rowsBelow = checkedSub(checkedSub(matrixSize.height(), 1), coordinate.y);
  return Rect(std::floor(origin.x + static_cast<double>(coordinate.x) * tileSize.width),
              std::floor(origin.y + static_cast<double>(rowsBelow) * tileSize.height), std::ceil(tileSize.width),
              std::ceil(tileSize.height));
}

Rect TileMatrixDescription::rect(const MatrixRect& matrixRect) const {
  const std::int64_t rowsBelow =
      checkedSub(checkedSub(matrixSize.height(), matrixRect.startRow), matrixRect.height());
  return Rect(std::floor(origin.x + static_cast<double>(matrixRect.startColumn) * tileSize.width),
              std::floor(origin.y + static_cast<double>(rowsBelow) * tileSize.height),
              std::ceil(static_cast<double>(matrixRect.width()) * tileSize.width),
              std::ceil(static_cast<double>(matrixRect.height()) * tileSize.height));
}

TileMatrixDescription TileMatrixDescription::tileMatrixDescriptionQuaded() const {
  return TileMatrixDescription(matrixSize * 2, origin, Size(tileSize.width / 2, tileSize.height / 2));
}

std::string TileMatrixDescription::description() const {
  return fmt::format("TileMatrixDescription({} * {}, origin={}, tileSize={})", matrixSize.width(),
                     matrixSize.height(), origin.description(), tileSize.description());
}

}  // namespace vantrel
