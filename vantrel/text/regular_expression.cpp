#include "vantrel/text/regular_expression.h"

#include <unicode/errorcode.h>
#include <unicode/regex.h>
#include <unicode/unistr.h>

#include <atomic>
#include <utility>

#include <fmt/format.h>

#include "vantrel/core/fatal.h"
#include "vantrel/text/internal/regular_expression_limits.h"
#include "vantrel/text/internal/utf8.h"

namespace vantrel {
namespace text_internal {
namespace {
std::atomic<std::int32_t> timeLimit{text_internal::kDefaultRegularExpressionTimeLimit};
}  // namespace

void setRegularExpressionTimeLimit(std::int32_t limit) { timeLimit.store(limit < 0 ? 0 : limit); }
std::int32_t regularExpressionTimeLimit() { return timeLimit.load(); }

}  // namespace text_internal

struct RegularExpression::Impl {
  std::string pattern;
  RegularExpressionOptions options;
  std::unique_ptr<icu::RegexPattern> compiled;
  std::int64_t groupCount = 0;
};

namespace {

std::uint32_t icuFlags(RegularExpressionOptions options) {
  using O = RegularExpressionOptions;
  std::uint32_t flags = 0;
  if (options.contains(O::caseInsensitive)) flags |= UREGEX_CASE_INSENSITIVE;
  if (options.contains(O::allowCommentsAndWhitespace)) flags |= UREGEX_COMMENTS;
  if (options.contains(O::ignoreMetacharacters)) flags |= UREGEX_LITERAL;
  if (options.contains(O::dotMatchesLineSeparators)) flags |= UREGEX_DOTALL;
  if (options.contains(O::anchorsMatchLines)) flags |= UREGEX_MULTILINE;
  if (options.contains(O::useUnixLineSeparators)) flags |= UREGEX_UNIX_LINES;
  if (options.contains(O::useUnicodeWordBoundaries)) flags |= UREGEX_UWORD;
  return flags;
}

bool isLead(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool isTrail(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

bool splitsPair(std::u16string_view text, std::int64_t offset) {
  const auto at = static_cast<std::size_t>(offset);
  return at > 0 && at < text.size() && isLead(text[at - 1]) && isTrail(text[at]);
}

void checkRange(std::u16string_view text, Utf16Range range) {
  const auto length = static_cast<std::int64_t>(text.size());
  if (range.location < 0 || range.length < 0 || range.location > length || range.length > length - range.location) {
    fatal(fmt::format("Search range {{{}, {}}} out of range of a text of UTF-16 length {}", range.location,
                      range.length, length));
  }
  if (splitsPair(text, range.location) || splitsPair(text, range.upperBound())) {
    fatal(fmt::format("Search range {{{}, {}}} splits a surrogate pair", range.location, range.length));
  }
}

}  // namespace

RegularExpressionError::RegularExpressionError(std::string errorName, std::int64_t offset)
    : Error(std::move(errorName)), offset_(offset) {}

TextCheckingResult::TextCheckingResult(std::vector<Utf16Range> ranges) : ranges_(std::move(ranges)) {
  if (ranges_.empty()) fatal("A match result needs at least the range of the whole match");
}

Utf16Range TextCheckingResult::rangeAt(std::int64_t index) const {
  if (index < 0 || index >= numberOfRanges()) {
    fatal(fmt::format("Range index {} out of range 0..<{}", index, numberOfRanges()));
  }
  return ranges_[static_cast<std::size_t>(index)];
}

std::string TextCheckingResult::description() const {
  return fmt::format("<TextCheckingResult>{{{}, {}}}", range().location, range().length);
}

RegularExpression::RegularExpression(std::string_view pattern, RegularExpressionOptions options) {
  auto impl = std::make_shared<Impl>();
  impl->pattern = std::string(pattern);
  impl->options = options;
  UParseError parseError{};
  UErrorCode status = U_ZERO_ERROR;
  const icu::UnicodeString source =
      icu::UnicodeString::fromUTF8(icu::StringPiece(pattern.data(), text_internal::icuLength(pattern)));
  impl->compiled.reset(icu::RegexPattern::compile(source, icuFlags(options), parseError, status));
  if (U_FAILURE(status) || !impl->compiled) {
    const std::int64_t offset = parseError.offset >= 0 ? parseError.offset : -1;
    throw RegularExpressionError(u_errorName(status), offset);
  }
  std::unique_ptr<icu::RegexMatcher> probe(impl->compiled->matcher(status));
  if (U_FAILURE(status) || !probe) throw RegularExpressionError(u_errorName(status), -1);
  impl->groupCount = probe->groupCount();
  impl_ = std::move(impl);
}

const std::string& RegularExpression::pattern() const { return impl_->pattern; }
RegularExpressionOptions RegularExpression::options() const { return impl_->options; }
std::int64_t RegularExpression::numberOfCaptureGroups() const { return impl_->groupCount; }

void RegularExpression::enumerateMatches(std::string_view text, MatchingOptions options, Utf16Range range,
                                         const MatchBlock& block) const {
  const std::u16string units = utf16FromUtf8(text);
  enumerateMatches(std::u16string_view(units), options, range, block);
}

void RegularExpression::enumerateMatches(std::u16string_view text, MatchingOptions options, Utf16Range range,
                                         const MatchBlock& block) const {
  if (text.size() > static_cast<std::size_t>(INT32_MAX)) fatal("Text too long for a regular expression");
  checkRange(text, range);
  // Read-only alias: the matcher never writes to its input.
  const icu::UnicodeString input(false, text.data(), static_cast<std::int32_t>(text.size()));
  UErrorCode status = U_ZERO_ERROR;
  std::unique_ptr<icu::RegexMatcher> matcher(impl_->compiled->matcher(input, status));
  if (U_FAILURE(status) || !matcher) return;
  const auto start = static_cast<std::int32_t>(range.location);
  const auto limit = static_cast<std::int32_t>(range.upperBound());
  matcher->region(start, limit, status);
  matcher->useTransparentBounds(options.contains(MatchingOptions::withTransparentBounds));
  matcher->useAnchoringBounds(!options.contains(MatchingOptions::withoutAnchoringBounds));
  if (const std::int32_t timeLimit = text_internal::regularExpressionTimeLimit(); timeLimit > 0) {
    matcher->setTimeLimit(timeLimit, status);
  }
  if (U_FAILURE(status)) return;
  const bool anchored = options.contains(MatchingOptions::anchored);
  std::int32_t expectedStart = start;
  const std::int32_t groups = matcher->groupCount();
  std::vector<Utf16Range> ranges;
  while (true) {
    status = U_ZERO_ERROR;
    if (!matcher->find(status) || U_FAILURE(status)) return;
    const std::int32_t matchStart = matcher->start(status);
    const std::int32_t matchEnd = matcher->end(status);
    if (U_FAILURE(status)) return;
    if (anchored && matchStart != expectedStart) return;
    expectedStart = matchEnd;
    ranges.clear();
    ranges.push_back({matchStart, matchEnd - matchStart});
    for (std::int32_t g = 1; g <= groups; ++g) {
      const std::int32_t s = matcher->start(g, status);
      const std::int32_t e = matcher->end(g, status);
      if (U_FAILURE(status)) return;
      ranges.push_back(s < 0 ? Utf16Range{NotFound, 0} : Utf16Range{s, e - s});
    }
    bool stop = false;
    block(TextCheckingResult(ranges), stop);
    if (stop) return;
  }
}

std::vector<TextCheckingResult> RegularExpression::matches(std::string_view text, MatchingOptions options,
                                                           std::optional<Utf16Range> range) const {
  const std::u16string units = utf16FromUtf8(text);
  std::vector<TextCheckingResult> found;
  enumerateMatches(std::u16string_view(units), options,
                   range.value_or(Utf16Range{0, static_cast<std::int64_t>(units.size())}),
                   [&](const TextCheckingResult& match, bool&) { found.push_back(match); });
  return found;
}

std::int64_t RegularExpression::numberOfMatches(std::string_view text, MatchingOptions options,
                                                std::optional<Utf16Range> range) const {
  const std::u16string units = utf16FromUtf8(text);
  std::int64_t count = 0;
  enumerateMatches(std::u16string_view(units), options,
                   range.value_or(Utf16Range{0, static_cast<std::int64_t>(units.size())}),
                   [&](const TextCheckingResult&, bool&) { ++count; });
  return count;
}

std::optional<TextCheckingResult> RegularExpression::firstMatch(std::string_view text, MatchingOptions options,
                                                                std::optional<Utf16Range> range) const {
  const std::u16string units = utf16FromUtf8(text);
  return firstMatch(std::u16string_view(units), options, range);
}

std::optional<TextCheckingResult> RegularExpression::firstMatch(std::u16string_view text, MatchingOptions options,
                                                                std::optional<Utf16Range> range) const {
  std::optional<TextCheckingResult> first;
  enumerateMatches(text, options, range.value_or(Utf16Range{0, static_cast<std::int64_t>(text.size())}),
                   [&](const TextCheckingResult& match, bool& stop) {
                     first = match;
                     stop = true;
                   });
  return first;
}

Utf16Range wholeUtf16Range(std::string_view text) { return {0, utf16Length(text)}; }

std::string utf8Substring(std::u16string_view text, Utf16Range range) {
  const auto length = static_cast<std::int64_t>(text.size());
  if (range.location < 0 || range.length < 0 || range.location > length || range.length > length - range.location) {
    fatal(fmt::format("UTF-16 range {{{}, {}}} out of range of a text of UTF-16 length {}", range.location,
                      range.length, length));
  }
  return utf8FromUtf16(text.substr(static_cast<std::size_t>(range.location), static_cast<std::size_t>(range.length)));
}

}  // namespace vantrel
