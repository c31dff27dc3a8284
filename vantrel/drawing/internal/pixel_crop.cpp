#include "vantrel/drawing/internal/pixel_crop.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace vantrel::drawing_internal {

BitmapImage::Ptr cropToPixels(const BitmapImage& image, Rect rect) {
  const double left = std::max(0.0, std::floor(rect.minX()));
  const double top = std::max(0.0, std::floor(rect.minY()));
  const double right = std::min(static_cast<double>(image.width()), std::ceil(rect.maxX()));
  const double bottom = std::min(static_cast<double>(image.height()), std::ceil(rect.maxY()));
  if (!std::isfinite(left) || !std::isfinite(top) || !(right > left) || !(bottom > top)) return nullptr;
  if (!(rect.width() > 0) || !(rect.height() > 0)) return nullptr;
  const auto x0 = static_cast<std::int64_t>(left);
  const auto y0 = static_cast<std::int64_t>(top);
  const auto width = static_cast<std::int64_t>(right) - x0;
  const auto height = static_cast<std::int64_t>(bottom) - y0;
  std::vector<std::uint8_t> bytes;
  bytes.reserve(static_cast<std::size_t>(width * height * 4));
  for (std::int64_t y = y0; y < y0 + height; ++y) {
    const auto row = image.row(y).subspan(static_cast<std::size_t>(x0 * 4), static_cast<std::size_t>(width * 4));
    bytes.insert(bytes.end(), row.begin(), row.end());
  }
  return BitmapImage::create(width, height, width * 4, std::move(bytes));
}

}  // namespace vantrel::drawing_internal
