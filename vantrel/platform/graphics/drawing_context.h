// File: vantrel/platform/graphics/drawing_context.h
//
// `DrawingContext`: a drawing surface over a bitmap of premultiplied RGBA
// pixels (cairo underneath), and the calling thread's current context.
//
//   auto context = DrawingContext::create(20, 10);     // transparent, y up
//   context->setFillColor(*Color::withRed(1, 0, 0, 1));
//   context->fillRect(Rect(0, 0, 10, 10));             // the left half
//   BitmapImage::Ptr image = context->makeImage();
//   image->pixelAt(0, 0)                               // {255, 0, 0, 255}
//
// Coordinates: one unit per pixel. An unflipped context (the default) has its
// origin at the lower-left corner with y upwards; a flipped one has it at the
// top-left with y downwards. `transform()` reports only what was added with
// `concat`, `translateBy`, `scaleBy` and `rotateBy`: the identity right after
// creation, whichever way y points.
//
// State: fill colour, stroke colour, line width, the transform and the clip
// are saved and restored together by `saveGState` / `restoreGState`. A
// restore without a matching save stops the program (`fatal`).
//
// Text is drawn with `Font` (see font.h) in lines from the top of its
// rectangle, laid out by Pango; glyphs stand upright whichever way y points.
// Each line is aligned by the rectangle's edges (`left` is the left edge
// also for a right-to-left paragraph). Images are drawn
// upright into a rectangle (their top row along its top edge), scaled to fill
// it, with a compositing operation and an opacity `fraction` in 0...1 that
// fades the image itself (so `copy` at 0.5 leaves a half-transparent copy).
// Images wider or taller than 32767 pixels are not drawn.
//
// A context belongs to one thread at a time. The current context is kept per
// thread: `setCurrentDrawingContext`, and `saveGraphicsState` /
// `restoreGraphicsState`, which also save and restore the current context's
// own state.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

#include "vantrel/platform/graphics/bitmap_image.h"
#include "vantrel/platform/graphics/font.h"
#include "vantrel/core/color.h"
#include "vantrel/core/geometry.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

// How drawn pixels combine with those already there (Porter-Duff and blend
// modes); `sourceOver` paints normally, `copy` replaces.
enum class CompositingOperation {
  clear,
  copy,
  sourceOver,
  sourceIn,
  sourceOut,
  sourceAtop,
  destinationOver,
  destinationIn,
  destinationOut,
  destinationAtop,
  xor_,
  plusLighter,
  multiply,
  screen,
  darken,
  lighten,
  difference,
};

// `TextAlignment` (left, right, center) is the kit's (kit/font.h).

// How `drawText` lays a text out in its rectangle.
struct TextLayout {
  TextAlignment alignment = TextAlignment::left;
  // Break lines to fit the rectangle's width where Unicode allows a break
  // (between words, between CJK characters); a word wider than the line is
  // broken between characters, never inside one (a letter keeps its marks).
  bool wrapsWords = true;
  // Draw nothing outside the rectangle: only the lines that fit whole are
  // drawn (the first always), the last of them ending in an ellipsis when
  // text was left out.
  bool clipsToRect = false;
};

class DrawingContext {
 public:
  using Ptr = std::shared_ptr<DrawingContext>;

  // A transparent context of width x height pixels; nullptr when either side
  // is below 1 or above 32767, or the memory cannot be had.
  [[nodiscard]] static Ptr create(std::int64_t width, std::int64_t height, bool flipped = false);
  // A context of the image's pixel size holding its pixels; nullptr as for
  // `create`.
  [[nodiscard]] static Ptr createWithImage(const BitmapImage& image, bool flipped = false);

  ~DrawingContext();
  DrawingContext(const DrawingContext&) = delete;
  DrawingContext& operator=(const DrawingContext&) = delete;

  [[nodiscard]] std::int64_t width() const;
  [[nodiscard]] std::int64_t height() const;
  [[nodiscard]] bool isFlipped() const;

  // --- Transform and state ---------------------------------------------------
  [[nodiscard]] AffineTransform transform() const;
  // Applies `transform` to coordinates before the current transform.
  void concat(const AffineTransform& transform);
  void translateBy(double tx, double ty);
  void scaleBy(double sx, double sy);
  // Counter-clockwise by `angle` radians as seen in a y-up context.
  void rotateBy(double angle);
  void saveGState();
  void restoreGState();
  // Limits later drawing to `rect` (intersected with any clip already set).
  void clipToRect(Rect rect);

  // --- Colours and lines ------------------------------------------------------
  void setFillColor(const Color& color);
  void setStrokeColor(const Color& color);
  // Fill and stroke colour at once.
  void setColor(const Color& color);
  void setLineWidth(double width);
  void setCompositingOperation(CompositingOperation operation);

  // --- Shapes ------------------------------------------------------------------
  // Makes the rectangle fully transparent.
  void clearRect(Rect rect);
  void fillRect(Rect rect);
  // The outline, centred on the rectangle's edges.
  void strokeRect(Rect rect);
  // The ellipse inscribed in `rect`.
  void fillEllipse(Rect rect);
  void strokeEllipse(Rect rect);
  // Corner radii are limited to half the rectangle's width and height.
  void fillRoundedRect(Rect rect, double xRadius, double yRadius);
  void strokeRoundedRect(Rect rect, double xRadius, double yRadius);

  // --- Images and text ------------------------------------------------------------
  void drawImage(const BitmapImage& image, Rect rect,
                 CompositingOperation operation = CompositingOperation::sourceOver, double fraction = 1.0);
  void drawText(std::string_view text, Rect rect, const Font& font, const Color& color,
                const TextLayout& layout = {});

  // A copy of the pixels. `bytesPerRow` 0 packs the rows; a larger value pads
  // each row with zeros (it must be at least 4 * width).
  [[nodiscard]] BitmapImage::Ptr makeImage(std::int64_t bytesPerRow = 0) const;
  // The pixels as an image without copying them, for a context at the end of
  // its use: the context then starts over, transparent, its state, saved
  // states and transform reset, as if it were new.
  [[nodiscard]] BitmapImage::Ptr takeImage();

  struct Impl;

 private:
  explicit DrawingContext(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};

// The calling thread's current drawing context, or nullptr.
[[nodiscard]] DrawingContext::Ptr currentDrawingContext();
void setCurrentDrawingContext(DrawingContext::Ptr context);
// Remembers the current context (and saves its state); the matching restore
// makes it current again (and restores its state). A restore without a save
// stops the program.
void saveGraphicsState();
void restoreGraphicsState();

}  // namespace vantrel
