// File: vantrel/appkit/menu_dump.cpp
#include "vantrel/appkit/menu_dump.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string_view>
#include <unordered_set>

#include "vantrel/core/console.h"
#include "vantrel/core/describe.h"
#include "vantrel/core/fatal.h"
#include "vantrel/core/number_text.h"
#include "vantrel/text/characters.h"
#include "vantrel/text/escaping.h"
#include "vantrel/text/string_services.h"

namespace vantrel {

namespace {

const Menu& checkedMenu(const Menu::Ptr& menu, const char* operation) {
  if (!menu) fatal(std::string(operation) + ": the menu is null");
  return *menu;
}

std::int64_t nonNegative(std::int64_t depth) { return std::max<std::int64_t>(depth, 0); }

std::string repeated(char c, std::int64_t count) { return std::string(static_cast<std::size_t>(count), c); }

// The selector's name without its last character; none without an action.
std::optional<std::string> actionName(const MenuItem& item) {
  if (!item.action()) return std::nullopt;
  const std::string& name = item.action()->name();
  std::optional<std::size_t> cut = byteOffsetOfCharacterFromEnd(name, 1);
  return name.substr(0, cut.value_or(0));
}

// Actions the system puts into its menus by itself: rebuilt menus leave
// them out.
bool isSystemAction(const std::string& name) {
  return name == "orderFrontCharacterPalette" || name == "startDictation" || name == "makeKeyAndOrderFront";
}

// Whether `text[i]` starts a C1 control character (U+0080 ... U+009F, UTF-8
// C2 80 ... C2 9F).
bool isC1At(std::string_view text, std::size_t i) {
  return static_cast<unsigned char>(text[i]) == 0xC2 && i + 1 < text.size() &&
         static_cast<unsigned char>(text[i + 1]) >= 0x80 && static_cast<unsigned char>(text[i + 1]) <= 0x9F;
}

bool isC0OrDelete(unsigned char byte) { return byte < 0x20 || byte == 0x7F; }

// Contents of a string literal: the text module's escapes for quotation
// mark, backslash, LF, CR and tab, then \u{XX} for every other control
// character, which would otherwise sit raw inside the literal.
std::string literalContents(std::string_view text) {
  static constexpr std::string_view kHex = "0123456789ABCDEF";
  std::string escaped = stringPreparedToBeUseInSourceStringLiteral(text);
  std::string out;
  out.reserve(escaped.size());
  for (std::size_t i = 0; i < escaped.size(); ++i) {
    unsigned char byte = static_cast<unsigned char>(escaped[i]);
    unsigned scalar;
    if (isC0OrDelete(byte)) {
      scalar = byte;
    } else if (isC1At(escaped, i)) {
      scalar = static_cast<unsigned char>(escaped[++i]);  // C2 xx encodes U+00xx
    } else {
      out += escaped[i];
      continue;
    }
    out += "\\u{";
    out += kHex[scalar >> 4];
    out += kHex[scalar & 0xF];
    out += '}';
  }
  return out;
}

// A description fit for a line comment: control characters (line breaks
// among them) become blanks.
std::string commentText(std::string_view text) {
  std::string repaired = repairedUtf8(text);
  std::string out;
  out.reserve(repaired.size());
  for (std::size_t i = 0; i < repaired.size(); ++i) {
    if (isC0OrDelete(static_cast<unsigned char>(repaired[i]))) {
      out += ' ';
    } else if (isC1At(repaired, i)) {
      out += ' ';
      ++i;
    } else {
      out += repaired[i];
    }
  }
  return out;
}

// "menu_" + the title with each scalar outside [A-Za-z0-9_-] as "_".
std::string sanitisedName(std::string_view title) {
  std::string repaired = repairedUtf8(title);
  std::string out = "menu_";
  for (char c : repaired) {
    auto byte = static_cast<unsigned char>(c);
    bool allowed = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
    if (allowed) {
      out += c;
    } else if ((byte & 0xC0) != 0x80) {  // one "_" per scalar: skip continuation bytes
      out += '_';
    }
  }
  return out;
}

// ---- Dump ---------------------------------------------------------------------

void printMenu(const Menu& menu, std::int64_t depth) {
  const std::string hashes = repeated('#', depth);
  const std::vector<MenuItem::Ptr>& items = menu.itemArray();
  consolePrint(hashes + "ItemArray with = " + unsignedText(items.size()) + " elements:");
  for (const MenuItem::Ptr& item : items) {
    if (item->isSeparatorItem()) {
      consolePrint(hashes + "--------------------------------");
    } else if (item->hasSubmenu()) {
      consolePrint(hashes + " \"" + item->title() + "\"");
      printMenu(*item->submenu(), depth + 1);
      if (depth == 1) consolePrint("");
    } else {
      std::string line = hashes + " \"" + item->title() + "\" " + describe(item->action());
      if (std::optional<std::string> target = item->targetDescription()) line += " of target " + *target;
      consolePrint(line);
    }
  }
  consolePrint(hashes + repeated('^', depth));
}

// ---- Generator ----------------------------------------------------------------

class CodeWriter {
 public:
  std::string write(const Menu& menu, std::int64_t depth) {
    const std::string tabs = repeated('\t', depth);
    std::string name = uniqueName(sanitisedName(menu.title()));
    consolePrint(tabs + "let " + name + ":NSMenu = {");
    consolePrint(tabs + "\tlet m = NSMenu(title:\"" + literalContents(menu.title()) + "\")");
    for (const MenuItem::Ptr& item : menu.itemArray()) {
      if (item->isSeparatorItem()) {
        consolePrint(tabs + "\tm.addSeparatorItem()");
      } else if (item->hasSubmenu()) {
        std::string submenuName = write(*item->submenu(), depth + 1);
        consolePrint(tabs + "\tm.addSubMenuItem(" + submenuName + ")");
        if (depth == 1) consolePrint("");
      } else {
        writeItem(*item, tabs);
      }
    }
    consolePrint(tabs + "\treturn m");
    consolePrint(tabs + "}()");
    return name;
  }

