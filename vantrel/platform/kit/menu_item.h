// File: vantrel/platform/kit/menu_item.h
//
// `MenuItem`: one entry of a `Menu` (vantrel/platform/kit/menu.h): a title,
// an optional action sent to an optional target, a key equivalent with its
// modifier mask, a tag, a check state and a few display flags; or a
// separator; or the opener of a submenu.
//
//   auto copy = MenuItem::create("Copy", Selector("copy:"), "c");
//   copy->keyEquivalentModifierMask() == EventModifierFlags::command   // the default
//   copy->setTarget(document);          // held weakly; any object
//   copy->isTarget(document)            // true: the same object, by owner
//   copy->targetDescription()           // describe(*document), while it lives
//
//   auto file = MenuItem::create();
//   file->setSubmenu(Menu::create("File"));
//   MenuItem::separatorItem()->isSeparatorItem()                       // true
//
// Lifetimes: a menu owns its items and an item owns its submenu; an item's
// menu, a submenu's opening item and the target are weak links, so dropping
// the root menu frees the whole tree and an item never keeps its target
// alive. A target that has gone reads as none.
//
// Tree rules, as the platform enforces them: an item sits in at most one
// menu, a menu is the submenu of at most one item, and a menu can never
// become a submenu inside its own subtree. Breaking one stops the program
// with `fatal`, so a walk down a menu tree always ends.
//
// `setState` is virtual so a subclass can watch or refuse state changes;
// `clone` is virtual so a subclass copies its own data (the platform's
// copying). The base copy takes every property but the submenu and the
// menu: a copy stands in no menu and opens nothing.
//
// Main-thread objects: not thread-safe.
#pragma once

#include <cstdint>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <type_traits>

#include "vantrel/core/describe.h"
#include "vantrel/platform/kit/application.h"
#include "vantrel/platform/kit/attributed_string.h"
#include "vantrel/platform/kit/button.h"
#include "vantrel/platform/kit/selector.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

class Menu;

class MenuItem : public std::enable_shared_from_this<MenuItem> {
 public:
  using Ptr = std::shared_ptr<MenuItem>;

  // The platform's argument-less item: empty title and key equivalent, no
  // action.
  [[nodiscard]] static Ptr create();
  [[nodiscard]] static Ptr create(std::string title, std::optional<Selector> action, std::string keyEquivalent);
  // A new separator: no title, no action, never a submenu opener.
  [[nodiscard]] static Ptr separatorItem();

  virtual ~MenuItem() = default;
  MenuItem(const MenuItem&) = delete;  // identity is the object; copies come from clone()
  MenuItem& operator=(const MenuItem&) = delete;

  [[nodiscard]] const std::string& title() const { return title_; }
  // Drops an attributed title: the plain text is the title now.
  void setTitle(std::string title);
  [[nodiscard]] const std::optional<AttributedString>& attributedTitle() const { return attributedTitle_; }
  // A present attributed title also sets the plain title to its text.
  void setAttributedTitle(std::optional<AttributedString> title);

  [[nodiscard]] const std::optional<Selector>& action() const { return action_; }
  void setAction(std::optional<Selector> action) { action_ = std::move(action); }

  // Any object, held weakly; a null pointer clears the target. The type
  // must be known (not void): it is what describes the target.
  template <class T>
    requires(!std::is_void_v<T>)
  void setTarget(const std::shared_ptr<T>& target) {
    if (!target) {
      setTarget(nullptr);
      return;
    }
    target_ = target;
    describeTarget_ = [](const std::shared_ptr<void>& object) {
      return describe(*static_cast<T*>(object.get()));
    };
  }
  void setTarget(std::nullptr_t) {
    target_.reset();
    describeTarget_ = nullptr;
  }
  // The target while it lives, else null.
  [[nodiscard]] std::shared_ptr<void> target() const { return target_.lock(); }
  // Whether `object` (alive, not null) is the target: the same owner, so a
  // pointer to a base or a member of the target's object counts too.
  [[nodiscard]] bool isTarget(const std::shared_ptr<void>& object) const;
  // `describe` of the target as the type it was set with, while it lives.
  [[nodiscard]] std::optional<std::string> targetDescription() const;

  [[nodiscard]] const std::string& keyEquivalent() const { return keyEquivalent_; }
  void setKeyEquivalent(std::string key) { keyEquivalent_ = std::move(key); }
  // Command unless set otherwise; kept as given, unknown bits included.
  [[nodiscard]] EventModifierFlags keyEquivalentModifierMask() const { return modifierMask_; }
  void setKeyEquivalentModifierMask(EventModifierFlags mask) { modifierMask_ = mask; }

  [[nodiscard]] std::int64_t tag() const { return tag_; }
  void setTag(std::int64_t tag) { tag_ = tag; }

  [[nodiscard]] ControlStateValue state() const { return state_; }
  virtual void setState(ControlStateValue state) { state_ = state; }

  [[nodiscard]] bool isEnabled() const { return enabled_; }
  void setEnabled(bool enabled) { enabled_ = enabled; }
  [[nodiscard]] bool isHidden() const { return hidden_; }
  void setHidden(bool hidden) { hidden_ = hidden; }
  [[nodiscard]] bool isAlternate() const { return alternate_; }
  void setAlternate(bool alternate) { alternate_ = alternate; }
  [[nodiscard]] std::int64_t indentationLevel() const { return indentationLevel_; }
  void setIndentationLevel(std::int64_t level) { indentationLevel_ = level; }

  [[nodiscard]] bool isSeparatorItem() const { return separator_; }

  [[nodiscard]] const std::shared_ptr<Menu>& submenu() const { return submenu_; }
  [[nodiscard]] bool hasSubmenu() const { return submenu_ != nullptr; }
  // Null removes the submenu. Stops the program when `submenu` already
  // opens from another item, or when this item stands in `submenu` or below
  // it (the tree would loop).
  void setSubmenu(std::shared_ptr<Menu> submenu);

  // The menu this item stands in, while it lives.
  [[nodiscard]] std::shared_ptr<Menu> menu() const { return menu_.lock(); }

  // A new item with this one's properties (see the top of this file).
  [[nodiscard]] virtual Ptr clone() const;

 protected:
  MenuItem(std::string title, std::optional<Selector> action, std::string keyEquivalent)
      : title_(std::move(title)), action_(std::move(action)), keyEquivalent_(std::move(keyEquivalent)) {}

  // Gives this item the target of `other`, weak link and description alike.
  void copyTargetFrom(const MenuItem& other) {
    target_ = other.target_;
    describeTarget_ = other.describeTarget_;
  }

 private:
  friend class Menu;

  std::string title_;
  std::optional<AttributedString> attributedTitle_;
  std::optional<Selector> action_;
  std::weak_ptr<void> target_;
  std::function<std::string(const std::shared_ptr<void>&)> describeTarget_;
  std::string keyEquivalent_;
  EventModifierFlags modifierMask_ = EventModifierFlags::command;
  std::int64_t tag_ = 0;
  ControlStateValue state_ = ControlStateValue::off;
  bool enabled_ = true;
  bool hidden_ = false;
  bool alternate_ = false;
  bool separator_ = false;
  std::int64_t indentationLevel_ = 0;
  std::shared_ptr<Menu> submenu_;
  std::weak_ptr<Menu> menu_;
};

}  // namespace vantrel
