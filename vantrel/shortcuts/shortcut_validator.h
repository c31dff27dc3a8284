// File: vantrel/shortcuts/shortcut_validator.h
//
// `ShortcutValidator::isShortcutValid`: whether a key combination can serve
// as a shortcut at all. The function keys F1 to F20 serve alone and with
// any modifiers; every other key needs command, control or option (shift,
// Caps Lock or the function flag alone do not do).
//
//   ShortcutValidator::isShortcutValid(Shortcut(96, {}))                       true   (F5)
//   ShortcutValidator::isShortcutValid(Shortcut(0, ModifierFlags::shift))      false  (⇧A)
//   ShortcutValidator::isShortcutValid(Shortcut(0, ModifierFlags::option))     true   (⌥A)
//
// Pure; thread-safe.
#pragma once

#include "vantrel/shortcuts/shortcut.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API { namespace ShortcutValidator {

[[nodiscard]] bool isShortcutValid(const Shortcut& shortcut);

}}  // namespace vantrel::ShortcutValidator
