#include <chrono>
#include <optional>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "tests/support/readers_while_changing.h"
#include "vantrel/platform/keyboard/keyboard_layout.h"
#include "vantrel/shortcuts/shortcut.h"
#include "vantrel/shortcuts/shortcut_helper.h"

namespace vantrel {
namespace {

using keyboard::KeyboardLayout;

// Readers on several threads while the layout keeps switching: every answer
// comes whole from one of the two layouts, never from a keymap being
// replaced under the reader.
TEST(KeyboardLayoutConcurrency, LookupsWhileTheLayoutSwitches) {
  const int wrong = testing::wrongReadsWhileChanging(
      4,
      [] {
        const std::optional<std::string> y = ShortcutHelper::symbolsStringForKeyCode(16);
        const std::string text = Shortcut(6, ModifierFlags{ModifierFlags::command}).asStringSymbols();
        return (y == "y" || y == "z") && (text == "⌘Z" || text == "⌘Y");
      },
      [] {
        for (int i = 0; i < 40; ++i) {
          keyboard::setCurrentKeyboardLayout(i % 2 == 0 ? KeyboardLayout{"de", ""} : KeyboardLayout{"us", ""});
          std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
      });
  keyboard::setCurrentKeyboardLayout(std::nullopt);
  EXPECT_EQ(wrong, 0);
}

}  // namespace
}  // namespace vantrel
