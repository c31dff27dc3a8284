// File: vantrel/drawing/layout_builders.h
//
// Layout builders that place a subview inside the receiver, centre it, and
// constrain the receiver's size, one call per relation. Every builder comes
// as a returning `vcc…` form and (mostly) an installing `vtb…` twin:
//
//   container->addSubview(disableAutoresizingMasks(label));
//   auto cs = vccPlace(container, label, {8.0, 8.0, std::nullopt, 8.0});  // top, left, -, right
//   container->addConstraints(cs);                // the caller installs
//   vtbConstrainSize(container, Size(300, 200));  // builds and installs on `container`
//
// A `vcc` builder only builds: it installs and activates nothing, adds no
// subview, sets no identifier and leaves every autoresizing-mask flag alone.
// Its `vtb` twin builds exactly the same constraints, installs them on the
// receiver (`addConstraints` for a list, `addConstraint` for one) and returns
// the same objects. Lists come in the order each declaration gives.
//
// Notation below: *receiver* is the first argument, *view* the second.
// Constants are the arguments unchanged: a positive inset puts the view's edge
// inside the receiver's on every side (for bottom and right the receiver is
// the first item), a negative one outside. Every multiplier is 1.0; every
// priority required unless stated. Absent optional sides make no constraint.
//
// The builders test no numbers. They stop (`fatal`) for a null receiver of
// an installing form, a null view, and, for the hugging builder, a receiver
// with an intrinsic content size. Main thread only, like the views.
#pragma once

#include <concepts>
#include <initializer_list>
#include <memory>
#include <optional>
#include <ranges>
#include <tuple>
#include <utility>
#include <vector>

#include "vantrel/core/fatal.h"
#include "vantrel/core/geometry.h"
#include "vantrel/platform/kit/layout_constraint.h"
#include "vantrel/platform/kit/setting.h"
#include "vantrel/platform/kit/view.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

using ConstraintList = std::vector<LayoutConstraint::Ptr>;
// Optional sides in the order top, left, bottom, right.
using PlaceSides = std::tuple<std::optional<double>, std::optional<double>, std::optional<double>,
                              std::optional<double>>;
// Two optional sides: (left, right) or (top, bottom).
using SidePair = std::pair<std::optional<double>, std::optional<double>>;

// Any range whose elements are (pointers to) views or view subclasses.
template <class R>
concept ViewRange = std::ranges::input_range<R> &&
                    std::convertible_to<std::ranges::range_reference_t<R>, View::Ptr>;

// Default priorities of the hugging builder; the host may change them.
// A default argument that names one reads it at the time of the call.
Setting<LayoutPriority>& LayoutPriorityDefaultLow();   // initially 250
Setting<LayoutPriority>& LayoutPriorityDefaultHigh();  // initially 750

// --- Placing inside the receiver (all ==) -----------------------------------
// 1. view.top == receiver.top + top      2. view.left == receiver.left + left
// 3. receiver.bottom == view.bottom + bottom   4. receiver.right == view.right + right
ConstraintList vccPlace(const View::Ptr& self, const View::Ptr& view, PlaceSides at = {0.0, 0.0, 0.0, 0.0});
ConstraintList vtbPlace(const View::Ptr& self, const View::Ptr& view, PlaceSides at = {0.0, 0.0, 0.0, 0.0});
// The four of vccPlace with `inset` on every side.
ConstraintList vccPlace(const View::Ptr& self, const View::Ptr& view, double inset);
ConstraintList vtbPlace(const View::Ptr& self, const View::Ptr& view, double inset);
// Constraints 2 and 4 of vccPlace: (left, right).
ConstraintList vccPlaceHorizontal(const View::Ptr& self, const View::Ptr& view, SidePair at = {0.0, 0.0});
ConstraintList vtbPlaceHorizontal(const View::Ptr& self, const View::Ptr& view, SidePair at = {0.0, 0.0});
// Constraints 1 and 3 of vccPlace: (top, bottom).
ConstraintList vccPlaceVertical(const View::Ptr& self, const View::Ptr& view, SidePair at = {0.0, 0.0});
ConstraintList vtbPlaceVertical(const View::Ptr& self, const View::Ptr& view, SidePair at = {0.0, 0.0});

// --- Centring (all ==) -------------------------------------------------------
// 1. view.centerX == receiver.centerX + x   2. view.centerY == receiver.centerY + y.
// The offset is a pair (x, y) or a Point; write `std::pair{x, y}` or
// `Point(x, y)`, since a bare `{x, y}` fits both.
ConstraintList vccPlaceInCenter(const View::Ptr& self, const View::Ptr& view,
                                std::pair<double, double> withOffset = {0.0, 0.0});
