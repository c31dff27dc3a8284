// File: vantrel/text/padding.h
//
// `paddedLeft`: pads text on the left to a width counted in characters
// (grapheme clusters).
//
//   paddedLeft("7", 3, " ")     "  7"
//   paddedLeft("7", 3, "ab")    "abab7"   (width - count copies of the pad)
//   paddedLeft("1234", 3, " ")  "1234"    (already wide enough)
//   paddedLeft("7", 3, "")      "7"       (nothing to pad with)
//
// Never fails; a negative width pads nothing. Thread-safe.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vantrel {

[[nodiscard]] std::string paddedLeft(std::string_view self, std::int64_t width, std::string_view pad);

}  // namespace vantrel
