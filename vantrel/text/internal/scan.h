// File: vantrel/text/internal/scan.h
//
// Byte scans on the hot paths of the text layer (ASCII checks, grapheme
// counting of ASCII, the JSON escaping's search), vectorised: AVX2 when the
// processor has it (chosen once, at first use), SSE2 otherwise. Include the
// public headers instead; this one is for vantrel/text.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vantrel::text_internal {

// Index of the first byte >= 0x80, or size.
[[nodiscard]] std::size_t scanFirstNonAscii(const char* data, std::size_t size);

// Index of the first byte that JSON escaping must look at (below 0x20, '"',
// '\\' or >= 0x80), or size.
[[nodiscard]] std::size_t scanFirstJsonSpecial(const char* data, std::size_t size);

// Characters of an ASCII text (bytes minus CR LF pairs), or -1 when a byte
// >= 0x80 occurs.
[[nodiscard]] std::int64_t scanAsciiCharacterCount(const char* data, std::size_t size);

#if defined(__x86_64__)
// Each variant by itself, so tests can hold them to the same answers.
[[nodiscard]] bool processorHasAvx2();
[[nodiscard]] std::size_t firstNonAsciiSse2(const char* data, std::size_t size);
[[nodiscard]] std::size_t firstNonAsciiAvx2(const char* data, std::size_t size);
[[nodiscard]] std::size_t firstJsonSpecialSse2(const char* data, std::size_t size);
[[nodiscard]] std::size_t firstJsonSpecialAvx2(const char* data, std::size_t size);
[[nodiscard]] std::int64_t asciiCountSse2(const char* data, std::size_t size);
[[nodiscard]] std::int64_t asciiCountAvx2(const char* data, std::size_t size);
#endif

}  // namespace vantrel::text_internal
