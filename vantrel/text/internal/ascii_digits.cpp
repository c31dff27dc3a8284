#include "vantrel/text/internal/ascii_digits.h"

#include <limits>

namespace vantrel::text_internal {
namespace {

bool isCSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

}  // namespace

UnsignedReading readUnsignedAsStrtoul(std::string_view text, int base) {
  if (base < 0 || base == 1 || base > 36) return {};
  std::size_t pos = 0;
  while (pos < text.size() && isCSpace(text[pos])) ++pos;
  bool negative = false;
  if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
    negative = text[pos] == '-';
    ++pos;
  }
  const bool zeroX = pos + 1 < text.size() && text[pos] == '0' && (text[pos + 1] == 'x' || text[pos + 1] == 'X');
  if ((base == 0 || base == 16) && zeroX) {
    // The "0" counts as a digit read even when no hexadecimal digit follows
    // the "x": strtoul then stops at the "x" with the value 0.
    if (pos + 2 >= text.size() || asciiDigitValue(text[pos + 2]) >= 16) return {0, true};
    pos += 2;
    base = 16;
  } else if (base == 0) {
    base = pos < text.size() && text[pos] == '0' ? 8 : 10;
  }
  const auto b = static_cast<unsigned>(base);
  constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();
  std::uint64_t value = 0;
  bool overflow = false;
  bool readDigit = false;
  for (; pos < text.size(); ++pos) {
    const unsigned digit = asciiDigitValue(text[pos]);
    if (digit >= b) break;
    readDigit = true;
    if (overflow) continue;
    if (value > (kMax - digit) / b) {
      overflow = true;
    } else {
      value = value * b + digit;
    }
  }
  if (!readDigit) return {};
  if (overflow) return {kMax, true};
  return {negative ? std::uint64_t{0} - value : value, true};
}

}  // namespace vantrel::text_internal
