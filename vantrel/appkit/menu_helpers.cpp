// File: vantrel/appkit/menu_helpers.cpp
#include "vantrel/appkit/menu_helpers.h"

#include <utility>

namespace vantrel {

namespace {

struct Found {
  Menu::Ptr menu;
  std::int64_t index;
};

// The one search both public forms answer from.
std::optional<Found> search(const Menu::Ptr& menu, const Selector& selector, const std::shared_ptr<void>& target) {
  const std::vector<MenuItem::Ptr>& items = menu->itemArray();
  for (std::size_t i = 0; i < items.size(); ++i) {
    const MenuItem& item = *items[i];
    if (item.hasSubmenu()) {
      if (std::optional<Found> inside = search(item.submenu(), selector, target)) return inside;
      continue;
    }
    if (!item.action() || *item.action() != selector) continue;
    if (!target || !item.target() || item.isTarget(target)) return Found{menu, static_cast<std::int64_t>(i)};
  }
  return std::nullopt;
}

const Menu::Ptr& checkedMenu(const Menu::Ptr& menu, const char* operation) {
  if (!menu) fatal(std::string(operation) + ": the menu is null");
  return menu;
}

}  // namespace

std::optional<MenuMatch> firstMatch(const Menu::Ptr& self, const Selector& selector,
                                    const std::shared_ptr<void>& target) {
  std::optional<Found> found = search(checkedMenu(self, "firstMatch"), selector, target);
  if (!found) return std::nullopt;
  return MenuMatch{std::move(found->menu), found->index};
}

MenuItem::Ptr firstMatchingMenuItem(const Menu::Ptr& self, const Selector& selector,
                                    const std::shared_ptr<void>& target) {
  std::optional<Found> found = search(checkedMenu(self, "firstMatchingMenuItem"), selector, target);
  if (!found) return nullptr;
  return found->menu->item(found->index);
}

MenuItem::Ptr addSeparatorItem(const Menu::Ptr& self) {
  MenuItem::Ptr item = MenuItem::separatorItem();
  checkedMenu(self, "addSeparatorItem")->addItem(item);
  return item;
}

MenuItem::Ptr addItem(const Menu::Ptr& self, std::string title, Selector action) {
  return checkedMenu(self, "addItem")->addItemWithTitle(std::move(title), std::move(action), "");
}

MenuItem::Ptr addSubMenuItem(const Menu::Ptr& self, const Menu::Ptr& menu) {
  checkedMenu(self, "addSubMenuItem");
  MenuItem::Ptr item = menuItemWithSubmenu(menu);
  self->addItem(item);
  return item;
}

void addItems(const Menu::Ptr& self, const std::vector<MenuItem::Ptr>& items) {
  checkedMenu(self, "addItems");
  for (const MenuItem::Ptr& item : items) self->addItem(item);
}

MenuItem::Ptr menuItemWithSubmenu(const Menu::Ptr& submenu) {
  checkedMenu(submenu, "menuItemWithSubmenu");
  MenuItem::Ptr item = MenuItem::create();
  item->setSubmenu(submenu);
  item->setTitle(submenu->title());
  return item;
}

MenuItem::Ptr menuItemWithTitle(std::string title, Selector action) {
  return MenuItem::create(std::move(title), std::move(action), "");
}

void setCheckmark(const MenuItem::Ptr& self, bool checked) {
  if (!self) fatal("setCheckmark: the item is null");
  ControlStateValue wanted = checked ? ControlStateValue::on : ControlStateValue::off;
  if (self->state() != wanted) self->setState(wanted);
}

}  // namespace vantrel
