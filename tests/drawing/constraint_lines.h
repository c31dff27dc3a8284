// Renders constraints one line each, with the views named, so whole result
// lists compare at once: "P.right = Q.left - 8.0 @1000"; and checks a
// returning builder against its installing twin.
#pragma once

#include <cmath>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

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

// A returning builder and its installing twin, called with the same arguments.
struct Case {
  std::string name;
  std::function<ConstraintList(bool install)> build;
  std::vector<std::string> want;
};

// Both forms give the same lines; the returning one installs nothing, the
// installing one installs exactly the objects it returns on the receiver.
inline void expectBothForms(const View::Ptr& receiver, const std::vector<Case>& cases,
                            const std::function<std::vector<std::string>(const ConstraintList&)>& lines) {
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    receiver->removeConstraints(receiver->constraints());
    const ConstraintList built = c.build(false);
    EXPECT_EQ(lines(built), c.want);
    EXPECT_TRUE(receiver->constraints().empty());
    for (const auto& constraint : built) EXPECT_FALSE(constraint->isActive());
    const ConstraintList installed = c.build(true);
    EXPECT_EQ(lines(installed), c.want);
    EXPECT_EQ(receiver->constraints(), installed);  // the very objects, in order
  }
}

}  // namespace vantrel::testing_support
