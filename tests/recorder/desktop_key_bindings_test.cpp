#include "vantrel/shortcuts/recorder/desktop_key_bindings.h"

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/foundation/files_test_support.h"
#include "tests/support/fixtures.h"
#include "tests/support/gsettings_memory.h"
#include "system_hot_keys_support.h"
#include "vantrel/shortcuts/recorder/hot_key_helper.h"
#include "vantrel/platform/keyboard/keyboard_layout.h"
#include "vantrel/platform/posix/replace_file.h"
#include "vantrel/shortcuts/shortcut.h"

namespace vantrel {
namespace {

using keyboard::KeyboardLayout;
using keyboard::ScopedKeyboardLayout;
using Entries = std::vector<SystemHotKeyEntry>;

constexpr std::uint32_t kControl = 0x1000;
constexpr std::uint32_t kOption = 0x0800;
constexpr std::uint32_t kShift = 0x0200;
constexpr std::uint32_t kCommand = 0x0100;

struct Case {
  std::string_view text;
  std::optional<SystemHotKeyEntry> entry;
};

SystemHotKeyEntry e(std::int64_t keyCode, std::uint32_t modifiers) { return {keyCode, modifiers, true}; }

bool contains(const Entries& entries, const SystemHotKeyEntry& entry) {
  return std::find(entries.begin(), entries.end(), entry) != entries.end();
}

TEST(DesktopKeyBindings, AcceleratorsBecomeKeyCodesAndModifiers) {
  ScopedKeyboardLayout us(KeyboardLayout{"us", ""});
  const Case kCases[] = {
      {"<Alt>F4", e(118, kOption)},
      {"<Super>Up", e(126, kCommand)},
      {"<Primary><Alt>t", e(17, kControl | kOption)},
      {"<Shift><Alt>Tab", e(48, kShift | kOption)},
      {"<Shift><Control><Alt>Escape", e(53, kShift | kControl | kOption)},
      {"<Super>Above_Tab", e(50, kCommand)},
      {"<Super>space", e(49, kCommand)},
      {"<Super><Shift>Page_Up", e(116, kCommand | kShift)},
      {"<Super>h", e(4, kCommand)},
      {"<Super>H", e(4, kCommand)},
      {"<ctrl>q", e(12, kControl)},
      {"<Control><Alt>KP_Delete", e(65, kControl | kOption)},
      {"<Mod4>1", e(18, kCommand)},
      {"<Meta>F2", e(120, kOption)},
      {"<Release><Hyper>a", e(0, kCommand)},
      {"XF86AudioMute", e(74, 0)},
      {"<Super>less", e(10, kCommand)},
      // Disabled, unreadable, or without a virtual key code.
      {"", std::nullopt},
      {"disabled", std::nullopt},
      {"<Alt>", std::nullopt},
      {"<Alt", std::nullopt},
      {"<Mod5>a", std::nullopt},
      {"<Unknown>a", std::nullopt},
      {"<Super>NoSuchKey", std::nullopt},
      {"XF86Keyboard", std::nullopt},
      {"Print", std::nullopt},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(systemHotKeyFromAccelerator(c.text), c.entry);
  }
}

TEST(DesktopKeyBindings, AcceleratorsFollowTheLayoutInUse) {
  ScopedKeyboardLayout german(KeyboardLayout{"de", ""});
  EXPECT_EQ(systemHotKeyFromAccelerator("<Super>z"), e(16, kCommand));
  EXPECT_EQ(systemHotKeyFromAccelerator("<Primary>y"), e(6, kControl));
  EXPECT_EQ(systemHotKeyFromKdeShortcut("Ctrl+Z"), e(16, kControl));
}

TEST(DesktopKeyBindings, KdeShortcutsBecomeKeyCodesAndModifiers) {
  ScopedKeyboardLayout us(KeyboardLayout{"us", ""});
  const Case kCases[] = {
      {"Alt+F4", e(118, kOption)},
      {"Ctrl+Alt+T", e(17, kControl | kOption)},
      {"Meta+Shift+Tab", e(48, kCommand | kShift)},
      {"Meta+E", e(14, kCommand)},
      {"Alt+Backtab", e(48, kOption | kShift)},
      {"Ctrl++", e(24, kControl)},
      {"Ctrl+,", e(43, kControl)},
      {"Meta+PgUp", e(116, kCommand)},
      {"Meta+Ctrl+Esc", e(53, kCommand | kControl)},
      {"Volume Mute", e(74, 0)},
      {"Meta+Space", e(49, kCommand)},
      {"F12", e(111, 0)},
      {"Num+5", std::nullopt},
      {"Hyper+A", std::nullopt},
      {"Launch (C)", std::nullopt},
      {"Print", std::nullopt},
      {"Ctrl+", std::nullopt},
      {"", std::nullopt},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(systemHotKeyFromKdeShortcut(c.text), c.entry);
  }
}

constexpr std::string_view kGlobalShortcuts = R"([ActivityManager]
_k_friendly_name=Activity Manager
switch-to-activity-1=none,none,Switch to activity "Default"

[kwin]
_k_friendly_name=KWin
Window Close=Alt+F4,Alt+F4,Close Window
Walk Through Windows=Alt+Tab,Alt+Tab,Walk Through Windows
Walk Through Windows (Reverse)=Alt+Shift+Backtab,Alt+Shift+Backtab,Walk Through Windows (Reverse)
ExposeAll=Ctrl+F10\tLaunch (C),Ctrl+F10\tLaunch (C),Toggle Present Windows (All desktops)
Kill Window=Meta+Ctrl+Esc,Meta+Ctrl+Esc,Kill a Window
Show Desktop=none,Meta+D,Peek at Desktop
view_zoom_out=Meta+\\,,Meta+\\,,Zoom Out
Window Close Again=Alt+F4,none,The same combination twice

# a comment, and a line without a value
just words

[services][org.kde.konsole.desktop]
_launch=Ctrl+Alt+T
)";

TEST(DesktopKeyBindings, KdeGlobalShortcutsFileGivesTheActiveShortcuts) {
  ScopedKeyboardLayout us(KeyboardLayout{"us", ""});
  const Entries expected = {
      e(118, kOption),                    // Alt+F4
      e(48, kOption),                     // Alt+Tab
      e(48, kOption | kShift),            // Alt+Shift+Backtab
      e(109, kControl),                   // Ctrl+F10
      e(53, kCommand | kControl),         // Meta+Ctrl+Esc
      e(43, kCommand),                    // Meta+, (an escaped comma)
      e(17, kControl | kOption),          // the launcher's Ctrl+Alt+T
  };
  EXPECT_EQ(kdeGlobalShortcutEntries(kGlobalShortcuts), expected);
  EXPECT_EQ(kdeGlobalShortcutEntries(""), Entries{});
}

TEST(DesktopKeyBindings, KdeFileIsReadFromTheXdgConfigFolder) {
  ScopedKeyboardLayout us(KeyboardLayout{"us", ""});
  testing::TemporaryDirectory folder;
  testing::ScopedEnv config("XDG_CONFIG_HOME", folder.path().string());
  EXPECT_EQ(kdeSystemHotKeys(), Entries{});
  ASSERT_FALSE(posix::replaceFileAtomically((folder.path() / "kglobalshortcutsrc").string(), kGlobalShortcuts));
  EXPECT_EQ(kdeSystemHotKeys(), kdeGlobalShortcutEntries(kGlobalShortcuts));
}

constexpr const char* kWindowManagerSchema = "org.gnome.desktop.wm.keybindings";

// GSettings on the memory backend, over the installed schemas.
class GSettingsKeyBindings : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!testing::useMemoryGSettings(kWindowManagerSchema)) {
      GTEST_SKIP() << kWindowManagerSchema << " is not installed (gsettings-desktop-schemas)";
    }
    changed_ = true;
  }
  void TearDown() override {
    if (changed_) testing::resetGSettingsKey(kWindowManagerSchema, "close");
  }

  ScopedKeyboardLayout us_{KeyboardLayout{"us", ""}};
  bool changed_ = false;
};

