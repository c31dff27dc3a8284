#include "vantrel/drawing/layout_relations.h"

#include <cstddef>
#include <utility>

#include "vantrel/core/fatal.h"
#include "vantrel/drawing/internal/constraint_building.h"

namespace vantrel {
namespace {

using A = LayoutAttribute;
using R = LayoutRelation;
using drawing_internal::install;
using drawing_internal::relate;

LayoutConstraint::Ptr withPriority(LayoutConstraint::Ptr constraint, std::optional<LayoutPriority> priority) {
  if (priority) constraint->setPriority(*priority);
  return constraint;
}

// One constraint per neighbouring pair (prev, next), in list order.
template <class Make>
ConstraintList pairs(const ViewList& views, Make make) {
  const auto& list = views.views();
  ConstraintList result;
  for (std::size_t i = 1; i < list.size(); ++i) result.push_back(make(list[i - 1], list[i]));
  return result;
}

}  // namespace

// --- Side by side and beneath -----------------------------------------------------

LayoutConstraint::Ptr vccConnectHorizontally(const View::Ptr&, const View::Ptr& first, const View::Ptr& and_,
                                             double distance) {
  // Negated so that a positive distance opens a gap, as on the vertical axis.
  return relate(first, A::right, R::equal, and_, A::left, -distance);
}

LayoutConstraint::Ptr vtbConnectHorizontally(const View::Ptr& self, const View::Ptr& first, const View::Ptr& and_,
                                             double distance) {
  return install(self, vccConnectHorizontally(self, first, and_, distance), "vtbConnectHorizontally");
}

LayoutConstraint::Ptr vccConnectVertically(const View::Ptr&, const View::Ptr& first, const View::Ptr& and_,
                                           double distance) {
  return relate(and_, A::top, R::equal, first, A::bottom, distance);
}

LayoutConstraint::Ptr vtbConnectVertically(const View::Ptr& self, const View::Ptr& first, const View::Ptr& and_,
                                           double distance) {
  return install(self, vccConnectVertically(self, first, and_, distance), "vtbConnectVertically");
}

LayoutConstraint::Ptr vtbPlaceLeftOf(const View::Ptr& self, const View::Ptr& view, const View::Ptr& leftOf,
                                     double distance) {
  return install(self, vccConnectHorizontally(self, view, leftOf, distance), "vtbPlaceLeftOf");
}

LayoutConstraint::Ptr vtbPlaceBeneath(const View::Ptr& self, const View::Ptr& view, const View::Ptr& beneath,
                                      double distance) {
  return install(self, relate(view, A::top, R::equal, beneath, A::bottom, distance), "vtbPlaceBeneath");
}

// --- Chains -------------------------------------------------------------------------

ConstraintList vccAdjacentVertically(const View::Ptr&, const ViewList& views, double spacing) {
  return pairs(views, [&](const View::Ptr& prev, const View::Ptr& next) {
    return relate(next, A::top, R::equal, prev, A::bottom, spacing);
  });
}

ConstraintList vtbAdjacentVertically(const View::Ptr& self, const ViewList& views, double spacing) {
  return install(self, vccAdjacentVertically(self, views, spacing), "vtbAdjacentVertically");
}

ConstraintList vccAdjacentVerticallyBottomUp(const View::Ptr&, const ViewList& views, double spacing) {
  return pairs(views, [&](const View::Ptr& prev, const View::Ptr& next) {
    return relate(prev, A::top, R::equal, next, A::bottom, spacing);
  });
}

ConstraintList vtbAdjacentVerticallyBottomUp(const View::Ptr& self, const ViewList& views, double spacing) {
  return install(self, vccAdjacentVerticallyBottomUp(self, views, spacing), "vtbAdjacentVerticallyBottomUp");
}

ConstraintList vccAdjacentHorizontally(const View::Ptr&, const ViewList& views, double spacing) {
  return pairs(views, [&](const View::Ptr& prev, const View::Ptr& next) {
    return relate(prev, A::right, R::equal, next, A::left, -spacing);
  });
}

ConstraintList vtbAdjacentHorizontally(const View::Ptr& self, const ViewList& views, double spacing) {
  return install(self, vccAdjacentHorizontally(self, views, spacing), "vtbAdjacentHorizontally");
}

ConstraintList vccAdjacentHorizontallyRTL(const View::Ptr&, const ViewList& views, double spacing) {
  return pairs(views, [&](const View::Ptr& prev, const View::Ptr& next) {
    return relate(next, A::right, R::equal, prev, A::left, -spacing);
  });
}

ConstraintList vtbAdjacentHorizontallyRTL(const View::Ptr& self, const ViewList& views, double spacing) {
  return install(self, vccAdjacentHorizontallyRTL(self, views, spacing), "vtbAdjacentHorizontallyRTL");
}

// --- Attaching ----------------------------------------------------------------------

LayoutConstraint::Ptr vccAttach(const View::Ptr& self, const View::Ptr& view, LayoutAttribute toEdge,
                                double withInset) {
  switch (toEdge) {
    case A::left:
    case A::top:
      return relate(view, toEdge, R::equal, self, toEdge, withInset);
    case A::right:
    case A::bottom:
      // The view stays the first item, so the inset turns inward by its sign.
      return relate(view, toEdge, R::equal, self, toEdge, -withInset);
    default:
      // Leading and trailing too: they would mirror under right-to-left text.
      fatal("edge has wrong value");
  }
}

LayoutConstraint::Ptr vtbAttach(const View::Ptr& self, const View::Ptr& view, LayoutAttribute toEdge,
                                double withInset) {
  return install(self, vccAttach(self, view, toEdge, withInset), "vtbAttach");
}

ConstraintList vccAttachViews(const View::Ptr& self, const ViewList& views, LayoutAttribute toEdge,
                              double withInset) {
  ConstraintList result;
  for (const View::Ptr& view : views.views()) result.push_back(vccAttach(self, view, toEdge, withInset));
  return result;
}

ConstraintList vtbAttachViews(const View::Ptr& self, const ViewList& views, LayoutAttribute toEdge,
                              double withInset) {
  return install(self, vccAttachViews(self, views, toEdge, withInset), "vtbAttachViews");
}

// --- Equalities and relations ---------------------------------------------------------

LayoutConstraint::Ptr vccRelate(const View::Ptr&, const View::Ptr& view, LayoutAttribute attribute,
                                double multiplyBy, double constant, const View::Ptr& to,
                                std::optional<LayoutPriority> priority) {
  return withPriority(relate(to, attribute, R::equal, view, attribute, constant, multiplyBy), priority);
}

LayoutConstraint::Ptr vtbRelate(const View::Ptr& self, const View::Ptr& view, LayoutAttribute attribute,
                                double multiplyBy, double constant, const View::Ptr& to,
                                std::optional<LayoutPriority> priority) {
  return install(self, vccRelate(self, view, attribute, multiplyBy, constant, to, priority), "vtbRelate");
}

LayoutConstraint::Ptr vccSame(const View::Ptr& self, LayoutAttribute attribute, const View::Ptr& with,
                              std::optional<LayoutPriority> priority, std::optional<double> constant) {
  return withPriority(relate(self, attribute, R::equal, with, attribute, constant.value_or(0)), priority);
}

LayoutConstraint::Ptr vtbSame(const View::Ptr& self, LayoutAttribute attribute, const View::Ptr& with,
                              std::optional<LayoutPriority> priority, std::optional<double> constant) {
  return install(self, vccSame(self, attribute, with, priority, constant), "vtbSame");
}

ConstraintList vccSameFor(const View::Ptr&, LayoutAttribute attribute, const ViewList& for_,
                       std::optional<LayoutPriority> priority, std::optional<double> constant) {
  const auto& views = for_.views();
  ConstraintList result;
  for (std::size_t i = 1; i < views.size(); ++i) {
    result.push_back(
        withPriority(relate(views[0], attribute, R::equal, views[i], attribute, constant.value_or(0)), priority));
  }
  return result;
}

ConstraintList vtbSameFor(const View::Ptr& self, LayoutAttribute attribute, const ViewList& for_,
                       std::optional<LayoutPriority> priority, std::optional<double> constant) {
  return install(self, vccSameFor(self, attribute, for_, priority, constant), "vtbSameFor");
}

ConstraintList vccEqual(const View::Ptr&, LayoutAttribute attribute, const ViewList& views, double constant) {
  return pairs(views, [&](const View::Ptr& prev, const View::Ptr& next) {
    return relate(prev, attribute, R::equal, next, attribute, constant);
  });
}

ConstraintList vtbEqual(const View::Ptr& self, LayoutAttribute attribute, const ViewList& views, double constant) {
  return install(self, vccEqual(self, attribute, views, constant), "vtbEqual");
}

ConstraintList vccRelation(const View::Ptr& self, LayoutAttribute firstAttribute, LayoutRelation relation,
                           const ViewList& views, LayoutAttribute secondAttribute, double multiplier,
                           double constant, std::optional<LayoutPriority> priority) {
  ConstraintList result;
  for (const View::Ptr& view : views.views()) {
    result.push_back(
        withPriority(relate(self, firstAttribute, relation, view, secondAttribute, -constant, multiplier), priority));
  }
  return result;
}

ConstraintList vtbRelation(const View::Ptr& self, LayoutAttribute firstAttribute, LayoutRelation relation,
                           const ViewList& views, LayoutAttribute secondAttribute, double multiplier,
                           double constant, std::optional<LayoutPriority> priority) {
  return install(self,
                 vccRelation(self, firstAttribute, relation, views, secondAttribute, multiplier, constant, priority),
                 "vtbRelation");
}

// --- Conveniences ---------------------------------------------------------------------

LayoutConstraint::Ptr vtbPriority(const LayoutConstraint::Ptr& self, LayoutPriority priority) {
  if (!self) fatal("vtbPriority: the constraint is null");
  self->setPriority(priority);
  return self;
}

LayoutConstraint::Ptr vtbIdentifier(const LayoutConstraint::Ptr& self, std::optional<std::string> identifier) {
  if (!self) fatal("vtbIdentifier: the constraint is null");
  self->setIdentifier(std::move(identifier).value_or(std::string()));
  return self;
}

LayoutConstraint::Ptr vtactivate(const LayoutConstraint::Ptr& self) {
  if (!self) fatal("vtactivate: the constraint is null");
  self->setActive(true);
  return self;
}

void activate(const ConstraintList& self) { LayoutConstraint::activate(self); }

void deactivate(const ConstraintList& self) { LayoutConstraint::deactivate(self); }

}  // namespace vantrel
