#include "vantrel/text/percent_encoding.h"

#include "vantrel/core/no_destructor.h"
#include "vantrel/core/number_text.h"
#include "vantrel/text/internal/utf8.h"
#include "vantrel/text/string_services.h"

namespace vantrel {
namespace {

void appendEscaped(std::string& out, unsigned char byte) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  out += '%';
  out += kDigits[byte >> 4];
  out += kDigits[byte & 0x0F];
}

}  // namespace

const CharacterSet& unreservedUrlCharacters() {
  static const NoDestructor<CharacterSet> set(CharacterSet::fromRange(U'A', U'Z')
                                                  .union_(CharacterSet::fromRange(U'a', U'z'))
                                                  .union_(CharacterSet::fromRange(U'0', U'9'))
                                                  .union_(CharacterSet::fromCharacters("-._~")));
  return *set;
}

std::string addingPercentEncoding(std::string_view text, const CharacterSet& allowed) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t pos = 0; pos < text.size();) {
    const auto [scalar, length, valid] = text_internal::decodeScalar(text, pos);
    if (!valid) {
      for (std::size_t i = 0; i < length; ++i) appendEscaped(out, static_cast<unsigned char>(text[pos + i]));
      pos += length;
      continue;
    }
    if (allowed.contains(scalar)) {
      out.append(text.substr(pos, length));
    } else {
      for (std::size_t i = 0; i < length; ++i) appendEscaped(out, static_cast<unsigned char>(text[pos + i]));
    }
    pos += length;
  }
  return out;
}

bool hasOnlyValidPercentEscapes(std::string_view text) {
  for (std::size_t pos = text.find('%'); pos != std::string_view::npos; pos = text.find('%', pos + 3)) {
    if (pos + 2 >= text.size() || hexDigitValue(text[pos + 1]) < 0 || hexDigitValue(text[pos + 2]) < 0) return false;
  }
  return true;
}

std::optional<std::string> removingPercentEncoding(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t pos = 0; pos < text.size(); ++pos) {
    if (text[pos] != '%') {
      out += text[pos];
      continue;
    }
    if (pos + 2 >= text.size()) return std::nullopt;
    const int high = hexDigitValue(text[pos + 1]);
    const int low = hexDigitValue(text[pos + 2]);
    if (high < 0 || low < 0) return std::nullopt;
    out += static_cast<char>(high * 16 + low);
    pos += 2;
  }
  if (!isValidUtf8(out)) return std::nullopt;
  return out;
}

}  // namespace vantrel
