// File: vantrel/appkit/collection_view_flow_layout_left.h
//
// `NSCollectionViewFlowLayoutLeft`: a flow layout that lines every row up at
// the left instead of spreading its items over the width.
//
//   auto layout = NSCollectionViewFlowLayoutLeft::create();
//   layout->setSectionInset(EdgeInsets(0, 8, 0, 8));
//   layout->setMinimumInteritemSpacing(4);
//   layout->layoutAttributesForElements(visible)   // x: 8, 8 + w0 + 4, …
//
// It takes the base layout's attributes for the rectangle, in their order,
// and moves each one's x in place (the same objects come back): an element
// whose frame origin y differs from the row's (compared exactly; NaN always
// differs) starts a new row at the left section inset; each next element of
// a row starts at the previous one's end plus the minimum inter-item
// spacing. The inset and spacing are the layout's own, read as each row
// starts and at each step. Items of one visual line with different origins
// (the base centres items of different heights on their row) thus each
// start a row of their own.
//
// Main-thread objects: not thread-safe.
#pragma once

#include <memory>

#include "vantrel/platform/kit/collection_view_layout.h"
#include "vantrel/core/geometry.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

class NSCollectionViewFlowLayoutLeft : public CollectionViewFlowLayout {
 public:
  using Ptr = std::shared_ptr<NSCollectionViewFlowLayoutLeft>;

  [[nodiscard]] static Ptr create() { return Ptr(new NSCollectionViewFlowLayoutLeft()); }
  [[nodiscard]] AttributesList layoutAttributesForElements(Rect rect) override;

 protected:
  NSCollectionViewFlowLayoutLeft() = default;
};

}  // namespace vantrel
