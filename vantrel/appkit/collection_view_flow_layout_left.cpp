#include "vantrel/appkit/collection_view_flow_layout_left.h"

namespace vantrel {

NSCollectionViewFlowLayoutLeft::AttributesList NSCollectionViewFlowLayoutLeft::layoutAttributesForElements(
    Rect rect) {
  AttributesList base = CollectionViewFlowLayout::layoutAttributesForElements(rect);
  if (base.empty()) return base;
  double x = sectionInset().left;
  double rowY = base.front()->frame().origin.y;
  AttributesList placed;
  placed.reserve(base.size());
  for (const auto& attributes : base) {
    const Rect frame = attributes->frame();
    // `!=` is true for NaN on either side: an undefined origin starts a row.
    if (frame.origin.y != rowY) {
      x = sectionInset().left;
      rowY = frame.origin.y;
    }
    attributes->setFrame(Rect(x, frame.origin.y, frame.size.width, frame.size.height));
    x += frame.size.width + minimumInteritemSpacing();
    placed.push_back(attributes);
  }
  return placed;
}

}  // namespace vantrel
