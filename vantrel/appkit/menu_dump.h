// File: vantrel/appkit/menu_dump.h
//
// Three developer diagnostics for a menu tree, all printed on the console
// one `consolePrint` per line: a dump of the tree, source text in the
// platform's application language that rebuilds it with the building
// helpers (vantrel/appkit/menu_helpers.h), and the companion class that
// declares the actions that text refers to.
//
// `depth` is the nesting level of the receiving menu: 1 for the menu a host
// passes in (the default); each submenu is handled at depth + 1. Depth sets
// the indentation, and depth exactly 1 marks the outermost call, which alone
// writes the blank lines after submenus and the class's first and last
// lines. A negative depth counts as 0.
//
// Dump, with H = "#" x depth and K = "^" x depth:
//   H "ItemArray with = " <item count> " elements:"
//   H "--------------------------------"                (a separator)
//   H " \"" title "\""                                   (a submenu opener,
//       then the submenu's dump, then "" at depth 1)
//   H " \"" title "\" " Optional(copy:)|nil [" of target " description]
//   H K
//
// Generated text, with T = tab x depth, V the menu's variable name:
//   T "let " V ":NSMenu = {"
//   T "\tlet m = NSMenu(title:\"" title "\")"
//   T "\tm.addSeparatorItem()"
//   <a submenu's whole text one tab deeper>, T "\tm.addSubMenuItem(" W ")",
//       then "" at depth 1
//   T "\tm.addItem(withTitle:\"" title "\", action: "
//       "#selector(MenuActionsClass." name ")"|"nil"
//       ", keyEquivalent: \"" key "\")!" [mask] [tag] [alternate] [target]
//   T "\treturn m"
//   T "}()"
// where mask is ".vtSetKeyEquivalentModifierMask(Int((NSEvent.ModifierFlags("
// "rawValue: " <raw mask> ") as NSEvent.ModifierFlags).rawValue))" unless the
// command, option, control and shift bits of the mask are none or command
// alone; tag is ".vtSetTag(" tag ")" unless 0; alternate is
// ".vtSetAlternate(true)"; target is " // target: " and the target's
// description with control characters as blanks. Items whose action is
// orderFrontCharacterPalette:, startDictation: or makeKeyAndOrderFront: are
// left out (the system adds them itself).
//
// So that the text compiles:
// - titles and key equivalents are written as literal contents: quotation
//   mark, backslash, LF, CR and tab as \" \\ \n \r \t, every other control
//   character (C0, DEL, C1) as \u{XX} with upper-case hex digits;
// - V is "menu_" + the title with every scalar outside [A-Za-z0-9_-] as one
//   "_"; a name already taken earlier in the same text gets "_2", "_3", ...
//   (the first menu keeps the plain name);
// - the action class declares each action once, at its first item.
//
// Action class:
//   "private class MenuActionsClass {"                     (depth 1 only)
//   "\t@objc private func " name "(sender:NSMenuItem) {}"  (one per action)
//   "}"                                                    (depth 1 only)
// Submenus add their actions in place; at depth 0 the first-level
// submenus, being at depth 1, each write a class of their own.
//
// An action's name is its selector's name without the last character
// ("copy:" gives "copy"). Main-thread functions, like the menus they read.
#pragma once

#include <cstdint>
#include <string>

#include "vantrel/platform/kit/menu.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

void debug_PrintMenu(const Menu::Ptr& self, std::int64_t depth = 1);

// Prints the source text and answers the menu's variable name.
std::string debug_printCreateMenuCode(const Menu::Ptr& self, std::int64_t depth = 1);

void debug_printCreateMenuCode_MenuActionClass(const Menu::Ptr& self, std::int64_t depth = 1);

}  // namespace vantrel
