// File: vantrel/platform/graphics/internal/pixel_swizzle.h
//
// Between the bytes of a `BitmapImage` (R, G, B, A in memory) and cairo's
// ARGB32 words in native byte order (B, G, R, A in memory on the little-endian
// machines the library runs on): the same exchange of the first and third
// byte of each pixel both ways. Every image that is drawn, and every drawing
// that becomes an image, passes through here, so it goes four pixels at a
// time with SSE2 where there is SSE2.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace vantrel::graphics_internal {

static_assert(std::endian::native == std::endian::little, "the pixel exchange assumes a little-endian machine");

// `pixels` pixels from `in` to `out` with red and blue exchanged; the two may
// be the same buffer, not overlapping otherwise.
inline void swapRedAndBlue(const std::uint8_t* in, std::uint8_t* out, std::size_t pixels) {
  std::size_t i = 0;
#if defined(__SSE2__)
  const __m128i keep = _mm_set1_epi32(static_cast<int>(0xFF00FF00u));
  const __m128i low = _mm_set1_epi32(0x000000FF);
  for (; i + 4 <= pixels; i += 4) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i * 4));
    const __m128i swapped = _mm_or_si128(
        _mm_and_si128(v, keep),
        _mm_or_si128(_mm_and_si128(_mm_srli_epi32(v, 16), low), _mm_slli_epi32(_mm_and_si128(v, low), 16)));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i * 4), swapped);
  }
#endif
  for (; i < pixels; ++i) {
    std::uint32_t v;
    std::memcpy(&v, in + i * 4, 4);
    v = (v & 0xFF00FF00u) | ((v >> 16) & 0xFFu) | ((v & 0xFFu) << 16);
    std::memcpy(out + i * 4, &v, 4);
  }
}

}  // namespace vantrel::graphics_internal
