// Renders constraints one line each, with the views named, so whole result
// lists compare at once: "P.right = Q.left - 8.0 @1000".
#pragma once

#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "vantrel/core/describe.h"
#include "vantrel/core/number_text.h"
#include "vantrel/drawing/layout_builders.h"

namespace vantrel::testing_support {

using ViewNames = std::vector<std::pair<View::Ptr, std::string>>;

inline std::string viewName(const View::Ptr& view, const ViewNames& names) {
  for (const auto& [v, name] : names) {
    if (v == view) return name;
  }
  return view ? "?" : "nil";
}

inline std::string constraintLine(const LayoutConstraint::Ptr& c, const ViewNames& names) {
  static const char* const relations[] = {"<=", "=", ">="};
  std::string line = viewName(c->firstItem(), names) + "." + std::string(description(c->firstAttribute()));
  line += std::string(" ") + relations[static_cast<int>(c->relation()) + 1] + " ";
  const double constant = c->constant();
  if (c->secondAttribute() != LayoutAttribute::notAnAttribute) {
    line += viewName(c->secondItem(), names) + "." + std::string(description(c->secondAttribute()));
    if (c->multiplier() != 1.0) line += " * " + significantTextPointZero(c->multiplier());
    // The sign bit decides, so a negated 0 shows as "- 0.0".
    line += std::signbit(constant) ? " - " + significantTextPointZero(-constant)
                                   : " + " + significantTextPointZero(constant);
  } else {
    line += significantTextPointZero(constant);
  }
  line += " @" + significantText(static_cast<double>(c->priority()));
  return line;
}

inline std::vector<std::string> constraintLines(const ConstraintList& list, const ViewNames& names) {
  std::vector<std::string> lines;
  for (const auto& c : list) lines.push_back(constraintLine(c, names));
  return lines;
}

}  // namespace vantrel::testing_support
