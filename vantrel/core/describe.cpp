#include "vantrel/core/describe.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <locale>
#include <sstream>

#include <cxxabi.h>

#include "vantrel/core/error.h"
#include "vantrel/core/number_text.h"
#include "vantrel/core/utf8.h"

namespace vantrel {
namespace core_internal {

std::string describeDouble(double value) { return doubleText(value); }

std::string describeFloat(float value) { return floatText(value); }

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
  // A new stream takes the global locale, which a host may have set to one
  // that writes "1,5" or "1.234.567": descriptions never follow it.
  os.imbue(std::locale::classic());
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
