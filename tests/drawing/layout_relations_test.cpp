#include "vantrel/drawing/layout_relations.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/drawing/constraint_lines.h"
#include "vantrel/platform/kit/button.h"

namespace vantrel {
namespace {

using testing_support::Case;
using testing_support::constraintLines;
using testing_support::expectBothForms;
using testing_support::ViewNames;
using A = LayoutAttribute;
using R = LayoutRelation;
using Lines = std::vector<std::string>;

class LayoutRelations : public testing::Test {
 protected:
  View::Ptr receiver = View::create(Rect(0, 0, 300, 200));
  View::Ptr P = View::create();
  View::Ptr Q = View::create();
  View::Ptr S = View::create();
  ViewNames names{{receiver, "receiver"}, {P, "P"}, {Q, "Q"}, {S, "S"}};

  Lines lines(const ConstraintList& list) const { return constraintLines(list, names); }
  Lines lines(const LayoutConstraint::Ptr& c) const { return constraintLines({c}, names); }
};

ConstraintList one(const LayoutConstraint::Ptr& c) { return {c}; }

TEST_F(LayoutRelations, ConnectAndPlace) {
  expectBothForms(receiver,
                  {{"connect horizontally",
                    [&](bool i) {
                      return one(i ? vtbConnectHorizontally(receiver, P, Q, 8) : vccConnectHorizontally(receiver, P, Q, 8));
                    },
                    {"P.right = Q.left - 8.0 @1000"}},
                   {"connect vertically: the second view is the first item",
                    [&](bool i) {
                      return one(i ? vtbConnectVertically(receiver, P, Q, 8) : vccConnectVertically(receiver, P, Q, 8));
                    },
                    {"Q.top = P.bottom + 8.0 @1000"}},
                   {"negative distance overlaps",
                    [&](bool i) {
                      return one(i ? vtbConnectHorizontally(receiver, P, Q, -3)
                                   : vccConnectHorizontally(receiver, P, Q, -3));
                    },
                    {"P.right = Q.left + 3.0 @1000"}},
                   {"default distance",
                    [&](bool i) {
                      return one(i ? vtbConnectVertically(receiver, P, Q) : vccConnectVertically(receiver, P, Q));
                    },
                    {"Q.top = P.bottom + 0.0 @1000"}}},
                  [&](const ConstraintList& l) { return lines(l); });

  receiver->removeConstraints(receiver->constraints());
  EXPECT_EQ(lines(vtbPlaceLeftOf(receiver, P, Q, 8)), lines(vccConnectHorizontally(receiver, P, Q, 8)));
  EXPECT_EQ(lines(vtbPlaceBeneath(receiver, P, Q, 8)), Lines{"P.top = Q.bottom + 8.0 @1000"});
  EXPECT_EQ(receiver->constraints().size(), 2u);
}

TEST_F(LayoutRelations, ChainsWithNoneOneAndThreeViews) {
  using Chain = ConstraintList (*)(const View::Ptr&, const ViewList&, double);
  struct Row {
    std::string name;
    Chain vcc;
    Chain vtb;
    Lines three;
  };
  const std::vector<Row> rows = {
      {"vertically", vccAdjacentVertically, vtbAdjacentVertically,
       {"Q.top = P.bottom + 4.0 @1000", "S.top = Q.bottom + 4.0 @1000"}},
      {"vertically bottom up", vccAdjacentVerticallyBottomUp, vtbAdjacentVerticallyBottomUp,
       {"P.top = Q.bottom + 4.0 @1000", "Q.top = S.bottom + 4.0 @1000"}},
      {"horizontally", vccAdjacentHorizontally, vtbAdjacentHorizontally,
       {"P.right = Q.left - 4.0 @1000", "Q.right = S.left - 4.0 @1000"}},
      {"horizontally right to left", vccAdjacentHorizontallyRTL, vtbAdjacentHorizontallyRTL,
       {"Q.right = P.left - 4.0 @1000", "S.right = Q.left - 4.0 @1000"}},
  };
  for (const Row& row : rows) {
    std::vector<Case> cases = {
        {row.name + " none", [&](bool i) { return (i ? row.vtb : row.vcc)(receiver, {}, 4); }, {}},
        {row.name + " one", [&](bool i) { return (i ? row.vtb : row.vcc)(receiver, {P}, 4); }, {}},
        {row.name + " three", [&](bool i) { return (i ? row.vtb : row.vcc)(receiver, {P, Q, S}, 4); }, row.three},
    };
    expectBothForms(receiver, cases, [&](const ConstraintList& l) { return lines(l); });
  }
}

TEST_F(LayoutRelations, ChainsTakeAnyRangeOfViewPointers) {
  const std::vector<std::shared_ptr<Button>> buttons = {Button::create(), Button::create()};
  names.push_back({buttons[0], "a"});
  names.push_back({buttons[1], "b"});
  EXPECT_EQ(lines(vccAdjacentHorizontally(receiver, buttons, 2)), Lines{"a.right = b.left - 2.0 @1000"});
}

TEST_F(LayoutRelations, AttachOnEachEdge) {
  struct Row {
    A edge;
    std::string want;
  };
  const std::vector<Row> rows = {{A::left, "P.left = receiver.left + 10.0 @1000"},
                                 {A::top, "P.top = receiver.top + 10.0 @1000"},
                                 {A::right, "P.right = receiver.right - 10.0 @1000"},
                                 {A::bottom, "P.bottom = receiver.bottom - 10.0 @1000"}};
  for (const Row& row : rows) {
    expectBothForms(
        receiver,
        {{row.want,
          [&](bool i) { return one(i ? vtbAttach(receiver, P, row.edge, 10) : vccAttach(receiver, P, row.edge, 10)); },
          {row.want}},
         {row.want + " (views)",
          [&](bool i) {
            return i ? vtbAttachViews(receiver, {P, Q}, row.edge, 10) : vccAttachViews(receiver, {P, Q}, row.edge, 10);
          },
          {row.want, testing_support::constraintLine(vccAttach(receiver, Q, row.edge, 10), names)}}},
        [&](const ConstraintList& l) { return lines(l); });
  }
  // An empty list has nothing to attach, whatever the edge.
  EXPECT_TRUE(vccAttachViews(receiver, {}, A::leading, 10).empty());
  EXPECT_TRUE(vtbAttachViews(receiver, {}, A::width).empty());
}

TEST_F(LayoutRelations, AttachStopsOnAnyOtherEdge) {
  for (A edge : {A::leading, A::trailing, A::width, A::centerX, A::notAnAttribute, A::firstBaseline}) {
    EXPECT_DEATH((void)vccAttach(receiver, P, edge), "edge has wrong value");
    EXPECT_DEATH((void)vtbAttach(receiver, P, edge, 3), "edge has wrong value");
    EXPECT_DEATH((void)vccAttachViews(receiver, {P}, edge), "edge has wrong value");
  }
  EXPECT_TRUE(receiver->constraints().empty());
}

TEST_F(LayoutRelations, RelateAndSame) {
  expectBothForms(
      receiver,
      {{"relate: the `to` view is the first item",
        [&](bool i) {
          return one(i ? vtbRelate(receiver, P, A::width, 0.5, 10, Q, 250.0f)
                       : vccRelate(receiver, P, A::width, 0.5, 10, Q, 250.0f));
        },
        {"Q.width = P.width * 0.5 + 10.0 @250"}},
       {"relate without priority",
        [&](bool i) {
          return one(i ? vtbRelate(receiver, P, A::height, 2, -1, Q) : vccRelate(receiver, P, A::height, 2, -1, Q));
        },
        {"Q.height = P.height * 2.0 - 1.0 @1000"}},
       {"same with another view, defaults",
        [&](bool i) { return one(i ? vtbSame(receiver, A::centerX, P) : vccSame(receiver, A::centerX, P)); },
        {"receiver.centerX = P.centerX + 0.0 @1000"}},
       {"same with priority and constant",
        [&](bool i) {
          return one(i ? vtbSame(receiver, A::top, P, 750.0f, 6.0) : vccSame(receiver, A::top, P, 750.0f, 6.0));
        },
        {"receiver.top = P.top + 6.0 @750"}}},
      [&](const ConstraintList& l) { return lines(l); });
}

TEST_F(LayoutRelations, SameIsAStarAndEqualIsAChain) {
  expectBothForms(
      receiver,
      {{"same: every view tied to the first",
        [&](bool i) {
          return i ? vtbSameFor(receiver, A::width, {P, Q, S}, 500.0f, 5.0) : vccSameFor(receiver, A::width, {P, Q, S}, 500.0f, 5.0);
        },
        {"P.width = Q.width + 5.0 @500", "P.width = S.width + 5.0 @500"}},
       {"equal: each view tied to its neighbour",
        [&](bool i) {
          return i ? vtbEqual(receiver, A::width, {P, Q, S}, 5) : vccEqual(receiver, A::width, {P, Q, S}, 5);
        },
        {"P.width = Q.width + 5.0 @1000", "Q.width = S.width + 5.0 @1000"}},
       {"same, one view", [&](bool i) { return i ? vtbSameFor(receiver, A::width, {P}) : vccSameFor(receiver, A::width, {P}); }, {}},
       {"equal, none", [&](bool i) { return i ? vtbEqual(receiver, A::width, {}) : vccEqual(receiver, A::width, {}); }, {}},
       {"equal, one", [&](bool i) { return i ? vtbEqual(receiver, A::width, {P}) : vccEqual(receiver, A::width, {P}); }, {}}},
      [&](const ConstraintList& l) { return lines(l); });
}

TEST_F(LayoutRelations, RelationSubtractsItsConstant) {
  expectBothForms(
      receiver,
      {{"relation",
        [&](bool i) {
          return i ? vtbRelation(receiver, A::width, R::greaterThanOrEqual, {P, Q}, A::height, 2, 5, 300.0f)
                   : vccRelation(receiver, A::width, R::greaterThanOrEqual, {P, Q}, A::height, 2, 5, 300.0f);
        },
        {"receiver.width >= P.height * 2.0 - 5.0 @300", "receiver.width >= Q.height * 2.0 - 5.0 @300"}},
       {"relation, defaults",
        [&](bool i) {
          return i ? vtbRelation(receiver, A::left, R::lessThanOrEqual, {P}, A::left)
                   : vccRelation(receiver, A::left, R::lessThanOrEqual, {P}, A::left);
        },
        {"receiver.left <= P.left - 0.0 @1000"}},
       {"relation, no views",
        [&](bool i) {
          return i ? vtbRelation(receiver, A::left, R::equal, {}, A::left) : vccRelation(receiver, A::left, R::equal, {}, A::left);
        },
        {}}},
      [&](const ConstraintList& l) { return lines(l); });
}

TEST_F(LayoutRelations, ConstraintConveniencesChain) {
  receiver->addSubview(P);
  receiver->addSubview(Q);
  auto c = vccConnectHorizontally(receiver, P, Q, 8);
  EXPECT_EQ(vtbIdentifier(vtbPriority(c, 250.0f), "gap"), c);
  EXPECT_EQ(c->priority(), 250.0f);
  EXPECT_EQ(c->identifier(), "gap");
  vtbIdentifier(c, std::nullopt);
  EXPECT_EQ(c->identifier(), "");
  EXPECT_EQ(vtactivate(c), c);
  EXPECT_TRUE(c->isActive());
  EXPECT_EQ(c->installedOn(), receiver);

  const auto list = vccAdjacentVertically(receiver, {P, Q, P});
  activate(list);
  for (const auto& each : list) EXPECT_TRUE(each->isActive());
  deactivate(list);
  for (const auto& each : list) EXPECT_FALSE(each->isActive());
  activate({});
}

}  // namespace
}  // namespace vantrel
