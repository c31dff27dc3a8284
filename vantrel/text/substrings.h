// File: vantrel/text/substrings.h
//
// Cutting a text by character offsets (grapheme clusters, from 0), by ranges
// of them, or at the first occurrence of a search text.
//
//   vtStringTo("abcdef", 3)                   "abc"
//   vtStringFromTo("abcdef", 2, 4)            "cd"
//   vtStringFromStartOffseted("abcdef", 1, -1) "bcde"
//   vtStringUpTo("key=value=more", "=")       "key"
//   vtStringAfter("key=value=more", "=", 4)   "more"
//   subscriptRange("abc", 0, 4)               nullopt
//
// Offsets are checked: one outside what an operation accepts (negative, past
// the end, an end before a start) stops the program with `fatal` and a
// message naming the offset and the count. `vtStringTo` accepts any n >= 0
// and `subscriptRange` / `subscriptClosedRange` answer nullopt outside the
// text. Searches are canonical (see string_services.h). Thread-safe.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "vantrel/text/string_services.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

// The first n characters; the whole text when n is at least the count.
[[nodiscard]] std::string vtStringTo(std::string_view self, std::int64_t n);
// Characters from `from` up to `to` (the end when absent); 0 <= from <= to <= count.
[[nodiscard]] std::string vtStringFromTo(std::string_view self, std::int64_t from,
                                         std::optional<std::int64_t> to = std::nullopt);
// Characters from `from`, `length` of them; from + length <= count.
[[nodiscard]] std::string vtStringFromLength(std::string_view self, std::int64_t from, std::int64_t length);
// The one character at `offset` (0 <= offset < count).
[[nodiscard]] std::string vtStringAt(std::string_view self, std::int64_t offset);
// Characters from `fromStartOffseted` up to count + `toEndOffseted`
// (toEndOffseted <= 0: -1 leaves out the last character).
[[nodiscard]] std::string vtStringFromStartOffseted(std::string_view self, std::int64_t fromStartOffseted,
                                                    std::int64_t toEndOffseted);

// The text after the first occurrence of `search`. A miss gives the empty
// text without a start offset and the whole text with one (0 included); a
// start offset equal to the count gives the whole text. The start offset
// skips occurrences that begin before it.
[[nodiscard]] std::string vtStringAfter(std::string_view self, std::string_view search,
                                        std::optional<std::int64_t> startOffset = std::nullopt);
// The text from offset 0 up to the first occurrence of `search` (at or after
// the start offset); the whole text on a miss.
[[nodiscard]] std::string vtStringUpTo(std::string_view self, std::string_view search,
                                       std::optional<std::int64_t> startOffset = std::nullopt);

// Characters lower..<upper; nullopt when lower < 0, lower >= count or upper >
// count. An empty range inside the text gives the empty text. A range whose
// upper bound is below its lower bound is malformed and stops the program.
[[nodiscard]] std::optional<std::string> subscriptRange(std::string_view self, std::int64_t lower,
                                                        std::int64_t upper);
// Characters lower...upper; nullopt when lower < 0 or upper >= count.
[[nodiscard]] std::optional<std::string> subscriptClosedRange(std::string_view self, std::int64_t lower,
                                                              std::int64_t upper);
// The same without the optional: a range outside the text stops the program.
[[nodiscard]] std::string subscriptRangeForced(std::string_view self, std::int64_t lower, std::int64_t upper);
[[nodiscard]] std::string subscriptClosedRangeForced(std::string_view self, std::int64_t lower,
                                                     std::int64_t upper);

// The first character; the empty text stops the program.
[[nodiscard]] std::string firstLetterString(std::string_view self);
// Byte positions from the start to the end of the text.
[[nodiscard]] ByteRange fullRange(std::string_view self);
// The text between double quotes, inner quotes left as they are. (`q` is
// the coding-aid namespace, hence the underscore.)
[[nodiscard]] std::string q_(std::string_view self);

// Older names, kept as forwards.
[[nodiscard]] std::string vtSubstringToPosition(std::string_view self, std::int64_t n);
[[nodiscard]] std::string vtSubstringFrom(std::string_view self, std::int64_t from,
                                          std::optional<std::int64_t> to = std::nullopt);
[[nodiscard]] std::string vtSubstringFromWithLength(std::string_view self, std::int64_t from,
                                                    std::int64_t withLength);
[[nodiscard]] std::string vtSubstringAt(std::string_view self, std::int64_t offset);
[[nodiscard]] std::string substring(std::string_view self, std::int64_t fromStartOffseted,
                                    std::int64_t toEndOffseted);
[[nodiscard]] std::string vtSubstringToString(std::string_view self, std::string_view search);
[[nodiscard]] std::string vtSubstringUpToFirstOccurrenceOf(std::string_view self, std::string_view search,
                                                           std::optional<std::int64_t> startOffset = std::nullopt);
[[nodiscard]] std::string vtSubstringAfterFirstOccurrenceOf(std::string_view self, std::string_view search,
                                                            std::optional<std::int64_t> startOffset = std::nullopt);

}  // namespace vantrel
