#include "vantrel/platform/foundation/files/url.h"

#include <unistd.h>

#include <uriparser/Uri.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "vantrel/core/no_destructor.h"
#include "vantrel/core/number_text.h"
#include "vantrel/text/comparison.h"
#include "vantrel/text/path_edits.h"
#include "vantrel/text/percent_encoding.h"
#include "vantrel/text/string_services.h"

namespace vantrel {
namespace {

std::string currentDirectory() {
  std::vector<char> buffer(4096);
  while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
    if (errno != ERANGE) return "/";
    buffer.resize(buffer.size() * 2);
  }
  return buffer.data();
}

// "a//b/./c/" -> "<cwd>/a/b/c". ".." stays a component: resolving it
// without looking at symbolic links could name another item.
std::string normalised(std::string_view path) {
  std::string absolute;
  if (path.empty() || path.front() != '/') {
    absolute = currentDirectory();
    absolute += '/';
  }
  absolute += path;
  std::vector<std::string_view> parts;
  std::string_view rest = absolute;
  while (!rest.empty()) {
    const auto slash = rest.find('/');
    const std::string_view part = rest.substr(0, slash);
    rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
    if (part.empty() || part == ".") continue;
    parts.push_back(part);
  }
  std::string out;
  for (auto part : parts) {
    out += '/';
    out += part;
  }
  return out.empty() ? "/" : out;
}

bool keptUnescaped(unsigned char c) {
  if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return true;
  switch (c) {
    case '-': case '.': case '_': case '~': case '/': case '!': case '$': case '&': case '\'':
    case '(': case ')': case '*': case '+': case ',': case ';': case '=': case ':': case '@':
      return true;
    default:
      return false;
  }
}

// The bytes a validated text's escapes stand for.
std::string decodedBytes(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() && hexDigitValue(text[i + 1]) >= 0 && hexDigitValue(text[i + 2]) >= 0) {
      out += static_cast<char>(hexDigitValue(text[i + 1]) * 16 + hexDigitValue(text[i + 2]));
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

bool isValidUri(std::string_view text) {
  UriUriA uri;
  const char* errorPos = nullptr;
  const int result = uriParseSingleUriExA(&uri, text.data(), text.data() + text.size(), &errorPos);
  const bool valid = result == URI_SUCCESS && uri.scheme.first != nullptr;
  uriFreeUriMembersA(&uri);
  return valid;
}

bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
           return lower(x) == lower(y);
         });
}

// What a path segment may hold unescaped (RFC 3986 pchar).
const CharacterSet& segmentAllowed() {
  static const NoDestructor<CharacterSet> set(unreservedUrlCharacters().union_(CharacterSet::fromCharacters("!$&'()*+,;=:@")));
  return *set;
}

// "a/b c//d" -> "a/b%20c/d": each part encoded, empty parts dropped.
std::string encodedComponent(std::string_view component) {
  std::string out;
  std::string_view rest = component;
  while (!rest.empty()) {
    const auto slash = rest.find('/');
    const std::string_view part = rest.substr(0, slash);
    rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
    if (part.empty()) continue;
    if (!out.empty()) out += '/';
    out += addingPercentEncoding(part, segmentAllowed());
  }
  return out;
}

// What `fromSafariUrlString` leaves unencoded in the last component.
const CharacterSet& safariAllowed() {
  static const NoDestructor<CharacterSet> set(CharacterSet::fromCharacters(
      "#!$&'()*+,-./0123456789:;=?@ABCDEFGHIJKLMNOPQRSTUVWXYZ_abcdefghijklmnopqrstuvwxyz~"));
  return *set;
}

std::string fileAbsoluteString(const std::string& path, bool isDirectory) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out = "file://";
  for (unsigned char c : path) {
    if (keptUnescaped(c)) {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
  }
  if (isDirectory && path != "/") out += '/';
  return out;
}

}  // namespace

URL URL::fileURLWithPath(std::string_view path, bool isDirectory) {
  URL url;
  url.path_ = normalised(path);
  url.isDirectory_ = isDirectory || url.path_ == "/";
  return url;
}

URL URL::fromFu(std::string_view path) { return fileURLWithPath(path, !path.empty() && path.back() == '/'); }

