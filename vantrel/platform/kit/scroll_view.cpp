#include "vantrel/platform/kit/scroll_view.h"

namespace vantrel {

std::string_view description(BorderType type) {
  switch (type) {
    case BorderType::noBorder: return "noBorder";
    case BorderType::lineBorder: return "lineBorder";
    case BorderType::bezelBorder: return "bezelBorder";
    case BorderType::grooveBorder: return "grooveBorder";
  }
  return "unknown";
}

ClipView::Ptr ClipView::create(Rect frame) { return Ptr(new ClipView(frame)); }

void ClipView::setDocumentView(const View::Ptr& viewReference) {
  // A copy: the caller may pass a subview list element that the removal
  // below erases.
  const View::Ptr view = viewReference;
  const View::Ptr previous = documentView();
  if (previous == view) {
    if (view && view->superview().get() != this) addSubview(view);
    return;
  }
  if (previous && previous->superview().get() == this) previous->removeFromSuperview();
  document_.reset();
  if (!view) return;
  addSubview(view);
  document_ = view;
}

ScrollView::ScrollView(Rect frame)
    : View(frame), contentView_(ClipView::create(Rect(Point(), frame.size))) {}

ScrollView::Ptr ScrollView::create(Rect frame) {
  Ptr scroll(new ScrollView(frame));
  // Only now does the scroll view have an owner its subview can point back to.
  scroll->addSubview(scroll->contentView_);
  return scroll;
}

}  // namespace vantrel
