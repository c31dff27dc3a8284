#include "vantrel/appkit/menu_helpers.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

#include <gtest/gtest.h>

#include "vantrel/appkit/menu_item_generic.h"
#include "vantrel/appkit/menu_item_with_user_info.h"

namespace vantrel {
namespace {

struct Object {};

// One fixed tree for every search:
//   Main
//     0 "Nothing" -> submenu Empty (no items)
//     1 "No Action"                       (no action)
//     2 "Edit" copy: -> submenu Edit      (an opener with the action itself)
//         0 "Cut" cut: target other
//         1 "Copy" copy: target a
//         2 "Paste" paste:
//         3 "Redo" redo: target gone
//     3 "Copy Again" copy:
//     4 "Select All" selectAll: target b
//     5 "Select All Again" selectAll: target a
//     6 "Undo" undo:
//     7 "Undo Again" undo:
struct SearchTree {
  std::shared_ptr<Object> a = std::make_shared<Object>();
  std::shared_ptr<Object> b = std::make_shared<Object>();
  std::shared_ptr<Object> other = std::make_shared<Object>();
  Menu::Ptr main = Menu::create("Main");
  Menu::Ptr empty = Menu::create("Empty");
  Menu::Ptr edit = Menu::create("Edit");

  SearchTree() {
    vtSetTarget(addItem(edit, "Cut", Selector("cut:")), other);
    vtSetTarget(addItem(edit, "Copy", Selector("copy:")), a);
    addItem(edit, "Paste", Selector("paste:"));
    {
      auto gone = std::make_shared<Object>();
      vtSetTarget(addItem(edit, "Redo", Selector("redo:")), gone);
    }
    addSubMenuItem(main, empty);
    main->addItemWithTitle("No Action", std::nullopt, "");
    addSubMenuItem(main, edit)->setAction(Selector("copy:"));
    addItem(main, "Copy Again", Selector("copy:"));
    vtSetTarget(addItem(main, "Select All", Selector("selectAll:")), b);
    vtSetTarget(addItem(main, "Select All Again", Selector("selectAll:")), a);
    addItem(main, "Undo", Selector("undo:"));
    addItem(main, "Undo Again", Selector("undo:"));
  }

  Menu::Ptr menuNamed(const std::string& name) const {
    return name == "Main" ? main : name == "Edit" ? edit : empty;
  }
  std::shared_ptr<Object> targetNamed(const std::string& name) const {
    return name == "a" ? a : name == "b" ? b : name == "other" ? other : nullptr;
  }
};

TEST(MenuSearch, FirstMatchTable) {
  struct Case {
    std::string searchIn;
    std::string selector;
    std::string target;      // "" for none
    std::string foundIn;     // "" for no match
    std::int64_t index;
    std::string title;
  };
  const std::vector<Case> cases = {
      {"Empty", "copy:", "", "", 0, ""},                 // empty menu
      {"Main", "missing:", "", "", 0, ""},               // no item has the action
      {"Main", "copy:", "", "Edit", 1, "Copy"},          // earlier submenu wins; opener never matches
      {"Main", "copy:", "a", "Edit", 1, "Copy"},         // the same target
      {"Main", "copy:", "b", "Main", 3, "Copy Again"},   // another target, then an item without one
      {"Main", "cut:", "a", "", 0, ""},                  // only another object's item
      {"Main", "cut:", "", "Edit", 0, "Cut"},            // no target asked: any target will do
      {"Main", "paste:", "a", "Edit", 2, "Paste"},       // target absent on the item
      {"Main", "redo:", "a", "Edit", 3, "Redo"},         // the item's target is gone: absent
      {"Main", "selectAll:", "a", "Main", 5, "Select All Again"},
      {"Main", "selectAll:", "", "Main", 4, "Select All"},
      {"Main", "undo:", "", "Main", 6, "Undo"},          // two matches: the lower index
      {"Edit", "copy:", "a", "Edit", 1, "Copy"},
  };
  SearchTree tree;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.searchIn + " " + c.selector + " " + c.target);
    Menu::Ptr menu = tree.menuNamed(c.searchIn);
    std::shared_ptr<Object> target = tree.targetNamed(c.target);
    std::optional<MenuMatch> match = firstMatch(menu, Selector(c.selector), target);
    MenuItem::Ptr item = firstMatchingMenuItem(menu, Selector(c.selector), target);
    if (c.foundIn.empty()) {
      EXPECT_EQ(match, std::nullopt);
      EXPECT_EQ(item, nullptr);
      continue;
    }
    ASSERT_TRUE(match.has_value());
    EXPECT_EQ(match->menu, tree.menuNamed(c.foundIn));
    EXPECT_EQ(match->index, c.index);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->title(), c.title);
    EXPECT_EQ(item, match->menu->item(match->index));
  }
}

