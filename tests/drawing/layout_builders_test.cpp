#include "vantrel/drawing/layout_builders.h"

#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "vantrel/core/describe.h"

namespace vantrel {
namespace {

using A = LayoutAttribute;
using R = LayoutRelation;

// What one constraint should say; `second` null means no second item.
struct Want {
  View::Ptr first;
  A firstAttribute;
  R relation;
  View::Ptr second;
  A secondAttribute;
  double constant;
  LayoutPriority priority = kLayoutPriorityRequired;
};

void expectConstraint(const LayoutConstraint::Ptr& c, const Want& want) {
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(c->firstItem(), want.first);
  EXPECT_EQ(c->firstAttribute(), want.firstAttribute) << describe(c->firstAttribute());
  EXPECT_EQ(c->relation(), want.relation);
  EXPECT_EQ(c->secondItem(), want.second);
  EXPECT_EQ(c->secondAttribute(), want.secondAttribute) << describe(c->secondAttribute());
  EXPECT_EQ(c->multiplier(), 1.0);
  EXPECT_EQ(c->constant(), want.constant);
  EXPECT_EQ(c->priority(), want.priority);
  EXPECT_EQ(c->identifier(), "");
}

void expectConstraints(const ConstraintList& list, const std::vector<Want>& wants) {
  ASSERT_EQ(list.size(), wants.size());
  for (std::size_t i = 0; i < list.size(); ++i) {
    SCOPED_TRACE(testing::Message() << "constraint " << i);
    expectConstraint(list[i], wants[i]);
  }
}

class LayoutBuilders : public testing::Test {
 protected:
  View::Ptr receiver = View::create(Rect(0, 0, 300, 200));
  View::Ptr view = View::create();
  View::Ptr other = View::create();

