#include "vantrel/text/splitting.h"

#include "vantrel/text/characters.h"
#include "vantrel/text/internal/utf8.h"
#include "vantrel/text/string_services.h"

namespace vantrel {

std::optional<std::pair<std::string, std::string>> componentsSeparatedByIntoTwoPartsNilIfNotFound(
    std::string_view self, std::string_view separator) {
  const auto parts = splitDividedAt(self, separator);
  if (!parts) return std::nullopt;
  return std::pair{std::string(parts->first), std::string(parts->second)};
}

std::pair<std::string, std::string> componentsSeparatedByIntoTwoParts(std::string_view self,
                                                                      std::string_view separator) {
  if (auto parts = componentsSeparatedByIntoTwoPartsNilIfNotFound(self, separator)) return std::move(*parts);
  return {std::string(self), std::string()};
}

std::pair<std::string, std::string> componentsDividedAt(std::string_view self, std::string_view separator) {
  return componentsSeparatedByIntoTwoParts(self, separator);
}

std::pair<std::string, std::string> vtSplitAtFirstOccurrenceOf(std::string_view self, std::string_view separator) {
  return componentsSeparatedByIntoTwoParts(self, separator);
}

std::optional<std::pair<std::string_view, std::string_view>> splitDividedAt(std::string_view self,
                                                                            std::string_view separator) {
  const auto found = rangeOf(self, separator);
  if (!found) return std::nullopt;
  return std::pair{self.substr(0, found->lowerBound), self.substr(found->upperBound)};
}

std::vector<std::string> componentsSeparatedByStringTrimmed(std::string_view self, std::string_view separator,
                                                            const CharacterSet& set) {
  std::vector<std::string> parts = componentsSeparatedBy(self, separator);
  for (std::string& part : parts) part = trimmingCharacters(part, set);
  return parts;
}

std::vector<std::string> componentsSeparatedByKeeping(std::string_view self, std::string_view separator) {
  std::vector<std::string> parts = componentsSeparatedBy(self, separator);
  for (std::size_t i = 0; i + 1 < parts.size(); ++i) parts[i].append(separator);
  return parts;
}

std::optional<std::vector<std::string>> componentsSeparatedByExpectedCount(std::string_view self,
                                                                          std::string_view separator,
                                                                          std::int64_t expectedCount) {
  std::vector<std::string> parts = componentsSeparatedBy(self, separator);
  if (static_cast<std::int64_t>(parts.size()) != expectedCount) return std::nullopt;
  return parts;
}

std::vector<std::string_view> splitSeparatorSet(std::string_view self, const CharacterSet& set,
                                                bool omittingEmptySubsequences) {
  std::vector<std::string_view> slices;
  const auto emit = [&](std::size_t begin, std::size_t end) {
    if (begin == end && omittingEmptySubsequences) return;
    slices.push_back(self.substr(begin, end - begin));
  };
  const std::vector<std::size_t> bounds = characterBoundaries(self);
  std::size_t start = 0;
  for (std::size_t i = 0; i + 1 < bounds.size(); ++i) {
    const auto first = text_internal::decodeScalar(self, bounds[i]);
    if (set.contains(first.scalar)) {
      emit(start, bounds[i]);
      start = bounds[i + 1];
    }
  }
  if (!(self.empty() && omittingEmptySubsequences)) emit(start, self.size());
  return slices;
}

SearchTerms extractSearchTerms(std::string_view self, const std::vector<std::string>& tagNames) {
  SearchTerms result;
  for (std::string& word : componentsSeparatedByStringTrimmed(self, " ", CharacterSet::whitespaces())) {
    if (word.empty()) continue;
    bool tagged = false;
    for (const std::string& tag : tagNames) {
      const std::string prefix = tag + ":";
      const auto covered = prefixMatchLength(word, prefix);
      if (!covered || *covered == word.size()) continue;
      result.taggedTerms.push_back({tag, word.substr(*covered)});
      tagged = true;
      break;
    }
    if (!tagged) result.terms.push_back(std::move(word));
  }
  return result;
}

}  // namespace vantrel
