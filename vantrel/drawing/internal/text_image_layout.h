// File: vantrel/drawing/internal/text_image_layout.h
//
// The arithmetic of the labelled text image (`NSImage::vtImageWith`), apart
// from measuring and drawing, so it can be checked against exact measures.
#pragma once

#include <optional>

#include "vantrel/core/geometry.h"

namespace vantrel::drawing_internal {

struct TextImageLayout {
  Size imageSize;
  Rect textRect;
  bool usesFrame = false;
};

// `measured` is the text's unrounded size. The frame is used only when it is
// strictly larger than the measure both ways (border and padding not
// counted); otherwise the natural size (border + text + padding) is used.
[[nodiscard]] TextImageLayout textImageLayout(Size measured, std::optional<Size> frameSize, double borderWidth,
                                              EdgeInsets padding);

}  // namespace vantrel::drawing_internal
