#include "vantrel/drawing/image_drawing.h"

#include <cmath>

#include "vantrel/core/fatal.h"
#include "vantrel/core/number_text.h"
#include "vantrel/drawing/internal/pixel_crop.h"
#include "vantrel/platform/graphics/image_codecs.h"

namespace vantrel {
namespace {

constexpr double kMaxSide = 32767;  // the drawing context's limit

std::int64_t pixelSide(double scaled, Size size, double scale) {
  if (!std::isfinite(scaled) || !(std::trunc(scaled) >= 1) || !(std::trunc(scaled) <= kMaxSide)) {
    fatal("ImageDrawing: " + size.description() + " at scale " + significantTextPointZero(scale) + " gives " +
          significantTextPointZero(scaled) + " pixels a side; a drawing needs 1 to 32767 whole pixels each way");
  }
  return static_cast<std::int64_t>(std::trunc(scaled));
}

}  // namespace

ImageDrawing::Ptr ImageDrawing::create(Size size, double backingScaleFactor) {
  return Ptr(new ImageDrawing(size, backingScaleFactor));
}

ImageDrawing::ImageDrawing(Size size, double backingScaleFactor)
    : scale_(backingScaleFactor), size_(size),
      scaledSize_(size.width * backingScaleFactor, size.height * backingScaleFactor) {
  const std::int64_t height = pixelSide(scaledSize_.height, size, backingScaleFactor);
  const std::int64_t width = pixelSide(scaledSize_.width, size, backingScaleFactor);
  context_ = DrawingContext::create(width, height);
  if (!context_) {
    fatal("ImageDrawing: no context of " + std::to_string(width) + " x " + std::to_string(height) +
          " pixels can be made");
  }
  if (scale_ != 1.0) context_->scaleBy(scale_, scale_);
}

BitmapImage::Ptr ImageDrawing::rep() const { return context_->makeImage(); }

void ImageDrawing::startDrawing() {
  saveGraphicsState();
  setCurrentDrawingContext(context_);
}

void ImageDrawing::draw(const std::function<void(ImageDrawing&)>& drawing) { drawing(*this); }

void ImageDrawing::draw(const std::function<void(DrawingContext&, Rect, double)>& drawing) {
  drawing(*context_, Rect(Point(0, 0), scaledSize_), scale_);
}

void ImageDrawing::endDrawing() { restoreGraphicsState(); }

std::vector<std::uint8_t> ImageDrawing::snapshotAsPngData() {
  auto png = encodePng(*context_->makeImage());
  if (!png) fatal("ImageDrawing: the drawing could not be encoded as PNG");
  return std::move(*png);
}

BitmapImage::Ptr ImageDrawing::snapshotAsCgImage() { return context_->makeImage(); }

namespace NSScreen {
Screen::Ptr vantrel_mainScreen() {
  Screen::Ptr screen = Screen::mainScreen();
  if (!screen) fatal("vantrel_mainScreen: there is no main screen (the screen list is empty)");
  return screen;
}
}  // namespace NSScreen

double vantrel_backingScaleFactor(const Screen& self) { return self.backingScaleFactor(); }

BitmapImage::Ptr cropToRect(const BitmapImage::Ptr& self, Rect rect) {
  if (!self) return self;
  BitmapImage::Ptr cropped = drawing_internal::cropToPixels(*self, rect);
  return cropped ? cropped : self;
}

IntSize pixelsSize(const BitmapImage& self) { return IntSize(self.width(), self.height()); }

}  // namespace vantrel
