// File: vantrel/platform/graphics/animated_image_codecs.h
//
// Encoders of animations: an animated PNG (APNG, the library's own writer
// over zlib) and an animated GIF (giflib). Both play forever and show every
// frame for the same time.
//
//   std::vector<BitmapImage::Ptr> frames = {a, b, c};
//   encodeAnimatedPng(frames, 25, sink)     // 1/25 s a frame, loops without end
//   encodeAnimatedGif(frames, 25, sink)     // 4 centiseconds a frame
//
// Animated PNG: IHDR, acTL (the frame count, plays 0), then per frame an
// fcTL (whole canvas, dispose none, blend source) followed by IDAT for the
// first frame and fdAT after; fcTL and fdAT carry sequence numbers from 0.
// Pixels are 8-bit RGBA with straight alpha, so a reader without animation
// support shows the first frame. A frame lasts exactly 1/fps seconds when fps
// is a whole number up to 65535, else the nearest millisecond (whole seconds,
// at most 65535, when that does not fit the 16-bit numerator).
//
// Animated GIF: GIF89a with the NETSCAPE2.0 loop extension (0: forever);
// each frame has its own colour table of at most 255 colours, plus the
// transparent index 255 for pixels whose alpha is below 128. A frame whose
// shown pixels have at most 255 straight colours keeps them exactly; one
// with more goes through `GifQuantizeBuffer`, whose 5-bit channels are
// stretched back to 0...255 (white stays white). Each frame is disposed to
// the background
// and lasts round(100 / fps) centiseconds (at most 65535). Sides above
// 65535 pixels are refused.
//
// Both answer false, having handed some bytes to `sink` or none, when there
// is no frame, a frame is null or of another size than the first, `fps` is
// not positive and finite, the library fails, or `sink` answers false:
// callers write through a temporary that they drop then. Thread-safe: no
// shared state.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "vantrel/platform/graphics/bitmap_image.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

using ByteSink = std::function<bool(std::span<const std::uint8_t>)>;

[[nodiscard]] bool encodeAnimatedPng(std::span<const BitmapImage::Ptr> frames, double fps, const ByteSink& sink);
[[nodiscard]] bool encodeAnimatedGif(std::span<const BitmapImage::Ptr> frames, double fps, const ByteSink& sink);

// The frame time of an animated PNG as the fraction numerator / denominator
// of seconds (see above).
struct ApngDelay {
  std::uint16_t numerator = 0;
  std::uint16_t denominator = 0;
  friend bool operator==(const ApngDelay&, const ApngDelay&) = default;
};
[[nodiscard]] ApngDelay apngDelay(double fps);
// The frame time of an animated GIF in centiseconds.
[[nodiscard]] std::uint16_t gifDelayCentiseconds(double fps);

}  // namespace vantrel
