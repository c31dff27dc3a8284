// File: vantrel/platform/hotkeys/x11_hot_key_service.h
//
// `hotkeys::X11HotKeyService`: system-wide hot keys on an X display. Each
// registered combination is grabbed on the root window, also with Caps Lock
// and Num Lock held (so a lit lock key does not block the shortcut), and a
// press of it reaches the installed handlers with the registered id.
//
//   if (auto service = hotkeys::X11HotKeyService::open(":0")) { ... }
//
// Key codes map to the key at the same place on a PC keyboard (the X key
// code is the evdev code + 8, as X servers with evdev rules number them);
// a key code without such a key answers `invalidKey`. Masks: control is
// Control, option Mod1 (Alt), shift Shift, command Mod4 (Super). A
// combination another client has grabbed answers `refused`; one this
// service already holds answers `alreadyRegistered`.
//
// Threads: the service owns one connection and one event thread, the only
// thread that talks to the display; registrations are carried out on it
// while the caller waits, and handlers are called on it (one that throws is
// reported on standard error, and later presses still arrive). If the display
// goes away the thread ends and every later call answers `unavailable`, as
// it does in a child forked since (the thread is the parent's). Destroying
// the service releases its grabs and closes the connection.
//
// An X server that stops answering holds the event thread, never a caller:
// opening, each registration and the destruction wait at most 5 s for it.
// A registration that has not answered by then answers `unavailable` and
// does not take effect (a grab made meanwhile is given back); an
// unregistration that answers `unavailable` that way may still release the
// key. Thread-safe.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "vantrel/platform/hotkeys/hot_key_service.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API { namespace hotkeys {

class X11HotKeyService final : public HotKeyService {
 public:
  // Connects to `displayName` (":99"; "" for $DISPLAY); nullptr when no
  // display can be opened there.
  [[nodiscard]] static std::shared_ptr<X11HotKeyService> open(const std::string& displayName);

  ~X11HotKeyService() override;
  X11HotKeyService(const X11HotKeyService&) = delete;  // owns a connection and a thread
  X11HotKeyService& operator=(const X11HotKeyService&) = delete;

  HotKeyStatus installEventHandler(EventTypeSpec type, EventHandler handler, EventHandlerRef& outRef) override;
  HotKeyStatus removeEventHandler(EventHandlerRef ref) override;
  HotKeyStatus registerEventHotKey(std::uint32_t keyCode, std::uint32_t modifiers, EventHotKeyID id,
                                   EventHotKeyRef& outRef) override;
  HotKeyStatus unregisterEventHotKey(EventHotKeyRef ref) override;

  // False once the connection to the display is lost.
  [[nodiscard]] bool isConnected() const;

  struct Impl;

 private:
  struct Passkey {};

 public:
  X11HotKeyService(Passkey, std::shared_ptr<Impl> impl);

 private:
  std::shared_ptr<Impl> impl_;  // shared with the event thread, which closes the display
};

}}  // namespace vantrel::hotkeys
