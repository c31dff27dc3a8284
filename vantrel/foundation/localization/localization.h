// File: vantrel/foundation/localization/localization.h
//
// `VantrelLocalization`: the library's string lookup. One process-wide
// choice of interface language, kept in the standard user defaults under
// "VantrelLocalization_CurrentLanguageKey", and texts looked up in the
// "<language>.lproj" folders of the main bundle (see bundle.h).
//
//   VantrelLocalization::setMainBundle(Bundle::bundleWithPath(appFolder));
//   VantrelLocalization::setCurrentLanguage("de");    // stored, announced
//   VantrelLocalization::localizedStringFor("menu_Open");     // "Öffnen"
//   localize("Open", "menu");                                  // the same key
//   formatLocalize("%d files", std::nullopt, 3);                // "3 Dateien"
//
// A key is looked up in the given bundle, else in the current language's
// folder; the default is the English folder's text, else the caller's
// fallback, else the key. The saved language is applied on the first
// lookup. A language that is among the folders but whose folder cannot be
// loaded looks its texts up in English. Changing the language posts
// "VantrelLocalization_LanguageChangeNotification" on the default
// notification centre, synchronously, after the change.
//
// `formatLocalize` fills printf-style specifiers (%d %i %u %x %X %o %c %f
// %e %g %a %s %@, flags, width, precision, positions "%1$@") from typed
// arguments; the looked-up text is never handed to printf. Numbers are
// written locale-free, as the C locale would ("1.50", no grouping, "'" is
// ignored), whatever locale the process runs in. A specifier
// that does not fit its argument (or has none) is reported through
// `qlog.warning` and the receiver text itself is used as the format
// instead; if that does not fit either, the looked-up text comes back
// unfilled.
//
// Debug switches and the information dump: localization_debug.h. Any
// thread may call; the state is guarded, but it is meant to be changed
// from one thread (the main thread) and read anywhere.
#pragma once

#include <concepts>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "vantrel/text/formatting.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

class Bundle;

// Name of the notification posted after the current language changed.
inline constexpr std::string_view VantrelLocalization_LanguageChangeNotification =
    "VantrelLocalization_LanguageChangeNotification";

namespace VantrelLocalization {

// The bundle whose language folders are used (nullptr: the application's
// main bundle). Folders loaded before keep being used.
void setMainBundle(std::shared_ptr<Bundle> bundle);
// The main bundle's localizations.
[[nodiscard]] std::vector<std::string> availableLanguages();
// The stored choice (applied through `setCurrentLanguage`), else
// `defaultLanguage()`.
[[nodiscard]] std::string initialLanguage();
// The main bundle's first preferred localization, else "en".
[[nodiscard]] std::string defaultLanguage();
// The current language, determined by `initialLanguage()` on first use.
[[nodiscard]] std::string currentLanguage();
// Switches to `language` when it is among the localizations: loads its
// folder, stores the choice and posts the change notification. Nothing
// happens for the current language or a code that is not available.
void setCurrentLanguage(std::string_view language);
void resetCurrentLanguageToDefault();
// The name of `language` in the current language ("" when unknown).
[[nodiscard]] std::string displayNameForLanguage(std::string_view language);

[[nodiscard]] std::string localizedStringFor(std::string_view key, const std::shared_ptr<Bundle>& bundle = nullptr,
                                             std::optional<std::string_view> tableName = std::nullopt,
                                             std::optional<std::string_view> fallbackValue = std::nullopt);

}  // namespace VantrelLocalization

// The key is `prefix` + "_" + `self` when a prefix is given, else `self`.
[[nodiscard]] std::string localize(std::string_view self, std::optional<std::string_view> prefix = std::nullopt,
                                   const std::shared_ptr<Bundle>& bundle = nullptr,
                                   std::optional<std::string_view> tableName = std::nullopt);

// `localize(self, prefix)` used as a printf-style format; see the top.
[[nodiscard]] std::string formatLocalizeArguments(std::string_view self, std::optional<std::string_view> prefix,
                                                  std::span<const FormatArgument> arguments);

template <class... Args>
[[nodiscard]] std::string formatLocalize(std::string_view self, std::optional<std::string_view> prefix,
                                         const Args&... arguments) {
  const FormatArgument packed[] = {FormatArgument(arguments)..., FormatArgument(0)};
  return formatLocalizeArguments(self, prefix, std::span<const FormatArgument>(packed, sizeof...(Args)));
}

}  // namespace vantrel