std::optional<URL> URL::fromString(std::string_view text) {
  if (!isValidUri(text)) return std::nullopt;
  // The text is a valid URI: its parts split as RFC 3986 appendix B does.
  const std::size_t colon = text.find(':');
  URL url;
  url.scheme_ = std::string(text.substr(0, colon));
  std::string_view rest = text.substr(colon + 1);
  if (rest.substr(0, 2) == "//") {
    rest.remove_prefix(2);
    const std::size_t end = std::min(rest.find_first_of("/?#"), rest.size());
    url.authority_ = std::string(rest.substr(0, end));
    rest.remove_prefix(end);
  }
  const std::size_t pathEnd = std::min(rest.find_first_of("?#"), rest.size());
  url.rawPath_ = std::string(rest.substr(0, pathEnd));
  rest.remove_prefix(pathEnd);
  if (!rest.empty() && rest.front() == '?') {
    const std::size_t end = std::min(rest.find('#'), rest.size());
    url.query_ = std::string(rest.substr(1, end - 1));
    rest.remove_prefix(end);
  }
  if (!rest.empty() && rest.front() == '#') url.fragment_ = std::string(rest.substr(1));

  const std::string decoded = decodedBytes(url.rawPath_);
  const bool localAuthority = url.authority_ ? url.authority_->empty() ||
                                                   equalsIgnoringAsciiCase(*url.authority_, "localhost")
                                             : !url.rawPath_.empty();  // "file:/tmp/x"
  if (equalsIgnoringAsciiCase(url.scheme_, "file") && localAuthority && !url.query_ && !url.fragment_ &&
      (url.rawPath_.empty() || url.rawPath_.front() == '/') &&
      decoded.find('\0') == std::string::npos &&
      std::count(decoded.begin(), decoded.end(), '/') == std::count(url.rawPath_.begin(), url.rawPath_.end(), '/')) {
    return fileURLWithPath(decoded.empty() ? "/" : decoded, decoded.empty() || decoded.back() == '/');
  }
  url.path_ = repairedUtf8(decoded);
  url.isDirectory_ = false;
  return url;
}

std::optional<URL> URL::fromSafariUrlString(std::string_view text) {
  if (auto url = fromString(text)) return url;
  if (text.substr(0, 4) != "http") return std::nullopt;
  const std::size_t slash = text.rfind('/');
  if (slash == std::string_view::npos) return std::nullopt;
  const std::string_view last = text.substr(slash + 1);
  std::string repaired(text.substr(0, slash + 1));
  // Valid escapes stay as they are; only a "%" that starts none is encoded.
  std::size_t done = 0;
  for (std::size_t pos = last.find('%'); pos != std::string_view::npos; pos = last.find('%', pos + 1)) {
    if (pos + 2 < last.size() && hexDigitValue(last[pos + 1]) >= 0 && hexDigitValue(last[pos + 2]) >= 0) {
      repaired += addingPercentEncoding(last.substr(done, pos - done), safariAllowed());
      repaired += last.substr(pos, 3);
      done = pos + 3;
      pos += 2;
    }
  }
  repaired += addingPercentEncoding(last.substr(done), safariAllowed());
  return fromString(repaired);
}

std::string URL::buildQueryString(std::vector<std::pair<std::string_view, std::string_view>> pairs) {
  if (pairs.empty()) return "";
  std::stable_sort(pairs.begin(), pairs.end(), [](const auto& a, const auto& b) {
    if (const int order = compareText(a.first, b.first); order != 0) return order < 0;
    if (a.first != b.first) return a.first < b.first;
    return a.second < b.second;
  });
  std::string out = "?";
  for (const auto& [key, value] : pairs) {
    if (out.size() > 1) out += '&';
    out += addingPercentEncoding(key, unreservedUrlCharacters());
    out += '=';
    out += addingPercentEncoding(value, unreservedUrlCharacters());
  }
  return out;
}

namespace {

struct AuthorityParts {
  std::optional<std::string_view> user, password, port;
  std::string_view host;
};

AuthorityParts splitAuthority(std::string_view authority) {
  AuthorityParts parts;
  if (const std::size_t at = authority.rfind('@'); at != std::string_view::npos) {
    const std::string_view userInfo = authority.substr(0, at);
    const std::size_t colon = userInfo.find(':');
    parts.user = userInfo.substr(0, colon);
    if (colon != std::string_view::npos) parts.password = userInfo.substr(colon + 1);
    authority.remove_prefix(at + 1);
  }
  const std::size_t colon = authority.rfind(':');
  const std::size_t bracket = authority.rfind(']');
  if (colon != std::string_view::npos && (bracket == std::string_view::npos || bracket < colon)) {
    parts.port = authority.substr(colon + 1);
    authority = authority.substr(0, colon);
  }
  parts.host = authority;
  return parts;
}

std::optional<std::string> optionalText(std::optional<std::string_view> view) {
  if (!view) return std::nullopt;
  return std::string(*view);
}

}  // namespace