 private:
  std::string uniqueName(const std::string& base) {
    std::string name = base;
    for (std::int64_t n = 2; names_.contains(name); ++n) name = base + "_" + integerText(n);
    names_.insert(name);
    return name;
  }

  static void writeItem(const MenuItem& item, const std::string& tabs) {
    std::optional<std::string> name = actionName(item);
    if (name && isSystemAction(*name)) return;

    std::string line = tabs + "\tm.addItem(withTitle:\"" + literalContents(item.title()) + "\", action: ";
    line += name ? "#selector(MenuActionsClass." + *name + ")" : std::string("nil");
    line += ", keyEquivalent: \"" + literalContents(item.keyEquivalent()) + "\")!";

    const EventModifierFlags mask = item.keyEquivalentModifierMask();
    const EventModifierFlags keys = mask.intersection(EventModifierFlags{
        EventModifierFlags::command, EventModifierFlags::option, EventModifierFlags::control,
        EventModifierFlags::shift});
    if (!keys.isEmpty() && keys != EventModifierFlags::command) {
      line += ".vtSetKeyEquivalentModifierMask(Int((NSEvent.ModifierFlags(rawValue: " +
              unsignedText(mask.rawValue()) + ") as NSEvent.ModifierFlags).rawValue))";
    }
    if (item.tag() != 0) line += ".vtSetTag(" + integerText(item.tag()) + ")";
    if (item.isAlternate()) line += ".vtSetAlternate(true)";
    // The text cannot name a target object; a comment keeps it in view.
    if (std::optional<std::string> target = item.targetDescription()) line += " // target: " + commentText(*target);
    consolePrint(line);
  }

  std::unordered_set<std::string> names_;
};

// ---- Action class -------------------------------------------------------------

void writeActions(const Menu& menu, std::int64_t depth, std::unordered_set<std::string>& declared) {
  if (depth == 1) consolePrint("private class MenuActionsClass {");
  for (const MenuItem::Ptr& item : menu.itemArray()) {
    if (item->isSeparatorItem()) continue;
    if (item->hasSubmenu()) {
      writeActions(*item->submenu(), depth + 1, declared);
      continue;
    }
    std::optional<std::string> name = actionName(*item);
    if (!name || !declared.insert(*name).second) continue;
    consolePrint("\t@objc private func " + *name + "(sender:NSMenuItem) {}");
  }
  if (depth == 1) consolePrint("}");
}

}  // namespace

void debug_PrintMenu(const Menu::Ptr& self, std::int64_t depth) {
  printMenu(checkedMenu(self, "debug_PrintMenu"), nonNegative(depth));
}

std::string debug_printCreateMenuCode(const Menu::Ptr& self, std::int64_t depth) {
  CodeWriter writer;
  return writer.write(checkedMenu(self, "debug_printCreateMenuCode"), nonNegative(depth));
}

void debug_printCreateMenuCode_MenuActionClass(const Menu::Ptr& self, std::int64_t depth) {
  std::unordered_set<std::string> declared;
  writeActions(checkedMenu(self, "debug_printCreateMenuCode_MenuActionClass"), nonNegative(depth), declared);
}

}  // namespace vantrel
