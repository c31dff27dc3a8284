// Helpers for the localization, defaults, writer and operation tests.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#include "tests/support/fixtures.h"
#include "vantrel/foundation/localization/internal/localization_state.h"
#include "vantrel/foundation/localization/localization.h"
#include "vantrel/platform/foundation/bundles/bundle.h"
#include "vantrel/platform/foundation/defaults/user_defaults.h"

namespace vantrel::testing {

inline std::string readWholeFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

inline void writeWholeFile(const std::filesystem::path& path, const std::string& contents) {
  std::filesystem::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << contents;
}

// Sets an environment variable for a scope.
class ScopedVariable {
 public:
  ScopedVariable(std::string name, const std::string& value) : name_(std::move(name)) {
    if (const char* old = std::getenv(name_.c_str())) old_ = old;
    ::setenv(name_.c_str(), value.c_str(), 1);
  }
  ~ScopedVariable() {
    if (old_) ::setenv(name_.c_str(), old_->c_str(), 1);
    else ::unsetenv(name_.c_str());
  }
  ScopedVariable(const ScopedVariable&) = delete;
  ScopedVariable& operator=(const ScopedVariable&) = delete;

 private:
  std::string name_;
  std::optional<std::string> old_;
};

// A fresh localization world: user defaults, HOME and an application
// bundle with "en" and "de" folders, all in a temporary folder; the
// localization starts as in a new process.
class LocalizationWorld {
 public:
  LocalizationWorld()
      : defaults_((temp_.path() / "defaults").string()), home_("HOME", (temp_.path() / "home").string()) {
    std::filesystem::create_directories(temp_.path() / "home");
    foundation_internal::resetLocalizationForTesting();
    UserDefaults::standard()->set("AppleLanguages", std::vector<std::string>{"en"});
    writeTable("en", "Localizable",
               "\"menu_Open\" = \"Open\";\n\"greeting\" = \"Hello\";\n\"onlyEnglish\" = \"English only\";\n"
               "\"%d files\" = \"%d files\";\n");
    writeWholeFile(app() / "Info.json", "{\"CFBundleIdentifier\": \"com.example.world\"}");
    writeTable("de", "Localizable",
               "/* German */\n\"menu_Open\" = \"Öffnen\";\n\"greeting\" = \"Hallo\";\n"
               "\"%d files\" = \"%d Dateien\";\n\"%d items\" = \"%s Elemente\";\n"
               "\"%@ of %@\" = \"%2$@ von %1$@\";\n");
    writeTable("en", "Menus", "\"quit\" = \"Quit\";\n");
    writeTable("de", "Menus", "\"quit\" = \"Beenden\";\n");
    VantrelLocalization::setMainBundle(Bundle::bundleWithPath(app().string()));
  }
  ~LocalizationWorld() { foundation_internal::resetLocalizationForTesting(); }
  LocalizationWorld(const LocalizationWorld&) = delete;
  LocalizationWorld& operator=(const LocalizationWorld&) = delete;

  [[nodiscard]] std::filesystem::path root() const { return temp_.path(); }
  [[nodiscard]] std::filesystem::path app() const { return temp_.path() / "app"; }
  [[nodiscard]] std::filesystem::path home() const { return temp_.path() / "home"; }
  [[nodiscard]] std::filesystem::path missingKeysFile() const { return home() / "OstrivoMissingKeys.txt"; }

  void writeTable(const std::string& language, const std::string& table, const std::string& text) const {
    writeWholeFile(app() / "Resources" / (language + ".lproj") / (table + ".strings"), text);
  }

 private:
  TemporaryDirectory temp_;
  ScopedUserDefaultsDirectory defaults_;
  ScopedVariable home_;
};

}  // namespace vantrel::testing
