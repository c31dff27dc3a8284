#include "vantrel/text/internal/html_scan.h"

#include <cstdint>

#include "vantrel/text/internal/scan.h"

#if defined(__x86_64__)
#define VANTREL_HTML_SCAN_X86 1
#include <immintrin.h>
#endif

namespace vantrel::text_internal {
namespace {

bool isHtmlSpecial(char c) { return c == '&' || c == '"' || c == '\'' || c == '<' || c == '>'; }

std::size_t firstHtmlSpecialScalar(const char* data, std::size_t i, std::size_t size) {
  for (; i < size; ++i) {
    if (isHtmlSpecial(data[i])) return i;
  }
  return size;
}

}  // namespace

#if VANTREL_HTML_SCAN_X86

// Five characters in three compares: '&' (0x26) and '\'' (0x27) are the two
// bytes that read 0x27 with bit 0 set, '<' (0x3C) and '>' (0x3E) the two that
// read 0x3E with bit 1 set; '"' (0x22) is compared alone.
static inline __m128i htmlSpecial16(__m128i v) {
  const __m128i ampOrApostrophe = _mm_cmpeq_epi8(_mm_or_si128(v, _mm_set1_epi8(0x01)), _mm_set1_epi8(0x27));
  const __m128i angle = _mm_cmpeq_epi8(_mm_or_si128(v, _mm_set1_epi8(0x02)), _mm_set1_epi8(0x3E));
  return _mm_or_si128(_mm_or_si128(ampOrApostrophe, angle), _mm_cmpeq_epi8(v, _mm_set1_epi8('"')));
}

std::size_t firstHtmlSpecialSse2(const char* data, std::size_t size) {
  std::size_t i = 0;
  for (; i + 16 <= size; i += 16) {
    const int mask = _mm_movemask_epi8(htmlSpecial16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i))));
    if (mask != 0) return i + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(mask)));
  }
  return firstHtmlSpecialScalar(data, i, size);
}

// One shuffle and one compare: the five differ in their low four bits, so a
// table indexed by those bits holds the one special byte with them (0xFF,
// which never compares equal, where there is none). A byte that equals its
// table entry is special; vpshufb gives 0 for bytes with the high bit set,
// which equal no such byte.
__attribute__((target("avx2"))) static inline __m256i htmlSpecial32(__m256i v) {
  // Keeps v in a register: without it g++ reads the memory twice, once for
  // the shuffle and once for the compare, and the loads become the limit.
  __asm__("" : "+x"(v));
  const __m256i table = _mm256_setr_epi8(
      -1, -1, 0x22, -1, -1, -1, 0x26, 0x27, -1, -1, -1, -1, 0x3C, -1, 0x3E, -1,  //
      -1, -1, 0x22, -1, -1, -1, 0x26, 0x27, -1, -1, -1, -1, 0x3C, -1, 0x3E, -1);
  return _mm256_cmpeq_epi8(_mm256_shuffle_epi8(table, v), v);
}

__attribute__((target("avx2"))) static inline unsigned htmlSpecialMask(const char* p) {
  return static_cast<unsigned>(
      _mm256_movemask_epi8(htmlSpecial32(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)))));
}

__attribute__((target("avx2"))) std::size_t firstHtmlSpecialAvx2(const char* data, std::size_t size) {
  if (size < 32) return firstHtmlSpecialScalar(data, 0, size);
  if (const unsigned mask = htmlSpecialMask(data); mask != 0) return static_cast<std::size_t>(__builtin_ctz(mask));
  // From the first 32-byte boundary on, aligned: a load that straddles two
  // cache lines costs two, and on text in cache that halves the speed.
  std::size_t i = 32 - (reinterpret_cast<std::uintptr_t>(data) & 31);
  for (; i + 128 <= size; i += 128) {
    const auto* p = reinterpret_cast<const __m256i*>(data + i);
    const __m256i a = htmlSpecial32(_mm256_load_si256(p));
    const __m256i b = htmlSpecial32(_mm256_load_si256(p + 1));
    const __m256i c = htmlSpecial32(_mm256_load_si256(p + 2));
    const __m256i d = htmlSpecial32(_mm256_load_si256(p + 3));
    if (_mm256_movemask_epi8(_mm256_or_si256(_mm256_or_si256(a, b), _mm256_or_si256(c, d))) != 0) break;
  }
  for (; i + 32 <= size; i += 32) {
    if (const unsigned mask = htmlSpecialMask(data + i); mask != 0) {
      return i + static_cast<std::size_t>(__builtin_ctz(mask));
    }
  }
  if (i == size) return size;
  // The last 32 bytes; those before i hold nothing special, so the first set
  // bit lies at i or later.
  const unsigned mask = htmlSpecialMask(data + size - 32);
  return mask == 0 ? size : size - 32 + static_cast<std::size_t>(__builtin_ctz(mask));
}

#endif  // VANTREL_HTML_SCAN_X86

std::size_t scanFirstHtmlSpecial(const char* data, std::size_t size) {
#if VANTREL_HTML_SCAN_X86
  return processorHasAvx2() ? firstHtmlSpecialAvx2(data, size) : firstHtmlSpecialSse2(data, size);
#else
  return firstHtmlSpecialScalar(data, 0, size);
#endif
}

}  // namespace vantrel::text_internal
