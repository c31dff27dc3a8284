#include "vantrel/shortcuts/recorder/system_hot_keys.h"

#include <sys/stat.h>

#include <cerrno>
#include <system_error>
#include <utility>

#include "vantrel/core/console.h"
#include "vantrel/core/describe.h"
#include "vantrel/core/no_destructor.h"
#include "vantrel/core/number_text.h"
#include "vantrel/platform/foundation/files/file_manager.h"
#include "vantrel/platform/foundation/files/folders.h"
#include "vantrel/platform/posix/read_file.h"
#include "vantrel/shortcuts/shortcut.h"

namespace vantrel {

namespace {

SystemHotKeyProvider& installedProvider() {
  static NoDestructor<SystemHotKeyProvider> provider;
  return *provider;
}

bool isBlankOrComment(std::string_view line) {
  const std::size_t first = line.find_first_not_of(" \t");
  return first == std::string_view::npos || line[first] == '#';
}

}  // namespace

SystemHotKeyProvider setSystemHotKeyProvider(SystemHotKeyProvider provider) {
  return std::exchange(installedProvider(), std::move(provider));
}

SystemHotKeys copySystemHotKeys() {
  const SystemHotKeyProvider& provider = installedProvider();
  return provider ? provider() : defaultSystemHotKeys();
}

SystemHotKeys defaultSystemHotKeys() { return mergeSystemHotKeys({configuredSystemHotKeys()}); }

SystemHotKeys mergeSystemHotKeys(const std::vector<SystemHotKeys>& sources) {
  SystemHotKeys merged;
  for (const SystemHotKeys& source : sources) {
    if (source.status != 0 || !source.entries) continue;
    if (!merged.entries) merged.entries.emplace();
    merged.entries->insert(merged.entries->end(), source.entries->begin(), source.entries->end());
  }
  return merged;
}

SystemShortcutsList parseSystemShortcutsList(std::string_view text) {
  SystemShortcutsList list;
  std::size_t lineNumber = 0;
  while (!text.empty()) {
    ++lineNumber;
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (isBlankOrComment(line)) continue;
    if (const std::optional<Shortcut> shortcut = Shortcut::fromRawString(line)) {
      list.entries.push_back(SystemHotKeyEntry{shortcut->keyCode,
                                               static_cast<std::uint32_t>(shortcut->modifierFlags.carbonInt()), true});
    } else {
      list.badLines.push_back(SystemShortcutsLineError{lineNumber, std::string(line)});
    }
  }
  return list;
}

std::string configuredSystemShortcutsPath() {
  return standardFolderPath(StandardFolder::preferences) + "/vantrel/system-shortcuts";
}

SystemHotKeys configuredSystemHotKeys() {
  const std::string path = configuredSystemShortcutsPath();
  const auto unreadable = [&path](int code, const std::string& reason) {
    consolePrint("❌ Cannot read system shortcuts " + debugDescribe(path) + ": " + reason);
    return SystemHotKeys{code, std::nullopt};
  };
  // The list is read inside key handling: a FIFO or a device there would
  // block it or never end, so only regular files (and folders, refused
  // below with their own reason) get as far as the read.
  struct stat status {};
  if (::stat(path.c_str(), &status) == 0 && !S_ISREG(status.st_mode) && !S_ISDIR(status.st_mode)) {
    return unreadable(EINVAL, "Not a regular file");
  }
  std::string contents;
  if (const std::error_code error = posix::readFile(path, contents)) {
    if (error.value() == ENOENT) return SystemHotKeys{0, std::nullopt};
    return unreadable(error.value(), FileSystemError(error.value(), path).description());
  }
  SystemShortcutsList list = parseSystemShortcutsList(contents);
  for (const SystemShortcutsLineError& bad : list.badLines) {
    consolePrint("📛 Skipping line " + integerText(static_cast<std::int64_t>(bad.lineNumber)) + " of system shortcuts " +
                 debugDescribe(path) + ": " + debugDescribe(bad.line));
  }
  return SystemHotKeys{0, std::move(list.entries)};
}

}  // namespace vantrel
