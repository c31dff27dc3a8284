// File: vantrel/platform/graphics/bitmap_image.h
//
// `BitmapImage`: an immutable raster image of 8-bit RGBA pixels, the kit's
// stand-in for a platform bitmap image. Rows run from the top; each row holds
// `width` pixels of 4 bytes (red, green, blue, alpha) followed by any padding
// up to `bytesPerRow`. Colours are premultiplied by alpha: a pixel with alpha
// 0 has 0 in its colour bytes, an opaque pixel carries its colour unchanged.
//
//   auto image = BitmapImage::create(2, 1, 8, {255, 0, 0, 255,  0, 0, 0, 0});
//   image->pixelAt(0, 0)        // {255, 0, 0, 255}: opaque red, top-left
//   image->bytesPerRow()        // 8
//
// Images are shared through `BitmapImage::Ptr` (`shared_ptr<const ...>`) and,
// being immutable, may be read from any thread. Sizes are at least one pixel
// each way: a smaller size, a row shorter than 4 * width or a buffer shorter
// than bytesPerRow * height stops the program (`fatal`) with the numbers.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

class BitmapImage {
 public:
  using Ptr = std::shared_ptr<const BitmapImage>;

  // Takes the bytes as given (premultiplied RGBA, top row first).
  [[nodiscard]] static Ptr create(std::int64_t width, std::int64_t height, std::int64_t bytesPerRow,
                                  std::vector<std::uint8_t> bytes);
  // A fully transparent image, rows packed (bytesPerRow = 4 * width).
  [[nodiscard]] static Ptr transparent(std::int64_t width, std::int64_t height);

  BitmapImage(const BitmapImage&) = delete;
  BitmapImage& operator=(const BitmapImage&) = delete;

  [[nodiscard]] std::int64_t width() const { return width_; }
  [[nodiscard]] std::int64_t height() const { return height_; }
  [[nodiscard]] std::int64_t bytesPerRow() const { return bytesPerRow_; }
  [[nodiscard]] std::span<const std::uint8_t> bytes() const { return bytes_; }
  // The 4 * width pixel bytes of row `y` (0 is the top row), padding excluded.
  [[nodiscard]] std::span<const std::uint8_t> row(std::int64_t y) const;
  // The premultiplied {r, g, b, a} of the pixel in column x of row y (from
  // the top). Stops outside the image.
  [[nodiscard]] std::array<std::uint8_t, 4> pixelAt(std::int64_t x, std::int64_t y) const;

  // Takes `bytes` (bytesPerRow * height of them, checked like `create`)
  // without copying them; `owner` keeps them alive and unchanged for as long
  // as the image lives. For code that hands over pixels it made itself (a
  // drawing context at the end of its use).
  [[nodiscard]] static Ptr adopt(std::int64_t width, std::int64_t height, std::int64_t bytesPerRow,
                                 std::span<const std::uint8_t> bytes, std::shared_ptr<const void> owner);

 private:
  BitmapImage(std::int64_t width, std::int64_t height, std::int64_t bytesPerRow,
              std::vector<std::uint8_t> bytes)
      : width_(width), height_(height), bytesPerRow_(bytesPerRow), storage_(std::move(bytes)), bytes_(storage_) {}
  BitmapImage(std::int64_t width, std::int64_t height, std::int64_t bytesPerRow, std::span<const std::uint8_t> bytes,
              std::shared_ptr<const void> owner)
      : width_(width), height_(height), bytesPerRow_(bytesPerRow), owner_(std::move(owner)), bytes_(bytes) {}

  std::int64_t width_;
  std::int64_t height_;
  std::int64_t bytesPerRow_;
  std::vector<std::uint8_t> storage_;
  std::shared_ptr<const void> owner_;
  std::span<const std::uint8_t> bytes_;  // into storage_, or memory owner_ keeps
};

}  // namespace vantrel
