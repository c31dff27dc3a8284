// File: vantrel/platform/graphics/internal/text_drawing.h
//
// The one place text becomes pixels: `DrawingContext::drawText` hands its
// cairo context here after setting the colour and the clip. Shaping, font
// fallback, bidirectional order, line breaking and ellipsis are Pango's
// (text_layout.cpp); no other code shapes or wraps text.
#pragma once

#include <string_view>

#include "vantrel/platform/graphics/drawing_context.h"
#include "vantrel/platform/graphics/font.h"
#include "vantrel/core/geometry.h"

typedef struct _cairo cairo_t;

namespace vantrel::graphics_internal {

// Draws `text` in lines from the top of `rect` with the source already set
// on `cr`. `flipped` tells whether `cr` has y downwards in the caller's
// coordinates (otherwise glyphs are mirrored back upright).
void showText(cairo_t* cr, bool flipped, std::string_view text, Rect rect, const Font& font,
              const TextLayout& layout);

}  // namespace vantrel::graphics_internal
