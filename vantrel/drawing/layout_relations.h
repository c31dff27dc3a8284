// File: vantrel/drawing/layout_relations.h
//
// Layout builders that relate views to each other: two views side by side
// or one beneath the other, chains in four directions, a view attached to an
// edge of the receiver, equalities and general relations on any attribute,
// and small conveniences on constraints and lists of constraints.
//
//   container->addSubviews({title, body});
//   auto cs = vccConnectVertically(container, title, body, 8);   // body.top == title.bottom + 8
//   vtbAttachViews(container, {title, body}, LayoutAttribute::left, 20);
//   vtbSameFor(container, LayoutAttribute::width, {title, body});   // title.width == body.width
//
// The convention of layout_builders.h holds: a `vcc` builder builds and
// returns; its `vtb` twin builds the same, installs it on the receiver (the
// first argument) with one `addConstraints` (a list) or `addConstraint` (one)
// and returns the same objects, also where the receiver is not an item of
// the constraint. Every multiplier is 1.0 unless a row says otherwise;
// every priority required unless one is given.
//
// Lists of views are `ViewList`s: a braced list of view pointers or any
// range of (subclass) view pointers. Too short a list gives an empty result:
// chains, `vccSameFor` and `vccEqual` with fewer than two views,
// the attach and relation builders with none.
//
// Stops (`fatal`): a null view or receiver, and an attach edge other than
// left, right, top or bottom ("edge has wrong value"). Main thread only.
#pragma once

#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "vantrel/drawing/layout_builders.h"
#include "vantrel/platform/kit/layout_constraint.h"
#include "vantrel/platform/kit/view.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

// The views a list builder takes, in order: `{a, b}` or any range of view
// (or view-subclass) pointers.
class ViewList {
 public:
  ViewList(std::initializer_list<View::Ptr> views) : views_(views) {}  // NOLINT: implicit on purpose
  template <ViewRange Views>
  ViewList(const Views& views) {  // NOLINT: implicit on purpose
    for (const auto& element : views) views_.push_back(View::Ptr(element));
  }
  [[nodiscard]] const std::vector<View::Ptr>& views() const { return views_; }

 private:
  std::vector<View::Ptr> views_;
};

// --- Side by side and beneath (single, ==; the receiver is no item) ----------
// first.right == second.left - distance
LayoutConstraint::Ptr vccConnectHorizontally(const View::Ptr& self, const View::Ptr& first, const View::Ptr& and_,
                                             double distance = 0);
LayoutConstraint::Ptr vtbConnectHorizontally(const View::Ptr& self, const View::Ptr& first, const View::Ptr& and_,
                                             double distance = 0);
// second.top == first.bottom + distance (the second view is the first item)
LayoutConstraint::Ptr vccConnectVertically(const View::Ptr& self, const View::Ptr& first, const View::Ptr& and_,
                                           double distance = 0);
LayoutConstraint::Ptr vtbConnectVertically(const View::Ptr& self, const View::Ptr& first, const View::Ptr& and_,
                                           double distance = 0);
// Installing only. view.right == leftOf.left - distance, as
// vtbConnectHorizontally(self, view, leftOf, distance) builds it.
LayoutConstraint::Ptr vtbPlaceLeftOf(const View::Ptr& self, const View::Ptr& view, const View::Ptr& leftOf,
                                     double distance = 0);
// Installing only. view.top == beneath.bottom + distance
LayoutConstraint::Ptr vtbPlaceBeneath(const View::Ptr& self, const View::Ptr& view, const View::Ptr& beneath,
                                      double distance = 0);

// --- Chains: one constraint per pair of neighbours (prev, next) in order ------
// next.top == prev.bottom + spacing (the list runs top to bottom)
ConstraintList vccAdjacentVertically(const View::Ptr& self, const ViewList& views, double spacing = 0);
ConstraintList vtbAdjacentVertically(const View::Ptr& self, const ViewList& views, double spacing = 0);
// prev.top == next.bottom + spacing (bottom to top)
ConstraintList vccAdjacentVerticallyBottomUp(const View::Ptr& self, const ViewList& views, double spacing = 0);
ConstraintList vtbAdjacentVerticallyBottomUp(const View::Ptr& self, const ViewList& views, double spacing = 0);
// prev.right == next.left - spacing (left to right)
ConstraintList vccAdjacentHorizontally(const View::Ptr& self, const ViewList& views, double spacing = 0);
ConstraintList vtbAdjacentHorizontally(const View::Ptr& self, const ViewList& views, double spacing = 0);
// next.right == prev.left - spacing (right to left)
ConstraintList vccAdjacentHorizontallyRTL(const View::Ptr& self, const ViewList& views, double spacing = 0);
ConstraintList vtbAdjacentHorizontallyRTL(const View::Ptr& self, const ViewList& views, double spacing = 0);

