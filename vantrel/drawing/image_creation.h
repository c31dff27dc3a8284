// File: vantrel/drawing/image_creation.h
//
// Small images made from nothing (`Image`, see
// vantrel/platform/graphics/image.h) and their PNG and JPEG data: an image
// drawn by a closure, an empty or single-colour image with an optional 2 x 2
// centre mark, a text label with border, background and padding, a text box
// drawn at a scale factor, and a blue circle in three variants.
//
//   auto mark = NSImage::vtEmptyImage(Size(10, 10), true, Color::withRed(1, 0, 0, 1));
//   mark->size()                                   // (20, 20): retina doubles the points
//   auto label = NSImage::vtImageWith("Hello");    // DejaVu Sans 10, black, no background
//   auto png = vtPngImageData(*label);             // nullopt when it cannot be made
//   auto jpeg = vtJpegImageData(*label, "a comment");   // EXIF user comment
//
// Drawing coordinates are the image's own: origin at the lower-left corner,
// y upwards, one pixel per point (the circle of `vtBlueCircleImage` is drawn
// by a flipped handler). The closure of `NSImage::createImage` draws through
// `currentDrawingContext()`, which is the image's context while it runs;
// every maker leaves the thread's current context as it found it.
//
// Text is measured and drawn with the kit's fonts (DejaVu through
// fontconfig, laid out by Pango; see font.h); the sizes and positions around it follow the fixed arithmetic
// documented on each operation, the glyphs are the font's.
//
// Limits: `createImage`, `vtImageWith` and `vtBlueCircleImage3` need a size
// that is finite and holds at least one whole pixel each way; otherwise the
// program stops (`fatal`) with the size. The encoders answer nullopt, never
// partial or empty bytes, when there is nothing to encode or encoding fails.
// Everything runs on the caller's thread.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "vantrel/drawing/geometry_helpers.h"
#include "vantrel/platform/graphics/font.h"
#include "vantrel/platform/graphics/image.h"
#include "vantrel/core/color.h"
#include "vantrel/core/geometry.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

// The compression factor the library names as its default for JPEG. The JPEG
// data of `vtJpegImageData` is always made at 0.9.
inline constexpr double VT_DEFAULT_JPEG_COMPRESSION = 0.85;

// Static operations of the image type.
namespace NSImage {

// A bitmap of `size` truncated to whole pixels, current while `byDrawing`
// runs once with (0, 0, size) as given; the result is the image read back
// from that bitmap's PNG, its size its pixel size.
[[nodiscard]] Image::Ptr createImage(Size size, const std::function<void(Rect)>& byDrawing);

// A transparent image of `size` (doubled with `retina`: the points double,
// no denser pixels), with a 2 x 2 square of `markCenterColor` on its centre.
[[nodiscard]] Image::Ptr vtEmptyImage(Size size, bool retina = false, const Color::Ptr& markCenterColor = nullptr);

// `size` filled with `color` (blue by default), with the optional centre mark.
[[nodiscard]] Image::Ptr vtRectImage(Size size, const Color::Ptr& color = Color::withRed(0, 0, 1, 1),
                                     const Color::Ptr& markCenterColor = nullptr);

// A label: the text measured (up to 9999 x 9999) and rounded up to tw x th;
// natural size (2 border + tw + left + right, 2 border + th + top + bottom),
// text at (border + left, border + bottom). A `frameSize` strictly larger
// than the unrounded measure both ways is used instead, with the text
// centred in the frame narrowed by the padding ((frame - left - right - tw) /
// 2, (frame - top - bottom - th) / 2). The background (rounded with
// `cornerRadius`) fills the whole image; the border is a square band of
// `borderWidth` along the edges.
[[nodiscard]] Image::Ptr vtImageWith(std::string_view text, std::optional<Size> frameSize = std::nullopt,
                                     const Font& font = Font::systemFont(10),
                                     const Color::Ptr& backgroundColor = nullptr,
                                     const Color::Ptr& borderColor = nullptr, double borderWidth = 1.0,
                                     EdgeInsets padding = edgeInsetsZero().get(),
                                     std::optional<double> cornerRadius = std::nullopt,
                                     const Color::Ptr& textColor = Color::blackColor());

// Black text, right-aligned and word-wrapped, in the system font at 20 x
// `scaleFactor`, on an image of `size` x `scaleFactor`; the text keeps 2 x
// `scaleFactor` from the left and right edges and lines past the bottom are
// cut. The optional background has corner radii of an eighth of the width
// and of the height when `backgroundRoundedCorners`.
[[nodiscard]] Image::Ptr textInBox(std::string_view text, Size size, double scaleFactor = 1.0,
                                   const Color::Ptr& backgroundColor = nullptr,
                                   bool backgroundRoundedCorners = true);

// The blue ellipse inscribed in (0, 0, size) on a transparent background.
// The first is drawn by a (flipped) handler each time the image is drawn;
// the second is drawn at once; the third at once into a bitmap of the size
// truncated to whole pixels.
[[nodiscard]] Image::Ptr vtBlueCircleImage(Size size = Size(50, 50));
[[nodiscard]] Image::Ptr vtBlueCircleImage2(Size size = Size(50, 50));
[[nodiscard]] Image::Ptr vtBlueCircleImage3(Size size = Size(50, 50));

}  // namespace NSImage

// PNG data of the image's bitmap (see `Image::cgImage`); nullopt when it has
// none or encoding fails.
[[nodiscard]] std::optional<std::vector<std::uint8_t>> vtPngImageData(const Image& self);

// JPEG data at compression factor 0.9 of the image's bitmap, with an EXIF
// user comment when one is given (none: no EXIF block at all); nullopt when
// the image has no bitmap, the comment does not fit a JPEG marker or
// encoding fails.
[[nodiscard]] std::optional<std::vector<std::uint8_t>> vtJpegImageData(
    const Image& self, const std::optional<std::string>& userComment = std::nullopt);

}  // namespace vantrel
