// File: vantrel/drawing/internal/pixel_crop.h
//
// The one crop of the image operations: a rectangle in an image's pixel
// space (from the top-left corner, rows downwards) widened to whole pixels
// and clipped to the image, as the platform's crop did.
#pragma once

#include "vantrel/platform/graphics/bitmap_image.h"
#include "vantrel/core/geometry.h"

namespace vantrel::drawing_internal {

// The part of `image` inside `rect`; nullptr when nothing is left (an empty
// or outside rectangle, or one with a number that is not finite).
[[nodiscard]] BitmapImage::Ptr cropToPixels(const BitmapImage& image, Rect rect);

}  // namespace vantrel::drawing_internal
