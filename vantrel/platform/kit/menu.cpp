// File: vantrel/platform/kit/menu.cpp
#include "vantrel/platform/kit/menu.h"

#include <fmt/format.h>

#include "vantrel/core/fatal.h"

namespace vantrel {

Menu::Ptr Menu::create(std::string title) { return Ptr(new Menu(std::move(title))); }

const MenuItem::Ptr& Menu::item(std::int64_t index) const {
  if (index < 0 || index >= numberOfItems()) {
    fatal(fmt::format("Menu item index {} out of range (menu \"{}\" has {} items)", index, title_, items_.size()));
  }
  return items_[static_cast<std::size_t>(index)];
}

std::int64_t Menu::indexOfItem(const MenuItem::Ptr& item) const {
  for (std::size_t i = 0; i < items_.size(); ++i) {
    if (items_[i] == item) return static_cast<std::int64_t>(i);
  }
  return -1;
}

void Menu::checkNotAncestor(const Menu& submenu) const {
  for (Ptr menu = std::const_pointer_cast<Menu>(shared_from_this()); menu; menu = menu->supermenu()) {
    if (menu.get() == &submenu) {
      fatal(fmt::format("Menu \"{}\" cannot become a submenu of itself or of a menu inside it", submenu.title()));
    }
  }
}

void Menu::checkCanHold(const MenuItem& item) const {
  if (Ptr holder = item.menu()) {
    fatal(fmt::format("Item \"{}\" is already in menu \"{}\"", item.title(), holder->title()));
  }
  if (item.submenu()) checkNotAncestor(*item.submenu());
}

void Menu::addItem(const MenuItem::Ptr& item) { insertItem(item, numberOfItems()); }

void Menu::insertItem(const MenuItem::Ptr& item, std::int64_t index) {
  if (!item) fatal(fmt::format("Null item inserted into menu \"{}\"", title_));
  if (index < 0 || index > numberOfItems()) {
    fatal(fmt::format("Menu item index {} out of range (menu \"{}\" has {} items)", index, title_, items_.size()));
  }
  checkCanHold(*item);
  items_.insert(items_.begin() + index, item);
  item->menu_ = weak_from_this();
}

MenuItem::Ptr Menu::addItemWithTitle(std::string title, std::optional<Selector> action, std::string keyEquivalent) {
  MenuItem::Ptr item = MenuItem::create(std::move(title), std::move(action), std::move(keyEquivalent));
  addItem(item);
  return item;
}

void Menu::removeItemAt(std::int64_t index) {
  MenuItem::Ptr removed = item(index);  // checks the index; keeps the item alive for the unlink
  items_.erase(items_.begin() + index);
  removed->menu_.reset();
}

void Menu::removeItem(const MenuItem::Ptr& item) {
  if (std::int64_t index = indexOfItem(item); index >= 0) removeItemAt(index);
}

void Menu::removeAllItems() {
  std::vector<MenuItem::Ptr> removed;
  removed.swap(items_);
  for (const MenuItem::Ptr& item : removed) item->menu_.reset();
}

Menu::Ptr Menu::supermenu() const {
  MenuItem::Ptr opener = openingItem_.lock();
  return opener ? opener->menu() : nullptr;
}

}  // namespace vantrel