ConstraintList vtbPlaceInCenter(const View::Ptr& self, const View::Ptr& view,
                                std::pair<double, double> withOffset = {0.0, 0.0});
ConstraintList vccPlaceInCenter(const View::Ptr& self, const View::Ptr& view, Point withOffset);
ConstraintList vtbPlaceInCenter(const View::Ptr& self, const View::Ptr& view, Point withOffset);
// view.centerX == receiver.centerX + offset (and likewise for Y).
LayoutConstraint::Ptr vccPlaceInCenterX(const View::Ptr& self, const View::Ptr& view, double withOffset = 0);
LayoutConstraint::Ptr vtbPlaceInCenterX(const View::Ptr& self, const View::Ptr& view, double withOffset = 0);
LayoutConstraint::Ptr vccPlaceInCenterY(const View::Ptr& self, const View::Ptr& view, double withOffset = 0);
LayoutConstraint::Ptr vtbPlaceInCenterY(const View::Ptr& self, const View::Ptr& view, double withOffset = 0);
// view.centerX == other.centerX + offset: the receiver is not an item, yet
// the installing form installs on it.
LayoutConstraint::Ptr vccPlaceInCenterX(const View::Ptr& self, const View::Ptr& view, const View::Ptr& of,
                                        double withOffset = 0);
LayoutConstraint::Ptr vtbPlaceInCenterX(const View::Ptr& self, const View::Ptr& view, const View::Ptr& of,
                                        double withOffset = 0);
LayoutConstraint::Ptr vccPlaceInCenterY(const View::Ptr& self, const View::Ptr& view, const View::Ptr& of,
                                        double withOffset = 0);
LayoutConstraint::Ptr vtbPlaceInCenterY(const View::Ptr& self, const View::Ptr& view, const View::Ptr& of,
                                        double withOffset = 0);
// Installing only: the constraint of vtbPlaceInCenterX / vtbPlaceInCenterY.
LayoutConstraint::Ptr vtbPlaceInCenterHorizontally(const View::Ptr& self, const View::Ptr& view,
                                                   double withOffset = 0);
LayoutConstraint::Ptr vtbPlaceInCenterVertically(const View::Ptr& self, const View::Ptr& view,
                                                 double withOffset = 0);

// --- The receiver's size (first item the receiver, no second item) ----------
// 1. width == size.width   2. height == size.height
ConstraintList vccConstrainSize(const View::Ptr& self, Size size);
ConstraintList vtbConstrainSize(const View::Ptr& self, Size size);
// width == width, height == height, each only when present.
ConstraintList vccConstrainSize(const View::Ptr& self, std::optional<double> width, std::optional<double> height);
ConstraintList vtbConstrainSize(const View::Ptr& self, std::optional<double> width, std::optional<double> height);
LayoutConstraint::Ptr vccConstrainWidth(const View::Ptr& self, double value);   // width == value
LayoutConstraint::Ptr vtbConstrainWidth(const View::Ptr& self, double value);
LayoutConstraint::Ptr vccConstrainHeight(const View::Ptr& self, double value);  // height == value
LayoutConstraint::Ptr vtbConstrainHeight(const View::Ptr& self, double value);
// 1. width >= minimum   2. width <= maximum, each only when present; a
// minimum above the maximum is kept as given.
ConstraintList vccConstrainWidthBetween(const View::Ptr& self, std::optional<double> minimum,
                                        std::optional<double> maximum);
ConstraintList vtbConstrainWidthBetween(const View::Ptr& self, std::optional<double> minimum,
                                        std::optional<double> maximum);
ConstraintList vccConstrainHeightBetween(const View::Ptr& self, std::optional<double> minimum,
                                         std::optional<double> maximum);
ConstraintList vtbConstrainHeightBetween(const View::Ptr& self, std::optional<double> minimum,
                                         std::optional<double> maximum);
LayoutConstraint::Ptr vccRequireMinWidth(const View::Ptr& self, double value);   // width >= value
LayoutConstraint::Ptr vtbRequireMinWidth(const View::Ptr& self, double value);
LayoutConstraint::Ptr vccRequireMinHeight(const View::Ptr& self, double value);  // height >= value
LayoutConstraint::Ptr vtbRequireMinHeight(const View::Ptr& self, double value);
// 1. width >= size.width   2. height >= size.height
ConstraintList vccRequireMinSize(const View::Ptr& self, Size size);
ConstraintList vtbRequireMinSize(const View::Ptr& self, Size size);
LayoutConstraint::Ptr vccLimitWidthTo(const View::Ptr& self, double value);   // width <= value
LayoutConstraint::Ptr vtbLimitWidthTo(const View::Ptr& self, double value);
LayoutConstraint::Ptr vccLimitHeightTo(const View::Ptr& self, double value);  // height <= value
LayoutConstraint::Ptr vtbLimitHeightTo(const View::Ptr& self, double value);

