// File: vantrel/drawing/internal/constraint_building.h
//
// What every layout builder does the same way: make one constraint (null
// views stop the program), and install a result on the receiver with one
// call.
#pragma once

#include <string_view>

#include "vantrel/drawing/layout_builders.h"

namespace vantrel::drawing_internal {

// first.firstAttribute <relation> second.secondAttribute * multiplier + constant
[[nodiscard]] LayoutConstraint::Ptr relate(const View::Ptr& first, LayoutAttribute firstAttribute,
                                           LayoutRelation relation, const View::Ptr& second,
                                           LayoutAttribute secondAttribute, double constant,
                                           double multiplier = 1.0);
// The receiver, stopping with "<builder>: the receiver is null" when it is.
const View::Ptr& receiver(const View::Ptr& self, std::string_view builder);
// One addConstraints for a list, one addConstraint for a single constraint.
ConstraintList install(const View::Ptr& self, ConstraintList constraints, std::string_view builder);
LayoutConstraint::Ptr install(const View::Ptr& self, LayoutConstraint::Ptr constraint, std::string_view builder);

}  // namespace vantrel::drawing_internal
