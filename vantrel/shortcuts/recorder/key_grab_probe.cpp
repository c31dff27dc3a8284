#include "vantrel/shortcuts/recorder/key_grab_probe.h"

#include <array>
#include <optional>

#include "vantrel/platform/keyboard/keyboard_layout.h"

#if VANTREL_WITH_X11
#include <X11/Xlib.h>
#include <X11/keysym.h>

#include "vantrel/core/no_destructor.h"
#include "vantrel/platform/desktop/internal/own_key_grabs.h"
#include "vantrel/platform/desktop/internal/server_calls.h"
#include "vantrel/platform/desktop/internal/x11_connection.h"
#endif

namespace vantrel {

#if VANTREL_WITH_X11

namespace {

unsigned int xModifiersFor(std::uint32_t carbonModifiers) {
  unsigned int mask = 0;
  if ((carbonModifiers & 0x1000) != 0) mask |= ControlMask;
  if ((carbonModifiers & 0x0800) != 0) mask |= Mod1Mask;
  if ((carbonModifiers & 0x0200) != 0) mask |= ShiftMask;
  if ((carbonModifiers & 0x0100) != 0) mask |= Mod4Mask;
  return mask;
}

// The modifier Num Lock sets (Mod2 on common keymaps).
unsigned int numLockMask(Display* display) {
  unsigned int mask = Mod2Mask;
  if (XModifierKeymap* map = XGetModifierMapping(display)) {
    const KeyCode numLock = XKeysymToKeycode(display, XK_Num_Lock);
    for (int modifier = 0; modifier < 8 && numLock != 0; ++modifier) {
      for (int k = 0; k < map->max_keypermod; ++k) {
        if (map->modifiermap[modifier * map->max_keypermod + k] == numLock) mask = 1u << modifier;
      }
    }
    XFreeModifiermap(map);
  }
  return mask;
}

KeyGrabProbe probeOnThisThread(std::uint32_t evdev, std::uint32_t carbonModifiers, const std::string& displayName) {
  // Errors on this connection are the answers we want (BadAccess).
  desktop_internal::X11Connection connection(displayName);
  if (!connection.isOpen()) return KeyGrabProbe::unavailable;
  Display* const display = connection.display();

  KeyGrabProbe result = KeyGrabProbe::unavailable;
  int minKeycode = 8;
  int maxKeycode = 255;
  XDisplayKeycodes(display, &minKeycode, &maxKeycode);
  const std::int64_t keycode = static_cast<std::int64_t>(evdev) + 8;
  if (keycode >= minKeycode && keycode <= maxKeycode && connection.isOpen()) {
    const Window root = DefaultRootWindow(display);
    const unsigned int modifiers = xModifiersFor(carbonModifiers);
    // The hot-key service's grabs are this program's own: trying them would
    // only meet BadAccess from our other connection.
    if (desktop_internal::isOwnKeyGrab(display, static_cast<unsigned int>(keycode), modifiers)) return KeyGrabProbe::heldByThisProcess;
    const unsigned int numLock = numLockMask(display);
    const std::array<unsigned int, 4> variants{0u, static_cast<unsigned int>(LockMask), numLock, LockMask | numLock};
    for (unsigned int variant : variants) {
      XGrabKey(display, static_cast<int>(keycode), modifiers | variant, root, False, GrabModeAsync, GrabModeAsync);
    }
    // BadAccess arrives only once the server has answered.
    XSync(display, False);
    const int grabError = connection.takeError();
    // Give back whatever variants were granted; a grab of another client
    // is not touched by our ungrab.
    for (unsigned int variant : variants) XUngrabKey(display, static_cast<int>(keycode), modifiers | variant, root);
    XSync(display, False);
    if (connection.isOpen() && grabError == 0) result = KeyGrabProbe::free;
    if (connection.isOpen() && grabError == BadAccess) result = KeyGrabProbe::heldByAnotherClient;
  }
  return result;
}

}  // namespace

KeyGrabProbe probeKeyGrab(std::int64_t keyCode, std::uint32_t carbonModifiers, const std::string& displayName) {
  const std::optional<std::uint32_t> evdev = keyboard::evdevCodeForKeyCode(keyCode);
  if (!evdev) return KeyGrabProbe::unavailable;
  // On a thread of its own: a server that stops answering holds that
  // thread, not the caller (see server_calls.h). A probe left waiting gives
  // its grab back itself once the server answers.
  static NoDestructor<desktop_internal::ServerCalls> calls;
  return calls
      ->ask([evdev = *evdev, carbonModifiers, displayName] { return probeOnThisThread(evdev, carbonModifiers, displayName); },
            desktop_internal::kServerAnswerLimit)
      .value_or(KeyGrabProbe::unavailable);
}

#else

KeyGrabProbe probeKeyGrab(std::int64_t, std::uint32_t, const std::string&) { return KeyGrabProbe::unavailable; }

#endif  // VANTREL_WITH_X11

bool isCombinationHeldByAnotherClient(std::int64_t keyCode, std::uint32_t carbonModifiers) {
  return probeKeyGrab(keyCode, carbonModifiers) == KeyGrabProbe::heldByAnotherClient;
}

}  // namespace vantrel
