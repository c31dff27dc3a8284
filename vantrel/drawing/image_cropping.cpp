#include "vantrel/drawing/image_cropping.h"

#include <cmath>
#include <numbers>

#include "vantrel/drawing/internal/image_focus.h"
#include "vantrel/drawing/internal/pixel_crop.h"

namespace vantrel {
namespace {

constexpr double kDegrees = std::numbers::pi / 180.0;

// Applies `p -> T(-centre) -> [mirror] -> R -> T(+centre + shift)`, the
// rotation about a centre, as one transform.
AffineTransform rotationAbout(Point centre, Point shiftBack, double degrees, bool mirrored) {
  AffineTransform t = AffineTransform::makeTranslation(-shiftBack.x, -shiftBack.y);
  if (mirrored) t = t.concatenating(AffineTransform::makeScale(-1.0, 1.0));
  return t.concatenating(AffineTransform::makeRotation(degrees * kDegrees))
      .concatenating(AffineTransform::makeTranslation(centre.x, centre.y));
}

// Saves the current context's state and puts it back, so what the caller
// set (scale, flip, colours) is there again afterwards.
class SavedState {
 public:
  explicit SavedState(DrawingContext::Ptr context) : context_(std::move(context)) { context_->saveGState(); }
  ~SavedState() { context_->restoreGState(); }
  SavedState(const SavedState&) = delete;
  SavedState& operator=(const SavedState&) = delete;
  DrawingContext& operator*() const { return *context_; }

