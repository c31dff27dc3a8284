#include "vantrel/shortcuts/shortcut.h"

#include <fmt/format.h>

#include "vantrel/shortcuts/shortcut_helper.h"
#include "vantrel/text/splitting.h"
#include "vantrel/text/string_services.h"

namespace vantrel {
namespace {

// A whole decimal number with an optional sign, in int64_t range.
std::optional<std::int64_t> parseDecimal(std::string_view text) {
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty()) return std::nullopt;
  // Accumulate negatively so that the most negative value fits too.
  std::int64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    if (__builtin_mul_overflow(value, 10, &value) || __builtin_sub_overflow(value, c - '0', &value)) {
      return std::nullopt;
    }
  }
  if (negative) return value;
  if (value == INT64_MIN) return std::nullopt;
  return -value;
}

// A key code beyond 16 bits would be cut to another key by everything that
// takes key codes as 16-bit numbers (layouts, hot-key registration), so such
// storage strings are refused rather than read as a different shortcut.
bool isStorableKeyCode(std::int64_t keyCode) {
  return (keyCode >= 0 && keyCode <= 0xFFFF) || keyCode == NotFound;
}

std::string uppercasedKeyText(const std::optional<std::string>& k) {
  return k ? uppercased(*k) : std::string();
}

}  // namespace

Shortcut Shortcut::fromEvent(std::uint16_t eventKeyCode, ModifierFlags eventModifierFlags) {
  return Shortcut(eventKeyCode, eventModifierFlags.reduceToStandardFour());
}

std::optional<Shortcut> Shortcut::fromRawString(std::string_view rawString) {
  const std::vector<std::string> parts =
      componentsSeparatedByStringTrimmed(rawString, ",", CharacterSet::whitespaces());
  if (parts.size() != 2) return std::nullopt;
  const std::optional<std::int64_t> keyCode = parseDecimal(parts[1]);
  if (!keyCode || !isStorableKeyCode(*keyCode)) return std::nullopt;
  return Shortcut(*keyCode, ModifierFlags::fromString(parts[0]));
}

std::string Shortcut::rawString() const {
  return fmt::format("{},{}", modifierFlags.asMediumString(), keyCode);
}

std::optional<std::string> Shortcut::keyCodeString() const {
  return ShortcutHelper::symbolsStringForKeyCode(keyCode);
}

std::string Shortcut::asStringSymbols() const {
  return modifierFlags.asSymbolsString() + uppercasedKeyText(keyCodeString());
}

std::string Shortcut::asStringMedium() const {
  return modifierFlags.asMediumString() + "-" + uppercasedKeyText(keyCodeString());
}

std::string Shortcut::asStringLong() const {
  return modifierFlags.asLongString() + "-" + uppercasedKeyText(keyCodeString());
}

std::string Shortcut::description() const {
  const std::optional<std::string> k = keyCodeString();
  return fmt::format("Shortcut({}{}, keyCode={})", modifierFlags.asSymbolsString(),
                     k ? uppercased(*k) : std::string("<>"), keyCode);
}

}  // namespace vantrel
