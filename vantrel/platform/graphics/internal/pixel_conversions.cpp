#include "vantrel/platform/graphics/internal/pixel_conversions.h"

namespace vantrel::graphics_internal {

std::string utf8FromLatin1(std::string_view latin1) {
  std::string out;
  out.reserve(latin1.size());
  for (const char c : latin1) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x80) {
      out.push_back(c);
    } else {
      out.push_back(static_cast<char>(0xC0 | (byte >> 6)));
      out.push_back(static_cast<char>(0x80 | (byte & 0x3F)));
    }
  }
  return out;
}

std::optional<std::string> latin1FromUtf8(std::string_view utf8) {
  std::string out;
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    const auto byte = static_cast<unsigned char>(utf8[i]);
    if (byte < 0x80) {
      out.push_back(static_cast<char>(byte));
    } else if ((byte == 0xC2 || byte == 0xC3) && i + 1 < utf8.size() &&
               (static_cast<unsigned char>(utf8[i + 1]) & 0xC0) == 0x80) {
      out.push_back(static_cast<char>(((byte & 0x03) << 6) | (static_cast<unsigned char>(utf8[i + 1]) & 0x3F)));
      ++i;
    } else {
      return std::nullopt;
    }
  }
  return out;
}

}  // namespace vantrel::graphics_internal
