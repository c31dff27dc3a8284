// Internal: include "vantrel/json/json.h" instead.
//
// Byte tests shared by the reader and the writer: finding the bytes of a
// text that need a look, eight at a time, and checking UTF-8 sequences.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace vantrel::json_internal {

constexpr std::uint64_t kOnes = 0x0101010101010101u;
constexpr std::uint64_t kHighBits = kOnes * 0x80;

// The high bit set in the bytes of eight (read little-endian) that are below
// 0x20, a quote, a backslash or above 0x7F. A borrow can also mark a byte
// after a marked one, never one before it, so the lowest mark is exact.
inline std::uint64_t bytesToLookAt(std::uint64_t word) {
  const auto zeroBytes = [](std::uint64_t v) { return (v - kOnes) & ~v; };
  return (((word - kOnes * 0x20) & ~word) | zeroBytes(word ^ (kOnes * '"')) | zeroBytes(word ^ (kOnes * '\\')) |
          word) &
         kHighBits;
}

// The length of the well-formed UTF-8 sequence at `p` (a byte above 0x7F),
// or 0 when it is not one.
inline std::size_t wellFormedUtf8Length(const unsigned char* p, const unsigned char* end) {
  const unsigned char lead = p[0];
  std::size_t trailing = 0;
  unsigned char low = 0x80, high = 0xBF;  // the second byte's range
  if (lead >= 0xC2 && lead <= 0xDF) {
    trailing = 1;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    trailing = 2;
    if (lead == 0xE0) low = 0xA0;   // overlong
    if (lead == 0xED) high = 0x9F;  // surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    trailing = 3;
    if (lead == 0xF0) low = 0x90;   // overlong
    if (lead == 0xF4) high = 0x8F;  // above U+10FFFF
  } else {
    return 0;
  }
  if (static_cast<std::size_t>(end - p) <= trailing) return 0;
  if (p[1] < low || p[1] > high) return 0;
  for (std::size_t k = 2; k <= trailing; ++k) {
    if ((p[k] & 0xC0) != 0x80) return 0;
  }
  return trailing + 1;
}

// The first byte in [p, end) that is below 0x20, a quote, a backslash or
// above 0x7F, or `end`.
inline const unsigned char* firstByteToLookAt(const unsigned char* p, const unsigned char* end) {
  if constexpr (std::endian::native == std::endian::little) {
    while (end - p >= 8) {
      std::uint64_t word;
      std::memcpy(&word, p, sizeof word);
      if (const std::uint64_t marks = bytesToLookAt(word)) return p + std::countr_zero(marks) / 8;
      p += 8;
    }
  }
  while (p != end && *p >= 0x20 && *p != '"' && *p != '\\' && *p < 0x80) ++p;
  return p;
}

}  // namespace vantrel::json_internal
