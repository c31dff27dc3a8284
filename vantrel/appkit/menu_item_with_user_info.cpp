// File: vantrel/appkit/menu_item_with_user_info.cpp
#include "vantrel/appkit/menu_item_with_user_info.h"

#include <utility>

namespace vantrel {

NSMenuItemWithUserInfo::Ptr NSMenuItemWithUserInfo::create(std::string title, std::optional<Selector> action,
                                                           std::string keyEquivalent) {
  return Ptr(new NSMenuItemWithUserInfo(std::move(title), std::move(action), std::move(keyEquivalent)));
}

MenuItem::Ptr NSMenuItemWithUserInfo::clone() const {
  Ptr copy = create(title(), action(), keyEquivalent());
  copy->copyTargetFrom(*this);
  copy->setAlternate(isAlternate());
  copy->setIndentationLevel(indentationLevel());
  copy->setKeyEquivalent(keyEquivalent());
  copy->setEnabled(isEnabled());
  copy->setTag(tag());
  // Last, so an attributed title wins over the plain one, as it did here.
  if (attributedTitle()) copy->setAttributedTitle(attributedTitle());
  copy->userInfo_ = userInfo_;
  return copy;
}

}  // namespace vantrel
