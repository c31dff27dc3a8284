// Delivery of one event to a collection's observers.
// Internal: include the public headers (observable_set.h, kerray.h).
#pragma once

#include <utility>

#include "vantrel/collections/weakly_owned.h"

#include "vantrel/core/api.h"
namespace vantrel VANTREL_API { namespace observable_internal {

// Calls `event` of every observer whose owner is alive, in registration
// order, with `args`; the owner is kept alive until the call returns. The walk is over the list as it was when the delivery
// began (the sphere iterates a snapshot), so a callback may register
// observers, release owners or assign a new list. Each closure is copied
// before the call: a callback that reassigns its own closure would
// otherwise destroy the function object it is running in.
template <class Observer, class Closure, class... Args>
void report(const WeaklyOwnedObjectsSphere<Observer>& observers, Closure Observer::*event,
            Args&&... args) {
  for (auto it = observers.begin(); it != observers.end(); ++it) {
    // Held for the call: a view's closures point at the view, which is the
    // owner, so it must outlive a callback that drops its last holder.
    const auto owner = (*it)->owner();
    if (!owner) continue;
    const Closure call = (**it).*event;
    if (call) call(args...);
  }
}

}}  // namespace vantrel::observable_internal