 private:
  DrawingContext::Ptr context_;
};

}  // namespace

Size sizeOfLargestRepresentation(const Image& self) {
  Size result = self.size();
  for (const auto& representation : self.representations()) {
    if (static_cast<double>(representation->height()) > result.height) {
      result = Size(static_cast<double>(representation->width()), static_cast<double>(representation->height()));
    }
  }
  return result;
}

Size vtLargestRepresentationSize(const Image& self) { return sizeOfLargestRepresentation(self); }

Image::Ptr croppedImageBy(const Image& self, EdgeInsets insets) {
  const BitmapImage::Ptr bitmap = self.cgImage();
  const Size size = self.size();
  if (!bitmap || !(size.width > 0) || !(size.height > 0)) return nullptr;
  const double px = static_cast<double>(bitmap->width()) / size.width;
  const double py = static_cast<double>(bitmap->height()) / size.height;
  const Rect crop(px * insets.left, py * insets.top, px * (size.width - insets.left - insets.right),
                  py * (size.height - insets.top - insets.bottom));
  // Insets that meet or overlap leave nothing (the crop would otherwise read
  // a negative width as the rectangle on the other side).
  if (!(crop.size.width > 0) || !(crop.size.height > 0)) return nullptr;
  BitmapImage::Ptr cropped = drawing_internal::cropToPixels(*bitmap, crop);
  if (!cropped) return nullptr;
  Image::Ptr image = Image::create(crop.size);
  image->addRepresentation(std::move(cropped));
  return image;
}

Image::Ptr imageRotatedByDegreess(const Image& self, double degrees) {
  const Size size = self.size();
  Image::Ptr image = Image::create(size);
  drawing_internal::withFocus(*image, [&](DrawingContext& context) {
    const Point centre(size.width * 0.5, size.height * 0.5);
    context.concat(rotationAbout(centre, centre, degrees, false));
    self.drawIn(Rect(0, 0, size.width, size.height), CompositingOperation::copy, 1.0);
  });
  return image;
}

void drawInRectCentered(const Image& self, Rect rect, double scale) {
  const Size largest = sizeOfLargestRepresentation(self);
  if (rect.size.width > largest.width * 0.5 || rect.size.height > largest.height * 0.5) {
    self.drawIn(Rect(rect.origin, Size(largest.width * (1.0 / scale), largest.height * (1.0 / scale))));
  } else {
    self.drawIn(rect);
  }
}

void drawAtPoint(const Image& self, Point point, CompositingOperation operation, double fraction,
                 double rotatedByDegrees) {
  auto context = currentDrawingContext();
  if (!context) return;
  const Size size = self.size();
  const Point centre(size.width * 0.5 + point.x, size.height * 0.5 + point.y);
  SavedState state(std::move(context));
  (*state).concat(rotationAbout(centre, centre, rotatedByDegrees, false));
  self.drawAtPoint(point, operation, fraction);
}

void draw(const Image& self, Rect in, CompositingOperation operation, double fraction) {
  self.drawIn(in, operation, fraction);
}

void draw(const Image& self, Rect in, CompositingOperation operation, double fraction, double rotatedByDegrees,
          bool horizontallyFlipped) {
  auto context = currentDrawingContext();
  if (!context) return;
  const double x = in.origin.x, y = in.origin.y, w = in.size.width, h = in.size.height;
  SavedState state(std::move(context));
  (*state).concat(rotationAbout(Point(w * 0.5 + x, h * 0.5 + y), Point(w * 0.5, h * 0.5), rotatedByDegrees,
                                horizontallyFlipped));
  self.drawIn(Rect(0, 0, w, h), operation, fraction);
}

void draw(const Image& self, Rect in, CompositingOperation operation, double fraction, double rotatedByDegrees) {
  draw(self, in, operation, fraction, rotatedByDegrees, false);
}

void drawVerticallyFlipped(const Image& self, Rect in, CompositingOperation operation, double fraction,
                           double rotatedByDegrees, bool verticallyFlipped) {
  if (verticallyFlipped) {
    draw(self, in, operation, fraction, rotatedByDegrees + 180.0, true);
  } else {
    draw(self, in, operation, fraction, rotatedByDegrees, false);
  }
}

void draw(const Image& self, Rect in, CompositingOperation operation, double fraction, ImageRotation rotation) {
  switch (rotation) {
    case ImageRotation::nune: return self.drawIn(in, operation, fraction);
    case ImageRotation::left: return draw(self, in, operation, fraction, 90.0, false);
    case ImageRotation::leftLeft: return draw(self, in, operation, fraction, 180.0, false);
    case ImageRotation::right: return draw(self, in, operation, fraction, -90.0, false);
    case ImageRotation::flipped: return draw(self, in, operation, fraction, 0.0, true);
    case ImageRotation::flippedLeft: return draw(self, in, operation, fraction, 90.0, true);
    case ImageRotation::flippedLeftLeft: return draw(self, in, operation, fraction, 180.0, true);
    case ImageRotation::flippedRight: return draw(self, in, operation, fraction, -90.0, true);
  }
}

BitmapImage::Ptr cgImage(const Image& self) { return self.cgImage(); }

AffineTransform transform(ImageRotation self) {
  constexpr double kQuarter = 1.5707963267948966;
  constexpr double kHalf = 3.141592653589793;
  const AffineTransform mirror = AffineTransform::makeScale(-1.0, 1.0);
  switch (self) {
    case ImageRotation::nune: return AffineTransform::identity();
    case ImageRotation::left: return AffineTransform::makeRotation(-kQuarter);
    case ImageRotation::leftLeft: return AffineTransform::makeRotation(kHalf);
    case ImageRotation::right: return AffineTransform::makeRotation(kQuarter);
    case ImageRotation::flipped: return mirror;
    // The rotation applies first, then the mirroring.
    case ImageRotation::flippedLeft: return AffineTransform::makeRotation(kQuarter).concatenating(mirror);
    case ImageRotation::flippedLeftLeft: return AffineTransform::makeRotation(-kHalf).concatenating(mirror);
    case ImageRotation::flippedRight: return AffineTransform::makeRotation(-kQuarter).concatenating(mirror);
  }
  return AffineTransform::identity();
}

}  // namespace vantrel