// --- Attaching to an edge of the receiver (==; view first, same attribute) ---
//   left   view.left   == receiver.left + inset
//   top    view.top    == receiver.top + inset
//   right  view.right  == receiver.right - inset
//   bottom view.bottom == receiver.bottom - inset
// A positive inset moves the view inward on every edge.
LayoutConstraint::Ptr vccAttach(const View::Ptr& self, const View::Ptr& view, LayoutAttribute toEdge,
                                double withInset = 0);
LayoutConstraint::Ptr vtbAttach(const View::Ptr& self, const View::Ptr& view, LayoutAttribute toEdge,
                                double withInset = 0);
// One attach constraint per view, in order; the edge is checked per view, so
// an empty list gives an empty list whatever the edge.
ConstraintList vccAttachViews(const View::Ptr& self, const ViewList& views, LayoutAttribute toEdge,
                              double withInset = 0);
ConstraintList vtbAttachViews(const View::Ptr& self, const ViewList& views, LayoutAttribute toEdge,
                              double withInset = 0);

// --- Equalities and relations ------------------------------------------------
// to.attribute == view.attribute * multiplyBy + constant (the `to` view is
// the first item), at `priority` when given.
LayoutConstraint::Ptr vccRelate(const View::Ptr& self, const View::Ptr& view, LayoutAttribute attribute,
                                double multiplyBy, double constant, const View::Ptr& to,
                                std::optional<LayoutPriority> priority = std::nullopt);
LayoutConstraint::Ptr vtbRelate(const View::Ptr& self, const View::Ptr& view, LayoutAttribute attribute,
                                double multiplyBy, double constant, const View::Ptr& to,
                                std::optional<LayoutPriority> priority = std::nullopt);
// receiver.attribute == with.attribute + constant (absent: 0)
LayoutConstraint::Ptr vccSame(const View::Ptr& self, LayoutAttribute attribute, const View::Ptr& with,
                              std::optional<LayoutPriority> priority = std::nullopt,
                              std::optional<double> constant = std::nullopt);
LayoutConstraint::Ptr vtbSame(const View::Ptr& self, LayoutAttribute attribute, const View::Ptr& with,
                              std::optional<LayoutPriority> priority = std::nullopt,
                              std::optional<double> constant = std::nullopt);
// A star: first.attribute == view.attribute + constant for every later view
// (the list form of `vccSame`, named apart so that `{view}` cannot pick the
// single form by accident).
ConstraintList vccSameFor(const View::Ptr& self, LayoutAttribute attribute, const ViewList& for_,
                       std::optional<LayoutPriority> priority = std::nullopt,
                       std::optional<double> constant = std::nullopt);
ConstraintList vtbSameFor(const View::Ptr& self, LayoutAttribute attribute, const ViewList& for_,
                       std::optional<LayoutPriority> priority = std::nullopt,
                       std::optional<double> constant = std::nullopt);
// A chain: views[i].attribute == views[i + 1].attribute + constant.
ConstraintList vccEqual(const View::Ptr& self, LayoutAttribute attribute, const ViewList& views,
                        double constant = 0);
ConstraintList vtbEqual(const View::Ptr& self, LayoutAttribute attribute, const ViewList& views,
                        double constant = 0);
// receiver.firstAttribute <relation> view.secondAttribute * multiplier - constant,
// one per view: the constant is subtracted.
ConstraintList vccRelation(const View::Ptr& self, LayoutAttribute firstAttribute, LayoutRelation relation,
                           const ViewList& views, LayoutAttribute secondAttribute, double multiplier = 1.0,
                           double constant = 0, std::optional<LayoutPriority> priority = std::nullopt);
ConstraintList vtbRelation(const View::Ptr& self, LayoutAttribute firstAttribute, LayoutRelation relation,
                           const ViewList& views, LayoutAttribute secondAttribute, double multiplier = 1.0,
                           double constant = 0, std::optional<LayoutPriority> priority = std::nullopt);

// --- Conveniences on constraints (each returns its constraint, for chaining) -
LayoutConstraint::Ptr vtbPriority(const LayoutConstraint::Ptr& self, LayoutPriority priority);
// nullopt clears the identifier.
LayoutConstraint::Ptr vtbIdentifier(const LayoutConstraint::Ptr& self, std::optional<std::string> identifier);
LayoutConstraint::Ptr vtactivate(const LayoutConstraint::Ptr& self);
// All at once, through the kit's one class call.
void activate(const ConstraintList& self);
void deactivate(const ConstraintList& self);

}  // namespace vantrel
