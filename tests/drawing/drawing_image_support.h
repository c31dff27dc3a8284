// Images for the image-operation tests: bitmaps painted by a function of
// the pixel position, images over them at a pixel density, and the bounds of
// a colour in a bitmap; and what the image writers leave on disk.
#pragma once

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "tests/graphics/image_test_support.h"
#include "tests/support/file_size_limit.h"
#include "vantrel/platform/graphics/image.h"

namespace vantrel::testing {

// w x h pixels, `paint(x, y)` with y from the top.
inline BitmapImage::Ptr painted(std::int64_t w, std::int64_t h, const std::function<Rgba(std::int64_t, std::int64_t)>& paint) {
  std::vector<std::uint8_t> bytes;
  bytes.reserve(static_cast<std::size_t>(w * h * 4));
  for (std::int64_t y = 0; y < h; ++y) {
    for (std::int64_t x = 0; x < w; ++x) {
      const Rgba p = paint(x, y);
      bytes.insert(bytes.end(), p.begin(), p.end());
    }
  }
  return BitmapImage::create(w, h, w * 4, std::move(bytes));
}

inline BitmapImage::Ptr solidBitmap(std::int64_t w, std::int64_t h, Rgba colour) {
  return painted(w, h, [&](std::int64_t, std::int64_t) { return colour; });
}

// An image of `points` whose one representation is `bitmap`.
inline Image::Ptr imageWith(BitmapImage::Ptr bitmap, Size points) {
  auto image = Image::create(points);
  image->addRepresentation(std::move(bitmap));
  return image;
}

// An image of w x h points at one pixel per point.
inline Image::Ptr imageWith(BitmapImage::Ptr bitmap) {
  const Size points(static_cast<double>(bitmap->width()), static_cast<double>(bitmap->height()));
  return imageWith(std::move(bitmap), points);
}

// The smallest rectangle, in y-up pixel coordinates, holding every pixel
// equal to `colour`; nullopt when there is none.
inline std::optional<Rect> boundsOf(const BitmapImage& image, Rgba colour) {
  std::int64_t minX = INT64_MAX, minRow = INT64_MAX, maxX = -1, maxRow = -1;
  for (std::int64_t y = 0; y < image.height(); ++y) {
    for (std::int64_t x = 0; x < image.width(); ++x) {
      if (image.pixelAt(x, y) != colour) continue;
      minX = std::min(minX, x);
      maxX = std::max(maxX, x);
      minRow = std::min(minRow, y);
      maxRow = std::max(maxRow, y);
    }
  }
  if (maxX < 0) return std::nullopt;
  return Rect(static_cast<double>(minX), static_cast<double>(image.height() - 1 - maxRow),
              static_cast<double>(maxX - minX + 1), static_cast<double>(maxRow - minRow + 1));
}

// The bytes of a file; empty when it cannot be read.
inline std::vector<std::uint8_t> readFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The names in a folder, sorted: a write that failed must leave no
// temporary file behind.
inline std::vector<std::string> folderEntries(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace vantrel::testing
