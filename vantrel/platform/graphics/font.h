// File: vantrel/platform/graphics/font.h
//
// `Font`: a font family and a point size, resolved through fontconfig when
// text is drawn or measured. The kit's system font is DejaVu Sans, which the
// project installs; a family fontconfig does not know falls back to its best
// match (usually DejaVu Sans as well), never to an error.
//
//   const Font font = Font::systemFont(10);
//   measureText("Hello", font)          // about (28.0, 11.6) in points
//
// Measurements use unhinted metrics, so widths are fractional and do not
// depend on a pixel grid. A text is laid out in lines split at "\n"; the
// width is the widest line's advance, the height the number of lines times
// the font's line height (ascent + descent). Thread-safe: faces are loaded
// once per family under a lock and kept for the life of the process.
#pragma once

#include <string>
#include <string_view>

#include "vantrel/platform/kit/geometry.h"

#include "vantrel/core/api.h"
namespace vantrel VANTREL_API {

struct Font {
  std::string family;
  double pointSize = 12;

  // DejaVu Sans at `pointSize`.
  [[nodiscard]] static Font systemFont(double pointSize) { return Font{"DejaVu Sans", pointSize}; }

  friend bool operator==(const Font&, const Font&) = default;
};

// The size `text` takes when drawn in `font` without wrapping.
[[nodiscard]] Size measureText(std::string_view text, const Font& font);

// Ascent plus descent of `font`: the distance between two baselines.
[[nodiscard]] double lineHeight(const Font& font);

}  // namespace vantrel
