// File: vantrel/text/padding.h
//
// Padding to a width, overwriting one end, repeating. Widths and counts are
// characters (grapheme clusters).
//
//   paddedLeft("7", 3)                  "  7"
//   paddedLeft("7", 3, "ab")            "abab7"   (width - count whole copies)
//   paddedLeft("1234", 3)               "1234"    (never shortens)
//   paddedLeft("7", 3, "")              "7"       (nothing to pad with)
//   paddedBoth("abc", 6)                " abc  "  (odd remainder goes right)
//   paddedLeftPadding("7", "0000")      "0007"    (the template's first t - n characters)
//   overwritten("abcdef", "XY")         "abcdXY"
//   multiplyBy("ab", 3)                 "ababab"
//
// Never fails; a width at or below the count, zero or negative pads nothing.
// Thread-safe.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

[[nodiscard]] std::string paddedLeft(std::string_view self, std::int64_t width, std::string_view pad = " ");
[[nodiscard]] std::string paddedRight(std::string_view self, std::int64_t width, std::string_view pad = " ");
[[nodiscard]] std::string paddedBoth(std::string_view self, std::int64_t width, std::string_view pad = " ");
// (length - count) copies of `pad` before the text, or after it with `rightPadding`.
[[nodiscard]] std::string vtStringPadToLength(std::string_view self, std::int64_t length, std::string_view pad,
                                              bool rightPadding = false);
// With a template of t characters: its first t - count characters, then the
// text; the text alone when it is at least as long.
[[nodiscard]] std::string paddedLeftPadding(std::string_view self, std::string_view padding);
[[nodiscard]] std::string vtStringPaddedLeftWith(std::string_view self, std::string_view padding);

// `other` laid over one end of the text: over the last characters (the
// default) or, `leftAligned`, over the first. An `other` at least as long as
// the text replaces it whole.
[[nodiscard]] std::string overwritten(std::string_view self, std::string_view other, bool leftAligned = false);
// The same with an integer written in decimal ("-5" for -5).
[[nodiscard]] std::string overwritten(std::string_view self, std::int64_t other, bool leftAligned = false);

// The text repeated `count` times; "" for a count below 1.
[[nodiscard]] std::string multiplyBy(std::string_view self, std::int64_t count);

}  // namespace vantrel
