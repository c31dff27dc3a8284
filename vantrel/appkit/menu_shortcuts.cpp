// File: vantrel/appkit/menu_shortcuts.cpp
#include "vantrel/appkit/menu_shortcuts.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <vector>

#include "vantrel/core/console.h"
#include "vantrel/core/fatal.h"
#include "vantrel/core/sort.h"
#include "vantrel/text/comparison.h"
#include "vantrel/text/string_services.h"

namespace vantrel {

std::string MenuShortcut::modifiersSymbolsString() const {
  std::string out;
  for (std::int64_t raw = 0; raw <= 4; ++raw) {
    VantrelModifierKey key = *VantrelModifierKey::fromRawValue(raw);
    if (modifiers_.contains(key)) out += key.symbol();
  }
  return out;
}

std::string MenuShortcut::description() const {
  std::string out = "\"" + key_ + "\"+" + VantrelModifierKey::string(modifiers_);
  if (menuTitle_) out += " -> " + *menuTitle_;
  return out;
}

std::size_t MenuShortcut::hashValue() const {
  // Unsigned, so the sum wraps instead of overflowing.
  return textHash(key_) + modifiers_.size();
}

bool operator==(const MenuShortcut& a, const MenuShortcut& b) {
  return a.modifiers_ == b.modifiers_ && textEqual(a.key_, b.key_);
}

bool operator<(const MenuShortcut& a, const MenuShortcut& b) {
  std::string symbolsA = a.modifiersSymbolsString();
  std::string symbolsB = b.modifiersSymbolsString();
  if (!textEqual(symbolsA, symbolsB)) return textLess(symbolsA, symbolsB);
  return textLess(lowercased(a.key_), lowercased(b.key_));
}

MenuShortcutSet collectShortcuts(const Menu::Ptr& self) {
  if (!self) fatal("collectShortcuts: the menu is null");
  MenuShortcutSet shortcuts;
  // Depth first, in menu order, without recursion (a deep tree cannot
  // exhaust the stack); `insert` keeps the first title met.
  struct Frame {
    const Menu* menu;
    std::size_t next;
  };
  std::vector<Frame> stack{{self.get(), 0}};
  while (!stack.empty()) {
    Frame& frame = stack.back();
    const std::vector<MenuItem::Ptr>& items = frame.menu->itemArray();
    if (frame.next == items.size()) {
      stack.pop_back();
      continue;
    }
    const MenuItem& item = *items[frame.next++];
    if (item.hasSubmenu()) {
      stack.push_back({item.submenu().get(), 0});  // may move `frame`: not used after this
    } else if (!item.keyEquivalent().empty()) {
      shortcuts.insert(MenuShortcut(item.keyEquivalent(),
                                    VantrelModifierKey::fromNSEventModifierFlags(item.keyEquivalentModifierMask()),
                                    item.title()));
    }
  }
  return shortcuts;
}

namespace {

// A strict order for the dump: lower-cased key, then key, then modifier
// symbols. Keys that differ only in case are ordered by the key itself, so
// the dump reads the same on every run.
struct DumpEntry {
  std::string lowerKey;
  const MenuShortcut* shortcut;
  std::string symbols;
};

int compareDumpEntries(const DumpEntry& a, const DumpEntry& b) {
  if (int c = compareText(a.lowerKey, b.lowerKey); c != 0) return c;
  if (int c = compareText(a.shortcut->key(), b.shortcut->key()); c != 0) return c;
  return compareText(a.symbols, b.symbols);
}

std::string availableLettersForModifiers(const MenuShortcutSet& shortcuts, const VantrelModifierKeySet& modifiers) {
  static constexpr std::string_view kCandidates = "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
  std::string out;
  for (char c : kCandidates) {
    std::string_view candidate(&c, 1);
    bool taken = std::any_of(shortcuts.begin(), shortcuts.end(), [&](const MenuShortcut& s) {
      return s.modifiers() == modifiers && textEqual(s.key(), candidate);
    });
    if (!taken) out += c;
  }
  return out;
}

}  // namespace

void debug_printShortcutInfos(const Menu::Ptr& self) {
  MenuShortcutSet shortcuts = collectShortcuts(self);

  std::vector<DumpEntry> entries;
  entries.reserve(shortcuts.size());
  for (const MenuShortcut& s : shortcuts) {
    // NFC first: two spellings of one key must lower-case to one text.
    entries.push_back({lowercased(nfc(s.key())), &s, s.modifiersSymbolsString()});
  }
  stableSort(entries, [](const DumpEntry& a, const DumpEntry& b) { return compareDumpEntries(a, b) < 0; });

  consolePrint("Current Menu Shortcuts:");
  consolePrint("=======================");
  for (const DumpEntry& entry : entries) consolePrint(entry.shortcut->description());
  consolePrint("Available Menu Shortcuts:");
  consolePrint("=========================");

  using K = VantrelModifierKey;
  struct Line {
    std::string_view label;
    VantrelModifierKeySet modifiers;
  };
  const std::array<Line, 5> lines{{
      {"Command: ", {K::command}},
      {"Command+Alternate: ", {K::command, K::alternate}},
      {"Command+Control: ", {K::command, K::control}},
      {"Command+Alternate+Control: ", {K::command, K::alternate, K::control}},
      {"Alternate+Control: ", {K::alternate, K::control}},
  }};
  for (const Line& line : lines) {
    consolePrint(std::string(line.label) + availableLettersForModifiers(shortcuts, line.modifiers));
  }
}

}  // namespace vantrel