  // Nothing but the constraints came out of a returning builder.
  void expectNothingInstalled(const ConstraintList& list) {
    EXPECT_TRUE(receiver->constraints().empty());
    EXPECT_TRUE(view->constraints().empty());
    EXPECT_TRUE(receiver->subviews().empty());
    EXPECT_TRUE(receiver->translatesAutoresizingMaskIntoConstraints());
    EXPECT_TRUE(view->translatesAutoresizingMaskIntoConstraints());
    for (const auto& c : list) EXPECT_FALSE(c->isActive());
  }
};

TEST_F(LayoutBuilders, HeaderExample) {
  auto container = receiver;
  auto label = view;
  container->addSubview(disableAutoresizingMasks(label));
  auto cs = vccPlace(container, label, {8.0, 8.0, std::nullopt, 8.0});
  expectConstraints(cs, {{label, A::top, R::equal, container, A::top, 8},
                         {label, A::left, R::equal, container, A::left, 8},
                         {container, A::right, R::equal, label, A::right, 8}});
  container->addConstraints(cs);
  const auto size = vtbConstrainSize(container, Size(300, 200));
  ConstraintList all = cs;
  all.insert(all.end(), size.begin(), size.end());
  EXPECT_EQ(container->constraints(), all);
}

TEST_F(LayoutBuilders, PlaceWithTheDefaultFillsTheReceiver) {
  const auto list = vccPlace(receiver, view);
  expectConstraints(list, {{view, A::top, R::equal, receiver, A::top, 0},
                           {view, A::left, R::equal, receiver, A::left, 0},
                           {receiver, A::bottom, R::equal, view, A::bottom, 0},
                           {receiver, A::right, R::equal, view, A::right, 0}});
  expectNothingInstalled(list);
}

TEST_F(LayoutBuilders, PlaceSidesAndSigns) {
  struct Case {
    const char* name;
    PlaceSides sides;
    std::vector<Want> wants;
  };
  const Case cases[] = {
      {"all absent", {std::nullopt, std::nullopt, std::nullopt, std::nullopt}, {}},
      {"top and right",
       {1.0, std::nullopt, std::nullopt, 2.0},
       {{view, A::top, R::equal, receiver, A::top, 1}, {receiver, A::right, R::equal, view, A::right, 2}}},
      // Inside on every side for positive insets, outside for negative ones.
      {"right inset 10", {std::nullopt, std::nullopt, std::nullopt, 10.0}, {{receiver, A::right, R::equal, view, A::right, 10}}},
      {"top inset -5", {-5.0, std::nullopt, std::nullopt, std::nullopt}, {{view, A::top, R::equal, receiver, A::top, -5}}},
      {"left and bottom",
       {std::nullopt, 3.0, 4.0, std::nullopt},
       {{view, A::left, R::equal, receiver, A::left, 3}, {receiver, A::bottom, R::equal, view, A::bottom, 4}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    expectConstraints(vccPlace(receiver, view, c.sides), c.wants);
  }
}

TEST_F(LayoutBuilders, PlaceWithOneInset) {
  expectConstraints(vccPlace(receiver, view, 7.0), {{view, A::top, R::equal, receiver, A::top, 7},
                                                    {view, A::left, R::equal, receiver, A::left, 7},
                                                    {receiver, A::bottom, R::equal, view, A::bottom, 7},
                                                    {receiver, A::right, R::equal, view, A::right, 7}});
}

TEST_F(LayoutBuilders, PlaceAlongOneAxis) {
  expectConstraints(vccPlaceHorizontal(receiver, view), {{view, A::left, R::equal, receiver, A::left, 0},
                                                         {receiver, A::right, R::equal, view, A::right, 0}});
  expectConstraints(vccPlaceHorizontal(receiver, view, {std::nullopt, 6.0}),
                    {{receiver, A::right, R::equal, view, A::right, 6}});
  expectConstraints(vccPlaceVertical(receiver, view), {{view, A::top, R::equal, receiver, A::top, 0},
                                                       {receiver, A::bottom, R::equal, view, A::bottom, 0}});
  expectConstraints(vccPlaceVertical(receiver, view, {2.0, std::nullopt}),
                    {{view, A::top, R::equal, receiver, A::top, 2}});
}

TEST_F(LayoutBuilders, InstallingFormsInstallTheSameObjectsOnTheReceiver) {
  struct Case {
    const char* name;
    std::function<ConstraintList()> build;
    std::size_t count;
  };
  const Case cases[] = {
      {"vtbPlace", [&] { return vtbPlace(receiver, view); }, 4},
      {"vtbPlace inset", [&] { return vtbPlace(receiver, view, 2.0); }, 4},
      {"vtbPlace none", [&] { return vtbPlace(receiver, view, {std::nullopt, std::nullopt, std::nullopt, std::nullopt}); }, 0},
      {"vtbPlaceHorizontal", [&] { return vtbPlaceHorizontal(receiver, view); }, 2},
      {"vtbPlaceVertical", [&] { return vtbPlaceVertical(receiver, view); }, 2},
      {"vtbPlaceInCenter", [&] { return vtbPlaceInCenter(receiver, view); }, 2},
      {"vtbPlaceInCenter point", [&] { return vtbPlaceInCenter(receiver, view, Point(1, 2)); }, 2},
      {"vtbPlaceInCenterX", [&] { return ConstraintList{vtbPlaceInCenterX(receiver, view)}; }, 1},
      {"vtbPlaceInCenterY of", [&] { return ConstraintList{vtbPlaceInCenterY(receiver, view, other)}; }, 1},
      {"vtbConstrainSize", [&] { return vtbConstrainSize(receiver, Size(1, 2)); }, 2},
      {"vtbConstrainSize optional", [&] { return vtbConstrainSize(receiver, std::nullopt, 3.0); }, 1},
      {"vtbConstrainWidthBetween", [&] { return vtbConstrainWidthBetween(receiver, 1.0, 2.0); }, 2},
      {"vtbConstrainHeightBetween", [&] { return vtbConstrainHeightBetween(receiver, std::nullopt, 2.0); }, 1},
      {"vtbRequireMinSize", [&] { return vtbRequireMinSize(receiver, Size(1, 2)); }, 2},
      {"vtbLimitHeightTo", [&] { return ConstraintList{vtbLimitHeightTo(receiver, 9)}; }, 1},
      {"vtbConstrainSizeHuggingAndCompressionResistance",
       [&] { return vtbConstrainSizeHuggingAndCompressionResistance(receiver, Size(1, 2)); }, 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    receiver->removeConstraints(receiver->constraints());
    const ConstraintList list = c.build();
    EXPECT_EQ(list.size(), c.count);
    EXPECT_EQ(receiver->constraints(), list);
    for (const auto& constraint : list) EXPECT_TRUE(constraint->isActive());
    EXPECT_TRUE(view->constraints().empty());
    EXPECT_TRUE(receiver->subviews().empty());
    EXPECT_TRUE(view->translatesAutoresizingMaskIntoConstraints());
  }
}

TEST_F(LayoutBuilders, InstallingTwinsBuildWhatTheReturningFormsBuild) {
  const auto built = vccPlace(receiver, view, {1.0, std::nullopt, 3.0, 4.0});
  const auto installed = vtbPlace(receiver, view, {1.0, std::nullopt, 3.0, 4.0});
  ASSERT_EQ(built.size(), installed.size());
  for (std::size_t i = 0; i < built.size(); ++i) {
    expectConstraint(installed[i], {built[i]->firstItem(), built[i]->firstAttribute(), built[i]->relation(),
                                    built[i]->secondItem(), built[i]->secondAttribute(), built[i]->constant()});
  }
}

TEST_F(LayoutBuilders, Centring) {
  expectConstraints(vccPlaceInCenter(receiver, view), {{view, A::centerX, R::equal, receiver, A::centerX, 0},
                                                       {view, A::centerY, R::equal, receiver, A::centerY, 0}});
  expectConstraints(vccPlaceInCenter(receiver, view, std::pair{3.0, -4.0}),
                    {{view, A::centerX, R::equal, receiver, A::centerX, 3},
                     {view, A::centerY, R::equal, receiver, A::centerY, -4}});
  expectConstraints(vccPlaceInCenter(receiver, view, Point(5, 6)),
                    {{view, A::centerX, R::equal, receiver, A::centerX, 5},
                     {view, A::centerY, R::equal, receiver, A::centerY, 6}});
  expectConstraint(vccPlaceInCenterX(receiver, view), {view, A::centerX, R::equal, receiver, A::centerX, 0});
  expectConstraint(vccPlaceInCenterY(receiver, view, 2), {view, A::centerY, R::equal, receiver, A::centerY, 2});
}

TEST_F(LayoutBuilders, CentringOnAnotherViewNamesOnlyTheTwoViews) {
  expectConstraint(vccPlaceInCenterX(receiver, view, other, 4), {view, A::centerX, R::equal, other, A::centerX, 4});
  expectConstraint(vccPlaceInCenterY(receiver, view, other), {view, A::centerY, R::equal, other, A::centerY, 0});
  expectNothingInstalled({});

  const auto installed = vtbPlaceInCenterX(receiver, view, other, 1);
  EXPECT_EQ(installed->installedOn(), receiver);
}

TEST_F(LayoutBuilders, CentringInstallingOnly) {
  const auto h = vtbPlaceInCenterHorizontally(receiver, view, 3);
  const auto v = vtbPlaceInCenterVertically(receiver, view);
  expectConstraint(h, {view, A::centerX, R::equal, receiver, A::centerX, 3});
  expectConstraint(v, {view, A::centerY, R::equal, receiver, A::centerY, 0});
  EXPECT_EQ(receiver->constraints(), (ConstraintList{h, v}));
}

TEST_F(LayoutBuilders, SizeOfTheReceiver) {
  const auto none = A::notAnAttribute;
  const auto r = receiver;
  struct Case {
    const char* name;
    ConstraintList list;
    std::vector<Want> wants;
  };
  const Case cases[] = {
      {"size", vccConstrainSize(r, Size(10, 20)),
       {{r, A::width, R::equal, nullptr, none, 10}, {r, A::height, R::equal, nullptr, none, 20}}},
      {"optional size", vccConstrainSize(r, 10.0, 20.0),
       {{r, A::width, R::equal, nullptr, none, 10}, {r, A::height, R::equal, nullptr, none, 20}}},
      {"height only", vccConstrainSize(r, std::nullopt, 20.0), {{r, A::height, R::equal, nullptr, none, 20}}},
      {"no size", vccConstrainSize(r, std::nullopt, std::nullopt), {}},
      {"width", {vccConstrainWidth(r, 5)}, {{r, A::width, R::equal, nullptr, none, 5}}},
      {"height", {vccConstrainHeight(r, -5)}, {{r, A::height, R::equal, nullptr, none, -5}}},
      {"width between", vccConstrainWidthBetween(r, 1.0, 2.0),
       {{r, A::width, R::greaterThanOrEqual, nullptr, none, 1}, {r, A::width, R::lessThanOrEqual, nullptr, none, 2}}},
      {"width up to", vccConstrainWidthBetween(r, std::nullopt, 2.0),
       {{r, A::width, R::lessThanOrEqual, nullptr, none, 2}}},
      {"width between, crossed", vccConstrainWidthBetween(r, 9.0, 2.0),
       {{r, A::width, R::greaterThanOrEqual, nullptr, none, 9}, {r, A::width, R::lessThanOrEqual, nullptr, none, 2}}},
      {"width unbounded", vccConstrainWidthBetween(r, std::nullopt, std::nullopt), {}},
      {"height between", vccConstrainHeightBetween(r, 3.0, 4.0),
       {{r, A::height, R::greaterThanOrEqual, nullptr, none, 3}, {r, A::height, R::lessThanOrEqual, nullptr, none, 4}}},
      {"min width", {vccRequireMinWidth(r, 6)}, {{r, A::width, R::greaterThanOrEqual, nullptr, none, 6}}},
      {"min height", {vccRequireMinHeight(r, 7)}, {{r, A::height, R::greaterThanOrEqual, nullptr, none, 7}}},
      {"min size", vccRequireMinSize(r, Size(8, 9)),
       {{r, A::width, R::greaterThanOrEqual, nullptr, none, 8}, {r, A::height, R::greaterThanOrEqual, nullptr, none, 9}}},
      {"limit width", {vccLimitWidthTo(r, 10)}, {{r, A::width, R::lessThanOrEqual, nullptr, none, 10}}},
      {"limit height", {vccLimitHeightTo(r, 11)}, {{r, A::height, R::lessThanOrEqual, nullptr, none, 11}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    expectConstraints(c.list, c.wants);
    expectNothingInstalled(c.list);
  }
}

TEST_F(LayoutBuilders, HuggingAndCompressionResistance) {
  const auto none = A::notAnAttribute;
  const auto r = receiver;
  expectConstraints(vccConstrainSizeHuggingAndCompressionResistance(r, Size(40, 30)),
                    {{r, A::width, R::greaterThanOrEqual, nullptr, none, 40, 750},
                     {r, A::height, R::greaterThanOrEqual, nullptr, none, 30, 750},
                     {r, A::width, R::lessThanOrEqual, nullptr, none, 40, 250},
                     {r, A::height, R::lessThanOrEqual, nullptr, none, 30, 250}});
  expectConstraints(vccConstrainSizeHuggingAndCompressionResistance(r, Size(40, 30), 1, 2, 3, 4),
                    {{r, A::width, R::greaterThanOrEqual, nullptr, none, 40, 2},
                     {r, A::height, R::greaterThanOrEqual, nullptr, none, 30, 4},
                     {r, A::width, R::lessThanOrEqual, nullptr, none, 40, 1},
                     {r, A::height, R::lessThanOrEqual, nullptr, none, 30, 3}});
}

TEST_F(LayoutBuilders, DefaultPrioritiesAreReadAtEachCall) {
  LayoutPriorityDefaultLow().set(200);
  LayoutPriorityDefaultHigh().set(700);
  const auto list = vccConstrainSizeHuggingAndCompressionResistance(receiver, Size(1, 1));
  LayoutPriorityDefaultLow().reset();
  LayoutPriorityDefaultHigh().reset();
  ASSERT_EQ(list.size(), 4u);
  EXPECT_EQ(list[0]->priority(), 700.0f);
  EXPECT_EQ(list[2]->priority(), 200.0f);
  EXPECT_EQ(list[3]->priority(), 200.0f);
  EXPECT_EQ(LayoutPriorityDefaultLow().get(), 250.0f);
  EXPECT_EQ(LayoutPriorityDefaultHigh().get(), 750.0f);
}

class Label : public View {
 public:
  static std::shared_ptr<Label> create() { return std::shared_ptr<Label>(new Label()); }
  Size intrinsicContentSize() const override { return Size(kViewNoIntrinsicMetric, 17); }

 private:
  Label() : View(Rect()) {}
};

TEST_F(LayoutBuilders, ListsOfViews) {
  const std::vector<std::shared_ptr<Label>> labels{Label::create(), Label::create()};
  const auto none = A::notAnAttribute;

  const auto widths = vccConstrainWidth(labels, 50);
  expectConstraints(widths, {{labels[0], A::width, R::equal, nullptr, none, 50},
                             {labels[1], A::width, R::equal, nullptr, none, 50}});
  EXPECT_TRUE(labels[0]->constraints().empty());

  const auto heights = vtbConstrainHeight(labels, 20);
  EXPECT_EQ(labels[0]->constraints(), ConstraintList{heights[0]});
  EXPECT_EQ(labels[1]->constraints(), ConstraintList{heights[1]});

  const auto sizes = vtbConstrainSize(labels, 5.0, std::nullopt);
  ASSERT_EQ(sizes.size(), 2u);
  expectConstraints(sizes[1], {{labels[1], A::width, R::equal, nullptr, none, 5}});
  EXPECT_EQ(labels[1]->constraints().back(), sizes[1][0]);

  const std::vector<View::Ptr> empty;
  EXPECT_TRUE(vccConstrainSize(empty, 1.0, 2.0).empty());
  EXPECT_TRUE(vtbConstrainWidth(empty, 1).empty());
  EXPECT_TRUE(vtbConstrainHeight(empty, 1).empty());
}

TEST_F(LayoutBuilders, ViewConveniences) {
  const auto& same = disableAutoresizingMasks(view);
  EXPECT_EQ(same, view);
  EXPECT_FALSE(view->translatesAutoresizingMaskIntoConstraints());

  addSubviews(receiver, {view, nullptr, other});
  EXPECT_EQ(receiver->subviews(), (std::vector<View::Ptr>{view, other}));
  EXPECT_TRUE(other->translatesAutoresizingMaskIntoConstraints());

  auto holder = View::create();
  const std::vector<std::shared_ptr<Label>> labels{Label::create(), nullptr, Label::create()};
  addSubviews(holder, labels);
  EXPECT_EQ(holder->subviews(), (std::vector<View::Ptr>{labels[0], labels[2]}));
}

TEST_F(LayoutBuilders, ViewsAreNotKeptAliveByTheirConstraints) {
  std::weak_ptr<View> watched = view;
  vtbPlace(receiver, view);
  view.reset();
  EXPECT_TRUE(watched.expired());
  EXPECT_EQ(receiver->constraints().size(), 4u);
}

using LayoutBuildersDeathTest = LayoutBuilders;

TEST_F(LayoutBuildersDeathTest, BrokenCallsStop) {
  EXPECT_DEATH(vtbPlace(nullptr, view), "layout builder: a view is null");
  EXPECT_DEATH(vtbPlaceInCenterX(nullptr, view, other), "vtbPlaceInCenterX: the receiver is null");
  EXPECT_DEATH(vccConstrainWidth(View::Ptr(), 3), "layout builder: the receiver is null");
  EXPECT_DEATH(vccPlace(receiver, nullptr), "layout builder: a view is null");
  const View::Ptr label = Label::create();
  EXPECT_DEATH(vccConstrainSizeHuggingAndCompressionResistance(label, Size(1, 1)),
               "vccConstrainSizeHuggingAndCompressionResistance: <Label: .*> has an intrinsic content size "
               "\\(-1.0, 17.0\\)");
}

}  // namespace
}  // namespace vantrel
