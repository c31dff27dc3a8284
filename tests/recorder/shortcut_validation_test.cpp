#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/recorder/system_hot_keys_support.h"
#include "vantrel/core/console.h"
#include "vantrel/shortcuts/recorder/hot_key_helper.h"
#include "vantrel/shortcuts/shortcut_validator.h"

namespace vantrel {
namespace {

using testing::ScopedSystemHotKeys;

constexpr std::uint32_t kCmd = 0x100;
constexpr std::uint32_t kShift = 0x200;
constexpr std::uint32_t kCarbonCapsLock = 0x400;

struct Case {
  const char* name;
  std::int64_t keyCode;
  ModifierFlags flags;
  std::optional<std::vector<SystemHotKeyEntry>> system;
  bool valid;
  bool taken;
};

TEST(ShortcutValidation, ValidityAndSystemCheck) {
  const ModifierFlags cmd = ModifierFlags::command;
  const std::vector<Case> cases = {
      {"F5 alone", 96, {}, std::nullopt, true, false},
      {"F5 with shift", 96, ModifierFlags::shift, std::nullopt, true, false},
      {"F1 alone", 122, {}, std::nullopt, true, false},
      {"F17 alone", 64, {}, std::nullopt, true, false},
      {"F20 alone", 90, {}, std::nullopt, true, false},
      {"A alone", 0, {}, std::nullopt, false, false},
      {"A with shift only", 0, ModifierFlags::shift, std::nullopt, false, false},
      {"A with Caps Lock only", 0, ModifierFlags::capsLock, std::nullopt, false, false},
      {"A with the function flag only", 0, ModifierFlags::function, std::nullopt, false, false},
      {"A with shift and Caps Lock", 0, ModifierFlags{ModifierFlags::shift, ModifierFlags::capsLock}, std::nullopt,
       false, false},
      {"A with option", 0, ModifierFlags::option, std::nullopt, true, false},
      {"A with option and shift", 0, ModifierFlags{ModifierFlags::option, ModifierFlags::shift}, std::nullopt, true,
       false},
      {"A with control", 0, ModifierFlags::control, std::nullopt, true, false},
      {"A with command and shift", 0, ModifierFlags{ModifierFlags::command, ModifierFlags::shift}, std::nullopt, true,
       false},
      {"empty system list", 0, cmd, std::vector<SystemHotKeyEntry>{}, true, false},
      {"same combination enabled", 0, cmd, std::vector<SystemHotKeyEntry>{{0, kCmd, true}}, true, true},
      {"same combination disabled", 0, cmd, std::vector<SystemHotKeyEntry>{{0, kCmd, false}}, true, false},
      {"disabled, then the same enabled", 0, cmd,
       std::vector<SystemHotKeyEntry>{{0, kCmd, false}, {0, kCmd, true}}, true, true},
      {"other key", 0, cmd, std::vector<SystemHotKeyEntry>{{1, kCmd, true}}, true, false},
      {"more modifiers in the system", 0, cmd, std::vector<SystemHotKeyEntry>{{0, kCmd | kShift, true}}, true,
       false},
      {"fewer modifiers in the system", 0, ModifierFlags{ModifierFlags::command, ModifierFlags::shift},
       std::vector<SystemHotKeyEntry>{{0, kCmd, true}}, true, false},
      {"extra bits in the system mask are dropped", 0, cmd,
       std::vector<SystemHotKeyEntry>{{0, kCmd | kCarbonCapsLock | 0x10000 | 0x80000000u, true}}, true, true},
      {"shortcut also carries Caps Lock: exact flags", 0, ModifierFlags{ModifierFlags::command, ModifierFlags::capsLock},
       std::vector<SystemHotKeyEntry>{{0, kCmd, true}}, true, false},
      {"shortcut also carries the function flag", 0, ModifierFlags{ModifierFlags::command, ModifierFlags::function},
       std::vector<SystemHotKeyEntry>{{0, kCmd, true}}, true, false},
      {"F-key without modifiers taken", 96, {}, std::vector<SystemHotKeyEntry>{{96, 0, true}}, true, true},
      {"refused combination still checked", 0, ModifierFlags::shift,
       std::vector<SystemHotKeyEntry>{{0, kShift, true}}, false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Shortcut shortcut(c.keyCode, c.flags);
    ScopedSystemHotKeys system(SystemHotKeys{0, c.system});
    EXPECT_EQ(ShortcutValidator::isShortcutValid(shortcut), c.valid);
    ConsoleCapture capture;
    const std::optional<HotKeyHelperError> answer = HotKeyHelper::isShortcutAlreadyTakenBySystem(shortcut);
    EXPECT_EQ(answer, c.taken ? std::optional(HotKeyHelperError::alreadyUsed) : std::nullopt);
    EXPECT_EQ(capture.standardOutput(), "");
  }
}

// Inside key handling a failing list must not stop the program.
TEST(ShortcutValidation, FailingSystemListIsReportedAndMeansNotTaken) {
  ScopedSystemHotKeys failing(SystemHotKeys{-50, std::vector<SystemHotKeyEntry>{{0, kCmd, true}}});
  ConsoleCapture capture;
  EXPECT_EQ(HotKeyHelper::isShortcutAlreadyTakenBySystem(Shortcut(0, ModifierFlags::command)), std::nullopt);
  EXPECT_EQ(capture.standardOutput(), "❌ Cannot CopySymbolicHotKeys, status -50: system shortcuts not checked\n");
  capture.clear();
  HotKeyHelper::debug_printAllSystemHotKeys();
  EXPECT_EQ(capture.standardOutput(), "❌ Cannot CopySymbolicHotKeys, status -50: system shortcuts not checked\n");
}

}  // namespace
}  // namespace vantrel
