#include "vantrel/platform/kit/button_cell.h"

#include <fmt/format.h>

namespace vantrel {

std::string_view description(BezelStyle style) {
  switch (style) {
    case BezelStyle::rounded: return "rounded";
    case BezelStyle::regularSquare: return "regularSquare";
    case BezelStyle::disclosure: return "disclosure";
    case BezelStyle::shadowlessSquare: return "shadowlessSquare";
    case BezelStyle::circular: return "circular";
    case BezelStyle::texturedSquare: return "texturedSquare";
    case BezelStyle::helpButton: return "helpButton";
    case BezelStyle::smallSquare: return "smallSquare";
    case BezelStyle::texturedRounded: return "texturedRounded";
    case BezelStyle::roundRect: return "roundRect";
    case BezelStyle::recessed: return "recessed";
    case BezelStyle::roundedDisclosure: return "roundedDisclosure";
    case BezelStyle::inline_: return "inline";
  }
  return "unknown";
}

std::string ButtonCellDrawing::description() const {
  return fmt::format("{} \"{}\" {} {} {} bezel={} {} background={}", frame.description(), title,
                     vantrel::description(alignment), vantrel::description(state), enabled ? "enabled" : "disabled",
                     vantrel::description(bezelStyle), bordered ? "bordered" : "borderless",
                     backgroundColor ? backgroundColor->description() : std::string("nil"));
}

void ButtonCell::drawWithFrame(Rect frame, const View& /*view*/) {
  drawings_.push_back(ButtonCellDrawing{frame, title_, alignment_, state_, enabled_, bezelStyle_, bordered_,
                                        backgroundColor_});
}

}  // namespace vantrel
