// File: vantrel/text/html_entities.h
//
// Text into HTML and back: the five markup characters escaped, every scalar
// as a decimal character reference, and the decoder of named and numeric
// references.
//
//   vtEscapeHtml("a < b && c > d")            "a &lt; b &amp;&amp; c &gt; d"
//   vtEscapeHtml("it's \"x\"")                "it&#39;s &quot;x&quot;"
//   scalarsHtmlEntitiesRepresentation("ab")   "&#97;&#98;"
//   decodeHTML("&lt;b&gt; &#x41;&#66; &euro;")   "<b> AB €"
//   decodeHTML("&amp;lt;")                    "&lt;"      (one pass)
//   decodeHTML("&#0;")                        "\uFFFD"
//
// Escaping replaces "&" "\"" "'" "<" ">" byte by byte, wherever they stand
// (also before a combining mark, which would otherwise hide a quotation mark
// in an attribute value): "&amp;", "&quot;", "&#39;", "&lt;", "&gt;".
// Nothing else changes; a text with none of them comes back equal, and a
// string handed over comes back itself, without a copy.
//
// Decoding is one forward pass: a span runs from an "&" through the next ";"
// (further "&" inside it included). A span is replaced when it is
//   "&#" and one or more decimal digits, or "&#x" / "&#X" and one or more
//   hexadecimal digits, and nothing else, for a Unicode scalar value
//   (0 reads as U+FFFD, never U+0000; surrogates and values above U+10FFFF
//   stay as written), or
//   one of the 253 named references (HTML 4.01 and "&apos;"), matched
//   whole and case-sensitively.
// Every other span, and an "&" with no ";" after it, stays as it was.
// Decoded text is never scanned again. Valid UTF-8 in gives valid UTF-8 out,
// never longer than the input. Thread-safe; the table of names is built once,
// on the first named lookup.
#pragma once

#include <string>
#include <string_view>

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

[[nodiscard]] std::string vtEscapeHtml(std::string_view self);
// A string handed over comes back itself when there is nothing to escape.
[[nodiscard]] std::string vtEscapeHtml(std::string&& self);
// Literals take this one (both overloads above would accept them).
[[nodiscard]] std::string vtEscapeHtml(const char* self);

// "&#", the decimal value and ";" for every scalar (ill-formed bytes read as
// U+FFFD), joined by `separator`.
[[nodiscard]] std::string scalarsHtmlEntitiesRepresentation(std::string_view self, std::string_view separator = "");

[[nodiscard]] std::string decodeHTML(std::string_view self);

}  // namespace vantrel
