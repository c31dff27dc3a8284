#include "vantrel/text/regex.h"

#include <fmt/format.h>

#include "vantrel/core/fatal.h"

namespace vantrel {
namespace {

std::vector<std::optional<std::string>> groupTexts(std::u16string_view units, const TextCheckingResult& match) {
  std::vector<std::optional<std::string>> entry;
  entry.reserve(match.ranges().size());
  for (const Utf16Range& range : match.ranges()) {
    if (range.found()) {
      entry.emplace_back(utf8Substring(units, range));
    } else {
      entry.emplace_back(std::nullopt);
    }
  }
  return entry;
}

}  // namespace

Regex::Regex(std::string_view pattern, RegularExpressionOptions options) : matcher_(pattern, options) {}

bool Regex::match(std::string_view text, MatchingOptions options) const {
  return matcher_.firstMatch(text, options).has_value();
}

std::vector<std::string> Regex::matchingsOf(std::string_view text, MatchingOptions options) const {
  const std::u16string units = utf16FromUtf8(text);
  std::vector<std::string> found;
  matcher_.enumerateMatches(std::u16string_view(units), options, {0, static_cast<std::int64_t>(units.size())},
                            [&](const TextCheckingResult& match, bool&) {
                              found.push_back(utf8Substring(units, match.range()));
                            });
  return found;
}

std::vector<std::vector<std::optional<std::string>>> Regex::matchingGroupsOf(std::string_view text,
                                                                            MatchingOptions options) const {
  const std::u16string units = utf16FromUtf8(text);
  std::vector<std::vector<std::optional<std::string>>> found;
  matcher_.enumerateMatches(std::u16string_view(units), options, {0, static_cast<std::int64_t>(units.size())},
                            [&](const TextCheckingResult& match, bool&) { found.push_back(groupTexts(units, match)); });
  return found;
}

std::vector<std::optional<std::string>> Regex::groupsOfFirstMatch(std::string_view text,
                                                                  MatchingOptions options) const {
  const std::u16string units = utf16FromUtf8(text);
  const auto first = matcher_.firstMatch(std::u16string_view(units), options);
  if (!first) return {};
  return groupTexts(units, *first);
}

inline namespace literals {

Regex operator""_regex(const char* pattern, std::size_t length) {
  try {
    return Regex(std::string_view(pattern, length));
  } catch (const RegularExpressionError& e) {
    fatal(fmt::format("Regex literal \"{}\" does not compile: {}", std::string_view(pattern, length), e.description()));
  }
}

}  // namespace literals
}  // namespace vantrel
