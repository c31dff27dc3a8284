#include "vantrel/text/character_set.h"

#include <bitset>

#include <unicode/uchar.h>
#include <unicode/uniset.h>
#include <unicode/unistr.h>

#include "vantrel/core/fatal.h"
#include "vantrel/core/no_destructor.h"
#include "vantrel/text/characters.h"
#include "vantrel/text/internal/utf8.h"

namespace vantrel {

struct CharacterSet::Impl {
  icu::UnicodeSet set;
  std::bitset<128> ascii;  // membership of U+0000...U+007F without calling ICU

  explicit Impl(icu::UnicodeSet s) : set(std::move(s)) {
    set.freeze();
    for (UChar32 c = 0; c < 128; ++c) ascii[static_cast<std::size_t>(c)] = set.contains(c) != 0;
  }
};

namespace {

std::shared_ptr<const CharacterSet::Impl> makeImpl(icu::UnicodeSet s) {
  return std::make_shared<const CharacterSet::Impl>(std::move(s));
}

// Sets by general category, built without patterns (a pattern would skip
// the blanks that these sets are about).
icu::UnicodeSet byCategory(int32_t mask) {
  UErrorCode status = U_ZERO_ERROR;
  icu::UnicodeSet s;
  s.applyIntPropertyValue(UCHAR_GENERAL_CATEGORY_MASK, mask, status);
  if (U_FAILURE(status)) fatal("ICU could not build a character set");
  return s;
}

// A frozen set cannot change; copies of it are frozen too.
icu::UnicodeSet thawed(const icu::UnicodeSet& set) {
  std::unique_ptr<icu::UnicodeSet> copy(set.cloneAsThawed());
  return *copy;
}

icu::UnicodeSet urlSet(const char* punctuation) {
  icu::UnicodeSet s;
  s.add('a', 'z').add('A', 'Z').add('0', '9');
  for (const char* p = punctuation; *p != '\0'; ++p) s.add(static_cast<UChar32>(*p));
  return s;
}

}  // namespace

CharacterSet::CharacterSet() : impl_(makeImpl(icu::UnicodeSet())) {}

CharacterSet::CharacterSet(std::shared_ptr<const Impl> impl) : impl_(std::move(impl)) {}

CharacterSet CharacterSet::fromCharacters(std::string_view text) {
  icu::UnicodeSet s;
  for (std::size_t pos = 0; pos < text.size();) {
    const auto d = text_internal::decodeScalar(text, pos);
    s.add(static_cast<UChar32>(d.scalar));
    pos += d.length;
  }
  return CharacterSet(makeImpl(std::move(s)));
}

CharacterSet CharacterSet::fromRange(char32_t first, char32_t last) {
  icu::UnicodeSet s;
  if (first <= last && first <= 0x10FFFF) {
    s.add(static_cast<UChar32>(first), static_cast<UChar32>(last > 0x10FFFF ? 0x10FFFF : last));
  }
  return CharacterSet(makeImpl(std::move(s)));
}

const CharacterSet& CharacterSet::whitespaces() {
  static const NoDestructor<CharacterSet> set(CharacterSet(makeImpl(byCategory(U_GC_ZS_MASK).add(0x09))));
  return *set;
}

const CharacterSet& CharacterSet::whitespacesAndNewlines() {
  static const NoDestructor<CharacterSet> set(
      CharacterSet(makeImpl(byCategory(U_GC_Z_MASK).add(0x09, 0x0D).add(0x85))));
  return *set;
}

const CharacterSet& CharacterSet::newlines() {
  static const NoDestructor<CharacterSet> set(
      CharacterSet(makeImpl(icu::UnicodeSet(0x0A, 0x0D).add(0x85).add(0x2028, 0x2029))));
  return *set;
}

const CharacterSet& CharacterSet::urlFragmentAllowed() {
  static const NoDestructor<CharacterSet> set(CharacterSet(makeImpl(urlSet("!$&'()*+,-./:;=?@_~"))));
  return *set;
}

const CharacterSet& CharacterSet::urlHostAllowed() {
  static const NoDestructor<CharacterSet> set(CharacterSet(makeImpl(urlSet("!$&'()*+,-.:;=[]_~"))));
  return *set;
}

const CharacterSet& CharacterSet::urlPasswordAllowed() {
  static const NoDestructor<CharacterSet> set(CharacterSet(makeImpl(urlSet("!$&'()*+,-.;=_~"))));
  return *set;
}

const CharacterSet& CharacterSet::urlPathAllowed() {
  static const NoDestructor<CharacterSet> set(CharacterSet(makeImpl(urlSet("!$&'()*+,-./:=@_~"))));
  return *set;
}

const CharacterSet& CharacterSet::urlQueryAllowed() {
  static const NoDestructor<CharacterSet> set(CharacterSet(makeImpl(urlSet("!$&'()*+,-./:;=?@_~"))));
  return *set;
}

const CharacterSet& CharacterSet::urlUserAllowed() {
  static const NoDestructor<CharacterSet> set(CharacterSet(makeImpl(urlSet("!$&'()*+,-.;=_~"))));
  return *set;
}

bool CharacterSet::contains(char32_t scalar) const {
  if (scalar < 128) return impl_->ascii[scalar];
  if (scalar > 0x10FFFF) return false;
  return impl_->set.contains(static_cast<UChar32>(scalar)) != 0;
}

CharacterSet CharacterSet::inverted() const {
  icu::UnicodeSet s = thawed(impl_->set);
  s.complement();
  return CharacterSet(makeImpl(std::move(s)));
}

CharacterSet CharacterSet::union_(const CharacterSet& other) const {
  icu::UnicodeSet s = thawed(impl_->set);
  s.addAll(other.impl_->set);
  return CharacterSet(makeImpl(std::move(s)));
}

bool CharacterSet::hasMemberInPlane(std::uint8_t plane) const {
  if (plane > 16) return false;
  const auto first = static_cast<UChar32>(plane) << 16;
  return impl_->set.containsNone(first, first + 0xFFFF) == 0;
}

bool operator==(const CharacterSet& a, const CharacterSet& b) {
  return a.impl_ == b.impl_ || a.impl_->set == b.impl_->set;
}

std::optional<ByteRange> rangeOfCharacter(std::string_view text, const CharacterSet& set,
                                          std::optional<ByteRange> range) {
  const ByteRange within = range.value_or(ByteRange{0, text.size()});
  if (within.lowerBound > within.upperBound || within.upperBound > text.size()) {
    fatal("Byte range out of the text");
  }
  for (std::size_t pos = within.lowerBound; pos < within.upperBound;) {
    const auto d = text_internal::decodeScalar(text, pos);
    if (set.contains(d.scalar)) return ByteRange{pos, pos + d.length};
    pos += d.length;
  }
  return std::nullopt;
}

namespace {

bool whollyInSet(std::string_view character, const CharacterSet& set) {
  for (std::size_t pos = 0; pos < character.size();) {
    const auto d = text_internal::decodeScalar(character, pos);
    if (!set.contains(d.scalar)) return false;
    pos += d.length;
  }
  return true;
}

}  // namespace

std::string trimmingCharacters(std::string_view text, const CharacterSet& set) {
  if (text_internal::isAscii(text)) {
    // CR LF is one character, but both halves are either in a set or the
    // pair is kept as soon as one half is not: trimming bytes is the same.
    std::size_t begin = 0, end = text.size();
    while (begin < end && set.contains(static_cast<unsigned char>(text[begin]))) ++begin;
    while (end > begin && set.contains(static_cast<unsigned char>(text[end - 1]))) --end;
    // A kept CR LF must stay whole.
    if (begin > 0 && begin < text.size() && text[begin] == '\n' && text[begin - 1] == '\r') --begin;
    if (end < text.size() && end > 0 && text[end - 1] == '\r' && text[end] == '\n') ++end;
    return std::string(text.substr(begin, end - begin));
  }
  const std::vector<std::size_t> bounds = characterBoundaries(text);
  std::size_t first = 0, last = bounds.size() - 1;  // character indices [first, last)
  while (first < last && whollyInSet(text.substr(bounds[first], bounds[first + 1] - bounds[first]), set)) ++first;
  while (last > first && whollyInSet(text.substr(bounds[last - 1], bounds[last] - bounds[last - 1]), set)) --last;
  return std::string(text.substr(bounds[first], bounds[last] - bounds[first]));
}

std::vector<std::string> componentsSeparatedBySet(std::string_view text, const CharacterSet& set) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (std::size_t pos = 0; pos < text.size();) {
    const auto d = text_internal::decodeScalar(text, pos);
    if (set.contains(d.scalar)) {
      parts.emplace_back(text.substr(start, pos - start));
      start = pos + d.length;
    }
    pos += d.length;
  }
  parts.emplace_back(text.substr(start));
  return parts;
}

}  // namespace vantrel
