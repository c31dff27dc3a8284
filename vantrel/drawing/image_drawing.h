// File: vantrel/drawing/image_drawing.h
//
// `ImageDrawing`: an offscreen canvas of a size in points at a backing scale
// factor (pixels per point), drawn on through the thread's current context
// or directly, and taken as PNG data or a bitmap. Beside it: the main screen
// and its scale factor, the crop of a bitmap and the pixel size of one.
//
//   auto drawing = ImageDrawing::create(Size(10, 5), 2.0);   // 20 x 10 pixels
//   drawing->startDrawing();                                 // current context: the canvas
//   currentDrawingContext()->fillRect(Rect(0, 0, 10, 5));    // in points: every pixel
//   drawing->endDrawing();                                   // the earlier context again
//   BitmapImage::Ptr sheet = drawing->snapshotAsCgImage();
//
// The canvas keeps a single `DrawingContext` that serves both as the
// toolkit context and as the plain drawing context (`nsctx`, `ctx`), scaled
// by the factor, origin at the lower-left, y up.
// `startDrawing()` saves the thread's graphics state and makes the canvas
// current; `endDrawing()` restores the state, bringing back the context that
// was current before. The thread's context stack holds the canvas's context
// strongly, so a drawing dropped after an unpaired `startDrawing()` leaves a
// context that is still valid (until that state is restored). The rectangle
// handed to the second `draw` is (0, 0, scaledSize): in pixels, while the
// context's units are points.
//
// Limits (the program stops with the numbers): a size times scale that is
// not finite, truncates to no pixel, or exceeds 32767 pixels a side (the
// context limit); no main screen for `vantrel_mainScreen`.
//
// A drawing belongs to one thread, like the current context it uses.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "vantrel/collections/int_grid.h"
#include "vantrel/platform/graphics/bitmap_image.h"
#include "vantrel/platform/graphics/drawing_context.h"
#include "vantrel/core/geometry.h"
#include "vantrel/platform/kit/screen.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

class ImageDrawing {
 public:
  using Ptr = std::shared_ptr<ImageDrawing>;

  // A transparent canvas of trunc(width * scale) x trunc(height * scale)
  // pixels.
  [[nodiscard]] static Ptr create(Size size, double backingScaleFactor);

  virtual ~ImageDrawing() = default;
  ImageDrawing(const ImageDrawing&) = delete;
  ImageDrawing& operator=(const ImageDrawing&) = delete;

  // The pixels now (a copy).
  [[nodiscard]] BitmapImage::Ptr rep() const;
  [[nodiscard]] const DrawingContext::Ptr& nsctx() const { return context_; }
  [[nodiscard]] const DrawingContext::Ptr& ctx() const { return context_; }
  [[nodiscard]] double scale() const { return scale_; }
  [[nodiscard]] Size size() const { return size_; }
  // `size` times `scale`, before truncation.
  [[nodiscard]] Size scaledSize() const { return scaledSize_; }

  virtual void startDrawing();
  // Calls `drawing` once with the receiver.
  virtual void draw(const std::function<void(ImageDrawing&)>& drawing);
  // Calls `drawing` once with the context, (0, 0, scaledSize) and the scale.
  virtual void draw(const std::function<void(DrawingContext&, Rect, double)>& drawing);
  virtual void endDrawing();
  // The pixels as PNG (8-bit RGBA).
  [[nodiscard]] virtual std::vector<std::uint8_t> snapshotAsPngData();
  [[nodiscard]] virtual BitmapImage::Ptr snapshotAsCgImage();

 protected:
  ImageDrawing(Size size, double backingScaleFactor);

 private:
  DrawingContext::Ptr context_;
  double scale_;
  Size size_;
  Size scaledSize_;
};

// Static operations of the screen type.
namespace NSScreen {
// The main screen (`Screen::mainScreen()`); stops when there is none.
[[nodiscard]] Screen::Ptr vantrel_mainScreen();
}  // namespace NSScreen

[[nodiscard]] double vantrel_backingScaleFactor(const Screen& self);

// The part of `self` inside `rect` (pixels from the top-left, widened to
// whole pixels and clipped); `self` itself when nothing is left.
[[nodiscard]] BitmapImage::Ptr cropToRect(const BitmapImage::Ptr& self, Rect rect);

// The pixel width and height.
[[nodiscard]] IntSize pixelsSize(const BitmapImage& self);

}  // namespace vantrel
