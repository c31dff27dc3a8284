// File: vantrel/core/number_text.h
//
// The one way numbers become text and back. Nothing here reads the process
// locale: a host that sets de_DE still gets "1.5", and "1.5" still reads back
// as one and a half.
//
//   doubleText(0.1)               "0.1"     (shortest round trip, as describe)
//   doubleText(3)                 "3.0"
//   significantText(1.0 / 3)      "0.333333333333333"   (printf "%.15g")
//   significantTextPointZero(2)   "2.0"     ("%.15g", ".0" on whole numbers)
//   printfDouble("%+08.2f", 1.5)  "+0001.50"
//   parseDouble("1.5e3")          1500.0
//   parseInt64("-42")             -42
//
// Parsers take the whole text or nothing: no leading or trailing spaces, no
// partial reads; out-of-range integers and overflowing doubles are nullopt.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

// Shortest text that reads back as the same value; decimal with at least one
// fractional digit (".0"), exponent form ("1e-05", "1e+16") below 1e-4 and
// above 2^53 (2^24 for float); "nan", "-nan", "inf", "-inf".
[[nodiscard]] std::string doubleText(double value);
// `doubleText` appended to `out`, for writers of long texts.
void appendDoubleText(std::string& out, double value);
// `doubleText` written at `out`, which has room for `kDoubleTextCapacity`
// bytes; answers the end of what it wrote.
inline constexpr std::size_t kDoubleTextCapacity = 32;
char* writeDoubleText(char* out, double value);
[[nodiscard]] std::string floatText(float value);

// printf's "%.<digits>g" in the C locale ("nan", "inf" for the specials).
[[nodiscard]] std::string significantText(double value, int digits = 15);
// The same, with ".0" appended when the text has neither a point nor an
// exponent, so it always reads as a floating-point number.
[[nodiscard]] std::string significantTextPointZero(double value, int digits = 15);

// A fixed number of decimals, as printf's "%.<decimals>f" in the C locale
// (0...17); "nan" for any NaN (printf would write "-nan" for some), "inf",
// "-inf".
[[nodiscard]] std::string fixedText(double value, int decimals);

// One printf floating-point conversion (%f %F %e %E %g %G %a %A with flags,
// width and precision, no '*' and no length modifier other than 'l' / 'L'),
// written in the C locale. A `spec` that is not exactly one such conversion
// stops the program: specs come from code, not from outside text.
[[nodiscard]] std::string printfDouble(std::string_view spec, double value);

[[nodiscard]] std::string integerText(std::int64_t value);
[[nodiscard]] std::string unsignedText(std::uint64_t value);

// strtod's syntax in the C locale: optional sign, decimal digits with an
// optional point and exponent, hexadecimal ("0x1.8p1"), "inf", "infinity",
// "nan" (any case). A value too large for a double is nullopt; one too small
// becomes zero of its sign, as strtod gives.
[[nodiscard]] std::optional<double> parseDouble(std::string_view text);
// The same grammar, but a value too large for a double becomes an infinity
// of its sign ("1e999" is +inf, "-0x1p9999" is -inf), as strtod answers.
[[nodiscard]] std::optional<double> parseDoubleSaturating(std::string_view text);
// Optional '-' (or '+'), decimal digits, nothing else.
[[nodiscard]] std::optional<std::int64_t> parseInt64(std::string_view text);
[[nodiscard]] std::optional<std::uint64_t> parseUInt64(std::string_view text);

// One hexadecimal digit, either case: 0...15, or -1 for any other character.
// Inline, since the text scanners call it once a byte.
[[nodiscard]] constexpr int hexDigitValue(char c) noexcept {
  if (c >= '0' && c <= '9') return c - '0';
  const char lower = static_cast<char>(c | 0x20);
  if (lower >= 'a' && lower <= 'f') return lower - 'a' + 10;
  return -1;
}

}  // namespace vantrel
