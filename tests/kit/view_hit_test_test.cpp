#include <gtest/gtest.h>

#include "vantrel/platform/kit/view.h"

namespace vantrel {
namespace {

TEST(ViewIntrinsicSize, InvalidationsAreCounted) {
  auto view = View::create();
  EXPECT_EQ(view->intrinsicContentSizeInvalidationCount(), 0);
  view->invalidateIntrinsicContentSize();
  view->invalidateIntrinsicContentSize();
  EXPECT_EQ(view->intrinsicContentSizeInvalidationCount(), 2);
}

TEST(ViewHitTest, PointsGoToTheDeepestVisibleViewFrontMostFirst) {
  auto root = View::create(Rect(0, 0, 100, 100));
  auto back = View::create(Rect(10, 10, 50, 50));
  auto front = View::create(Rect(30, 30, 50, 50));
  auto inner = View::create(Rect(5, 5, 10, 10));  // in front's coordinates
  auto flipped = View::create(Rect(0, 80, 40, 20));
  auto flippedChild = View::create(Rect(0, 0, 10, 5));  // top-left corner of a flipped view
  auto hidden = View::create(Rect(0, 0, 100, 100));
  flipped->setFlipped(true);
  root->addSubview(back);
  root->addSubview(front);
  front->addSubview(inner);
  root->addSubview(flipped);
  flipped->addSubview(flippedChild);
  root->addSubview(hidden);
  hidden->setHidden(true);
  const struct {
    Point point;
    View::Ptr expected;
  } cases[] = {
      {Point(15, 15), back},          {Point(40, 40), inner},       {Point(55, 55), front},
      {Point(35, 33), front},         {Point(5, 5), root},          {Point(2, 98), flippedChild},
      {Point(2, 82), flipped},        {Point(100, 50), nullptr},    {Point(-1, 50), nullptr},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(root->hitTest(c.point), c.expected) << c.point.x << ", " << c.point.y;
  }
  root->setHidden(true);
  EXPECT_EQ(root->hitTest(Point(40, 40)), nullptr);
}

}  // namespace
}  // namespace vantrel
