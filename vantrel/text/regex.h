// File: vantrel/text/regex.h
//
// `Regex`: a pattern compiled once and matched many times, one call per
// question. Matching is `RegularExpression`'s (ICU syntax, UTF-16 ranges) over
// the whole text; texts are cut at the UTF-16 ranges it reports.
//
//   Regex r("(a)?b");
//   r.match("xb");                         // true
//   r.matchingsOf("b ab");                 // {"b", "ab"}
//   r.groupsOfFirstMatch("b");             // {"b", nullopt}  (group 1 took no part)
//   auto d = "\\d+"_regex;                 // a pattern written in the source
//
// Construction throws `RegularExpressionError` (ICU's error name) for a
// pattern that does not compile; the `_regex` literal, for patterns written
// in the host's source, stops the program instead. Two values are equal when
// their patterns are the same bytes and their options are equal ("é" and
// "e\u0301" compile to different expressions, so they are different
// patterns). Copies share the one compiled pattern, which never changes: a
// `Regex` may be used from any number of threads at once.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "vantrel/text/regular_expression.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

class Regex {
 public:
  explicit Regex(std::string_view pattern, RegularExpressionOptions options = {});

  [[nodiscard]] const std::string& pattern() const { return matcher_.pattern(); }
  [[nodiscard]] RegularExpressionOptions options() const { return matcher_.options(); }
  [[nodiscard]] const RegularExpression& matcher() const { return matcher_; }

  // Whether the text holds at least one match.
  [[nodiscard]] bool match(std::string_view text, MatchingOptions options = {}) const;
  // The whole matched text of every match, in order.
  [[nodiscard]] std::vector<std::string> matchingsOf(std::string_view text, MatchingOptions options = {}) const;
  // Per match: the whole match, then each group (nullopt for a group that
  // took no part).
  [[nodiscard]] std::vector<std::vector<std::optional<std::string>>> matchingGroupsOf(
      std::string_view text, MatchingOptions options = {}) const;
  // The entry of the first match as above; empty when nothing matches.
  [[nodiscard]] std::vector<std::optional<std::string>> groupsOfFirstMatch(std::string_view text,
                                                                           MatchingOptions options = {}) const;

  friend bool operator==(const Regex& a, const Regex& b) {
    return a.pattern() == b.pattern() && a.options() == b.options();
  }

 private:
  RegularExpression matcher_;
};

inline namespace literals {
// "\\d+"_regex: stops the program with ICU's error when the pattern does not
// compile.
[[nodiscard]] Regex operator""_regex(const char* pattern, std::size_t length);
}  // namespace literals

}  // namespace vantrel
