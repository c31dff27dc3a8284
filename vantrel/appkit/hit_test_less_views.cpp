#include "vantrel/appkit/hit_test_less_views.h"

namespace vantrel {

View::Ptr HitTestLessImageView::hitTest(Point /*point*/) { return nullptr; }

View::Ptr HitTestLessTextField::hitTest(Point /*point*/) { return nullptr; }

}  // namespace vantrel
