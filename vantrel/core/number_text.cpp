#include "vantrel/core/number_text.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <locale.h>
#include <type_traits>

#include "vantrel/core/fatal.h"

namespace vantrel {
namespace {

// Shortest round-trip digits, then the reference platform's layout: decimal
// with at least one fractional digit, except below 1e-4 and above the largest
// integer the type holds exactly (2^53 for double, 2^24 for float), where the
// exponent form "1e-05" / "1e+16" is used.
// Writes into a buffer known to be large enough, with the calls of a
// std::string, so one formatting routine serves strings and buffers.
struct CharSink {
  char* p;
  void operator+=(char c) { *p++ = c; }
  void operator+=(std::string_view s) { append(s.data(), s.size()); }
  void append(const char* data, std::size_t n) {
    std::memcpy(p, data, n);
    p += n;
  }
  void append(const char* begin, const char* end) { append(begin, static_cast<std::size_t>(end - begin)); }
  void append(std::size_t n, char c) {
    std::memset(p, c, n);
    p += n;
  }
};

template <class F, class Out>
void appendShortestText(Out& out, F value, F exponentialAbove) {
  if (std::isnan(value)) {
    out += std::signbit(value) ? "-nan" : "nan";
    return;
  }
  if (std::isinf(value)) {
    out += value < 0 ? "-inf" : "inf";
    return;
  }
  if (value == 0) {
    out += std::signbit(value) ? "-0.0" : "0.0";
    return;
  }

  char buffer[64];
  if constexpr (std::is_same_v<F, double>) {
    // From 1e-4 up, the shortest digits have an exponent of -4 or more, so
    // the fixed form is the layout above: written at once, no reshuffling.
    const double magnitude = std::fabs(value);
    if (magnitude >= 1e-4 && magnitude <= exponentialAbove) {
      // Fixed digits have a point exactly when the value has a fraction.
      const bool whole = std::trunc(value) == value;
      if constexpr (std::is_same_v<Out, CharSink>) {
        char* end = std::to_chars(out.p, out.p + kDoubleTextCapacity - 2, value, std::chars_format::fixed).ptr;
        if (whole) *end++ = '.', *end++ = '0';
        out.p = end;
      } else {
        char* end = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed).ptr;
        if (whole) *end++ = '.', *end++ = '0';
        out.append(buffer, end);
      }
      return;
    }
  }
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific);
  std::string_view sci(buffer, static_cast<std::size_t>(result.ptr - buffer));

  const bool negative = sci.front() == '-';
  if (negative) sci.remove_prefix(1);
  // to_chars writes the exponent last, as a sign and two or three digits.
  std::size_t ePos = sci.size() - 1;
  while (sci[ePos] != 'e') --ePos;
  std::string_view exponentText = sci.substr(ePos + 1);
  const bool negativeExponent = exponentText.front() == '-';
  if (exponentText.front() == '-' || exponentText.front() == '+') exponentText.remove_prefix(1);
  int exponent = 0;
  for (const char c : exponentText) exponent = exponent * 10 + (c - '0');
  if (negativeExponent) exponent = -exponent;

  if (negative) out += '-';
  if (exponent < -4 || std::fabs(value) > exponentialAbove) {
    out += sci;
    return;
  }
  char digits[64];
  std::size_t count = 0;
  for (const char c : sci.substr(0, ePos)) {
    if (c != '.') digits[count++] = c;
  }
  if (exponent < 0) {
    out += "0.";
    out.append(static_cast<std::size_t>(-exponent - 1), '0');
    out.append(digits, count);
    return;
  }
  const auto integerDigits = static_cast<std::size_t>(exponent) + 1;
  if (count <= integerDigits) {
    out.append(digits, count);
    out.append(integerDigits - count, '0');
    out += ".0";
  } else {
    out.append(digits, integerDigits);
    out += '.';
    out.append(digits + integerDigits, count - integerDigits);
  }
}

