// File: vantrel/text/case_and_values.h
//
// Case of the first character, line counts, comparisons past a prefix,
// strict parsing of numbers and yes/no words, the UUID form test, and every
// occurrence of a search text.
//
//   capitalizingFirstLetter("ßa")             "Ssa"   (title case)
//   capitalizedFirstCharacterString("ßa")     "SSa"   (upper case)
//   capitalizingFirstLetter("ǆa")             "ǅa"
//   numberOfLines("a\r\nb\u2028c")            3       (CR LF is one break)
//   lessThen("The Zebra", "Apple", "The ", 4)  false  ("Zebra" against "Apple")
//   makeInt("+7")                             7
//   makeDouble("0x1p4")                       16.0
//   makeDouble("1e999")                       +inf
//   makeBool("Yes")                           true
//   rangesOf("aaaa", "aa")                    bytes 0..<2, 2..<4
//
// Characters are grapheme clusters, positions UTF-8 byte offsets
// (`ByteRange`). Case maps are the locale-independent full Unicode maps of
// string_services.h; equality and order are `textEqual` / `textLess`.
// Numbers never read the process locale.
//
// Out-of-contract calls stop the program through `fatal`, naming the value:
// `lessThen` with a `prefixLength` below 0 or beyond the character count of
// a string that has the prefix; `stringWithAscii` / `stringWithLatin1` with
// an integer that is not a Unicode scalar value. Thread-safe.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "vantrel/text/string_services.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

// ---- Case of the first character ----------------------------------------

// The first character in title case (ß -> "Ss", ǆ -> ǅ), the rest unchanged.
[[nodiscard]] std::string capitalizingFirstLetter(std::string_view self);
void capitalizeFirstLetter(std::string& self);
[[nodiscard]] std::string lowercasingFirstLetter(std::string_view self);
void lowercaseFirstLetter(std::string& self);
// The first character in upper case (ß -> "SS", ǆ -> Ǆ), the rest unchanged.
[[nodiscard]] std::string capitalizedFirstCharacterString(std::string_view self);
[[nodiscard]] std::string lowercasedFirstCharacterString(std::string_view self);

namespace StringSort {
// True when the lower-cased first text orders before the lower-cased second.
using Ordering = std::function<bool(std::string_view, std::string_view)>;
[[nodiscard]] const Ordering& incaseSensitive();
}  // namespace StringSort

// A text kept beside its lower-cased form, compared, hashed and ordered by
// that form: "Hello" and "HELLO" are equal and hash alike.
class LowercasedStringWrapper {
 public:
  explicit LowercasedStringWrapper(std::string string = {});

  [[nodiscard]] const std::string& string() const { return string_; }
  [[nodiscard]] const std::string& lowercased() const { return lowercased_; }
  void setString(std::string string);
  // An in-place change of the text; the lower-cased form follows it.
  template <class F>
  void modifyString(F&& change) {
    std::forward<F>(change)(string_);
    lowercased_ = vantrel::lowercased(string_);
  }

  friend VANTREL_API bool operator==(const LowercasedStringWrapper& a, const LowercasedStringWrapper& b);
  friend VANTREL_API bool operator<(const LowercasedStringWrapper& a, const LowercasedStringWrapper& b);
  friend bool operator>(const LowercasedStringWrapper& a, const LowercasedStringWrapper& b) { return b < a; }
  friend bool operator<=(const LowercasedStringWrapper& a, const LowercasedStringWrapper& b) { return !(b < a); }
  friend bool operator>=(const LowercasedStringWrapper& a, const LowercasedStringWrapper& b) { return !(a < b); }

 private:
  std::string string_;
  std::string lowercased_;
};

// ---- Lines (newlines: U+000A...U+000D, U+0085, U+2028, U+2029) -----------

// Whether a newline scalar stands anywhere but at the very end: "abc\n" is
// one line, "abc\r\n" is not (its carriage return is not the last scalar).
[[nodiscard]] bool hasMultipleLines(std::string_view self);
// Pieces between newline characters, empty ones kept ("" is 1 line; CR LF is
// one break).
[[nodiscard]] std::int64_t numberOfLines(std::string_view self);
// Non-empty pieces between newline scalars.
[[nodiscard]] std::int64_t numberOfNonEmptyLines(std::string_view self);

// ---- Comparison -----------------------------------------------------------

// Each text that has `prefix` loses its first `prefixLength` characters, then
// the two are ordered by `textLess`.
[[nodiscard]] bool lessThen(std::string_view self, std::string_view other, std::string_view ignoringPrefix,
                            std::int64_t prefixLength);

struct CommonPrefix {
  std::optional<std::string> common;
  std::optional<std::string> first;
  std::optional<std::string> second;
  friend bool operator==(const CommonPrefix&, const CommonPrefix&) = default;
};
// The characters both texts start with and what remains of each (absent when
// nothing remains); with nothing in common, both texts whole.
[[nodiscard]] CommonPrefix hasCommonPrefix(std::string_view self, std::string_view other);

// true when the text (lower-cased first with `lowercaseSource`) equals
// `trueCharacter`, false when it equals `falseCharacter`, else nothing.
[[nodiscard]] std::optional<bool> isCharacterTristate(std::string_view self, std::string_view trueCharacter,
                                                      std::string_view falseCharacter, bool lowercaseSource = true);

// ---- Values ---------------------------------------------------------------

// "true", "yes", "1" / "false", "no", "0" in any case; nothing else, no blanks.
[[nodiscard]] std::optional<bool> makeBool(std::string_view self);
[[nodiscard]] std::optional<bool> vtBool(std::string_view self);
// An optional "+" or "-" and one or more ASCII digits within 64 bits.
[[nodiscard]] std::optional<std::int64_t> makeInt(std::string_view self);
[[nodiscard]] std::optional<std::int64_t> vtInt(std::string_view self);
// The whole text as strtod reads it in the C locale (decimal, hexadecimal,
// "inf", "nan"; "1e999" is +inf); ASCII only, no blanks anywhere.
[[nodiscard]] std::optional<double> makeDouble(std::string_view self);
[[nodiscard]] std::optional<double> vtDouble(std::string_view self);
// The one-scalar text of `scalar` (any scalar value, despite the names).
[[nodiscard]] std::string stringWithAscii(std::int64_t scalar);
[[nodiscard]] std::string stringWithLatin1(std::int64_t scalar);
// 8-4-4-4-12 hexadecimal digits of either case joined by "-", nothing else.
[[nodiscard]] bool isUuidString(std::string_view self);

// ---- Search -----------------------------------------------------------------

// Every occurrence of `search` within `range` (the whole text when absent),
// from the front, each search going on after the previous match: matches
// never overlap. Empty for an empty search text or none found.
[[nodiscard]] std::vector<ByteRange> rangesOf(std::string_view self, std::string_view search,
                                              SearchOptions options = {},
                                              std::optional<ByteRange> range = std::nullopt);
[[nodiscard]] std::vector<ByteRange> rangesOfString(std::string_view self, std::string_view search,
                                                    SearchOptions options = {},
                                                    std::optional<ByteRange> searchRange = std::nullopt);

// The texts in order without the empty ones.
template <class Texts>
[[nodiscard]] std::vector<std::string> flatMapEmptyStrings(const Texts& texts) {
  std::vector<std::string> out;
  for (const auto& text : texts) {
    if (!std::string_view(text).empty()) out.emplace_back(text);
  }
  return out;
}

}  // namespace vantrel

template <>
struct std::hash<vantrel::LowercasedStringWrapper> {
  std::size_t operator()(const vantrel::LowercasedStringWrapper& value) const noexcept;
};
