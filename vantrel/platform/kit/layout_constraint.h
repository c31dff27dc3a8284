// File: vantrel/platform/kit/layout_constraint.h
//
// `LayoutConstraint`: the record of one layout relation,
//   firstItem.firstAttribute  relation  secondItem.secondAttribute * multiplier + constant
// with a priority, an identifier and an active flag. The kit has no solver:
// constraints are kept, installed, listed and described, never solved.
//
//   auto c = LayoutConstraint::create(label, LayoutAttribute::width, LayoutRelation::equal,
//                                     nullptr, LayoutAttribute::notAnAttribute, 1.0, 120);
//   container->addConstraint(c);      // installed on `container`, now active
//   c->setActive(false);              // removed from `container` again
//
// Lifetimes: constraints are held by `std::shared_ptr`; a view holds the
// constraints installed on it. A constraint holds its items and the view it is
// installed on weakly, so constraints never keep views alive and no cycle
// forms; `firstItem()` turns null once its view is gone.
//
// Installation: a constraint is installed on at most one view. Activating an
// inactive one installs it on the nearest common ancestor of its items (the
// first item itself when there is no second one); deactivating removes it
// from the view it is installed on. `View::addConstraint` installs it on a
// chosen view (after removing it from any other).
//
// Items: a view or a layout guide (`LayoutItem` converts from either). A
// guide item reads as null through `firstItem()` / `secondItem()` and as the
// guide through `firstGuide()` / `secondGuide()`; it is installed as its
// owning view would be.
//
// Stops (`fatal`): a constraint without a first item or with a first
// attribute of notAnAttribute; a second item without a second attribute or a
// second attribute without a second item; activating a constraint whose items
// are gone or share no ancestor. Views and constraints are main-thread
// objects: not thread-safe.
#pragma once

#include <concepts>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

class View;
class LayoutGuide;

// A constraint's item as given: a view (of any view class), a layout guide,
// or none (`nullptr`, for a missing second item).
class LayoutItem {
 public:
  LayoutItem() = default;
  LayoutItem(std::nullptr_t) {}  // NOLINT: implicit, like a null pointer
  template <class V>
    requires std::derived_from<V, View>
  LayoutItem(const std::shared_ptr<V>& view) : view_(view) {}  // NOLINT: implicit on purpose
  LayoutItem(const std::shared_ptr<LayoutGuide>& guide) : guide_(guide) {}  // NOLINT

  [[nodiscard]] const std::shared_ptr<View>& view() const { return view_; }
  [[nodiscard]] const std::shared_ptr<LayoutGuide>& guide() const { return guide_; }
  [[nodiscard]] bool isNone() const { return !view_ && !guide_; }

 private:
  std::shared_ptr<View> view_;
  std::shared_ptr<LayoutGuide> guide_;
};

// The platform's attribute numbering, kept so raw values can be exchanged.
enum class LayoutAttribute : std::int64_t {
  notAnAttribute = 0,
  left = 1,
  right = 2,
  top = 3,
  bottom = 4,
  leading = 5,
  trailing = 6,
  width = 7,
  height = 8,
  centerX = 9,
  centerY = 10,
  lastBaseline = 11,
  firstBaseline = 12,
};

enum class LayoutRelation : std::int64_t {
  lessThanOrEqual = -1,
  equal = 0,
  greaterThanOrEqual = 1,
};

enum class LayoutOrientation : std::int64_t {
  horizontal = 0,
  vertical = 1,
};

// A priority from 1 to 1000; 1000 is required.
using LayoutPriority = float;
inline constexpr LayoutPriority kLayoutPriorityRequired = 1000.0f;
inline constexpr LayoutPriority kLayoutPriorityDefaultHigh = 750.0f;
inline constexpr LayoutPriority kLayoutPriorityDefaultLow = 250.0f;
inline constexpr LayoutPriority kLayoutPriorityFittingSizeCompression = 50.0f;

