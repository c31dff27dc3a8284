// File: vantrel/text/splitting.h
//
// Splitting a text at a separator text, at the characters of a set, and
// into the words of a search query.
//
//   componentsSeparatedByIntoTwoParts("a=b=c", "=")         {"a", "b=c"}
//   componentsSeparatedByStringTrimmed(" a , b ,, c ")     {"a", "b", "", "c"}
//   componentsSeparatedByKeeping("a,b,c", ",")              {"a,", "b,", "c"}
//   splitSeparatorSet(",a,,b,", CharacterSet::fromCharacters(","))   {"a", "b"}
//   extractSearchTerms("from:anna report", {"from"})  terms {"report"}, tagged {{"from", "anna"}}
//
// Separators are found by the canonical search of string_services.h. The
// views returned by `splitDividedAt` and `splitSeparatorSet` point into
// `self`: keep it alive. Nothing fails; thread-safe.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "vantrel/core/temporary_string.h"
#include "vantrel/text/character_set.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

// Before and after the first occurrence; nullopt when it does not occur.
[[nodiscard]] std::optional<std::pair<std::string, std::string>> componentsSeparatedByIntoTwoPartsNilIfNotFound(
    std::string_view self, std::string_view separator);
// Before and after the first occurrence; the whole text and "" on a miss.
[[nodiscard]] std::pair<std::string, std::string> componentsSeparatedByIntoTwoParts(std::string_view self,
                                                                                  std::string_view separator);
[[nodiscard]] std::pair<std::string, std::string> componentsDividedAt(std::string_view self,
                                                                     std::string_view separator);
[[nodiscard]] std::pair<std::string, std::string> vtSplitAtFirstOccurrenceOf(std::string_view self,
                                                                            std::string_view separator);
// Views before and after the first occurrence; nullopt on a miss.
[[nodiscard]] std::optional<std::pair<std::string_view, std::string_view>> splitDividedAt(
    std::string_view self, std::string_view separator);
template <TemporaryString T>
void splitDividedAt(T&&, std::string_view) = delete;  // the views would dangle

// Every part, trimmed of the set's characters; empty parts stay, so there
// are always occurrences + 1 elements.
[[nodiscard]] std::vector<std::string> componentsSeparatedByStringTrimmed(
    std::string_view self, std::string_view separator = ",",
    const CharacterSet& set = CharacterSet::whitespaces());
// Every part, each but the last followed by the separator: joining them
// gives back `self`.
[[nodiscard]] std::vector<std::string> componentsSeparatedByKeeping(std::string_view self,
                                                                   std::string_view separator);
// Every part when there are exactly `expectedCount`; nullopt otherwise.
[[nodiscard]] std::optional<std::vector<std::string>> componentsSeparatedByExpectedCount(
    std::string_view self, std::string_view separator, std::int64_t expectedCount);

// Slices between separator characters: a character is a separator when its
// first scalar is in `set`. With `omittingEmptySubsequences` empty slices
// are left out (the empty text gives none); without it n separators give
// n + 1 slices.
[[nodiscard]] std::vector<std::string_view> splitSeparatorSet(std::string_view self, const CharacterSet& set,
                                                              bool omittingEmptySubsequences = true);
template <TemporaryString T>
void splitSeparatorSet(T&&, const CharacterSet&, bool = true) = delete;  // the views would dangle

struct TaggedTerm {
  std::string key;
  std::string value;
  friend bool operator==(const TaggedTerm&, const TaggedTerm&) = default;
};
struct SearchTerms {
  std::vector<std::string> terms;
  std::vector<TaggedTerm> taggedTerms;
  friend bool operator==(const SearchTerms&, const SearchTerms&) = default;
};
// The words of a query (separated by spaces), each either a plain term or,
// when it starts with a tag name and a colon and has more after them, a
// tagged term. Tag names are tried in list order.
[[nodiscard]] SearchTerms extractSearchTerms(std::string_view self, const std::vector<std::string>& tagNames);

}  // namespace vantrel