std::optional<std::string> URL::host() const {
  if (isFileURL()) return std::string();
  if (!authority_) return std::nullopt;
  return std::string(splitAuthority(*authority_).host);
}

std::optional<std::string> URL::port() const {
  if (isFileURL() || !authority_) return std::nullopt;
  return optionalText(splitAuthority(*authority_).port);
}

std::optional<std::string> URL::user() const {
  if (isFileURL() || !authority_) return std::nullopt;
  return optionalText(splitAuthority(*authority_).user);
}

std::optional<std::string> URL::password() const {
  if (isFileURL() || !authority_) return std::nullopt;
  return optionalText(splitAuthority(*authority_).password);
}

std::string URL::percentEncodedPath() const {
  if (!isFileURL()) return rawPath_;
  const std::string text = absoluteString();
  return text.substr(std::string_view("file://").size());
}

bool URL::hasDirectoryPath() const {
  if (isFileURL()) return isDirectory_;
  return !rawPath_.empty() && rawPath_.back() == '/';
}

std::string URL::absoluteString() const {
  if (isFileURL()) return fileAbsoluteString(path_, isDirectory_);
  std::string out = scheme_;
  out += ':';
  if (authority_) {
    out += "//";
    out += *authority_;
  }
  out += rawPath_;
  if (query_) {
    out += '?';
    out += *query_;
  }
  if (fragment_) {
    out += '#';
    out += *fragment_;
  }
  return out;
}

std::string URL::lastPathComponent() const { return std::string(vantrel::lastPathComponent(path_)); }

std::string URL::pathExtension() const { return std::string(vantrel::pathExtension(path_)); }

URL URL::withRawPath(std::string rawPath) const {
  URL url = *this;
  url.path_ = repairedUtf8(decodedBytes(rawPath));
  url.rawPath_ = std::move(rawPath);
  // Parsed again, so an edit that makes a "file:" URL a plain path (or
  // anything else the parser decides) gives the URL its text would give.
  return fromString(url.absoluteString()).value_or(std::move(url));
}

URL URL::appendingPathComponent(std::string_view component, bool isDirectory) const {
  if (component.empty()) return *this;
  if (isFileURL()) {
    std::string joined = path_;
    if (joined != "/") joined += '/';
    joined += component;
    return fileURLWithPath(joined, isDirectory);
  }
  const std::string encoded = encodedComponent(component);
  if (encoded.empty()) return *this;
  std::string raw = rawPath_;
  if (raw.empty()) {
    if (authority_) raw = "/";
  } else if (raw.back() != '/') {
    raw += '/';
  }
  raw += encoded;
  if (isDirectory) raw += '/';
  return withRawPath(std::move(raw));
}

URL URL::deletingLastPathComponent() const {
  if (isFileURL()) {
    if (path_ == "/") return *this;
    const auto slash = path_.rfind('/');
    return fileURLWithPath(slash == 0 ? "/" : path_.substr(0, slash), true);
  }
  std::size_t end = rawPath_.size();
  while (end > 0 && rawPath_[end - 1] == '/') --end;
  if (end == 0) return *this;
  const std::size_t slash = rawPath_.rfind('/', end - 1);
  return withRawPath(slash == std::string::npos ? std::string() : rawPath_.substr(0, slash + 1));
}

URL URL::deletingPathExtension() const {
  if (isFileURL()) return fileURLWithPath(vantrel::deletingPathExtension(path_), isDirectory_);
  const std::string_view raw = rawPath_;
  const std::string_view extension = vantrel::pathExtension(raw);
  if (extension.empty()) return *this;
  const auto dot = static_cast<std::size_t>(extension.data() - raw.data()) - 1;
  std::string edited(raw.substr(0, dot));
  edited += raw.substr(dot + 1 + extension.size());
  return withRawPath(std::move(edited));
}

URL URL::appendingPathExtension(std::string_view extension) const {
  if (isFileURL()) {
    const auto appended = vantrel::appendingPathExtension(path_, extension);
    return appended ? fileURLWithPath(*appended, isDirectory_) : *this;
  }
  if (extension.empty() || extension.find('/') != std::string_view::npos) return *this;
  std::size_t end = rawPath_.size();
  while (end > 0 && rawPath_[end - 1] == '/') --end;
  if (end == 0) return *this;
  std::string edited = rawPath_.substr(0, end);
  edited += '.';
  edited += addingPercentEncoding(extension, segmentAllowed());
  edited += rawPath_.substr(end);
  return withRawPath(std::move(edited));
}

}  // namespace vantrel
