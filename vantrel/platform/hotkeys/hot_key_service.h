// File: vantrel/platform/hotkeys/hot_key_service.h
//
// `hotkeys::HotKeyService`: the system's hot-key service as the hot-key
// manager sees it. An application installs event handlers on its event
// target, registers key combinations under a hot-key id (a 32-bit signature
// and a 32-bit number), and receives one event per press of a registered
// combination, carrying that id, in every installed handler.
//
//   auto service = hotkeys::applicationHotKeyService();
//   hotkeys::EventHandlerRef handler;
//   service->installEventHandler(hotkeys::kHotKeyPressedEventType,
//                                [](const hotkeys::HotKeyEvent& e) { ... }, handler);
//   hotkeys::EventHotKeyRef ref;
//   if (service->registerEventHotKey(0, 0x1100, {fourCharCode("vtrl"), 1}, ref) ==
//       hotkeys::HotKeyStatus::success) { ... }
//   service->unregisterEventHotKey(ref);
//
// Key codes are the classic desktop virtual key codes (0 is the A key, see
// vantrel/platform/keyboard/keyboard_layout.h); modifier masks are the
// classic hot-key masks (control 0x1000, option 0x800, shift 0x200, command
// 0x100; other bits are ignored).
//
// Two backends: `InProcessHotKeyService` (in_process_hot_key_service.h),
// which only sees the presses the program reports to it, and
// `X11HotKeyService` (x11_hot_key_service.h), which grabs the keys on an X
// display. Failures are statuses, never exceptions. Every member may be
// called from any thread; handlers run on the thread that delivers the
// press (the caller of an in-process injection, the X11 event thread) and
// must not block it for long.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "vantrel/api.h"
namespace vantrel VANTREL_API { namespace hotkeys {

// The keyboard event class (the characters k, e, y, b).
inline constexpr std::uint32_t kEventClassKeyboard = 0x6B657962;
// The kind of a hot-key press within the keyboard class.
inline constexpr std::uint32_t kEventHotKeyPressed = 5;

struct EventTypeSpec {
  std::uint32_t eventClass = 0;
  std::uint32_t eventKind = 0;
  friend bool operator==(const EventTypeSpec&, const EventTypeSpec&) = default;
};

inline constexpr EventTypeSpec kHotKeyPressedEventType{kEventClassKeyboard, kEventHotKeyPressed};

// The id under which a combination is registered and delivered.
struct EventHotKeyID {
  std::uint32_t signature = 0;
  std::uint32_t id = 0;
  friend bool operator==(const EventHotKeyID&, const EventHotKeyID&) = default;
};

// One event as a handler receives it. `hotKeyID` is the event's direct
// object; it is absent when the event carries none (reading it fails).
struct HotKeyEvent {
  std::uint32_t eventClass = kEventClassKeyboard;
  std::uint32_t eventKind = kEventHotKeyPressed;
  std::optional<EventHotKeyID> hotKeyID;
};

using EventHandler = std::function<void(const HotKeyEvent&)>;

// Opaque references handed out by a service; a reference is never reused by
// the service that issued it. 0 is no reference.
struct EventHandlerRef {
  std::uint64_t value = 0;
  friend bool operator==(const EventHandlerRef&, const EventHandlerRef&) = default;
};
struct EventHotKeyRef {
  std::uint64_t value = 0;
  friend bool operator==(const EventHotKeyRef&, const EventHotKeyRef&) = default;
};

enum class HotKeyStatus {
  success,
  // The combination is already registered with this service.
  alreadyRegistered,
  // Another application holds the combination, or the service refused it.
  refused,
  // The key code names no key this service can watch.
  invalidKey,
  // A reference this service did not issue, or no longer holds.
  unknownReference,
  // The service has lost its connection to the system.
  unavailable,
};

class HotKeyService {
 public:
  virtual ~HotKeyService() = default;

  // Installs `handler` for events of `type` on the application's event
  // target; on success `outRef` names it.
  virtual HotKeyStatus installEventHandler(EventTypeSpec type, EventHandler handler,
                                           EventHandlerRef& outRef) = 0;
  // After this returns the handler is not called again, except that a call
  // already running on another thread may finish.
  virtual HotKeyStatus removeEventHandler(EventHandlerRef ref) = 0;

  // Registers a key combination under `id`; on success `outRef` names it.
  virtual HotKeyStatus registerEventHotKey(std::uint32_t keyCode, std::uint32_t modifiers, EventHotKeyID id,
                                           EventHotKeyRef& outRef) = 0;
  virtual HotKeyStatus unregisterEventHotKey(EventHotKeyRef ref) = 0;
};

// The service of this process: the one given to
// `setApplicationHotKeyService`, else, chosen on first use, an
// `X11HotKeyService` on $DISPLAY when that display can be opened, else an
// `InProcessHotKeyService`. Thread-safe.
[[nodiscard]] std::shared_ptr<HotKeyService> applicationHotKeyService();

// Chooses the service `applicationHotKeyService` answers from now on (a
// host that wants presses from somewhere else); nullptr makes the next call
// choose again. Code that already holds the previous service (the shared
// hot-key manager, once made) keeps it.
void setApplicationHotKeyService(std::shared_ptr<HotKeyService> service);

}}  // namespace vantrel::hotkeys
