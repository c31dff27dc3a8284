#include "vantrel/text/regex_matching.h"

#include <fmt/format.h>

#include "vantrel/core/fatal.h"

namespace vantrel {
namespace {

Utf16Range whole(std::u16string_view units) { return {0, static_cast<std::int64_t>(units.size())}; }

std::optional<RegularExpression> compiled(std::string_view pattern) {
  try {
    return RegularExpression(pattern);
  } catch (const RegularExpressionError&) {
    return std::nullopt;
  }
}

// Groups 1... of a match; a group that took no part is the empty text.
std::vector<std::string> groupTexts(std::u16string_view units, const TextCheckingResult& match) {
  std::vector<std::string> texts;
  for (std::size_t i = 1; i < match.ranges().size(); ++i) {
    const Utf16Range range = match.ranges()[i];
    texts.push_back(range.found() ? utf8Substring(units, range) : std::string());
  }
  return texts;
}

std::optional<std::vector<std::string>> expectedGroupsOfFirst(const RegularExpression& re,
                                                              std::u16string_view units,
                                                              std::int64_t expectedGroups,
                                                              std::optional<TextCheckingResult>* firstOut) {
  auto first = re.firstMatch(units);
  if (!first || first->numberOfRanges() - 1 != expectedGroups) return std::nullopt;
  auto texts = groupTexts(units, *first);
  if (firstOut) *firstOut = std::move(first);
  return texts;
}

bool isTrail(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }
bool isLead(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }

std::optional<std::pair<std::string, Utf16Range>> matchSingleFrom(const RegularExpression& re,
                                                                  std::u16string_view units,
                                                                  std::optional<std::int64_t> startPosition) {
  const auto length = static_cast<std::int64_t>(units.size());
  Utf16Range range = whole(units);
  if (startPosition) {
    const std::int64_t s = *startPosition;
    if (s < 0) fatal(fmt::format("Start position {} is negative", s));
    if (length - s <= 0) return std::nullopt;
    if (s > 0 && isLead(units[static_cast<std::size_t>(s - 1)]) && isTrail(units[static_cast<std::size_t>(s)])) {
      fatal(fmt::format("Start position {} splits a surrogate pair", s));
    }
    range = {s, length - s};
  }
  const auto first = re.firstMatch(units, {}, range);
  if (!first || first->numberOfRanges() != 2 || !first->rangeAt(1).found()) return std::nullopt;
  const Utf16Range group = first->rangeAt(1);
  return std::pair{utf8Substring(units, group), group};
}

}  // namespace

void enumerateMatchesInStringVt(const RegularExpression& self, std::string_view text, const MatchResultBlock& block) {
  self.enumerateMatches(text, {}, wholeUtf16Range(text), [&](const TextCheckingResult& match, bool&) { block(match); });
}

void enumerateMatchesInNsStringVt(const RegularExpression& self, std::string_view text,
                                  const MatchResultBlock& block) {
  enumerateMatchesInStringVt(self, text, block);
}

std::optional<TextCheckingResult> firstMatchInNsString(const RegularExpression& self, std::string_view text,
                                                       std::optional<Utf16Range> range) {
  return self.firstMatch(text, {}, range);
}

std::optional<std::string> firstMatchingStringInNsString(const RegularExpression& self, std::string_view text,
                                                         std::optional<Utf16Range> range) {
  const std::u16string units = utf16FromUtf8(text);
  const auto first = self.firstMatch(std::u16string_view(units), {}, range);
  if (!first || first->numberOfRanges() != 2 || !first->rangeAt(1).found()) return std::nullopt;
  return utf8Substring(units, first->rangeAt(1));
}

std::optional<std::vector<std::string>> matches(const RegularExpression& self, std::string_view text,
                                                std::int64_t expectedGroups) {
  const std::u16string units = utf16FromUtf8(text);
  return expectedGroupsOfFirst(self, units, expectedGroups, nullptr);
}

std::optional<std::pair<std::vector<std::string>, std::string>> matchesWithRest(const RegularExpression& self,
                                                                                std::string_view text,
                                                                                std::int64_t expectedGroups) {
  const std::u16string units = utf16FromUtf8(text);
  std::optional<TextCheckingResult> first;
  auto groups = expectedGroupsOfFirst(self, units, expectedGroups, &first);
  if (!groups) return std::nullopt;
  const std::int64_t end = first->range().upperBound();
  std::string rest = utf8Substring(units, {end, static_cast<std::int64_t>(units.size()) - end});
  return std::pair{std::move(*groups), std::move(rest)};
}

std::optional<std::string> vtMatchSingle(std::string_view self, std::string_view pattern) {
  const auto re = compiled(pattern);
  if (!re) return std::nullopt;
  const std::u16string units = utf16FromUtf8(self);
  const auto first = re->firstMatch(std::u16string_view(units));
  if (!first || first->numberOfRanges() < 2 || !first->rangeAt(1).found()) return std::nullopt;
  return utf8Substring(units, first->rangeAt(1));
}

std::vector<std::string> vtMatch(std::string_view self, std::string_view pattern) {
  const auto re = compiled(pattern);
  if (!re) return {};
  const std::u16string units = utf16FromUtf8(self);
  const auto first = re->firstMatch(std::u16string_view(units));
  if (!first) return {};
  return groupTexts(units, *first);
}

std::optional<std::vector<std::string>> vtMatch(std::string_view self, std::string_view pattern,
                                                std::int64_t expectedGroups) {
  const auto re = compiled(pattern);
  if (!re) return std::nullopt;
  const std::u16string units = utf16FromUtf8(self);
  return expectedGroupsOfFirst(*re, units, expectedGroups, nullptr);
}

std::optional<std::pair<std::string, Utf16Range>> vtMatchSingle(std::string_view self, std::string_view pattern,
                                                                std::optional<std::int64_t> startPosition) {
  const auto re = compiled(pattern);
  if (!re) return std::nullopt;
  const std::u16string units = utf16FromUtf8(self);
  return matchSingleFrom(*re, units, startPosition);
}

std::optional<std::vector<std::string>> vtMatchSingleAllInLine(std::string_view self, std::string_view pattern) {
  const auto re = compiled(pattern);
  if (!re) return std::nullopt;
  const std::u16string units = utf16FromUtf8(self);
  std::vector<std::string> found;
  std::int64_t start = 0;
  while (auto next = matchSingleFrom(*re, units, start)) {
    found.push_back(std::move(next->first));
    std::int64_t after = next->second.upperBound();
    if (after <= start) {
      // An empty group at the start would come back forever: step over one scalar.
      const bool pair = isLead(units[static_cast<std::size_t>(start)]) &&
                        static_cast<std::size_t>(start) + 1 < units.size() &&
                        isTrail(units[static_cast<std::size_t>(start) + 1]);
      after = start + (pair ? 2 : 1);
    }
    start = after;
  }
  if (found.empty()) return std::nullopt;
  return found;
}

}  // namespace vantrel
