#include "vantrel/platform/hotkeys/x11_hot_key_service.h"

#include <X11/Xlib.h>
#include <X11/keysym.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

#include "vantrel/platform/desktop/internal/own_key_grabs.h"
#include "vantrel/platform/desktop/internal/server_calls.h"
#include "vantrel/platform/desktop/internal/x11_connection_thread.h"
#include "vantrel/platform/desktop/internal/x11_connection.h"
#include "vantrel/platform/keyboard/keyboard_layout.h"

namespace vantrel::hotkeys {

using desktop_internal::X11Connection;
using desktop_internal::X11ConnectionThread;
using desktop_internal::forgetOwnKeyGrab;
using desktop_internal::noteOwnKeyGrab;

namespace {

// The classic hot-key mask bits and the X modifiers standing for them.
struct ModifierMapping {
  std::uint32_t hotKeyBit;
  unsigned int xMask;
};
constexpr std::array<ModifierMapping, 4> kModifierMappings{{
    {0x1000, ControlMask},
    {0x0800, Mod1Mask},   // option: Alt
    {0x0200, ShiftMask},
    {0x0100, Mod4Mask},   // command: Super
}};
constexpr unsigned int kWatchedModifiers = ControlMask | Mod1Mask | ShiftMask | Mod4Mask;

unsigned int xModifiersFor(std::uint32_t hotKeyMask) {
  unsigned int mask = 0;
  for (const ModifierMapping& m : kModifierMappings) {
    if ((hotKeyMask & m.hotKeyBit) != 0) mask |= m.xMask;
  }
  return mask;
}

using desktop_internal::kServerAnswerLimit;

}  // namespace

struct X11HotKeyService::Impl {
  struct Handler {
    EventHandlerRef ref;
    EventTypeSpec type;
    std::shared_ptr<const EventHandler> handler;
  };
  struct Grab {
    EventHotKeyRef ref;
    unsigned int keycode;
    unsigned int modifiers;
    EventHotKeyID id;
  };
  Display* display = nullptr;
  Window root = 0;
  int minKeycode = 8;
  int maxKeycode = 255;
  unsigned int numLockMask = Mod2Mask;
  X11ConnectionThread thread;

  std::mutex mutex;  // guards handlers and lastRef
  std::vector<Handler> handlers;
  std::uint64_t lastRef = 0;

  // Event thread only. Errors on the connection are answers to our requests
  // (a grab another client holds); when the server goes away the event
  // thread ends and the service answers `unavailable`.
  std::vector<Grab> grabs;

  std::uint64_t nextRef() {
    std::lock_guard lock(mutex);
    return ++lastRef;
  }

  // A change of the grabs, made on the event thread while the caller waits
  // at most `kServerAnswerLimit` (at once when called from a handler). A
  // caller that stopped waiting answers `unavailable`, so a change it was
  // not told of must not stand: one that had not started never starts, and
  // a grab made meanwhile is given back.
  struct Change {
    enum State { waiting, running, done, abandoned };
    std::atomic<int> state{waiting};
    HotKeyStatus status = HotKeyStatus::unavailable;  // once done
  };

  // Runs `change` (which answers the status) on the event thread; `undo`
  // takes back a success the caller was no longer waiting for.
  HotKeyStatus changeGrabs(std::function<HotKeyStatus()> change, std::function<void()> undo) {
    auto pending = std::make_shared<Change>();
    (void)thread.run(
        [pending, change = std::move(change), undo = std::move(undo)] {
          int expected = Change::waiting;
          if (!pending->state.compare_exchange_strong(expected, Change::running)) return;
          const HotKeyStatus status = change();
          pending->status = status;
          expected = Change::running;
          if (!pending->state.compare_exchange_strong(expected, Change::done) && status == HotKeyStatus::success) {
            undo();
          }
        },
        kServerAnswerLimit);
    for (int expected : {Change::waiting, Change::running}) {
      if (pending->state.compare_exchange_strong(expected, Change::abandoned)) return HotKeyStatus::unavailable;
    }
    return pending->status;
  }

