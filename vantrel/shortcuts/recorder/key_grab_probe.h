// File: vantrel/shortcuts/recorder/key_grab_probe.h
//
// Whether another client of the X server holds a key combination: the
// probe tries a passive grab of the combination on the root window, with
// the Caps Lock and Num Lock variants, and releases at once what it got.
// The server refuses a grab another client holds (BadAccess), so this finds
// the combinations of the window manager and of other programs that no
// settings file lists.
//
//   isCombinationHeldByAnotherClient(118, 0x800)   true under a window
//                                                  manager that closes on Alt+F4
//
// Key codes are virtual key codes, modifiers the hot-key mask (control
// 0x1000, option/Alt 0x800, shift 0x200, command/Super 0x100). Each probe
// opens its own connection to $DISPLAY (or `displayName`) and leaves no
// grab behind. A combination the process's hot-key service holds is its
// own (`heldByThisProcess`), not another client's. Thread-safe.
#pragma once

#include <cstdint>
#include <string>

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

enum class KeyGrabProbe {
  free,                 // the server granted the grab (released again)
  heldByAnotherClient,  // BadAccess: another client holds it
  heldByThisProcess,    // the process's hot-key service holds it
  unavailable,          // no display, no X11 in this build, or no such key
};

[[nodiscard]] KeyGrabProbe probeKeyGrab(std::int64_t keyCode, std::uint32_t carbonModifiers,
                                        const std::string& displayName = {});

// `probeKeyGrab(...) == KeyGrabProbe::heldByAnotherClient` on $DISPLAY.
[[nodiscard]] bool isCombinationHeldByAnotherClient(std::int64_t keyCode, std::uint32_t carbonModifiers);

}  // namespace vantrel
