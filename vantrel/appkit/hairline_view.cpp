#include "vantrel/appkit/hairline_view.h"

#include "vantrel/drawing/geometry_helpers.h"

namespace vantrel {

VantrelHairlineView::VantrelHairlineView(double height, Color::Ptr color)
    : View(VtCGRectDefaultRectView().get()), hairlineHeight_(height) {
  setTranslatesAutoresizingMaskIntoConstraints(false);
  hairlineColor_ = std::move(color);
  applyColor();
}

VantrelHairlineView::Ptr VantrelHairlineView::create(double height, Color::Ptr color) {
  return Ptr(new VantrelHairlineView(height, std::move(color)));
}

void VantrelHairlineView::setHairlineHeight(double height) {
  hairlineHeight_ = height;
  invalidateIntrinsicContentSize();
}

void VantrelHairlineView::setHairlineColor(Color::Ptr color) {
  hairlineColor_ = std::move(color);
  applyColor();
}

void VantrelHairlineView::applyColor() {
  if (!hairlineColor_) {
    setHidden(true);
    return;
  }
  setHidden(false);
  setWantsLayer(true);
  layer()->setBackgroundColor(hairlineColor_);
}

Size VantrelHairlineView::intrinsicContentSize() const { return Size(kViewNoIntrinsicMetric, hairlineHeight_); }

}  // namespace vantrel
