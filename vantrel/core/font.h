// File: vantrel/core/font.h
//
// `Font`: a font family and a point size, as controls keep them; and
// `TextAlignment`, how a control or a drawing lines its text up. Values of
// core, so graphics needs no kit (and no X server) to take them; the kit's
// controls only record them: measuring and drawing text is the graphics module's
// (`measureText`, `lineHeight` in vantrel/platform/graphics/font.h, laid out
// by Pango).
//
//   const Font font = Font::systemFont(20);     // DejaVu Sans, 20 points
//   field->setFont(font);
//   field->setAlignment(TextAlignment::center);
//   FontManager::convert(font, 11)             // DejaVu Sans, 11 points
//
// Values; thread-safe.
#pragma once

#include <string>

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

struct Font {
  std::string family;
  double pointSize = 12;

  // DejaVu Sans at `pointSize`.
  [[nodiscard]] static Font systemFont(double pointSize) { return Font{"DejaVu Sans", pointSize}; }

  friend bool operator==(const Font&, const Font&) = default;
};

enum class TextAlignment { left, right, center };

// "left", "right", "center".
[[nodiscard]] inline const char* description(TextAlignment alignment) {
  switch (alignment) {
    case TextAlignment::left: return "left";
    case TextAlignment::right: return "right";
    case TextAlignment::center: return "center";
  }
  return "unknown";
}

// The shared font manager's conversions.
namespace FontManager {

// The same font at `toSize` points: the family is kept, as a manager keeps
// the face when only the size changes.
[[nodiscard]] inline Font convert(const Font& font, double toSize) { return Font{font.family, toSize}; }

}  // namespace FontManager

}  // namespace vantrel
