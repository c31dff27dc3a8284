#include "vantrel/platform/kit/view.h"

#include <cstdint>
#include <memory>

#include <fmt/format.h>
#include <gtest/gtest.h>

namespace vantrel {
namespace {

// A control as a later part of the kit would write one.
class Badge : public View {
 public:
  static std::shared_ptr<Badge> create(Size natural) { return std::shared_ptr<Badge>(new Badge(natural)); }
  Size intrinsicContentSize() const override { return natural_; }
  bool isFlipped() const override { return true; }

 protected:
  explicit Badge(Size natural) : View(Rect()), natural_(natural) {}

 private:
  Size natural_;
};

std::string address(const void* p) { return fmt::format("0x{:016x}", reinterpret_cast<std::uintptr_t>(p)); }

TEST(View, HeaderExample) {
  auto window = View::create(Rect(0, 0, 400, 300));
  auto label = View::create();
  window->addSubview(label);
  label->setTranslatesAutoresizingMaskIntoConstraints(false);
  auto c = LayoutConstraint::create(label, LayoutAttribute::top, LayoutRelation::equal, window,
                                    LayoutAttribute::top, 1.0, 8);
  window->addConstraint(c);
  EXPECT_EQ(label->superview(), window);
  EXPECT_EQ(window->constraints(), std::vector<LayoutConstraint::Ptr>{c});
  EXPECT_TRUE(c->isActive());
}

TEST(View, Defaults) {
  auto view = View::create(Rect(5, 6, 70, 80));
  EXPECT_EQ(view->frame(), Rect(5, 6, 70, 80));
  EXPECT_EQ(view->bounds(), Rect(0, 0, 70, 80));
  EXPECT_FALSE(view->isFlipped());
  EXPECT_TRUE(view->translatesAutoresizingMaskIntoConstraints());
  EXPECT_TRUE(view->subviews().empty());
  EXPECT_EQ(view->superview(), nullptr);
  EXPECT_TRUE(view->constraints().empty());
  EXPECT_EQ(view->intrinsicContentSize(), Size(kViewNoIntrinsicMetric, kViewNoIntrinsicMetric));
  for (auto orientation : {LayoutOrientation::horizontal, LayoutOrientation::vertical}) {
    SCOPED_TRACE(std::string(description(orientation)));
    EXPECT_EQ(view->contentHuggingPriority(orientation), 250.0f);
    EXPECT_EQ(view->contentCompressionResistancePriority(orientation), 750.0f);
  }
}

TEST(View, FrameAndBounds) {
  auto view = View::create(Rect(0, 0, 10, 10));
  view->setBounds(Rect(3, 4, 10, 10));
  view->setFrame(Rect(1, 2, 30, 40));
  EXPECT_EQ(view->bounds(), Rect(3, 4, 30, 40));  // size follows, origin stays
  view->setBounds(Rect(0, 0, 5, 5));
  EXPECT_EQ(view->frame(), Rect(1, 2, 30, 40));
  view->setFlipped(true);
  EXPECT_TRUE(view->isFlipped());
}

TEST(View, PrioritiesPerOrientation) {
  auto view = View::create();
  view->setContentHuggingPriority(300, LayoutOrientation::vertical);
  view->setContentCompressionResistancePriority(900, LayoutOrientation::horizontal);
  EXPECT_EQ(view->contentHuggingPriority(LayoutOrientation::vertical), 300.0f);
  EXPECT_EQ(view->contentHuggingPriority(LayoutOrientation::horizontal), 250.0f);
  EXPECT_EQ(view->contentCompressionResistancePriority(LayoutOrientation::horizontal), 900.0f);
  EXPECT_EQ(view->contentCompressionResistancePriority(LayoutOrientation::vertical), 750.0f);
}

TEST(View, SubviewsKeepOrderAndMove) {
  auto a = View::create();
  auto b = View::create();
  auto x = View::create();
  auto y = View::create();
  a->addSubview(x);
  a->addSubview(y);
  EXPECT_EQ(a->subviews(), (std::vector<View::Ptr>{x, y}));

  a->addSubview(x);  // again: moves to the end
  EXPECT_EQ(a->subviews(), (std::vector<View::Ptr>{y, x}));

  // Passing an element of a's own list must survive the removal from it.
  b->addSubview(a->subviews()[0]);
  EXPECT_EQ(a->subviews(), std::vector<View::Ptr>{x});
  EXPECT_EQ(b->subviews(), std::vector<View::Ptr>{y});
  EXPECT_EQ(y->superview(), b);

  x->removeFromSuperview();
  EXPECT_TRUE(a->subviews().empty());
  EXPECT_EQ(x->superview(), nullptr);
  x->removeFromSuperview();  // without a superview: nothing happens
}

TEST(View, TheTreeIsOwnedDownwardOnly) {
  auto root = View::create();
  std::weak_ptr<View> child;
  std::weak_ptr<View> grandchild;
  {
    auto c = View::create();
    auto g = View::create();
    root->addSubview(c);
    c->addSubview(g);
    child = c;
    grandchild = g;
  }
  EXPECT_FALSE(child.expired());
  const auto kept = grandchild.lock();
  root.reset();
  EXPECT_TRUE(child.expired());
  EXPECT_EQ(kept->superview(), nullptr);
}

TEST(View, Descendants) {
  auto root = View::create();
  auto child = View::create();
  auto other = View::create();
  root->addSubview(child);
  EXPECT_TRUE(child->isDescendantOf(*root));
  EXPECT_TRUE(root->isDescendantOf(*root));
  EXPECT_FALSE(root->isDescendantOf(*child));
  EXPECT_FALSE(other->isDescendantOf(*root));
}

TEST(ViewDeathTest, CyclesAndNullsStop) {
  auto root = View::create();
  auto child = View::create();
  root->addSubview(child);
  EXPECT_DEATH(root->addSubview(root), "addSubview: <View: .*> is this view or one of its ancestors");
  EXPECT_DEATH(child->addSubview(root), "is this view or one of its ancestors");
  EXPECT_DEATH(root->addSubview(nullptr), "addSubview: the view is null");
  EXPECT_DEATH(root->addConstraint(nullptr), "addConstraint: the constraint is null");
}

TEST(View, ClassNameAndDescription) {
  auto view = View::create(Rect(1, 2, 3, 4));
  EXPECT_EQ(view->className(), "View");
  EXPECT_EQ(view->description(), "<View: " + address(view.get()) + "; frame = (1.0, 2.0, 3.0, 4.0)>");

  auto badge = Badge::create(Size(20, 10));
  EXPECT_EQ(badge->className(), "Badge");
  EXPECT_EQ(badge->description(), "<Badge: " + address(badge.get()) + "; frame = (0.0, 0.0, 0.0, 0.0)>");
}

TEST(View, SubclassesOverrideContentAndFlip) {
  View::Ptr badge = Badge::create(Size(20, 10));
  EXPECT_EQ(badge->intrinsicContentSize(), Size(20, 10));
  EXPECT_TRUE(badge->isFlipped());
}

}  // namespace
}  // namespace vantrel
