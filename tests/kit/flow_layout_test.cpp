#include "vantrel/platform/kit/collection_view_layout.h"

#include <cmath>
#include <limits>
#include <vector>

#include <gtest/gtest.h>

namespace vantrel {
namespace {

std::vector<Rect> framesOf(const CollectionViewFlowLayout::AttributesList& list) {
  std::vector<Rect> frames;
  for (const auto& attributes : list) frames.push_back(attributes->frame());
  return frames;
}

TEST(CollectionViewFlowLayout, RowsSpreadTheirItemsAndCentreThemVertically) {
  auto layout = CollectionViewFlowLayout::create();
  layout->setCollectionViewWidth(300);
  layout->setSectionInset(EdgeInsets(10, 10, 5, 10));
  layout->setMinimumInteritemSpacing(10);
  layout->setMinimumLineSpacing(4);
  // Row 1: 80 + 10 + 80 + 10 + 80 = 260 <= 280; the fourth does not fit.
  layout->setItemSizes({Size(80, 40), Size(80, 20), Size(80, 30), Size(100, 10), Size(100, 30)});
  const auto list = layout->layoutAttributesForElements(Rect(0, 0, 300, 1000));
  const std::vector<Rect> expected{
      Rect(10, 10, 80, 40), Rect(110, 20, 80, 20), Rect(210, 15, 80, 30),  // spare 40 spread: gaps of 20
      Rect(10, 64, 100, 10), Rect(190, 54, 100, 30),                       // row 2 starts at 10 + 40 + 4
  };
  EXPECT_EQ(framesOf(list), expected);
  EXPECT_EQ(layout->collectionViewContentSize(), Size(300, 89));
  EXPECT_EQ(list[1]->indexPath(), (IndexPath{0, 1}));
  // The same objects until a setter asks for a new layout.
  EXPECT_EQ(layout->layoutAttributesForItem(IndexPath{0, 1}), list[1]);
  EXPECT_EQ(layout->layoutAttributesForElements(Rect(0, 0, 300, 1000))[4], list[4]);
  layout->setMinimumLineSpacing(4);
  EXPECT_NE(layout->layoutAttributesForItem(IndexPath{0, 1}), list[1]);
  EXPECT_EQ(layout->layoutAttributesForItem(IndexPath{0, 5}), nullptr);
}

TEST(CollectionViewFlowLayout, LoneItemIsCentredAndTheRectangleFilters) {
  auto layout = CollectionViewFlowLayout::create();
  layout->setCollectionViewWidth(200);
  layout->setNumberOfItems(2);  // 50 x 50 each, 10 apart: 110 fit in 200
  layout->setItemSizes({Size(150, 20), Size(150, 20)});
  const auto all = layout->layoutAttributesForElements(Rect(0, 0, 200, 100));
  EXPECT_EQ(framesOf(all), (std::vector<Rect>{Rect(25, 0, 150, 20), Rect(25, 30, 150, 20)}));
  EXPECT_EQ(framesOf(layout->layoutAttributesForElements(Rect(0, 25, 200, 100))),
            (std::vector<Rect>{Rect(25, 30, 150, 20)}));
  layout->setItemSizes({Size(50, std::numeric_limits<double>::quiet_NaN())});
  const auto undefined = layout->layoutAttributesForElements(Rect(0, 0, 200, 100));
  ASSERT_EQ(undefined.size(), 1u);  // not known to be outside
  EXPECT_TRUE(std::isnan(undefined[0]->frame().origin.y));
  layout->setItemSizes({});
  EXPECT_TRUE(layout->layoutAttributesForElements(Rect(0, 0, 200, 100)).empty());
}

}  // namespace
}  // namespace vantrel
