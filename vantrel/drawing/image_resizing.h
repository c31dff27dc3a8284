// File: vantrel/drawing/image_resizing.h
//
// New images made from an existing one (`Image`, see
// vantrel/platform/graphics/image.h), which stays as it is: a tinted copy,
// the image on a coloured bar, the image with an overlay at one of nine
// anchors, and five resizes.
//
//   auto blue = imageTinted(*icon, *Color::withRed(0, 0, 1, 1));
//   auto badge = vtImageDrawOverlay(*icon, *dot, OverlayPosition::topRight, Point(-2, -2));
//   auto thumb = vtResizeToAspectFit(*photo, Size(50, 50));      // 200 x 100 -> 50 x 25
//   auto square = vtImageResizedToAspectFill(*photo, Size(50, 50));   // centred crop
//
// Drawing coordinates are the new image's: origin at the lower-left, y up.
// The source drawn is the image's best representation
// (`Image::bestRepresentation`: the most pixels), scaled into the rectangle
// named; an image without any is drawn as nothing, so the result is
// transparent. New images are made at one pixel per point (sizes rounded up
// to whole pixels); a size holding no whole pixel gives an image without
// pixels. Everything runs on the caller's thread and leaves its current
// drawing context as it was.
#pragma once

#include "vantrel/platform/graphics/image.h"
#include "vantrel/core/color.h"
#include "vantrel/core/geometry.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

// Where `vtImageDrawOverlay` puts the overlay; the hash value is the case's
// position.
enum class OverlayPosition {
  topCenter, topLeft, leftCenter, bottomLeft, bottomCenter, bottomRight, rightCenter, topRight, center,
};

// A copy with every pixel taking `color` at its own coverage (source-atop):
// transparent pixels stay transparent and alpha stays as it was.
[[nodiscard]] Image::Ptr imageTinted(const Image& self, const Color& color);

// The image (size S) standing on a bar of `width` x `height` in `color`,
// centred at the bottom: S.width x (S.height + height); a bar wider than the
// image is cut off at both sides.
[[nodiscard]] Image::Ptr vtImagePutOnStick(const Image& self, const Color& color, double width, double height);

// The image with `image` drawn over it at its own size (never scaled), its
// lower-left corner at the anchor of `position` plus `withOffset` (a positive
// y moves it up); what falls outside is cut off.
[[nodiscard]] Image::Ptr vtImageDrawOverlay(const Image& self, const Image& image, OverlayPosition position,
                                            Point withOffset = Point(0, 0));

// Stretched to exactly `size`.
[[nodiscard]] Image::Ptr vtImageResizedTo(const Image& self, Size size);

// The aspect-fit size of an image of `imageSize` in `target`: the side with
// the larger ratio takes the target's value, the other is rounded down to a
// whole number and is at least 1 (300 x 1 into 100 x 100: 100 x 1).
[[nodiscard]] Size vtAspectFitSize(Size imageSize, Size target);

// Resized to the aspect-fit size, printing one trace line:
// "🔀MT \"image_resizing.cpp\"@<line>: vtImageResizedToAspectFit: (50.0, 50.0) -> (50.0, 25.0)".
[[nodiscard]] Image::Ptr vtImageResizedToAspectFit(const Image& self, Size size);
// The same without the trace line.
[[nodiscard]] Image::Ptr vtResizeToAspectFit(const Image& self, Size size);

// `height` high, the width in proportion ((width * height) / image height,
// not rounded).
[[nodiscard]] Image::Ptr vtResizeToHeight(const Image& self, double height);

// Cut to the aspect ratio of `size` around the centre of the largest
// representation (in its pixels), then drawn at `size`; equal ratios draw
// the whole image. A cut that leaves no pixel draws the whole bitmap
// stretched.
[[nodiscard]] Image::Ptr vtImageResizedToAspectFill(const Image& self, Size size);

}  // namespace vantrel
