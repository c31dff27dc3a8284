// File: vantrel/platform/foundation/bundles/bundle.h
//
// `Bundle`: a folder of resources with localization folders, in place of
// the platform's bundles. Resources live in the folder's "Resources"
// subfolder when it has one, else in the folder itself; each localization
// is a subfolder "<language>.lproj" holding strings tables
// "<table>.strings" (see strings_file.h).
//
//   auto app = Bundle::main();                       // the executable's folder
//   app->localizations();                            // {"de", "en"}
//   auto de = Bundle::bundleWithPath(*app->pathForResource("de", "lproj"));
//   de->localizedStringForKey("menu_Open", "Open", std::nullopt);   // "Öffnen"
//
// The main bundle's identifier is the one of main_bundle.h; another
// bundle's comes from an "Info.json" in its folder. The user's preferred
// languages are the "AppleLanguages" list of the standard user defaults
// when set, else $LANGUAGE, $LC_ALL, $LC_MESSAGES and $LANG. A table file
// is read once, on its first lookup; one that cannot be parsed is reported
// once through `qlog.error` and looks up as empty. Thread-safe.
#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

class Bundle {
 public:
  // The bundle of the running executable's folder.
  [[nodiscard]] static std::shared_ptr<Bundle> main();
  // A bundle for an existing folder; nullptr when `path` is not one.
  [[nodiscard]] static std::shared_ptr<Bundle> bundleWithPath(std::string_view path);
  // The loaded bundles: the main bundle, then each folder given to
  // `bundleWithPath` (once per path), in the order they were first loaded.
  [[nodiscard]] static std::vector<std::shared_ptr<Bundle>> allBundles();
  // The first loaded bundle whose identifier is `identifier`; nullptr for none.
  [[nodiscard]] static std::shared_ptr<Bundle> bundleWithIdentifier(std::string_view identifier);

  // The user's language list, most preferred first ("de-CH", "en").
  [[nodiscard]] static std::vector<std::string> preferredLanguages();

  Bundle(const Bundle&) = delete;  // shared by reference; identity is the pointer
  Bundle& operator=(const Bundle&) = delete;

  [[nodiscard]] const std::string& bundlePath() const { return path_; }
  [[nodiscard]] std::optional<std::string> bundleIdentifier() const;
  [[nodiscard]] std::string resourcePath() const;

  // The language codes of the entries named "<code>.lproj", in `textLess`
  // order (an entry that is not a readable folder is listed too).
  [[nodiscard]] std::vector<std::string> localizations() const;
  // The localization that best matches the preferred languages (a language
  // with region also matches its plain language), else "en" when present,
  // else the first; empty when the bundle has none.
  [[nodiscard]] std::vector<std::string> preferredLocalizations() const;

  // The path of the resource `name` + "." + `type` (`type` may be empty),
  // when it exists.
  [[nodiscard]] std::optional<std::string> pathForResource(std::string_view name, std::string_view type) const;

  // The text stored for `key` in the strings table `table` ("Localizable"
  // when nullopt): the bundle's own table file, else the one in its
  // preferred localization's folder. When the key is missing: `value`,
  // or the key itself when `value` is absent or empty.
  [[nodiscard]] std::string localizedStringForKey(std::string_view key, std::optional<std::string_view> value,
                                                  std::optional<std::string_view> table) const;

 private:
  struct Passkey {};

 public:
  Bundle(Passkey, std::string path, bool isMain);

 private:
  using Table = std::unordered_map<std::string, std::string>;
  [[nodiscard]] std::shared_ptr<const Table> table(std::string_view name) const;

  std::string path_;
  bool isMain_;
  mutable std::mutex mutex_;
  mutable std::map<std::string, std::shared_ptr<const Table>, std::less<>> tables_;
};

}  // namespace vantrel
