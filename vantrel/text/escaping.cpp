#include "vantrel/text/escaping.h"

#include <algorithm>
#include <vector>

#include "vantrel/core/sort.h"
#include "vantrel/text/comparison.h"
#include "vantrel/text/internal/scan.h"
#include "vantrel/text/internal/utf8.h"
#include "vantrel/text/string_services.h"

namespace vantrel {
namespace {

// The scan for the first byte to look at is the whole cost of the common
// case (nothing to escape), hence the vectorised helper.
std::size_t firstJsonSpecial(const char* data, std::size_t size) {
  return text_internal::scanFirstJsonSpecial(data, size);
}

constexpr char kHex[] = "0123456789abcdef";

// The replacement of an ASCII byte in JSON, or nullptr when it stays.
const char* jsonReplacement(unsigned char c, char (&buffer)[7]) {
  switch (c) {
    case '"': return "\\\"";
    case '\\': return "\\\\";
    case '\n': return "\\n";
    case '\r': return "\\r";
    case '\t': return "\\t";
    default: break;
  }
  if (c >= 0x20) return nullptr;
  // Backspace and form feed included: "\u0008", "\u000c".
  buffer[0] = '\\';
  buffer[1] = 'u';
  buffer[2] = '0';
  buffer[3] = '0';
  buffer[4] = kHex[c >> 4];
  buffer[5] = kHex[c & 0xF];
  buffer[6] = '\0';
  return buffer;
}

void appendJsonFrom(std::string& out, std::string_view self, std::size_t pos) {
  std::size_t runStart = 0;
  while (pos < self.size()) {
    const auto c = static_cast<unsigned char>(self[pos]);
    if (c >= 0x80) {
      const auto d = text_internal::decodeScalar(self, pos);
      if (d.valid) {
        pos += d.length;
      } else {
        out.append(self.substr(runStart, pos - runStart));
        out.append("\xEF\xBF\xBD");  // U+FFFD
        pos += d.length;
        runStart = pos;
      }
      continue;
    }
    char buffer[7];
    if (const char* replacement = jsonReplacement(c, buffer)) {
      out.append(self.substr(runStart, pos - runStart));
      out.append(replacement);
      runStart = pos + 1;
    }
    ++pos;
    if (pos < self.size() && static_cast<unsigned char>(self[pos]) < 0x80) {
      pos += firstJsonSpecial(self.data() + pos, self.size() - pos);
    }
  }
  out.append(self.substr(runStart));
}

// Scans and copies a cache-sized piece at a time, so the copy reads what the
// scan has just brought into the cache. From the first byte that needs a look
// on, the careful loop takes over; `escapeReserve` is the room to make for it.
void appendPiecewise(std::string& out, std::string_view self, std::size_t escapeReserve) {
  constexpr std::size_t kPiece = 16 * 1024;
  for (std::size_t done = 0; done < self.size();) {
    const std::size_t length = std::min(kPiece, self.size() - done);
    const std::size_t first = firstJsonSpecial(self.data() + done, length);
    if (first < length) {
      out.reserve(escapeReserve);
      appendJsonFrom(out, self.substr(done), first);
      return;
    }
    out.append(self.substr(done, length));
    done += length;
  }
}

}  // namespace

void appendStringEncodedForJson(std::string& out, std::string_view self) { appendPiecewise(out, self, 0); }

std::string stringEncodedForJson(std::string_view self) {
  std::string out;
  out.reserve(self.size());
  appendPiecewise(out, self, 2 * self.size());
  return out;
}

std::string stringEncodedForJson(std::string&& self) {
  const std::size_t first = firstJsonSpecial(self.data(), self.size());
  if (first == self.size()) return std::move(self);
  std::string out;
  out.reserve(self.size() * 2);
  appendJsonFrom(out, self, first);
  return out;
}

std::string stringEncodedForJson(const char* self) { return stringEncodedForJson(std::string_view(self)); }

std::string stringPreparedToBeUseInSourceStringLiteral(std::string_view self) {
  std::string out;
  out.reserve(self.size() * 2);
  for (std::size_t pos = 0; pos < self.size();) {
    const auto c = static_cast<unsigned char>(self[pos]);
    if (c >= 0x80) {
      const auto d = text_internal::decodeScalar(self, pos);
      if (d.valid) {
        out.append(self.substr(pos, d.length));
      } else {
        out.append("\xEF\xBF\xBD");
      }
      pos += d.length;
      continue;
    }
    switch (c) {
      case '"': out.append("\\\""); break;
      case '\\': out.append("\\\\"); break;
      case '\n': out.append("\\n"); break;
      case '\r': out.append("\\r"); break;
      case '\t': out.append("\\t"); break;
      default: out.push_back(static_cast<char>(c)); break;
    }
    ++pos;
  }
  return out;
}

std::string stringLiteralEncoded(std::string_view self) {
  if (self.find('\\') == std::string_view::npos) return std::string(self);
  std::string out;
  out.reserve(self.size() + 8);
  for (const char c : self) {
    if (c == '\\') out.push_back('\\');
    out.push_back(c);
  }
  return out;
}

std::string stringByReplacingOccurrences(std::string_view self,
                                         const std::unordered_map<std::string, std::string>& map) {
  std::vector<const std::pair<const std::string, std::string>*> pairs;
  pairs.reserve(map.size());
  for (const auto& entry : map) pairs.push_back(&entry);
  stableSort(pairs.begin(), pairs.end(), [](const auto* a, const auto* b) { return textLess(a->first, b->first); });
  std::string current(self);
  for (const auto* entry : pairs) current = replacingOccurrences(current, entry->first, entry->second);
  return current;
}

}  // namespace vantrel
