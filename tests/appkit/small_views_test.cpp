#include <cmath>
#include <limits>
#include <vector>

#include <gtest/gtest.h>

#include "vantrel/appkit/collection_view_flow_layout_left.h"
#include "vantrel/appkit/flipped_clip_view.h"
#include "vantrel/appkit/hit_test_less_views.h"
#include "vantrel/platform/kit/button.h"

namespace vantrel {
namespace {

TEST(HitTestLessViews, ClicksGoToTheViewBehind) {
  auto background = View::create(Rect(0, 0, 200, 100));
  auto button = Button::create(Rect(20, 20, 100, 40));
  auto image = HitTestLessImageView::create(Rect(10, 10, 60, 60));
  auto field = HitTestLessTextField::create(Rect(100, 30, 80, 20));
  auto fieldChild = View::create(Rect(0, 0, 10, 10));  // not reachable through the field either
  background->addSubview(button);
  background->addSubview(image);
  background->addSubview(field);
  field->addSubview(fieldChild);
  const struct {
    Point point;
    View::Ptr expected;
  } cases[] = {
      {Point(30, 30), button},       // under the image view
      {Point(110, 35), button},      // under the text field
      {Point(101, 31), button},      // under the field's subview
      {Point(15, 15), background},   // only the image view above the background
      {Point(150, 35), background},  // only the text field
      {Point(150, 80), background},
      {Point(250, 50), nullptr},
  };
  for (const auto& c : cases) EXPECT_EQ(background->hitTest(c.point), c.expected) << c.point.x << ", " << c.point.y;
  EXPECT_EQ(image->hitTest(Point(30, 30)), nullptr);
  EXPECT_EQ(field->hitTest(Point(110, 35)), nullptr);
}

TEST(FlippedClipView, AlwaysFlipped) {
  auto clip = FlippedClipView::create(Rect(0, 0, 50, 50));
  EXPECT_TRUE(clip->isFlipped());
  clip->setFlipped(false);
  EXPECT_TRUE(clip->isFlipped());
  EXPECT_EQ(clip->frame(), Rect(0, 0, 50, 50));
}

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Equal, or both NaN.
bool same(double a, double b) { return a == b || (std::isnan(a) && std::isnan(b)); }

TEST(NSCollectionViewFlowLayoutLeft, RowsStartAtTheLeftInset) {
  const struct {
    const char* name;
    std::vector<Size> items;
    std::vector<double> xs;
  } cases[] = {
      // Width 300, inset 10 on both sides, spacing 5: the base spreads them.
      {"one row", {Size(50, 20), Size(60, 20), Size(70, 20)}, {10, 65, 130}},
      {"two rows", {Size(120, 20), Size(120, 20), Size(100, 20), Size(30, 20)}, {10, 135, 10, 115}},
      // One visual line, different heights: centred, so different y, so rows.
      {"mixed heights", {Size(50, 20), Size(50, 40), Size(50, 40)}, {10, 10, 65}},
      {"a NaN y", {Size(50, 20), Size(50, kNaN), Size(50, 20)}, {10, 10, 10}},
      {"nothing", {}, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto layout = NSCollectionViewFlowLayoutLeft::create();
    layout->setCollectionViewWidth(300);
    layout->setSectionInset(EdgeInsets(0, 10, 0, 10));
    layout->setMinimumInteritemSpacing(5);
    layout->setItemSizes(c.items);
    // The base's objects, kept to show that they come back changed.
    std::vector<CollectionViewLayoutAttributes::Ptr> base;
    std::vector<Rect> baseFrames;
    for (std::size_t i = 0; i < c.items.size(); ++i) {
      base.push_back(layout->layoutAttributesForItem(IndexPath{0, static_cast<std::int64_t>(i)}));
      baseFrames.push_back(base.back()->frame());
    }
    const auto placed = layout->layoutAttributesForElements(Rect(0, 0, 300, 500));
    ASSERT_EQ(placed.size(), c.xs.size());
    for (std::size_t i = 0; i < placed.size(); ++i) {
      EXPECT_EQ(placed[i], base[i]);  // the same object, changed in place
      const Rect frame = placed[i]->frame();
      EXPECT_EQ(frame.origin.x, c.xs[i]) << i;
      EXPECT_TRUE(same(frame.size.width, baseFrames[i].size.width));
      EXPECT_TRUE(same(frame.size.height, baseFrames[i].size.height));
      EXPECT_TRUE(same(frame.origin.y, baseFrames[i].origin.y));
    }
  }
}

TEST(NSCollectionViewFlowLayoutLeft, DefaultSpacingAndAnEmptyArea) {
  auto layout = NSCollectionViewFlowLayoutLeft::create();
  layout->setCollectionViewWidth(300);
  layout->setItemSizes({Size(50, 20), Size(50, 20)});
  auto placed = layout->layoutAttributesForElements(Rect(0, 0, 300, 100));
  EXPECT_EQ(placed[1]->frame().origin.x, 60);  // the default spacing, 10
  EXPECT_TRUE(layout->layoutAttributesForElements(Rect(0, 200, 300, 100)).empty());
}

}  // namespace
}  // namespace vantrel
