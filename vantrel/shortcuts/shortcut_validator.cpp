#include "vantrel/shortcuts/shortcut_validator.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace vantrel::ShortcutValidator {

namespace {

// F1 ... F20.
constexpr std::array<std::int64_t, 20> kFunctionKeyCodes = {122, 120, 99, 118, 96, 97,  98,  100, 101, 109,
                                                             103, 111, 105, 107, 113, 106, 64, 79,  80,  90};

}  // namespace

bool isShortcutValid(const Shortcut& shortcut) {
  if (std::find(kFunctionKeyCodes.begin(), kFunctionKeyCodes.end(), shortcut.keyCode) != kFunctionKeyCodes.end()) {
    return true;
  }
  const ModifierFlags flags = shortcut.modifierFlags;
  if (flags.isEmpty()) return false;
  if (flags.contains(ModifierFlags::command) || flags.contains(ModifierFlags::control)) return true;
  return flags.contains(ModifierFlags::option);
}

}  // namespace vantrel::ShortcutValidator
