// File: vantrel/text/hex_forms.h
//
// Texts, number lists and single integers in hexadecimal, and the two parsers
// that read a separated list back.
//
//   utf8HexStringRepresentation("abc")                                 "61-62-63"
//   utf8HexStringRepresentation("abc", {.uppercase = true, .prefix = "0x", .separator = " "})
//                                                                      "0x61 0x62 0x63"
//   utf16HexStringRepresentation("😀")                                 "d83d-de00"
//   scalarsHexRepresentation("abc", "0000", {.prefix = "U+"})          "U+0061-U+0062-U+0063"
//   fromUint32s({97, 98, 99})                                          "61-62-63"
//   vtHexString("a\t")                                                 "0x61 0x9"
//   stringWithOffset(255)                                              "0x000000ff"
//   stringWithAddress(4096)                                            "0x0000000000001000"
//   stringFromScalarsHexString("U+61 U+62", "U+", " ")                 "ab"
//   uint32sFromHexString("61-d800-62")                                 {0x61, 0xD800, 0x62}
//
// Digits carry no leading zeros (zero is "0"); `uppercase` changes only the
// digits, never the prefix. A padding template puts its first (template
// length - digit count) characters in front of the digits and never cuts
// them. The prefix stands before every unit, the separator only between two.
//
// The parsers split at every occurrence of the separator (the canonical
// search of string_services.h), require and remove the prefix on every
// component, and read each component whole as a 32-bit value: an optional
// "+", then one or more hexadecimal digits in either case (leading zeros
// allowed); "-" is accepted only before digits that are all 0. Any component
// that fails (an empty one included) makes the result nullopt.
// `stringFromScalarsHexString` drops numbers that are not Unicode scalar
// values (surrogates, above U+10FFFF) instead of failing. Both are linear in
// the text. Nothing here keeps state; thread-safe.
#pragma once

#include <concepts>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

// The options of the list forms, to be written with designated initialisers.
struct HexListOptions {
  bool uppercase = false;
  std::string_view prefix = "";
  std::string_view separator = "-";
};

// ---- List forms ------------------------------------------------------------

// UTF-8 bytes, two digits each (template "00").
[[nodiscard]] std::string utf8HexStringRepresentation(std::string_view self, HexListOptions options = {});
// UTF-16 code units, four digits each (template "0000"); a scalar beyond the
// Basic Multilingual Plane gives its two surrogate units.
[[nodiscard]] std::string utf16HexStringRepresentation(std::string_view self, HexListOptions options = {});
// Unicode scalars (ill-formed bytes read as U+FFFD), padded by `padding`.
[[nodiscard]] std::string scalarsHexRepresentation(std::string_view self, std::string_view padding,
                                                   HexListOptions options = {});
// Unicode scalars, as many digits as each needs.
[[nodiscard]] std::string scalarsHexRepresentation(std::string_view self, HexListOptions options = {});
// Second names of the two above.
[[nodiscard]] std::string asScalarsHexString(std::string_view self, std::string_view padding,
                                             HexListOptions options = {});
[[nodiscard]] std::string asScalarsHexString(std::string_view self, HexListOptions options = {});
[[nodiscard]] std::string fromUint32s(const std::vector<std::uint32_t>& values, std::string_view padding,
                                      HexListOptions options = {});
[[nodiscard]] std::string fromUint32s(const std::vector<std::uint32_t>& values, HexListOptions options = {});

// Each UTF-8 byte as "0x" and its lower-case digits (no zero fill), joined by
// one space.
[[nodiscard]] std::string vtHexString(std::string_view utf8);

// ---- Single integers -------------------------------------------------------

namespace hex_forms_internal {
std::string zeroFilledHex(bool negative, std::uint64_t magnitude, std::int64_t length, bool uppercase);

template <class T>
bool isNegative(T value) {
  if constexpr (std::is_signed_v<T>) {
    return value < 0;
  } else {
    return false;
  }
}

template <class T>
std::uint64_t magnitudeOf(T value) {
  if constexpr (std::is_signed_v<T>) {
    // Through the unsigned type, so the most negative value has a magnitude too.
    const auto bits = static_cast<std::uint64_t>(static_cast<std::int64_t>(value));
    return value < 0 ? std::uint64_t{0} - bits : bits;
  } else {
    return static_cast<std::uint64_t>(value);
  }
}
}  // namespace hex_forms_internal

template <class T>
concept HexFormInteger = std::integral<T> && !std::same_as<std::remove_cv_t<T>, bool> && (sizeof(T) <= 8);

// "0x" and the digits zero-filled in front to `length` digits; longer digits
// stay whole, a length of 0 or below gives the bare digits. A negative value
// is written as the zeros, "-" and the magnitude's digits, the sign counted
// as a digit: stringWithOffset(-1) is "0x000000-1".
template <HexFormInteger T>
[[nodiscard]] std::string stringWithOffset(T offset, std::int64_t length = 8, bool uppercase = false) {
  return hex_forms_internal::zeroFilledHex(hex_forms_internal::isNegative(offset),
                                           hex_forms_internal::magnitudeOf(offset), length, uppercase);
}

// "0x" and the digits zero-filled to 16.
template <HexFormInteger T>
[[nodiscard]] std::string stringWithAddress(T address, bool uppercase = false) {
  return hex_forms_internal::zeroFilledHex(hex_forms_internal::isNegative(address),
                                           hex_forms_internal::magnitudeOf(address), 16, uppercase);
}

// ---- Parsers ---------------------------------------------------------------

[[nodiscard]] std::optional<std::string> stringFromScalarsHexString(std::string_view self,
                                                                    std::string_view prefix = "",
                                                                    std::string_view separator = "-");
[[nodiscard]] std::optional<std::vector<std::uint32_t>> uint32sFromHexString(std::string_view self,
                                                                             std::string_view prefix = "",
                                                                             std::string_view separator = "-");

}  // namespace vantrel
