#include "vantrel/appkit/menu_shortcuts.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "vantrel/appkit/menu_helpers.h"
#include "vantrel/appkit/modifier_key.h"
#include "vantrel/core/console.h"

namespace vantrel {
namespace {

using K = VantrelModifierKey;
using F = EventModifierFlags;

MenuItem::Ptr keyed(const Menu::Ptr& menu, std::string title, std::string key, F mask) {
  auto item = menu->addItemWithTitle(std::move(title), Selector("act:"), std::move(key));
  item->setKeyEquivalentModifierMask(mask);
  return item;
}

// The one shortcut of a menu holding one item.
MenuShortcut only(std::string title, std::string key, F mask = F::command) {
  auto menu = Menu::create();
  keyed(menu, std::move(title), std::move(key), mask);
  MenuShortcutSet set = collectShortcuts(menu);
  EXPECT_EQ(set.size(), 1u);
  return *set.begin();
}

TEST(VantrelModifierKey, StringFromAnySequence) {
  struct Case {
    std::vector<VantrelModifierKey> keys;
    std::string text;
  };
  const std::vector<Case> cases = {
      {{}, "       -     -        -       -        "},
      {{K::function, K::control, K::alternate, K::shift, K::command}, "Command-Shift-Altenate-Control-Function"},
      {{K::alternate, K::alternate}, "       -     -Altenate-       -        "},
  };
  for (const Case& c : cases) {
    std::string text = VantrelModifierKey::string(c.keys);
    EXPECT_EQ(text, c.text);
    EXPECT_EQ(text.size(), 39u);
  }
  EXPECT_EQ(VantrelModifierKey::string({K::alternate}), VantrelModifierKey::string({K::alternate, K::alternate}));
}

TEST(VantrelModifierKey, RawValuesAndFlags) {
  struct Case {
    std::int64_t raw;
    std::optional<VantrelModifierKey> key;
  };
  for (const Case& c : std::vector<Case>{{-1, std::nullopt}, {0, K::command}, {4, K::function}, {5, std::nullopt}}) {
    EXPECT_EQ(VantrelModifierKey::fromRawValue(c.raw), c.key) << c.raw;
  }
  EXPECT_EQ(std::hash<VantrelModifierKey>()(K::control), 3u);
  EXPECT_TRUE(VantrelModifierKey::fromNSEventModifierFlags(F::capsLock).empty());
  EXPECT_EQ(VantrelModifierKey::fromNSEventModifierFlags(
                F{F::command, F::shift, F::option, F::control, F::function, F::numericPad, F::help}),
            (VantrelModifierKeySet{K::command, K::shift, K::alternate, K::control, K::function}));
}

TEST(MenuShortcut, SaveDescription) {
  EXPECT_EQ(only("Save", "s").description(), "\"s\"+Command-     -        -       -         -> Save");
  EXPECT_EQ(only("Both", "S", F{F::command, F::shift}).modifiersSymbolsString(), "\u2318\u21e7");
  EXPECT_EQ(only("None", "x", F()).modifiersSymbolsString(), "");
}

TEST(MenuShortcut, EqualityAndHashIgnoreTheTitle) {
  MenuShortcut a = only("New", "n");
  MenuShortcut b = only("New Document", "n");
  EXPECT_EQ(a, b);
  EXPECT_EQ(std::hash<MenuShortcut>()(a), std::hash<MenuShortcut>()(b));
  // One key written two ways is one key.
  MenuShortcut composed = only("E", "\u00e9");
  MenuShortcut decomposed = only("E", "e\u0301");
  EXPECT_EQ(composed, decomposed);
  EXPECT_EQ(std::hash<MenuShortcut>()(composed), std::hash<MenuShortcut>()(decomposed));
  EXPECT_NE(only("New", "n"), only("New", "n", F{F::command, F::shift}));
}

TEST(MenuShortcut, OrderIsCoarserThanEquality) {
  MenuShortcut upper = only("N", "N");
  MenuShortcut lower = only("n", "n");
  EXPECT_NE(upper, lower);
  EXPECT_FALSE(upper < lower);
  EXPECT_FALSE(lower < upper);
  EXPECT_TRUE(only("b", "b", F::shift) < only("a", "a", F::command));  // ⇧ before ⌘
  EXPECT_TRUE(only("a", "A") < only("b", "b"));
}

TEST(MenuShortcut, CollectWalksSubmenusAndKeepsTheFirstTitle) {
  auto main = Menu::create("Main");
  auto file = Menu::create("File");
  keyed(file, "New", "n", F::command);
  auto opener = addSubMenuItem(main, file);
  opener->setKeyEquivalent("f");  // an opener's own key is not looked at
  keyed(main, "New Again", "n", F::command);
  keyed(main, "New Upper", "N", F::command);
  addSeparatorItem(main);
  main->addItemWithTitle("No Key", Selector("x:"), "");

  MenuShortcutSet set = collectShortcuts(main);
  ASSERT_EQ(set.size(), 2u);  // "N" and "n" stay two shortcuts
  auto found = set.find(only("", "n"));
  ASSERT_NE(found, set.end());
  EXPECT_EQ(found->menuTitle(), "New");
  EXPECT_EQ(set.count(only("", "f")), 0u);
}

TEST(MenuShortcut, EmptyMenuDump) {
  ConsoleCapture capture;
  debug_printShortcutInfos(Menu::create());
  const std::string all = "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
  EXPECT_EQ(capture.standardOutput(),
            "Current Menu Shortcuts:\n=======================\n"
            "Available Menu Shortcuts:\n=========================\n"
            "Command: " + all + "\nCommand+Alternate: " + all + "\nCommand+Control: " + all +
                "\nCommand+Alternate+Control: " + all + "\nAlternate+Control: " + all + "\n");
}

TEST(MenuShortcut, FullDump) {
  auto main = Menu::create("Main");
  keyed(main, "New Window", "N", F::command);
  auto file = Menu::create("File");
  keyed(file, "New", "n", F::command);
  keyed(file, "Save", "s", F::command);
  addSeparatorItem(file);
  addSubMenuItem(main, file);
  keyed(main, "Next", "n", F::shift);
  keyed(main, "Close All", "w", F{F::command, F::option})->setAlternate(true);
  keyed(main, "Preferences", ",", F{F::command, F::control})->setEnabled(false);
  keyed(main, "Hidden", "1", F{F::option, F::control, F::capsLock})->setHidden(true);
  keyed(main, "New Again", "n", F::command);
  auto tools = Menu::create("Tools");
  keyed(tools, "Zoom", "z", F::control);
  addSubMenuItem(main, tools)->setKeyEquivalent("x");

  ConsoleCapture capture;
  debug_printShortcutInfos(main);
  EXPECT_EQ(capture.standardOutput(),
            "Current Menu Shortcuts:\n"
            "=======================\n"
            "\",\"+Command-     -        -Control-         -> Preferences\n"
            "\"1\"+       -     -Altenate-Control-         -> Hidden\n"
            "\"N\"+Command-     -        -       -         -> New Window\n"
            "\"n\"+       -Shift-        -       -         -> Next\n"
            "\"n\"+Command-     -        -       -         -> New\n"
            "\"s\"+Command-     -        -       -         -> Save\n"
            "\"w\"+Command-     -Altenate-       -         -> Close All\n"
            "\"z\"+       -     -        -Control-         -> Zoom\n"
            "Available Menu Shortcuts:\n"
            "=========================\n"
            "Command: 0123456789abcdefghijklmopqrtuvwxyzABCDEFGHIJKLMOPQRSTUVWXYZ\n"
            "Command+Alternate: 0123456789abcdefghijklmnopqrstuvxyzABCDEFGHIJKLMNOPQRSTUVWXYZ\n"
            "Command+Control: 0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ\n"
            "Command+Alternate+Control: 0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ\n"
            "Alternate+Control: 023456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ\n");
}

}  // namespace
}  // namespace vantrel
