#include "vantrel/platform/graphics/image.h"

#include <cmath>

#include "vantrel/core/fatal.h"
#include "vantrel/platform/graphics/image_codecs.h"

namespace vantrel {
namespace {

// Whole pixels covering `length` points; 0 when there is none to cover or
// the length is not a usable number.
std::int64_t pixelsCovering(double length) {
  if (!(length > 0) || !(length <= 32767)) return 0;
  return static_cast<std::int64_t>(std::ceil(length));
}

}  // namespace

Image::Ptr Image::create(Size size) { return Ptr(new Image(size)); }

Image::Ptr Image::withDrawingHandler(Size size, bool flipped, DrawingHandler handler) {
  Ptr image(new Image(size));
  image->handler_ = std::move(handler);
  image->flipped_ = flipped;
  return image;
}

Image::Ptr Image::fromData(std::span<const std::uint8_t> data) {
  try {
    BitmapImage::Ptr bitmap;
    if (isPngData(data)) {
      bitmap = decodePng(data).image;
    } else if (isJpegData(data)) {
      bitmap = decodeJpeg(data).image;
    } else {
      return nullptr;
    }
    Ptr image = create(Size(static_cast<double>(bitmap->width()), static_cast<double>(bitmap->height())));
    image->addRepresentation(std::move(bitmap));
    return image;
  } catch (const ImageDecodingError&) {
    return nullptr;
  }
}

void Image::addRepresentation(BitmapImage::Ptr representation) {
  if (representation) representations_.push_back(std::move(representation));
}

void Image::lockFocus() {
  if (focused_) fatal("lockFocus: the image already has focus");
  focused_ = true;
  saveGraphicsState();
  if (!representations_.empty()) {
    const BitmapImage& first = *representations_.front();
    focus_ = DrawingContext::createWithImage(first);
    if (focus_) {
      const double sx = static_cast<double>(first.width()) / size_.width;
      const double sy = static_cast<double>(first.height()) / size_.height;
      if (std::isfinite(sx) && std::isfinite(sy) && sx > 0 && sy > 0 && (sx != 1 || sy != 1)) {
        focus_->scaleBy(sx, sy);
      }
    }
  } else {
    focus_ = DrawingContext::create(pixelsCovering(size_.width), pixelsCovering(size_.height));
  }
  setCurrentDrawingContext(focus_);
}

void Image::unlockFocus() {
  if (!focused_) fatal("unlockFocus: the image has no focus");
  focused_ = false;
  if (focus_) {
    // Nobody else holds the focus context (it is ours and at most the
    // current one): its pixels become the representation without a copy.
    const bool isCurrent = currentDrawingContext() == focus_;
    const bool onlyOurs = focus_.use_count() <= (isCurrent ? 2 : 1);
    BitmapImage::Ptr drawn = onlyOurs ? focus_->takeImage() : focus_->makeImage();
    if (representations_.empty()) {
      representations_.push_back(std::move(drawn));
    } else {
      representations_.front() = std::move(drawn);
    }
  }
  focus_.reset();
  restoreGraphicsState();
}

BitmapImage::Ptr Image::cgImage() const {
  if (handler_) {
    auto context = DrawingContext::create(pixelsCovering(size_.width), pixelsCovering(size_.height), flipped_);
    if (!context) return nullptr;
    saveGraphicsState();
    setCurrentDrawingContext(context);
    handler_(Rect(0, 0, size_.width, size_.height));
    restoreGraphicsState();
    return context->makeImage();
  }
  if (representations_.empty()) return nullptr;
  return representations_.front();
}

void Image::drawIn(Rect rect, CompositingOperation operation, double fraction) const {
  const auto context = currentDrawingContext();
  if (!context) return;
  if (const auto bitmap = cgImage()) context->drawImage(*bitmap, rect, operation, fraction);
}

Image::Ptr Image::copy() const {
  Ptr image(new Image(size_));
  image->representations_ = representations_;
  image->handler_ = handler_;
  image->flipped_ = flipped_;
  return image;
}

BitmapImage::Ptr Image::bestRepresentation() const {
  if (handler_) return cgImage();
  BitmapImage::Ptr best;
  for (const auto& representation : representations_) {
    if (!best || representation->width() * representation->height() > best->width() * best->height()) {
      best = representation;
    }
  }
  return best;
}

void Image::drawAtPoint(Point point, CompositingOperation operation, double fraction) const {
  drawIn(Rect(point, size_), operation, fraction);
}

}  // namespace vantrel
