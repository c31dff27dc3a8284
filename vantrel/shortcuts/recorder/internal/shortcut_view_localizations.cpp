#include "vantrel/shortcuts/recorder/internal/internal_localization.h"

namespace vantrel {

namespace {

// The recorder view's texts; each English text is its key. "%@" stands for
// the shortcut's symbols and is filled by replacing it, never by a format.
LocalizationMap shortcutViewLocalizations(VantrelInternalLocalizationLanguage language) {
  if (language == VantrelInternalLocalizationLanguage::german) {
    return {
        {"Record Shortcut", "Aufnehmen"},
        {"Delete Shortcut", "Löschen"},
        {"Type New Shortcut", "Kurzbefehl eingeben"},
        {"Type Shortcut", "Neuen eingeben"},
        {"Use Old Shortcut", "Alten verwenden"},
        {"Shortcut \"%@\" already used in operating system.",
         "Der Kurzbefehl \"%@\" wird bereits vom Betriebssystem verwendet."},
    };
  }
  LocalizationMap english;
  for (const char* key : {"Record Shortcut", "Delete Shortcut", "Type New Shortcut", "Type Shortcut",
                          "Use Old Shortcut", "Shortcut \"%@\" already used in operating system."}) {
    english.emplace(key, key);
  }
  return english;
}

}  // namespace

void registerLocalizations() {
  VantrelInternalLocalization& table = VantrelInternalLocalization::si();
  table.registerMap(shortcutViewLocalizations(table.language()), "ShortcutView");
}

}  // namespace vantrel