// "left", "width", "notAnAttribute", …; `describe` prints these too.
[[nodiscard]] std::string_view description(LayoutAttribute attribute);
// "==", ">=", "<="
[[nodiscard]] std::string_view description(LayoutRelation relation);
// "horizontal", "vertical"
[[nodiscard]] std::string_view description(LayoutOrientation orientation);

class LayoutConstraint : public std::enable_shared_from_this<LayoutConstraint> {
 public:
  using Ptr = std::shared_ptr<LayoutConstraint>;

  // Inactive and uninstalled; priority required, empty identifier.
  [[nodiscard]] static Ptr create(const LayoutItem& firstItem, LayoutAttribute firstAttribute,
                                  LayoutRelation relation, const LayoutItem& secondItem,
                                  LayoutAttribute secondAttribute, double multiplier, double constant);

  // Identity is the object: a copy would be a second, uninstalled record.
  LayoutConstraint(const LayoutConstraint&) = delete;
  LayoutConstraint& operator=(const LayoutConstraint&) = delete;

  // Null once the view is gone (or, for the second item, when there is none,
  // and for a guide item).
  [[nodiscard]] std::shared_ptr<View> firstItem() const { return firstItem_.lock(); }
  [[nodiscard]] std::shared_ptr<View> secondItem() const { return secondItem_.lock(); }
  // The guide items, null for view items and once the guide is gone.
  [[nodiscard]] std::shared_ptr<LayoutGuide> firstGuide() const { return firstGuide_.lock(); }
  [[nodiscard]] std::shared_ptr<LayoutGuide> secondGuide() const { return secondGuide_.lock(); }
  [[nodiscard]] LayoutAttribute firstAttribute() const { return firstAttribute_; }
  [[nodiscard]] LayoutAttribute secondAttribute() const { return secondAttribute_; }
  [[nodiscard]] LayoutRelation relation() const { return relation_; }
  [[nodiscard]] double multiplier() const { return multiplier_; }

  [[nodiscard]] double constant() const { return constant_; }
  void setConstant(double constant) { constant_ = constant; }
  [[nodiscard]] LayoutPriority priority() const { return priority_; }
  void setPriority(LayoutPriority priority) { priority_ = priority; }
  [[nodiscard]] const std::string& identifier() const { return identifier_; }
  void setIdentifier(std::string identifier) { identifier_ = std::move(identifier); }

  // Active while installed on a live view.
  [[nodiscard]] bool isActive() const;
  void setActive(bool active);
  // The view it is installed on, or null.
  [[nodiscard]] std::shared_ptr<View> installedOn() const { return installedOn_.lock(); }

  // setActive(true) / setActive(false) on each, in order.
  static void activate(const std::vector<Ptr>& constraints);
  static void deactivate(const std::vector<Ptr>& constraints);

  // "<LayoutConstraint: View(0x…).width == 120.0 priority 1000.0 inactive>";
  // "identifier" and its text in quotes follow the priority when set, and a
  // second item reads "View(0x…).left * 1.0 + 8.0", a guide
  // "LayoutGuide(0x…).top". Gone items read "nil".
  [[nodiscard]] std::string description() const;

 private:
  friend class View;  // installation bookkeeping
  LayoutConstraint() = default;

  // The view an item is installed as: the view itself, or a guide's owner.
  [[nodiscard]] std::shared_ptr<View> firstHost() const;
  [[nodiscard]] std::shared_ptr<View> secondHost() const;

  std::weak_ptr<View> firstItem_;
  std::weak_ptr<View> secondItem_;
  std::weak_ptr<LayoutGuide> firstGuide_;
  std::weak_ptr<LayoutGuide> secondGuide_;
  std::weak_ptr<View> installedOn_;
  LayoutAttribute firstAttribute_ = LayoutAttribute::notAnAttribute;
  LayoutAttribute secondAttribute_ = LayoutAttribute::notAnAttribute;
  LayoutRelation relation_ = LayoutRelation::equal;
  double multiplier_ = 1.0;
  double constant_ = 0.0;
  LayoutPriority priority_ = kLayoutPriorityRequired;
  std::string identifier_;
};

}  // namespace vantrel
