// File: vantrel/platform/desktop/internal/own_key_grabs.h
//
// The key combinations this process has grabbed on X displays (the hot-key
// service notes each grab and its release). The X server refuses a grab
// that another connection holds, even one of this same process, and does
// not say whose it is; this list tells the process's own grabs apart.
//
//   noteOwnKeyGrab(display, keycode, ControlMask | Mod1Mask);
//   isOwnKeyGrab(probeDisplay, keycode, ControlMask | Mod1Mask)   true
//
// Combinations are an X key code and X modifiers without the lock
// variants, on the server a connection talks to (connections to the same
// display name, screen aside, are the same server). Without X11 nothing is
// held. Thread-safe; the list is never destroyed.
#pragma once

#include "vantrel/api.h"

struct _XDisplay;

namespace vantrel VANTREL_API {
namespace desktop_internal {

void noteOwnKeyGrab(_XDisplay* display, unsigned int keycode, unsigned int modifiers);
// Forgets one note of the combination.
void forgetOwnKeyGrab(_XDisplay* display, unsigned int keycode, unsigned int modifiers);
[[nodiscard]] bool isOwnKeyGrab(_XDisplay* display, unsigned int keycode, unsigned int modifiers);

}  // namespace desktop_internal
}  // namespace vantrel
