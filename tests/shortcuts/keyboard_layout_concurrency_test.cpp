#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

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
  std::atomic<bool> stop{false};
  std::atomic<int> wrong{0};
  std::vector<std::thread> readers;
  for (int t = 0; t < 4; ++t) {
    readers.emplace_back([&] {
      while (!stop.load()) {
        const std::optional<std::string> y = ShortcutHelper::symbolsStringForKeyCode(16);
        if (y != "y" && y != "z") ++wrong;
        const std::string text = Shortcut(6, ModifierFlags{ModifierFlags::command}).asStringSymbols();
        if (text != "⌘Z" && text != "⌘Y") ++wrong;
      }
    });
  }
  for (int i = 0; i < 40; ++i) {
    keyboard::setCurrentKeyboardLayout(i % 2 == 0 ? KeyboardLayout{"de", ""} : KeyboardLayout{"us", ""});
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  stop = true;
  for (std::thread& t : readers) t.join();
  keyboard::setCurrentKeyboardLayout(std::nullopt);
  EXPECT_EQ(wrong.load(), 0);
}

}  // namespace
}  // namespace vantrel
