#include "vantrel/text/file_names.h"

#include <cstdint>

#include "vantrel/core/console.h"
#include "vantrel/core/no_destructor.h"
#include "vantrel/core/range.h"
#include "vantrel/core/sort.h"
#include "vantrel/text/comparison.h"

namespace vantrel {

namespace {

const CharacterSet& controlCharacters() {
  static const NoDestructor<CharacterSet> set(
      CharacterSet::fromRange(0x00, 0x1F).union_(CharacterSet::fromRange(0x7F, 0x9F)));
  return *set;
}

const CharacterSet& invalidOrControl() {
  static const NoDestructor<CharacterSet> set(
      CharacterSet::vtInvalidForFilesystemCharacterSet().union_(controlCharacters()));
  return *set;
}

const CharacterSet& weakerInvalidOrControl() {
  static const NoDestructor<CharacterSet> set(
      CharacterSet::vtWeakerInvalidForFilesystemCharacterSet().union_(controlCharacters()));
  return *set;
}

// "." and ".." name the folder and its parent, "" names nothing: none of
// them may come out of a name that was there.
std::string usableName(std::string name, std::string_view original) {
  if (name == "." || name == ".." || (name.empty() && !original.empty())) return "_";
  return name;
}

// The text with each range replaced by `replacement` (ranges in order,
// disjoint). Bytes are written front to back, so no position moves.
std::string replacingRanges(std::string_view self, const std::vector<ByteRange>& ranges,
                            std::string_view replacement) {
  std::string out;
  out.reserve(self.size());
  std::size_t at = 0;
  for (const ByteRange& r : ranges) {
    out.append(self.substr(at, r.lowerBound - at));
    out.append(replacement);
    at = r.upperBound;
  }
  out.append(self.substr(at));
  return out;
}

}  // namespace

// ---- The fixed sets (members of CharacterSet) --------------------------------

const CharacterSet& CharacterSet::vtInvalidForFilesystemCharacterSet() {
  static const NoDestructor<CharacterSet> set(fromCharacters("():/\\%|\"<>?+&"));
  return *set;
}

const CharacterSet& CharacterSet::vtWeakerInvalidForFilesystemCharacterSet() {
  static const NoDestructor<CharacterSet> set(fromCharacters(":/\\|\"<>?+"));
  return *set;
}

const CharacterSet& CharacterSet::vtPortableForFilesystemCharacterSet() {
  static const NoDestructor<CharacterSet> set(
      fromCharacters("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789-_"));
  return *set;
}

const CharacterSet& CharacterSet::base32() {
  static const NoDestructor<CharacterSet> set(
      fromCharacters("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ234567"));
  return *set;
}

CharacterSet CharacterSet::URLVantrelAllCombinedAllowed() {
  return CharacterSet()
      .union_(urlUserAllowed())
      .union_(urlPasswordAllowed())
      .union_(urlHostAllowed())
      .union_(urlPathAllowed())
      .union_(urlQueryAllowed())
      .union_(urlFragmentAllowed());
}

std::vector<std::string> CharacterSet::vtContainingCharacters() const {
  std::vector<std::string> members;
  for (std::uint8_t plane = 0; plane <= 16; ++plane) {
    if (!hasMemberInPlane(plane)) continue;
    const char32_t first = static_cast<char32_t>(plane) << 16;
    for (char32_t c = first; c <= first + 0xFFFF; ++c) {
      if (c >= 0xD800 && c <= 0xDFFF) continue;
      if (contains(c)) members.push_back(stringFromScalar(c));
    }
  }
  return members;
}

void CharacterSet::debug_PrintNSURLCharacterSets() {
  const std::pair<std::string_view, const CharacterSet&> sets[] = {
      {"URLUserAllowedCharacterSet    ", urlUserAllowed()},
      {"URLPasswordAllowedCharacterSet", urlPasswordAllowed()},
      {"URLHostAllowedCharacterSet    ", urlHostAllowed()},
      {"URLPathAllowedCharacterSet    ", urlPathAllowed()},
      {"URLQueryAllowedCharacterSet   ", urlQueryAllowed()},
      {"URLFragmentAllowedCharacterSet", urlFragmentAllowed()},
  };
  for (const auto& [label, set] : sets) {
    std::string line(label);
    line += " is --> ";
    for (const std::string& member : stableSorted(set.vtContainingCharacters(), TextLess{})) line += member;
    line += " <--";
    consolePrint(line);
  }
}

// ---- Operations on texts -------------------------------------------------------

std::string vtSanetizeFilename(std::string_view self) {
  return usableName(stringByReplacingCharacterFromSet(self, invalidOrControl(), "_"), self);
}

std::string vtSanetizeFilenameWeaker(std::string_view self) {
  return usableName(stringByReplacingCharacterFromSet(self, weakerInvalidOrControl(), "_"), self);
}

std::string vtSanetizeFilenameWeaker_Old(std::string_view self) {
  return usableName(vtStringByStrippingCharactersInSet(self, weakerInvalidOrControl()), self);
}

std::string stringByReplacingCharacterFromSet(std::string_view self, const CharacterSet& set,
                                              std::string_view character) {
  const auto ranges = rangesOfCharactersIn(self, set);
  if (!ranges) return std::string(self);
  return replacingRanges(self, *ranges, character);
}

std::string stringByReplacingContinuousCharacterFromSet(std::string_view self, const CharacterSet& set,
                                                        std::string_view character) {
  const auto ranges = rangesOfCharactersIn(self, set);
  if (!ranges) return std::string(self);
  std::vector<Range<std::size_t>> asRanges;
  asRanges.reserve(ranges->size());
  for (const ByteRange& r : *ranges) asRanges.emplace_back(r.lowerBound, r.upperBound);
  std::vector<ByteRange> runs;
  for (const Range<std::size_t>& r : mergeAdjacentRanges(asRanges)) runs.push_back({r.lowerBound(), r.upperBound()});
  return replacingRanges(self, runs, character);
}

// Joining the pieces between member scalars with `replaceBy` is replacing
// each member scalar by it.
std::string vtStringByStrippingCharactersInSet(std::string_view self, const CharacterSet& set,
                                               std::string_view replaceBy) {
  return stringByReplacingCharacterFromSet(self, set, replaceBy);
}

std::string vtStringByKeepingCharactersInSet(std::string_view self, const CharacterSet& set,
                                             std::string_view replaceBy) {
  return vtStringByStrippingCharactersInSet(self, set.inverted(), replaceBy);
}

std::optional<std::vector<ByteRange>> rangesOfCharactersIn(std::string_view self, const CharacterSet& set,
                                                           std::optional<ByteRange> range) {
  const ByteRange whole = range.value_or(ByteRange{0, self.size()});
  std::vector<ByteRange> found;
  ByteRange rest = whole;
  while (auto match = rangeOfCharacter(self, set, rest)) {
    found.push_back(*match);
    rest = ByteRange{match->upperBound, whole.upperBound};
  }
  if (found.empty()) return std::nullopt;
  return found;
}

bool containsOnlyCharacters(std::string_view self, const CharacterSet& set) {
  for (const char32_t scalar : unicodeScalars(self)) {
    if (!set.contains(scalar)) return false;
  }
  return true;
}

bool isBase32(std::string_view self) { return containsOnlyCharacters(self, CharacterSet::base32()); }

bool containsNoCharacters(std::string_view self, const CharacterSet& set) {
  return !rangeOfCharacter(self, set).has_value();
}

}  // namespace vantrel
