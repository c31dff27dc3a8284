#include "vantrel/core/describe.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <sstream>

#include <cxxabi.h>

#include "vantrel/core/error.h"
#include "vantrel/core/utf8.h"

namespace vantrel {
namespace core_internal {
namespace {

// Shortest round-trip digits, then the reference platform's layout: decimal
// with at least one fractional digit, except below 1e-4 and above the largest
// integer the type holds exactly (2^53 for double, 2^24 for float), where the
// exponent form "1e-05" / "1e+16" is used.
template <class F>
std::string describeFloating(F value, F exponentialAbove) {
  if (std::isnan(value)) return std::signbit(value) ? "-nan" : "nan";
  if (std::isinf(value)) return value < 0 ? "-inf" : "inf";
  if (value == 0) return std::signbit(value) ? "-0.0" : "0.0";

  char buffer[64];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific);
  std::string_view sci(buffer, static_cast<std::size_t>(result.ptr - buffer));

  const bool negative = sci.front() == '-';
  if (negative) sci.remove_prefix(1);
  const std::size_t ePos = sci.find('e');
  const int exponent = std::atoi(std::string(sci.substr(ePos + 1)).c_str());
  std::string digits;
  for (char c : sci.substr(0, ePos)) {
    if (c != '.') digits.push_back(c);
  }

  if (exponent < -4 || std::fabs(value) > exponentialAbove) {
    return std::string(negative ? "-" : "") + std::string(sci);
  }

  std::string out = negative ? "-" : "";
  if (exponent < 0) {
    out += "0.";
    out.append(static_cast<std::size_t>(-exponent - 1), '0');
    out += digits;
    return out;
  }
  const auto integerDigits = static_cast<std::size_t>(exponent) + 1;
  if (digits.size() <= integerDigits) {
    out += digits;
    out.append(integerDigits - digits.size(), '0');
    out += ".0";
  } else {
    out += digits.substr(0, integerDigits);
    out += '.';
    out += digits.substr(integerDigits);
  }
  return out;
}

}  // namespace

std::string describeDouble(double value) { return describeFloating(value, 0x1.0p53); }

std::string describeFloat(float value) { return describeFloating(value, 0x1.0p24f); }

std::string describeScalar(char32_t scalar) {
  std::string out;
  appendUtf8(out, scalar);
  return out;
}

// The escapes of the reference platform's debug text: backslash, both quotes
// and \0 \t \n \r by name, other ASCII controls as \u{hex}; everything else,
// non-ASCII included, unchanged.
std::string quotedText(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(text.size() + 2);
  out.push_back('"');
  for (char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\'': out += "\\'"; break;
      case '"': out += "\\\""; break;
      case '\0': out += "\\0"; break;
      case '\t': out += "\\t"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      default:
        if (c < 0x20 || c == 0x7F) {
          out += "\\u{";
          if (c >= 0x10) out.push_back(kHex[c >> 4]);
          out.push_back(kHex[c & 0xF]);
          out.push_back('}');
        } else {
          out.push_back(ch);
        }
    }
  }
  out.push_back('"');
  return out;
}

std::string demangledName(const std::type_info& type) {
  int status = 0;
  std::unique_ptr<char, void (*)(void*)> name(
      abi::__cxa_demangle(type.name(), nullptr, nullptr, &status), std::free);
  if (status == 0 && name) return name.get();
  return type.name();
}

std::string describeViaStream(const void* value, void (*write)(std::ostream&, const void*)) {
  std::ostringstream os;
  write(os, value);
  return std::move(os).str();
}

std::string describeException(const std::exception& error) { return errorDescription(error); }

}  // namespace core_internal

std::string typeName(const std::type_info& type) {
  if (type == typeid(std::int64_t)) return "Int";
  if (type == typeid(std::uint64_t)) return "UInt";
  if (type == typeid(std::int32_t)) return "Int32";
  if (type == typeid(std::uint32_t)) return "UInt32";
  if (type == typeid(std::int16_t)) return "Int16";
  if (type == typeid(std::uint16_t)) return "UInt16";
  if (type == typeid(std::int8_t)) return "Int8";
  if (type == typeid(std::uint8_t)) return "UInt8";
  if (type == typeid(double)) return "Double";
  if (type == typeid(float)) return "Float";
  if (type == typeid(bool)) return "Bool";
  if (type == typeid(std::string)) return "String";
  return core_internal::demangledName(type);
}

}  // namespace vantrel
