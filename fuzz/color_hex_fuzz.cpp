// Arbitrary bytes through the hexadecimal colour reader: no crash, an opaque
// colour every time, and its "#rrggbb" text reads back as the same colour.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "vantrel/drawing/color_values.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const auto color = vantrel::colorWithHex(text);
  if (color->alphaComponent() != 1.0) std::abort();
  const std::string hex = vantrel::hexString(color);
  if (hex.size() != 7 || hex[0] != '#') std::abort();
  if (!(*vantrel::colorWithHex(hex) == *color)) std::abort();
  return 0;
}
