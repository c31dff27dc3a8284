#include "vantrel/platform/kit/menu.h"

#include <memory>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "vantrel/core/describe.h"
#include "vantrel/platform/kit/menu_item.h"
#include "vantrel/platform/kit/selector.h"

namespace vantrel {
namespace {

MenuItem::Ptr opener(const Menu::Ptr& submenu) {
  auto item = MenuItem::create(submenu->title(), std::nullopt, "");
  item->setSubmenu(submenu);
  return item;
}

TEST(Selector, EqualityByNameAndDescription) {
  EXPECT_EQ(Selector("copy:"), Selector("copy:"));
  EXPECT_NE(Selector("copy:"), Selector("copy"));
  EXPECT_EQ(describe(std::optional<Selector>(Selector("copy:"))), "Optional(copy:)");
  EXPECT_EQ(describe(std::optional<Selector>()), "nil");
}

TEST(MenuItem, Defaults) {
  auto item = MenuItem::create("Copy", Selector("copy:"), "c");
  EXPECT_EQ(item->keyEquivalentModifierMask(), EventModifierFlags::command);
  EXPECT_EQ(item->state(), ControlStateValue::off);
  EXPECT_TRUE(item->isEnabled());
  EXPECT_FALSE(item->isHidden() || item->isAlternate() || item->isSeparatorItem() || item->hasSubmenu());
  EXPECT_EQ(item->tag(), 0);
  EXPECT_FALSE(item->attributedTitle().has_value());
  EXPECT_TRUE(MenuItem::separatorItem()->isSeparatorItem());
}

TEST(MenuItem, AttributedTitleSetsTheTitleAndATitleDropsIt) {
  auto item = MenuItem::create();
  item->setAttributedTitle(AttributedString("Bold", {{"font", "bold"}}));
  EXPECT_EQ(item->title(), "Bold");
  item->setTitle("Plain");
  EXPECT_FALSE(item->attributedTitle().has_value());
}

struct Document {
  std::string name;
  std::string description() const { return "Document " + name; }
};

TEST(MenuItem, TargetIsWeakAndComparedByOwner) {
  struct Pair {
    Document first;
    Document second;
  };
  auto pair = std::make_shared<Pair>(Pair{{"a"}, {"b"}});
  std::shared_ptr<Document> member(pair, &pair->second);  // same owner, other address
  auto item = MenuItem::create("x", Selector("x:"), "");
  item->setTarget(member);
  EXPECT_TRUE(item->isTarget(pair));
  EXPECT_TRUE(item->isTarget(member));
  EXPECT_FALSE(item->isTarget(std::make_shared<Document>()));
  EXPECT_FALSE(item->isTarget(nullptr));
  EXPECT_EQ(item->targetDescription(), "Document b");

  member.reset();
  pair.reset();
  EXPECT_EQ(item->target(), nullptr);
  EXPECT_EQ(item->targetDescription(), std::nullopt);

  auto other = std::make_shared<Document>(Document{"c"});
  item->setTarget(other);
  item->setTarget(nullptr);
  EXPECT_FALSE(item->isTarget(other));
}

TEST(Menu, TreeLinksAndRemoval) {
  auto root = Menu::create("Main");
  auto edit = Menu::create("Edit");
  auto item = opener(edit);
  EXPECT_EQ(edit->supermenu(), nullptr);  // the item stands in no menu yet
  root->addItem(item);
  EXPECT_EQ(item->menu(), root);
  EXPECT_EQ(edit->supermenu(), root);

  root->removeItem(item);
  EXPECT_EQ(root->numberOfItems(), 0);
  EXPECT_EQ(item->menu(), nullptr);
  EXPECT_EQ(edit->supermenu(), nullptr);

  root->insertItem(item, 0);
  item->setSubmenu(nullptr);
  EXPECT_EQ(edit->supermenu(), nullptr);
  opener(edit);  // free again: another item may take it
}

TEST(Menu, DroppingTheRootFreesTheTree) {
  std::weak_ptr<Menu> weakEdit;
  std::weak_ptr<MenuItem> weakItem;
  {
    auto root = Menu::create("Main");
    auto edit = Menu::create("Edit");
    root->addItem(opener(edit));
    weakItem = edit->addItemWithTitle("Copy", Selector("copy:"), "c");
    weakEdit = edit;
  }
  EXPECT_TRUE(weakEdit.expired());
  EXPECT_TRUE(weakItem.expired());
}

TEST(Menu, InsertKeepsOrder) {
  auto menu = Menu::create();
  auto a = menu->addItemWithTitle("a", std::nullopt, "");
  auto c = menu->addItemWithTitle("c", std::nullopt, "");
  auto b = MenuItem::create("b", std::nullopt, "");
  menu->insertItem(b, 1);
  EXPECT_EQ(menu->itemArray(), (std::vector<MenuItem::Ptr>{a, b, c}));
  EXPECT_EQ(menu->indexOfItem(c), 2);
  menu->removeItemAt(0);
  EXPECT_EQ(menu->indexOfItem(a), -1);
  EXPECT_EQ(a->menu(), nullptr);
}

TEST(MenuDeathTest, MenuInsideItsOwnSubtree) {
  auto root = Menu::create("Main");
  auto child = Menu::create("Child");
  auto grandchild = Menu::create("Grandchild");
  root->addItem(opener(child));
  child->addItem(opener(grandchild));

  // Through the item: grandchild's item opens root.
  EXPECT_DEATH(grandchild->addItemWithTitle("Loop", std::nullopt, "")->setSubmenu(root),
               "Menu \"Main\" cannot become a submenu of itself or of a menu inside it");
  // Through the menu: an item that opens root is added to a menu below root.
  auto loop = opener(root);
  EXPECT_DEATH(grandchild->addItem(loop), "Menu \"Main\" cannot become a submenu of itself or of a menu inside it");
  EXPECT_DEATH(root->addItem(loop), "Menu \"Main\" cannot become a submenu of itself or of a menu inside it");
}

TEST(MenuDeathTest, SubmenuOfTwoItemsAndItemInTwoMenus) {
  auto edit = Menu::create("Edit");
  auto first = opener(edit);
  EXPECT_DEATH(opener(edit), "Menu \"Edit\" is already the submenu of another item");

  auto one = Menu::create("One");
  auto item = one->addItemWithTitle("Item", std::nullopt, "");
  EXPECT_DEATH(Menu::create("Two")->addItem(item), "Item \"Item\" is already in menu \"One\"");
  EXPECT_DEATH((void)one->item(1), "Menu item index 1 out of range");
  EXPECT_DEATH(one->insertItem(MenuItem::create(), 2), "Menu item index 2 out of range");
}

}  // namespace
}  // namespace vantrel
