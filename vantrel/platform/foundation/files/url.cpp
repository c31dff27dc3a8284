#include "vantrel/platform/foundation/files/url.h"

#include <unistd.h>

#include <cstdlib>
#include <vector>

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

}  // namespace

URL URL::fileURLWithPath(std::string_view path, bool isDirectory) {
  URL url;
  url.path_ = normalised(path);
  url.isDirectory_ = isDirectory || url.path_ == "/";
  return url;
}

std::string URL::absoluteString() const {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out = "file://";
  for (unsigned char c : path_) {
    if (keptUnescaped(c)) {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
  }
  if (isDirectory_ && path_ != "/") out += '/';
  return out;
}

std::string URL::lastPathComponent() const {
  if (path_ == "/") return "/";
  return path_.substr(path_.rfind('/') + 1);
}

std::string URL::pathExtension() const {
  const std::string last = lastPathComponent();
  const auto dot = last.rfind('.');
  if (dot == std::string::npos || dot == 0 || dot + 1 == last.size()) return "";
  return last.substr(dot + 1);
}

URL URL::appendingPathComponent(std::string_view component, bool isDirectory) const {
  if (component.empty()) return *this;
  std::string joined = path_;
  if (joined != "/") joined += '/';
  joined += component;
  return fileURLWithPath(joined, isDirectory);
}

URL URL::deletingLastPathComponent() const {
  if (path_ == "/") return *this;
  const auto slash = path_.rfind('/');
  return fileURLWithPath(slash == 0 ? "/" : path_.substr(0, slash), true);
}

}  // namespace vantrel
