#include "vantrel/text/internal/scan.h"

#include <cstring>

#if defined(__x86_64__)
#define VANTREL_TEXT_X86 1
#include <immintrin.h>
#endif

namespace vantrel::text_internal {
namespace {

std::size_t firstNonAsciiScalar(const char* data, std::size_t i, std::size_t size) {
  for (; i < size; ++i) {
    if (static_cast<unsigned char>(data[i]) >= 0x80) return i;
  }
  return size;
}

bool isJsonSpecial(unsigned char c) { return c < 0x20 || c == '"' || c == '\\' || c >= 0x80; }

std::size_t firstJsonSpecialScalar(const char* data, std::size_t i, std::size_t size) {
  for (; i < size; ++i) {
    if (isJsonSpecial(static_cast<unsigned char>(data[i]))) return i;
  }
  return size;
}

// Tail of the ASCII count from byte i on; `crlf` so far.
std::int64_t asciiCountScalar(const char* data, std::size_t i, std::size_t size, std::int64_t crlf) {
  for (; i < size; ++i) {
    const auto c = static_cast<unsigned char>(data[i]);
    if (c >= 0x80) return -1;
    if (c == '\n' && i > 0 && data[i - 1] == '\r') ++crlf;
  }
  return static_cast<std::int64_t>(size) - crlf;
}

}  // namespace

#if VANTREL_TEXT_X86

bool processorHasAvx2() {
  static const bool avx2 = __builtin_cpu_supports("avx2");
  return avx2;
}

// ---- SSE2 (every x86-64) ----

std::size_t firstNonAsciiSse2(const char* data, std::size_t size) {
  std::size_t i = 0;
  for (; i + 16 <= size; i += 16) {
    const int mask = _mm_movemask_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i)));
    if (mask != 0) return i + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(mask)));
  }
  return firstNonAsciiScalar(data, i, size);
}

static inline __m128i jsonSpecial16(__m128i v) {
  // One signed compare finds both the controls (0x00-0x1F) and the high bytes (negative).
  return _mm_or_si128(_mm_or_si128(_mm_cmplt_epi8(v, _mm_set1_epi8(0x20)), _mm_cmpeq_epi8(v, _mm_set1_epi8('"'))),
                      _mm_cmpeq_epi8(v, _mm_set1_epi8('\\')));
}

std::size_t firstJsonSpecialSse2(const char* data, std::size_t size) {
  std::size_t i = 0;
  for (; i + 16 <= size; i += 16) {
    const int mask = _mm_movemask_epi8(jsonSpecial16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i))));
    if (mask != 0) return i + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(mask)));
  }
  return firstJsonSpecialScalar(data, i, size);
}

std::int64_t asciiCountSse2(const char* data, std::size_t size) {
  std::int64_t crlf = 0;
  unsigned carry = 0;  // CR in the last byte of the previous block
  std::size_t i = 0;
  for (; i + 16 <= size; i += 16) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
    if (_mm_movemask_epi8(v) != 0) return -1;
    const auto lf = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, _mm_set1_epi8('\n'))));
    const auto cr = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, _mm_set1_epi8('\r'))));
    // Line feeds are rare enough that counting only blocks with one is cheaper
    // than counting every block (no hardware popcount on the baseline).
    if (lf != 0) {
      for (unsigned pairs = lf & ((cr << 1) | carry); pairs != 0; pairs &= pairs - 1) ++crlf;
    }
    carry = (cr >> 15) & 1u;
  }
  return asciiCountScalar(data, i, size, crlf);
}

// ---- AVX2 ----

__attribute__((target("avx2"))) std::size_t firstNonAsciiAvx2(const char* data, std::size_t size) {
  std::size_t i = 0;
  for (; i + 128 <= size; i += 128) {
    const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(data + i));
    const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(data + i + 32));
    const __m256i c = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(data + i + 64));
    const __m256i d = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(data + i + 96));
    if (_mm256_movemask_epi8(_mm256_or_si256(_mm256_or_si256(a, b), _mm256_or_si256(c, d))) != 0) break;
  }
  for (; i + 32 <= size; i += 32) {
    const int mask = _mm256_movemask_epi8(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(data + i)));
    if (mask != 0) return i + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(mask)));
  }
  return firstNonAsciiScalar(data, i, size);
}

__attribute__((target("avx2"))) static inline __m256i jsonSpecial32(__m256i v) {
  return _mm256_or_si256(
      _mm256_or_si256(_mm256_cmpgt_epi8(_mm256_set1_epi8(0x20), v), _mm256_cmpeq_epi8(v, _mm256_set1_epi8('"'))),
      _mm256_cmpeq_epi8(v, _mm256_set1_epi8('\\')));
}

