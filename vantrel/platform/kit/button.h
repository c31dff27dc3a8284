// File: vantrel/platform/kit/button.h
//
// `Button`: a push button, check box or radio button. Its type decides what
// a click does to its state; its title is an attributed string (the plain
// `title` is that string's text).
//
//   auto box = Button::create();
//   box->setButtonType(ButtonType::switch_);          // a check box
//   box->setAttributedTitle(AttributedString("Apples"));
//   box->setTarget(cell, &Cell::boxClicked);
//   box->performClick();       // state off -> on, then cell->boxClicked(box)
//
// `performClick` is the user's click: on a disabled button it does nothing;
// otherwise a two-state button (every type but the momentary ones) takes its
// next state (off -> on, on -> off, mixed -> on; a radio button stays on),
// and then the action is sent (see `Control`: target and sender stay alive
// until the action returns).
//
// Main-thread objects: not thread-safe.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "vantrel/platform/kit/attributed_string.h"
#include "vantrel/platform/kit/control.h"
#include "vantrel/core/geometry.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

// The platform's numbering, kept so raw values can be exchanged.
enum class ButtonType : std::int64_t {
  momentaryLight = 0,
  pushOnPushOff = 1,
  toggle = 2,
  switch_ = 3,  // a check box
  radio = 4,
  momentaryChange = 5,
  onOff = 6,
  momentaryPushIn = 7,
};

// The platform's numbering of the bezel styles in use.
enum class BezelStyle : std::int64_t {
  rounded = 1,
  regularSquare = 2,
  disclosure = 5,
  shadowlessSquare = 6,
  circular = 7,
  texturedSquare = 8,
  helpButton = 9,
  smallSquare = 10,
  texturedRounded = 11,
  roundRect = 12,
  recessed = 13,
  roundedDisclosure = 14,
  inline_ = 15,
};

enum class ControlStateValue : std::int64_t {
  mixed = -1,
  off = 0,
  on = 1,
};

// "switch", "momentaryPushIn", …; "on", "off", "mixed".
[[nodiscard]] std::string_view description(ButtonType type);
[[nodiscard]] std::string_view description(ControlStateValue state);

class Button : public Control {
 public:
  using Ptr = std::shared_ptr<Button>;

  // A momentary push-in button, enabled, state off, empty title.
  [[nodiscard]] static Ptr create(Rect frame = Rect());

  [[nodiscard]] ButtonType buttonType() const { return type_; }
  void setButtonType(ButtonType type) { type_ = type; }
  [[nodiscard]] ControlStateValue state() const { return state_; }
  void setState(ControlStateValue state) { state_ = state; }

  [[nodiscard]] const AttributedString& attributedTitle() const { return title_; }
  void setAttributedTitle(AttributedString title) { title_ = std::move(title); }
  // The attributed title's text; setting it drops the attributes.
  [[nodiscard]] const std::string& title() const { return title_.string(); }
  void setTitle(std::string title) { title_ = AttributedString(std::move(title)); }

  // Rounded for a new button.
  [[nodiscard]] BezelStyle bezelStyle() const { return bezelStyle_; }
  void setBezelStyle(BezelStyle style) { bezelStyle_ = style; }
  // The key that clicks the button ("\r" for Return); empty for none.
  [[nodiscard]] const std::string& keyEquivalent() const { return keyEquivalent_; }
  void setKeyEquivalent(std::string key) { keyEquivalent_ = std::move(key); }

  // The user's click (see the top of this file).
  void performClick();

  // Adds the type, state, title and enabled flag to the view's description.
  [[nodiscard]] std::string description() const override;

 protected:
  explicit Button(Rect frame) : Control(frame) {}

 private:
  ButtonType type_ = ButtonType::momentaryPushIn;
  ControlStateValue state_ = ControlStateValue::off;
  AttributedString title_;
  BezelStyle bezelStyle_ = BezelStyle::rounded;
  std::string keyEquivalent_;
};

}  // namespace vantrel
