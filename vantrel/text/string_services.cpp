#include "vantrel/text/string_services.h"

#include <charconv>

#include <fmt/format.h>
#include <unicode/locid.h>
#include <unicode/unistr.h>

#include "vantrel/core/fatal.h"
#include "vantrel/text/characters.h"
#include "vantrel/text/internal/canonical.h"
#include "vantrel/text/internal/utf8.h"

namespace vantrel {

using text_internal::decodeScalar;
using text_internal::isAscii;

ScalarAt scalarAt(std::string_view text, std::size_t pos) {
  if (pos >= text.size()) {
    fatal(fmt::format("scalarAt: byte {} outside a text of {} bytes", pos, text.size()));
  }
  const text_internal::Decoded decoded = text_internal::decodeScalar(text, pos);
  return {decoded.scalar, decoded.length, decoded.valid};
}

std::size_t asciiPrefixLength(std::string_view bytes) { return text_internal::firstNonAscii(bytes); }

bool isValidUtf8(std::string_view bytes) {
  std::size_t pos = text_internal::firstNonAscii(bytes);
  while (pos < bytes.size()) {
    if (static_cast<unsigned char>(bytes[pos]) < 0x80) {
      ++pos;
      continue;
    }
    const auto d = decodeScalar(bytes, pos);
    if (!d.valid) return false;
    pos += d.length;
  }
  return true;
}

std::string repairedUtf8(std::string_view bytes) {
  if (isValidUtf8(bytes)) return std::string(bytes);
  std::string out;
  out.reserve(bytes.size() + 8);
  for (std::size_t pos = 0; pos < bytes.size();) {
    const auto d = decodeScalar(bytes, pos);
    if (d.valid) {
      out.append(bytes.substr(pos, d.length));
    } else {
      text_internal::appendScalar(out, text_internal::kReplacementCharacter);
    }
    pos += d.length;
  }
  return out;
}

std::string utf8FromUtf16(std::u16string_view units) {
  std::string out;
  out.reserve(units.size());
  for (std::size_t i = 0; i < units.size(); ++i) {
    const char16_t u = units[i];
    char32_t scalar = u;
    if (u >= 0xD800 && u <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
      scalar = 0x10000 + ((static_cast<char32_t>(u) - 0xD800) << 10) + (units[i + 1] - 0xDC00);
      ++i;
    } else if (u >= 0xD800 && u <= 0xDFFF) {
      scalar = text_internal::kReplacementCharacter;
    }
    text_internal::appendScalar(out, scalar);
  }
  return out;
}

std::u16string utf16FromUtf8(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (std::size_t pos = 0; pos < text.size();) {
    const auto d = decodeScalar(text, pos);
    if (d.scalar >= 0x10000) {
      out.push_back(static_cast<char16_t>(0xD800 + ((d.scalar - 0x10000) >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + ((d.scalar - 0x10000) & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(d.scalar));
    }
    pos += d.length;
  }
  return out;
}

std::u32string unicodeScalars(std::string_view text) {
  std::u32string out;
  out.reserve(text.size());
  for (std::size_t pos = 0; pos < text.size();) {
    const auto d = decodeScalar(text, pos);
    out.push_back(d.scalar);
    pos += d.length;
  }
  return out;
}

std::string stringFromScalar(char32_t scalar) {
  std::string out;
  text_internal::appendScalar(out, scalar);
  return out;
}

std::int64_t utf16Length(std::string_view text) { return utf16Offset(text, text.size()); }

std::int64_t utf16Offset(std::string_view text, std::size_t offset) {
  if (offset > text.size()) {
    fatal(fmt::format("Byte offset {} out of range 0...{}", offset, text.size()));
  }
  std::size_t pos = text_internal::firstNonAscii(text.substr(0, offset));
  auto units = static_cast<std::int64_t>(pos);
  while (pos < offset) {
    const auto d = decodeScalar(text, pos);
    units += d.scalar >= 0x10000 ? 2 : 1;
    pos += d.length;
  }
  if (pos != offset) fatal(fmt::format("Byte offset {} is inside a scalar", offset));
  return units;
}

std::size_t byteOffset(std::string_view text, std::int64_t offset) {
  if (offset < 0) fatal(fmt::format("UTF-16 offset {} is negative", offset));
  std::size_t pos = text_internal::firstNonAscii(text);
  if (static_cast<std::uint64_t>(offset) <= pos) return static_cast<std::size_t>(offset);
  auto units = static_cast<std::int64_t>(pos);
  while (units < offset && pos < text.size()) {
    const auto d = decodeScalar(text, pos);
    units += d.scalar >= 0x10000 ? 2 : 1;
    pos += d.length;
  }
  if (units == offset) return pos;
  if (units > offset) fatal(fmt::format("UTF-16 offset {} splits a surrogate pair", offset));
  fatal(fmt::format("UTF-16 offset {} out of range 0...{}", offset, units));
}

Utf16Range utf16Range(std::string_view text, ByteRange range) {
  if (range.lowerBound > range.upperBound) {
    fatal(fmt::format("Byte range {}..<{} ends before it starts", range.lowerBound, range.upperBound));
  }
  const std::int64_t location = utf16Offset(text, range.lowerBound);
  return {location, utf16Offset(text, range.upperBound) - location};
}

ByteRange byteRange(std::string_view text, Utf16Range range) {
  if (range.location == NotFound) fatal("UTF-16 range is NotFound");
  if (range.location < 0 || range.length < 0 || range.location > NotFound - range.length) {
    fatal(fmt::format("UTF-16 range {{{}, {}}} is malformed", range.location, range.length));
  }
  return {byteOffset(text, range.location), byteOffset(text, range.location + range.length)};
}

std::string nfd(std::string_view text) { return text_internal::nfdForm(text); }

namespace {

text_internal::FoldOptions foldOptions(SearchOptions options) {
  return {options.contains(SearchOptions::caseInsensitive), options.contains(SearchOptions::diacriticInsensitive)};
}

ByteRange checkedRange(std::string_view text, std::optional<ByteRange> range) {
  if (!range) return {0, text.size()};
  if (range->lowerBound > range->upperBound || range->upperBound > text.size()) {
    fatal(fmt::format("Byte range {}..<{} out of range 0..<{}", range->lowerBound, range->upperBound,
                      text.size()));
  }
  return *range;
}

// Every occurrence of `search` in `text`, front to back, without overlap;
// a match that would split a character (a ZWJ sequence, CR LF) does not count.
template <class Visit>
void forEachOccurrence(std::string_view text, std::string_view search, SearchOptions options, Visit visit) {
  if (search.empty()) return;
  if (options.isEmpty() && isAscii(text) && isAscii(search)) {
    for (std::size_t pos = text.find(search); pos != std::string_view::npos;) {
      if (!isCharacterBoundary(text, pos) || !isCharacterBoundary(text, pos + search.size())) {
        pos = text.find(search, pos + 1);  // half of a CR LF pair
        continue;
      }
      if (!visit(ByteRange{pos, pos + search.size()})) return;
      pos = text.find(search, pos + search.size());
    }
    return;
  }
  const text_internal::FoldOptions fold = foldOptions(options);
  const std::string needle = text_internal::foldForSearch(search, fold);
  if (needle.empty()) return;
  const text_internal::FoldedText haystack(text, fold);
  for (auto pos = text_internal::findFolded(haystack, needle); pos;) {
    const ByteRange r{haystack.originalOffset(*pos), haystack.originalOffset(*pos + needle.size())};
    if (!isCharacterBoundary(text, r.lowerBound) || !isCharacterBoundary(text, r.upperBound)) {
      pos = text_internal::findFolded(haystack, needle, *pos + 1);
      continue;
    }
    if (!visit(r)) return;
    pos = text_internal::findFolded(haystack, needle, *pos + needle.size());
  }
}

}  // namespace

std::optional<ByteRange> rangeOf(std::string_view text, std::string_view search, SearchOptions options,
                                 std::optional<ByteRange> range) {
  const ByteRange within = checkedRange(text, range);
  std::optional<ByteRange> found;
  forEachOccurrence(text.substr(within.lowerBound, within.length()), search, options, [&](ByteRange r) {
    found = ByteRange{r.lowerBound + within.lowerBound, r.upperBound + within.lowerBound};
    return false;
  });
  return found;
}

Utf16Range rangeOfUtf16(std::string_view text, std::string_view search, SearchOptions options, Utf16Range range) {
  const auto found = rangeOf(text, search, options, byteRange(text, range));
  if (!found) return {NotFound, 0};
  return utf16Range(text, *found);
}

Utf16Range rangeOfUtf16(std::string_view text, std::string_view search, SearchOptions options) {
  const auto found = rangeOf(text, search, options);
  if (!found) return {NotFound, 0};
  return utf16Range(text, *found);
}

bool containsText(std::string_view text, std::string_view search, SearchOptions options) {
  return rangeOf(text, search, options).has_value();
}

std::optional<std::size_t> prefixMatchLength(std::string_view text, std::string_view prefix) {
  if (prefix.empty()) return 0;
  // An ASCII prefix against a receiver whose first bytes (one more than the
  // prefix) are ASCII: the match can only be those bytes, compared as bytes.
  if (isAscii(prefix) && isAscii(text.substr(0, prefix.size() + 1))) {
    if (!text.starts_with(prefix) || !isCharacterBoundary(text, prefix.size())) return std::nullopt;
    return prefix.size();
  }
  const std::string needle = text_internal::foldForSearch(prefix, {});
  const text_internal::FoldedText haystack(text, {});
  if (!std::string_view(haystack.folded()).starts_with(needle) || !haystack.isSegmentStart(needle.size())) {
    return std::nullopt;
  }
  const std::size_t end = haystack.originalOffset(needle.size());
  if (!isCharacterBoundary(text, end)) return std::nullopt;
  return end;
}

std::optional<std::size_t> suffixMatchLength(std::string_view text, std::string_view suffix) {
  if (suffix.empty()) return 0;
  if (isAscii(suffix) && isAscii(text.substr(text.size() > suffix.size() ? text.size() - suffix.size() - 1 : 0))) {
    if (!text.ends_with(suffix) || !isCharacterBoundary(text, text.size() - suffix.size())) return std::nullopt;
    return suffix.size();
  }
  const std::string needle = text_internal::foldForSearch(suffix, {});
  const text_internal::FoldedText haystack(text, {});
  const std::string_view folded = haystack.folded();
  if (!folded.ends_with(needle)) return std::nullopt;
  const std::size_t start = folded.size() - needle.size();
  if (!haystack.isSegmentStart(start)) return std::nullopt;
  const std::size_t begin = haystack.originalOffset(start);
  if (!isCharacterBoundary(text, begin)) return std::nullopt;
  return text.size() - begin;
}

bool hasPrefix(std::string_view text, std::string_view prefix) {
  return prefixMatchLength(text, prefix).has_value();
}

bool hasSuffix(std::string_view text, std::string_view suffix) {
  return suffixMatchLength(text, suffix).has_value();
}

std::vector<std::string> componentsSeparatedBy(std::string_view text, std::string_view separator) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  forEachOccurrence(text, separator, {}, [&](ByteRange r) {
    parts.emplace_back(text.substr(start, r.lowerBound - start));
    start = r.upperBound;
    return true;
  });
  parts.emplace_back(text.substr(start));
  return parts;
}

std::string replacingOccurrences(std::string_view text, std::string_view target, std::string_view replacement) {
  std::string out;
  std::size_t start = 0;
  forEachOccurrence(text, target, {}, [&](ByteRange r) {
    if (start == 0 && out.empty()) out.reserve(text.size());
    out.append(text.substr(start, r.lowerBound - start));
    out.append(replacement);
    start = r.upperBound;
    return true;
  });
  out.append(text.substr(start));
  return out;
}

namespace {

std::string caseMapped(std::string_view text, bool upper) {
  if (isAscii(text)) {
    std::string out(text);
    for (char& c : out) {
      if (upper && c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
      if (!upper && c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
  }
  icu::UnicodeString s =
      icu::UnicodeString::fromUTF8(icu::StringPiece(text.data(), text_internal::icuLength(text)));
  if (upper) {
    s.toUpper(icu::Locale::getRoot());
  } else {
    s.toLower(icu::Locale::getRoot());
  }
  std::string out;
  s.toUTF8String(out);
  return out;
}

}  // namespace

std::string lowercased(std::string_view text) { return caseMapped(text, false); }

std::string titlecased(std::string_view text) {
  icu::UnicodeString s =
      icu::UnicodeString::fromUTF8(icu::StringPiece(text.data(), text_internal::icuLength(text)));
  s.toTitle(nullptr, icu::Locale::getRoot());
  std::string out;
  s.toUTF8String(out);
  return out;
}
std::string uppercased(std::string_view text) { return caseMapped(text, true); }

std::string hexString(std::uint64_t value, bool uppercase) {
  return uppercase ? fmt::format("{:X}", value) : fmt::format("{:x}", value);
}

std::optional<std::uint64_t> parseHex(std::string_view text) {
  if (text.empty() || text.size() > 16) return std::nullopt;
  std::uint64_t value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
  if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

}  // namespace vantrel
