// File: vantrel/text/file_names.h
//
// Replacing, removing, keeping and locating the characters of a set, testing
// a text against a set, and the three file-name sanitisers built on them.
// The fixed sets are static members of `CharacterSet` (character_set.h).
//
//   vtSanetizeFilename("a:b/c(1)%&.txt")           "a_b_c_1___.txt"
//   vtSanetizeFilenameWeaker("a:b/c(1)%&.txt")     "a_b_c(1)%&.txt"
//   vtSanetizeFilenameWeaker_Old("a:b/c(1)%&.txt") "abc(1)%&.txt"
//   vtSanetizeFilename("a\tb")                     "a_b"   (control characters too)
//   vtSanetizeFilename("..")                       "_"
//   stringByReplacingContinuousCharacterFromSet("x:a::", colon, "_")   "x_a_"
//   vtStringByKeepingCharactersInSet("a1b22", digits, "x")             "x1x22"
//   isBase32("mzxw6")                              true
//   isBase32("e\u0301")                            false   (every scalar is tested)
//
// The replacing, stripping and keeping operations and the range search work
// on single scalars: a combining mark after a matched scalar stays. The
// sanitisers also replace (the `_Old` form removes) the control characters
// U+0000...U+001F and U+007F...U+009F, and a name that would come out as
// ".", ".." or empty (from a non-empty name) becomes "_", so the result
// never names the folder itself, its parent or nothing.
// Nothing fails; a text without members comes back unchanged. Thread-safe.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "vantrel/text/character_set.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

[[nodiscard]] std::string vtSanetizeFilename(std::string_view self);
[[nodiscard]] std::string vtSanetizeFilenameWeaker(std::string_view self);
[[nodiscard]] std::string vtSanetizeFilenameWeaker_Old(std::string_view self);

// Every member scalar replaced by `character`.
[[nodiscard]] std::string stringByReplacingCharacterFromSet(std::string_view self, const CharacterSet& set,
                                                            std::string_view character);
// Every run of adjacent member scalars replaced by one `character`.
[[nodiscard]] std::string stringByReplacingContinuousCharacterFromSet(std::string_view self,
                                                                      const CharacterSet& set,
                                                                      std::string_view character);
// The pieces between member scalars (empty ones kept) joined with `replaceBy`.
[[nodiscard]] std::string vtStringByStrippingCharactersInSet(std::string_view self, const CharacterSet& set,
                                                             std::string_view replaceBy = "");
// The members kept; every other scalar becomes one `replaceBy`.
[[nodiscard]] std::string vtStringByKeepingCharactersInSet(std::string_view self, const CharacterSet& set,
                                                           std::string_view replaceBy = "");

// The byte ranges of all member scalars within `range` (the whole text when
// absent), in order; nothing (never an empty list) when there is none.
[[nodiscard]] std::optional<std::vector<ByteRange>> rangesOfCharactersIn(
    std::string_view self, const CharacterSet& set, std::optional<ByteRange> range = std::nullopt);

// Whether every scalar of the text is a member (true for the empty text).
[[nodiscard]] bool containsOnlyCharacters(std::string_view self, const CharacterSet& set);
// containsOnlyCharacters with CharacterSet::base32().
[[nodiscard]] bool isBase32(std::string_view self);
// Whether no scalar of the text is a member.
[[nodiscard]] bool containsNoCharacters(std::string_view self, const CharacterSet& set);

}  // namespace vantrel
