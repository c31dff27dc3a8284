// File: vantrel/shortcuts/recorder/internal/internal_localization.h
//
// `VantrelInternalLocalization`: the recorder's own small string table, so
// the recorder view speaks English or German without the host's strings
// files. The language is chosen once, when the shared table is made: German
// exactly when the first of the main bundle's preferred localizations is
// "de" (a regional "de-AT" gives English), else English, also with none.
//
//   registerLocalizations();                                        // the recorder's texts
//   VantrelInternalLocalization::si().localize("ShortcutView_Record Shortcut")   "Aufnehmen" in German
//   VantrelInternalLocalization::si().localize("Cancel")            "Cancel" / "Abbrechen"
//   VantrelInternalLocalization::si().localize("Nope")              "$$Nope$$"
//
// Texts registered under a prefix are kept under prefix + "_" + key; the
// common texts ("OK", "Cancel") under their keys alone. A prefix registers
// once: later maps under it change nothing. A map under a new prefix
// replaces texts whose full keys it shares.
//
// `si()` is made on first use, once even when threads race for it, and
// never destroyed. The table itself takes no lock: register and look up on
// the main thread, as the recorder view does.
#pragma once

#include <functional>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace vantrel {

enum class VantrelInternalLocalizationLanguage { english, german };

// Key to text.
using LocalizationMap = std::map<std::string, std::string, std::less<>>;

class VantrelInternalLocalization {
 public:
  // The shared table.
  [[nodiscard]] static VantrelInternalLocalization& si();

  VantrelInternalLocalization(const VantrelInternalLocalization&) = delete;
  VantrelInternalLocalization& operator=(const VantrelInternalLocalization&) = delete;

  [[nodiscard]] const std::set<std::string, std::less<>>& registeredPrefixes() const { return registeredPrefixes_; }
  [[nodiscard]] VantrelInternalLocalizationLanguage language() const { return language_; }
  [[nodiscard]] const LocalizationMap& code2string() const { return code2string_; }

  // Stores each text under prefix + "_" + its key, unless the prefix was
  // registered before (then nothing changes).
  void registerMap(const LocalizationMap& map, std::string_view prefix);

  // The text of a full key, else "$$" + key + "$$".
  [[nodiscard]] std::string localize(std::string_view key) const;

 private:
  friend struct InternalLocalizationMaker;
  // Chooses the language from the first of the preferred localizations
  // ("en" when there is none) and stores the common texts.
  explicit VantrelInternalLocalization(const std::vector<std::string>& preferredLocalizations);

  std::set<std::string, std::less<>> registeredPrefixes_;
  VantrelInternalLocalizationLanguage language_;
  LocalizationMap code2string_;
};

// "OK" and "Cancel" in the language.
[[nodiscard]] LocalizationMap commonLocalizationsMap(VantrelInternalLocalizationLanguage language);

// Registers the recorder view's texts in the shared table's language under
// the prefix "ShortcutView" (once per process; later calls change nothing).
void registerLocalizations();

namespace recorder_internal {

// Where the next shared table reads its preferred localizations; empty:
// `Bundle::main()->preferredLocalizations()`.
using PreferredLocalizationsSource = std::function<std::vector<std::string>()>;

// For tests: forgets the shared table, so the next `si()` makes a new one
// (choosing its language through `source`). Tables handed out before stay
// valid: they are retired, not destroyed. Not to be called while another
// thread may use `si()`.
void resetInternalLocalizationForTesting(PreferredLocalizationsSource source = {});

}  // namespace recorder_internal

}  // namespace vantrel