TEST_F(GSettingsKeyBindings, TheWindowManagersDefaultsAreTaken) {
  const Entries entries = gsettingsSystemHotKeys();
  EXPECT_TRUE(contains(entries, e(118, kOption))) << "Alt+F4 closes the window";
  EXPECT_TRUE(contains(entries, e(48, kOption))) << "Alt+Tab switches applications";
  EXPECT_TRUE(contains(entries, e(48, kOption | kShift))) << "Shift+Alt+Tab switches back";
  EXPECT_TRUE(contains(entries, e(126, kCommand))) << "Super+Up maximizes";
  EXPECT_FALSE(contains(entries, e(17, kControl | kOption)));
}

TEST_F(GSettingsKeyBindings, AnEmptiedBindingIsNotTaken) {
  ASSERT_TRUE(testing::setGSettingsStrings(kWindowManagerSchema, "close", {}));
  const Entries entries = gsettingsSystemHotKeys();
  EXPECT_FALSE(contains(entries, e(118, kOption)));
  EXPECT_TRUE(contains(entries, e(48, kOption)));

  ASSERT_TRUE(testing::setGSettingsStrings(kWindowManagerSchema, "close", {"<Primary><Alt>w"}));
  EXPECT_TRUE(contains(gsettingsSystemHotKeys(), e(13, kControl | kOption)));
}

