// File: vantrel/platform/graphics/internal/pixel_conversions.h
//
// Between premultiplied bytes (what images hold) and straight ones (what PNG
// stores), and Latin-1 to UTF-8 for text chunks. Rounding is to nearest, so
// premultiplied -> straight -> premultiplied gives back every valid value.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vantrel::graphics_internal {

[[nodiscard]] inline std::uint8_t premultiply(std::uint8_t value, std::uint8_t alpha) {
  return static_cast<std::uint8_t>((unsigned{value} * alpha + 127) / 255);
}

// Colour bytes above alpha (not valid premultiplied values) saturate at 255.
[[nodiscard]] inline std::uint8_t unpremultiply(std::uint8_t value, std::uint8_t alpha) {
  if (alpha == 0) return 0;
  const unsigned straight = (unsigned{value} * 255 + alpha / 2) / alpha;
  return static_cast<std::uint8_t>(straight > 255 ? 255 : straight);
}

[[nodiscard]] std::string utf8FromLatin1(std::string_view latin1);
// Nullopt when a character is outside Latin-1 or the text is not UTF-8.
[[nodiscard]] std::optional<std::string> latin1FromUtf8(std::string_view utf8);

}  // namespace vantrel::graphics_internal
