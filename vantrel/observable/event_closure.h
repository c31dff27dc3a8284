// File: vantrel/observable/event_closure.h
//
// `EventClosure<void(Args...)>`: the type of each event closure of the
// observer classes. It is set, cleared and tested like the `std::function`
// it holds:
//
//   o.inserted = [](Kerray<Row>&, std::int64_t at, const Row& e) { ... };
//   o.inserted = nullptr;                 // stop listening for that event
//   if (o.inserted) o.inserted(k, 0, e);  // call it directly
//
// The delivery calls the closure where it is stored, without copying it per
// event. A closure that assigns its own slot while it runs (a self-replacing
// or self-clearing observer) would destroy the function it is running in:
// the slot then keeps the running function aside until the outermost call
// of it returns. That is the only case that keeps a second function.
// Not thread-safe, like the collections.
#pragma once

#include <concepts>
#include <cstddef>
#include <functional>
#include <memory>
#include <type_traits>
#include <utility>
#include <vector>

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

template <class Signature>
class EventClosure;

template <class... Args>
class EventClosure<void(Args...)> {
 public:
  using Function = std::function<void(Args...)>;

  EventClosure() = default;
  EventClosure(std::nullptr_t) {}  // NOLINT: reads like a std::function
  template <class F>
    requires(!std::same_as<std::remove_cvref_t<F>, EventClosure> && std::constructible_from<Function, F>)
  EventClosure(F&& f) {  // NOLINT: assigned from lambdas like a std::function
    assign(Function(std::forward<F>(f)));
  }
  EventClosure(const EventClosure& other) {
    if (other.function_) assign(Function(*other.function_));
  }
  EventClosure& operator=(const EventClosure& other) {
    if (this != &other) assign(other.function_ ? Function(*other.function_) : Function());
    return *this;
  }
  EventClosure& operator=(std::nullptr_t) {
    assign(Function());
    return *this;
  }
  template <class F>
    requires(!std::same_as<std::remove_cvref_t<F>, EventClosure> && std::constructible_from<Function, F>)
  EventClosure& operator=(F&& f) {
    assign(Function(std::forward<F>(f)));
    return *this;
  }
  ~EventClosure() = default;

  explicit operator bool() const { return function_ != nullptr; }

  // Calls the closure (it must be set).
  void operator()(Args... args) const { (*function_)(std::forward<Args>(args)...); }

  // The delivery's call: as `operator()`, but a reassignment made by the
  // closure itself while it runs keeps the running function alive.
  template <class... Given>
  void deliver(Given&&... args) {
    Function* running = function_.get();
    ++depth_;
    struct Leave {
      EventClosure& self;
      ~Leave() {
        if (--self.depth_ == 0) self.retired_.clear();
      }
    } leave{*this};
    (*running)(std::forward<Given>(args)...);
  }

 private:
  void assign(Function f) {
    std::unique_ptr<Function> next = f ? std::make_unique<Function>(std::move(f)) : nullptr;
    if (depth_ > 0 && function_) retired_.push_back(std::move(function_));
    function_ = std::move(next);
  }

  // On the heap so that a function kept aside does not move while it runs.
  std::unique_ptr<Function> function_;
  int depth_ = 0;
  std::vector<std::unique_ptr<Function>> retired_;
};

}  // namespace vantrel
