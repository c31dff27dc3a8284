#include "vantrel/text/unicode_names.h"

#include <unicode/uchar.h>

#include "vantrel/core/no_destructor.h"
#include "vantrel/text/internal/ascii_digits.h"
#include "vantrel/text/string_services.h"

namespace vantrel {
namespace {

bool isScalarValue(std::uint64_t value) { return value < 0xD800 || (value > 0xDFFF && value <= 0x10FFFF); }

// ICU's extended name gives every scalar a name (a label in angle brackets
// where the database has none) and reads its data once, thread-safely. Should
// it give nothing, the scalar's own text stands in.
std::string nameOf(char32_t scalar) {
  if (!isScalarValue(scalar)) scalar = 0xFFFD;
  // The longest name in the database has 88 characters.
  char buffer[256];
  UErrorCode status = U_ZERO_ERROR;
  const int32_t length = u_charName(static_cast<UChar32>(scalar), U_EXTENDED_CHAR_NAME, buffer,
                                    static_cast<int32_t>(sizeof buffer), &status);
  if (U_FAILURE(status) || length <= 0 || length >= static_cast<int32_t>(sizeof buffer)) {
    return stringFromScalar(scalar);
  }
  return std::string(buffer, static_cast<std::size_t>(length));
}

bool isIgnored(const std::string& name, const UnicodeNameSet& ignoredNames,
               const UnicodeNameSet& ignoredCodePointNamePrefixes) {
  for (const std::string& prefix : ignoredCodePointNamePrefixes) {
    if (hasPrefix(name, prefix)) return true;
  }
  return ignoredNames.contains(name);
}

}  // namespace

std::string unicodeName(char32_t scalar) { return nameOf(scalar); }

std::string unicodeName(std::string_view text) {
  std::string out;
  bool first = true;
  for (const char32_t scalar : unicodeScalars(text)) {
    if (!first) out.push_back(',');
    first = false;
    out.append(nameOf(scalar));
  }
  return out;
}

std::vector<std::string> unicodeNames(std::string_view text, const UnicodeNameSet& ignoredNames,
                                      const UnicodeNameSet& ignoredCodePointNamePrefixes) {
  std::vector<std::string> names;
  const bool filtering = !ignoredNames.empty() || !ignoredCodePointNamePrefixes.empty();
  for (const char32_t scalar : unicodeScalars(text)) {
    std::string name = nameOf(scalar);
    if (filtering && isIgnored(name, ignoredNames, ignoredCodePointNamePrefixes)) continue;
    names.push_back(std::move(name));
  }
  return names;
}

std::vector<std::string> unicodeNamesEmojiFiltered(std::string_view text) {
  static const NoDestructor<UnicodeNameSet> names(UnicodeNameSet{"ZERO WIDTH JOINER", "VARIATION SELECTOR-16"});
  static const NoDestructor<UnicodeNameSet> prefixes(UnicodeNameSet{"EMOJI MODIFIER", "REGIONAL INDICATOR SYMBOL"});
  return unicodeNames(text, *names, *prefixes);
}

std::optional<char> regionalIndicatorLetter(char32_t scalar) {
  if (scalar < 0x1F1E6 || scalar > 0x1F1FF) return std::nullopt;
  return static_cast<char>('A' + (scalar - 0x1F1E6));
}

namespace UnicodeScalar {

std::optional<char32_t> fromNumericString(std::string_view text, std::int32_t base) {
  const text_internal::UnsignedReading reading = text_internal::readUnsignedAsStrtoul(text, base);
  if (!reading.readDigit || !isScalarValue(reading.value)) return std::nullopt;
  return static_cast<char32_t>(reading.value);
}

}  // namespace UnicodeScalar

}  // namespace vantrel
