#include "vantrel/drawing/layout_spreads.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/drawing/constraint_lines.h"

namespace vantrel {
namespace {

using testing_support::Case;
using testing_support::constraintLines;
using testing_support::expectBothForms;
using testing_support::ViewNames;
using A = LayoutAttribute;
using Lines = std::vector<std::string>;

class LayoutSpreads : public testing::Test {
 protected:
  View::Ptr receiver = View::create(Rect(0, 0, 300, 200));
  View::Ptr P = View::create();
  View::Ptr Q = View::create();
  View::Ptr R = View::create();
  std::vector<View::Ptr> v = {View::create(), View::create(), View::create(),
                              View::create(), View::create(), View::create()};
  ViewNames names{{receiver, "receiver"}, {P, "P"}, {Q, "Q"}, {R, "R"}, {v[0], "v0"}, {v[1], "v1"},
                  {v[2], "v2"},           {v[3], "v3"}, {v[4], "v4"}, {v[5], "v5"}};

  std::vector<View::Ptr> first(std::size_t n) const { return {v.begin(), v.begin() + static_cast<long>(n)}; }
  Lines lines(const ConstraintList& list) const { return constraintLines(list, names); }
};

TEST_F(LayoutSpreads, RowsAndColumns) {
  const std::vector<Case> cases = {
      {"P, Q, R left to right",
       [&](bool i) {
         return (i ? vtbSpreadHorizontally : vccSpreadHorizontally)(receiver, {P, Q, R}, 10.0, 8, true, 12.0, A::top);
       },
       {"P.left = receiver.left + 10.0 @1000", "P.right = Q.left - 8.0 @1000", "Q.right = R.left - 8.0 @1000",
        "R.right = receiver.right - 12.0 @1000", "P.top = Q.top + 0.0 @1000", "Q.top = R.top + 0.0 @1000"}},
      {"P, Q, R top to bottom",
       [&](bool i) {
         return (i ? vtbSpreadVertically : vccSpreadVertically)(receiver, {P, Q, R}, 10.0, 8, true, 12.0, A::left);
       },
       {"P.top = receiver.top + 10.0 @1000", "Q.top = P.bottom + 8.0 @1000", "R.top = Q.bottom + 8.0 @1000",
        "R.bottom = receiver.bottom - 12.0 @1000", "P.left = Q.left + 0.0 @1000", "Q.left = R.left + 0.0 @1000"}},
      {"P, Q, R right to left",
       [&](bool i) {
         return (i ? vtbSpreadHorizontally : vccSpreadHorizontally)(receiver, {P, Q, R}, 10.0, 8, false, 12.0,
                                                                    std::nullopt);
       },
       {"P.right = receiver.right - 10.0 @1000", "Q.right = P.left - 8.0 @1000", "R.right = Q.left - 8.0 @1000",
        "R.left = receiver.left + 12.0 @1000"}},
      {"P, Q, R bottom to top",
       [&](bool i) {
         return (i ? vtbSpreadVertically : vccSpreadVertically)(receiver, {P, Q, R}, 10.0, 8, false, 12.0,
                                                                A::centerX);
       },
       {"P.bottom = receiver.bottom - 10.0 @1000", "P.top = Q.bottom + 8.0 @1000", "Q.top = R.bottom + 8.0 @1000",
        "R.top = receiver.top + 12.0 @1000", "P.centerX = Q.centerX + 0.0 @1000",
        "Q.centerX = R.centerX + 0.0 @1000"}},
      {"two views, defaults, row",
       [&](bool i) { return (i ? vtbSpreadHorizontally : vccSpreadHorizontally)(receiver, {P, Q}, {}, 0, true, {}, {}); },
       {"P.right = Q.left - 0.0 @1000"}},
      {"two views, defaults, column",
       [&](bool i) { return (i ? vtbSpreadVertically : vccSpreadVertically)(receiver, {P, Q}, {}, 0, true, {}, {}); },
       {"Q.top = P.bottom + 0.0 @1000"}},
      {"one view: start and end only",
       [&](bool i) {
         return (i ? vtbSpreadHorizontally : vccSpreadHorizontally)(receiver, {P}, 3.0, 8, true, 4.0, A::top);
       },
       {"P.left = receiver.left + 3.0 @1000", "P.right = receiver.right - 4.0 @1000"}},
      {"no views", [&](bool i) { return (i ? vtbSpreadVertically : vccSpreadVertically)(receiver, {}, 3.0, 8, true, {}, {}); },
       {}},
  };
  expectBothForms(receiver, cases, [&](const ConstraintList& l) { return lines(l); });
}

// There is no last view to pin: nothing, not a read past the list.
TEST_F(LayoutSpreads, EmptyListWithEndInsetMakesNoEndConstraint) {
  for (bool forward : {true, false}) {
    const std::vector<Case> cases = {
        {"row", [&](bool i) { return (i ? vtbSpreadHorizontally : vccSpreadHorizontally)(receiver, {}, 5.0, 2, forward, 12.0, A::top); }, {}},
        {"column", [&](bool i) { return (i ? vtbSpreadVertically : vccSpreadVertically)(receiver, {}, 5.0, 2, forward, 12.0, A::left); }, {}},
    };
    expectBothForms(receiver, cases, [&](const ConstraintList& l) { return lines(l); });
  }
}

TEST_F(LayoutSpreads, Matrix2ByRowsOfFiveViews) {
  const Lines want = {
      "v0.width = v1.width + 0.0 @1000", "v0.width = v2.width + 0.0 @1000", "v0.width = v3.width + 0.0 @1000",
      "v0.width = v4.width + 0.0 @1000", "v0.height = v1.height + 0.0 @1000", "v0.height = v2.height + 0.0 @1000",
      "v0.height = v3.height + 0.0 @1000", "v0.height = v4.height + 0.0 @1000",
      // rows (v0, v1) and (v2, v3) pinned both sides, the short row (v4) left only
      "v0.left = receiver.left + 2.0 @1000", "v0.right = v1.left - 4.0 @1000", "v1.right = receiver.right - 7.0 @1000",
      "v0.top = v1.top + 0.0 @1000", "v2.left = receiver.left + 2.0 @1000", "v2.right = v3.left - 4.0 @1000",
      "v3.right = receiver.right - 7.0 @1000", "v2.top = v3.top + 0.0 @1000", "v4.left = receiver.left + 2.0 @1000",
      // the rows' first views (v0, v2, v4) down the left margin
      "v0.top = receiver.top + 1.0 @1000", "v2.top = v0.bottom + 6.0 @1000", "v4.top = v2.bottom + 6.0 @1000",
      "v4.bottom = receiver.bottom - 3.0 @1000", "v0.left = v2.left + 0.0 @1000", "v2.left = v4.left + 0.0 @1000"};
  ASSERT_EQ(want.size(), 23u);
  expectBothForms(receiver,
                  {{"by rows",
                    [&](bool i) {
                      return (i ? vtbSpreadAsMatrix2Columns : vccSpreadAsMatrix2Columns)(
                          receiver, first(5), 2, Size(4, 6), EdgeInsets(1, 2, 3, 7));
                    },
                    want}},
                  [&](const ConstraintList& l) { return lines(l); });
}

TEST_F(LayoutSpreads, Matrix2ByColumnsOfFiveViews) {
  const Lines want = {
      "v0.width = v1.width + 0.0 @1000", "v0.width = v2.width + 0.0 @1000", "v0.width = v3.width + 0.0 @1000",
      "v0.width = v4.width + 0.0 @1000", "v0.height = v1.height + 0.0 @1000", "v0.height = v2.height + 0.0 @1000",
      "v0.height = v3.height + 0.0 @1000", "v0.height = v4.height + 0.0 @1000",
      "v0.top = receiver.top + 1.0 @1000", "v1.top = v0.bottom + 6.0 @1000", "v1.bottom = receiver.bottom - 3.0 @1000",
      "v0.left = v1.left + 0.0 @1000", "v2.top = receiver.top + 1.0 @1000", "v3.top = v2.bottom + 6.0 @1000",
      "v3.bottom = receiver.bottom - 3.0 @1000", "v2.left = v3.left + 0.0 @1000", "v4.top = receiver.top + 1.0 @1000",
      "v0.left = receiver.left + 2.0 @1000", "v0.right = v2.left - 4.0 @1000", "v2.right = v4.left - 4.0 @1000",
      "v4.right = receiver.right - 7.0 @1000", "v0.top = v2.top + 0.0 @1000", "v2.top = v4.top + 0.0 @1000"};
  expectBothForms(receiver,
                  {{"by columns",
                    [&](bool i) {
                      return (i ? vtbSpreadAsMatrix2Rows : vccSpreadAsMatrix2Rows)(receiver, first(5), 2, Size(4, 6),
                                                                                  EdgeInsets(1, 2, 3, 7));
                    },
                    want}},
                  [&](const ConstraintList& l) { return lines(l); });
}

TEST_F(LayoutSpreads, Matrix2SmallGrids) {
  const std::vector<Case> cases = {
      {"one view, defaults: left, right, top, bottom",
       [&](bool i) { return (i ? vtbSpreadAsMatrix2Columns : vccSpreadAsMatrix2Columns)(receiver, first(1), 1, Size(0, 0), EdgeInsets(0)); },
       {"v0.left = receiver.left + 0.0 @1000", "v0.right = receiver.right - 0.0 @1000",
        "v0.top = receiver.top + 0.0 @1000", "v0.bottom = receiver.bottom - 0.0 @1000"}},
      {"columns equal to the views: one row",
       [&](bool i) { return (i ? vtbSpreadAsMatrix2Columns : vccSpreadAsMatrix2Columns)(receiver, first(2), 2, Size(0, 0), EdgeInsets(0)); },
       {"v0.width = v1.width + 0.0 @1000", "v0.height = v1.height + 0.0 @1000", "v0.left = receiver.left + 0.0 @1000",
        "v0.right = v1.left - 0.0 @1000", "v1.right = receiver.right - 0.0 @1000", "v0.top = v1.top + 0.0 @1000",
        "v0.top = receiver.top + 0.0 @1000", "v0.bottom = receiver.bottom - 0.0 @1000"}},
      {"fewer views than columns: one short row, not pinned right",
       [&](bool i) { return (i ? vtbSpreadAsMatrix2Columns : vccSpreadAsMatrix2Columns)(receiver, first(1), 3, Size(0, 0), EdgeInsets(0)); },
       {"v0.left = receiver.left + 0.0 @1000", "v0.top = receiver.top + 0.0 @1000",
        "v0.bottom = receiver.bottom - 0.0 @1000"}},
      {"no views", [&](bool i) { return (i ? vtbSpreadAsMatrix2Rows : vccSpreadAsMatrix2Rows)(receiver, {}, 2, Size(1, 1), EdgeInsets(1)); }, {}},
  };
  expectBothForms(receiver, cases, [&](const ConstraintList& l) { return lines(l); });
}

TEST_F(LayoutSpreads, MatrixFillsColumnByColumnWithFixedGaps) {
  const Lines six = {"v0.top = receiver.top + 5.0 @1000",  "v1.top = v0.bottom + 5.0 @1000",
                     "v2.top = v1.bottom + 5.0 @1000",     "v3.top = receiver.top + 5.0 @1000",
                     "v4.top = v3.bottom + 5.0 @1000",     "v5.top = v4.bottom + 5.0 @1000",
                     "v0.left = receiver.left + 5.0 @1000", "v0.right = v3.left - 5.0 @1000",
                     "v1.left = receiver.left + 5.0 @1000", "v1.right = v4.left - 5.0 @1000",
                     "v2.left = receiver.left + 5.0 @1000", "v2.right = v5.left - 5.0 @1000"};
  const Lines four = {"v0.top = receiver.top + 5.0 @1000",  "v1.top = v0.bottom + 5.0 @1000",
                      "v2.top = v1.bottom + 5.0 @1000",     "v3.top = receiver.top + 5.0 @1000",
                      "v0.left = receiver.left + 5.0 @1000", "v0.right = v3.left - 5.0 @1000",
                      "v1.left = receiver.left + 5.0 @1000", "v2.left = receiver.left + 5.0 @1000"};
  const std::vector<Case> cases = {
      {"six views", [&](bool i) { return (i ? vtbSpreadAsMatrix : vccSpreadAsMatrix)(receiver, first(6), 3, {}, 0, {}); }, six},
      {"six views, the inset, spacing and end inset are ignored",
       [&](bool i) { return (i ? vtbSpreadAsMatrix : vccSpreadAsMatrix)(receiver, first(6), 3, 9.0, 3, 2.0); }, six},
      {"four views", [&](bool i) { return (i ? vtbSpreadAsMatrix : vccSpreadAsMatrix)(receiver, first(4), 3, {}, 0, {}); }, four},
      {"four views, ignored arguments",
       [&](bool i) { return (i ? vtbSpreadAsMatrix : vccSpreadAsMatrix)(receiver, first(4), 3, -1.0, 40, 0.0); }, four},
      {"one view",
       [&](bool i) { return (i ? vtbSpreadAsMatrix : vccSpreadAsMatrix)(receiver, first(1), 2, {}, 0, {}); },
       {"v0.top = receiver.top + 5.0 @1000", "v0.left = receiver.left + 5.0 @1000"}},
      {"no views", [&](bool i) { return (i ? vtbSpreadAsMatrix : vccSpreadAsMatrix)(receiver, {}, 2, {}, 0, {}); }, {}},
  };
  expectBothForms(receiver, cases, [&](const ConstraintList& l) { return lines(l); });
}

// The run length divides the list: below 1 is refused with a message, never
// a division by zero or a negative chunk.
TEST_F(LayoutSpreads, RunLengthBelowOneStops) {
  for (std::int64_t k : {0, -1}) {
    EXPECT_DEATH((void)vccSpreadAsMatrix(receiver, first(3), k), "vccSpreadAsMatrix: columns must be at least 1");
    EXPECT_DEATH((void)vtbSpreadAsMatrix(receiver, first(3), k), "vccSpreadAsMatrix: columns must be at least 1");
    EXPECT_DEATH((void)vccSpreadAsMatrix2Columns(receiver, first(3), k),
                 "vccSpreadAsMatrix2Columns: columns must be at least 1");
    EXPECT_DEATH((void)vtbSpreadAsMatrix2Rows(receiver, first(3), k), "vccSpreadAsMatrix2Rows: rows must be at least 1");
  }
  EXPECT_DEATH((void)vccSpreadAsMatrix2Rows(receiver, {}, 0), "rows must be at least 1, not 0");
}

}  // namespace
}  // namespace vantrel
