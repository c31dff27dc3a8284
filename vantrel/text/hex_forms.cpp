#include "vantrel/text/hex_forms.h"

#include "vantrel/core/utf8.h"
#include "vantrel/text/internal/ascii_digits.h"
#include "vantrel/text/padding.h"
#include "vantrel/text/string_services.h"

namespace vantrel {
namespace {

// Appends one unit text per value: prefix, then the digits, padded when a
// template is given; the separator only between two units.
template <class Values>
std::string hexList(const Values& values, const HexListOptions& options, std::string_view padding) {
  std::string out;
  bool first = true;
  for (const auto value : values) {
    if (!first) out.append(options.separator);
    first = false;
    out.append(options.prefix);
    const std::string digits = hexString(static_cast<std::uint64_t>(value), options.uppercase);
    if (padding.empty()) {
      out.append(digits);
    } else {
      out.append(paddedLeftPadding(digits, padding));
    }
  }
  return out;
}

// One component, whole: an optional "+" (or "-" before zeros only), then
// one or more hexadecimal digits, for a value of at most FFFFFFFF.
std::optional<std::uint32_t> readComponent(std::string_view text) {
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty()) return std::nullopt;
  std::uint64_t value = 0;
  for (const char c : text) {
    const unsigned digit = text_internal::asciiDigitValue(c);
    if (digit >= 16) return std::nullopt;
    value = value * 16 + digit;
    // Leading zeros keep the value at 0, so any length of them is read.
    if (value > 0xFFFFFFFFu) return std::nullopt;
  }
  if (negative && value != 0) return std::nullopt;
  return static_cast<std::uint32_t>(value);
}

std::optional<std::vector<std::uint32_t>> readList(std::string_view self, std::string_view prefix,
                                                   std::string_view separator) {
  const std::vector<std::string> components = componentsSeparatedBy(self, separator);
  std::vector<std::uint32_t> values;
  values.reserve(components.size());
  for (const std::string& component : components) {
    std::string_view digits = component;
    if (!prefix.empty()) {
      const auto covered = prefixMatchLength(component, prefix);
      if (!covered) return std::nullopt;
      digits.remove_prefix(*covered);
    }
    const auto value = readComponent(digits);
    if (!value) return std::nullopt;
    values.push_back(*value);
  }
  return values;
}

bool isScalarValue(std::uint32_t value) { return value < 0xD800 || (value > 0xDFFF && value <= 0x10FFFF); }

}  // namespace

std::string utf8HexStringRepresentation(std::string_view self, HexListOptions options) {
  std::vector<unsigned char> bytes(self.begin(), self.end());
  return hexList(bytes, options, "00");
}

std::string utf16HexStringRepresentation(std::string_view self, HexListOptions options) {
  return hexList(utf16FromUtf8(self), options, "0000");
}

std::string scalarsHexRepresentation(std::string_view self, std::string_view padding, HexListOptions options) {
  return hexList(unicodeScalars(self), options, padding);
}

std::string scalarsHexRepresentation(std::string_view self, HexListOptions options) {
  return hexList(unicodeScalars(self), options, "");
}

std::string asScalarsHexString(std::string_view self, std::string_view padding, HexListOptions options) {
  return scalarsHexRepresentation(self, padding, options);
}

std::string asScalarsHexString(std::string_view self, HexListOptions options) {
  return scalarsHexRepresentation(self, options);
}

std::string fromUint32s(const std::vector<std::uint32_t>& values, std::string_view padding, HexListOptions options) {
  return hexList(values, options, padding);
}

std::string fromUint32s(const std::vector<std::uint32_t>& values, HexListOptions options) {
  return hexList(values, options, "");
}

std::string vtHexString(std::string_view utf8) {
  std::vector<unsigned char> bytes(utf8.begin(), utf8.end());
  return hexList(bytes, {.uppercase = false, .prefix = "0x", .separator = " "}, "");
}

namespace hex_forms_internal {

std::string zeroFilledHex(bool negative, std::uint64_t magnitude, std::int64_t length, bool uppercase) {
  std::string digits = negative ? "-" : "";
  digits.append(hexString(magnitude, uppercase));
  std::string out = "0x";
  const auto count = static_cast<std::int64_t>(digits.size());
  if (length > count) out.append(static_cast<std::size_t>(length - count), '0');
  out.append(digits);
  return out;
}

}  // namespace hex_forms_internal

std::optional<std::string> stringFromScalarsHexString(std::string_view self, std::string_view prefix,
                                                      std::string_view separator) {
  const auto values = readList(self, prefix, separator);
  if (!values) return std::nullopt;
  std::string out;
  for (const std::uint32_t value : *values) {
    if (isScalarValue(value)) appendUtf8(out, static_cast<char32_t>(value));
  }
  return out;
}

std::optional<std::vector<std::uint32_t>> uint32sFromHexString(std::string_view self, std::string_view prefix,
                                                               std::string_view separator) {
  return readList(self, prefix, separator);
}

}  // namespace vantrel
