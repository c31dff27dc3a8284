// File: vantrel/text/regex_matching.h
//
// One-call matching: on a compiled `RegularExpression` (receiver first) and on
// a text with a pattern compiled at each call. Every range, offset and start
// position counts UTF-16 code units; matching options are always empty.
//
//   matches(RegularExpression("(\\w+)=(\\w+)"), "a=b", 2)   {"a", "b"}
//   matchesWithRest(RegularExpression("(\\d+)"), "ab12cd", 1)  ({"12"}, "cd")
//   vtMatchSingle("key: v", "key: (\\w)")                   "v"
//   vtMatchSingleAllInLine("x1 x2 x3", "x(\\d)")           {"1", "2", "3"}
//   vtMatchSingleAllInLine("bab", "(a*)")                  {"", "a", ""}
//
// The string forms answer nothing (nullopt, or the empty list for `vtMatch`)
// for a pattern that does not compile. In the group lists a group that took
// no part stands as the empty text. `vtMatchSingleAllInLine` always ends:
// the next search starts where group 1 ended, or one scalar further on when
// that would not move forward (an empty group at the start position).
//
// A start position that is negative or splits a surrogate pair, and a range
// outside the text, stop the program with `fatal`. Nothing here keeps state.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "vantrel/text/regular_expression.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

using MatchResultBlock = std::function<void(const TextCheckingResult& match)>;

// Every match in the whole text, in order, on the caller's thread.
void enumerateMatchesInStringVt(const RegularExpression& self, std::string_view text,
                                const MatchResultBlock& block);
// The same: a platform string is the same UTF-8 text here.
void enumerateMatchesInNsStringVt(const RegularExpression& self, std::string_view text,
                                  const MatchResultBlock& block);

// The first match in `range` (the whole text when absent).
[[nodiscard]] std::optional<TextCheckingResult> firstMatchInNsString(const RegularExpression& self,
                                                                     std::string_view text,
                                                                     std::optional<Utf16Range> range = std::nullopt);
// Group 1 of the first match when the pattern has exactly one group and it
// took part; nullopt otherwise.
[[nodiscard]] std::optional<std::string> firstMatchingStringInNsString(
    const RegularExpression& self, std::string_view text, std::optional<Utf16Range> range = std::nullopt);

// The groups of the first match when there are exactly `expectedGroups`.
[[nodiscard]] std::optional<std::vector<std::string>> matches(const RegularExpression& self, std::string_view text,
                                                              std::int64_t expectedGroups);
// As `matches`, with the text after the whole match.
[[nodiscard]] std::optional<std::pair<std::vector<std::string>, std::string>> matchesWithRest(
    const RegularExpression& self, std::string_view text, std::int64_t expectedGroups);

// Group 1 of the first match; nullopt without a match, a group 1, or when
// group 1 took no part.
[[nodiscard]] std::optional<std::string> vtMatchSingle(std::string_view self, std::string_view pattern);
// The groups of the first match; empty without a match.
[[nodiscard]] std::vector<std::string> vtMatch(std::string_view self, std::string_view pattern);
[[nodiscard]] std::optional<std::vector<std::string>> vtMatch(std::string_view self, std::string_view pattern,
                                                              std::int64_t expectedGroups);
// Group 1 of the first match from `startPosition` (the whole text when
// absent) and its range in the whole text; nullopt at or past the end, and
// unless the pattern has exactly one group that took part.
[[nodiscard]] std::optional<std::pair<std::string, Utf16Range>> vtMatchSingle(
    std::string_view self, std::string_view pattern, std::optional<std::int64_t> startPosition);
// Group 1 of successive matches; nullopt when there is none.
[[nodiscard]] std::optional<std::vector<std::string>> vtMatchSingleAllInLine(std::string_view self,
                                                                             std::string_view pattern);

}  // namespace vantrel
