#include "vantrel/drawing/bitmap_images.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstring>

#include <fmt/format.h>

#include "vantrel/core/checked.h"
#include "vantrel/core/console.h"
#include "vantrel/core/fatal.h"
#include "vantrel/core/random.h"
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

bool writeAll(int fd, std::span<const std::uint8_t> bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    bytes = bytes.subspan(static_cast<std::size_t>(written));
  }
  return true;
}

// A new file beside `to` under a hidden random name; -1 when none can be made.
int createTemporary(const std::filesystem::path& to, std::filesystem::path& temporary) {
  const std::filesystem::path folder = to.has_parent_path() ? to.parent_path() : std::filesystem::path(".");
  for (int attempt = 0; attempt < 16; ++attempt) {
    temporary = folder / fmt::format(".{}.{:08x}.tmp", to.filename().string(), randomUInt32());
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (fd >= 0) return fd;
    if (errno != EEXIST) return -1;
  }
  return -1;
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
  std::filesystem::path temporary;
  const int fd = createTemporary(to, temporary);
  if (fd < 0) return false;
  bool written = encodePng(self, pngTexts(author, title, description),
                           [fd](std::span<const std::uint8_t> bytes) { return writeAll(fd, bytes); });
  written = ::fsync(fd) == 0 && written;
  written = ::close(fd) == 0 && written;
  written = written && ::rename(temporary.c_str(), to.c_str()) == 0;
  if (!written) {
    ::unlink(temporary.c_str());
    consolePrint("Warning! Could not write image to \"" + to.string() + "\"");
  }
  return written;
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
