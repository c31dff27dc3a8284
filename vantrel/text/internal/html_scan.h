// File: vantrel/text/internal/html_scan.h
//
// The search of the HTML escaping for its five characters (& " ' < >),
// vectorised like the scans of scan.h: AVX2 when the processor has it, SSE2
// otherwise. Include vantrel/text/html_entities.h instead; this one is for
// vantrel/text and its tests.
#pragma once

#include <cstddef>

namespace vantrel::text_internal {

// Index of the first byte that HTML escaping replaces, or size.
[[nodiscard]] std::size_t scanFirstHtmlSpecial(const char* data, std::size_t size);

#if defined(__x86_64__)
// Each variant by itself, so tests can hold them to the same answers.
[[nodiscard]] std::size_t firstHtmlSpecialSse2(const char* data, std::size_t size);
[[nodiscard]] std::size_t firstHtmlSpecialAvx2(const char* data, std::size_t size);
#endif

}  // namespace vantrel::text_internal
