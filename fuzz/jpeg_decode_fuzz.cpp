// Arbitrary bytes through the JPEG decoder and the EXIF comment reader: no
// crash, no leak, nothing printed; either a decoding error or an opaque image
// within the limits, with a comment that is valid UTF-8.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "vantrel/platform/graphics/image_codecs.h"
#include "vantrel/text/string_services.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  if (const auto comment = vantrel::exifUserComment(bytes); comment && !vantrel::isValidUtf8(*comment)) {
    std::abort();
  }
  const vantrel::ImageDecodingLimits limits{.maxWidth = 2048, .maxHeight = 2048, .maxBytes = 16 << 20};
  vantrel::DecodedJpeg decoded;
  try {
    decoded = vantrel::decodeJpeg(bytes, limits);
  } catch (const vantrel::ImageDecodingError&) {
    return 0;
  }
  const auto& image = *decoded.image;
  if (image.width() < 1 || image.height() < 1 || image.width() > limits.maxWidth ||
      image.height() > limits.maxHeight) {
    std::abort();
  }
  if (decoded.userComment && !vantrel::isValidUtf8(*decoded.userComment)) std::abort();
  for (std::int64_t y = 0; y < image.height(); y += 7) {
    if (image.pixelAt(0, y)[3] != 255) std::abort();
  }
  return 0;
}
