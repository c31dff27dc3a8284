// File: vantrel/appkit/window_controller_helpers.h
//
// Showing, closing and toggling a window controller's window, and
// `DummyWoller`, a ready-made test window: a coloured 600 x 400 window named
// after a code, with a centred caption and an OK button, whose frame is kept
// under the autosave name code + " asn".
//
//   auto dummy = DummyWoller::create("A1");     // brown content, "Dummy Window (code=A1)"
//   toggleWindow(*dummy);                        // shown
//   toggleWindow(*dummy);                        // closed
//
// `toggleWindow` shows the window when the controller has none loaded yet or
// it is not visible (loading it when needed), and closes it otherwise.
//
// `DummyWoller`: the window is titled, closable and resizable, black,
// movable by its background, centred and laid out; its content view is a
// plain layer-backed view of the background colour. The controller is the
// window's delegate (closing is always allowed and changes nothing else)
// and the OK button's target (`okAction` does nothing). The caption "Dummy
// View" (white, centred, not bezeled, not editable, selectable, no
// background) is centred in the content view; the OK button (title: the
// localized "Ok", bezel rounded, momentary push-in, key equivalent "\r")
// keeps 10 points from the bottom and right edges. Both are made by every
// way of making the controller. No heartbeat timer runs. Main thread, like
// the windows.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "vantrel/platform/kit/button.h"
#include "vantrel/core/color.h"
#include "vantrel/platform/kit/text_field.h"
#include "vantrel/platform/kit/window.h"
#include "vantrel/platform/kit/window_controller.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

void toggleWindow(WindowController& self);
void showWindow(WindowController& self);
void closeWindow(WindowController& self);

class DummyWoller : public WindowController, public WindowDelegate {
 public:
  using Ptr = std::shared_ptr<DummyWoller>;

  [[nodiscard]] static Ptr create(std::string_view code, Color::Ptr backgroundColor = Color::brownColor());
  // The platform's plain form: the caption and the button, no window set-up.
  [[nodiscard]] static Ptr create(const Window::Ptr& window);

  bool windowShouldClose(Window& window) override;
  void windowWillClose(Window& window) override;
  void okAction(const Control::Ptr& sender);

 protected:
  DummyWoller();

 private:
  void build(std::string_view code, Color::Ptr backgroundColor);

  TextField::Ptr labelView_;
  Button::Ptr okButton_;
};

}  // namespace vantrel
