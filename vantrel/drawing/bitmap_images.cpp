#include "vantrel/drawing/bitmap_images.h"

#include <cerrno>
#include <cmath>
#include <cstring>

#include <fmt/format.h>

#include "vantrel/core/checked.h"
#include "vantrel/core/console.h"
#include "vantrel/core/fatal.h"
#include "vantrel/platform/graphics/image_codecs.h"
#include "vantrel/platform/posix/replace_file.h"
#include "vantrel/platform/posix/write_all.h"

namespace vantrel {
namespace {

std::vector<PngTextEntry> pngTexts(const std::optional<std::string>& author, const std::optional<std::string>& title,
                                   const std::optional<std::string>& description) {
  std::vector<PngTextEntry> texts;
  if (author) texts.push_back({"Author", *author});
  if (title) texts.push_back({"Title", *title});
  if (description) texts.push_back({"Description", *description});
  return texts;
}

}  // namespace

IntSize size(const BitmapImage& self) { return IntSize(self.width(), self.height()); }

BitmapImage::Ptr extract(const BitmapImage& self, MatrixCoordinate at, Size size) {
  if (!(size.width > 0) || !(size.height > 0)) {
    fatal("extract: the tile size " + size.description() + " is not above zero");
  }
  const Rect tile(static_cast<double>(at.x) * size.width, static_cast<double>(at.y) * size.height, size.width,
                  size.height);
  const double left = std::max(0.0, std::floor(tile.minX()));
  const double top = std::max(0.0, std::floor(tile.minY()));
  const double right = std::min(static_cast<double>(self.width()), std::ceil(tile.maxX()));
  const double bottom = std::min(static_cast<double>(self.height()), std::ceil(tile.maxY()));
  if (!std::isfinite(left) || !std::isfinite(top) || !(right > left) || !(bottom > top)) {
    fatal("extract: the tile " + tile.description() + " lies outside the image of " +
          std::to_string(self.width()) + " x " + std::to_string(self.height()) + " pixels");
  }
  const auto x0 = static_cast<std::int64_t>(left);
  const auto y0 = static_cast<std::int64_t>(top);
  const auto width = static_cast<std::int64_t>(right) - x0;
  const auto height = static_cast<std::int64_t>(bottom) - y0;
  std::vector<std::uint8_t> bytes;
  bytes.reserve(static_cast<std::size_t>(width * height * 4));
  for (std::int64_t y = y0; y < y0 + height; ++y) {
    const auto row = self.row(y).subspan(static_cast<std::size_t>(x0 * 4), static_cast<std::size_t>(width * 4));
    bytes.insert(bytes.end(), row.begin(), row.end());
  }
  return BitmapImage::create(width, height, width * 4, std::move(bytes));
}

std::optional<std::vector<std::uint8_t>> vtPngImageData(const BitmapImage& self,
                                                       const std::optional<std::string>& author,
                                                       const std::optional<std::string>& title,
                                                       const std::optional<std::string>& description) {
  auto data = encodePng(self, pngTexts(author, title, description));
  if (!data) consolePrint("Warning! Could not CGImageDestinationFinalize()");
  return data;
}

bool writeAsPng(const BitmapImage& self, const std::filesystem::path& to, const std::optional<std::string>& author,
                const std::optional<std::string>& title, const std::optional<std::string>& description) {
  // A destination that cannot even be created (a missing folder) fails
  // silently; a failure while writing is reported.
  bool started = false;
  const std::error_code e = posix::replaceFileAtomicallyWith(to.string(), [&](int fd) {
    started = true;
    std::error_code writeError;
    const bool encoded = encodePng(self, pngTexts(author, title, description),
                                   [&](std::span<const std::uint8_t> bytes) {
                                     writeError = posix::writeAll(fd, bytes);
                                     return !writeError;
                                   });
    if (writeError) return writeError;
    return encoded ? std::error_code() : std::make_error_code(std::errc::io_error);
  });
  if (e && started) consolePrint("Warning! Could not write image to \"" + to.string() + "\"");
  return !e;
}

namespace CGImage {

BitmapImage::Ptr createImage(Size size, const std::function<void(DrawingContext&, Rect)>& byDrawing) {
  const std::int64_t bytesPerRow = checkedInt64(4.0 * size.width);
  const std::int64_t width = checkedInt64(size.width);
  const std::int64_t height = checkedInt64(size.height);
  auto context = DrawingContext::create(width, height);
  if (!context || bytesPerRow < width * 4) {
    fatal("Cannot create context! Try setting environment variable: CGBITMAP_CONTEXT_LOG_ERRORS=YES");
  }
  byDrawing(*context, Rect(Point(0, 0), size));
  return context->makeImage(bytesPerRow);
}

BitmapImage::Ptr fromRGBA32Bitmap(std::span<const Pixel> pixels, IntSize size) {
  const std::int64_t count = checkedMul(size.width(), size.height());
  if (static_cast<std::uint64_t>(count) != pixels.size() || size.width() < 0) {
    fatal(fmt::format("fromRGBA32Bitmap: {} pixels given for a size of {} x {}", pixels.size(), size.width(),
                      size.height()));
  }
  if (count == 0) fatal("Could not create CGImage");
  std::vector<std::uint8_t> bytes(pixels.size() * 4);
  std::memcpy(bytes.data(), pixels.data(), bytes.size());
  return BitmapImage::create(size.width(), size.height(), size.width() * 4, std::move(bytes));
}

}  // namespace CGImage

}  // namespace vantrel
