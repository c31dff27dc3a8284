#include "vantrel/platform/kit/control.h"

namespace vantrel {

bool Control::sendAction() {
  // Strong holds for the length of the action: the action may drop the last
  // other owner of the target or of this control (a table reloading the row
  // that holds it), and both are still used until it returns.
  const std::shared_ptr<void> target = target_.lock();
  if (!target || !action_) return false;
  const Ptr sender = std::static_pointer_cast<Control>(shared_from_this());
  // A copy: the action may set a new target and action on this control,
  // which would destroy the function object while it runs.
  const Action action = action_;
  action(target, sender);
  return true;
}

}  // namespace vantrel
