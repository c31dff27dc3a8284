#include "vantrel/foundation/localization/localization_debug.h"

#include <sstream>

#include "tests/foundation/localization_test_support.h"
#include "vantrel/core/console.h"
#include "vantrel/foundation/localization/localization.h"
#include "vantrel/platform/foundation/bundles/strings_file.h"

namespace vantrel {
namespace {

namespace VL = VantrelLocalization;
using testing::LocalizationWorld;
using testing::readWholeFile;
using testing::writeWholeFile;

std::vector<std::string> linesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

const std::string kRule(78, '=');

// "Session start at yyyy-MM-dd HH:mm:ss +0000, Language:<language>:".
bool isHeader(const std::string& line, const std::string& language) {
  constexpr std::string_view prefix = "Session start at ";
  constexpr std::string_view shape = "dddd-dd-dd dd:dd:dd +0000";
  if (line.size() < prefix.size() + shape.size() || !line.starts_with(prefix)) return false;
  for (std::size_t i = 0; i < shape.size(); ++i) {
    const char c = line[prefix.size() + i];
    if (shape[i] == 'd' ? (c < '0' || c > '9') : c != shape[i]) return false;
  }
  return line.substr(prefix.size() + shape.size()) == ", Language:" + language + ":";
}

TEST(LocalizationDebugTest, SwitchingTheLogOnCreatesTheFileWithAHeader) {
  LocalizationWorld world;
  ConsoleCapture capture;
  VL::setDebugOptions(false, true);
  EXPECT_EQ(capture.standardOutput(), "Writing missing keys to = " + world.missingKeysFile().string() + "\n");
  EXPECT_EQ(VL::getDebugOptions(), (VL::DebugOptions{false, true}));
  const auto lines = linesOf(readWholeFile(world.missingKeysFile()));
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], kRule);
  EXPECT_TRUE(isHeader(lines[1], "nil")) << lines[1];  // no language determined yet
}

TEST(LocalizationDebugTest, AnOpenLogGetsNoSecondHeaderAndReopeningAppends) {
  LocalizationWorld world;
  VL::setCurrentLanguage("de");
  VL::setDebugOptions(false, true);
  VL::setDebugOptions(true, true);  // still open: nothing new
  (void)VL::localizedStringFor("onlyEnglish");
  VL::setDebugOptions(false, false);
  VL::setDebugOptions(false, true);
  const auto lines = linesOf(readWholeFile(world.missingKeysFile()));
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[0], kRule);
  EXPECT_TRUE(isHeader(lines[1], "Optional(\"de\")")) << lines[1];
  EXPECT_EQ(lines[2], "\"onlyEnglish\" = \"onlyEnglish\";");
  EXPECT_EQ(lines[3], kRule);
  EXPECT_TRUE(isHeader(lines[4], "Optional(\"de\")")) << lines[4];
}

TEST(LocalizationDebugTest, EveryMissingLookupIsRecordedWithItsEntryText) {
  LocalizationWorld world;
  VL::setCurrentLanguage("de");
  VL::setDebugOptions(false, true);
  for (int i = 0; i < 3; ++i) (void)VL::localizedStringFor("onlyEnglish");
  (void)VL::localizedStringFor("greeting");          // translated: not recorded
  (void)localize("Quit", "menu");
  (void)VL::localizedStringFor("trailing_");
  (void)VL::localizedStringFor("a_b_c");
  // The explicit bundle plays no part: the current language's table decides.
  writeWholeFile(world.root() / "other" / "Localizable.strings", "\"explicit\" = \"x\";\n");
  EXPECT_EQ(VL::localizedStringFor("explicit", Bundle::bundleWithPath((world.root() / "other").string())), "x");
  const auto lines = linesOf(readWholeFile(world.missingKeysFile()));
  const std::vector<std::string> entries(lines.begin() + 2, lines.end());
  EXPECT_EQ(entries, (std::vector<std::string>{
                         "\"onlyEnglish\" = \"onlyEnglish\";",
                         "\"onlyEnglish\" = \"onlyEnglish\";",
                         "\"onlyEnglish\" = \"onlyEnglish\";",
                         "\"menu_Quit\" = \"Quit\";",
                         "\"trailing_\" = \"\";",
                         "\"a_b_c\" = \"b_c\";",
                         "\"explicit\" = \"explicit\";",
                     }));
}

