#include "vantrel/drawing/image_resizing.h"

#include <algorithm>
#include <cmath>

#include "vantrel/core/trace.h"
#include "vantrel/drawing/image_cropping.h"
#include "vantrel/drawing/internal/image_focus.h"
#include "vantrel/drawing/internal/pixel_crop.h"

namespace vantrel {
namespace {

void drawBitmap(DrawingContext& context, const BitmapImage::Ptr& bitmap, Rect rect) {
  if (bitmap) context.drawImage(*bitmap, rect);
}

// A new image of `size` with `bitmap` stretched over all of it.
Image::Ptr imageOfSizeWith(const BitmapImage::Ptr& bitmap, Size size) {
  Image::Ptr image = Image::create(size);
  drawing_internal::withFocus(*image, [&](DrawingContext& context) {
    drawBitmap(context, bitmap, Rect(0, 0, size.width, size.height));
  });
  return image;
}

Point overlayAnchor(OverlayPosition position, Size s, Size o) {
  const double midX = (s.width - o.width) * 0.5, midY = (s.height - o.height) * 0.5;
  const double right = s.width - o.width, top = s.height - o.height;
  switch (position) {
    case OverlayPosition::topCenter: return {midX, top};
    case OverlayPosition::topLeft: return {0, top};
    case OverlayPosition::leftCenter: return {0, midY};
    case OverlayPosition::bottomLeft: return {0, 0};
    case OverlayPosition::bottomCenter: return {midX, 0};
    case OverlayPosition::bottomRight: return {right, 0};
    case OverlayPosition::rightCenter: return {right, midY};
    case OverlayPosition::topRight: return {right, top};
    case OverlayPosition::center: return {midX, midY};
  }
  return {0, 0};
}

}  // namespace

Image::Ptr imageTinted(const Image& self, const Color& color) {
  Image::Ptr copy = self.copy();
  drawing_internal::withFocus(*copy, [&](DrawingContext& context) {
    context.setColor(color);
    context.setCompositingOperation(CompositingOperation::sourceAtop);
    context.fillRect(Rect(0, 0, self.size().width, self.size().height));
  });
  return copy;
}

Image::Ptr vtImagePutOnStick(const Image& self, const Color& color, double width, double height) {
  const Size s = self.size();
  const BitmapImage::Ptr best = self.bestRepresentation();
  Image::Ptr image = Image::create(Size(s.width, s.height + height));
  drawing_internal::withFocus(*image, [&](DrawingContext& context) {
    context.clearRect(Rect(0, 0, s.width, s.height + height));
    context.setColor(color);
    context.fillRect(Rect((s.width - width) * 0.5, 0, width, height));
    drawBitmap(context, best, Rect(0, height, s.width, s.height));
  });
  return image;
}

Image::Ptr vtImageDrawOverlay(const Image& self, const Image& image, OverlayPosition position, Point withOffset) {
  const Size s = self.size();
  const BitmapImage::Ptr best = self.bestRepresentation();
  Image::Ptr result = Image::create(s);
  drawing_internal::withFocus(*result, [&](DrawingContext& context) {
    context.clearRect(Rect(0, 0, s.width, s.height));
    drawBitmap(context, best, Rect(0, 0, s.width, s.height));
    const Point anchor = overlayAnchor(position, s, image.size());
    image.drawAtPoint(Point(anchor.x + withOffset.x, anchor.y + withOffset.y), CompositingOperation::sourceOver, 1.0);
  });
  return result;
}

Image::Ptr vtImageResizedTo(const Image& self, Size size) { return imageOfSizeWith(self.bestRepresentation(), size); }

Size vtAspectFitSize(Size imageSize, Size target) {
  const double rh = imageSize.height / target.height;
  const double rw = imageSize.width / target.width;
  // The rounded-down side keeps at least one pixel: a very flat or very
  // narrow image must not become an image without pixels.
  if (rw > rh) return Size(target.width, std::max(1.0, std::floor(imageSize.height / rw)));
  return Size(std::max(1.0, std::floor(imageSize.width / rh)), target.height);
}

Image::Ptr vtImageResizedToAspectFit(const Image& self, Size size) {
  const Size fitted = vtAspectFitSize(self.size(), size);
  qlinelog(size.description() + " -> " + fitted.description(), __FILE__, "vtImageResizedToAspectFit", __LINE__);
  return imageOfSizeWith(self.bestRepresentation(), fitted);
}

Image::Ptr vtResizeToAspectFit(const Image& self, Size size) {
  return imageOfSizeWith(self.bestRepresentation(), vtAspectFitSize(self.size(), size));
}

Image::Ptr vtResizeToHeight(const Image& self, double height) {
  const Size s = self.size();
  return imageOfSizeWith(self.bestRepresentation(), Size((s.width * height) / s.height, height));
}

Image::Ptr vtImageResizedToAspectFill(const Image& self, Size size) {
  const Size largest = sizeOfLargestRepresentation(self);
  const double aL = largest.width / largest.height;
  const double aT = size.width / size.height;
  const BitmapImage::Ptr best = self.bestRepresentation();
  if (aL == aT) return imageOfSizeWith(best, size);
  Rect crop;
  if (aT > aL) {
    crop = Rect(0, std::abs(largest.height - largest.width / aT) * 0.5, largest.width, largest.width / aT);
  } else {
    crop = Rect(std::abs(largest.width - aT * largest.height) * 0.5, 0, aT * largest.height, largest.height);
  }
  BitmapImage::Ptr source = best ? drawing_internal::cropToPixels(*best, crop) : nullptr;
  return imageOfSizeWith(source ? source : best, size);
}

}  // namespace vantrel
