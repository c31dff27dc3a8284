#include "vantrel/platform/kit/button.h"

#include <fmt/format.h>

namespace vantrel {

std::string_view description(ButtonType type) {
  switch (type) {
    case ButtonType::momentaryLight: return "momentaryLight";
    case ButtonType::pushOnPushOff: return "pushOnPushOff";
    case ButtonType::toggle: return "toggle";
    case ButtonType::switch_: return "switch";
    case ButtonType::radio: return "radio";
    case ButtonType::momentaryChange: return "momentaryChange";
    case ButtonType::onOff: return "onOff";
    case ButtonType::momentaryPushIn: return "momentaryPushIn";
  }
  return "unknown";
}

std::string_view description(ControlStateValue state) {
  switch (state) {
    case ControlStateValue::mixed: return "mixed";
    case ControlStateValue::off: return "off";
    case ControlStateValue::on: return "on";
  }
  return "unknown";
}

Button::Ptr Button::create(Rect frame) { return Ptr(new Button(frame)); }

void Button::performClick() {
  if (!isEnabled()) return;
  switch (type_) {
    case ButtonType::momentaryLight:
    case ButtonType::momentaryChange:
    case ButtonType::momentaryPushIn:
      break;
    case ButtonType::radio:
      state_ = ControlStateValue::on;
      break;
    case ButtonType::pushOnPushOff:
    case ButtonType::toggle:
    case ButtonType::switch_:
    case ButtonType::onOff:
      state_ = state_ == ControlStateValue::on ? ControlStateValue::off : ControlStateValue::on;
      break;
  }
  sendAction();
}

std::string Button::description() const {
  std::string base = View::description();
  base.pop_back();  // the closing '>'
  return fmt::format("{}; type = {}; state = {}; title = \"{}\"; enabled = {}>", base, vantrel::description(type_),
                     vantrel::description(state_), title_.string(), isEnabled() ? "true" : "false");
}

}  // namespace vantrel
