#include "vantrel/shortcuts/key_glyphs.h"

namespace vantrel {
std::optional<SpecialGlyphs> SpecialGlyphs::fromRawValue(std::string_view character) {
  for (SpecialGlyphs g : all()) {
    if (g.rawValue() == character) return g;
  }
  return std::nullopt;
}

const std::array<SpecialGlyphs, 18>& SpecialGlyphs::all() {
  static constexpr std::array<SpecialGlyphs, 18> kAll{
      eject,     clear,    deleteLeft, deleteRight, leftArrow, rightArrow,
      upArrow,   downArrow, escape,    help,        pageDown,  pageUp,
      tabRight,  return_,  returnR2L,  padClear,    northwestArrow, southeastArrow,
  };
  return kAll;
}

}  // namespace vantrel
