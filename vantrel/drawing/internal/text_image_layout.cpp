#include "vantrel/drawing/internal/text_image_layout.h"

#include <cmath>

namespace vantrel::drawing_internal {

TextImageLayout textImageLayout(Size measured, std::optional<Size> frameSize, double borderWidth,
                                EdgeInsets padding) {
  const double tw = std::ceil(measured.width);
  const double th = std::ceil(measured.height);
  const Size natural(2 * borderWidth + tw + padding.left + padding.right,
                     2 * borderWidth + th + padding.top + padding.bottom);
  TextImageLayout layout;
  layout.usesFrame = frameSize && frameSize->width > measured.width && frameSize->height > measured.height;
  if (layout.usesFrame) {
    // The padding narrows the centring span without moving its start.
    layout.imageSize = *frameSize;
    layout.textRect = Rect((frameSize->width - padding.left - padding.right - tw) * 0.5,
                           (frameSize->height - padding.top - padding.bottom - th) * 0.5, tw, th);
  } else {
    layout.imageSize = natural;
    layout.textRect = Rect(borderWidth + padding.left, borderWidth + padding.bottom, tw, th);
  }
  return layout;
}

}  // namespace vantrel::drawing_internal
