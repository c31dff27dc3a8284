#include "vantrel/text/html_entities.h"

#include <cstring>
#include <optional>
#include <unordered_map>

#include "vantrel/core/no_destructor.h"
#include "vantrel/core/number_text.h"
#include "vantrel/core/utf8.h"
#include "vantrel/text/internal/ascii_digits.h"
#include "vantrel/text/internal/html_entity_table.h"
#include "vantrel/text/internal/html_scan.h"
#include "vantrel/text/string_services.h"

namespace vantrel {
namespace {

// ---- Escaping ----------------------------------------------------------------

std::string_view htmlReplacement(char c) {
  switch (c) {
    case '&': return "&amp;";
    case '"': return "&quot;";
    case '\'': return "&#39;";
    case '<': return "&lt;";
    default: return "&gt;";
  }
}

// From the first byte to replace (`pos`) on; everything before it is copied
// in one piece.
void appendEscapedFrom(std::string& out, std::string_view self, std::size_t pos) {
  std::size_t runStart = 0;
  while (pos < self.size()) {
    out.append(self.substr(runStart, pos - runStart));
    out.append(htmlReplacement(self[pos]));
    runStart = pos + 1;
    pos = runStart + text_internal::scanFirstHtmlSpecial(self.data() + runStart, self.size() - runStart);
  }
  out.append(self.substr(runStart));
}

std::string escapedFrom(std::string_view self, std::size_t first) {
  std::string out;
  // Room for a few replacements; a text full of them grows as it goes.
  out.reserve(self.size() + self.size() / 8 + 16);
  appendEscapedFrom(out, self, first);
  return out;
}

// ---- Decoding ----------------------------------------------------------------

using EntityMap = std::unordered_map<std::string_view, char32_t>;

const EntityMap& characterEntities() {
  static const NoDestructor<EntityMap> map([] {
    EntityMap m;
    m.reserve(text_internal::kHtmlEntityCount);
    for (const text_internal::HtmlEntity& entity : text_internal::kHtmlEntities) m.emplace(entity.key, entity.scalar);
    return m;
  }());
  return *map;
}

// The scalar of the digits after "&#" or "&#x": one or more digits of the
// base and nothing else. 0 stands for U+FFFD, so a reference can never put a
// NUL into the text; surrogates and values beyond U+10FFFF decode to nothing.
std::optional<char32_t> decodeNumeric(std::string_view digits, unsigned base) {
  if (digits.empty()) return std::nullopt;
  std::uint32_t value = 0;
  for (const char c : digits) {
    const unsigned digit = text_internal::asciiDigitValue(c);
    if (digit >= base) return std::nullopt;
    value = value * base + digit;
    if (value > 0x10FFFF) return std::nullopt;
  }
  if (value == 0) return char32_t{0xFFFD};
  if (value >= 0xD800 && value <= 0xDFFF) return std::nullopt;
  return static_cast<char32_t>(value);
}

// The scalar of one span ("&" through ";"), or nothing.
std::optional<char32_t> decodeSpan(std::string_view span) {
  const std::string_view body = span.substr(0, span.size() - 1);
  if (body.starts_with("&#x") || body.starts_with("&#X")) return decodeNumeric(body.substr(3), 16);
  if (body.starts_with("&#")) return decodeNumeric(body.substr(2), 10);
  // No key is longer; a long span costs no hashing.
  if (span.size() > text_internal::kHtmlEntityLongestKey) return std::nullopt;
  const EntityMap& map = characterEntities();
  const auto found = map.find(span);
  if (found == map.end()) return std::nullopt;
  return found->second;
}

}  // namespace

std::string vtEscapeHtml(std::string_view self) {
  const std::size_t first = text_internal::scanFirstHtmlSpecial(self.data(), self.size());
  if (first == self.size()) return std::string(self);
  return escapedFrom(self, first);
}

std::string vtEscapeHtml(std::string&& self) {
  const std::size_t first = text_internal::scanFirstHtmlSpecial(self.data(), self.size());
  if (first == self.size()) return std::move(self);
  return escapedFrom(self, first);
}

std::string vtEscapeHtml(const char* self) { return vtEscapeHtml(std::string_view(self)); }

std::string scalarsHtmlEntitiesRepresentation(std::string_view self, std::string_view separator) {
  std::string out;
  bool first = true;
  for (const char32_t scalar : unicodeScalars(self)) {
    if (!first) out.append(separator);
    first = false;
    out.append("&#");
    out.append(unsignedText(scalar));
    out.push_back(';');
  }
  return out;
}

std::string decodeHTML(std::string_view self) {
  const char* const begin = self.data();
  const char* const end = begin + self.size();
  std::string out;
  const char* pos = begin;
  while (pos < end) {
    const auto* amp = static_cast<const char*>(std::memchr(pos, '&', static_cast<std::size_t>(end - pos)));
    if (amp == nullptr) break;
    const auto* semicolon = static_cast<const char*>(std::memchr(amp, ';', static_cast<std::size_t>(end - amp)));
    if (semicolon == nullptr) break;
    // Decoding only shortens: one allocation of the input's size is enough.
    if (out.capacity() < self.size()) out.reserve(self.size());
    out.append(pos, amp);
    const std::string_view span(amp, static_cast<std::size_t>(semicolon + 1 - amp));
    if (const auto scalar = decodeSpan(span)) {
      appendUtf8(out, *scalar);
    } else {
      out.append(span);
    }
    pos = semicolon + 1;
  }
  out.append(pos, end);
  return out;
}

}  // namespace vantrel
