// File: vantrel/appkit/menu_item_generic.h
//
// `NSMenuItem_Generic<A>`: a menu item that carries one value of the host's
// type A, such as the document or the colour the item stands for.
//
//   auto item = NSMenuItem_Generic<Color::Ptr>::create("Red", Selector("pick:"), red);
//   item->genericValue()          // red: an object is shared
//   NSMenuItem_Generic<Size>::create("Small", Selector("pick:"), "1", Size(10))
//                                 // with a key equivalent
//
// The value is held as A: a pointer type shares its object with every copy
// of the item, a value type is copied. An item is made only with an action
// and a value; the plain item initialiser is not offered.
//
// A copy (`clone`) is a new item of this very class (never of a subclass)
// with a copy of the value, made from the title, action and key equivalent,
// then given the target, alternate flag, indentation, enabled flag, tag and
// attributed title; everything else starts afresh (state off, no submenu,
// command as modifier mask). An item whose action was cleared after it was
// made copies to an item without action.
//
// Main-thread objects: not thread-safe.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "vantrel/platform/kit/menu_item.h"
#include "vantrel/platform/kit/selector.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

template <class A>
class NSMenuItem_Generic : public MenuItem {
 public:
  using Ptr = std::shared_ptr<NSMenuItem_Generic>;

  [[nodiscard]] static Ptr create(std::string title, Selector action, std::string keyEquivalent, A genericValue) {
    return Ptr(new NSMenuItem_Generic(std::move(title), std::move(action), std::move(keyEquivalent),
                                      std::move(genericValue)));
  }
  // With the empty key equivalent.
  [[nodiscard]] static Ptr create(std::string title, Selector action, A genericValue) {
    return create(std::move(title), std::move(action), std::string(), std::move(genericValue));
  }

  [[nodiscard]] const A& genericValue() const { return genericValue_; }
  [[nodiscard]] A& genericValue() { return genericValue_; }
  void setGenericValue(A value) { genericValue_ = std::move(value); }

  [[nodiscard]] MenuItem::Ptr clone() const override {
    Ptr copy(new NSMenuItem_Generic(title(), action(), keyEquivalent(), genericValue_));
    copy->copyTargetFrom(*this);
    copy->setAlternate(isAlternate());
    copy->setIndentationLevel(indentationLevel());
    copy->setKeyEquivalent(keyEquivalent());
    copy->setEnabled(isEnabled());
    copy->setTag(tag());
    if (attributedTitle()) copy->setAttributedTitle(attributedTitle());
    return copy;
  }

 protected:
  // Optional only for `clone`: an item made by `create` always has one.
  NSMenuItem_Generic(std::string title, std::optional<Selector> action, std::string keyEquivalent, A genericValue)
      : MenuItem(std::move(title), std::move(action), std::move(keyEquivalent)),
        genericValue_(std::move(genericValue)) {}

 private:
  A genericValue_;
};

}  // namespace vantrel
