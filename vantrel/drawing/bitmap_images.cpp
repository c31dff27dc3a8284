#include "vantrel/drawing/bitmap_images.h"

#include <cerrno>
#include <cmath>
#include <cstring>

#include <fmt/format.h>

#include "vantrel/core/checked.h"
#include "vantrel/core/console.h"
#include "vantrel/core/fatal.h"
#include "vantrel/drawing/internal/image_file.h"
#include "vantrel/drawing/internal/pixel_crop.h"
#include "vantrel/platform/graphics/image_codecs.h"

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
  auto cropped = drawing_internal::cropToPixels(self, tile);
  if (!cropped) {
    fatal("extract: the tile " + tile.description() + " lies outside the image of " +
          std::to_string(self.width()) + " x " + std::to_string(self.height()) + " pixels");
  }
  return cropped;
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
  const auto outcome = drawing_internal::writeImageFile(to, [&](const auto& sink) {
    return encodePng(self, pngTexts(author, title, description), sink);
  });
  if (!outcome.written && outcome.started) consolePrint("Warning! Could not write image to \"" + to.string() + "\"");
  return outcome.written;
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
