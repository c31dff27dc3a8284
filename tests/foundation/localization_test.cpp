#include "vantrel/foundation/localization/localization.h"

#include "tests/foundation/localization_test_support.h"
#include "vantrel/core/console.h"
#include "vantrel/text/internal/format_interpreter.h"
#include "vantrel/foundation/localization/localization_debug.h"
#include "vantrel/platform/foundation/notifications/notification_center.h"

namespace vantrel {
namespace {

namespace VL = VantrelLocalization;
using testing::LocalizationWorld;
using testing::writeWholeFile;

// Counts the language-change notifications while alive.
class ChangeCounter {
 public:
  ChangeCounter() {
    NotificationCenter::defaultCenter().addObserver(owner_, std::string(VantrelLocalization_LanguageChangeNotification),
                                                    [this](const Notification&) { ++count_; });
  }
  [[nodiscard]] int count() const { return count_; }

 private:
  std::shared_ptr<int> owner_ = std::make_shared<int>(0);
  int count_ = 0;
};

std::optional<std::string> storedChoice() {
  return UserDefaults::standard()->stringForKey("VantrelLocalization_CurrentLanguageKey");
}

TEST(LocalizationTest, AFreshProcessLooksUpEnglishThenFallbackThenKey) {
  LocalizationWorld world;
  EXPECT_EQ(VL::localizedStringFor("greeting"), "Hello");
  EXPECT_EQ(VL::localizedStringFor("nowhere", nullptr, std::nullopt, "Fallback"), "Fallback");
  EXPECT_EQ(VL::localizedStringFor("nowhere"), "nowhere");
  EXPECT_EQ(VL::localizedStringFor("quit", nullptr, "Menus"), "Quit");
  EXPECT_EQ(VL::availableLanguages(), (std::vector<std::string>{"de", "en"}));
}

TEST(LocalizationTest, TheSavedLanguageCountsFromTheFirstLookup) {
  LocalizationWorld world;
  UserDefaults::standard()->set("VantrelLocalization_CurrentLanguageKey", "de");
  ChangeCounter changes;
  // Nothing asked for the current language yet.
  EXPECT_EQ(VL::localizedStringFor("greeting"), "Hallo");
  EXPECT_EQ(changes.count(), 1);
  EXPECT_EQ(VL::currentLanguage(), "de");
  EXPECT_EQ(VL::localizedStringFor("menu_Open"), "\xC3\x96" "ffnen");
  EXPECT_EQ(changes.count(), 1);
}

TEST(LocalizationTest, AStoredChoiceIsAppliedOnceByTheFirstCurrentLanguage) {
  LocalizationWorld world;
  UserDefaults::standard()->set("VantrelLocalization_CurrentLanguageKey", "de");
  ChangeCounter changes;
  EXPECT_EQ(VL::currentLanguage(), "de");
  EXPECT_EQ(changes.count(), 1);
  EXPECT_EQ(VL::currentLanguage(), "de");
  EXPECT_EQ(changes.count(), 1);
  EXPECT_EQ(storedChoice(), "de");
  EXPECT_EQ(VL::localizedStringFor("quit", nullptr, "Menus"), "Beenden");
}

TEST(LocalizationTest, AStoredChoiceThatIsNotAvailableIsReportedButNotLoaded) {
  LocalizationWorld world;
  UserDefaults::standard()->set("VantrelLocalization_CurrentLanguageKey", "fr");
  ChangeCounter changes;
  EXPECT_EQ(VL::currentLanguage(), "fr");
  EXPECT_EQ(VL::localizedStringFor("greeting"), "Hello");
  EXPECT_EQ(changes.count(), 0);
}

TEST(LocalizationTest, AStoredValueThatIsNotTextIsNoChoice) {
  LocalizationWorld world;
  UserDefaults::standard()->set("VantrelLocalization_CurrentLanguageKey", 7);
  EXPECT_EQ(VL::currentLanguage(), "en");
}

TEST(LocalizationTest, SetCurrentLanguageStoresAnnouncesAndIgnoresRepeatsAndUnknownCodes) {
  LocalizationWorld world;
  ChangeCounter changes;
  VL::setCurrentLanguage("de");
  EXPECT_EQ(changes.count(), 1);
  EXPECT_EQ(storedChoice(), "de");
  EXPECT_EQ(VL::localizedStringFor("greeting"), "Hallo");
  VL::setCurrentLanguage("de");
  EXPECT_EQ(changes.count(), 1);
  VL::setCurrentLanguage("fr");
  EXPECT_EQ(changes.count(), 1);
  EXPECT_EQ(VL::currentLanguage(), "de");
}

TEST(LocalizationTest, ALanguageWhoseFolderCannotLoadFallsBackToEnglish) {
  LocalizationWorld world;
  VL::setCurrentLanguage("de");
  ASSERT_EQ(VL::localizedStringFor("greeting"), "Hallo");
  // Listed among the localizations, but not a folder.
  writeWholeFile(world.app() / "Resources" / "fr.lproj", "not a folder");
  ChangeCounter changes;
  VL::setCurrentLanguage("fr");
  EXPECT_EQ(VL::currentLanguage(), "fr");
  EXPECT_EQ(changes.count(), 1);
  EXPECT_EQ(VL::localizedStringFor("greeting"), "Hello");  // not the German text under "fr"
}

TEST(LocalizationTest, DefaultLanguageFollowsThePreferredLanguages) {
  struct Case {
    std::vector<std::string> preferred;
    std::string want;
  };
  const Case cases[] = {
      {{"de-CH", "en"}, "de"},
      {{"fr", "de"}, "de"},
      {{"fr"}, "en"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.preferred.front());
    LocalizationWorld world;
    UserDefaults::standard()->set("AppleLanguages", c.preferred);
    EXPECT_EQ(VL::defaultLanguage(), c.want);
  }
}

TEST(LocalizationTest, ResetToDefaultSetsEnglishWhenThePreferredLanguageIsMissing) {
  LocalizationWorld world;
  VL::setCurrentLanguage("de");
  UserDefaults::standard()->set("AppleLanguages", std::vector<std::string>{"fr"});
  VL::resetCurrentLanguageToDefault();
  EXPECT_EQ(VL::currentLanguage(), "en");
  EXPECT_EQ(storedChoice(), "en");
}

TEST(LocalizationTest, PrecedenceOfTablesFallbackAndDollarWrap) {
  struct Case {
    std::string key;
    std::optional<std::string> fallback;
    bool dollarWrap;
    std::string want;
  };
  const Case cases[] = {
      {"greeting", std::nullopt, false, "Hallo"},
      {"greeting", std::nullopt, true, "Hallo"},  // a translation wins over the marks
      {"onlyEnglish", std::nullopt, false, "English only"},
      {"onlyEnglish", std::nullopt, true, "$$$onlyEnglish$$$"},
      {"nowhere", "Fallback", false, "Fallback"},
      {"nowhere", "Fallback", true, "$$$Fallback$$$"},
      {"nowhere", std::nullopt, false, "nowhere"},
      {"nowhere", std::nullopt, true, "$$$nowhere$$$"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.key + (c.dollarWrap ? " $$$" : ""));
    LocalizationWorld world;
    VL::setCurrentLanguage("de");
    VL::setDebugOptions(c.dollarWrap, false);
    EXPECT_EQ(VL::localizedStringFor(c.key, nullptr, std::nullopt,
                                     c.fallback ? std::optional<std::string_view>(*c.fallback) : std::nullopt),
              c.want);
  }
}

TEST(LocalizationTest, AnExplicitBundleOverridesTheCurrentLanguageButEnglishStillDefaults) {
  LocalizationWorld world;
  VL::setCurrentLanguage("de");
  writeWholeFile(world.root() / "other" / "Localizable.strings", "\"greeting\" = \"Servus\";\n");
  const auto other = Bundle::bundleWithPath((world.root() / "other").string());
  EXPECT_EQ(VL::localizedStringFor("greeting", other), "Servus");
  EXPECT_EQ(VL::localizedStringFor("onlyEnglish", other), "English only");
  EXPECT_EQ(VL::localizedStringFor("menu_Open", other), "Open");
}

TEST(LocalizationTest, LocalizeJoinsThePrefix) {
  LocalizationWorld world;
  VL::setCurrentLanguage("de");
  EXPECT_EQ(localize("Open", "menu"), "\xC3\x96" "ffnen");
  EXPECT_EQ(localize("greeting"), "Hallo");
  EXPECT_EQ(localize("quit", std::nullopt, nullptr, "Menus"), "Beenden");
}

TEST(LocalizationTest, DisplayNameIsInTheCurrentLanguage) {
  LocalizationWorld world;
  UserDefaults::standard()->set("VantrelLocalization_CurrentLanguageKey", "de");
  // Determines the current language first.
  EXPECT_EQ(VL::displayNameForLanguage("en"), "Englisch");
  EXPECT_EQ(VL::displayNameForLanguage("xx"), "");
  VL::setCurrentLanguage("en");
  EXPECT_EQ(VL::displayNameForLanguage("de"), "German");
}

TEST(LocalizationFormatTest, FillsTheTranslatedFormat) {
  LocalizationWorld world;
  VL::setCurrentLanguage("de");
  EXPECT_EQ(formatLocalize("%d files", std::nullopt, 3), "3 Dateien");
  EXPECT_EQ(formatLocalize("%@ of %@", std::nullopt, "A", "B"), "B von A");
}

TEST(LocalizationFormatTest, AMismatchedTranslationIsReportedAndTheOwnTextIsUsed) {
  LocalizationWorld world;
  VL::setCurrentLanguage("de");
  ConsoleCapture capture;
  EXPECT_EQ(formatLocalize("%d items", std::nullopt, 3), "3 items");
  EXPECT_EQ(capture.standardOutput(),
            "\x1b[fg255,255,0;formatLocalize: \"%s Elemente\" does not fit its arguments: "
            "%s needs a text, argument 1 is an integer (at \"%s\")\x1b[;\n");
}

TEST(LocalizationFormatTest, WhenNothingFitsTheTextComesBackUnfilled) {
  LocalizationWorld world;
  ConsoleCapture capture;
  EXPECT_EQ(formatLocalize("%s and %n", std::nullopt, "x"), "%s and %n");
  EXPECT_EQ(formatLocalize("%d files", std::nullopt), "%d files");
}

TEST(LocalizationFormatTest, SpecifiersAgainstTheirArguments) {
  using text_internal::FormatFailure;
  using text_internal::formatWithArguments;
  struct Case {
    std::string format;
    std::vector<FormatArgument> arguments;
    std::string want;      // the text, when it fits
    std::string failure;   // else the reason
  };
  const std::vector<Case> cases = {
      {"%d|%5d|%-5d|%05d|%+d", {7, 7, 7, 7, 7}, "7|    7|7    |00007|+7", ""},
      {"%ld %lld %i %u", {std::int64_t{-1}, 2, 3, 4u}, "-1 2 3 4", ""},
      {"%x %X %o %#x", {255, 255, 8, 255}, "ff FF 10 0xff", ""},
      {"%.2f %e %g", {3.14159, 1500.0, 0.5}, "3.14 1.500000e+03 0.5", ""},
      {"%s|%5s|%-3s|%.2s", {"ab", "ab", "ab", "\xC3\xA9" "cd"}, "ab|   ab|ab |\xC3\xA9" "c", ""},
      {"%@ %@ %@", {"t", 5, 2.5}, "t 5 2.5", ""},
      {"%c%C", {65, 0xE9}, "A\xC3\xA9", ""},
      {"100%% %d%%", {5}, "100% 5%", ""},
      {"%2$s %1$s", {"a", "b"}, "b a", ""},
      {"%d", {"text"}, "", "%d needs an integer, argument 1 is a text (at \"%d\")"},
      {"%f", {3}, "", "%f needs a floating-point number, argument 1 is an integer (at \"%f\")"},
      {"%s", {1.5}, "", "%s needs a text, argument 1 is a floating-point number (at \"%s\")"},
      {"%d %d", {1}, "", "argument 2 is missing (1 given) (at \"%d\")"},
      {"%n", {1}, "", "unsupported conversion 'n' (at \"%n\")"},
      {"%p", {1}, "", "unsupported conversion 'p' (at \"%p\")"},
      {"%*d", {1, 2}, "", "a width taken from the arguments is not supported (at \"%*\")"},
      {"%1$s %s", {"a"}, "", "positional and sequential specifiers are mixed (at \"%s\")"},
      {"%0$s", {"a"}, "", "argument positions start at 1 (at \"%0$\")"},
      {"%99999d", {1}, "", "widths and precisions above 1024 are refused (at \"%99999\")"},
      {"50%", {}, "", "the format ends inside a specifier (at \"%\")"},
      {"%c", {0xD800}, "", "%c: argument 1 is no Unicode scalar (at \"%c\")"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.format);
    auto result = formatWithArguments(c.format, c.arguments);
    if (c.failure.empty()) {
      ASSERT_TRUE(std::holds_alternative<std::string>(result)) << std::get<FormatFailure>(result).reason;
      EXPECT_EQ(std::get<std::string>(result), c.want);
    } else {
      ASSERT_TRUE(std::holds_alternative<FormatFailure>(result)) << std::get<std::string>(result);
      EXPECT_EQ(std::get<FormatFailure>(result).reason, c.failure);
    }
  }
}

}  // namespace
}  // namespace vantrel
