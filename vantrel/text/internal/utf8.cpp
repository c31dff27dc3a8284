#include "vantrel/text/internal/utf8.h"

#include "vantrel/text/internal/scan.h"

#include <limits>

#include <fmt/format.h>

#include "vantrel/core/fatal.h"
#include "vantrel/core/utf8.h"

namespace vantrel::text_internal {

std::size_t firstNonAscii(std::string_view text) { return scanFirstNonAscii(text.data(), text.size()); }

Decoded decodeScalar(std::string_view text, std::size_t pos) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char b0 = byte(pos);
  if (b0 < 0x80) return {b0, 1, true};
  std::size_t need = 0;
  char32_t value = 0;
  unsigned char lo = 0x80, hi = 0xBF;  // allowed range of the second byte
  if (b0 >= 0xC2 && b0 <= 0xDF) {
    need = 1;
    value = b0 & 0x1F;
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    need = 2;
    value = b0 & 0x0F;
    if (b0 == 0xE0) lo = 0xA0;       // overlong
    if (b0 == 0xED) hi = 0x9F;       // surrogates
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    need = 3;
    value = b0 & 0x07;
    if (b0 == 0xF0) lo = 0x90;       // overlong
    if (b0 == 0xF4) hi = 0x8F;       // above U+10FFFF
  } else {
    return {kReplacementCharacter, 1, false};
  }
  std::size_t i = pos + 1;
  for (std::size_t k = 0; k < need; ++k, ++i) {
    if (i >= text.size()) return {kReplacementCharacter, i - pos, false};
    const unsigned char b = byte(i);
    const unsigned char low = k == 0 ? lo : 0x80;
    const unsigned char high = k == 0 ? hi : 0xBF;
    if (b < low || b > high) return {kReplacementCharacter, i - pos, false};
    value = (value << 6) | (b & 0x3F);
  }
  return {value, need + 1, true};
}

std::size_t previousScalarStart(std::string_view text, std::size_t end) {
  std::size_t start = end - 1;
  for (int k = 0; k < 3 && start > 0; ++k) {
    if ((static_cast<unsigned char>(text[start]) & 0xC0) != 0x80) break;
    --start;
  }
  // Only accept the step back when the bytes really form one scalar ending at `end`.
  const Decoded d = decodeScalar(text, start);
  if (start + d.length == end) return start;
  return end - 1;
}

void appendScalar(std::string& out, char32_t c) { appendUtf8(out, c); }

std::int32_t icuLength(std::string_view text) {
  if (text.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
    fatal(fmt::format("Text of {} bytes is too long for Unicode processing (at most 2 GiB)", text.size()));
  }
  return static_cast<std::int32_t>(text.size());
}

}  // namespace vantrel::text_internal
