#include "vantrel/drawing/layout_builders.h"

#include <cmath>
#include <string_view>

#include <fmt/format.h>

#include "vantrel/core/fatal.h"
#include "vantrel/core/no_destructor.h"
#include "vantrel/drawing/internal/constraint_building.h"

namespace vantrel {

namespace drawing_internal {

LayoutConstraint::Ptr relate(const View::Ptr& first, LayoutAttribute firstAttribute, LayoutRelation relation,
                             const View::Ptr& second, LayoutAttribute secondAttribute, double constant,
                             double multiplier) {
  if (!first || !second) fatal("layout builder: a view is null");
  return LayoutConstraint::create(first, firstAttribute, relation, second, secondAttribute, multiplier, constant);
}

const View::Ptr& receiver(const View::Ptr& self, std::string_view builder) {
  if (!self) fatal(fmt::format("{}: the receiver is null", builder));
  return self;
}

// The installing forms: one addConstraints for a list, one addConstraint
// for a single constraint, nothing else.
ConstraintList install(const View::Ptr& self, ConstraintList constraints, std::string_view builder) {
  receiver(self, builder)->addConstraints(constraints);
  return constraints;
}

LayoutConstraint::Ptr install(const View::Ptr& self, LayoutConstraint::Ptr constraint, std::string_view builder) {
  receiver(self, builder)->addConstraint(constraint);
  return constraint;
}

}  // namespace drawing_internal

namespace {

using A = LayoutAttribute;
using R = LayoutRelation;
using drawing_internal::install;
using drawing_internal::receiver;
using drawing_internal::relate;

// receiver.attribute <relation> constant, with no second item.
LayoutConstraint::Ptr dimension(const View::Ptr& self, A attribute, R relation, double constant) {
  if (!self) fatal("layout builder: the receiver is null");
  return LayoutConstraint::create(self, attribute, relation, nullptr, A::notAnAttribute, 1.0, constant);
}

}  // namespace

Setting<LayoutPriority>& LayoutPriorityDefaultLow() {
  static NoDestructor<Setting<LayoutPriority>> setting(kLayoutPriorityDefaultLow);
  return *setting;
}

Setting<LayoutPriority>& LayoutPriorityDefaultHigh() {
  static NoDestructor<Setting<LayoutPriority>> setting(kLayoutPriorityDefaultHigh);
  return *setting;
}

// --- Placing ------------------------------------------------------------------

ConstraintList vccPlace(const View::Ptr& self, const View::Ptr& view, PlaceSides at) {
  const auto& [top, left, bottom, right] = at;
  ConstraintList result;
  if (top) result.push_back(relate(view, A::top, R::equal, self, A::top, *top));
  if (left) result.push_back(relate(view, A::left, R::equal, self, A::left, *left));
  // Receiver first on the far sides, so a positive inset is inside there too.
  if (bottom) result.push_back(relate(self, A::bottom, R::equal, view, A::bottom, *bottom));
  if (right) result.push_back(relate(self, A::right, R::equal, view, A::right, *right));
  return result;
}

ConstraintList vtbPlace(const View::Ptr& self, const View::Ptr& view, PlaceSides at) {
  return install(self, vccPlace(self, view, at), "vtbPlace");
}

ConstraintList vccPlace(const View::Ptr& self, const View::Ptr& view, double inset) {
  return vccPlace(self, view, PlaceSides{inset, inset, inset, inset});
}

ConstraintList vtbPlace(const View::Ptr& self, const View::Ptr& view, double inset) {
  return install(self, vccPlace(self, view, inset), "vtbPlace");
}

ConstraintList vccPlaceHorizontal(const View::Ptr& self, const View::Ptr& view, SidePair at) {
  return vccPlace(self, view, PlaceSides{std::nullopt, at.first, std::nullopt, at.second});
}

ConstraintList vtbPlaceHorizontal(const View::Ptr& self, const View::Ptr& view, SidePair at) {
  return install(self, vccPlaceHorizontal(self, view, at), "vtbPlaceHorizontal");
}

ConstraintList vccPlaceVertical(const View::Ptr& self, const View::Ptr& view, SidePair at) {
  return vccPlace(self, view, PlaceSides{at.first, std::nullopt, at.second, std::nullopt});
}

ConstraintList vtbPlaceVertical(const View::Ptr& self, const View::Ptr& view, SidePair at) {
  return install(self, vccPlaceVertical(self, view, at), "vtbPlaceVertical");
}

// --- Centring -----------------------------------------------------------------

ConstraintList vccPlaceInCenter(const View::Ptr& self, const View::Ptr& view,
                                std::pair<double, double> withOffset) {
  return {relate(view, A::centerX, R::equal, self, A::centerX, withOffset.first),
          relate(view, A::centerY, R::equal, self, A::centerY, withOffset.second)};
}

ConstraintList vtbPlaceInCenter(const View::Ptr& self, const View::Ptr& view,
                                std::pair<double, double> withOffset) {
  return install(self, vccPlaceInCenter(self, view, withOffset), "vtbPlaceInCenter");
}

ConstraintList vccPlaceInCenter(const View::Ptr& self, const View::Ptr& view, Point withOffset) {
  return vccPlaceInCenter(self, view, std::pair{withOffset.x, withOffset.y});
}

ConstraintList vtbPlaceInCenter(const View::Ptr& self, const View::Ptr& view, Point withOffset) {
  return install(self, vccPlaceInCenter(self, view, withOffset), "vtbPlaceInCenter");
}

LayoutConstraint::Ptr vccPlaceInCenterX(const View::Ptr& self, const View::Ptr& view, double withOffset) {
  return relate(view, A::centerX, R::equal, self, A::centerX, withOffset);
}

LayoutConstraint::Ptr vtbPlaceInCenterX(const View::Ptr& self, const View::Ptr& view, double withOffset) {
  return install(self, vccPlaceInCenterX(self, view, withOffset), "vtbPlaceInCenterX");
}

LayoutConstraint::Ptr vccPlaceInCenterY(const View::Ptr& self, const View::Ptr& view, double withOffset) {
  return relate(view, A::centerY, R::equal, self, A::centerY, withOffset);
}

LayoutConstraint::Ptr vtbPlaceInCenterY(const View::Ptr& self, const View::Ptr& view, double withOffset) {
  return install(self, vccPlaceInCenterY(self, view, withOffset), "vtbPlaceInCenterY");
}

LayoutConstraint::Ptr vccPlaceInCenterX(const View::Ptr&, const View::Ptr& view, const View::Ptr& of,
                                        double withOffset) {
  return relate(view, A::centerX, R::equal, of, A::centerX, withOffset);
}

LayoutConstraint::Ptr vtbPlaceInCenterX(const View::Ptr& self, const View::Ptr& view, const View::Ptr& of,
                                        double withOffset) {
  return install(self, vccPlaceInCenterX(self, view, of, withOffset), "vtbPlaceInCenterX");
}

LayoutConstraint::Ptr vccPlaceInCenterY(const View::Ptr&, const View::Ptr& view, const View::Ptr& of,
                                        double withOffset) {
  return relate(view, A::centerY, R::equal, of, A::centerY, withOffset);
}

LayoutConstraint::Ptr vtbPlaceInCenterY(const View::Ptr& self, const View::Ptr& view, const View::Ptr& of,
                                        double withOffset) {
  return install(self, vccPlaceInCenterY(self, view, of, withOffset), "vtbPlaceInCenterY");
}

LayoutConstraint::Ptr vtbPlaceInCenterHorizontally(const View::Ptr& self, const View::Ptr& view,
                                                   double withOffset) {
  return vtbPlaceInCenterX(self, view, withOffset);
}

LayoutConstraint::Ptr vtbPlaceInCenterVertically(const View::Ptr& self, const View::Ptr& view,
                                                 double withOffset) {
  return vtbPlaceInCenterY(self, view, withOffset);
}

// --- Size ---------------------------------------------------------------------

ConstraintList vccConstrainSize(const View::Ptr& self, Size size) {
  return {dimension(self, A::width, R::equal, size.width), dimension(self, A::height, R::equal, size.height)};
}

ConstraintList vtbConstrainSize(const View::Ptr& self, Size size) {
  return install(self, vccConstrainSize(self, size), "vtbConstrainSize");
}

ConstraintList vccConstrainSize(const View::Ptr& self, std::optional<double> width,
                                std::optional<double> height) {
  ConstraintList result;
  if (width) result.push_back(dimension(self, A::width, R::equal, *width));
  if (height) result.push_back(dimension(self, A::height, R::equal, *height));
  return result;
}

ConstraintList vtbConstrainSize(const View::Ptr& self, std::optional<double> width,
                                std::optional<double> height) {
  return install(self, vccConstrainSize(self, width, height), "vtbConstrainSize");
}

LayoutConstraint::Ptr vccConstrainWidth(const View::Ptr& self, double value) {
  return dimension(self, A::width, R::equal, value);
}

LayoutConstraint::Ptr vtbConstrainWidth(const View::Ptr& self, double value) {
  return install(self, vccConstrainWidth(self, value), "vtbConstrainWidth");
}

LayoutConstraint::Ptr vccConstrainHeight(const View::Ptr& self, double value) {
  return dimension(self, A::height, R::equal, value);
}

LayoutConstraint::Ptr vtbConstrainHeight(const View::Ptr& self, double value) {
  return install(self, vccConstrainHeight(self, value), "vtbConstrainHeight");
}

ConstraintList vccConstrainWidthBetween(const View::Ptr& self, std::optional<double> minimum,
                                        std::optional<double> maximum) {
  ConstraintList result;
  if (minimum) result.push_back(dimension(self, A::width, R::greaterThanOrEqual, *minimum));
  if (maximum) result.push_back(dimension(self, A::width, R::lessThanOrEqual, *maximum));
  return result;
}

ConstraintList vtbConstrainWidthBetween(const View::Ptr& self, std::optional<double> minimum,
                                        std::optional<double> maximum) {
  return install(self, vccConstrainWidthBetween(self, minimum, maximum), "vtbConstrainWidthBetween");
}

ConstraintList vccConstrainHeightBetween(const View::Ptr& self, std::optional<double> minimum,
                                         std::optional<double> maximum) {
  ConstraintList result;
  if (minimum) result.push_back(dimension(self, A::height, R::greaterThanOrEqual, *minimum));
  if (maximum) result.push_back(dimension(self, A::height, R::lessThanOrEqual, *maximum));
  return result;
}

ConstraintList vtbConstrainHeightBetween(const View::Ptr& self, std::optional<double> minimum,
                                         std::optional<double> maximum) {
  return install(self, vccConstrainHeightBetween(self, minimum, maximum), "vtbConstrainHeightBetween");
}

LayoutConstraint::Ptr vccRequireMinWidth(const View::Ptr& self, double value) {
  return dimension(self, A::width, R::greaterThanOrEqual, value);
}

LayoutConstraint::Ptr vtbRequireMinWidth(const View::Ptr& self, double value) {
  return install(self, vccRequireMinWidth(self, value), "vtbRequireMinWidth");
}

LayoutConstraint::Ptr vccRequireMinHeight(const View::Ptr& self, double value) {
  return dimension(self, A::height, R::greaterThanOrEqual, value);
}

LayoutConstraint::Ptr vtbRequireMinHeight(const View::Ptr& self, double value) {
  return install(self, vccRequireMinHeight(self, value), "vtbRequireMinHeight");
}

ConstraintList vccRequireMinSize(const View::Ptr& self, Size size) {
  return {vccRequireMinWidth(self, size.width), vccRequireMinHeight(self, size.height)};
}

ConstraintList vtbRequireMinSize(const View::Ptr& self, Size size) {
  return install(self, vccRequireMinSize(self, size), "vtbRequireMinSize");
}

LayoutConstraint::Ptr vccLimitWidthTo(const View::Ptr& self, double value) {
  return dimension(self, A::width, R::lessThanOrEqual, value);
}

LayoutConstraint::Ptr vtbLimitWidthTo(const View::Ptr& self, double value) {
  return install(self, vccLimitWidthTo(self, value), "vtbLimitWidthTo");
}

LayoutConstraint::Ptr vccLimitHeightTo(const View::Ptr& self, double value) {
  return dimension(self, A::height, R::lessThanOrEqual, value);
}

LayoutConstraint::Ptr vtbLimitHeightTo(const View::Ptr& self, double value) {
  return install(self, vccLimitHeightTo(self, value), "vtbLimitHeightTo");
}

ConstraintList vccConstrainSizeHuggingAndCompressionResistance(
    const View::Ptr& self, Size size, LayoutPriority horizontalHuggingPriority,
    LayoutPriority horizontalCompressionResistancePriority, LayoutPriority verticalHuggingPriority,
    LayoutPriority verticalCompressionResistancePriority) {
  const Size intrinsic = receiver(self, "vccConstrainSizeHuggingAndCompressionResistance")->intrinsicContentSize();
  // Exact comparison on purpose: NaN counts as a size of its own.
  if (!(intrinsic.width == kViewNoIntrinsicMetric && intrinsic.height == kViewNoIntrinsicMetric)) {
    fatal(fmt::format("vccConstrainSizeHuggingAndCompressionResistance: {} has an intrinsic content size {}",
                      self->description(), intrinsic.description()));
  }
  auto prioritised = [](LayoutConstraint::Ptr c, LayoutPriority p) {
    c->setPriority(p);
    return c;
  };
  return {prioritised(vccRequireMinWidth(self, size.width), horizontalCompressionResistancePriority),
          prioritised(vccRequireMinHeight(self, size.height), verticalCompressionResistancePriority),
          prioritised(vccLimitWidthTo(self, size.width), horizontalHuggingPriority),
          prioritised(vccLimitHeightTo(self, size.height), verticalHuggingPriority)};
}

ConstraintList vtbConstrainSizeHuggingAndCompressionResistance(
    const View::Ptr& self, Size size, LayoutPriority horizontalHuggingPriority,
    LayoutPriority horizontalCompressionResistancePriority, LayoutPriority verticalHuggingPriority,
    LayoutPriority verticalCompressionResistancePriority) {
  return install(self,
                 vccConstrainSizeHuggingAndCompressionResistance(
                     self, size, horizontalHuggingPriority, horizontalCompressionResistancePriority,
                     verticalHuggingPriority, verticalCompressionResistancePriority),
                 "vtbConstrainSizeHuggingAndCompressionResistance");
}

void addSubviews(const View::Ptr& self, std::initializer_list<View::Ptr> views) {
  if (!self) fatal("addSubviews: the receiver is null");
  for (const View::Ptr& view : views) {
    if (view) self->addSubview(view);
  }
}

}  // namespace vantrel
