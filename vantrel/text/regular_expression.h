// File: vantrel/text/regular_expression.h
//
// `RegularExpression`: a compiled pattern in ICU's syntax, matched over UTF-16
// ranges, with `TextCheckingResult`s for its matches. Texts are UTF-8 (read
// as UTF-16 inside, ill-formed bytes as U+FFFD) or UTF-16; every range,
// location and length counts UTF-16 code units.
//
//   RegularExpression re("(a)|(b)");
//   auto m = re.firstMatch("xb");                 // ranges {1, 1}, {NotFound, 0}, {1, 1}
//   re.numberOfMatches("abab");                   // 4
//   RegularExpression("(");                       // throws RegularExpressionError
//
// Compile options map one to one onto ICU's flags. Matching options: `anchored`
// keeps only matches that start where the search stands (the range's start,
// then the end of the previous match); the two bounds options switch ICU's
// transparent and anchoring bounds. `reportProgress` and `reportCompletion`
// are accepted and change nothing: blocks see matches only.
//
// Enumeration is by position, left to right, without overlap; after an empty
// match the search goes on one scalar later. An engine error while matching
// (ICU's stack or time limit) ends the search with what was found so far.
//
// A search range outside the text, or one whose ends split a surrogate pair,
// stops the program with `fatal`.
//
// Copies share one compiled pattern, which never changes: one expression may
// be used from any number of threads at once (each call has a matcher of its
// own).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "vantrel/core/error.h"
#include "vantrel/core/option_set.h"
#include "vantrel/text/string_services.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

struct RegularExpressionOptions : OptionSet<RegularExpressionOptions, std::uint32_t> {
  using OptionSet::OptionSet;
  static const RegularExpressionOptions caseInsensitive;             // CASE_INSENSITIVE
  static const RegularExpressionOptions allowCommentsAndWhitespace;  // COMMENTS
  static const RegularExpressionOptions ignoreMetacharacters;        // LITERAL
  static const RegularExpressionOptions dotMatchesLineSeparators;    // DOTALL
  static const RegularExpressionOptions anchorsMatchLines;           // MULTILINE
  static const RegularExpressionOptions useUnixLineSeparators;       // UNIX_LINES
  static const RegularExpressionOptions useUnicodeWordBoundaries;    // UWORD
};
inline constexpr RegularExpressionOptions RegularExpressionOptions::caseInsensitive{1u << 0};
inline constexpr RegularExpressionOptions RegularExpressionOptions::allowCommentsAndWhitespace{1u << 1};
inline constexpr RegularExpressionOptions RegularExpressionOptions::ignoreMetacharacters{1u << 2};
inline constexpr RegularExpressionOptions RegularExpressionOptions::dotMatchesLineSeparators{1u << 3};
inline constexpr RegularExpressionOptions RegularExpressionOptions::anchorsMatchLines{1u << 4};
inline constexpr RegularExpressionOptions RegularExpressionOptions::useUnixLineSeparators{1u << 5};
inline constexpr RegularExpressionOptions RegularExpressionOptions::useUnicodeWordBoundaries{1u << 6};

struct MatchingOptions : OptionSet<MatchingOptions, std::uint32_t> {
  using OptionSet::OptionSet;
  static const MatchingOptions reportProgress;
  static const MatchingOptions reportCompletion;
  static const MatchingOptions anchored;
  static const MatchingOptions withTransparentBounds;
  static const MatchingOptions withoutAnchoringBounds;
};
inline constexpr MatchingOptions MatchingOptions::reportProgress{1u << 0};
inline constexpr MatchingOptions MatchingOptions::reportCompletion{1u << 1};
inline constexpr MatchingOptions MatchingOptions::anchored{1u << 2};
inline constexpr MatchingOptions MatchingOptions::withTransparentBounds{1u << 3};
inline constexpr MatchingOptions MatchingOptions::withoutAnchoringBounds{1u << 4};

// A pattern that does not compile. `description()` is ICU's error name
// ("U_REGEX_MISMATCHED_PAREN"); `offset()` the UTF-16 offset in the pattern
// where ICU stopped, -1 when it gave none.
class RegularExpressionError : public Error {
 public:
  RegularExpressionError(std::string errorName, std::int64_t offset);
  [[nodiscard]] std::int64_t offset() const { return offset_; }

 private:
  std::int64_t offset_;
};

// One match: range 0 is the whole match, range k capture group k
// ({NotFound, 0} for a group that took no part).
class TextCheckingResult {
 public:
  explicit TextCheckingResult(std::vector<Utf16Range> ranges);

  [[nodiscard]] Utf16Range range() const { return ranges_.front(); }
  // Stops the program for an index outside 0..<numberOfRanges().
  [[nodiscard]] Utf16Range rangeAt(std::int64_t index) const;
  [[nodiscard]] std::int64_t numberOfRanges() const { return static_cast<std::int64_t>(ranges_.size()); }
  [[nodiscard]] const std::vector<Utf16Range>& ranges() const { return ranges_; }
  // One line: "<TextCheckingResult>{location, length}", the whole match's range.
  [[nodiscard]] std::string description() const;

  friend bool operator==(const TextCheckingResult&, const TextCheckingResult&) = default;

 private:
  std::vector<Utf16Range> ranges_;
};

class RegularExpression {
 public:
  // Throws RegularExpressionError when the pattern does not compile.
  explicit RegularExpression(std::string_view pattern, RegularExpressionOptions options = {});

  [[nodiscard]] const std::string& pattern() const;
  [[nodiscard]] RegularExpressionOptions options() const;
  [[nodiscard]] std::int64_t numberOfCaptureGroups() const;

  // Called once per match, in order; setting `stop` ends the enumeration.
  using MatchBlock = std::function<void(const TextCheckingResult& match, bool& stop)>;

  void enumerateMatches(std::string_view text, MatchingOptions options, Utf16Range range,
                        const MatchBlock& block) const;
  void enumerateMatches(std::u16string_view text, MatchingOptions options, Utf16Range range,
                        const MatchBlock& block) const;

  // The forms below search `range`, the whole text when it is absent.
  [[nodiscard]] std::vector<TextCheckingResult> matches(std::string_view text, MatchingOptions options = {},
                                                        std::optional<Utf16Range> range = std::nullopt) const;
  [[nodiscard]] std::int64_t numberOfMatches(std::string_view text, MatchingOptions options = {},
                                             std::optional<Utf16Range> range = std::nullopt) const;
  [[nodiscard]] std::optional<TextCheckingResult> firstMatch(std::string_view text, MatchingOptions options = {},
                                                             std::optional<Utf16Range> range = std::nullopt) const;
  [[nodiscard]] std::optional<TextCheckingResult> firstMatch(std::u16string_view text,
                                                             MatchingOptions options = {},
                                                             std::optional<Utf16Range> range = std::nullopt) const;

  struct Impl;

 private:
  std::shared_ptr<const Impl> impl_;
};

// The whole text as a UTF-16 range: location 0, length its UTF-16 length.
[[nodiscard]] Utf16Range wholeUtf16Range(std::string_view text);

// The part of a UTF-16 text that `range` covers, as UTF-8; stops the program
// for a range outside the text.
[[nodiscard]] std::string utf8Substring(std::u16string_view text, Utf16Range range);

}  // namespace vantrel
