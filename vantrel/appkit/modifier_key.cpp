// File: vantrel/appkit/modifier_key.cpp
#include "vantrel/appkit/modifier_key.h"

#include <array>

namespace vantrel {

namespace {

struct KeyInfo {
  std::string_view word;
  std::string_view symbol;
  std::size_t width;
};

// Indexed by raw value.
constexpr std::array<KeyInfo, 5> kKeys{{
    {"Command", "\u2318", 7},
    {"Shift", "\u21e7", 5},
    {"Altenate", "\u2325", 8},
    {"Control", "\u2303", 7},
    {"Function", "F", 8},
}};

}  // namespace

std::optional<VantrelModifierKey> VantrelModifierKey::fromRawValue(std::int64_t rawValue) {
  if (rawValue < 0 || rawValue > 4) return std::nullopt;
  return VantrelModifierKey(static_cast<Case>(rawValue));
}

VantrelModifierKeySet VantrelModifierKey::fromNSEventModifierFlags(EventModifierFlags flags) {
  VantrelModifierKeySet keys;
  if (flags.contains(EventModifierFlags::command)) keys.insert(command);
  if (flags.contains(EventModifierFlags::shift)) keys.insert(shift);
  if (flags.contains(EventModifierFlags::option)) keys.insert(alternate);
  if (flags.contains(EventModifierFlags::control)) keys.insert(control);
  if (flags.contains(EventModifierFlags::function)) keys.insert(function);
  return keys;
}

std::string_view VantrelModifierKey::symbol() const { return kKeys[static_cast<std::size_t>(value_)].symbol; }

std::string_view VantrelModifierKey::word() const { return kKeys[static_cast<std::size_t>(value_)].word; }

std::string VantrelModifierKey::stringFromMask(unsigned present) {
  std::string out;
  for (std::size_t i = 0; i < kKeys.size(); ++i) {
    if (i > 0) out += '-';
    if (present & (1u << i)) {
      out += kKeys[i].word;
    } else {
      out.append(kKeys[i].width, ' ');
    }
  }
  return out;
}

}  // namespace vantrel
