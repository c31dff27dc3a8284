// File: vantrel/text/string_services.h
//
// The string layer every text operation rests on. Texts are UTF-8
// `std::string` / `std::string_view`; positions inside them are byte offsets
// (`ByteRange`); ranges exchanged in UTF-16 units, as the platform's string
// and regular-expression ranges are, are `Utf16Range` with `NotFound` for a
// miss.
//
//   rangeOf("cafe\u0301!", "café")            bytes 0..<6  (canonically equal)
//   rangeOf("e\u0301", "e")                   nullopt      (never half a letter)
//   rangeOfUtf16("a😀b", "b").location       3            (😀 is two units)
//   componentsSeparatedBy("a,b,", ",")        {"a", "b", ""}
//   repairedUtf8("a\xFF")                     "a\uFFFD"
//
// Search: case-sensitive, canonically equivalent sequences equal, first match
// from the front, an empty search text never found; `SearchOptions` add case
// and diacritic insensitivity. Matches start and end on character
// boundaries: a match never splits a letter from its marks, a ZWJ sequence
// or a CR LF pair.
//
// Invalid UTF-8: the text operations expect valid UTF-8. Bytes from outside
// (files, pipes, the wire, UTF-16 from other APIs) go through `repairedUtf8`
// or `utf8FromUtf16` where they enter; wherever ICU reads a text, ill-formed
// bytes read as U+FFFD.
//
// A UTF-16 offset or range outside its text, or one that splits a surrogate
// pair, stops the program with `fatal`. Nothing here keeps state; thread-safe.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "vantrel/core/number_text.h"
#include "vantrel/core/option_set.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

// A half-open range of byte offsets into a UTF-8 text.
struct ByteRange {
  std::size_t lowerBound = 0;
  std::size_t upperBound = 0;
  [[nodiscard]] std::size_t length() const { return upperBound - lowerBound; }
  [[nodiscard]] bool isEmpty() const { return lowerBound == upperBound; }
  friend bool operator==(const ByteRange&, const ByteRange&) = default;
};

// The "not found" location of a `Utf16Range`.
inline constexpr std::int64_t NotFound = std::numeric_limits<std::int64_t>::max();

// A range of UTF-16 code units: a location and a length.
struct Utf16Range {
  std::int64_t location = 0;
  std::int64_t length = 0;
  [[nodiscard]] bool found() const { return location != NotFound; }
  [[nodiscard]] std::int64_t upperBound() const { return location + length; }
  friend bool operator==(const Utf16Range&, const Utf16Range&) = default;
};

// ---- Validity and repair -------------------------------------------------

[[nodiscard]] bool isValidUtf8(std::string_view bytes);
// How many bytes at the start are ASCII (below 0x80): bytes.size() for an
// ASCII text. Vectorised; for fast paths that skip decoding.
[[nodiscard]] std::size_t asciiPrefixLength(std::string_view bytes);
// Every ill-formed sequence replaced by U+FFFD (one per maximal invalid
// subpart); valid text comes back unchanged.
[[nodiscard]] std::string repairedUtf8(std::string_view bytes);
// UTF-16 to UTF-8; an unpaired surrogate becomes U+FFFD.
[[nodiscard]] std::string utf8FromUtf16(std::u16string_view units);
[[nodiscard]] std::u16string utf16FromUtf8(std::string_view text);
// The Unicode scalars of the text (ill-formed bytes read as U+FFFD).
[[nodiscard]] std::u32string unicodeScalars(std::string_view text);
// The UTF-8 form of one scalar (U+FFFD for a surrogate or a value above U+10FFFF).
[[nodiscard]] std::string stringFromScalar(char32_t scalar);
// The scalar that starts at byte `pos` (< text.size(), else the program
// stops) and its length in bytes. An ill-formed sequence reads as U+FFFD
// with the length of its maximal invalid subpart (at least 1), as
// repairedUtf8 reads it, and `valid` false.
struct ScalarAt {
  char32_t scalar;
  std::size_t length;
  bool valid;
};
[[nodiscard]] ScalarAt scalarAt(std::string_view text, std::size_t pos);