TEST(LocalizationDebugTest, MissingKeyLinesAreEscapedIntoValidEntries) {
  LocalizationWorld world;
  VL::setCurrentLanguage("de");
  VL::setDebugOptions(false, true);
  const std::string key = "say_\"hi\"\nback\\slash";
  (void)VL::localizedStringFor(key);
  const auto lines = linesOf(readWholeFile(world.missingKeysFile()));
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[2], R"("say_\"hi\"\nback\\slash" = "\"hi\"\nback\\slash";)");
  const auto table = parseStringsFile(lines[2]);
  EXPECT_EQ(table.at(key), "\"hi\"\nback\\slash");
}

TEST(LocalizationDebugTest, WithoutALanguageFolderNothingIsRecorded) {
  LocalizationWorld world;
  VL::setDebugOptions(false, true);
  EXPECT_EQ(VL::localizedStringFor("nowhere"), "nowhere");
  EXPECT_EQ(linesOf(readWholeFile(world.missingKeysFile())).size(), 2u);
}

TEST(LocalizationDebugTest, ALogThatCannotBeOpenedStaysClosed) {
  LocalizationWorld world;
  testing::ScopedVariable home("HOME", (world.root() / "missing-home").string());
  VL::setCurrentLanguage("de");
  ConsoleCapture capture;
  VL::setDebugOptions(false, true);
  EXPECT_EQ(VL::localizedStringFor("onlyEnglish"), "English only");
  const auto lines = linesOf(capture.standardOutput());
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], "Writing missing keys to = " + (world.root() / "missing-home").string() +
                          "/OstrivoMissingKeys.txt");
  EXPECT_NE(lines[1].find("Can't open file"), std::string::npos);
}

TEST(LocalizationDebugTest, PrintInfoDumpsStateAndSettings) {
  LocalizationWorld world;
  VL::setCurrentLanguage("de");
  UserDefaults::standard()->set("AppleLocale", "de_DE");
  ConsoleCapture capture;
  VL::debug_printInfo();
  const std::string rule(81, '-');
  EXPECT_EQ(capture.standardOutput(),
            rule + "\n"
            "Localization Info:\n"
            "MainBundle = Optional(\"com.example.world\")\n"
            "(MainBundle ?? NSBundle.mainBundle()).localizations = [\"de\", \"en\"]\n"
            "(MainBundle ?? NSBundle.mainBundle()).preferredLocalizations = [\"en\"]\n"
            "\n"
            "UserDefaults AppleLanguages = en\n"
            "UserDefaults AppleLocale = Optional(de_DE)\n"
            "UserDefaults AppleTextDirection = nil\n"
            "UserDefaults NSDoubleLocalizedStrings = nil\n"
            "UserDefaults NSForceRightToLeftWritingDirection = nil\n"
            "UserDefaults NSLanguages = nil\n"
            "UserDefaults VantrelLocalization_CurrentLanguageKey = Optional(de)\n"
            "\n"
            "VantrelLocalization.initialLanguage() = de\n"
            "VantrelLocalization.defaultLanguage() = en\n"
            "VantrelLocalization.currentLanguage() = de\n"
            "VantrelLocalization_FallbackDefaultLanguage = en\n" +
                rule + "\n");
}

TEST(LocalizationDebugTest, PrintInfoWithoutAMainBundleSaysNil) {
  LocalizationWorld world;
  VL::setMainBundle(nullptr);
  ConsoleCapture capture;
  VL::debug_printInfo();
  const auto lines = linesOf(capture.standardOutput());
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines[2], "MainBundle = nil");
}

}  // namespace
}  // namespace vantrel
