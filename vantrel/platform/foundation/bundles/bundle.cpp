#include "vantrel/platform/foundation/bundles/bundle.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <iterator>

#include "vantrel/core/console_loggers.h"
#include "vantrel/platform/foundation/files/file_manager.h"
#include "vantrel/platform/foundation/bundles/internal/info_json.h"
#include "vantrel/platform/foundation/bundles/internal/loaded_bundles.h"
#include "vantrel/platform/foundation/bundles/main_bundle.h"
#include "vantrel/platform/foundation/bundles/strings_file.h"
#include "vantrel/platform/foundation/defaults/user_defaults.h"
#include "vantrel/text/comparison.h"
#include "vantrel/platform/posix/read_file.h"

namespace vantrel {

namespace {

bool isDirectory(const std::string& path) {
  struct stat status {};
  return ::stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

bool isFile(const std::string& path) {
  struct stat status {};
  return ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

std::optional<std::string> readFile(const std::string& path) {
  std::string contents;
  if (posix::readFile(path, contents)) return std::nullopt;
  return contents;
}

// "de_DE.UTF-8@euro" -> "de_DE"; "C" and "POSIX" name no language.
std::optional<std::string> languageFromLocaleName(std::string_view name) {
  const auto cut = name.find_first_of(".@");
  if (cut != std::string_view::npos) name = name.substr(0, cut);
  if (name.empty() || name == "C" || name == "POSIX") return std::nullopt;
  return std::string(name);
}

std::string normalizedCode(std::string_view code) {
  std::string out(code);
  std::replace(out.begin(), out.end(), '-', '_');
  std::transform(out.begin(), out.end(), out.begin(), [](char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  });
  return out;
}

}  // namespace

Bundle::Bundle(Passkey, std::string path, bool isMain) : path_(std::move(path)), isMain_(isMain) {}

std::shared_ptr<Bundle> Bundle::main() {
  // Never destroyed: lookups may still come during exit.
  static const auto* bundle = new std::shared_ptr<Bundle>(std::make_shared<Bundle>(Passkey{}, mainBundlePath(), true));
  return *bundle;
}

std::shared_ptr<Bundle> Bundle::bundleWithPath(std::string_view path) {
  std::string folder(path);
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  if (folder.empty() || !isDirectory(folder)) return nullptr;
  foundation_internal::noteLoadedBundlePath(folder);
  return std::make_shared<Bundle>(Passkey{}, std::move(folder), false);
}

std::vector<std::string> Bundle::preferredLanguages() {
  if (auto list = UserDefaults::standard()->stringArrayForKey("AppleLanguages"); list && !list->empty()) {
    return *list;
  }
  std::vector<std::string> languages;
  const auto add = [&languages](std::string_view name) {
    if (auto code = languageFromLocaleName(name)) {
      if (std::find(languages.begin(), languages.end(), *code) == languages.end()) languages.push_back(*code);
    }
  };
  if (const char* list = std::getenv("LANGUAGE"); list && *list) {
    std::string_view rest(list);
    while (!rest.empty()) {
      const auto colon = rest.find(':');
      add(rest.substr(0, colon));
      rest = colon == std::string_view::npos ? std::string_view() : rest.substr(colon + 1);
    }
  }
  for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    if (const char* value = std::getenv(variable); value && *value) {
      add(value);
      break;  // the first one set is the one in force
    }
  }
  return languages;
}

std::optional<std::string> Bundle::bundleIdentifier() const {
  if (isMain_) return mainBundleIdentifier();
  auto text = readFile(path_ + "/Info.json");
  if (!text) return std::nullopt;
  auto identifier = foundation_internal::infoJsonText(*text, "CFBundleIdentifier");
  if (identifier && identifier->empty()) return std::nullopt;
  return identifier;
}

std::string Bundle::resourcePath() const {
  std::string resources = path_ == "/" ? "/Resources" : path_ + "/Resources";
  return isDirectory(resources) ? resources : path_;
}

std::vector<std::string> Bundle::localizations() const {
  std::vector<std::string> codes;
  std::vector<std::string> names;
  try {
    names = FileManager::defaultManager().contentsOfDirectory(resourcePath());
  } catch (const FileSystemError&) {
    return codes;  // a folder that went away has no localizations
  }
  for (const std::string& name : names) {
    constexpr std::string_view suffix = ".lproj";
    // Listed by name, as the folder shows them; whether one can be loaded
    // is for `bundleWithPath` to tell.
    if (name.size() > suffix.size() && name.ends_with(suffix)) {
      codes.push_back(name.substr(0, name.size() - suffix.size()));
    }
  }
  std::sort(codes.begin(), codes.end(), TextLess{});
  return codes;
}

std::vector<std::string> Bundle::preferredLocalizations() const {
  const std::vector<std::string> available = localizations();
  if (available.empty()) return {};
  for (const std::string& language : preferredLanguages()) {
    const std::string wanted = normalizedCode(language);
    for (const std::string& code : available) {
      if (normalizedCode(code) == wanted) return {code};
    }
    const std::string plain = wanted.substr(0, wanted.find('_'));
    for (const std::string& code : available) {
      if (normalizedCode(code) == plain) return {code};
    }
  }
  if (std::find(available.begin(), available.end(), "en") != available.end()) return {"en"};
  return {available.front()};
}

std::optional<std::string> Bundle::pathForResource(std::string_view name, std::string_view type) const {
  if (name.empty() || name.find('/') != std::string_view::npos) return std::nullopt;
  std::string path = resourcePath() + "/" + std::string(name);
  if (!type.empty()) path += "." + std::string(type);
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) return std::nullopt;
  return path;
}

std::shared_ptr<const Bundle::Table> Bundle::table(std::string_view name) const {
  {
    std::lock_guard lock(mutex_);
    if (auto found = tables_.find(name); found != tables_.end()) return found->second;
  }
  const std::string fileName = std::string(name) + ".strings";
  std::optional<std::string> path;
  if (const std::string own = resourcePath() + "/" + fileName; isFile(own)) {
    path = own;
  } else {
    for (const std::string& code : preferredLocalizations()) {
      if (const std::string inFolder = resourcePath() + "/" + code + ".lproj/" + fileName; isFile(inFolder)) {
        path = inFolder;
        break;
      }
    }
  }
  auto table = std::make_shared<Table>();
  if (path) {
    if (auto bytes = readFile(*path)) {
      try {
        *table = parseStringsFile(*bytes);
      } catch (const StringsFileError& error) {
        qlog.error("Can't read strings file \"" + *path + "\"", error);
      }
    }
  }
  std::lock_guard lock(mutex_);
  // Another thread may have read it meanwhile; keep the first.
  return tables_.emplace(std::string(name), std::move(table)).first->second;
}

std::string Bundle::localizedStringForKey(std::string_view key, std::optional<std::string_view> value,
                                          std::optional<std::string_view> tableName) const {
  const auto entries = table(tableName.value_or("Localizable"));
  if (auto found = entries->find(std::string(key)); found != entries->end()) return found->second;
  if (value && !value->empty()) return std::string(*value);
  return std::string(key);
}

}  // namespace vantrel
