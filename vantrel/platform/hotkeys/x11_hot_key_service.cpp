#include "vantrel/platform/hotkeys/x11_hot_key_service.h"

#include <poll.h>
#include <unistd.h>

#include <X11/Xlib.h>
#include <X11/keysym.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

#include "vantrel/platform/desktop/own_key_grabs.h"
#include "vantrel/platform/desktop/thread_commands.h"
#include "vantrel/platform/desktop/x11_connection.h"
#include "vantrel/platform/keyboard/keyboard_layout.h"

namespace vantrel::hotkeys {

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
  ThreadCommands commands;
  std::thread thread;
  std::thread::id threadId;
  std::atomic<bool> connected{true};

  std::mutex mutex;  // guards handlers and lastRef
  std::vector<Handler> handlers;
  std::uint64_t lastRef = 0;

  // Event thread only. Errors on the connection are answers to our requests
  // (a grab another client holds); when the server goes away the event
  // thread ends and the service answers `unavailable`.
  std::unique_ptr<X11Connection> connection;
  std::vector<Grab> grabs;

  std::uint64_t nextRef() {
    std::lock_guard lock(mutex);
    return ++lastRef;
  }

  // Runs `work` on the event thread and waits for it; false when the thread
  // has ended, in which case `work` did not run.
  bool runOnEventThread(std::function<void()> work) {
    if (std::this_thread::get_id() == threadId) {
      work();
      return true;
    }
    return commands.run(std::move(work));
  }

  // Event thread: whether the server is gone (then `connected` drops too).
  bool lost() {
    if (connection->isLost()) connected = false;
    return !connected;
  }

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
    (void)connection->takeError();
    for (unsigned int variant : lockVariants()) {
      XGrabKey(display, static_cast<int>(keycode), modifiers | variant, root, False, GrabModeAsync, GrabModeAsync);
    }
    // A grab another client holds fails with BadAccess, reported only once
    // the server has answered.
    XSync(display, False);
    if (lost()) return HotKeyStatus::unavailable;
    if (connection->takeError() != 0) {
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

  bool openConnection(const std::string& displayName);
  void loop();
};

// On the event thread, so that only it talks to the connection.
bool X11HotKeyService::Impl::openConnection(const std::string& displayName) {
  connection = std::make_unique<X11Connection>(displayName);
  if (!connection->isOpen()) {
    connection.reset();
    return false;
  }
  display = connection->display();
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
  if (lost()) {
    display = nullptr;
    connection.reset();
    return false;
  }
  return true;
}

void X11HotKeyService::Impl::loop() {
  for (;;) {
    commands.runPending();
    if (commands.stopRequested()) break;
    while (!lost() && XPending(display) > 0) {
      XEvent event;
      XNextEvent(display, &event);
      if (event.type == KeyPress) keyPressed(event.xkey);
    }
    if (lost()) break;
    pollfd fds[2] = {{ConnectionNumber(display), POLLIN, 0}, {commands.wakeFd(), POLLIN, 0}};
    const int ready = ::poll(fds, 2, -1);
    if (ready < 0 && errno != EINTR) break;
    if ((fds[1].revents & POLLIN) != 0) commands.drainWakeups();
    // A hung-up connection is read (and reported) by XPending on the next pass.
  }
  for (const Grab& g : grabs) forgetOwnKeyGrab(display, g.keycode, g.modifiers);
  if (!lost()) {
    for (const Grab& g : grabs) ungrab(g);
    XSync(display, False);
  }
  grabs.clear();
  display = nullptr;
  connection.reset();
  connected = false;
  commands.finish();
}

std::shared_ptr<X11HotKeyService> X11HotKeyService::open(const std::string& displayName) {
  auto impl = std::make_shared<Impl>();
  if (!impl->commands.valid()) return nullptr;
  // The event thread holds the state too, so it can end safely even when
  // the service is released on the thread itself.
  const bool opened = startConnectionThread(
      impl->thread,
      [impl, displayName] {
        impl->threadId = std::this_thread::get_id();
        return impl->openConnection(displayName);
      },
      [impl] { impl->loop(); });
  if (!opened) return nullptr;
  return std::make_shared<X11HotKeyService>(Passkey{}, std::move(impl));
}

X11HotKeyService::X11HotKeyService(Passkey, std::shared_ptr<Impl> impl) : impl_(std::move(impl)) {}

X11HotKeyService::~X11HotKeyService() {
  impl_->commands.requestStop();
  if (std::this_thread::get_id() == impl_->thread.get_id()) {
    impl_->thread.detach();
  } else {
    impl_->thread.join();
  }
}

HotKeyStatus X11HotKeyService::installEventHandler(EventTypeSpec type, EventHandler handler,
                                                   EventHandlerRef& outRef) {
  std::lock_guard lock(impl_->mutex);
  if (!impl_->commands.running()) return HotKeyStatus::unavailable;
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
  HotKeyStatus status = HotKeyStatus::unavailable;
  impl_->runOnEventThread(
      [&] { status = impl_->grab(static_cast<unsigned int>(keycode), xModifiersFor(modifiers), id, ref); });
  if (status == HotKeyStatus::success) outRef = ref;
  return status;
}

HotKeyStatus X11HotKeyService::unregisterEventHotKey(EventHotKeyRef ref) {
  HotKeyStatus status = HotKeyStatus::unavailable;
  impl_->runOnEventThread([&] { status = impl_->release(ref); });
  return status;
}

bool X11HotKeyService::isConnected() const { return impl_->connected; }

}  // namespace vantrel::hotkeys
