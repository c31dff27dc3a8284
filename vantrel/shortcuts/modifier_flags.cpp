#include "vantrel/shortcuts/modifier_flags.h"

#include <array>
#include <string>

#include <fmt/format.h>

#include "vantrel/core/console.h"
#include "vantrel/text/characters.h"

namespace vantrel {
namespace {

struct StandardFlag {
  ModifierFlags flag;
  std::uint32_t carbon;
  std::string_view glyph;
  std::string_view medium;
  std::string_view longWord;
};

// The one order of the standard flags in every text form and conversion.
constexpr std::array<StandardFlag, 4> kStandardFlags{{
    {ModifierFlags::control, 0x1000, "\u2303", "ctrl", "Control"},
    {ModifierFlags::option, 0x800, "\u2325", "alt", "Option"},
    {ModifierFlags::shift, 0x200, "\u21E7", "shft", "Shift"},
    {ModifierFlags::command, 0x100, "\u2318", "cmd", "Command"},
}};

std::string joined(ModifierFlags flags, std::string_view StandardFlag::*form,
                   std::string_view separator) {
  std::string out;
  for (const StandardFlag& f : kStandardFlags) {
    if (!flags.contains(f.flag)) continue;
    if (!out.empty()) out += separator;
    out += f.*form;
  }
  return out;
}

ModifierFlags flagForWord(std::string_view word) {
  if (word == "control" || word == "ctrl") return ModifierFlags::control;
  if (word == "option" || word == "opt" || word == "alternate" || word == "alt") {
    return ModifierFlags::option;
  }
  if (word == "shift" || word == "shft") return ModifierFlags::shift;
  if (word == "command" || word == "cmd") return ModifierFlags::command;
  return ModifierFlags{};
}

// Only ASCII letters matter: no other character lower-cases into a letter of
// the modifier words (the Kelvin sign gives "k", which none of them holds),
// and the glyphs have no case.
std::string asciiLowercased(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

}  // namespace

std::int64_t ModifierFlags::carbonInt() const {
  std::int64_t mask = 0;
  for (const StandardFlag& f : kStandardFlags) {
    if (contains(f.flag)) mask |= f.carbon;
  }
  return mask;
}

ModifierFlags ModifierFlags::fromCarbonInt(std::uint32_t carbonMask) {
  ModifierFlags flags;
  for (const StandardFlag& f : kStandardFlags) {
    if ((carbonMask & f.carbon) != 0) flags.formUnion(f.flag);
  }
  return flags;
}

std::string ModifierFlags::asSymbolsString() const { return joined(*this, &StandardFlag::glyph, ""); }
std::string ModifierFlags::asMediumString() const { return joined(*this, &StandardFlag::medium, "-"); }
std::string ModifierFlags::asLongString() const { return joined(*this, &StandardFlag::longWord, "-"); }

ModifierFlags ModifierFlags::fromString(std::string_view text) {
  const std::string lower = asciiLowercased(text);
  const std::string_view view = lower;
  // Flags are combined with OR, never added: a name given twice ("cmd-cmd",
  // "⌘⌘") must stay that one flag instead of carrying into the next bit.
  ModifierFlags flags;
  if (view.find('-') != std::string_view::npos) {
    std::size_t start = 0;
    while (true) {
      const std::size_t end = view.find('-', start);
      flags.formUnion(flagForWord(view.substr(start, end == std::string_view::npos ? end : end - start)));
      if (end == std::string_view::npos) break;
      start = end + 1;
    }
    return flags;
  }
  const ModifierFlags word = flagForWord(view);
  if (!word.isEmpty()) return word;
  // Glyphs, character by character: "⌘" with a combining mark on it is
  // another character and names nothing.
  for (std::string_view character : characters(view)) {
    for (const StandardFlag& f : kStandardFlags) {
      if (character == f.glyph) flags.formUnion(f.flag);
    }
  }
  return flags;
}

std::string ModifierFlags::vtDescription() const {
  struct Named {
    ModifierFlags flag;
    std::string_view name;
  };
  static constexpr std::array<Named, 8> kNames{{
      {capsLock, ".CapsLock"},
      {shift, ".ShiftKeyMask"},
      {control, ".ControlKeyMask"},
      {option, ".Option"},
      {command, ".CommandKeyMask"},
      {numericPad, ".NumericPadKeyMask"},
      {help, ".HelpKeyMask"},
      {function, ".FunctionKeyMask"},
  }};
  std::string out = "[";
  bool first = true;
  auto add = [&](std::string_view name) {
    if (!first) out += ", ";
    first = false;
    out += name;
  };
  for (const Named& n : kNames) {
    if (contains(n.flag)) add(n.name);
  }
  if (contains(deviceIndependentFlagsMask)) add(".DeviceIndependentFlagsMask");
  out += "]";
  return out;
}

void ModifierFlags::debug_PrintValues() {
  struct Line {
    std::string_view label;
    ModifierFlags flag;
  };
  static constexpr std::array<Line, 9> kLines{{
      {"NSEvent.ModifierFlags.CapsLock = ", capsLock},
      {"NSEvent.ModifierFlags.ShiftKeyMask = ", shift},
      {"NSEvent.ModifierFlags.ControlKeyMask = ", control},
      {"NSEvent.ModifierFlags.Option = ", option},
      {"NSEvent.ModifierFlags.CommandKeyMask = ", command},
      {"NSEvent.ModifierFlags.NumericPadKeyMask = ", numericPad},
      {"NSEvent.ModifierFlags.HelpKeyMask = ", help},
      {"NSEvent.ModifierFlags.FunctionKeyMask = ", function},
      {"NSEvent.ModifierFlags.DeviceIndependentFlagsMask = ", deviceIndependentFlagsMask},
  }};
  for (const Line& l : kLines) consolePrint(fmt::format("{}{}", l.label, l.flag.rawValue()));
}

ModifierFlags ModifierFlags::reduceToStandardFour() const {
  return intersection(controlOptionShiftCommandFlags);
}

}  // namespace vantrel
