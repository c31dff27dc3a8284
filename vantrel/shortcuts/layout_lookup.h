// File: vantrel/shortcuts/layout_lookup.h
//
// `HotKeyHelper::lookupKeyCode`: the text a key types in the keyboard layout
// in use, with no modifier held. Letters come out in lower case.
//
//   HotKeyHelper::lookupKeyCode(0)     "a"   (the A key, on "us" and "de")
//   HotKeyHelper::lookupKeyCode(16)    "y" on "us", "z" on "de"
//   HotKeyHelper::lookupKeyCode(24)    "=" on "us", nullopt on "de" (dead key ´)
//
// The layout in use, and how a host or a test chooses it, is described in
// vantrel/platform/keyboard/keyboard_layout.h; every call answers from the
// layout in use at that moment. Thread-safe.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "vantrel/api.h"
namespace vantrel VANTREL_API { namespace HotKeyHelper {

// The key's text, or nullopt for a dead key, a key that types nothing, an
// unassigned code and any code outside 0...65535 (refused, never truncated to
// 16 bits, which would name another key). When the layout in use cannot be
// loaded, prints "Error at = " and the key code and answers nullopt.
[[nodiscard]] std::optional<std::string> lookupKeyCode(std::int64_t keyCode);

// For developers: one line per configured input source (keyboard layout),
// its index from 0, " val = " and its identifier ("us", "de(nodeadkeys)").
void debug_printAllKeyboardInputSources();

}}  // namespace vantrel::HotKeyHelper
