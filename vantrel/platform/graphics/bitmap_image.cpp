#include "vantrel/platform/graphics/bitmap_image.h"

#include <fmt/format.h>

#include "vantrel/core/checked.h"
#include "vantrel/core/fatal.h"

namespace vantrel {

BitmapImage::Ptr BitmapImage::create(std::int64_t width, std::int64_t height, std::int64_t bytesPerRow,
                                     std::vector<std::uint8_t> bytes) {
  if (width < 1 || height < 1) {
    fatal(fmt::format("BitmapImage: a size of {} x {} pixels holds no pixel", width, height));
  }
  const std::int64_t rowPixels = checkedMul(width, std::int64_t{4});
  if (bytesPerRow < rowPixels) {
    fatal(fmt::format("BitmapImage: {} bytes per row cannot hold {} pixels", bytesPerRow, width));
  }
  const std::int64_t needed = checkedMul(bytesPerRow, height);
  if (static_cast<std::uint64_t>(needed) > bytes.size()) {
    fatal(fmt::format("BitmapImage: {} bytes given where {} x {} rows need {}", bytes.size(), height,
                      bytesPerRow, needed));
  }
  bytes.resize(static_cast<std::size_t>(needed));
  return Ptr(new BitmapImage(width, height, bytesPerRow, std::move(bytes)));
}

BitmapImage::Ptr BitmapImage::adopt(std::int64_t width, std::int64_t height, std::int64_t bytesPerRow,
                                    std::span<const std::uint8_t> bytes, std::shared_ptr<const void> owner) {
  if (width < 1 || height < 1) {
    fatal(fmt::format("BitmapImage: a size of {} x {} pixels holds no pixel", width, height));
  }
  if (bytesPerRow < checkedMul(width, std::int64_t{4})) {
    fatal(fmt::format("BitmapImage: {} bytes per row cannot hold {} pixels", bytesPerRow, width));
  }
  const std::int64_t needed = checkedMul(bytesPerRow, height);
  if (static_cast<std::uint64_t>(needed) > bytes.size()) {
    fatal(fmt::format("BitmapImage: {} bytes given where {} x {} rows need {}", bytes.size(), height,
                      bytesPerRow, needed));
  }
  return Ptr(new BitmapImage(width, height, bytesPerRow, bytes.first(static_cast<std::size_t>(needed)),
                             std::move(owner)));
}

BitmapImage::Ptr BitmapImage::transparent(std::int64_t width, std::int64_t height) {
  if (width < 1 || height < 1) {
    fatal(fmt::format("BitmapImage: a size of {} x {} pixels holds no pixel", width, height));
  }
  const std::int64_t bytesPerRow = checkedMul(width, std::int64_t{4});
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(checkedMul(bytesPerRow, height)), 0);
  return create(width, height, bytesPerRow, std::move(bytes));
}

std::span<const std::uint8_t> BitmapImage::row(std::int64_t y) const {
  if (y < 0 || y >= height_) {
    fatal(fmt::format("BitmapImage: row {} outside 0..<{}", y, height_));
  }
  return std::span<const std::uint8_t>(bytes_).subspan(static_cast<std::size_t>(y * bytesPerRow_),
                                                       static_cast<std::size_t>(width_ * 4));
}

std::array<std::uint8_t, 4> BitmapImage::pixelAt(std::int64_t x, std::int64_t y) const {
  if (x < 0 || x >= width_ || y < 0 || y >= height_) {
    fatal(fmt::format("BitmapImage: pixel ({}, {}) outside the {} x {} image", x, y, width_, height_));
  }
  const std::size_t at = static_cast<std::size_t>(y * bytesPerRow_ + x * 4);
  return {bytes_[at], bytes_[at + 1], bytes_[at + 2], bytes_[at + 3]};
}

}  // namespace vantrel
