#include "vantrel/platform/kit/layout_constraint.h"

#include <cstdint>

#include <fmt/format.h>

#include "vantrel/core/fatal.h"
#include "vantrel/core/geometry.h"
#include "vantrel/platform/kit/layout_guide.h"
#include "vantrel/platform/kit/view.h"

namespace vantrel {
namespace {

std::string itemText(const std::shared_ptr<View>& view, const std::shared_ptr<LayoutGuide>& guide,
                     LayoutAttribute attribute) {
  std::string item = "nil";
  if (view) {
    item = fmt::format("{}(0x{:016x})", view->className(), reinterpret_cast<std::uintptr_t>(view.get()));
  } else if (guide) {
    item = fmt::format("LayoutGuide(0x{:016x})", reinterpret_cast<std::uintptr_t>(guide.get()));
  }
  return item + "." + std::string(description(attribute));
}

// The nearest view that both `a` and `b` descend from (a view descends from
// itself), or null when they are in different trees.
std::shared_ptr<View> nearestCommonAncestor(const std::shared_ptr<View>& a, const std::shared_ptr<View>& b) {
  for (std::shared_ptr<View> candidate = a; candidate; candidate = candidate->superview()) {
    if (b->isDescendantOf(*candidate)) return candidate;
  }
  return nullptr;
}

}  // namespace

std::string_view description(LayoutAttribute attribute) {
  switch (attribute) {
    case LayoutAttribute::notAnAttribute: return "notAnAttribute";
    case LayoutAttribute::left: return "left";
    case LayoutAttribute::right: return "right";
    case LayoutAttribute::top: return "top";
    case LayoutAttribute::bottom: return "bottom";
    case LayoutAttribute::leading: return "leading";
    case LayoutAttribute::trailing: return "trailing";
    case LayoutAttribute::width: return "width";
    case LayoutAttribute::height: return "height";
    case LayoutAttribute::centerX: return "centerX";
    case LayoutAttribute::centerY: return "centerY";
    case LayoutAttribute::lastBaseline: return "lastBaseline";
    case LayoutAttribute::firstBaseline: return "firstBaseline";
  }
  return "unknownAttribute";
}

std::string_view description(LayoutRelation relation) {
  switch (relation) {
    case LayoutRelation::lessThanOrEqual: return "<=";
    case LayoutRelation::equal: return "==";
    case LayoutRelation::greaterThanOrEqual: return ">=";
  }
  return "?";
}

std::string_view description(LayoutOrientation orientation) {
  return orientation == LayoutOrientation::vertical ? "vertical" : "horizontal";
}

LayoutConstraint::Ptr LayoutConstraint::create(const LayoutItem& firstItem,
                                               LayoutAttribute firstAttribute, LayoutRelation relation,
                                               const LayoutItem& secondItem,
                                               LayoutAttribute secondAttribute, double multiplier,
                                               double constant) {
  if (firstItem.isNone()) fatal("LayoutConstraint: the first item is null");
  if (firstAttribute == LayoutAttribute::notAnAttribute) {
    fatal("LayoutConstraint: the first attribute is notAnAttribute");
  }
  if (!secondItem.isNone() && secondAttribute == LayoutAttribute::notAnAttribute) {
    fatal("LayoutConstraint: a second item needs a second attribute");
  }
  if (secondItem.isNone() && secondAttribute != LayoutAttribute::notAnAttribute) {
    fatal(fmt::format("LayoutConstraint: the second attribute {} has no second item",
                      vantrel::description(secondAttribute)));
  }
  Ptr constraint(new LayoutConstraint());
  constraint->firstItem_ = firstItem.view();
  constraint->firstGuide_ = firstItem.guide();
  constraint->firstAttribute_ = firstAttribute;
  constraint->relation_ = relation;
  constraint->secondItem_ = secondItem.view();
  constraint->secondGuide_ = secondItem.guide();
  constraint->secondAttribute_ = secondAttribute;
  constraint->multiplier_ = multiplier;
  constraint->constant_ = constant;
  return constraint;
}

std::shared_ptr<View> LayoutConstraint::firstHost() const {
  if (auto view = firstItem()) return view;
  const auto guide = firstGuide();
  return guide ? guide->owningView() : nullptr;
}

std::shared_ptr<View> LayoutConstraint::secondHost() const {
  if (auto view = secondItem()) return view;
  const auto guide = secondGuide();
  return guide ? guide->owningView() : nullptr;
}

bool LayoutConstraint::isActive() const { return !installedOn_.expired(); }

void LayoutConstraint::setActive(bool active) {
  if (!active) {
    if (const auto view = installedOn()) view->uninstall(shared_from_this());
    return;
  }
  if (isActive()) return;
  // A guide that no view owns has nowhere to be installed: like a gone item.
  const auto first = firstHost();
  const auto second = secondHost();
  if (!first || (secondAttribute_ != LayoutAttribute::notAnAttribute && !second)) {
    fatal("LayoutConstraint: cannot activate a constraint whose item is gone");
  }
  const auto host = second ? nearestCommonAncestor(first, second) : first;
  if (!host) {
    fatal(fmt::format("LayoutConstraint: cannot activate {}: its items have no common ancestor",
                      description()));
  }
  host->install(shared_from_this());
}

void LayoutConstraint::activate(const std::vector<Ptr>& constraints) {
  for (const auto& c : constraints) {
    if (!c) fatal("LayoutConstraint::activate: a constraint is null");
    c->setActive(true);
  }
}

void LayoutConstraint::deactivate(const std::vector<Ptr>& constraints) {
  for (const auto& c : constraints) {
    if (c) c->setActive(false);
  }
}

std::string LayoutConstraint::description() const {
  std::string text = "<LayoutConstraint: " + itemText(firstItem(), firstGuide(), firstAttribute_) + " " +
                     std::string(vantrel::description(relation_)) + " ";
  if (secondAttribute_ != LayoutAttribute::notAnAttribute) {
    text += itemText(secondItem(), secondGuide(), secondAttribute_) + " * " + coordinateText(multiplier_) + " + " +
            coordinateText(constant_);
  } else {
    text += coordinateText(constant_);
  }
  text += " priority " + coordinateText(priority_);
  if (!identifier_.empty()) text += " identifier \"" + identifier_ + "\"";
  text += isActive() ? " active>" : " inactive>";
  return text;
}

}  // namespace vantrel
