// Arbitrary bytes through the PNG decoder: no crash, no leak, nothing printed;
// either a decoding error or an image within the limits with valid UTF-8
// texts, which encodes and decodes back to the same pixels.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "vantrel/platform/graphics/image_codecs.h"
#include "vantrel/text/string_services.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const vantrel::ImageDecodingLimits limits{.maxWidth = 2048, .maxHeight = 2048, .maxBytes = 4 << 20};
  vantrel::DecodedPng decoded;
  try {
    decoded = vantrel::decodePng(std::span<const std::uint8_t>(data, size), limits);
  } catch (const vantrel::ImageDecodingError&) {
    return 0;
  }
  const auto& image = *decoded.image;
  if (image.width() < 1 || image.height() < 1 || image.width() > limits.maxWidth ||
      image.height() > limits.maxHeight || image.width() * image.height() * 4 > limits.maxBytes) {
    std::abort();
  }
  for (const auto& entry : decoded.texts) {
    if (!vantrel::isValidUtf8(entry.keyword) || !vantrel::isValidUtf8(entry.text)) std::abort();
  }
  if (image.width() * image.height() <= 4096) {
    const auto png = vantrel::encodePng(image);
    if (!png) std::abort();
    const auto again = vantrel::decodePng(*png).image;
    for (std::int64_t y = 0; y < image.height(); ++y) {
      for (std::int64_t x = 0; x < image.width(); ++x) {
        const auto p = image.pixelAt(x, y);
        if (p[0] > p[3] || p[1] > p[3] || p[2] > p[3]) std::abort();  // premultiplied
        if (again->pixelAt(x, y) != p) std::abort();
      }
    }
  }
  return 0;
}