// ---- UTF-16 offsets ------------------------------------------------------

[[nodiscard]] std::int64_t utf16Length(std::string_view text);
// UTF-16 offset of a byte offset that starts a scalar (or is the end).
[[nodiscard]] std::int64_t utf16Offset(std::string_view text, std::size_t byteOffset);
// Byte offset of a UTF-16 offset; stops the program when the offset is
// negative, beyond the text or inside a surrogate pair.
[[nodiscard]] std::size_t byteOffset(std::string_view text, std::int64_t utf16Offset);
[[nodiscard]] Utf16Range utf16Range(std::string_view text, ByteRange range);
// Stops the program for a range outside the text (NotFound included).
[[nodiscard]] ByteRange byteRange(std::string_view text, Utf16Range range);

// ---- Normalisation (NFC lives in comparison.h) ----------------------------

[[nodiscard]] std::string nfd(std::string_view text);

// ---- Search --------------------------------------------------------------

struct SearchOptions : OptionSet<SearchOptions, std::uint32_t> {
  using OptionSet::OptionSet;
  static const SearchOptions caseInsensitive;
  static const SearchOptions diacriticInsensitive;
};
inline constexpr SearchOptions SearchOptions::caseInsensitive{1u};
inline constexpr SearchOptions SearchOptions::diacriticInsensitive{2u};

// First occurrence of `search` in `text` (within `range`, the whole text when
// absent); nullopt when there is none or `search` is empty.
[[nodiscard]] std::optional<ByteRange> rangeOf(std::string_view text, std::string_view search,
                                               SearchOptions options = {},
                                               std::optional<ByteRange> range = std::nullopt);
// The same in UTF-16 units; {NotFound, 0} for a miss.
[[nodiscard]] Utf16Range rangeOfUtf16(std::string_view text, std::string_view search, SearchOptions options,
                                      Utf16Range range);
[[nodiscard]] Utf16Range rangeOfUtf16(std::string_view text, std::string_view search,
                                      SearchOptions options = {});
[[nodiscard]] bool containsText(std::string_view text, std::string_view search, SearchOptions options = {});

// Prefix and suffix tests in canonical decomposition that also respect
// character boundaries: the receiver's bytes that the affix covers, or
// nullopt. An empty affix covers 0 bytes. "e" is not a prefix of "e\u0301".
[[nodiscard]] std::optional<std::size_t> prefixMatchLength(std::string_view text, std::string_view prefix);
[[nodiscard]] std::optional<std::size_t> suffixMatchLength(std::string_view text, std::string_view suffix);
[[nodiscard]] bool hasPrefix(std::string_view text, std::string_view prefix);
[[nodiscard]] bool hasSuffix(std::string_view text, std::string_view suffix);

// ---- Components and replacement ------------------------------------------

// The parts between occurrences of `separator`, from the front, without
// overlap, empty parts kept; an empty or absent separator gives the whole
// text as the only part.
[[nodiscard]] std::vector<std::string> componentsSeparatedBy(std::string_view text, std::string_view separator);
// Every occurrence of `target` replaced by `replacement` (an empty target
// replaces nothing).
[[nodiscard]] std::string replacingOccurrences(std::string_view text, std::string_view target,
                                               std::string_view replacement);

// ---- Case (locale-independent) -------------------------------------------

[[nodiscard]] std::string lowercased(std::string_view text);
[[nodiscard]] std::string uppercased(std::string_view text);
// Each word's first letter in title case, the rest in lower case (words as
// Unicode word boundaries find them): "hello wORLD" -> "Hello World".
[[nodiscard]] std::string titlecased(std::string_view text);

// ---- Numbers -------------------------------------------------------------

// Lower-case hexadecimal digits, no prefix ("ff").
[[nodiscard]] std::string hexString(std::uint64_t value, bool uppercase = false);
// The value of a text of 1 to 16 hexadecimal digits (either case, nothing
// else); nullopt otherwise.
[[nodiscard]] std::optional<std::uint64_t> parseHex(std::string_view text);
// parseDouble: see vantrel/core/number_text.h (included here).

}  // namespace vantrel
