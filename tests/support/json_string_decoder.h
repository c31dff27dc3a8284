// A strict decoder of one JSON string token (RFC 8259), for checking that
// escaped text is valid JSON and reads back. Test and fuzz support only: the
// library has no JSON reader of its own here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "vantrel/core/utf8.h"

namespace vantrel::testing {

namespace json_detail {

inline std::optional<std::uint32_t> hex4(std::string_view s, std::size_t pos) {
  if (pos + 4 > s.size()) return std::nullopt;
  std::uint32_t v = 0;
  for (std::size_t i = pos; i < pos + 4; ++i) {
    const char c = s[i];
    v <<= 4;
    if (c >= '0' && c <= '9') v |= static_cast<std::uint32_t>(c - '0');
    else if (c >= 'a' && c <= 'f') v |= static_cast<std::uint32_t>(c - 'a' + 10);
    else if (c >= 'A' && c <= 'F') v |= static_cast<std::uint32_t>(c - 'A' + 10);
    else return std::nullopt;
  }
  return v;
}

// Length of the well-formed UTF-8 sequence at pos, or 0.
inline std::size_t utf8Length(std::string_view s, std::size_t pos) {
  const auto b = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
  const unsigned char b0 = b(pos);
  std::size_t n = 0;
  unsigned char lo = 0x80, hi = 0xBF;
  if (b0 >= 0xC2 && b0 <= 0xDF) n = 2;
  else if (b0 >= 0xE0 && b0 <= 0xEF) { n = 3; if (b0 == 0xE0) lo = 0xA0; if (b0 == 0xED) hi = 0x9F; }
  else if (b0 >= 0xF0 && b0 <= 0xF4) { n = 4; if (b0 == 0xF0) lo = 0x90; if (b0 == 0xF4) hi = 0x8F; }
  else return 0;
  if (pos + n > s.size()) return 0;
  for (std::size_t i = 1; i < n; ++i) {
    const unsigned char c = b(pos + i);
    if (c < (i == 1 ? lo : 0x80) || c > (i == 1 ? hi : 0xBF)) return 0;
  }
  return n;
}

}  // namespace json_detail

// The text of a JSON string token (quotes included in `token`); nullopt when
// the token is not exactly one valid JSON string.
inline std::optional<std::string> decodeJsonString(std::string_view token) {
  if (token.size() < 2 || token.front() != '"' || token.back() != '"') return std::nullopt;
  std::string out;
  const std::string_view s = token.substr(1, token.size() - 2);
  for (std::size_t i = 0; i < s.size();) {
    const auto c = static_cast<unsigned char>(s[i]);
    if (c == '"' || c < 0x20) return std::nullopt;
    if (c >= 0x80) {
      const std::size_t n = json_detail::utf8Length(s, i);
      if (n == 0) return std::nullopt;
      out.append(s.substr(i, n));
      i += n;
      continue;
    }
    if (c != '\\') {
      out.push_back(static_cast<char>(c));
      ++i;
      continue;
    }
    if (i + 1 >= s.size()) return std::nullopt;
    const char e = s[i + 1];
    i += 2;
    switch (e) {
      case '"': out.push_back('"'); break;
      case '\\': out.push_back('\\'); break;
      case '/': out.push_back('/'); break;
      case 'b': out.push_back('\b'); break;
      case 'f': out.push_back('\f'); break;
      case 'n': out.push_back('\n'); break;
      case 'r': out.push_back('\r'); break;
      case 't': out.push_back('\t'); break;
      case 'u': {
        auto v = json_detail::hex4(s, i);
        if (!v) return std::nullopt;
        i += 4;
        if (*v >= 0xDC00 && *v <= 0xDFFF) return std::nullopt;
        if (*v >= 0xD800 && *v <= 0xDBFF) {
          if (i + 6 > s.size() || s[i] != '\\' || s[i + 1] != 'u') return std::nullopt;
          const auto low = json_detail::hex4(s, i + 2);
          if (!low || *low < 0xDC00 || *low > 0xDFFF) return std::nullopt;
          i += 6;
          *v = 0x10000 + ((*v - 0xD800) << 10) + (*low - 0xDC00);
        }
        vantrel::appendUtf8(out, static_cast<char32_t>(*v));
        break;
      }
      default: return std::nullopt;
    }
  }
  return out;
}

}  // namespace vantrel::testing