template <class F>
std::string shortestText(F value, F exponentialAbove) {
  std::string out;
  appendShortestText(out, value, exponentialAbove);
  return out;
}

locale_t cLocale() {
  // Never freed: threads may format until the process ends.
  static const locale_t locale = ::newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
  return locale;
}

// Runs printf-family code in the C locale on this thread only.
class ScopedCLocale {
 public:
  ScopedCLocale() : previous_(::uselocale(cLocale())) {}
  ~ScopedCLocale() { ::uselocale(previous_); }
  ScopedCLocale(const ScopedCLocale&) = delete;
  ScopedCLocale& operator=(const ScopedCLocale&) = delete;

 private:
  locale_t previous_;
};

bool isAsciiDigit(char c) { return c >= '0' && c <= '9'; }

// Checks that `spec` is one floating-point conversion; answers whether it
// takes a long double.
bool checkFloatingSpec(std::string_view spec) {
  auto bad = [&] { fatal("printfDouble: \"" + std::string(spec) + "\" is not one floating-point conversion"); };
  std::size_t i = 0;
  if (spec.size() < 2 || spec[i++] != '%') bad();
  while (i < spec.size() && std::string_view("-+ #0").find(spec[i]) != std::string_view::npos) ++i;
  std::size_t digits = 0;
  while (i < spec.size() && isAsciiDigit(spec[i])) ++i, ++digits;
  if (digits > 4) bad();  // widths beyond 9999 are not a formatting request
  if (i < spec.size() && spec[i] == '.') {
    ++i;
    digits = 0;
    while (i < spec.size() && isAsciiDigit(spec[i])) ++i, ++digits;
    if (digits > 4) bad();
  }
  bool longDouble = false;
  if (i < spec.size() && (spec[i] == 'l' || spec[i] == 'L')) longDouble = spec[i++] == 'L';
  if (i + 1 != spec.size() || std::string_view("fFeEgGaA").find(spec[i]) == std::string_view::npos) bad();
  return longDouble;
}

template <class I>
std::optional<I> parseInteger(std::string_view text) {
  // One sign at most: from_chars would read the "-1" of "+-1".
  const bool plus = !text.empty() && text.front() == '+';
  if (plus) text.remove_prefix(1);
  if (text.empty() || text.front() == '+' || (text.front() == '-' && (plus || std::is_unsigned_v<I>))) {
    return std::nullopt;
  }
  I value{};
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

// For an out-of-range decimal literal: whether its magnitude is below 1, so
// strtod would have given (a subnormal or) zero rather than infinity.
bool isTinyLiteral(std::string_view text) {
  std::size_t i = 0;
  long long leading = 0;  // digits before the point, leading zeros skipped
  long long zerosAfterPoint = 0;
  bool seenNonZero = false, inFraction = false;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '.') {
      inFraction = true;
    } else if (isAsciiDigit(c)) {
      if (c != '0') seenNonZero = true;
      if (!inFraction && seenNonZero) ++leading;
      if (inFraction && !seenNonZero) ++zerosAfterPoint;
    } else {
      break;
    }
  }
  long long exponent = 0;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    for (; i < text.size() && isAsciiDigit(text[i]); ++i) {
      if (exponent < 1'000'000'000) exponent = exponent * 10 + (text[i] - '0');
    }
    if (negative) exponent = -exponent;
  }
  const long long magnitude = leading > 0 ? leading + exponent : exponent - zerosAfterPoint;
  return magnitude <= 0;
}

}  // namespace

std::string doubleText(double value) { return shortestText(value, 0x1.0p53); }

void appendDoubleText(std::string& out, double value) {
  char buffer[kDoubleTextCapacity];
  out.append(buffer, writeDoubleText(buffer, value));
}

char* writeDoubleText(char* out, double value) {
  CharSink sink{out};
  appendShortestText(sink, value, 0x1.0p53);
  return sink.p;
}

