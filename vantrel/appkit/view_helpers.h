// File: vantrel/appkit/view_helpers.h
//
// Helpers on views: a background colour kept in the view's layer, a print
// helper, an update of the registered drag types that leaves an unchanged
// registration alone, a snapshot of the content of the view's window and a
// read of one pixel of it; and `VantrelDummyView`, a plain coloured
// placeholder.
//
//   vtBackgroundColor(*view)                        // cyan while the layer has none
//   setVtBackgroundColor(*view, Color::redColor()); // layer-backed, red
//   setRegisteredDraggedTypes(*view, {PasteboardType::string()});
//   Image::Ptr shot = capture(*view);               // the whole content view, 1 pixel per point
//   readPixelColor(*view, Point(5, 5))              // the colour there, or null
//
// Background colour: reading or writing makes the view layer-backed first.
// Writing null clears the colour, as `vtBackgroundColorReset` does.
//
// Drag types: when the view has a type the list lacks, everything is
// unregistered and the whole list registered in its order; else only the
// types it adds are registered, in the list's order; equal sets change
// nothing.
//
// Snapshots: the window's content view and its visible subviews (a hidden
// view hides its subtree), in tree order, each in its own coordinates and
// clipped to its bounds: first its layer's background colour over its
// bounds, then its `draw(bounds)` with the snapshot as current drawing
// context. The image has the content view's bounds size; `capture` answers
// null for a view in no window or a content view with no whole pixel.
// `readPixelColor` reads that rendering at the point converted to window
// coordinates: a device RGB colour with the pixel's alpha (components no
// longer premultiplied); null outside the content view or without a
// window. Main thread, like the views.
#pragma once

#include <memory>
#include <vector>

#include "vantrel/appkit/window_helpers.h"
#include "vantrel/platform/foundation/pasteboard/pasteboard.h"
#include "vantrel/platform/graphics/bitmap_image.h"
#include "vantrel/platform/graphics/image.h"
#include "vantrel/core/color.h"
#include "vantrel/core/geometry.h"
#include "vantrel/platform/kit/view.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

[[nodiscard]] Color::Ptr vtBackgroundColor(View& self);
void setVtBackgroundColor(View& self, const Color::Ptr& color);
void vtBackgroundColorReset(View& self);

// Each value as `describe` writes it, back to back, then a line feed.
template <class... Values>
void sprintWith(const View& /*self*/, const SprintOptions& options, const Values&... values) {
  appkit_internal::sprintTexts({describe(values)...}, options);
}
template <class... Values>
void sprint(const View& self, const Values&... values) {
  sprintWith(self, SprintOptions{}, values...);
}

void setRegisteredDraggedTypes(View& self, const std::vector<PasteboardType>& types);

[[nodiscard]] Image::Ptr capture(const View& self);
[[nodiscard]] Color::Ptr readPixelColor(const View& self, Point point);

namespace appkit_internal {
// The rendering of a content view, or null when it holds no whole pixel.
BitmapImage::Ptr renderContentView(const View& contentView);
}  // namespace appkit_internal

// A plain placeholder view of one colour: zero frame, layer-backed with the
// colour, sized and placed by constraints only.
class VantrelDummyView : public View {
 public:
  using Ptr = std::shared_ptr<VantrelDummyView>;

  [[nodiscard]] static Ptr create(const Color::Ptr& color);
  // A frame form is not offered.
  template <std::same_as<Rect> R>
  static Ptr create(R frame) = delete;

 protected:
  VantrelDummyView() : View(Rect()) {}
};

}  // namespace vantrel
