// File: vantrel/drawing/image_cropping.h
//
// Cutting an image (`Image`, see vantrel/platform/graphics/image.h) by edge
// insets, a rotated copy, drawing it rotated, mirrored or in one of the eight
// orientations, the size of its largest representation, and the affine
// transform of each orientation.
//
//   auto part = croppedImageBy(*image, EdgeInsets(10, 0, 0, 0));   // top 10 points off
//   auto turned = imageRotatedByDegreess(*image, 90);               // same size, corners cut
//   image->lockFocus(); ...
//   draw(*image, Rect(0, 0, 20, 10), CompositingOperation::sourceOver, 1.0, ImageRotation::flipped);
//   transform(ImageRotation::flippedLeftLeft).apply(Point(1, 2))   // (1, -2)
//
// The drawing operations draw into the calling thread's current context
// (`currentDrawingContext()`: a focused image, an `ImageDrawing` after
// `startDrawing()`, a view's snapshot) and do nothing when there is none.
// Coordinates are the context's: origin at the lower-left, y upwards, angles
// counter-clockwise. Every rotated drawing saves the context's state,
// concatenates its rotation to the caller's transform and restores the state,
// so a scale or flip the caller set still applies and is still set after.
//
// Pixels per point: an image's bitmap (`Image::cgImage`) may hold more
// pixels than its size in points; the crop measures each axis by the
// bitmap's pixel size over the point size.
#pragma once

#include "vantrel/collections/image_rotation.h"
#include "vantrel/platform/graphics/bitmap_image.h"
#include "vantrel/platform/graphics/drawing_context.h"
#include "vantrel/platform/graphics/image.h"
#include "vantrel/core/geometry.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

// The pixel size of the tallest representation (the first of equal height)
// when it is taller than the point size, else the point size.
[[nodiscard]] Size sizeOfLargestRepresentation(const Image& self);
// The same as `sizeOfLargestRepresentation`.
[[nodiscard]] Size vtLargestRepresentationSize(const Image& self);

// The image cut by `insets` (points; `top` from the top edge): the pixel
// rectangle (px * left, py * top, px * (w - left - right), py * (h - top -
// bottom)) of its bitmap, px and py its pixels per point, widened to whole
// pixels and clipped. The new image's size is that rectangle's pixel size.
// nullptr when the image has no bitmap or no pixel is left.
[[nodiscard]] Image::Ptr croppedImageBy(const Image& self, EdgeInsets insets);

// A new image of the same size with the receiver turned by `degrees` about
// its centre; corners that leave the image are cut off, uncovered ones stay
// transparent.
[[nodiscard]] Image::Ptr imageRotatedByDegreess(const Image& self, double degrees);

// With (W, H) the largest representation's size: when `rect` is wider than
// W / 2 or taller than H / 2, the image is drawn at (W / scale, H / scale)
// from the rectangle's origin (it may reach beyond it); otherwise stretched
// into `rect`.
void drawInRectCentered(const Image& self, Rect rect, double scale = 2.0);

// The image at its own size with its lower-left corner at `point`, turned by
// `degrees` about its centre.
void drawAtPoint(const Image& self, Point point, CompositingOperation operation, double fraction,
                 double rotatedByDegrees);

// The whole image stretched into `rect`.
void draw(const Image& self, Rect in, CompositingOperation operation, double fraction);

// The image drawn into a rectangle of the size of `in` centred on its centre,
// mirrored left to right when asked, then turned by `degrees` about that
// centre (90 degrees leaves an h x w picture standing across `in`).
void draw(const Image& self, Rect in, CompositingOperation operation, double fraction, double rotatedByDegrees,
          bool horizontallyFlipped);
void draw(const Image& self, Rect in, CompositingOperation operation, double fraction, double rotatedByDegrees);
// Upside down (turned by degrees + 180 and mirrored) when `verticallyFlipped`.
void drawVerticallyFlipped(const Image& self, Rect in, CompositingOperation operation, double fraction,
                           double rotatedByDegrees, bool verticallyFlipped);

// In one of the eight orientations: `nune` plain; `left` 90, `leftLeft` 180,
// `right` -90 degrees; the `flipped` cases mirrored left to right first.
void draw(const Image& self, Rect in, CompositingOperation operation, double fraction, ImageRotation rotation);
// A case name picks the orientation, never the angle overload.
inline void draw(const Image& self, Rect in, CompositingOperation operation, double fraction,
                 ImageRotation::Case rotation) {
  draw(self, in, operation, fraction, ImageRotation(rotation));
}

// The image's bitmap (`Image::cgImage`); nullptr when it has none.
[[nodiscard]] BitmapImage::Ptr cgImage(const Image& self);

// The orientation's transform, without translation: `left` (x, y) -> (y, -x),
// `leftLeft` (-x, -y), `right` (-y, x), `flipped` (-x, y), `flippedLeft`
// (y, x), `flippedLeftLeft` (x, -y), `flippedRight` (-y, -x), within the
// rounding of the sine and cosine.
[[nodiscard]] AffineTransform transform(ImageRotation self);

}  // namespace vantrel