  bool lost() { return thread.lost(); }

  std::array<unsigned int, 4> lockVariants() const {
    return {0u, static_cast<unsigned int>(LockMask), numLockMask, LockMask | numLockMask};
  }

  void ungrab(const Grab& grab) {
    for (unsigned int variant : lockVariants()) {
      XUngrabKey(display, static_cast<int>(grab.keycode), grab.modifiers | variant, root);
    }
  }

  HotKeyStatus grab(unsigned int keycode, unsigned int modifiers, EventHotKeyID id, EventHotKeyRef ref) {
    const bool held = std::any_of(grabs.begin(), grabs.end(),
                                  [&](const Grab& g) { return g.keycode == keycode && g.modifiers == modifiers; });
    if (held) return HotKeyStatus::alreadyRegistered;
    const Grab g{ref, keycode, modifiers, id};
    (void)thread.connection().takeError();
    for (unsigned int variant : lockVariants()) {
      XGrabKey(display, static_cast<int>(keycode), modifiers | variant, root, False, GrabModeAsync, GrabModeAsync);
    }
    // A grab another client holds fails with BadAccess, reported only once
    // the server has answered.
    XSync(display, False);
    if (lost()) return HotKeyStatus::unavailable;
    if (thread.connection().takeError() != 0) {
      // Some of the lock variants may have succeeded: give them back.
      ungrab(g);
      XSync(display, False);
      return HotKeyStatus::refused;
    }
    grabs.push_back(g);
    // The recorder's probe meets this grab as BadAccess; the note tells it
    // that the combination is ours, not the system's.
    noteOwnKeyGrab(display, keycode, modifiers);
    return HotKeyStatus::success;
  }

  HotKeyStatus release(EventHotKeyRef ref) {
    const auto it = std::find_if(grabs.begin(), grabs.end(), [&](const Grab& g) { return g.ref == ref; });
    if (it == grabs.end()) return HotKeyStatus::unknownReference;
    const Grab g = *it;
    grabs.erase(it);
    forgetOwnKeyGrab(display, g.keycode, g.modifiers);
    ungrab(g);
    XSync(display, False);
    return lost() ? HotKeyStatus::unavailable : HotKeyStatus::success;
  }

  void keyPressed(const XKeyEvent& event) {
    const unsigned int modifiers = event.state & kWatchedModifiers;
    const auto it = std::find_if(grabs.begin(), grabs.end(), [&](const Grab& g) {
      return g.keycode == event.keycode && g.modifiers == modifiers;
    });
    if (it == grabs.end()) return;
    const HotKeyEvent pressed{kEventClassKeyboard, kEventHotKeyPressed, it->id};
    std::vector<std::shared_ptr<const EventHandler>> targets;
    {
      std::lock_guard lock(mutex);
      for (const Handler& h : handlers) {
        if (h.type == kHotKeyPressedEventType) targets.push_back(h.handler);
      }
    }
    for (const auto& handler : targets) (*handler)(pressed);
  }

  // On the event thread, so that only it talks to the connection.
  bool openConnection(X11Connection& connection) {
    display = connection.display();
    root = DefaultRootWindow(display);
    XDisplayKeycodes(display, &minKeycode, &maxKeycode);
    // The modifier that Num Lock sets (Mod2 on common keymaps).
    if (XModifierKeymap* map = XGetModifierMapping(display)) {
      const KeyCode numLock = XKeysymToKeycode(display, XK_Num_Lock);
      for (int modifier = 0; modifier < 8 && numLock != 0; ++modifier) {
        for (int k = 0; k < map->max_keypermod; ++k) {
          if (map->modifiermap[modifier * map->max_keypermod + k] == numLock) numLockMask = 1u << modifier;
        }
      }
      XFreeModifiermap(map);
    }
    return true;
  }

