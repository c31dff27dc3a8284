// File: vantrel/text/percent_encoding.h
//
// Percent-encoding ("%" and two upper-case hexadecimal digits per UTF-8 byte)
// and its reverse, the one implementation for URL texts.
//
//   addingPercentEncoding("a b/é", CharacterSet::urlPathAllowed())   "a%20b/%C3%A9"
//   addingPercentEncoding("a+b", unreservedUrlCharacters())          "a%2Bb"
//   removingPercentEncoding("a%20b")                                  "a b"
//   removingPercentEncoding("a%2")                                    nullopt
//
// Membership in the allowed set is by scalar; a scalar outside it is written
// as all of its UTF-8 bytes. Ill-formed input bytes are always encoded.
// Thread-safe.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "vantrel/text/character_set.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

// A - Z, a - z, 0 - 9 and "-._~": the characters RFC 3986 never gives a
// meaning of their own.
[[nodiscard]] const CharacterSet& unreservedUrlCharacters();

[[nodiscard]] std::string addingPercentEncoding(std::string_view text, const CharacterSet& allowed);

// Every "%XX" replaced by its byte; nullopt when a "%" is not followed by two
// hexadecimal digits or when the bytes are not valid UTF-8.
[[nodiscard]] std::optional<std::string> removingPercentEncoding(std::string_view text);

// Whether every "%" starts a "%XX" escape.
[[nodiscard]] bool hasOnlyValidPercentEscapes(std::string_view text);

}  // namespace vantrel
