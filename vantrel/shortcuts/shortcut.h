// File: vantrel/shortcuts/shortcut.h
//
// `Shortcut`: one keyboard shortcut, a virtual key code (0 is the A key, 49
// Space, 122 F1; see shortcut_helper.h) and a set of `ModifierFlags`. It is
// stored as its storage string: the short modifier words joined by "-", a
// comma and the key code in decimal.
//
//   Shortcut s(0, ModifierFlags{ModifierFlags::control, ModifierFlags::command});
//   s.rawString()                         "ctrl-cmd,0"
//   Shortcut::fromRawString("ctrl-cmd,0") == s
//   s.asStringSymbols()                   "⌃⌘A"   (on a layout where key 0 types a)
//   s.asStringMedium()                    "ctrl-cmd-A"
//   s.description()                       "Shortcut(⌃⌘A, keyCode=0)"
//
// The two members are plain data: nothing validates them, and equality
// compares all 64 flag bits. Only the standard four flags are written to the
// storage string, so a shortcut that also carries, say, Caps Lock reads back
// unequal (with the same `hashValue`); `fromEvent` drops such flags.
//
// Reading a storage string never throws: anything that is not one comma
// between a modifier text and a key code in 0...65535 (or `NotFound`) gives
// nullopt. Every shortcut that `fromRawString` gives writes a storage string
// that reads back equal to it. The text forms follow the keyboard layout in
// use (vantrel/platform/keyboard/keyboard_layout.h). Plain value; the text
// forms are thread-safe.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "vantrel/shortcuts/modifier_flags.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

struct Shortcut {
  std::int64_t keyCode = 0;
  ModifierFlags modifierFlags;

  Shortcut() = default;
  // Exactly these two values, unchecked.
  Shortcut(std::int64_t keyCode, ModifierFlags modifierFlags)
      : keyCode(keyCode), modifierFlags(modifierFlags) {}

  // The shortcut of a key event: its 16-bit key code and its modifier flags
  // reduced to control, option, shift and command (Caps Lock, numeric pad,
  // help, function and device-dependent bits are dropped).
  [[nodiscard]] static Shortcut fromEvent(std::uint16_t eventKeyCode, ModifierFlags eventModifierFlags);

  // Reads a storage string. The text is split at ","; each part loses its
  // leading and trailing blanks and tabs (not line breaks). There must be
  // exactly two parts. The second is a decimal number with an optional "+"
  // or "-" sign and nothing else, in 0...65535 or exactly `NotFound`. The
  // first is read by `ModifierFlags::fromString` and never fails.
  // " ctrl-cmd , 12 " gives control and command with key code 12; "cmd,+7"
  // key code 7; "12", "cmd,12,0", "cmd,", "cmd,1.5", "cmd,-5" give nullopt.
  [[nodiscard]] static std::optional<Shortcut> fromRawString(std::string_view rawString);

  // The storage string: `modifierFlags.asMediumString()`, ",", the key code
  // in decimal (a "-" for a negative one). "ctrl-alt-shft-cmd,122", ",49".
  [[nodiscard]] std::string rawString() const;

  // The key's symbol text (`ShortcutHelper::symbolsStringForKeyCode`),
  // unchanged: "a", "↩", "Space"; nullopt when the key has none.
  [[nodiscard]] std::optional<std::string> keyCodeString() const;
  // The modifier glyphs, then the key's symbol text upper-cased: "⌃⌘A",
  // "⌘SPACE", "⌘↩"; only the glyphs when the key has no text.
  [[nodiscard]] std::string asStringSymbols() const;
  // The short modifier words, "-", the key's text upper-cased: "ctrl-cmd-A",
  // "-A" with no modifiers, "cmd-" when the key has no text.
  [[nodiscard]] std::string asStringMedium() const;
  // As `asStringMedium` with the long words: "Control-Command-A".
  [[nodiscard]] std::string asStringLong() const;
  // For developers: "Shortcut(" + glyphs + key text upper-cased (or "<>"
  // when the key has none) + ", keyCode=" + key code + ")".
  [[nodiscard]] std::string description() const;

  // `modifierFlags.carbonInt()` XOR the key code: equal shortcuts hash
  // equally; shortcuts that differ only outside the standard four flags
  // collide.
  [[nodiscard]] std::int64_t hashValue() const { return modifierFlags.carbonInt() ^ keyCode; }

  friend bool operator==(const Shortcut&, const Shortcut&) = default;
};

}  // namespace vantrel

template <>
struct std::hash<vantrel::Shortcut> {
  std::size_t operator()(const vantrel::Shortcut& s) const noexcept {
    return static_cast<std::size_t>(s.hashValue());
  }
};
