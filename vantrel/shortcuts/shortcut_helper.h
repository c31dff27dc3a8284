// File: vantrel/shortcuts/shortcut_helper.h
//
// `ShortcutHelper`: virtual key codes to text and back.
//
//   ShortcutHelper::symbolsStringForKeyCode(36)    "↩"       (fixed key)
//   ShortcutHelper::symbolsStringForKeyCode(49)    "Space"
//   ShortcutHelper::symbolsStringForKeyCode(0)     "a"       (from the layout)
//   ShortcutHelper::stringForKeyCode(0)            "a-KEY"
//   ShortcutHelper::stringForKeyCode(82)           "ANSI_Keypad0"
//   ShortcutHelper::keyCodeForString("F5")         96
//   ShortcutHelper::keyCodeForString("A")          0 on "us"
//
// Fixed keys (Return, Tab, Space, Delete, Escape, Help, Home, End, the page
// and arrow keys, Forward Delete, the keypad and F1 to F19) have fixed texts;
// every other key answers with the text it types in the keyboard layout in
// use (`HotKeyHelper::lookupKeyCode`), so letters, digits and punctuation
// follow the layout, with no refresh needed after a layout change.
//
// `NotFound` (the largest int64_t) stands for "no key"; both text lookups
// answer "" for it.
// Key codes outside 0...65535 other than that have no text (nullopt): they
// are never truncated to 16 bits. Nothing throws; nothing is cached.
// Thread-safe.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "vantrel/text/string_services.h"  // NotFound

#include "vantrel/api.h"
namespace vantrel VANTREL_API { namespace ShortcutHelper {

// The short text shown for a key in a shortcut: a glyph ("↩", "⌅", "⌫"), a
// function key ("F5"), a keypad character ("0", "*", the en dash "–" for
// keypad minus), "Space", or else the layout's text for the key (unchanged,
// nullopt when it types nothing, such as a dead key). "" for NotFound.
[[nodiscard]] std::optional<std::string> symbolsStringForKeyCode(std::int64_t keyCode);

// A descriptive name: "ReturnR2L", "ANSI_Keypad0", "F5", or the layout's
// text followed by "-KEY" ("a-KEY"); nullopt when the layout gives no text.
// "" for NotFound.
[[nodiscard]] std::optional<std::string> stringForKeyCode(std::int64_t keyCode);

// The key code for a text: first the lowest code from 0 to 126 whose layout
// text equals the lower-cased text ("A" finds the key that types "a"), then
// the names "f1" ... "f20" and "space" (any case). Nullopt otherwise.
// Asks the layout for up to 127 keys on every call.
[[nodiscard]] std::optional<std::int64_t> keyCodeForString(std::string_view text);

// For developers: prints the 112 virtual key-code constant names in
// ascending key-code order, one line each: code, " = ", name
// ("0 = kVK_ANSI_A" ... "126 = kVK_UpArrow").
void debug_printConstants();

}}  // namespace vantrel::ShortcutHelper
