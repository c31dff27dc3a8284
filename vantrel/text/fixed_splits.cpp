#include "vantrel/text/fixed_splits.h"

#include "vantrel/text/case_and_values.h"
#include "vantrel/text/characters.h"

namespace vantrel {

namespace {

// Byte cuts: the canonical search would keep CR LF whole and never find
// the line feed inside it.
std::vector<std::string> cutAtEveryOccurrence(std::string_view self, std::string_view separator) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (std::size_t at = self.find(separator); at != std::string_view::npos; at = self.find(separator, start)) {
    parts.emplace_back(self.substr(start, at - start));
    start = at + separator.size();
  }
  parts.emplace_back(self.substr(start));
  return parts;
}

// Slices between characters equal to `separator` (each separator here has
// one spelling, so equal bytes are canonical equality), empty ones left out.
std::vector<std::string_view> sliceAtCharacter(std::string_view self, std::string_view separator) {
  std::vector<std::string_view> slices;
  std::size_t start = 0;
  std::size_t at = 0;
  for (const std::string_view character : characters(self)) {
    if (character == separator) {
      if (at > start) slices.push_back(self.substr(start, at - start));
      start = at + character.size();
    }
    at += character.size();
  }
  if (self.size() > start) slices.push_back(self.substr(start));
  return slices;
}

}  // namespace

std::vector<std::string> componentsByD(std::string_view self) { return cutAtEveryOccurrence(self, kSeparatorD); }
std::vector<std::string> componentsByC(std::string_view self) { return cutAtEveryOccurrence(self, kSeparatorC); }
std::vector<std::string> componentsByS(std::string_view self) { return cutAtEveryOccurrence(self, kSeparatorS); }
std::vector<std::string> componentsByCS(std::string_view self) { return cutAtEveryOccurrence(self, kSeparatorCS); }
std::vector<std::string> componentsByNL(std::string_view self) { return cutAtEveryOccurrence(self, kSeparatorNL); }

std::vector<std::string_view> splitByD(std::string_view self) { return sliceAtCharacter(self, kSeparatorD); }
std::vector<std::string_view> splitByC(std::string_view self) { return sliceAtCharacter(self, kSeparatorC); }
std::vector<std::string_view> splitByS(std::string_view self) { return sliceAtCharacter(self, kSeparatorS); }
std::vector<std::string_view> splitByNL(std::string_view self) { return sliceAtCharacter(self, kSeparatorNL); }
std::vector<std::string_view> splitByCS(std::string_view self) { return split(self, kSeparatorCS, true); }

std::vector<std::string_view> split(std::string_view self, std::string_view separatorString,
                                    bool omittingEmptySubsequences) {
  std::vector<std::string_view> slices;
  const auto keep = [&](std::size_t from, std::size_t to) {
    if (to > from || !omittingEmptySubsequences) slices.push_back(self.substr(from, to - from));
  };
  std::size_t current = 0;
  for (const ByteRange& occurrence : rangesOf(self, separatorString)) {
    keep(current, occurrence.lowerBound);
    current = occurrence.upperBound;
  }
  // With the flag set, no slice is empty: not the last one, not the one of
  // a text equal to the separator, not the one of the empty text.
  keep(current, self.size());
  return slices;
}

}  // namespace vantrel
