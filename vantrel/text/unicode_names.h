// File: vantrel/text/unicode_names.h
//
// The Unicode names of scalars, the letter of a regional indicator, and a
// scalar read from a number written as text.
//
//   unicodeName(U'A')                        "LATIN CAPITAL LETTER A"
//   unicodeName(U'\a')                       "<control-0007>"
//   unicodeName("ab")                        "LATIN SMALL LETTER A,LATIN SMALL LETTER B"
//   unicodeNames("👍🏽")                      {"THUMBS UP SIGN", "EMOJI MODIFIER FITZPATRICK TYPE-4"}
//   unicodeNamesEmojiFiltered("👍🏽")         {"THUMBS UP SIGN"}
//   regionalIndicatorLetter(U'\U0001F1E9')   'D'
//   UnicodeScalar::fromNumericString("0x41", 16)   U'A'
//
// Names are ICU's extended names (u_charName, U_EXTENDED_CHAR_NAME): the
// character database's name in capitals, algorithmic names for CJK
// ideographs and Hangul syllables ("CJK UNIFIED IDEOGRAPH-4E00", "HANGUL
// SYLLABLE GA"), and for scalars without a name of their own a label such as
// "<control-0007>", "<private use area-E000>", "<unassigned-0378>" or
// "<noncharacter-FFFF>". Ill-formed bytes of a text read as U+FFFD. Each
// scalar is named by itself, never the text at once. Thread-safe.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "vantrel/text/comparison.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

// A set of names or name beginnings, compared as texts are (comparison.h).
using UnicodeNameSet = std::unordered_set<std::string, TextHash, TextEqual>;

// The name of one scalar (a surrogate or a value beyond U+10FFFF is named as
// U+FFFD).
[[nodiscard]] std::string unicodeName(char32_t scalar);
// The names of all scalars of the text, joined by "," (no space).
[[nodiscard]] std::string unicodeName(std::string_view text);

// One name per scalar, in order, repeated names kept, except names that are
// members of `ignoredNames` (whole names) or that begin with a member of
// `ignoredCodePointNamePrefixes` (an empty member leaves nothing).
[[nodiscard]] std::vector<std::string> unicodeNames(std::string_view text, const UnicodeNameSet& ignoredNames = {},
                                                    const UnicodeNameSet& ignoredCodePointNamePrefixes = {});
// `unicodeNames` without the joining and modifying scalars of emoji
// sequences: "ZERO WIDTH JOINER", "VARIATION SELECTOR-16", and the names
// beginning "EMOJI MODIFIER" or "REGIONAL INDICATOR SYMBOL".
[[nodiscard]] std::vector<std::string> unicodeNamesEmojiFiltered(std::string_view text);

// 'A' to 'Z' for the regional indicator symbols U+1F1E6 to U+1F1FF (the
// halves of flag emoji); nullopt for every other scalar.
[[nodiscard]] std::optional<char> regionalIndicatorLetter(char32_t scalar);

namespace UnicodeScalar {

// The scalar whose value strtoul_l in the "C" locale reads from the front of
// `text` in `base` (0 or 2 to 36): white space skipped, one sign ("-"
// negates modulo 2^64), "0x" in base 16 or 0, reading up to the first byte
// that is not a digit of the base. nullopt when no digit is read (an empty
// text, "zz" in base 10, a base outside 0 and 2 to 36), and for a value that
// is not a Unicode scalar value (surrogates, above U+10FFFF, most negative
// numbers).
[[nodiscard]] std::optional<char32_t> fromNumericString(std::string_view text, std::int32_t base);

}  // namespace UnicodeScalar

}  // namespace vantrel