std::string floatText(float value) { return shortestText(value, 0x1.0p24f); }

std::string significantText(double value, int digits) {
  if (digits < 1 || digits > 17) fatal("significantText: " + integerText(digits) + " digits (1...17)");
  return printfDouble("%." + integerText(digits) + "g", value);
}

std::string significantTextPointZero(double value, int digits) {
  std::string text = significantText(value, digits);
  if (std::isfinite(value) && text.find_first_of(".e") == std::string::npos) text += ".0";
  return text;
}

std::string fixedText(double value, int decimals) {
  if (decimals < 0 || decimals > 17) fatal("fixedText: " + integerText(decimals) + " decimals (0...17)");
  if (std::isnan(value)) return "nan";
  return printfDouble("%." + integerText(decimals) + "f", value);
}

std::string printfDouble(std::string_view spec, double value) {
  const bool longDouble = checkFloatingSpec(spec);
  const std::string format(spec);
  char small[64];
  ScopedCLocale cLocale;
  const int size = longDouble ? std::snprintf(small, sizeof small, format.c_str(), static_cast<long double>(value))
                              : std::snprintf(small, sizeof small, format.c_str(), value);
  if (size < 0) fatal("printfDouble: cannot format with \"" + format + "\"");
  if (static_cast<std::size_t>(size) < sizeof small) return std::string(small, static_cast<std::size_t>(size));
  std::string out(static_cast<std::size_t>(size) + 1, '\0');
  if (longDouble) {
    std::snprintf(out.data(), out.size(), format.c_str(), static_cast<long double>(value));
  } else {
    std::snprintf(out.data(), out.size(), format.c_str(), value);
  }
  out.resize(static_cast<std::size_t>(size));
  return out;
}

std::string integerText(std::int64_t value) {
  char buffer[24];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

std::string unsignedText(std::uint64_t value) {
  char buffer[24];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

namespace {

// strtod's grammar; `saturate` decides whether a value too large for a
// double is refused or becomes an infinity of its sign, as strtod gives.
std::optional<double> parseDoubleToken(std::string_view text, bool saturate) {
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty() || text.front() == '+' || text.front() == '-') return std::nullopt;
  std::chars_format format = std::chars_format::general;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    text.remove_prefix(2);
    format = std::chars_format::hex;
    // from_chars would take a second sign or prefix here; strtod does not.
    if (text.empty() || !(std::isxdigit(static_cast<unsigned char>(text.front())) || text.front() == '.')) {
      return std::nullopt;
    }
  }
  double value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, format);
  if (end != text.data() + text.size()) return std::nullopt;
  if (ec == std::errc::result_out_of_range) {
    if (format != std::chars_format::general || !isTinyLiteral(text)) {
      // A hexadecimal literal out of range is huge unless its exponent is
      // negative, which from_chars has already told apart for us below.
      if (format == std::chars_format::hex) {
        const std::size_t p = text.find_first_of("pP");
        if (p != std::string_view::npos && p + 1 < text.size() && text[p + 1] == '-') {
          return negative ? -0.0 : 0.0;
        }
      }
      if (!saturate) return std::nullopt;
      constexpr double huge = std::numeric_limits<double>::infinity();
      return negative ? -huge : huge;
    }
    return negative ? -0.0 : 0.0;
  }
  if (ec != std::errc()) return std::nullopt;
  return negative ? -value : value;
}

}  // namespace

std::optional<double> parseDouble(std::string_view text) { return parseDoubleToken(text, false); }

std::optional<double> parseDoubleSaturating(std::string_view text) { return parseDoubleToken(text, true); }

std::optional<std::int64_t> parseInt64(std::string_view text) { return parseInteger<std::int64_t>(text); }

std::optional<std::uint64_t> parseUInt64(std::string_view text) { return parseInteger<std::uint64_t>(text); }

}  // namespace vantrel
