#include "vantrel/foundation/net/link_extraction.h"

#include <algorithm>

#include "vantrel/core/console.h"
#include "vantrel/core/no_destructor.h"
#include "vantrel/core/number_text.h"
#include "vantrel/text/character_set.h"
#include "vantrel/text/string_services.h"
#include "vantrel/text/percent_encoding.h"
#include "vantrel/text/regular_expression.h"

namespace vantrel {
namespace {

bool isAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isAsciiDigit(char c) { return c >= '0' && c <= '9'; }
bool isAsciiAlnum(char c) { return isAsciiLetter(c) || isAsciiDigit(c); }
bool isSchemeCharacter(char c) { return isAsciiAlnum(c) || c == '+' || c == '-' || c == '.'; }

// Whether the scalar at `pos` ends a link.
bool endsLink(std::string_view text, std::size_t pos) {
  const auto byte = static_cast<unsigned char>(text[pos]);
  if (byte < 0x80) {
    return byte <= 0x20 || byte == 0x7F || byte == '<' || byte == '>' || byte == '"' || byte == '`';
  }
  const auto decoded = scalarAt(text, pos);
  return (decoded.scalar >= 0x80 && decoded.scalar <= 0x9F) ||
         CharacterSet::whitespacesAndNewlines().contains(decoded.scalar);
}

std::size_t scalarLengthAt(std::string_view text, std::size_t pos) {
  return scalarAt(text, pos).length;
}

std::size_t linkEnd(std::string_view text, std::size_t from) {
  std::size_t pos = from;
  while (pos < text.size() && !endsLink(text, pos)) pos += scalarLengthAt(text, pos);
  return pos;
}

std::size_t withoutTrailingPunctuation(std::string_view text, std::size_t start, std::size_t end) {
  while (end > start) {
    const char last = text[end - 1];
    if (std::string_view(".,:;!?'*").find(last) != std::string_view::npos) {
      --end;
      continue;
    }
    char opener = 0;
    if (last == ')') opener = '(';
    if (last == ']') opener = '[';
    if (last == '}') opener = '{';
    if (opener == 0) break;
    const std::string_view link = text.substr(start, end - start);
    if (std::count(link.begin(), link.end(), opener) >= std::count(link.begin(), link.end(), last)) break;
    --end;
  }
  return end;
}

// Where a scheme link starting at `pos` has its "://", or npos.
std::size_t schemeEnd(std::string_view text, std::size_t pos) {
  if (!isAsciiLetter(text[pos])) return std::string_view::npos;
  if (pos > 0 && isSchemeCharacter(text[pos - 1])) return std::string_view::npos;
  std::size_t end = pos;
  while (end < text.size() && isSchemeCharacter(text[end])) ++end;
  if (text.substr(end, 3) != "://") return std::string_view::npos;
  return end;
}

bool startsWww(std::string_view text, std::size_t pos) {
  if (text.size() - pos < 5) return false;
  for (std::size_t i = 0; i < 3; ++i) {
    if ((text[pos + i] | 0x20) != 'w') return false;
  }
  if (text[pos + 3] != '.' || !isAsciiAlnum(text[pos + 4])) return false;
  if (pos == 0) return true;
  const char before = text[pos - 1];
  return !(isAsciiAlnum(before) || before == '.' || before == '-' || before == '_' || before == '@' || before == '/');
}

const CharacterSet& linkAllowed() {
  static const NoDestructor<CharacterSet> set(
      unreservedUrlCharacters().union_(CharacterSet::fromCharacters(":/?#[]@!$&'()*+,;=")));
  return *set;
}

// The link text with what a URL may not hold percent-encoded; valid "%XX"
// escapes are kept.
std::string encodedLink(std::string_view link) {
  std::string out;
  std::size_t done = 0;
  for (std::size_t pos = link.find('%'); pos != std::string_view::npos; pos = link.find('%', pos + 1)) {
    if (pos + 2 < link.size() && hexDigitValue(link[pos + 1]) >= 0 && hexDigitValue(link[pos + 2]) >= 0) {
      out += addingPercentEncoding(link.substr(done, pos - done), linkAllowed());
      out += link.substr(pos, 3);
      done = pos + 3;
      pos += 2;
    }
  }
  out += addingPercentEncoding(link.substr(done), linkAllowed());
  return out;
}

const RegularExpression& httpLinkPattern() {
  static const NoDestructor<RegularExpression> pattern("(http[s]?:[^\\s]*)",
                                                       RegularExpressionOptions::caseInsensitive);
  return *pattern;
}

}  // namespace

std::vector<DetectedLink> detectLinks(std::string_view text) {
  std::vector<DetectedLink> links;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t bodyStart = std::string_view::npos;
    bool www = false;
    if (const std::size_t colon = schemeEnd(text, pos); colon != std::string_view::npos) {
      bodyStart = colon + 3;
    } else if (startsWww(text, pos)) {
      bodyStart = pos + 4;
      www = true;
    }
    if (bodyStart == std::string_view::npos) {
      pos += scalarLengthAt(text, pos);
      continue;
    }
    const std::size_t end = withoutTrailingPunctuation(text, pos, linkEnd(text, bodyStart));
    if (end <= bodyStart) {
      pos = std::max(bodyStart, pos + 1);
      continue;
    }
    const std::string_view link = text.substr(pos, end - pos);
    std::string candidate = www ? "http://" : "";
    candidate += encodedLink(link);
    if (auto url = URL::fromString(candidate)) links.push_back({{pos, end}, std::move(*url)});
    pos = end;
  }
  return links;
}

std::optional<std::vector<URL>> extractHttpLinks(std::string_view text) {
  std::vector<URL> urls;
  for (DetectedLink& link : detectLinks(text)) urls.push_back(std::move(link.url));
  if (urls.empty()) return std::nullopt;
  return urls;
}

std::optional<std::vector<URL>> extractHttpLinksCustomRegEx(std::string_view text) {
  const std::u16string units = utf16FromUtf8(text);
  std::vector<URL> urls;
  httpLinkPattern().enumerateMatches(
      std::u16string_view(units), {}, {0, static_cast<std::int64_t>(units.size())},
      [&](const TextCheckingResult& match, bool&) {
        consolePrint("match " + match.description());
        const std::string subString = utf8Substring(units, match.rangeAt(1));
        consolePrint("subString = " + subString);
        if (auto url = URL::fromSafariUrlString(subString)) {
          urls.push_back(std::move(*url));
        } else {
          consolePrint("Cannot create NSURL from \"" + subString + "\"");
        }
      });
  if (urls.empty()) return std::nullopt;
  return urls;
}

std::vector<DetectedLinkUtf16> detectLinksUtf16(std::string_view text) {
  std::vector<DetectedLinkUtf16> links;
  for (DetectedLink& link : detectLinks(text)) {
    links.push_back(DetectedLinkUtf16{utf16Range(text, link.range), std::move(link.url)});
  }
  return links;
}

}  // namespace vantrel
