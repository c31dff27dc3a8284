// File: vantrel/drawing/internal/image_focus.h
//
// Drawing on an image with focus locked, unlocked again also when the
// drawing throws. An image whose size holds no whole pixel gets no context:
// `draw` is then not called and the image keeps no pixels.
#pragma once

#include "vantrel/platform/graphics/drawing_context.h"
#include "vantrel/platform/graphics/image.h"

namespace vantrel::drawing_internal {

template <typename F>
void withFocus(Image& image, F&& draw) {
  struct Unlock {
    Image& image;
    ~Unlock() { image.unlockFocus(); }
  };
  image.lockFocus();
  Unlock unlock{image};
  if (const auto context = currentDrawingContext()) draw(*context);
}

}  // namespace vantrel::drawing_internal
