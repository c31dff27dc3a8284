#include "vantrel/appkit/window_controller_helpers.h"

#include <optional>

#include "vantrel/appkit/control_helpers.h"
#include "vantrel/appkit/view_helpers.h"
#include "vantrel/core/fatal.h"
#include "vantrel/drawing/layout_builders.h"
#include "vantrel/foundation/localization/localization.h"

namespace vantrel {

void toggleWindow(WindowController& self) {
  if (!self.isWindowLoaded() || !self.window()->isVisible()) {
    self.showWindow();
  } else {
    self.close();
  }
}

void showWindow(WindowController& self) { self.showWindow(); }

void closeWindow(WindowController& self) { self.close(); }

DummyWoller::DummyWoller() : labelView_(TextField::create()), okButton_(Button::create()) {
  labelView_->setTranslatesAutoresizingMaskIntoConstraints(false);
  setupAsLabelFlags(*labelView_);
  labelView_->setTextColor(Color::whiteColor());
  labelView_->setStringValue("Dummy View");
  labelView_->setAlignment(TextAlignment::center);

  okButton_->setTranslatesAutoresizingMaskIntoConstraints(false);
  okButton_->setTitle(VantrelLocalization::localizedStringFor("Ok"));
  okButton_->setBezelStyle(BezelStyle::rounded);
  okButton_->setButtonType(ButtonType::momentaryPushIn);
  okButton_->setKeyEquivalent("\r");
}

DummyWoller::Ptr DummyWoller::create(std::string_view code, Color::Ptr backgroundColor) {
  if (!backgroundColor) fatal("DummyWoller: the background colour is null");
  Ptr controller(new DummyWoller());
  controller->build(code, std::move(backgroundColor));
  return controller;
}

DummyWoller::Ptr DummyWoller::create(const Window::Ptr& window) {
  Ptr controller(new DummyWoller());
  if (window) controller->setWindow(window);
  return controller;
}

void DummyWoller::build(std::string_view code, Color::Ptr backgroundColor) {
  const auto window = Window::create(Rect(0, 0, 600, 400), WindowStyleMask::titled | WindowStyleMask::closable |
                                                               WindowStyleMask::resizable);
  window->setBackgroundColor(Color::blackColor());
  window->setTitle("Dummy Window (code=" + std::string(code) + ")");
  window->setMovableByWindowBackground(true);

  const auto content = View::create(window->contentView()->frame());
  setVtBackgroundColor(*content, backgroundColor);
  window->setContentView(content);
  window->center();
  window->layoutIfNeeded();

  setWindow(window);
  window->setDelegate(std::static_pointer_cast<DummyWoller>(shared_from_this()));
  setWindowFrameAutosaveName(std::string(code) + " asn");

  content->addSubview(labelView_);
  content->addSubview(okButton_);
  content->addConstraints(vccPlaceInCenter(content, labelView_, std::pair{0.0, 0.0}));
  content->addConstraints(vccPlace(content, okButton_, PlaceSides{std::nullopt, std::nullopt, 10.0, 10.0}));
  okButton_->setTarget(std::static_pointer_cast<DummyWoller>(shared_from_this()), &DummyWoller::okAction);
}

bool DummyWoller::windowShouldClose(Window& /*window*/) { return true; }

void DummyWoller::windowWillClose(Window& /*window*/) {}

void DummyWoller::okAction(const Control::Ptr& /*sender*/) {}

}  // namespace vantrel
