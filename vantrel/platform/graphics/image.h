// File: vantrel/platform/graphics/image.h
//
// `Image`: the kit's stand-in for a platform image: a size in points and a
// list of bitmap representations, or a drawing handler that makes its pixels
// each time the image is drawn.
//
//   auto image = Image::create(Size(20, 10));
//   image->lockFocus();                          // current context: 20 x 10 pixels
//   currentDrawingContext()->fillRect(Rect(0, 0, 5, 5));
//   image->unlockFocus();                        // the pixels become a representation
//   image->cgImage()->pixelAt(0, 9)              // {0, 0, 0, 255}: lower-left
//
// Focus: `lockFocus` saves the thread's graphics state and makes a context on
// the image current: over a copy of the first representation when there is
// one (its pixel size; the image's size in points is scaled onto it), else
// over a transparent bitmap of the size rounded up to whole pixels.
// `unlockFocus` stores what was drawn as the first representation and
// restores the graphics state. A size that holds no whole pixel gets no
// context: drawing calls then have no current context and nothing is kept.
//
// Handler images (`withDrawingHandler`) keep no pixels: `cgImage()` and
// `drawIn` run the handler again each time, on a fresh context of the size
// rounded up (flipped when asked), current while the handler runs.
//
// Images are mutable objects held by `Image::Ptr`; one image belongs to one
// thread at a time.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <vector>

#include "vantrel/platform/graphics/bitmap_image.h"
#include "vantrel/platform/graphics/drawing_context.h"
#include "vantrel/core/geometry.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

class Image {
 public:
  using Ptr = std::shared_ptr<Image>;
  // Receives the destination rectangle; answers whether it drew.
  using DrawingHandler = std::function<bool(Rect)>;

  [[nodiscard]] static Ptr create(Size size);
  [[nodiscard]] static Ptr withDrawingHandler(Size size, bool flipped, DrawingHandler handler);
  // A PNG or JPEG image at its pixel size; nullptr when the data is neither
  // or does not decode.
  [[nodiscard]] static Ptr fromData(std::span<const std::uint8_t> data);

  Image(const Image&) = delete;
  Image& operator=(const Image&) = delete;

  [[nodiscard]] Size size() const { return size_; }
  void setSize(Size size) { size_ = size; }
  [[nodiscard]] const std::vector<BitmapImage::Ptr>& representations() const { return representations_; }
  void addRepresentation(BitmapImage::Ptr representation);

  void lockFocus();
  void unlockFocus();

  // The image as one bitmap: the handler's drawing, or the first
  // representation; nullptr when there is neither (or no whole pixel).
  [[nodiscard]] BitmapImage::Ptr cgImage() const;
  // Draws the image into `rect` of the current context (nothing without one).
  void drawIn(Rect rect, CompositingOperation operation = CompositingOperation::sourceOver,
              double fraction = 1.0) const;

  // An independent image of the same size, representations (shared: they
  // are immutable) and drawing handler; drawing on one leaves the other.
  [[nodiscard]] Ptr copy() const;
  // The representation with the most pixels, the first of equals; for a
  // handler image its drawing; nullptr when there is none.
  [[nodiscard]] BitmapImage::Ptr bestRepresentation() const;
  // Draws the whole image at its own size in points with its lower-left
  // corner at `point` of the current context (nothing without one).
  void drawAtPoint(Point point, CompositingOperation operation = CompositingOperation::sourceOver,
                   double fraction = 1.0) const;

 private:
  explicit Image(Size size) : size_(size) {}

  Size size_;
  std::vector<BitmapImage::Ptr> representations_;
  DrawingHandler handler_;
  bool flipped_ = false;
  DrawingContext::Ptr focus_;
  bool focused_ = false;
};

}  // namespace vantrel
