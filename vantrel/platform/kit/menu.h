// File: vantrel/platform/kit/menu.h
//
// `Menu`: a titled list of `MenuItem`s (vantrel/platform/kit/menu_item.h).
// An item with a submenu opens another menu, so menus form a tree.
//
//   auto edit = Menu::create("Edit");
//   auto copy = edit->addItemWithTitle("Copy", Selector("copy:"), "c");
//   edit->addItem(MenuItem::separatorItem());
//   auto bar = Menu::create("Main");
//   auto opener = MenuItem::create("Edit", std::nullopt, "");
//   opener->setSubmenu(edit);
//   bar->addItem(opener);
//   edit->supermenu() == bar                 // true
//
// The tree rules (see menu_item.h) are checked here too: adding an item
// that stands in a menu already, or one whose submenu is this menu or one
// above it, stops the program with `fatal`. Indices out of range stop it
// as well, as the platform's range checks do.
//
// Main-thread objects: not thread-safe.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "vantrel/platform/kit/menu_item.h"
#include "vantrel/platform/kit/selector.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

class Menu : public std::enable_shared_from_this<Menu> {
 public:
  using Ptr = std::shared_ptr<Menu>;

  [[nodiscard]] static Ptr create(std::string title = "");

  Menu(const Menu&) = delete;  // identity is the object
  Menu& operator=(const Menu&) = delete;

  [[nodiscard]] const std::string& title() const { return title_; }
  void setTitle(std::string title) { title_ = std::move(title); }

  // The items in display order, separators included.
  [[nodiscard]] const std::vector<MenuItem::Ptr>& itemArray() const { return items_; }
  [[nodiscard]] std::int64_t numberOfItems() const { return static_cast<std::int64_t>(items_.size()); }
  [[nodiscard]] const MenuItem::Ptr& item(std::int64_t index) const;
  // The item's index here, else -1.
  [[nodiscard]] std::int64_t indexOfItem(const MenuItem::Ptr& item) const;

  void addItem(const MenuItem::Ptr& item);
  // 0 ... numberOfItems() are valid places.
  void insertItem(const MenuItem::Ptr& item, std::int64_t index);
  // A new item with the default modifier mask (command), appended.
  MenuItem::Ptr addItemWithTitle(std::string title, std::optional<Selector> action, std::string keyEquivalent);
  void removeItemAt(std::int64_t index);
  // An item that is not here changes nothing.
  void removeItem(const MenuItem::Ptr& item);
  void removeAllItems();

  // The menu holding the item that opens this one, while both live.
  [[nodiscard]] Ptr supermenu() const;

 private:
  explicit Menu(std::string title) : title_(std::move(title)) {}

  friend class MenuItem;
  // Stops the program unless `item` may be placed here.
  void checkCanHold(const MenuItem& item) const;
  // Stops the program when `submenu` is this menu or one above it.
  void checkNotAncestor(const Menu& submenu) const;

  std::string title_;
  std::vector<MenuItem::Ptr> items_;
  std::weak_ptr<MenuItem> openingItem_;
};

}  // namespace vantrel
