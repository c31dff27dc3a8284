#include "vantrel/text/trimming.h"

#include "vantrel/text/character_set.h"
#include "vantrel/text/characters.h"
#include "vantrel/text/splitting.h"
#include "vantrel/text/string_services.h"

namespace vantrel {
namespace {

std::string stripped(std::string_view self, const CharacterSet& set) {
  std::string out;
  out.reserve(self.size());
  for (const std::string_view piece : splitSeparatorSet(self, set, true)) out.append(piece);
  return out;
}

}  // namespace

std::string stringByTrimmingWhiteSpaces(std::string_view self) {
  return trimmingCharacters(self, CharacterSet::whitespaces());
}

std::string stringByTrimmingWhiteSpacesAndNewlines(std::string_view self) {
  return trimmingCharacters(self, CharacterSet::whitespacesAndNewlines());
}

std::string vtStringByStrippingWhiteSpaces(std::string_view self) {
  return stripped(self, CharacterSet::whitespaces());
}

std::string vtStringByStrippingWhiteSpacesAndNewlines(std::string_view self) {
  return stripped(self, CharacterSet::whitespacesAndNewlines());
}

std::string droppingPrefix(std::string_view self, std::string_view prefix) {
  const auto covered = prefixMatchLength(self, prefix);
  return std::string(covered ? self.substr(*covered) : self);
}

std::string vtStringByRemovingPrefix(std::string_view self, std::string_view prefix) {
  return droppingPrefix(self, prefix);
}

std::string droppingSuffix(std::string_view self, std::string_view suffix) {
  const auto covered = suffixMatchLength(self, suffix);
  return std::string(covered ? self.substr(0, self.size() - *covered) : self);
}

std::string vtStringByRemovingSuffix(std::string_view self, std::string_view suffix) {
  return droppingSuffix(self, suffix);
}

void dropPrefix(std::string& self, std::string_view prefix) {
  if (const auto covered = prefixMatchLength(self, prefix)) self.erase(0, *covered);
}

void dropSuffix(std::string& self, std::string_view suffix) {
  if (const auto covered = suffixMatchLength(self, suffix)) self.erase(self.size() - *covered);
}

std::string ensuringPrefix(std::string_view self, std::string_view prefix) {
  if (hasPrefix(self, prefix)) return std::string(self);
  std::string out(prefix);
  out.append(self);
  return out;
}

std::string ensuringSuffix(std::string_view self, std::string_view suffix) {
  std::string out(self);
  if (!hasSuffix(self, suffix)) out.append(suffix);
  return out;
}

void ensurePrefix(std::string& self, std::string_view prefix) {
  if (!hasPrefix(self, prefix)) self.insert(0, prefix);
}

void ensureSuffix(std::string& self, std::string_view suffix) {
  if (!hasSuffix(self, suffix)) self.append(suffix);
}

std::string wrapInQuotes(std::string_view self) { return wrapIn(self, "\"", "\""); }

std::string wrapIn(std::string_view self, std::string_view around) { return wrapIn(self, around, around); }

std::string wrapIn(std::string_view self, std::string_view before, std::string_view after) {
  std::string out;
  out.reserve(before.size() + self.size() + after.size());
  out.append(before).append(self).append(after);
  return out;
}

std::string appendingIf(std::string_view self, std::string_view suffix, bool condition) {
  std::string out(self);
  if (condition) out.append(suffix);
  return out;
}

std::optional<std::string> stringWhenNotEmpty(std::string_view self) {
  if (self.empty()) return std::nullopt;
  return std::string(self);
}

std::optional<std::string> vtAtLeastOneCharacter(std::string_view self) { return stringWhenNotEmpty(self); }

std::optional<std::string> stringWhenMoreThan(std::string_view self, std::int64_t count) {
  if (characterCount(self) < count) return std::nullopt;
  return std::string(self);
}

}  // namespace vantrel
