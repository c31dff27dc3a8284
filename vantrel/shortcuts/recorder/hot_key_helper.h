// File: vantrel/shortcuts/recorder/hot_key_helper.h
//
// `HotKeyHelper::isShortcutAlreadyTakenBySystem`: whether the desktop keeps a
// key combination for itself, asked of the system hot-key provider
// (system_hot_keys.h); and a developer dump of the desktop's combinations.
//
//   HotKeyHelper::isShortcutAlreadyTakenBySystem(Shortcut(48, ModifierFlags::command))
//                                    HotKeyHelperError::alreadyUsed   when "cmd,48" is listed
//   HotKeyHelper::debug_printAllSystemHotKeys();
//                                    "sc = cmd-⇥ -> rawModifiers: 256, rawKeyCode: 48"
//
// An entry matches when it is enabled, its key code equals the shortcut's
// and `ModifierFlags::fromCarbonInt` of its mask equals the shortcut's flags
// exactly (all 64 bits: a shortcut that also carries Caps Lock matches
// nothing; mask bits beyond the four modifiers are dropped by the reading).
//
// While the default provider answers, a combination no list holds is also
// asked of the X server (key_grab_probe.h): another client's grab (the
// window manager's, another program's) makes it taken too. An installed
// provider stands in for the whole system, probe included.
//
// A provider that fails (status not 0) never stops the program, since the
// check runs inside key handling: one line is printed and the answer is
// "not taken" (the dump prints that line and nothing else):
//
//   ❌ Cannot CopySymbolicHotKeys, status 13: system shortcuts not checked
//
// Main thread, like the recorder (the provider is process-wide state).
#pragma once

#include <optional>

#include "vantrel/shortcuts/shortcut.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

// The answer of the system check; returned, not thrown. All values are
// equal (one case) and hash alike.
enum class HotKeyHelperError { alreadyUsed };

namespace HotKeyHelper {

// `alreadyUsed` when an enabled system hot key has the shortcut's key code
// and exactly its modifier flags, or (default provider only) another X
// client holds the combination; nullopt otherwise, also when there is no
// list or it cannot be read.
[[nodiscard]] std::optional<HotKeyHelperError> isShortcutAlreadyTakenBySystem(const Shortcut& shortcut);

// For developers: one line per enabled system hot key, by ascending raw key
// code: "sc = ", the modifiers' short words, "-", the key's symbol text
// upper-cased ("" when it has none), " -> rawModifiers: ", the raw mask,
// ", rawKeyCode: ", the raw key code (both decimal).
void debug_printAllSystemHotKeys();

}  // namespace HotKeyHelper

}  // namespace vantrel
