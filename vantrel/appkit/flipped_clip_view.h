// File: vantrel/appkit/flipped_clip_view.h
//
// `FlippedClipView`: a clip view whose coordinates are always flipped: the
// origin at the top-left corner, y growing downwards. `setFlipped` does not
// change that.
//
//   auto clip = FlippedClipView::create(Rect(0, 0, 200, 100));
//   scrollContent->addSubview(clip);
//   clip->isFlipped()           // true
//
// Keeps the clip view's frame form. Main-thread objects, like views.
#pragma once

#include <memory>

#include "vantrel/core/geometry.h"
#include "vantrel/platform/kit/scroll_view.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

class FlippedClipView : public ClipView {
 public:
  using Ptr = std::shared_ptr<FlippedClipView>;

  [[nodiscard]] static Ptr create(Rect frame = Rect()) { return Ptr(new FlippedClipView(frame)); }
  [[nodiscard]] bool isFlipped() const override { return true; }

 protected:
  explicit FlippedClipView(Rect frame) : ClipView(frame) {}
};

}  // namespace vantrel
