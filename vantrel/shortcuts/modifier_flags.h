// File: vantrel/shortcuts/modifier_flags.h
//
// `ModifierFlags`: the keyboard modifier flags of a key event, an option set
// over a 64-bit raw value with the classic desktop bit values (control
// 0x40000, option 0x80000, shift 0x20000, command 0x100000, ...). Shortcuts
// and hot keys use only the four standard modifiers (control, option, shift,
// command), always in that order, and convert them to and from:
//
//   - the Carbon-style hot-key mask (`carbonInt`, `fromCarbonInt`):
//     control 0x1000, option 0x800, shift 0x200, command 0x100;
//   - glyphs "⌃⌥⇧⌘" (`asSymbolsString`);
//   - short words "ctrl-alt-shft-cmd" (`asMediumString`, used by the
//     shortcut storage string);
//   - long words "Control-Option-Shift-Command" (`asLongString`);
//   - text naming them (`fromString`, the reverse of all three forms).
//
//   ModifierFlags f{ModifierFlags::command, ModifierFlags::shift};
//   f.asSymbolsString()                       "⇧⌘"
//   f.asMediumString()                        "shft-cmd"
//   f.carbonInt()                             768
//   ModifierFlags::fromString("CMD-Shift")    command and shift
//   ModifierFlags::fromString("⌥⌘")           option and command
//
// Flags other than the four standard ones are kept by the set but ignored by
// every conversion. Reading text never fails: unknown words or characters
// add nothing, and a repeated name is still one flag. Pure values;
// thread-safe (only `debug_PrintValues` prints).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "vantrel/core/option_set.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

struct ModifierFlags : OptionSet<ModifierFlags, std::uint64_t> {
  using OptionSet::OptionSet;

  static const ModifierFlags capsLock;                    // 0x10000
  static const ModifierFlags shift;                       // 0x20000
  static const ModifierFlags control;                     // 0x40000
  static const ModifierFlags option;                      // 0x80000
  static const ModifierFlags command;                     // 0x100000
  static const ModifierFlags numericPad;                  // 0x200000
  static const ModifierFlags help;                        // 0x400000
  static const ModifierFlags function;                    // 0x800000
  static const ModifierFlags deviceIndependentFlagsMask;  // 0xFFFF0000

  // Control, option, shift and command (raw value 0x1E0000).
  static const ModifierFlags controlOptionShiftCommandFlags;

  // The Carbon hot-key mask of the four standard flags: control 0x1000,
  // option 0x800, shift 0x200, command 0x100 (at most 0x1B00). Other flags
  // give nothing, so the empty set and Caps Lock alone both give 0.
  [[nodiscard]] std::int64_t carbonInt() const;
  // The inverse of `carbonInt` on the four standard flags; every other bit
  // of the mask (Caps Lock 0x400, the right-hand modifier bits) is ignored.
  [[nodiscard]] static ModifierFlags fromCarbonInt(std::uint32_t carbonMask);

  // Glyphs of the standard flags with no separator ("⌃⌥⇧⌘"); "" for none.
  [[nodiscard]] std::string asSymbolsString() const;
  // Short words joined by "-" ("ctrl-alt-shft-cmd"); "" for none.
  [[nodiscard]] std::string asMediumString() const;
  // Long words joined by "-" ("Control-Option-Shift-Command"); "" for none.
  [[nodiscard]] std::string asLongString() const;

  // The standard flags that `text` names, ignoring case. With a "-" in the
  // text, each "-"-separated part must be exactly one of "control", "ctrl",
  // "option", "opt", "alternate", "alt", "shift", "shft", "command", "cmd"
  // (parts are not trimmed: "cmd - shift" names nothing). Without a "-", a
  // single word as above, or else glyphs: each of "⌃⌥⇧⌘" adds its flag,
  // any other character adds nothing. The empty set when nothing is named.
  // Every text written by the three text forms reads back to the same set.
  [[nodiscard]] static ModifierFlags fromString(std::string_view text);

  // For developers: "[" + the names of the set flags joined by ", " + "]",
  // in the order ".CapsLock", ".ShiftKeyMask", ".ControlKeyMask", ".Option",
  // ".CommandKeyMask", ".NumericPadKeyMask", ".HelpKeyMask",
  // ".FunctionKeyMask", then ".DeviceIndependentFlagsMask" when all of
  // 0xFFFF0000 is set. The empty set gives "[]".
  [[nodiscard]] std::string vtDescription() const;

  // Prints nine lines, "NSEvent.ModifierFlags.<name> = " and a flag's raw
  // value in decimal, from CapsLock to DeviceIndependentFlagsMask.
  static void debug_PrintValues();

  // The receiver without any flag but control, option, shift and command.
  [[nodiscard]] ModifierFlags reduceToStandardFour() const;
};

inline constexpr ModifierFlags ModifierFlags::capsLock{0x10000};
inline constexpr ModifierFlags ModifierFlags::shift{0x20000};
inline constexpr ModifierFlags ModifierFlags::control{0x40000};
inline constexpr ModifierFlags ModifierFlags::option{0x80000};
inline constexpr ModifierFlags ModifierFlags::command{0x100000};
inline constexpr ModifierFlags ModifierFlags::numericPad{0x200000};
inline constexpr ModifierFlags ModifierFlags::help{0x400000};
inline constexpr ModifierFlags ModifierFlags::function{0x800000};
inline constexpr ModifierFlags ModifierFlags::deviceIndependentFlagsMask{0xFFFF0000};
inline constexpr ModifierFlags ModifierFlags::controlOptionShiftCommandFlags{
    ModifierFlags::control, ModifierFlags::option, ModifierFlags::shift, ModifierFlags::command};

}  // namespace vantrel

template <>
struct std::hash<vantrel::ModifierFlags> {
  std::size_t operator()(vantrel::ModifierFlags flags) const noexcept {
    return std::hash<std::uint64_t>()(flags.rawValue());
  }
};
