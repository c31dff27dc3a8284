// File: vantrel/appkit/menu_shortcuts.h
//
// The menu-shortcut inventory: every key equivalent of a menu tree as a
// `MenuShortcut`, and a developer dump of them with the letters still free.
//
//   MenuShortcutSet shortcuts = collectShortcuts(mainMenu);
//   for (const MenuShortcut& s : shortcuts) consolePrint(s.description());
//     // "\"s\"+Command-     -        -       -         -> Save"
//   debug_printShortcutInfos(mainMenu);   // the dump below, on the console
//
// `collectShortcuts` walks the tree depth first in menu order. An item with
// a submenu gives the shortcuts of its submenu (its own key equivalent is
// not looked at); any other item with a non-empty key equivalent gives one
// shortcut: the key as the item holds it (an upper-case letter stays
// upper-case), the modifier keys of its mask and its title. Hidden, disabled
// and alternate items count like the others. Of several items with one
// shortcut, the first met keeps its title.
//
// Equality: the same key text (canonically, vantrel/text/comparison.h) and
// the same modifier keys; the title is not compared, and the hash (the
// key's text hash plus the number of modifiers) leaves it out too. `<`
// orders by the modifier symbols, then by the lower-cased keys; it treats
// "N" and "n" with the same modifiers as equivalent although they are two
// shortcuts, so shortcuts are kept in a hash set, never in a container
// ordered by `<`.
//
// The dump, one `consolePrint` per line:
//   Current Menu Shortcuts:
//   =======================
//   <description of each shortcut, ordered by lower-cased key, then by key,
//    then by modifier symbols>
//   Available Menu Shortcuts:
//   =========================
//   Command: <free characters>
//   Command+Alternate: <...>
//   Command+Control: <...>
//   Command+Alternate+Control: <...>
//   Alternate+Control: <...>
// The free characters of a line are those of "0-9a-zA-Z", in that order,
// that no shortcut uses as its whole key with exactly that modifier set
// (case-sensitive: "N" with command leaves "n" free).
//
// Main-thread functions, like the menus they read; the values are plain
// data and thread-safe.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <unordered_set>

#include "vantrel/appkit/modifier_key.h"
#include "vantrel/platform/kit/menu.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

class MenuShortcut {
 public:
  [[nodiscard]] const std::string& key() const { return key_; }
  [[nodiscard]] const VantrelModifierKeySet& modifiers() const { return modifiers_; }
  [[nodiscard]] const std::optional<std::string>& menuTitle() const { return menuTitle_; }

  // The modifiers' symbols in raw-value order (⌘⇧⌥⌃F), "" for none.
  [[nodiscard]] std::string modifiersSymbolsString() const;
  // "\"" + key + "\"+" + VantrelModifierKey::string(modifiers), then
  // " -> " + title when there is one.
  [[nodiscard]] std::string description() const;

  [[nodiscard]] std::size_t hashValue() const;
  friend VANTREL_API bool operator==(const MenuShortcut& a, const MenuShortcut& b);
  // See the top of this file: coarser than `==`.
  friend VANTREL_API bool operator<(const MenuShortcut& a, const MenuShortcut& b);

 private:
  friend VANTREL_API std::unordered_set<MenuShortcut> collectShortcuts(const Menu::Ptr& self);

  MenuShortcut(std::string key, VantrelModifierKeySet modifiers, std::optional<std::string> menuTitle)
      : key_(std::move(key)), modifiers_(std::move(modifiers)), menuTitle_(std::move(menuTitle)) {}

  std::string key_;
  VantrelModifierKeySet modifiers_;
  std::optional<std::string> menuTitle_;
};

}  // namespace vantrel

template <>
struct std::hash<vantrel::MenuShortcut> {
  std::size_t operator()(const vantrel::MenuShortcut& s) const noexcept { return s.hashValue(); }
};

namespace vantrel VANTREL_API {

using MenuShortcutSet = std::unordered_set<MenuShortcut>;

[[nodiscard]] MenuShortcutSet collectShortcuts(const Menu::Ptr& self);

void debug_printShortcutInfos(const Menu::Ptr& self);

}  // namespace vantrel
