// File: vantrel/text/characters.h
//
// Characters are extended grapheme clusters. `characterCount` is the one
// count every text operation uses; the other functions walk the same
// boundaries, so cutting and counting always agree.
//
//   characterCount("abc")          3
//   characterCount("e\u0301")      1   (e + combining acute)
//   characterCount("\r\n")         1
//   characterCount("👨‍👩‍👧")           1   (one family, joined by ZWJ)
//   characters("ae\u0301")         {"a", "e\u0301"}
//
// Offsets returned are UTF-8 byte offsets into the text given. ASCII text is
// walked without ICU. Bytes that are not valid UTF-8 count as one character
// each. Returned views point into the argument: keep it alive. Thread-safe.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "vantrel/core/temporary_string.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

[[nodiscard]] std::int64_t characterCount(std::string_view text);

// Byte offsets of every character start, then text.size(): count + 1 values
// ({0} for the empty text).
[[nodiscard]] std::vector<std::size_t> characterBoundaries(std::string_view text);

// The characters themselves, as views into `text`.
[[nodiscard]] std::vector<std::string_view> characters(std::string_view text);
// A temporary would be gone before its views are read.
template <TemporaryString T>
void characters(T&&) = delete;

// Byte offset where character `n` starts (text.size() for n == count);
// nullopt for a negative n or one beyond the count. Walks at most n
// characters, so a small n on a long text is cheap.
[[nodiscard]] std::optional<std::size_t> byteOffsetOfCharacter(std::string_view text, std::int64_t n);

// Byte offset of the boundary `n` characters before the end; nullopt when the
// text has fewer than n characters or n is negative.
[[nodiscard]] std::optional<std::size_t> byteOffsetOfCharacterFromEnd(std::string_view text,
                                                                     std::int64_t n);

// Whether a cut at `byteOffset` falls between two characters (0 and
// text.size() always do; an offset beyond the text never does).
[[nodiscard]] bool isCharacterBoundary(std::string_view text, std::size_t byteOffset);

}  // namespace vantrel
