// File: vantrel/appkit/hairline_view.h
//
// `VantrelHairlineView`: a thin coloured bar whose height is its intrinsic
// height and whose width the layout decides; without a colour it is hidden.
//
//   auto line = VantrelHairlineView::create();         // 0.5 high, hidden
//   line->setHairlineColor(Color::redColor());         // shown, red layer
//   line->setHairlineHeight(1);                        // intrinsic height 1
//
// Made with the default view frame (`VtCGRectDefaultRectView()`) and its
// autoresizing mask not translated into constraints. The intrinsic size is
// (kViewNoIntrinsicMetric, hairlineHeight); every write of the height
// invalidates it (counted by the view). A colour makes the view layer-backed
// with that background colour and shows it; none hides it and leaves the
// layer's colour as it was. Writes take effect also when the value is the
// one already there.
//
// Only the height-and-colour form exists: `create(Rect)` is deleted, and
// there is no coder form. Main-thread objects, like views.
#pragma once

#include <concepts>
#include <memory>

#include "vantrel/core/color.h"
#include "vantrel/core/geometry.h"
#include "vantrel/platform/kit/view.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

class VantrelHairlineView : public View {
 public:
  using Ptr = std::shared_ptr<VantrelHairlineView>;

  [[nodiscard]] static Ptr create(double height = 0.5, Color::Ptr color = nullptr);
  template <std::same_as<Rect> R>
  static Ptr create(R frame) = delete;

  [[nodiscard]] double hairlineHeight() const { return hairlineHeight_; }
  void setHairlineHeight(double height);
  // Null: hidden.
  [[nodiscard]] const Color::Ptr& hairlineColor() const { return hairlineColor_; }
  void setHairlineColor(Color::Ptr color);

  [[nodiscard]] Size intrinsicContentSize() const override;

 protected:
  VantrelHairlineView(double height, Color::Ptr color);

 private:
  void applyColor();

  double hairlineHeight_;
  Color::Ptr hairlineColor_;
};

}  // namespace vantrel
