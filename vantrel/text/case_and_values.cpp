#include "vantrel/text/case_and_values.h"

#include <fmt/format.h>

#include "vantrel/core/fatal.h"
#include "vantrel/core/no_destructor.h"
#include "vantrel/core/number_text.h"
#include "vantrel/core/uuid.h"
#include "vantrel/text/character_set.h"
#include "vantrel/text/characters.h"
#include "vantrel/text/comparison.h"
#include "vantrel/text/splitting.h"

namespace vantrel {

namespace {

// The first character mapped by `map`, the rest of the text as it is.
template <class Map>
std::string mapFirstCharacter(std::string_view self, Map map) {
  if (self.empty()) return {};
  const std::size_t end = byteOffsetOfCharacter(self, 1).value_or(self.size());
  std::string out = map(self.substr(0, end));
  out.append(self.substr(end));
  return out;
}

// Bytes of the text after its first `count` characters, for a text that
// has the prefix; stops when the count is outside what the text holds.
std::string_view withoutPrefix(std::string_view text, std::string_view prefix, std::int64_t count) {
  if (!hasPrefix(text, prefix)) return text;
  const auto offset = byteOffsetOfCharacter(text, count);
  if (!offset) {
    fatal(fmt::format("lessThen: prefixLength {} is outside 0...{} (the character count of \"{}\")", count,
                      characterCount(text), text));
  }
  return text.substr(*offset);
}

std::string stringWithScalar(std::int64_t scalar, std::string_view name) {
  if (scalar < 0 || scalar > 0x10FFFF || (scalar >= 0xD800 && scalar <= 0xDFFF)) {
    fatal(fmt::format("{}: {} is not a Unicode scalar value", name, scalar));
  }
  return stringFromScalar(static_cast<char32_t>(scalar));
}

}  // namespace

std::string capitalizingFirstLetter(std::string_view self) {
  return mapFirstCharacter(self, [](std::string_view c) { return titlecased(c); });
}

void capitalizeFirstLetter(std::string& self) { self = capitalizingFirstLetter(self); }

std::string lowercasingFirstLetter(std::string_view self) {
  return mapFirstCharacter(self, [](std::string_view c) { return lowercased(c); });
}

void lowercaseFirstLetter(std::string& self) { self = lowercasingFirstLetter(self); }

std::string capitalizedFirstCharacterString(std::string_view self) {
  return mapFirstCharacter(self, [](std::string_view c) { return uppercased(c); });
}

std::string lowercasedFirstCharacterString(std::string_view self) { return lowercasingFirstLetter(self); }

namespace StringSort {
const Ordering& incaseSensitive() {
  static const NoDestructor<Ordering> ordering(
      [](std::string_view a, std::string_view b) { return textLess(lowercased(a), lowercased(b)); });
  return *ordering;
}
}  // namespace StringSort

LowercasedStringWrapper::LowercasedStringWrapper(std::string string)
    : string_(std::move(string)), lowercased_(vantrel::lowercased(string_)) {}

void LowercasedStringWrapper::setString(std::string string) {
  string_ = std::move(string);
  lowercased_ = vantrel::lowercased(string_);
}

bool operator==(const LowercasedStringWrapper& a, const LowercasedStringWrapper& b) {
  return textEqual(a.lowercased_, b.lowercased_);
}

bool operator<(const LowercasedStringWrapper& a, const LowercasedStringWrapper& b) {
  return textLess(a.lowercased_, b.lowercased_);
}

bool hasMultipleLines(std::string_view self) {
  const auto first = rangeOfCharacter(self, CharacterSet::newlines());
  return first && first->upperBound != self.size();
}

std::int64_t numberOfLines(std::string_view self) {
  return static_cast<std::int64_t>(splitSeparatorSet(self, CharacterSet::newlines(), false).size());
}

std::int64_t numberOfNonEmptyLines(std::string_view self) {
  std::int64_t count = 0;
  for (const std::string& piece : componentsSeparatedBySet(self, CharacterSet::newlines())) {
    if (!piece.empty()) ++count;
  }
  return count;
}

bool lessThen(std::string_view self, std::string_view other, std::string_view ignoringPrefix,
              std::int64_t prefixLength) {
  if (prefixLength < 0) fatal(fmt::format("lessThen: prefixLength {} is negative", prefixLength));
  return textLess(withoutPrefix(self, ignoringPrefix, prefixLength),
                  withoutPrefix(other, ignoringPrefix, prefixLength));
}

CommonPrefix hasCommonPrefix(std::string_view self, std::string_view other) {
  const std::vector<std::string_view> a = characters(self);
  const std::vector<std::string_view> b = characters(other);
  std::size_t n = 0;
  std::size_t bytesA = 0;
  std::size_t bytesB = 0;
  while (n < a.size() && n < b.size() && textEqual(a[n], b[n])) {
    bytesA += a[n].size();
    bytesB += b[n].size();
    ++n;
  }
  if (n == 0) return {std::nullopt, std::string(self), std::string(other)};
  const auto rest = [](std::string_view text, std::size_t from) -> std::optional<std::string> {
    if (from == text.size()) return std::nullopt;
    return std::string(text.substr(from));
  };
  return {std::string(self.substr(0, bytesA)), rest(self, bytesA), rest(other, bytesB)};
}

std::optional<bool> isCharacterTristate(std::string_view self, std::string_view trueCharacter,
                                        std::string_view falseCharacter, bool lowercaseSource) {
  const std::string source = lowercaseSource ? lowercased(self) : std::string(self);
  if (textEqual(source, trueCharacter)) return true;
  if (textEqual(source, falseCharacter)) return false;
  return std::nullopt;
}

std::optional<bool> makeBool(std::string_view self) {
  const std::string word = lowercased(self);
  for (std::string_view yes : {"true", "yes", "1"}) {
    if (textEqual(word, yes)) return true;
  }
  for (std::string_view no : {"false", "no", "0"}) {
    if (textEqual(word, no)) return false;
  }
  return std::nullopt;
}

std::optional<bool> vtBool(std::string_view self) { return makeBool(self); }

std::optional<std::int64_t> makeInt(std::string_view self) { return parseInt64(self); }

std::optional<std::int64_t> vtInt(std::string_view self) { return makeInt(self); }

std::optional<double> makeDouble(std::string_view self) {
  for (const char c : self) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x80 || byte == ' ' || (byte >= '\t' && byte <= '\r')) return std::nullopt;
  }
  return parseDoubleSaturating(self);
}

