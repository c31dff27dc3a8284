// File: vantrel/foundation/net/link_extraction.h
//
// Web links in free text: with the fixed pattern "(http[s]?:[^\s]*)", or with
// the project's own link detector.
//
//   extractHttpLinksCustomRegEx("see http://a.org/x y")   {http://a.org/x}, printing its trace lines
//   extractHttpLinks("docs at www.example.org/guide.")    {http://www.example.org/guide}
//   extractHttpLinks("no links here")                     nullopt
//   detectLinksUtf16("😀 www.a.org")                       {{3, 9}, http://www.a.org}
//
// The detector's rules (`detectLinks`):
// - A link starts with a scheme and "://" (the scheme: an ASCII letter, then
//   letters, digits, "+", "-", "."; not glued to a letter, digit or one of
//   "+-." before it) or with "www." in any case (not after a letter, digit,
//   ".", "-", "_", "@" or "/", and followed by a letter or digit).
// - It runs up to the first white space, control character, "<", ">", "\""
//   or "`".
// - Trailing punctuation is left out: any of . , : ; ! ? ' * at the end, and
//   a closing ")", "]" or "}" that has no opening partner inside the link;
//   repeatedly, so "(see https://a.org/x)." gives "https://a.org/x".
// - A scheme link needs something after "://" and a "www." link after
//   "www.". A "www." link gets "http://" in front.
// - Characters a URL may not hold (non-ASCII, spaces are already out, "{",
//   "|", ...) are percent-encoded, as is a "%" that starts no "%XX" escape;
//   a text that still does not parse as a URL is no link.
// After a link the search goes on behind it. Thread-safe; the trace lines
// of `extractHttpLinksCustomRegEx` go to the console sink.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "vantrel/platform/foundation/files/url.h"
#include "vantrel/text/string_services.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

struct DetectedLink {
  ByteRange range;  // the link's bytes in the text (before "http://" is added or anything is encoded)
  URL url;
};

[[nodiscard]] std::vector<DetectedLink> detectLinks(std::string_view text);

// The links of `detectLinks`, each with its range in UTF-16 code units (as
// the platform's text ranges count), in text order.
struct DetectedLinkUtf16 {
  Utf16Range range;
  URL url;
};
[[nodiscard]] std::vector<DetectedLinkUtf16> detectLinksUtf16(std::string_view text);

// The URLs of `detectLinks`, in text order; nullopt when there is none.
[[nodiscard]] std::optional<std::vector<URL>> extractHttpLinks(std::string_view text);

// For each match of "(http[s]?:[^\s]*)" (case-insensitive), prints
// "match <TextCheckingResult>{location, length}" and "subString = <text>",
// then makes the URL with `URL::fromSafariUrlString`, or prints
// "Cannot create NSURL from \"<text>\"". nullopt when no URL was made.
[[nodiscard]] std::optional<std::vector<URL>> extractHttpLinksCustomRegEx(std::string_view text);

}  // namespace vantrel
