// File: vantrel/appkit/hit_test_less_views.h
//
// An image view and a text field that never take part in hit testing:
// `hitTest` answers null for every point, so a click goes to whatever lies
// behind them; they still draw as usual.
//
//   auto badge = HitTestLessImageView::create(Rect(0, 0, 16, 16));
//   container->addSubview(badge);
//   container->hitTest(Point(4, 4))     // the view behind the badge
//
// Both keep their base's frame form. Main-thread objects, like views.
#pragma once

#include <memory>

#include "vantrel/core/geometry.h"
#include "vantrel/platform/kit/image_view.h"
#include "vantrel/platform/kit/text_field.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

class HitTestLessImageView : public ImageView {
 public:
  using Ptr = std::shared_ptr<HitTestLessImageView>;

  [[nodiscard]] static Ptr create(Rect frame = Rect()) { return Ptr(new HitTestLessImageView(frame)); }
  [[nodiscard]] View::Ptr hitTest(Point point) override;

 protected:
  explicit HitTestLessImageView(Rect frame) : ImageView(frame) {}
};

class HitTestLessTextField : public TextField {
 public:
  using Ptr = std::shared_ptr<HitTestLessTextField>;

  [[nodiscard]] static Ptr create(Rect frame = Rect()) { return Ptr(new HitTestLessTextField(frame)); }
  [[nodiscard]] View::Ptr hitTest(Point point) override;

 protected:
  explicit HitTestLessTextField(Rect frame) : TextField(frame) {}
};

}  // namespace vantrel