std::optional<double> vtDouble(std::string_view self) { return makeDouble(self); }

std::string stringWithAscii(std::int64_t scalar) { return stringWithScalar(scalar, "stringWithAscii"); }

std::string stringWithLatin1(std::int64_t scalar) { return stringWithScalar(scalar, "stringWithLatin1"); }

bool isUuidString(std::string_view self) { return UUID::fromString(self).has_value(); }

std::vector<ByteRange> rangesOf(std::string_view self, std::string_view search, SearchOptions options,
                                std::optional<ByteRange> range) {
  const ByteRange whole = range.value_or(ByteRange{0, self.size()});
  std::vector<ByteRange> found;
  ByteRange rest = whole;
  while (auto match = rangeOf(self, search, options, rest)) {
    if (match->upperBound <= rest.lowerBound) break;  // a search text never matches empty; guard anyway
    found.push_back(*match);
    rest = ByteRange{match->upperBound, whole.upperBound};
  }
  return found;
}

std::vector<ByteRange> rangesOfString(std::string_view self, std::string_view search, SearchOptions options,
                                      std::optional<ByteRange> searchRange) {
  return rangesOf(self, search, options, searchRange);
}

}  // namespace vantrel

std::size_t std::hash<vantrel::LowercasedStringWrapper>::operator()(
    const vantrel::LowercasedStringWrapper& value) const noexcept {
  return vantrel::textHash(value.lowercased());
}
