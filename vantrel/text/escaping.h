// File: vantrel/text/escaping.h
//
// Escaping a text to stand inside a JSON string or a source-code string
// literal, backslash doubling, and replacement by a map. No quotation marks
// are added: the caller writes them.
//
//   stringEncodedForJson("say \"hi\"\n")          "say \\\"hi\\\"\\n"
//   stringEncodedForJson("\x01")                  "\\u0001"
//   stringPreparedToBeUseInSourceStringLiteral("a\tb")   "a\\tb"
//   stringLiteralEncoded("C:\\x")                 "C:\\\\x"
//   stringByReplacingOccurrences("banana", {{"a", "b"}})  "bbnbnb"
//
// JSON: quotation mark, backslash, LF, CR and tab get their short escapes;
// backspace and form feed are written "\u0008" and "\u000c"; every other
// control character below U+0020 is written "\u00XX" (lower-case hex), so
// the output is always valid JSON string content. Bytes that are not valid
// UTF-8 are written as U+FFFD. Everything else (solidus, U+007F, non-ASCII)
// is copied unchanged. A text with nothing to escape comes back as it is.
//
// `appendStringEncodedForJson` appends to a caller's buffer, so a writer
// that reuses its buffer allocates nothing per value. Thread-safe.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

[[nodiscard]] std::string stringEncodedForJson(std::string_view self);
// A string handed over comes back itself when there is nothing to escape:
// no copy is made.
[[nodiscard]] std::string stringEncodedForJson(std::string&& self);
// Literals take this one (both overloads above would accept them).
[[nodiscard]] std::string stringEncodedForJson(const char* self);
void appendStringEncodedForJson(std::string& out, std::string_view self);

// Quotation mark, backslash, LF, CR and tab as \" \\ \n \r \t; everything
// else unchanged (ill-formed UTF-8 as U+FFFD).
[[nodiscard]] std::string stringPreparedToBeUseInSourceStringLiteral(std::string_view self);

// Every backslash doubled; nothing else changes.
[[nodiscard]] std::string stringLiteralEncoded(std::string_view self);

// Every key of `map` replaced by its value (canonical search, see
// string_services.h), one pair after the other. The pairs are applied in
// the text order of their keys (vantrel/text/comparison.h), so the result
// does not depend on the map's layout; a later pair works on the text that
// earlier pairs produced.
[[nodiscard]] std::string stringByReplacingOccurrences(std::string_view self,
                                                       const std::unordered_map<std::string, std::string>& map);

}  // namespace vantrel
