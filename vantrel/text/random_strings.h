// File: vantrel/text/random_strings.h
//
// Random strings drawn from a pool of characters, and four-character codes.
//
//   vtRandomAlphanumericString(10)          e.g. "aZ3kQ9xB0m"
//   vtRandomAlphanumericString("ab", 3)     e.g. "bab"
//   fourCharCode("abcd")                    0x61626364
//   string(0x61626364)                      "abcd"
//
// Each character is drawn with `randomUniform` (vantrel/core/random.h) from
// the pool's characters (grapheme clusters), independently and with
// replacement; tests script the draws with a ScopedRandomSource. A negative
// length, or an empty pool with a positive length, stops the program.
// Thread-safe.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

// "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789"
inline constexpr std::string_view kAlphanumericPool =
    "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
// "ABCDEFGHIJKLMNOPQRSTUVWXYZ234567" (RFC 4648 base 32)
inline constexpr std::string_view kBase32Pool = "ABCDEFGHIJKLMNOPQRSTUVWXYZ234567";

[[nodiscard]] std::string vtRandomAlphanumericString(std::string_view letterPool, std::int64_t length);
// The pool as UTF-16 units (the platform string form); unpaired surrogates
// become U+FFFD before drawing.
[[nodiscard]] std::string vtRandomAlphanumericStringOfLetters(std::u16string_view letters, std::int64_t withLength);
[[nodiscard]] std::string vtRandomAlphanumericStringWithLength(std::int64_t length);
[[nodiscard]] std::string vtRandomAlphanumericString(std::int64_t length);
[[nodiscard]] std::string randomBase32WithLength(std::int64_t length);
[[nodiscard]] std::string randomBase32(std::int64_t length);

// The 32-bit code of a text: the low bytes of the scalars of its first four
// characters, the first in the most significant byte. A text of fewer than
// four characters is first followed by four spaces.
[[nodiscard]] std::uint32_t fourCharCode(std::string_view text);
// The text of a code: four scalars U+0000...U+00FF, most significant byte
// first (a zero byte gives U+0000).
[[nodiscard]] std::string string(std::uint32_t code);

}  // namespace vantrel