TEST(MenuAdders, AddAndReturnWhatTheyAdded) {
  auto menu = Menu::create("Main");
  auto separator = addSeparatorItem(menu);
  auto copy = addItem(menu, "Copy", Selector("copy:"));
  EXPECT_TRUE(separator->isSeparatorItem());
  EXPECT_EQ(copy->keyEquivalent(), "");
  EXPECT_EQ(copy->action(), Selector("copy:"));
  EXPECT_EQ(menu->itemArray(), (std::vector<MenuItem::Ptr>{separator, copy}));

  auto a = menuItemWithTitle("A", Selector("a:"));
  auto b = menuItemWithTitle("B", Selector("b:"));
  addItems(menu, {});
  EXPECT_EQ(menu->numberOfItems(), 2);
  addItems(menu, {a, b});
  EXPECT_EQ(menu->item(2), a);
  EXPECT_EQ(menu->item(3), b);
}

TEST(MenuAdders, SubmenuItemsTakeTheTitleOnce) {
  auto menu = Menu::create("Main");
  auto edit = Menu::create("Edit");
  auto view = Menu::create("View");
  auto added = addSubMenuItem(menu, edit);
  auto made = menuItemWithSubmenu(view);
  edit->setTitle("Edit More");
  view->setTitle("View More");
  EXPECT_EQ(added->title(), "Edit");
  EXPECT_EQ(made->title(), "View");
  EXPECT_EQ(added->submenu(), edit);
  EXPECT_EQ(made->submenu(), view);
  EXPECT_FALSE(added->action().has_value());
  EXPECT_EQ(edit->supermenu(), menu);
}

TEST(MenuSetters, ChainingKeepsTheSubclass) {
  auto target = std::make_shared<Object>();
  auto info = vtSetKeyEquivalentModifierMask(
      vtSetTarget(vtSetAlternate(vtSetTag(NSMenuItemWithUserInfo::create("I", Selector("i:"), "i"), 5), true),
                  target),
      EventModifierFlags::option);
  static_assert(std::is_same_v<decltype(info), std::shared_ptr<NSMenuItemWithUserInfo>>);
  info->userInfo()["k"] = "v";  // no cast needed
  EXPECT_EQ(info->tag(), 5);
  EXPECT_TRUE(info->isAlternate());
  EXPECT_TRUE(info->isTarget(target));
  EXPECT_EQ(info->keyEquivalentModifierMask(), EventModifierFlags::option);

  auto generic = vtSetTag(NSMenuItem_Generic<int>::create("G", Selector("g:"), 3), -1);
  static_assert(std::is_same_v<decltype(generic), std::shared_ptr<NSMenuItem_Generic<int>>>);
  EXPECT_EQ(generic->genericValue(), 3);
  EXPECT_FALSE(vtSetTarget(generic, nullptr)->target());

  auto menu = Menu::create();
  MenuItem::Ptr chained = vtSetTag(addItem(menu, "Chained", Selector("c:")), 9);
  EXPECT_EQ(chained, menu->item(0));
  EXPECT_EQ(chained->tag(), 9);
}

// Counts calls of the state setter, as a subclass watching its state would.
class CountingItem : public MenuItem {
 public:
  static std::shared_ptr<CountingItem> create() {
    return std::shared_ptr<CountingItem>(new CountingItem());
  }
  void setState(ControlStateValue state) override {
    ++calls;
    MenuItem::setState(state);
  }
  int calls = 0;

 private:
  CountingItem() : MenuItem("Counted", Selector("count:"), "") {}
};

TEST(MenuSetters, SetCheckmarkCallsTheSetterOnlyForAChange) {
  struct Case {
    ControlStateValue before;
    bool checked;
    ControlStateValue after;
    int calls;
  };
  using S = ControlStateValue;
  const std::vector<Case> cases = {
      {S::off, true, S::on, 1},   {S::on, true, S::on, 0},     {S::mixed, true, S::on, 1},
      {S::on, false, S::off, 1},  {S::off, false, S::off, 0},  {S::mixed, false, S::off, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(static_cast<int>(c.before)) + (c.checked ? " on" : " off"));
    auto item = CountingItem::create();
    item->MenuItem::setState(c.before);
    setCheckmark(item, c.checked);
    EXPECT_EQ(item->state(), c.after);
    EXPECT_EQ(item->calls, c.calls);
  }
}

