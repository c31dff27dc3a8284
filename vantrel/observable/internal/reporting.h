// Delivery of one event to a collection's observers, and the one policy for
// caller code that throws while a change is delivered.
// Internal: include the public headers (observable_set.h, kerray.h).
//
// Policy: an observer closure, or a view's filter, comparator, key or hash
// function called while a view follows its base, must not throw. A throw
// there stops the program through `fatal`, naming the collection and the
// event, as a throwing queue block does: a half-delivered event would leave
// the observers after the thrower, views among them, out of step for good.
#pragma once

#include <cstdint>
#include <exception>
#include <string>
#include <string_view>
#include <utility>

#include "vantrel/collections/weakly_owned.h"
#include "vantrel/core/error.h"
#include "vantrel/core/fatal.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API { namespace observable_internal {

// Stops the program for the exception in flight, thrown while `what`.
[[noreturn]] inline void stopForThrow(std::string_view what, std::exception_ptr error) {
  try {
    std::rethrow_exception(std::move(error));
  } catch (const std::exception& e) {
    fatal("Uncaught exception " + std::string(what) + ": " + errorDescription(e));
  } catch (...) {
    fatal("Uncaught exception " + std::string(what));
  }
}

// Runs `body`; a throw stops the program: "Uncaught exception in <collection>
// following \"<event>\": <description>".
template <class Body>
void following(std::string_view collection, std::string_view event, Body&& body) {
  try {
    std::forward<Body>(body)();
  } catch (...) {
    stopForThrow("in " + std::string(collection) + " following \"" + std::string(event) + "\"",
                 std::current_exception());
  }
}

// Calls one observer's closure for `event`, when it is set.
template <class Closure, class... Args>
void deliver(Closure& call, std::string_view collection, std::string_view eventName, Args&&... args) {
  if (!call) return;
  try {
    call.deliver(std::forward<Args>(args)...);
  } catch (...) {
    stopForThrow("in an observer of " + std::string(collection) + " on \"" + std::string(eventName) + "\"",
                 std::current_exception());
  }
}

// Calls `event` of every observer whose owner is alive, in registration
// order, with `args`; the owner is kept alive until the call returns. The
// walk is over the list as it was when the delivery began (the sphere
// iterates a snapshot), so a callback may register observers, release
// owners or assign a new list. The closure is called where it is stored
// (no copy per event); only a callback that assigns that same closure while
// it runs makes the observer keep the running one until the call returns
// (see `EventClosure`). A throw stops the program: "Uncaught exception in
// an observer of <collection> on \"<event>\": <description>".
template <class Observer, class Closure, class... Args>
void report(const WeaklyOwnedObjectsSphere<Observer>& observers, std::string_view collection,
            std::string_view eventName, Closure Observer::*event, Args&&... args) {
  for (auto it = observers.begin(); it != observers.end(); ++it) {
    // Held for the call: a view's closures point at the view, which is the
    // owner, so it must outlive a callback that drops its last holder.
    const auto owner = (*it)->owner();
    if (!owner) continue;
    deliver((**it).*event, collection, eventName, args...);
  }
}

// Reports `moved` (from, to, element) and then `updated` (to, element) in one
// walk, so each observer gets both events before the next observer gets
// either: no view hears of the move without the value that caused it.
// `self` is the collection as its observers' closures take it.
template <class Observer, class Self, class E>
void reportMovedThenUpdated(const WeaklyOwnedObjectsSphere<Observer>& observers, std::string_view collection,
                            Self& self, std::int64_t from, std::int64_t to, const E& e) {
  for (auto it = observers.begin(); it != observers.end(); ++it) {
    const auto owner = (*it)->owner();
    if (!owner) continue;
    deliver((**it).moved, collection, "moved", self, from, to, e);
    deliver((**it).updated, collection, "updated", self, to, e);
  }
}

}}  // namespace vantrel::observable_internal
