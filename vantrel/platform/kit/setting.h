// File: vantrel/platform/kit/setting.h
//
// `Setting<T>`: a process-wide value the host may replace, such as a default
// priority, a default frame or a conversion function. Each setting is a
// function-local static behind an accessor, so it is created safely on first
// use, even under concurrent first use, and never destroyed (a thread that
// is never joined may read it during exit):
//
//   Setting<float>& LayoutPriorityDefaultLow() {
//     static NoDestructor<Setting<float>> setting(250.0f);
//     return *setting;
//   }
//   LayoutPriorityDefaultLow().set(200);        // later reads see 200
//   float p = LayoutPriorityDefaultLow().get();
//   LayoutPriorityDefaultLow().reset();         // back to 250 (tests)
//
// A setting holding a callable can be called directly: `PointFromString()(text)`
// calls the function current at the time of the call.
//
// Reads and writes are serialised by a mutex, so a write racing a read is
// safe; `get` returns a copy and a called function runs outside the lock.
#pragma once

#include <concepts>
#include <mutex>
#include <utility>

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

template <class T>
class Setting {
 public:
  explicit Setting(T initial) : initial_(initial), value_(std::move(initial)) {}

  // Settings are identities; copying one would fork it.
  Setting(const Setting&) = delete;
  Setting& operator=(const Setting&) = delete;

  [[nodiscard]] T get() const {
    std::lock_guard lock(mutex_);
    return value_;
  }
  void set(T value) {
    std::lock_guard lock(mutex_);
    value_ = std::move(value);
  }
  // Back to the value the setting was created with.
  void reset() { set(initial_); }

  template <class... Args>
    requires std::invocable<const T&, Args...>
  decltype(auto) operator()(Args&&... args) const {
    const T function = get();
    return function(std::forward<Args>(args)...);
  }

 private:
  const T initial_;
  mutable std::mutex mutex_;
  T value_;
};

}  // namespace vantrel