// For a receiver without an intrinsic content size (both fields exactly
// kViewNoIntrinsicMetric), the behaviour hugging and compression resistance
// give a view with one:
//   1. width  >= size.width   @ horizontalCompressionResistancePriority
//   2. height >= size.height  @ verticalCompressionResistancePriority
//   3. width  <= size.width   @ horizontalHuggingPriority
//   4. height <= size.height  @ verticalHuggingPriority
// A receiver with an intrinsic content size stops the program: its own
// priorities already do this, and a second set would contradict them.
ConstraintList vccConstrainSizeHuggingAndCompressionResistance(
    const View::Ptr& self, Size size,
    LayoutPriority horizontalHuggingPriority = LayoutPriorityDefaultLow().get(),
    LayoutPriority horizontalCompressionResistancePriority = LayoutPriorityDefaultHigh().get(),
    LayoutPriority verticalHuggingPriority = LayoutPriorityDefaultLow().get(),
    LayoutPriority verticalCompressionResistancePriority = LayoutPriorityDefaultHigh().get());
ConstraintList vtbConstrainSizeHuggingAndCompressionResistance(
    const View::Ptr& self, Size size,
    LayoutPriority horizontalHuggingPriority = LayoutPriorityDefaultLow().get(),
    LayoutPriority horizontalCompressionResistancePriority = LayoutPriorityDefaultHigh().get(),
    LayoutPriority verticalHuggingPriority = LayoutPriorityDefaultLow().get(),
    LayoutPriority verticalCompressionResistancePriority = LayoutPriorityDefaultHigh().get());

// --- Lists of views ----------------------------------------------------------
// For each view in order, its own vccConstrainSize(width, height) list; the
// installing form installs each list on its view.
template <ViewRange Views>
std::vector<ConstraintList> vccConstrainSize(const Views& self, std::optional<double> width,
                                             std::optional<double> height) {
  std::vector<ConstraintList> result;
  for (const auto& element : self) result.push_back(vccConstrainSize(View::Ptr(element), width, height));
  return result;
}
template <ViewRange Views>
std::vector<ConstraintList> vtbConstrainSize(const Views& self, std::optional<double> width,
                                             std::optional<double> height) {
  std::vector<ConstraintList> result;
  for (const auto& element : self) result.push_back(vtbConstrainSize(View::Ptr(element), width, height));
  return result;
}
// One `view.width == value` per view, in order; installed on each view by
// the installing form (and likewise for the height).
template <ViewRange Views>
ConstraintList vccConstrainWidth(const Views& self, double value) {
  ConstraintList result;
  for (const auto& element : self) result.push_back(vccConstrainWidth(View::Ptr(element), value));
  return result;
}
template <ViewRange Views>
ConstraintList vtbConstrainWidth(const Views& self, double value) {
  ConstraintList result;
  for (const auto& element : self) result.push_back(vtbConstrainWidth(View::Ptr(element), value));
  return result;
}
template <ViewRange Views>
ConstraintList vccConstrainHeight(const Views& self, double value) {
  ConstraintList result;
  for (const auto& element : self) result.push_back(vccConstrainHeight(View::Ptr(element), value));
  return result;
}
template <ViewRange Views>
ConstraintList vtbConstrainHeight(const Views& self, double value) {
  ConstraintList result;
  for (const auto& element : self) result.push_back(vtbConstrainHeight(View::Ptr(element), value));
  return result;
}

// --- View conveniences -------------------------------------------------------
// Turns the autoresizing-mask flag off and returns the receiver, for chaining.
template <class V>
  requires std::derived_from<V, View>
const std::shared_ptr<V>& disableAutoresizingMasks(const std::shared_ptr<V>& self) {
  if (!self) fatal("disableAutoresizingMasks: the view is null");
  self->setTranslatesAutoresizingMaskIntoConstraints(false);
  return self;
}

// addSubview for each view in order; null entries are skipped. Autoresizing
// masks are left alone.
void addSubviews(const View::Ptr& self, std::initializer_list<View::Ptr> views);
template <ViewRange Views>
void addSubviews(const View::Ptr& self, const Views& views) {
  if (!self) fatal("addSubviews: the receiver is null");
  for (const auto& element : views) {
    if (element) self->addSubview(View::Ptr(element));
  }
}

}  // namespace vantrel
