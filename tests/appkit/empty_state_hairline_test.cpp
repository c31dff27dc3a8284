#include <concepts>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "vantrel/appkit/empty_state_view.h"
#include "vantrel/appkit/hairline_view.h"
#include "vantrel/drawing/geometry_helpers.h"

namespace vantrel {
namespace {

template <class T>
concept MadeFromFrame = requires(Rect frame) { T::create(frame); };
static_assert(!MadeFromFrame<EmptyStateView>);
static_assert(!MadeFromFrame<VantrelHairlineView>);

TEST(EmptyStateView, CentredWhiteLabelOnGreen) {
  auto view = EmptyStateView::create("Nothing here");
  EXPECT_EQ(view->frame(), Rect(0, 0, 100, 100));
  EXPECT_FALSE(view->translatesAutoresizingMaskIntoConstraints());
  ASSERT_TRUE(view->layer());
  EXPECT_EQ(view->layer()->backgroundColor(), Color::greenColor());

  const auto& label = view->textLabel();
  EXPECT_EQ(label->superview(), view);
  EXPECT_EQ(label->stringValue(), "Nothing here");
  EXPECT_EQ(view->labelText(), "Nothing here");
  EXPECT_EQ(label->font(), Font::systemFont(20));
  EXPECT_EQ(label->textColor(), Color::whiteColor());
  EXPECT_FALSE(label->isBezeled());
  EXPECT_FALSE(label->isEditable());
  EXPECT_FALSE(label->drawsBackground());
  EXPECT_TRUE(label->isSelectable());
  EXPECT_FALSE(label->translatesAutoresizingMaskIntoConstraints());

  ASSERT_EQ(view->constraints().size(), 2u);
  const LayoutAttribute attributes[] = {LayoutAttribute::centerX, LayoutAttribute::centerY};
  for (std::size_t i = 0; i < 2; ++i) {
    const auto& constraint = view->constraints()[i];
    EXPECT_EQ(constraint->firstItem(), label);
    EXPECT_EQ(constraint->firstAttribute(), attributes[i]);
    EXPECT_EQ(constraint->relation(), LayoutRelation::equal);
    EXPECT_EQ(constraint->secondItem(), view);
    EXPECT_EQ(constraint->secondAttribute(), attributes[i]);
    EXPECT_EQ(constraint->multiplier(), 1.0);
    EXPECT_EQ(constraint->constant(), 0.0);
  }

  view->setLabelText(std::nullopt);
  EXPECT_EQ(label->stringValue(), "Nothing here");
  view->setLabelText("Drop files");
  EXPECT_EQ(label->stringValue(), "Drop files");
}

TEST(VantrelHairlineView, ColourShowsItAndHeightIsItsIntrinsicSize) {
  auto line = VantrelHairlineView::create();
  EXPECT_EQ(line->frame(), VtCGRectDefaultRectView().get());
  EXPECT_FALSE(line->translatesAutoresizingMaskIntoConstraints());
  EXPECT_TRUE(line->isHidden());
  EXPECT_EQ(line->hairlineColor(), nullptr);
  EXPECT_EQ(line->intrinsicContentSize(), Size(kViewNoIntrinsicMetric, 0.5));
  EXPECT_EQ(line->intrinsicContentSizeInvalidationCount(), 0);

  line->setHairlineColor(Color::redColor());
  EXPECT_FALSE(line->isHidden());
  ASSERT_TRUE(line->layer());
  EXPECT_EQ(line->layer()->backgroundColor(), Color::redColor());
  line->setHairlineColor(nullptr);
  EXPECT_TRUE(line->isHidden());
  EXPECT_EQ(line->layer()->backgroundColor(), Color::redColor());  // hiding keeps the colour

  line->setHairlineHeight(2);
  line->setHairlineHeight(2);
  EXPECT_EQ(line->intrinsicContentSize(), Size(kViewNoIntrinsicMetric, 2));
  EXPECT_EQ(line->intrinsicContentSizeInvalidationCount(), 2);

  auto coloured = VantrelHairlineView::create(1, Color::cyanColor());
  EXPECT_FALSE(coloured->isHidden());
  EXPECT_EQ(coloured->layer()->backgroundColor(), Color::cyanColor());
  EXPECT_EQ(coloured->intrinsicContentSize(), Size(kViewNoIntrinsicMetric, 1));
  EXPECT_EQ(coloured->intrinsicContentSizeInvalidationCount(), 0);
}

}  // namespace
}  // namespace vantrel
