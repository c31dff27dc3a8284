#include "vantrel/platform/kit/image_view.h"

namespace vantrel {

ImageView::Ptr ImageView::create(Rect frame) { return Ptr(new ImageView(frame)); }

}  // namespace vantrel
