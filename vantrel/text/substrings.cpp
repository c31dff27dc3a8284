#include "vantrel/text/substrings.h"

#include <fmt/format.h>

#include "vantrel/core/checked.h"
#include "vantrel/core/fatal.h"
#include "vantrel/text/characters.h"

namespace vantrel {
namespace {

// Byte offset of character `offset`, which must lie in 0...count.
std::size_t checkedOffset(std::string_view self, std::int64_t offset, const char* what) {
  if (const auto bytes = byteOffsetOfCharacter(self, offset)) return *bytes;
  fatal(fmt::format("{} {} out of range 0...{}", what, offset, characterCount(self)));
}

std::string cut(std::string_view self, std::size_t begin, std::size_t end) {
  return std::string(self.substr(begin, end - begin));
}

// Byte range of the characters lower..<upper, or nullopt when outside 0...count.
std::optional<ByteRange> characterRange(std::string_view self, std::int64_t lower, std::int64_t upper) {
  if (upper < lower) fatal(fmt::format("Range {}..<{} has its upper bound below its lower bound", lower, upper));
  const auto begin = byteOffsetOfCharacter(self, lower);
  if (!begin) return std::nullopt;
  const auto end = byteOffsetOfCharacter(self, upper);
  if (!end) return std::nullopt;
  return ByteRange{*begin, *end};
}

}  // namespace

std::string vtStringTo(std::string_view self, std::int64_t n) {
  if (n < 0) fatal(fmt::format("Character count {} is negative", n));
  return cut(self, 0, byteOffsetOfCharacter(self, n).value_or(self.size()));
}

std::string vtStringFromTo(std::string_view self, std::int64_t from, std::optional<std::int64_t> to) {
  const std::size_t begin = checkedOffset(self, from, "Character offset");
  if (!to) return cut(self, begin, self.size());
  if (*to < from) fatal(fmt::format("Character offset {} is before the start offset {}", *to, from));
  return cut(self, begin, checkedOffset(self, *to, "Character offset"));
}

std::string vtStringFromLength(std::string_view self, std::int64_t from, std::int64_t length) {
  if (length < 0) fatal(fmt::format("Character length {} is negative", length));
  return vtStringFromTo(self, from, checkedAdd(from, length));
}

std::string vtStringAt(std::string_view self, std::int64_t offset) {
  const auto begin = byteOffsetOfCharacter(self, offset);
  const auto end = offset == INT64_MAX ? std::nullopt : byteOffsetOfCharacter(self, offset + 1);
  if (!begin || !end) {
    fatal(fmt::format("Character offset {} out of range 0..<{}", offset, characterCount(self)));
  }
  return cut(self, *begin, *end);
}

std::string vtStringFromStartOffseted(std::string_view self, std::int64_t fromStartOffseted,
                                      std::int64_t toEndOffseted) {
  if (toEndOffseted > 0) fatal(fmt::format("End offset {} is positive", toEndOffseted));
  const std::size_t begin = checkedOffset(self, fromStartOffseted, "Character offset");
  const auto end = toEndOffseted == INT64_MIN ? std::nullopt : byteOffsetOfCharacterFromEnd(self, -toEndOffseted);
  if (!end || *end < begin) {
    fatal(fmt::format("Offsets {} and {} leave no valid range in {} characters", fromStartOffseted, toEndOffseted,
                      characterCount(self)));
  }
  return cut(self, begin, *end);
}

namespace {

// Where the search starts (bytes), or nullopt for a start offset equal to the
// count, which answers the whole text without searching.
std::optional<std::size_t> searchStart(std::string_view self, std::optional<std::int64_t> startOffset) {
  if (!startOffset) return 0;
  const std::size_t begin = checkedOffset(self, *startOffset, "Start offset");
  if (begin == self.size()) return std::nullopt;
  return begin;
}

}  // namespace

std::string vtStringAfter(std::string_view self, std::string_view search, std::optional<std::int64_t> startOffset) {
  const auto begin = searchStart(self, startOffset);
  if (!begin) return std::string(self);
  const auto found = rangeOf(self, search, {}, ByteRange{*begin, self.size()});
  if (!found) return startOffset ? std::string(self) : std::string();
  return cut(self, found->upperBound, self.size());
}

std::string vtStringUpTo(std::string_view self, std::string_view search, std::optional<std::int64_t> startOffset) {
  const auto begin = searchStart(self, startOffset);
  if (!begin) return std::string(self);
  const auto found = rangeOf(self, search, {}, ByteRange{*begin, self.size()});
  if (!found) return std::string(self);
  return cut(self, 0, found->lowerBound);
}

std::optional<std::string> subscriptRange(std::string_view self, std::int64_t lower, std::int64_t upper) {
  if (upper < lower) fatal(fmt::format("Range {}..<{} has its upper bound below its lower bound", lower, upper));
  if (lower < 0) return std::nullopt;
  const auto range = characterRange(self, lower, upper);
  // An empty range at the end (0..<0 of the empty text too) has no first character.
  if (!range || range->lowerBound == self.size()) return std::nullopt;
  return cut(self, range->lowerBound, range->upperBound);
}

std::optional<std::string> subscriptClosedRange(std::string_view self, std::int64_t lower, std::int64_t upper) {
  if (upper < lower) fatal(fmt::format("Range {}...{} has its upper bound below its lower bound", lower, upper));
  if (lower < 0 || upper == INT64_MAX) return std::nullopt;
  const auto range = characterRange(self, lower, upper + 1);
  if (!range) return std::nullopt;
  return cut(self, range->lowerBound, range->upperBound);
}

std::string subscriptRangeForced(std::string_view self, std::int64_t lower, std::int64_t upper) {
  const auto range = lower < 0 ? std::nullopt : characterRange(self, lower, upper);
  if (!range) fatal(fmt::format("Range {}..<{} out of range 0..<{}", lower, upper, characterCount(self)));
  return cut(self, range->lowerBound, range->upperBound);
}

std::string subscriptClosedRangeForced(std::string_view self, std::int64_t lower, std::int64_t upper) {
  if (upper < lower) fatal(fmt::format("Range {}...{} has its upper bound below its lower bound", lower, upper));
  const auto range =
      lower < 0 || upper == INT64_MAX ? std::nullopt : characterRange(self, lower, upper + 1);
  if (!range) fatal(fmt::format("Range {}...{} out of range 0..<{}", lower, upper, characterCount(self)));
  return cut(self, range->lowerBound, range->upperBound);
}

std::string firstLetterString(std::string_view self) {
  if (self.empty()) fatal("firstLetterString of the empty text");
  return vtStringTo(self, 1);
}

ByteRange fullRange(std::string_view self) { return {0, self.size()}; }

std::string q_(std::string_view self) {
  std::string out;
  out.reserve(self.size() + 2);
  out.push_back('"');
  out.append(self);
  out.push_back('"');
  return out;
}

std::string vtSubstringToPosition(std::string_view self, std::int64_t n) { return vtStringTo(self, n); }
std::string vtSubstringFrom(std::string_view self, std::int64_t from, std::optional<std::int64_t> to) {
  return vtStringFromTo(self, from, to);
}
std::string vtSubstringFromWithLength(std::string_view self, std::int64_t from, std::int64_t withLength) {
  return vtStringFromLength(self, from, withLength);
}
std::string vtSubstringAt(std::string_view self, std::int64_t offset) { return vtStringAt(self, offset); }
std::string substring(std::string_view self, std::int64_t fromStartOffseted, std::int64_t toEndOffseted) {
  return vtStringFromStartOffseted(self, fromStartOffseted, toEndOffseted);
}
std::string vtSubstringToString(std::string_view self, std::string_view search) {
  return vtStringUpTo(self, search, std::nullopt);
}
std::string vtSubstringUpToFirstOccurrenceOf(std::string_view self, std::string_view search,
                                             std::optional<std::int64_t> startOffset) {
  return vtStringUpTo(self, search, startOffset);
}
std::string vtSubstringAfterFirstOccurrenceOf(std::string_view self, std::string_view search,
                                              std::optional<std::int64_t> startOffset) {
  return vtStringAfter(self, search, startOffset);
}

}  // namespace vantrel
