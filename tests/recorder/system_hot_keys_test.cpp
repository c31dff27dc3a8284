#include "vantrel/shortcuts/recorder/system_hot_keys.h"

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/foundation/files_test_support.h"
#include "tests/recorder/system_hot_keys_support.h"
#include "tests/support/fixtures.h"
#include "vantrel/core/console.h"
#include "vantrel/platform/keyboard/keyboard_layout.h"
#include "vantrel/shortcuts/recorder/hot_key_helper.h"

namespace vantrel {
namespace {

using keyboard::KeyboardLayout;
using keyboard::ScopedKeyboardLayout;
using testing::ScopedEnv;
using testing::ScopedSystemHotKeyProvider;
using testing::ScopedSystemHotKeys;
using testing::TemporaryDirectory;

TEST(SystemHotKeys, InstalledProviderAnswersUntilRemoved) {
  const SystemHotKeys stand_in{0, std::vector<SystemHotKeyEntry>{{96, 256, true}}};
  SystemHotKeyProvider previous = setSystemHotKeyProvider([&] { return stand_in; });
  EXPECT_EQ(copySystemHotKeys().entries, stand_in.entries);
  setSystemHotKeyProvider(std::move(previous));
  EXPECT_EQ(copySystemHotKeys().entries, defaultSystemHotKeys().entries);
}

TEST(SystemHotKeys, MergeKeepsTheListsOfSourcesThatAnswered) {
  const SystemHotKeyEntry a{0, 0x100, true};
  const SystemHotKeyEntry b{1, 0x800, false};
  const SystemHotKeyEntry c{2, 0x1000, true};
  struct Case {
    const char* name;
    std::vector<SystemHotKeys> sources;
    std::optional<std::vector<SystemHotKeyEntry>> entries;
  };
  const std::vector<Case> cases = {
      {"no source", {}, std::nullopt},
      {"no lists", {{0, std::nullopt}, {0, std::nullopt}}, std::nullopt},
      {"one list", {{0, std::nullopt}, {0, std::vector{a}}}, std::vector{a}},
      {"an empty list is a list", {{0, std::vector<SystemHotKeyEntry>{}}}, std::vector<SystemHotKeyEntry>{}},
      {"in source order", {{0, std::vector{c}}, {0, std::vector{a, b}}}, std::vector{c, a, b}},
      {"a failed source counts as none", {{13, std::vector{a}}, {0, std::vector{b}}}, std::vector{b}},
      {"every source failed", {{13, std::vector{a}}}, std::nullopt},
  };
  for (const Case& cs : cases) {
    SCOPED_TRACE(cs.name);
    const SystemHotKeys merged = mergeSystemHotKeys(cs.sources);
    EXPECT_EQ(merged.status, 0);
    EXPECT_EQ(merged.entries, cs.entries);
  }
}

TEST(SystemHotKeys, ListParsing) {
  struct Case {
    const char* name;
    std::string text;
    std::vector<SystemHotKeyEntry> entries;
    std::vector<SystemShortcutsLineError> badLines;
  };
  const std::vector<Case> cases = {
      {"empty", "", {}, {}},
      {"one entry without a line end", "cmd,48", {{48, 0x100, true}}, {}},
      {"comments and blank lines", "# mine\n\n   \t\n  # indented\ncmd,48\n", {{48, 0x100, true}}, {}},
      {"all four modifiers and blanks", " ctrl-alt-shft-cmd , 122 \n", {{122, 0x1B00, true}}, {}},
      {"glyphs and no modifier", "⌃⌥,17\n,96\n", {{17, 0x1800, true}, {96, 0, true}}, {}},
      {"CR LF line ends", "cmd,48\r\nctrl,1\r\n", {{48, 0x100, true}, {1, 0x1000, true}}, {}},
      {"bad lines are kept with their numbers", "cmd,48\nctrl-T\n\ncmd,12 # note\nctrl,70000\nalt,1\n",
       {{48, 0x100, true}, {1, 0x800, true}},
       {{2, "ctrl-T"}, {4, "cmd,12 # note"}, {5, "ctrl,70000"}}},
      {"a lone CR is a bad line", "\r\r\n", {}, {{1, "\r"}}},
      {"NUL inside a line", std::string("cmd,4\0 8\n", 9), {}, {{1, std::string("cmd,4\0 8", 8)}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const SystemShortcutsList list = parseSystemShortcutsList(c.text);
    EXPECT_EQ(list.entries, c.entries);
    EXPECT_EQ(list.badLines, c.badLines);
  }
}

// The configured list in a config folder of the test's own.
class ConfiguredList : public ::testing::Test {
 protected:
  [[nodiscard]] std::filesystem::path listPath() const { return config_.path() / "vantrel" / "system-shortcuts"; }
  void write(const std::string& text) const {
    std::filesystem::create_directories(listPath().parent_path());
    std::ofstream(listPath(), std::ios::binary) << text;
  }

  TemporaryDirectory config_;
  ScopedEnv xdg_{"XDG_CONFIG_HOME", config_.path().string()};
  ScopedSystemHotKeyProvider defaultProvider_{nullptr};
};

TEST_F(ConfiguredList, PathFollowsTheConfigFolder) {
  EXPECT_EQ(configuredSystemShortcutsPath(), listPath().string());
  TemporaryDirectory home;
  ScopedEnv homeVariable("HOME", home.path().string());
  ScopedEnv unset("XDG_CONFIG_HOME", std::nullopt);
  EXPECT_EQ(configuredSystemShortcutsPath(), (home.path() / ".config/vantrel/system-shortcuts").string());
}

TEST_F(ConfiguredList, NoFileMeansNoSystemShortcuts) {
  ConsoleCapture capture;
  const SystemHotKeys hotKeys = configuredSystemHotKeys();
  EXPECT_EQ(hotKeys.status, 0);
  EXPECT_EQ(hotKeys.entries, std::nullopt);
  EXPECT_EQ(HotKeyHelper::isShortcutAlreadyTakenBySystem(Shortcut(48, ModifierFlags::command)), std::nullopt);
  EXPECT_EQ(capture.standardOutput(), "");
}

TEST_F(ConfiguredList, EntriesCountAndBadLinesAreReportedAndSkipped) {
  write("# desktop\ncmd,48\nctrl-T\n\n  # switcher\nalt-cmd,48\n");
  ConsoleCapture capture;
  const SystemHotKeys hotKeys = configuredSystemHotKeys();
  EXPECT_EQ(hotKeys.status, 0);
  EXPECT_EQ(hotKeys.entries, (std::vector<SystemHotKeyEntry>{{48, 0x100, true}, {48, 0x900, true}}));
  const std::string report = "📛 Skipping line 3 of system shortcuts \"" + listPath().string() + "\": \"ctrl-T\"\n";
  EXPECT_EQ(capture.standardOutput(), report);

  capture.clear();
  EXPECT_EQ(HotKeyHelper::isShortcutAlreadyTakenBySystem(Shortcut(48, ModifierFlags::command)),
            HotKeyHelperError::alreadyUsed);
  EXPECT_EQ(HotKeyHelper::isShortcutAlreadyTakenBySystem(Shortcut(48, ModifierFlags::control)), std::nullopt);
  EXPECT_EQ(capture.standardOutput(), report + report);

  write("cmd,49\n");  // read again at every call
  EXPECT_EQ(HotKeyHelper::isShortcutAlreadyTakenBySystem(Shortcut(48, ModifierFlags::command)), std::nullopt);
}

TEST_F(ConfiguredList, UnreadableListIsReportedInOneLineAndMeansNotTaken) {
  std::filesystem::create_directories(listPath());  // a folder cannot be read as the list
  ConsoleCapture capture;
  const SystemHotKeys hotKeys = configuredSystemHotKeys();
  EXPECT_NE(hotKeys.status, 0);
  EXPECT_EQ(hotKeys.entries, std::nullopt);
  const std::string report =
      "❌ Cannot read system shortcuts \"" + listPath().string() + "\": Is a directory\n";
  EXPECT_EQ(capture.standardOutput(), report);

  capture.clear();
  EXPECT_EQ(HotKeyHelper::isShortcutAlreadyTakenBySystem(Shortcut(48, ModifierFlags::command)), std::nullopt);
  EXPECT_EQ(capture.standardOutput(), report);
}

// Key handling must not wait for a writer that never comes.
TEST_F(ConfiguredList, FifoIsRefusedWithoutBlocking) {
  std::filesystem::create_directories(listPath().parent_path());
  ASSERT_EQ(::mkfifo(listPath().c_str(), 0600), 0);
  ConsoleCapture capture;
  const SystemHotKeys hotKeys = configuredSystemHotKeys();
  EXPECT_NE(hotKeys.status, 0);
  EXPECT_EQ(hotKeys.entries, std::nullopt);
  EXPECT_EQ(capture.standardOutput(),
            "❌ Cannot read system shortcuts \"" + listPath().string() + "\": Not a regular file\n");
}

TEST(SystemHotKeysDump, EnabledEntriesByKeyCode) {
  ScopedKeyboardLayout us(KeyboardLayout{"us", ""});
  ScopedSystemHotKeys system(std::vector<SystemHotKeyEntry>{
      {49, 0x100, true},
      {0, 0x1B00, true},
      {122, 0, true},
      {3, 0x100, false},
      {36, 0x100 | 0x400 | 0x10000, true},
      {70000, 0x1000, true},
      {12, 0x800, true},
  });
  ConsoleCapture capture;
  HotKeyHelper::debug_printAllSystemHotKeys();
  EXPECT_EQ(capture.standardOutput(),
            "sc = ctrl-alt-shft-cmd-A -> rawModifiers: 6912, rawKeyCode: 0\n"
            "sc = alt-Q -> rawModifiers: 2048, rawKeyCode: 12\n"
            "sc = cmd-↩ -> rawModifiers: 66816, rawKeyCode: 36\n"
            "sc = cmd-SPACE -> rawModifiers: 256, rawKeyCode: 49\n"
            "sc = -F1 -> rawModifiers: 0, rawKeyCode: 122\n"
            "sc = ctrl- -> rawModifiers: 4096, rawKeyCode: 70000\n");
}

TEST(SystemHotKeysDump, NoListOrNoEnabledEntryPrintsNothing) {
  for (const SystemHotKeys& hotKeys : {SystemHotKeys{0, std::nullopt}, SystemHotKeys{0, std::vector<SystemHotKeyEntry>{}},
                                       SystemHotKeys{0, std::vector<SystemHotKeyEntry>{{0, 0x100, false}}}}) {
    ScopedSystemHotKeys system(hotKeys);
    ConsoleCapture capture;
    HotKeyHelper::debug_printAllSystemHotKeys();
    EXPECT_EQ(capture.standardOutput(), "");
  }
}

}  // namespace
}  // namespace vantrel
