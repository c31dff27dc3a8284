// File: vantrel/text/internal/utf8.h
//
// UTF-8 helpers shared by the text sources. Include the public headers
// instead; this one is for vantrel/text and its tests.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vantrel::text_internal {

inline constexpr char32_t kReplacementCharacter = 0xFFFD;

// Index of the first byte >= 0x80, or text.size() when the text is ASCII.
[[nodiscard]] std::size_t firstNonAscii(std::string_view text);
[[nodiscard]] inline bool isAscii(std::string_view text) { return firstNonAscii(text) == text.size(); }

// Decodes the scalar at `pos`. An ill-formed sequence decodes as U+FFFD and
// `length` is the length of its maximal invalid subpart (at least 1), the
// same substitution as ICU and the WHATWG decoder, so every consumer of the
// text sees the same scalars.
struct Decoded {
  char32_t scalar;
  std::size_t length;
  bool valid;
};
[[nodiscard]] Decoded decodeScalar(std::string_view text, std::size_t pos);

// Start of the scalar that ends at `end` (end > 0), stepping back over at
// most three continuation bytes.
[[nodiscard]] std::size_t previousScalarStart(std::string_view text, std::size_t end);

void appendScalar(std::string& out, char32_t scalar);

// The length of a text handed to ICU, whose offsets are 32-bit: a longer
// text stops the program rather than wrap around.
[[nodiscard]] std::int32_t icuLength(std::string_view text);

}  // namespace vantrel::text_internal
