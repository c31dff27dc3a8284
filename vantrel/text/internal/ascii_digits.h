// File: vantrel/text/internal/ascii_digits.h
//
// Exact readers of ASCII digits for the text layer's parsers of outside text
// (hexadecimal lists, HTML numeric references, scalars written as numbers).
// They never read the process locale and never look past the view. Include
// the public headers instead; this one is for vantrel/text and its tests.
#pragma once

#include <cstdint>
#include <string_view>

namespace vantrel::text_internal {

// 0 to 9 for '0' to '9', 10 to 35 for 'a' to 'z' and 'A' to 'Z', 255 for
// every other byte: a byte is a digit of base b when its value is below b.
[[nodiscard]] constexpr unsigned asciiDigitValue(char c) {
  if (c >= '0' && c <= '9') return static_cast<unsigned>(c - '0');
  if (c >= 'a' && c <= 'z') return static_cast<unsigned>(c - 'a' + 10);
  if (c >= 'A' && c <= 'Z') return static_cast<unsigned>(c - 'A' + 10);
  return 255;
}

struct UnsignedReading {
  std::uint64_t value = 0;
  bool readDigit = false;  // false: the text holds no number (value 0)
};

// What strtoul_l in the "C" locale reads from the front of `text`, as a
// 64-bit unsigned value: white space (space, \t \n \v \f \r) skipped, one
// "+" or "-" (a "-" negates modulo 2^64), in base 16 or 0 an optional "0x" /
// "0X", base 0 choosing 16, 8 (leading 0) or 10; reading stops at the first
// byte that is not a digit of the base; a value beyond 64 bits is
// UINT64_MAX whatever the sign. A base other than 0 and 2 to 36 reads
// nothing. "0x" without a hexadecimal digit after it reads the "0".
[[nodiscard]] UnsignedReading readUnsignedAsStrtoul(std::string_view text, int base);

}  // namespace vantrel::text_internal
