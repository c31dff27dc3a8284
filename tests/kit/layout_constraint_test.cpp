#include "vantrel/platform/kit/layout_constraint.h"

#include <cstdint>
#include <memory>

#include <fmt/format.h>
#include <gtest/gtest.h>

#include "vantrel/core/describe.h"
#include "vantrel/platform/kit/view.h"

namespace vantrel {
namespace {

using A = LayoutAttribute;
using R = LayoutRelation;

LayoutConstraint::Ptr widthOf(const View::Ptr& view, double value) {
  return LayoutConstraint::create(view, A::width, R::equal, nullptr, A::notAnAttribute, 1.0, value);
}

LayoutConstraint::Ptr leftToRight(const View::Ptr& a, const View::Ptr& b) {
  return LayoutConstraint::create(a, A::left, R::equal, b, A::right, 1.0, 8);
}

TEST(LayoutConstraint, RecordsWhatItIsGiven) {
  auto a = View::create();
  auto b = View::create();
  auto c = LayoutConstraint::create(a, A::centerX, R::greaterThanOrEqual, b, A::left, 0.5, -3);
  EXPECT_EQ(c->firstItem(), a);
  EXPECT_EQ(c->firstAttribute(), A::centerX);
  EXPECT_EQ(c->relation(), R::greaterThanOrEqual);
  EXPECT_EQ(c->secondItem(), b);
  EXPECT_EQ(c->secondAttribute(), A::left);
  EXPECT_EQ(c->multiplier(), 0.5);
  EXPECT_EQ(c->constant(), -3);
  EXPECT_EQ(c->priority(), kLayoutPriorityRequired);
  EXPECT_EQ(c->identifier(), "");
  EXPECT_FALSE(c->isActive());
  EXPECT_EQ(c->installedOn(), nullptr);

  c->setConstant(4);
  c->setPriority(500);
  c->setIdentifier("gap");
  EXPECT_EQ(c->constant(), 4);
  EXPECT_EQ(c->priority(), 500.0f);
  EXPECT_EQ(c->identifier(), "gap");
}

TEST(LayoutConstraint, RawValuesAndNames) {
  EXPECT_EQ(static_cast<std::int64_t>(A::left), 1);
  EXPECT_EQ(static_cast<std::int64_t>(A::centerY), 10);
  EXPECT_EQ(static_cast<std::int64_t>(R::lessThanOrEqual), -1);
  EXPECT_EQ(describe(A::notAnAttribute), "notAnAttribute");
  EXPECT_EQ(describe(R::greaterThanOrEqual), ">=");
}

TEST(LayoutConstraint, ItemsAreHeldWeakly) {
  auto host = View::create();
  std::weak_ptr<View> watched;
  LayoutConstraint::Ptr c;
  {
    auto item = View::create();
    watched = item;
    c = widthOf(item, 10);
    host->addConstraint(c);
  }
  EXPECT_TRUE(watched.expired());
  EXPECT_EQ(c->firstItem(), nullptr);
  EXPECT_EQ(host->constraints().size(), 1u);
}

TEST(LayoutConstraint, InstalledInInsertionOrder) {
  auto view = View::create();
  auto c1 = widthOf(view, 1);
  auto c2 = widthOf(view, 2);
  auto c3 = widthOf(view, 3);
  view->addConstraints({c2, c1});
  view->addConstraint(c3);
  view->addConstraint(c2);  // already here: keeps its place
  EXPECT_EQ(view->constraints(), (std::vector<LayoutConstraint::Ptr>{c2, c1, c3}));
  EXPECT_TRUE(c1->isActive());
  EXPECT_EQ(c1->installedOn(), view);

  view->removeConstraint(c1);
  EXPECT_EQ(view->constraints(), (std::vector<LayoutConstraint::Ptr>{c2, c3}));
  EXPECT_FALSE(c1->isActive());
  view->removeConstraint(c1);  // not installed: ignored

  view->removeConstraints(view->constraints());
  EXPECT_TRUE(view->constraints().empty());
}

TEST(LayoutConstraint, AConstraintLivesOnOneViewAtATime) {
  auto first = View::create();
  auto second = View::create();
  auto c1 = widthOf(first, 1);
  auto c2 = widthOf(first, 2);
  first->addConstraints({c1, c2});
  second->addConstraints(first->constraints());  // a list that shrinks meanwhile
  EXPECT_TRUE(first->constraints().empty());
  EXPECT_EQ(second->constraints(), (std::vector<LayoutConstraint::Ptr>{c1, c2}));
  EXPECT_EQ(c1->installedOn(), second);
}

TEST(LayoutConstraint, ActivationInstallsOnTheNearestCommonAncestor) {
  auto root = View::create();
  auto group = View::create();
  auto a = View::create();
  auto b = View::create();
  auto outsider = View::create();
  root->addSubview(group);
  group->addSubview(a);
  group->addSubview(b);
  root->addSubview(outsider);

  struct Case {
    const char* name;
    LayoutConstraint::Ptr constraint;
    View::Ptr host;
  };
  const Case cases[] = {
      {"siblings", leftToRight(a, b), group},
      {"cousins", leftToRight(a, outsider), root},
      {"child and parent", leftToRight(a, group), group},
      {"one item", widthOf(b, 5), b},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    c.constraint->setActive(true);
    EXPECT_TRUE(c.constraint->isActive());
    EXPECT_EQ(c.constraint->installedOn(), c.host);
    c.constraint->setActive(true);  // already active: stays where it is
    EXPECT_EQ(c.host->constraints().back(), c.constraint);
    c.constraint->setActive(false);
    EXPECT_FALSE(c.constraint->isActive());
    EXPECT_TRUE(c.host->constraints().empty());
  }
}

TEST(LayoutConstraint, ActivateAndDeactivateLists) {
  auto parent = View::create();
  auto a = View::create();
  auto b = View::create();
  parent->addSubview(a);
  parent->addSubview(b);
  const std::vector<LayoutConstraint::Ptr> list{leftToRight(a, b), widthOf(a, 3)};
  LayoutConstraint::activate(list);
  EXPECT_EQ(parent->constraints(), std::vector<LayoutConstraint::Ptr>{list[0]});
  EXPECT_EQ(a->constraints(), std::vector<LayoutConstraint::Ptr>{list[1]});
  LayoutConstraint::deactivate(list);
  EXPECT_FALSE(list[0]->isActive());
  EXPECT_FALSE(list[1]->isActive());
  EXPECT_TRUE(parent->constraints().empty());
}

TEST(LayoutConstraint, AGoneHostMeansInactive) {
  auto item = View::create();
  auto c = widthOf(item, 1);
  {
    auto host = View::create();
    host->addConstraint(c);
    EXPECT_TRUE(c->isActive());
  }
  EXPECT_FALSE(c->isActive());
}

TEST(LayoutConstraint, Description) {
  auto a = View::create();
  auto b = View::create();
  const std::string addressA = fmt::format("0x{:016x}", reinterpret_cast<std::uintptr_t>(a.get()));
  const std::string addressB = fmt::format("0x{:016x}", reinterpret_cast<std::uintptr_t>(b.get()));

  auto width = widthOf(a, 120);
  EXPECT_EQ(width->description(), "<LayoutConstraint: View(" + addressA + ").width == 120.0 priority 1000.0 inactive>");

  auto gap = leftToRight(a, b);
  gap->setPriority(750);
  gap->setIdentifier("gap");
  a->addConstraint(gap);
  EXPECT_EQ(gap->description(), "<LayoutConstraint: View(" + addressA + ").left == View(" + addressB +
                                    ").right * 1.0 + 8.0 priority 750.0 identifier \"gap\" active>");
  b.reset();
  EXPECT_EQ(gap->description(), "<LayoutConstraint: View(" + addressA +
                                    ").left == nil.right * 1.0 + 8.0 priority 750.0 identifier \"gap\" active>");
}

TEST(LayoutConstraintDeathTest, InvalidRecordsStop) {
  auto a = View::create();
  EXPECT_DEATH((void)widthOf(nullptr, 1), "the first item is null");
  EXPECT_DEATH((void)LayoutConstraint::create(a, A::notAnAttribute, R::equal, nullptr, A::notAnAttribute, 1, 0),
               "the first attribute is notAnAttribute");
  EXPECT_DEATH((void)LayoutConstraint::create(a, A::left, R::equal, nullptr, A::left, 1, 0),
               "the second attribute left has no second item");
  EXPECT_DEATH((void)LayoutConstraint::create(a, A::left, R::equal, a, A::notAnAttribute, 1, 0),
               "a second item needs a second attribute");
}

TEST(LayoutConstraintDeathTest, ActivationWithoutACommonAncestorStops) {
  auto a = View::create();
  auto b = View::create();
  auto c = leftToRight(a, b);
  EXPECT_DEATH(c->setActive(true), "cannot activate <LayoutConstraint: .*>: its items have no common ancestor");
  b.reset();
  EXPECT_DEATH(c->setActive(true), "cannot activate a constraint whose item is gone");
}

}  // namespace
}  // namespace vantrel
