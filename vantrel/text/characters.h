// File: vantrel/text/characters.h
//
// `characterCount`: the number of characters (extended grapheme clusters) in
// UTF-8 text, the one count every text operation uses.
//
//   characterCount("abc")          3
//   characterCount("e\u0301")      1   (e + combining acute)
//   characterCount("\r\n")         1
//   characterCount("👨‍👩‍👧")           1   (one family, joined by ZWJ)
//
// ASCII text is counted without ICU. Bytes that are not valid UTF-8 count as
// one character each. Thread-safe.
#pragma once

#include <cstdint>
#include <string_view>

namespace vantrel {

[[nodiscard]] std::int64_t characterCount(std::string_view text);

}  // namespace vantrel