TEST(MenuItemCopies, UserInfoItemCopiesItsListAndNothingElse) {
  auto target = std::make_shared<Object>();
  auto item = NSMenuItemWithUserInfo::create("Open", Selector("open:"), "o");
  item->userInfo()["path"] = "/tmp/a";
  item->setTarget(target);
  item->setAlternate(true);
  item->setIndentationLevel(2);
  item->setEnabled(false);
  item->setTag(4);
  item->setAttributedTitle(AttributedString("Open", {{"font", "bold"}}));
  item->setState(ControlStateValue::on);
  item->setSubmenu(Menu::create("Sub"));
  item->setKeyEquivalentModifierMask(EventModifierFlags::option);

  MenuItem::Ptr copy = item->clone();
  auto typed = std::dynamic_pointer_cast<NSMenuItemWithUserInfo>(copy);
  ASSERT_NE(typed, nullptr);
  EXPECT_EQ(typed->userInfo(), item->userInfo());
  typed->userInfo()["path"] = "/tmp/b";
  EXPECT_EQ(item->userInfo().at("path"), "/tmp/a");

  EXPECT_EQ(copy->title(), "Open");
  EXPECT_EQ(copy->action(), Selector("open:"));
  EXPECT_EQ(copy->keyEquivalent(), "o");
  EXPECT_TRUE(copy->isTarget(target));
  EXPECT_TRUE(copy->isAlternate());
  EXPECT_EQ(copy->indentationLevel(), 2);
  EXPECT_FALSE(copy->isEnabled());
  EXPECT_EQ(copy->tag(), 4);
  EXPECT_EQ(copy->attributedTitle(), item->attributedTitle());
  // Not copied: the platform's initial values.
  EXPECT_EQ(copy->state(), ControlStateValue::off);
  EXPECT_FALSE(copy->hasSubmenu());
  EXPECT_EQ(copy->keyEquivalentModifierMask(), EventModifierFlags::command);
  EXPECT_EQ(copy->menu(), nullptr);
}

TEST(MenuItemCopies, GenericItemSharesObjectsAndCopiesValues) {
  auto shared = std::make_shared<std::vector<int>>(std::vector<int>{1});
  auto byObject = NSMenuItem_Generic<std::shared_ptr<std::vector<int>>>::create("O", Selector("o:"), shared);
  auto objectCopy = std::dynamic_pointer_cast<NSMenuItem_Generic<std::shared_ptr<std::vector<int>>>>(
      byObject->clone());
  ASSERT_NE(objectCopy, nullptr);
  objectCopy->genericValue()->push_back(2);
  EXPECT_EQ(*byObject->genericValue(), (std::vector<int>{1, 2}));

  auto byValue = NSMenuItem_Generic<std::vector<int>>::create("V", Selector("v:"), "k", std::vector<int>{1});
  auto valueCopy = std::dynamic_pointer_cast<NSMenuItem_Generic<std::vector<int>>>(byValue->clone());
  ASSERT_NE(valueCopy, nullptr);
  valueCopy->genericValue().push_back(2);
  EXPECT_EQ(byValue->genericValue(), (std::vector<int>{1}));
  EXPECT_EQ(valueCopy->keyEquivalent(), "k");
  EXPECT_EQ(valueCopy->action(), Selector("v:"));
}

TEST(MenuItemCopies, GenericItemWithClearedActionCopiesWithoutAction) {
  auto item = NSMenuItem_Generic<int>::create("G", Selector("g:"), 7);
  item->setAction(std::nullopt);
  item->setTag(3);
  MenuItem::Ptr copy = item->clone();
  EXPECT_FALSE(copy->action().has_value());
  EXPECT_EQ(copy->tag(), 3);
  EXPECT_EQ(std::dynamic_pointer_cast<NSMenuItem_Generic<int>>(copy)->genericValue(), 7);
}

// The plain item initialiser is not offered for the generic item.
template <class A>
concept PlainCreate = requires { A::create(std::string("t"), Selector("a:"), std::string("k")); };
static_assert(!PlainCreate<NSMenuItem_Generic<int>>);
static_assert(PlainCreate<NSMenuItemWithUserInfo>);

TEST(MenuAddersDeathTest, SubmenuInsideItsOwnSubtree) {
  auto root = Menu::create("Main");
  auto child = Menu::create("Child");
  addSubMenuItem(root, child);
  EXPECT_DEATH(addSubMenuItem(child, root), "Menu \"Main\" cannot become a submenu of itself or of a menu inside it");
  EXPECT_DEATH(addSubMenuItem(Menu::create("Other"), child), "Menu \"Child\" is already the submenu of another item");
}

}  // namespace
}  // namespace vantrel
