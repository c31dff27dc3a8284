// File: vantrel/platform/kit/menu_item.cpp
#include "vantrel/platform/kit/menu_item.h"

#include <fmt/format.h>

#include "vantrel/core/fatal.h"
#include "vantrel/platform/kit/menu.h"

namespace vantrel {

MenuItem::Ptr MenuItem::create() { return Ptr(new MenuItem("", std::nullopt, "")); }

MenuItem::Ptr MenuItem::create(std::string title, std::optional<Selector> action, std::string keyEquivalent) {
  return Ptr(new MenuItem(std::move(title), std::move(action), std::move(keyEquivalent)));
}

MenuItem::Ptr MenuItem::separatorItem() {
  Ptr item = create();
  item->separator_ = true;
  return item;
}

void MenuItem::setTitle(std::string title) {
  title_ = std::move(title);
  attributedTitle_.reset();
}

void MenuItem::setAttributedTitle(std::optional<AttributedString> title) {
  if (title) title_ = title->string();
  attributedTitle_ = std::move(title);
}

bool MenuItem::isTarget(const std::shared_ptr<void>& object) const {
  // An empty weak pointer and a null pointer share "no owner": never a match.
  if (!object || target_.expired()) return false;
  return !target_.owner_before(object) && !object.owner_before(target_);
}

std::optional<std::string> MenuItem::targetDescription() const {
  std::shared_ptr<void> object = target_.lock();
  if (!object || !describeTarget_) return std::nullopt;
  return describeTarget_(object);
}

void MenuItem::setSubmenu(std::shared_ptr<Menu> submenu) {
  if (submenu == submenu_) return;
  if (submenu) {
    if (MenuItem::Ptr opener = submenu->openingItem_.lock(); opener && opener.get() != this) {
      fatal(fmt::format("Menu \"{}\" is already the submenu of another item", submenu->title()));
    }
    if (Menu::Ptr holder = menu()) holder->checkNotAncestor(*submenu);
  }
  if (submenu_) submenu_->openingItem_.reset();
  submenu_ = std::move(submenu);
  if (submenu_) submenu_->openingItem_ = weak_from_this();
}

MenuItem::Ptr MenuItem::clone() const {
  Ptr copy = create(title_, action_, keyEquivalent_);
  copy->attributedTitle_ = attributedTitle_;
  copy->copyTargetFrom(*this);
  copy->modifierMask_ = modifierMask_;
  copy->tag_ = tag_;
  copy->state_ = state_;
  copy->enabled_ = enabled_;
  copy->hidden_ = hidden_;
  copy->alternate_ = alternate_;
  copy->separator_ = separator_;
  copy->indentationLevel_ = indentationLevel_;
  return copy;
}

}  // namespace vantrel
