#include "vantrel/foundation/localization/localization.h"

#include <algorithm>

#include <unicode/locid.h>
#include <unicode/unistr.h>

#include "vantrel/core/console_loggers.h"
#include "vantrel/foundation/localization/internal/localization_state.h"
#include "vantrel/foundation/files/stream_writer.h"
#include "vantrel/platform/foundation/bundles/bundle.h"
#include "vantrel/platform/foundation/notifications/notification_center.h"
#include "vantrel/platform/foundation/defaults/user_defaults.h"
#include "vantrel/text/formatting.h"

namespace vantrel {

namespace foundation_internal {

LocalizationState& localizationState() {
  static auto* state = new LocalizationState();  // never destroyed: lookups may come at exit
  return *state;
}

std::shared_ptr<Bundle> localizationMainBundle() {
  LocalizationState& state = localizationState();
  {
    std::lock_guard lock(state.mutex);
    if (state.mainBundle) return state.mainBundle;
  }
  return Bundle::main();
}

void resetLocalizationForTesting() {
  LocalizationState& state = localizationState();
  std::shared_ptr<StreamWriter> writer;
  {
    std::lock_guard lock(state.mutex);
    writer = std::move(state.missingKeysWriter);
    state.mainBundle.reset();
    state.englishBundle.reset();
    state.currentLanguageBundle.reset();
    state.currentLanguage.reset();
    state.dollarWrapMissing = false;
    state.logMissingKeys = false;
    state.missingKeysWriter.reset();
  }
  if (writer) writer->close();
}

}  // namespace foundation_internal

namespace {

using foundation_internal::localizationMainBundle;
using foundation_internal::localizationState;
using foundation_internal::LocalizationState;

constexpr std::string_view kCurrentLanguageKey = "VantrelLocalization_CurrentLanguageKey";
constexpr std::string_view kFallbackDefaultLanguage = "en";

std::shared_ptr<Bundle> languageFolder(const std::shared_ptr<Bundle>& main, std::string_view language) {
  auto path = main->pathForResource(language, "lproj");
  return path ? Bundle::bundleWithPath(*path) : nullptr;
}

std::shared_ptr<Bundle> ensureEnglishBundle() {
  LocalizationState& state = localizationState();
  {
    std::lock_guard lock(state.mutex);
    if (state.englishBundle) return state.englishBundle;
  }
  // Searched again on every lookup while there is none.
  auto english = languageFolder(localizationMainBundle(), "en");
  std::lock_guard lock(state.mutex);
  if (!state.englishBundle) state.englishBundle = std::move(english);
  return state.englishBundle;
}

}  // namespace

namespace VantrelLocalization {

void setMainBundle(std::shared_ptr<Bundle> bundle) {
  LocalizationState& state = localizationState();
  std::lock_guard lock(state.mutex);
  state.mainBundle = std::move(bundle);
}

std::vector<std::string> availableLanguages() { return localizationMainBundle()->localizations(); }

std::string defaultLanguage() {
  const auto main = localizationMainBundle();
  const auto preferred = main->preferredLocalizations();
  if (preferred.empty()) return std::string(kFallbackDefaultLanguage);
  const auto available = main->localizations();
  if (std::find(available.begin(), available.end(), preferred.front()) != available.end()) return preferred.front();
  return std::string(kFallbackDefaultLanguage);
}

std::string initialLanguage() {
  if (auto stored = UserDefaults::standard()->stringForKey(kCurrentLanguageKey)) {
    setCurrentLanguage(*stored);
    return *stored;
  }
  return defaultLanguage();
}

std::string currentLanguage() {
  LocalizationState& state = localizationState();
  {
    std::lock_guard lock(state.mutex);
    if (state.currentLanguage) return *state.currentLanguage;
  }
  std::string initial = initialLanguage();
  std::lock_guard lock(state.mutex);
  if (!state.currentLanguage) state.currentLanguage = std::move(initial);
  return *state.currentLanguage;
}

void setCurrentLanguage(std::string_view language) {
  LocalizationState& state = localizationState();
  {
    std::lock_guard lock(state.mutex);
    if (state.currentLanguage == language) return;
  }
  const auto main = localizationMainBundle();
  const auto available = main->localizations();
  if (std::find(available.begin(), available.end(), language) == available.end()) return;
  auto folder = languageFolder(main, language);
  // A folder that cannot be loaded must not leave the previous language's
  // texts in use under the new code: English stands in for it.
  if (!folder) folder = ensureEnglishBundle();
  {
    std::lock_guard lock(state.mutex);
    state.currentLanguage = std::string(language);
    state.currentLanguageBundle = std::move(folder);
  }
  auto defaults = UserDefaults::standard();
  defaults->set(kCurrentLanguageKey, std::string(language));
  defaults->synchronize();
  NotificationCenter::defaultCenter().post(VantrelLocalization_LanguageChangeNotification);
}

void resetCurrentLanguageToDefault() { setCurrentLanguage(defaultLanguage()); }

std::string displayNameForLanguage(std::string_view language) {
  std::string code(language);
  std::replace(code.begin(), code.end(), '-', '_');
  std::string display(currentLanguage());
  std::replace(display.begin(), display.end(), '-', '_');
  icu::UnicodeString name;
  icu::Locale(code.c_str()).getDisplayLanguage(icu::Locale(display.c_str()), name);
  std::string out;
  name.toUTF8String(out);
  // ICU answers an unknown code with the code itself; that is no name.
  std::string lowered = out;
  std::transform(lowered.begin(), lowered.end(), lowered.begin(),
                 [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; });
  std::string codeLowered = code.substr(0, code.find('_'));
  std::transform(codeLowered.begin(), codeLowered.end(), codeLowered.begin(),
                 [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; });
  if (out.empty() || lowered == codeLowered) return {};
  return out;
}

std::string localizedStringFor(std::string_view key, const std::shared_ptr<Bundle>& bundle,
                               std::optional<std::string_view> tableName, std::optional<std::string_view> fallbackValue) {
  const auto english = ensureEnglishBundle();
  // The saved language counts from the first lookup on, not only once
  // something has asked for the current language.
  (void)currentLanguage();
  LocalizationState& state = localizationState();
  bool logMissing = false;
  bool dollarWrap = false;
  {
    std::lock_guard lock(state.mutex);
    logMissing = state.logMissingKeys;
    dollarWrap = state.dollarWrapMissing;
  }
  if (logMissing) foundation_internal::probeMissingKey(key, tableName);

  const std::string_view value = fallbackValue.value_or(key);
  std::string defaultText;
  if (dollarWrap) {
    defaultText = "$$$" + std::string(value) + "$$$";
  } else if (english) {
    defaultText = english->localizedStringForKey(key, value, tableName);
  } else {
    defaultText = std::string(value);
  }

  std::shared_ptr<Bundle> lookIn = bundle;
  if (!lookIn) {
    std::lock_guard lock(state.mutex);
    lookIn = state.currentLanguageBundle;
  }
  if (!lookIn) return defaultText;
  return lookIn->localizedStringForKey(key, defaultText, tableName);
}

}  // namespace VantrelLocalization

std::string localize(std::string_view self, std::optional<std::string_view> prefix, const std::shared_ptr<Bundle>& bundle,
                     std::optional<std::string_view> tableName) {
  if (prefix) {
    return VantrelLocalization::localizedStringFor(std::string(*prefix) + "_" + std::string(self), bundle, tableName);
  }
  return VantrelLocalization::localizedStringFor(self, bundle, tableName);
}

std::string formatLocalizeArguments(std::string_view self, std::optional<std::string_view> prefix,
                                    std::span<const FormatArgument> arguments) {
  const std::string format = localize(self, prefix);
  std::string reason;
  if (auto filled = filledFormat(format, arguments, &reason)) return std::move(*filled);
  qlog.warning("formatLocalize: \"" + format + "\" does not fit its arguments: " + reason);
  if (format != self) {
    if (auto own = filledFormat(self, arguments)) return std::move(*own);
  }
  return format;
}

}  // namespace vantrel