  void handle(const XEvent& event) {
    if (event.type == KeyPress) keyPressed(event.xkey);
  }

  void close(bool lost) {
    for (const Grab& g : grabs) forgetOwnKeyGrab(display, g.keycode, g.modifiers);
    if (!lost) {
      for (const Grab& g : grabs) ungrab(g);
      XSync(display, False);
    }
    grabs.clear();
    display = nullptr;
  }
};

std::shared_ptr<X11HotKeyService> X11HotKeyService::open(const std::string& displayName) {
  auto impl = std::make_shared<Impl>();
  Impl* const raw = impl.get();
  X11ConnectionThread::Hooks hooks;
  hooks.open = [raw](X11Connection& connection) { return raw->openConnection(connection); };
  hooks.event = [raw](const XEvent& event) { raw->handle(event); };
  hooks.close = [raw](bool lost) { raw->close(lost); };
  // The event thread holds the state too, so it can end safely even when
  // the service is released on the thread itself (by a handler).
  if (!impl->thread.start(displayName, std::move(hooks), impl, kServerAnswerLimit)) return nullptr;
  return std::make_shared<X11HotKeyService>(Passkey{}, std::move(impl));
}

X11HotKeyService::X11HotKeyService(Passkey, std::shared_ptr<Impl> impl) : impl_(std::move(impl)) {}

X11HotKeyService::~X11HotKeyService() { impl_->thread.stop(); }

HotKeyStatus X11HotKeyService::installEventHandler(EventTypeSpec type, EventHandler handler,
                                                   EventHandlerRef& outRef) {
  std::lock_guard lock(impl_->mutex);
  if (!impl_->thread.isRunning()) return HotKeyStatus::unavailable;
  const EventHandlerRef ref{++impl_->lastRef};
  impl_->handlers.push_back(Impl::Handler{ref, type, std::make_shared<const EventHandler>(std::move(handler))});
  outRef = ref;
  return HotKeyStatus::success;
}

HotKeyStatus X11HotKeyService::removeEventHandler(EventHandlerRef ref) {
  std::lock_guard lock(impl_->mutex);
  auto& handlers = impl_->handlers;
  const auto it =
      std::find_if(handlers.begin(), handlers.end(), [&](const Impl::Handler& h) { return h.ref == ref; });
  if (it == handlers.end()) return HotKeyStatus::unknownReference;
  handlers.erase(it);
  return HotKeyStatus::success;
}

HotKeyStatus X11HotKeyService::registerEventHotKey(std::uint32_t keyCode, std::uint32_t modifiers, EventHotKeyID id,
                                                   EventHotKeyRef& outRef) {
  const std::optional<std::uint32_t> evdev = keyboard::evdevCodeForKeyCode(keyCode);
  if (!evdev) return HotKeyStatus::invalidKey;
  const std::int64_t keycode = static_cast<std::int64_t>(*evdev) + 8;
  if (keycode < impl_->minKeycode || keycode > impl_->maxKeycode) return HotKeyStatus::invalidKey;
  const EventHotKeyRef ref{impl_->nextRef()};
  // The commands may run after this call has returned: they hold the state
  // by raw pointer, which the event thread keeps alive while it runs them.
  Impl* const impl = impl_.get();
  const HotKeyStatus status = impl->changeGrabs(
      [impl, keycode, modifiers, id, ref] {
        return impl->grab(static_cast<unsigned int>(keycode), xModifiersFor(modifiers), id, ref);
      },
      [impl, ref] { (void)impl->release(ref); });
  if (status == HotKeyStatus::success) outRef = ref;
  return status;
}

HotKeyStatus X11HotKeyService::unregisterEventHotKey(EventHotKeyRef ref) {
  Impl* const impl = impl_.get();
  return impl->changeGrabs([impl, ref] { return impl->release(ref); }, [] {});
}

bool X11HotKeyService::isConnected() const { return impl_->thread.isConnected(); }

}  // namespace vantrel::hotkeys
