// File: vantrel/appkit/menu_helpers.h
//
// Building and searching menus in code: a depth-first search for the first
// item that sends an action, one-call adders, two item makers and chainable
// setters. Operations the platform's menu and item classes gain are free
// functions here, receiver first.
//
//   auto edit = Menu::create("Edit");
//   vtSetTag(addItem(edit, "Copy", Selector("copy:")), 7);    // chained
//   addSeparatorItem(edit);
//   auto bar = Menu::create("Main");
//   addSubMenuItem(bar, edit);                  // titled "Edit", now and later
//   firstMatch(bar, Selector("copy:"))          // MenuMatch{edit, 0}
//   firstMatchingMenuItem(bar, Selector("copy:"))->tag()   // 7
//
// Search rule: items are visited in menu order and the whole submenu of an
// item is searched before the next item (depth first, pre-order). An item
// with a submenu is never a match itself. Any other item matches when its
// action is the selector and either no target was asked for, the item has
// no (living) target, or its target is the very object asked for (the same
// owner, see `MenuItem::isTarget`).
//
// The setters return the item they were given, typed as that item's own
// class, so a chain behind a subclass's `create` keeps the subclass.
//
// Main-thread functions, like the menus they change.
#pragma once

#include <concepts>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "vantrel/core/fatal.h"
#include "vantrel/platform/kit/application.h"
#include "vantrel/platform/kit/menu.h"
#include "vantrel/platform/kit/menu_item.h"
#include "vantrel/platform/kit/selector.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

// Where a search found its item: the menu that directly holds it (a
// submenu, when it was found there) and its index in that menu.
struct MenuMatch {
  Menu::Ptr menu;
  std::int64_t index = 0;

  friend bool operator==(const MenuMatch&, const MenuMatch&) = default;
};

// ---- Search -------------------------------------------------------------------

[[nodiscard]] std::optional<MenuMatch> firstMatch(const Menu::Ptr& self, const Selector& selector,
                                                  const std::shared_ptr<void>& target = nullptr);
// The item itself, or null when nothing matches.
[[nodiscard]] MenuItem::Ptr firstMatchingMenuItem(const Menu::Ptr& self, const Selector& selector,
                                                  const std::shared_ptr<void>& target = nullptr);

// ---- Adders -------------------------------------------------------------------

// A new separator, appended.
MenuItem::Ptr addSeparatorItem(const Menu::Ptr& self);
// A new item with the empty key equivalent, appended.
MenuItem::Ptr addItem(const Menu::Ptr& self, std::string title, Selector action);
// A plain item opening `menu`, titled with the menu's title as it is now,
// appended. Stops the program when `menu` cannot go there (see menu.h).
MenuItem::Ptr addSubMenuItem(const Menu::Ptr& self, const Menu::Ptr& menu);
// Appends each item in order.
void addItems(const Menu::Ptr& self, const std::vector<MenuItem::Ptr>& items);

// ---- Item makers --------------------------------------------------------------

// A plain item opening `submenu`, titled with its title as it is now.
[[nodiscard]] MenuItem::Ptr menuItemWithSubmenu(const Menu::Ptr& submenu);
// An item with the empty key equivalent.
[[nodiscard]] MenuItem::Ptr menuItemWithTitle(std::string title, Selector action);

// ---- Chainable setters ----------------------------------------------------------

template <class Item>
concept MenuItemType = std::derived_from<Item, MenuItem>;

template <MenuItemType Item>
const std::shared_ptr<Item>& vtSetTag(const std::shared_ptr<Item>& self, std::int64_t tag) {
  if (!self) fatal("vtSetTag: the item is null");
  self->setTag(tag);
  return self;
}

// Any object, held weakly; null clears the target.
template <MenuItemType Item, class Target>
const std::shared_ptr<Item>& vtSetTarget(const std::shared_ptr<Item>& self, const std::shared_ptr<Target>& target) {
  if (!self) fatal("vtSetTarget: the item is null");
  self->setTarget(target);
  return self;
}
template <MenuItemType Item>
const std::shared_ptr<Item>& vtSetTarget(const std::shared_ptr<Item>& self, std::nullptr_t) {
  if (!self) fatal("vtSetTarget: the item is null");
  self->setTarget(nullptr);
  return self;
}

template <MenuItemType Item>
const std::shared_ptr<Item>& vtSetAlternate(const std::shared_ptr<Item>& self, bool alternate) {
  if (!self) fatal("vtSetAlternate: the item is null");
  self->setAlternate(alternate);
  return self;
}

template <MenuItemType Item>
const std::shared_ptr<Item>& vtSetKeyEquivalentModifierMask(const std::shared_ptr<Item>& self,
                                                            EventModifierFlags mask) {
  if (!self) fatal("vtSetKeyEquivalentModifierMask: the item is null");
  self->setKeyEquivalentModifierMask(mask);
  return self;
}

// On or off; the item's state setter runs only when the state changes (a
// mixed state is always replaced).
void setCheckmark(const MenuItem::Ptr& self, bool checked);

}  // namespace vantrel