__attribute__((target("avx2"))) std::size_t firstJsonSpecialAvx2(const char* data, std::size_t size) {
  std::size_t i = 0;
  for (; i + 128 <= size; i += 128) {
    const __m256i a = jsonSpecial32(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(data + i)));
    const __m256i b = jsonSpecial32(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(data + i + 32)));
    const __m256i c = jsonSpecial32(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(data + i + 64)));
    const __m256i d = jsonSpecial32(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(data + i + 96)));
    if (_mm256_movemask_epi8(_mm256_or_si256(_mm256_or_si256(a, b), _mm256_or_si256(c, d))) != 0) break;
  }
  for (; i + 32 <= size; i += 32) {
    const int mask =
        _mm256_movemask_epi8(jsonSpecial32(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(data + i))));
    if (mask != 0) return i + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(mask)));
  }
  return firstJsonSpecialScalar(data, i, size);
}

// CR LF pairs whose CR lies in [from, to) (the LF may be at `to`).
static std::int64_t pairsByCarriageReturn(const char* data, std::size_t from, std::size_t to, std::size_t size) {
  std::int64_t pairs = 0;
  for (const char* p = data + from; p < data + to;) {
    p = static_cast<const char*>(std::memchr(p, '\r', static_cast<std::size_t>(data + to - p)));
    if (p == nullptr) break;
    if (p + 1 < data + size && p[1] == '\n') ++pairs;
    ++p;
  }
  return pairs;
}

// The same, 32 CRs at a time: a CR whose next byte is LF. Each lane counts in
// a byte (a compare gives -1; subtracting it adds 1), summed before a byte
// could overflow.
__attribute__((target("avx2"))) static std::int64_t pairsByCarriageReturnAvx2(const char* data, std::size_t from,
                                                                      std::size_t to, std::size_t size) {
  std::int64_t pairs = 0;
  std::size_t j = from;
  const __m256i cr = _mm256_set1_epi8('\r');
  const __m256i lf = _mm256_set1_epi8('\n');
  while (j + 32 <= to && j + 33 <= size) {
    __m256i counts = _mm256_setzero_si256();
    for (int round = 0; round < 255 && j + 32 <= to && j + 33 <= size; ++round, j += 32) {
      const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(data + j));
      const __m256i next = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(data + j + 1));
      counts = _mm256_sub_epi8(counts, _mm256_and_si256(_mm256_cmpeq_epi8(v, cr), _mm256_cmpeq_epi8(next, lf)));
    }
    const __m256i sums = _mm256_sad_epu8(counts, _mm256_setzero_si256());
    alignas(32) std::uint64_t lanes[4];
    _mm256_store_si256(reinterpret_cast<__m256i*>(lanes), sums);
    pairs += static_cast<std::int64_t>(lanes[0] + lanes[1] + lanes[2] + lanes[3]);
  }
  return pairs + pairsByCarriageReturn(data, j, to, size);
}

__attribute__((target("avx2"))) std::int64_t asciiCountAvx2(const char* data, std::size_t size) {
  // Most text has no CR at all: the loop only notes whether a stretch of
  // 8 KiB holds a CR or a byte >= 0x80, and counts the CR LF pairs of the
  // stretches that hold a CR afterwards.
  std::int64_t crlf = 0;
  std::size_t i = 0;
  const __m256i cr = _mm256_set1_epi8('\r');
  while (i + 64 <= size) {
    const std::size_t stretch = i;
    __m256i high = _mm256_setzero_si256();
    __m256i crs = _mm256_setzero_si256();
    for (int round = 0; round < 128 && i + 64 <= size; ++round, i += 64) {
      const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(data + i));
      const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(data + i + 32));
      high = _mm256_or_si256(high, _mm256_or_si256(a, b));
      crs = _mm256_or_si256(crs, _mm256_or_si256(_mm256_cmpeq_epi8(a, cr), _mm256_cmpeq_epi8(b, cr)));
    }
    if (_mm256_movemask_epi8(high) != 0) return -1;
    if (_mm256_movemask_epi8(crs) != 0) crlf += pairsByCarriageReturnAvx2(data, stretch, i, size);
  }
  for (std::size_t j = i; j < size; ++j) {
    if (static_cast<unsigned char>(data[j]) >= 0x80) return -1;
  }
  crlf += pairsByCarriageReturn(data, i, size, size);
  return static_cast<std::int64_t>(size) - crlf;
}

#endif  // VANTREL_TEXT_X86

std::size_t scanFirstNonAscii(const char* data, std::size_t size) {
#if VANTREL_TEXT_X86
  return processorHasAvx2() ? firstNonAsciiAvx2(data, size) : firstNonAsciiSse2(data, size);
#else
  return firstNonAsciiScalar(data, 0, size);
#endif
}

std::size_t scanFirstJsonSpecial(const char* data, std::size_t size) {
#if VANTREL_TEXT_X86
  return processorHasAvx2() ? firstJsonSpecialAvx2(data, size) : firstJsonSpecialSse2(data, size);
#else
  return firstJsonSpecialScalar(data, 0, size);
#endif
}

std::int64_t scanAsciiCharacterCount(const char* data, std::size_t size) {
#if VANTREL_TEXT_X86
  return processorHasAvx2() ? asciiCountAvx2(data, size) : asciiCountSse2(data, size);
#else
  return asciiCountScalar(data, 0, size, 0);
#endif
}

}  // namespace vantrel::text_internal
