// File: vantrel/platform/kit/application.h
//
// `Application`: the process's one application object. In the headless kit
// it holds what a control may ask of the running application while it
// handles an event: the modifier keys held at that moment. There is no
// keyboard, so whoever plays the user (a test, a host driving the kit) sets
// them, most simply for the length of one click:
//
//   {
//     ScopedModifierFlags held(EventModifierFlags::option);
//     checkbox->performClick();       // the action reads option as held
//   }                                 // the keys held before are back
//   Application::shared()->currentModifierFlags().isEmpty()   // true again
//
// `EventModifierFlags` carries the classic desktop bit values (shift
// 0x20000, control 0x40000, option 0x80000, command 0x100000, ...), the same
// as the shortcuts module's `ModifierFlags`: the kit does not use that module, so
// it keeps its own set, and `ModifierFlags(flags.rawValue())` converts
// without loss (and back the same way).
//
// It also knows the windows: every live `Window` in the order made, and the
// key and main windows (weak: a window that goes stops being either). These
// are main-thread state, like the windows themselves.
//
// Beeps are counted (`beep`, `beepCount`), and a modal alert is answered by
// the modal hook, which plays the user (alert.h); main-thread state too.
//
// Thread-safety: the flags are one atomic value, so reading them from any
// thread is safe; setting them is meant for the main thread, like every
// event. `shared()` is made on first use and never destroyed.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "vantrel/core/option_set.h"
#include "vantrel/platform/kit/alert.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

class Window;
class Event;
struct EventMask;
class EventMonitor;  // the token of a local event monitor

struct EventModifierFlags : OptionSet<EventModifierFlags, std::uint64_t> {
  using OptionSet::OptionSet;

  static const EventModifierFlags capsLock;                    // 0x10000
  static const EventModifierFlags shift;                       // 0x20000
  static const EventModifierFlags control;                     // 0x40000
  static const EventModifierFlags option;                      // 0x80000
  static const EventModifierFlags command;                     // 0x100000
  static const EventModifierFlags numericPad;                  // 0x200000
  static const EventModifierFlags help;                        // 0x400000
  static const EventModifierFlags function;                    // 0x800000
  static const EventModifierFlags deviceIndependentFlagsMask;  // 0xFFFF0000
};

inline constexpr EventModifierFlags EventModifierFlags::capsLock{0x10000u};
inline constexpr EventModifierFlags EventModifierFlags::shift{0x20000u};
inline constexpr EventModifierFlags EventModifierFlags::control{0x40000u};
inline constexpr EventModifierFlags EventModifierFlags::option{0x80000u};
inline constexpr EventModifierFlags EventModifierFlags::command{0x100000u};
inline constexpr EventModifierFlags EventModifierFlags::numericPad{0x200000u};
inline constexpr EventModifierFlags EventModifierFlags::help{0x400000u};
inline constexpr EventModifierFlags EventModifierFlags::function{0x800000u};
inline constexpr EventModifierFlags EventModifierFlags::deviceIndependentFlagsMask{0xFFFF0000u};

class Application {
 public:
  // The application object.
  [[nodiscard]] static const std::shared_ptr<Application>& shared();

  // One application per process; a copy would split its state.
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  // The modifier keys held now; empty unless someone set them.
  [[nodiscard]] EventModifierFlags currentModifierFlags() const {
    return EventModifierFlags(modifierFlags_.load(std::memory_order_relaxed));
  }
  // Kept as given, unknown bits included.
  void setCurrentModifierFlags(EventModifierFlags flags) {
    modifierFlags_.store(flags.rawValue(), std::memory_order_relaxed);
  }

  // The live windows in the order they were made.
  [[nodiscard]] std::vector<std::shared_ptr<Window>> windows() const;
  // Null when no live window is key (main).
  [[nodiscard]] std::shared_ptr<Window> keyWindow() const { return keyWindow_.lock(); }
  [[nodiscard]] std::shared_ptr<Window> mainWindow() const { return mainWindow_.lock(); }

  // --- Local event monitors ------------------------------------------------------
  // A monitor sees the events of its mask before the application handles
  // them and answers the event to go on with (the one it got, or another),
  // or null to swallow it.
  using LocalEventMonitorHandler = std::function<std::shared_ptr<const Event>(const std::shared_ptr<const Event>&)>;
  // Installs a monitor; answers its token, or null when monitors are
  // refused (see `setRefusesLocalMonitors`). Monitors run in the order added.
  [[nodiscard]] std::shared_ptr<EventMonitor> addLocalMonitorForEvents(EventMask mask,
                                                                       LocalEventMonitorHandler handler);
  // Removes the monitor; unknown or null tokens are ignored. A monitor
  // removed while its handler runs lives until the handler returns.
  void removeMonitor(const std::shared_ptr<EventMonitor>& monitor);
  [[nodiscard]] std::size_t localMonitorCount() const { return localMonitors_.size(); }
  // Makes `addLocalMonitorForEvents` refuse (answer null) while set, as the
  // platform may; for tests of that path.
  void setRefusesLocalMonitors(bool refuses) { refusesLocalMonitors_ = refuses; }
  [[nodiscard]] bool refusesLocalMonitors() const { return refusesLocalMonitors_; }
  // The user's event: the monitors installed when it arrives, in order,
  // each given what the one before answered (those removed meanwhile are
  // skipped), until one swallows it. An event that gets through goes to its
  // window (`Window::sendEvent`) and is answered; a swallowed one answers
  // null. Main thread only.
  std::shared_ptr<const Event> sendEvent(std::shared_ptr<const Event> event);

  // --- Beeps and modal alerts -------------------------------------------------------
  // The system beep; there is no speaker, so beeps are counted.
  void beep() { ++beepCount_; }
  [[nodiscard]] std::int64_t beepCount() const { return beepCount_; }
  // Plays the user of a modal alert: gets the alert, answers the response of
  // the button it chooses. `Alert::runModal` answers `kModalResponseAbort`
  // when there is none. Answers the hook it replaces.
  using ModalHook = std::function<ModalResponse(Alert& alert)>;
  ModalHook setModalHook(ModalHook hook);
  [[nodiscard]] const ModalHook& modalHook() const { return modalHook_; }

 private:
  friend class Window;  // registers itself, becomes key and main
  Application() = default;

  std::atomic<std::uint64_t> modifierFlags_{0};
  std::vector<std::weak_ptr<Window>> windows_;
  std::weak_ptr<Window> keyWindow_;
  std::weak_ptr<Window> mainWindow_;
  // Local event monitors.
  std::vector<std::shared_ptr<EventMonitor>> localMonitors_;
  bool refusesLocalMonitors_ = false;

  // Beeps and modal alerts.
  std::int64_t beepCount_ = 0;
  ModalHook modalHook_;
};

// Holds `flags` as the application's current modifier flags for a scope and
// puts back the flags held before when it ends, so a test's keys never leak
// into the next test.
class ScopedModifierFlags {
 public:
  explicit ScopedModifierFlags(EventModifierFlags flags)
      : previous_(Application::shared()->currentModifierFlags()) {
    Application::shared()->setCurrentModifierFlags(flags);
  }
  ~ScopedModifierFlags() { Application::shared()->setCurrentModifierFlags(previous_); }
  ScopedModifierFlags(const ScopedModifierFlags&) = delete;
  ScopedModifierFlags& operator=(const ScopedModifierFlags&) = delete;

 private:
  EventModifierFlags previous_;
};

}  // namespace vantrel
