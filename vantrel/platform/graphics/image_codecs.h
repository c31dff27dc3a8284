// File: vantrel/platform/graphics/image_codecs.h
//
// PNG (libpng) and JPEG (libjpeg-turbo) encoders and decoders for
// `BitmapImage`, with the metadata the library writes: PNG text entries and
// the EXIF user comment of a JPEG.
//
//   auto png = encodePng(*image, {{"Title", "Tiles"}});       // nullopt on failure
//   DecodedPng back = decodePng(*png);                        // throws on bad data
//   back.texts[0].text                                        // "Tiles"
//   auto jpeg = encodeJpeg(*image, 0.9, "shot on a Tuesday");
//   decodeJpeg(*jpeg).userComment                             // "shot on a Tuesday"
//
// Encoders answer nullopt (or false) when anything fails; they never hand
// back partial bytes as a success. PNG stores straight (unpremultiplied)
// alpha, so a premultiplied image survives a PNG round trip exactly. JPEG has
// no alpha: the premultiplied colours are written as they are, which puts
// transparent areas on black.
//
// Decoders take outside data: they check the size against
// `ImageDecodingLimits` before allocating, compute width * height * 4 with
// checked arithmetic, take the libraries' errors through their error hooks
// (nothing is printed, nothing leaks) and throw `ImageDecodingError` with the
// reason. Decoded texts are valid UTF-8 (tEXt is Latin-1, iTXt UTF-8, broken
// bytes become U+FFFD). Thread-safe: no shared state.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "vantrel/core/error.h"
#include "vantrel/platform/graphics/bitmap_image.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

struct ImageDecodingLimits {
  std::int64_t maxWidth = 32767;
  std::int64_t maxHeight = 32767;
  // For the decoded pixels (width * height * 4) and, for JPEG, the decoder's
  // working memory.
  std::int64_t maxBytes = std::int64_t{512} << 20;
};

class ImageDecodingError : public Error {
 public:
  using Error::Error;
};

// --- PNG -------------------------------------------------------------------------

// One text entry: a keyword of 1 to 79 Latin-1 characters (given as UTF-8)
// and any UTF-8 text. ASCII texts are written as tEXt, others as iTXt.
struct PngTextEntry {
  std::string keyword;
  std::string text;
  friend bool operator==(const PngTextEntry&, const PngTextEntry&) = default;
};

// The PNG file's bytes (8-bit RGBA), text entries in the order given;
// nullopt when encoding fails (an invalid keyword included).
[[nodiscard]] std::optional<std::vector<std::uint8_t>> encodePng(const BitmapImage& image,
                                                                const std::vector<PngTextEntry>& texts = {});
// The same, handing the bytes to `sink` as they are made; `sink` answers
// false (or throws) to stop. Answers whether the whole file went out.
[[nodiscard]] bool encodePng(const BitmapImage& image, const std::vector<PngTextEntry>& texts,
                             const std::function<bool(std::span<const std::uint8_t>)>& sink);

struct DecodedPng {
  BitmapImage::Ptr image;
  // Text entries before and after the image data, in file order.
  std::vector<PngTextEntry> texts;
};

[[nodiscard]] DecodedPng decodePng(std::span<const std::uint8_t> data, const ImageDecodingLimits& limits = {});

// True when `data` starts with the PNG signature.
[[nodiscard]] bool isPngData(std::span<const std::uint8_t> data);

// --- JPEG ------------------------------------------------------------------------

// The JPEG file's bytes at `compressionFactor` (0...1, quality factor x 100,
// at least 1). With a comment, an EXIF block (APP1) holding only the user
// comment replaces the JFIF header; nullopt when the comment does not fit
// one marker (about 64 KB) or encoding fails.
[[nodiscard]] std::optional<std::vector<std::uint8_t>> encodeJpeg(
    const BitmapImage& image, double compressionFactor,
    const std::optional<std::string>& userComment = std::nullopt);

struct DecodedJpeg {
  BitmapImage::Ptr image;  // opaque
  std::optional<std::string> userComment;
};

[[nodiscard]] DecodedJpeg decodeJpeg(std::span<const std::uint8_t> data, const ImageDecodingLimits& limits = {});

// True when `data` starts with a JPEG start-of-image marker.
[[nodiscard]] bool isJpegData(std::span<const std::uint8_t> data);

// The user comment of an EXIF block (an APP1 payload starting "Exif\0\0"),
// or nullopt when there is none or the block is malformed.
[[nodiscard]] std::optional<std::string> exifUserComment(std::span<const std::uint8_t> app1Payload);

}  // namespace vantrel
