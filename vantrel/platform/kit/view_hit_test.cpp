// Hit testing, kept apart from view.cpp: event delivery builds on it.
#include "vantrel/platform/kit/view.h"

namespace vantrel {

View::Ptr View::hitTest(Point point) {
  if (isHidden()) return nullptr;
  const Rect frame = frame_;
  // Written so that NaN coordinates fail too.
  const bool inside = point.x >= frame.minX() && point.x < frame.maxX() && point.y >= frame.minY() &&
                      point.y < frame.maxY();
  if (!inside) return nullptr;
  const Ptr self = shared_from_this();
  const Ptr parent = superview();
  const Point local = convertPointFromView(point, parent.get());
  // A copy: a subview's hitTest override may change the subview list.
  const std::vector<Ptr> subviews = subviews_;
  for (auto it = subviews.rbegin(); it != subviews.rend(); ++it) {
    if (Ptr found = (*it)->hitTest(local)) return found;
  }
  return self;
}

}  // namespace vantrel
