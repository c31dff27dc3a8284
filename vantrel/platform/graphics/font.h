// File: vantrel/platform/graphics/font.h
//
// Measuring text in a `Font` (core's value, vantrel/core/font.h:
// a font family and a point size). Text is laid out by Pango
// (HarfBuzz shaping, bidirectional order, Unicode line breaking); fontconfig
// picks the font for the family, and a character the font lacks is drawn
// from another installed font that has it. The kit's system font is DejaVu
// Sans, which the project installs with a CJK font (WenQuanYi Micro Hei); a
// family fontconfig does not know falls back to its best match (usually
// DejaVu Sans as well), never to an error.
//
//   const Font font = Font::systemFont(10);
//   measureText("Hello", font)          // about (25.3, 11.6) in points
//
// Measurements use unhinted metrics and unrounded glyph positions, so widths
// are fractional (in 1/1024 of a point) and do not depend on a pixel grid. A
// text is laid out in lines split at line separators ("\n", "\r\n", U+2029);
// the width is the widest line's advance, the height the sum of the lines'
// heights: ascent + descent of the font, more on a line whose fallback font
// is taller. Invalid UTF-8 and NUL are taken as U+FFFD. A size that is not a
// number in (0, 10000] measures (0, 0) and draws nothing.
//
// Thread-safe. Font descriptions and metrics are made once per family and
// size for the whole process; each thread keeps its own Pango objects and
// the sizes of the short texts it measured last, so measuring the same
// labels again is cheap.
#pragma once

#include <string>
#include <string_view>

#include "vantrel/core/font.h"
#include "vantrel/core/geometry.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

// The size `text` takes when drawn in `font` without wrapping.
[[nodiscard]] Size measureText(std::string_view text, const Font& font);

// The size `text` takes when broken into lines `width` points wide, as
// `DrawingContext::drawText` breaks it when it wraps words: the widest
// line's advance and the lines' heights added up. Every line is counted,
// however many there are.
[[nodiscard]] Size measureWrappedText(std::string_view text, const Font& font, double width);

// Ascent plus descent of `font` (the font fontconfig picks for the family,
// without fallback fonts): the distance between two baselines of its text.
[[nodiscard]] double lineHeight(const Font& font);

}  // namespace vantrel
