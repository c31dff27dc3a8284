// File: vantrel/platform/kit/control.h
//
// `Control`: a view the user acts on (buttons, text fields). It has an
// enabled flag and a target with an action: a member function of the
// target's class that the control calls, with itself as the sender, when
// the user acts on it.
//
//   class Panel : public View {
//    public:
//     void confirm(const Control::Ptr& sender);
//     ...
//   };
//   button->setTarget(panel, &Panel::confirm);
//   button->sendAction();            // panel->confirm(button)
//
// Lifetimes: the target is held weakly, as the platform did, so a control
// never keeps its target (often its own superview) alive. While the action
// runs, though, both the target and the sender are held strongly: an action
// that reloads a table, empties a window or drops the last owner of either
// object ends before they are freed.
//
// Main-thread objects: not thread-safe.
#pragma once

#include <concepts>
#include <functional>
#include <memory>

#include "vantrel/core/geometry.h"
#include "vantrel/platform/kit/view.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

class Control : public View {
 public:
  using Ptr = std::shared_ptr<Control>;

  // An action bound to its target's class: called with the target (alive)
  // and the sender.
  using Action = std::function<void(const std::shared_ptr<void>& target, const Ptr& sender)>;

  [[nodiscard]] bool isEnabled() const { return enabled_; }
  void setEnabled(bool enabled) { enabled_ = enabled; }

  // Sets the target (held weakly) and the member function to call on it,
  // which may be one the target's class inherits. A null target clears both.
  template <class T, class Owner>
    requires std::derived_from<T, Owner>
  void setTarget(const std::shared_ptr<T>& target, void (Owner::*action)(const Ptr& sender)) {
    if (!target || action == nullptr) {
      target_.reset();
      action_ = nullptr;
      return;
    }
    target_ = target;
    action_ = [action](const std::shared_ptr<void>& object, const Ptr& sender) {
      Owner* receiver = static_cast<T*>(object.get());
      (receiver->*action)(sender);
    };
  }
  // The target while it is alive, else null.
  [[nodiscard]] std::shared_ptr<void> target() const { return target_.lock(); }
  [[nodiscard]] bool hasAction() const { return static_cast<bool>(action_); }

  // Calls the action on the target; false (and nothing happens) when there
  // is no action or the target is gone. The enabled flag is the caller's
  // business: a user's click on a disabled control never gets here.
  bool sendAction();

 protected:
  explicit Control(Rect frame) : View(frame) {}

 private:
  bool enabled_ = true;
  std::weak_ptr<void> target_;
  Action action_;
};

}  // namespace vantrel
