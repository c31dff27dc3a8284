#include "vantrel/shortcuts/recorder/internal/internal_localization.h"

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/fixtures.h"
#include "vantrel/platform/foundation/bundles/bundle.h"
#include "vantrel/platform/foundation/defaults/user_defaults.h"

namespace vantrel {
namespace {

using recorder_internal::resetInternalLocalizationForTesting;
using testing::TemporaryDirectory;

// Each test starts as a new process would, with the preferred
// localizations it gives; the next test starts afresh again.
class InternalLocalization : public ::testing::Test {
 protected:
  static void startWith(std::vector<std::string> preferred) {
    resetInternalLocalizationForTesting([preferred] { return preferred; });
  }
  void TearDown() override { resetInternalLocalizationForTesting(); }
};

TEST_F(InternalLocalization, TextsByPreferredLocalizations) {
  const std::string used = "ShortcutView_Shortcut \"%@\" already used in operating system.";
  struct Case {
    std::vector<std::string> preferred;
    std::string key;
    std::string text;
  };
  const std::vector<Case> cases = {
      {{"de", "en"}, "Cancel", "Abbrechen"},
      {{"de", "en"}, "ShortcutView_Record Shortcut", "Aufnehmen"},
      {{"de"}, "ShortcutView_Delete Shortcut", "Löschen"},
      {{"de"}, "ShortcutView_Type New Shortcut", "Kurzbefehl eingeben"},
      {{"de"}, "ShortcutView_Type Shortcut", "Neuen eingeben"},
      {{"de"}, "ShortcutView_Use Old Shortcut", "Alten verwenden"},
      {{"de"}, used, "Der Kurzbefehl \"%@\" wird bereits vom Betriebssystem verwendet."},
      {{"de"}, "OK", "OK"},
      {{"de-AT", "de"}, "Cancel", "Cancel"},
      {{"de-AT"}, "ShortcutView_Type Shortcut", "Type Shortcut"},
      {{"fr"}, "ShortcutView_Record Shortcut", "Record Shortcut"},
      {{"fr"}, "OK", "OK"},
      {{"en", "de"}, "Cancel", "Cancel"},
      {{"DE"}, "Cancel", "Cancel"},
      {{}, "ShortcutView_Type New Shortcut", "Type New Shortcut"},
      {{}, used, "Shortcut \"%@\" already used in operating system."},
      {{}, "ShortcutView_Type Shortcut", "Type Shortcut"},
      {{"de"}, "Record Shortcut", "$$Record Shortcut$$"},
      {{}, "", "$$$$"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.preferred) + " " + c.key);
    startWith(c.preferred);
    registerLocalizations();
    EXPECT_EQ(VantrelInternalLocalization::si().localize(c.key), c.text);
  }
}

TEST_F(InternalLocalization, LanguageIsChosenOnceFromTheFirstUse) {
  startWith({"de"});
  VantrelInternalLocalization& table = VantrelInternalLocalization::si();
  EXPECT_EQ(table.language(), VantrelInternalLocalizationLanguage::german);
  EXPECT_TRUE(table.registeredPrefixes().empty());  // the common texts have no prefix
  EXPECT_EQ(table.code2string(), commonLocalizationsMap(VantrelInternalLocalizationLanguage::german));
  EXPECT_EQ(&VantrelInternalLocalization::si(), &table);
}

TEST_F(InternalLocalization, LanguageComesFromTheMainBundlesLocalizations) {
  TemporaryDirectory temp;
  ScopedUserDefaultsDirectory defaults((temp.path() / "defaults").string());
  std::filesystem::create_directories(temp.path() / "app" / "de.lproj");
  std::filesystem::create_directories(temp.path() / "app" / "en.lproj");
  const auto bundle = Bundle::bundleWithPath((temp.path() / "app").string());
  ASSERT_NE(bundle, nullptr);
  UserDefaults::standard()->set("AppleLanguages", std::vector<std::string>{"de-CH", "en"});
  resetInternalLocalizationForTesting([bundle] { return bundle->preferredLocalizations(); });
  EXPECT_EQ(VantrelInternalLocalization::si().language(), VantrelInternalLocalizationLanguage::german);
}

TEST_F(InternalLocalization, RegistrationIsOncePerPrefix) {
  startWith({});
  VantrelInternalLocalization& table = VantrelInternalLocalization::si();
  registerLocalizations();
  const LocalizationMap afterFirst = table.code2string();
  registerLocalizations();
  table.registerMap({{"Record Shortcut", "Other"}, {"New Key", "New"}}, "ShortcutView");
  EXPECT_EQ(table.code2string(), afterFirst);
  EXPECT_EQ(table.localize("ShortcutView_New Key"), "$$ShortcutView_New Key$$");

  table.registerMap({{"B_C", "first"}, {"D", "d"}}, "A");
  table.registerMap({{"C", "second"}}, "A_B");  // "A_B" + "_" + "C" is the same full key
  EXPECT_EQ(table.localize("A_B_C"), "second");
  EXPECT_EQ(table.localize("A_D"), "d");
  EXPECT_EQ(table.registeredPrefixes(), (std::set<std::string, std::less<>>{"A", "A_B", "ShortcutView"}));
}

}  // namespace
}  // namespace vantrel
