#include "vantrel/drawing/image_helper.h"

#include <cmath>
#include <string>

#include "vantrel/core/checked.h"
#include "vantrel/core/console.h"
#include "vantrel/core/fatal.h"
#include "vantrel/core/number_text.h"
#include "vantrel/drawing/image_drawing.h"
#include "vantrel/drawing/internal/image_file.h"
#include "vantrel/platform/graphics/animated_image_codecs.h"

namespace vantrel {
namespace ImageHelper {
namespace {

// The images in order, then with `bounce` (3 or more) back from the
// second-to-last to the second.
std::vector<BitmapImage::Ptr> animationFrames(const std::vector<BitmapImage::Ptr>& from, bool bounce) {
  std::vector<BitmapImage::Ptr> frames(from);
  if (bounce && from.size() >= 3) {
    for (std::size_t i = from.size() - 2; i >= 1; --i) frames.push_back(from[i]);
  }
  return frames;
}

using Encoder = bool (*)(std::span<const BitmapImage::Ptr>, double, const ByteSink&);

bool writeAnimation(Encoder encode, const char* failure, const std::vector<BitmapImage::Ptr>& from, double fps,
                    bool bounce, const std::filesystem::path& persistTo) {
  if (!(fps > 0) || !std::isfinite(fps)) {
    fatal("createAnimated: " + significantTextPointZero(fps) + " frames per second is not a positive finite rate");
  }
  const std::vector<BitmapImage::Ptr> frames = animationFrames(from, bounce);
  const auto outcome = drawing_internal::writeImageFile(
      persistTo, [&](const ByteSink& sink) { return encode(frames, fps, sink); });
  if (!outcome.written) consolePrint(failure);
  return outcome.written;
}

constexpr std::int64_t kMaxSide = 32767;  // the drawing context's limit

}  // namespace

bool createAnimatedPng(const std::vector<BitmapImage::Ptr>& from, double fps, bool bounce,
                       const std::filesystem::path& persistTo) {
  return writeAnimation(encodeAnimatedPng, "Error writing anim png.", from, fps, bounce, persistTo);
}

bool createAnimatedPng(const std::vector<BitmapImage::Ptr>& from, double fps, const std::filesystem::path& persistTo) {
  return createAnimatedPng(from, fps, false, persistTo);
}

bool createAnimatedGif(const std::vector<BitmapImage::Ptr>& from, double fps, bool bounce,
                       const std::filesystem::path& persistTo) {
  return writeAnimation(encodeAnimatedGif, "Error writing anim gif.", from, fps, bounce, persistTo);
}

bool createAnimatedGif(const std::vector<BitmapImage::Ptr>& from, double fps, const std::filesystem::path& persistTo) {
  return createAnimatedGif(from, fps, false, persistTo);
}

std::pair<BitmapImage::Ptr, MatrixSize> createSpriteMap(const std::vector<BitmapImage::Ptr>& images,
                                                        std::int64_t matrixWidth) {
  if (images.empty()) fatal("no images to createSpriteMap");
  if (matrixWidth < 1) fatal("createSpriteMap: a matrixWidth of " + std::to_string(matrixWidth) + " is below 1");
  for (const auto& image : images) {
    if (!image) fatal("createSpriteMap: an image of the list is null");
  }
  const auto n = static_cast<std::int64_t>(images.size());
  const std::int64_t rows = n / matrixWidth + (n % matrixWidth > 0 ? 1 : 0);
  const std::int64_t w = images.front()->width();
  const std::int64_t h = images.front()->height();
  std::int64_t sheetWidth = 0, sheetHeight = 0;
  if (__builtin_mul_overflow(matrixWidth, w, &sheetWidth) || __builtin_mul_overflow(rows, h, &sheetHeight) ||
      sheetWidth > kMaxSide || sheetHeight > kMaxSide) {
    fatal("createSpriteMap: a sheet of " + std::to_string(matrixWidth) + " x " + std::to_string(rows) +
          " cells of " + std::to_string(w) + " x " + std::to_string(h) +
          " pixels exceeds 32767 pixels a side");
  }
  auto drawing = ImageDrawing::create(Size(static_cast<double>(sheetWidth), static_cast<double>(sheetHeight)), 1.0);
  drawing->startDrawing();
  DrawingContext& context = *drawing->ctx();
  for (std::int64_t i = 0; i < n; ++i) {
    const std::int64_t column = i % matrixWidth;
    const std::int64_t row = i / matrixWidth;
    context.drawImage(*images[static_cast<std::size_t>(i)],
                      Rect(static_cast<double>(column * w), static_cast<double>((rows - 1 - row) * h),
                           static_cast<double>(w), static_cast<double>(h)));
  }
  drawing->endDrawing();
  // The drawing ends here: its pixels become the sheet without a copy.
  return {drawing->ctx()->takeImage(), MatrixSize(matrixWidth, rows)};
}

}  // namespace ImageHelper
}  // namespace vantrel