TEST_F(GSettingsKeyBindings, AnUnknownSchemaIsSkipped) {
  const Entries entries = gsettingsSystemHotKeys({"org.example.no-such-schema", kWindowManagerSchema});
  EXPECT_TRUE(contains(entries, e(118, kOption)));
  EXPECT_EQ(gsettingsSystemHotKeys({"org.example.no-such-schema"}), Entries{});
}

TEST_F(GSettingsKeyBindings, DesktopEntriesMergeGSettingsAndKde) {
  testing::TemporaryDirectory folder;
  testing::ScopedEnv config("XDG_CONFIG_HOME", folder.path().string());
  ASSERT_FALSE(posix::replaceFileAtomically((folder.path() / "kglobalshortcutsrc").string(), kGlobalShortcuts));
  const Entries gnome = gsettingsSystemHotKeys();
  const Entries all = desktopSystemHotKeys();
  EXPECT_EQ(Entries(all.begin(), all.begin() + static_cast<std::ptrdiff_t>(gnome.size())), gnome);
  EXPECT_TRUE(contains(all, e(17, kControl | kOption)));
  EXPECT_EQ(std::count(all.begin(), all.end(), e(118, kOption)), 1);
}

// The fault: the window manager's Alt+F4 passed as free unless someone had
// written it into the configured list.
TEST_F(GSettingsKeyBindings, TheDefaultProviderFindsTheWindowManagersCombinations) {
  testing::TemporaryDirectory folder;
  testing::ScopedEnv config("XDG_CONFIG_HOME", folder.path().string());
  testing::ScopedEnv noDisplay("DISPLAY", std::nullopt);
  testing::ScopedSystemHotKeyProvider defaultProvider(nullptr);
  const Shortcut altF4(118, ModifierFlags::option);
  EXPECT_EQ(HotKeyHelper::isShortcutAlreadyTakenBySystem(altF4), HotKeyHelperError::alreadyUsed);

  ASSERT_TRUE(testing::setGSettingsStrings(kWindowManagerSchema, "close", {}));
  EXPECT_EQ(HotKeyHelper::isShortcutAlreadyTakenBySystem(altF4), std::nullopt);

  // The configured list adds to the desktop's entries.
  std::filesystem::create_directories(folder.path() / "vantrel");
  ASSERT_FALSE(posix::replaceFileAtomically((folder.path() / "vantrel/system-shortcuts").string(), "alt,118\n"));
  EXPECT_EQ(HotKeyHelper::isShortcutAlreadyTakenBySystem(altF4), HotKeyHelperError::alreadyUsed);
  const SystemHotKeys all = defaultSystemHotKeys();
  ASSERT_TRUE(all.entries);
  EXPECT_EQ(all.entries->back(), e(118, kOption));
  EXPECT_TRUE(contains(*all.entries, e(48, kOption)));
}

}  // namespace
}  // namespace vantrel
