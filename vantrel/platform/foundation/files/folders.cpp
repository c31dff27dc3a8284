#include "vantrel/platform/foundation/files/folders.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <iterator>
#include <optional>
#include <string_view>
#include <vector>

#include "vantrel/platform/foundation/files/internal/user_dirs.h"
#include "vantrel/platform/posix/read_file.h"

namespace vantrel {
namespace foundation_internal {

std::optional<std::string> userDirsValue(std::string_view contents, std::string_view key,
                                         std::string_view home) {
  std::optional<std::string> found;
  while (!contents.empty()) {
    const auto end = contents.find('\n');
    std::string_view line = contents.substr(0, end);
    contents = end == std::string_view::npos ? std::string_view() : contents.substr(end + 1);
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
    if (line.empty() || line.front() == '#') continue;
    if (line.substr(0, key.size()) != key) continue;
    line.remove_prefix(key.size());
    if (line.empty() || line.front() != '=') continue;
    line.remove_prefix(1);
    if (line.empty() || line.front() != '"') continue;
    line.remove_prefix(1);
    std::string value;
    bool closed = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
      const char c = line[i];
      if (c == '\\' && i + 1 < line.size()) {
        value += line[++i];
      } else if (c == '"') {
        closed = true;
        break;
      } else {
        value += c;
      }
    }
    if (!closed) continue;
    constexpr std::string_view kHome = "$HOME";
    if (value.compare(0, kHome.size(), kHome) == 0 &&
        (value.size() == kHome.size() || value[kHome.size()] == '/')) {
      found = std::string(home) + value.substr(kHome.size());
    } else if (!value.empty() && value.front() == '/') {
      found = value;
    }
  }
  if (found) {
    while (found->size() > 1 && found->back() == '/') found->pop_back();
  }
  return found;
}

}  // namespace foundation_internal

namespace {

std::optional<std::string> absoluteVariable(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr || value[0] != '/') return std::nullopt;
  std::string path = value;
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

std::string passwordDatabaseHome() {
  std::vector<char> buffer(16384);
  passwd entry{};
  passwd* result = nullptr;
  if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &result) == 0 && result != nullptr &&
      result->pw_dir != nullptr && result->pw_dir[0] == '/') {
    return result->pw_dir;
  }
  return "/";
}

std::string xdgOr(const char* variable, std::string_view fallbackUnderHome) {
  if (auto path = absoluteVariable(variable)) return *path;
  return homeDirectory() + "/" + std::string(fallbackUnderHome);
}

std::string userDir(const char* key, std::string_view fallbackName) {
  const std::string home = homeDirectory();
  const std::string config = xdgOr("XDG_CONFIG_HOME", ".config");
  if (std::string contents; !posix::readFile(config + "/user-dirs.dirs", contents)) {
    if (auto path = foundation_internal::userDirsValue(contents, key, home)) return *path;
  }
  return home + "/" + std::string(fallbackName);
}

}  // namespace

std::string homeDirectory() {
  if (auto path = absoluteVariable("HOME")) return *path;
  return passwordDatabaseHome();
}

std::string standardFolderPath(StandardFolder folder) {
  switch (folder) {
    case StandardFolder::home:
      return homeDirectory();
    case StandardFolder::library:
    case StandardFolder::applicationSupport:
      return xdgOr("XDG_DATA_HOME", ".local/share");
    case StandardFolder::caches:
      return xdgOr("XDG_CACHE_HOME", ".cache");
    case StandardFolder::preferences:
      return xdgOr("XDG_CONFIG_HOME", ".config");
    case StandardFolder::documents:
      return userDir("XDG_DOCUMENTS_DIR", "Documents");
    case StandardFolder::desktop:
      return userDir("XDG_DESKTOP_DIR", "Desktop");
    case StandardFolder::downloads:
      return userDir("XDG_DOWNLOAD_DIR", "Downloads");
    case StandardFolder::pictures:
      return userDir("XDG_PICTURES_DIR", "Pictures");
    case StandardFolder::movies:
      return userDir("XDG_VIDEOS_DIR", "Videos");
    case StandardFolder::music:
      return userDir("XDG_MUSIC_DIR", "Music");
    case StandardFolder::temporary:
      if (auto path = absoluteVariable("TMPDIR")) return *path;
      return "/tmp";
  }
  return homeDirectory();
}

}  // namespace vantrel
