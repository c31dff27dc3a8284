// File: vantrel/platform/kit/image_view.h
//
// `ImageView`: a view that shows one image (the graphics module's `Image`,
// vantrel/platform/graphics/image.h), or none.
//
//   auto view = ImageView::create(Rect(0, 0, 32, 32));
//   view->setImage(icon);
//   view->image() == icon        // true
//
// The headless kit keeps the image for whoever draws or inspects the view;
// the view itself draws nothing. Main-thread objects: not thread-safe.
#pragma once

#include <memory>

#include "vantrel/core/geometry.h"
#include "vantrel/platform/kit/view.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

// Defined by the graphics module, which sits above the kit.
class Image;

class ImageView : public View {
 public:
  using Ptr = std::shared_ptr<ImageView>;

  [[nodiscard]] static Ptr create(Rect frame = Rect());

  // Null until set.
  [[nodiscard]] const std::shared_ptr<Image>& image() const { return image_; }
  void setImage(std::shared_ptr<Image> image) { image_ = std::move(image); }

 protected:
  explicit ImageView(Rect frame) : View(frame) {}

 private:
  std::shared_ptr<Image> image_;
};

}  // namespace vantrel
