#include "vantrel/platform/keyboard/keyboard_layout.h"

#include <cstdlib>
#include <set>

#include <gtest/gtest.h>

#include "vantrel/core/console.h"
#include "vantrel/platform/keyboard/internal/keymap_stats.h"
#include "vantrel/shortcuts/layout_lookup.h"

namespace vantrel {
namespace {

using keyboard::KeyboardLayout;
using keyboard::ScopedKeyboardLayout;

const KeyboardLayout kUs{"us", ""};
const KeyboardLayout kDe{"de", ""};

// Sets (or unsets) an environment variable for one test.
class ScopedEnvironment {
 public:
  ScopedEnvironment(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value) {
      setenv(name, value, 1);
    } else {
      unsetenv(name);
    }
  }
  ~ScopedEnvironment() {
    if (old_) {
      setenv(name_, old_->c_str(), 1);
    } else {
      unsetenv(name_);
    }
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

TEST(KeyboardLayout, HeaderExample) {
  ScopedKeyboardLayout german(kDe);
  EXPECT_EQ(keyboard::translateKeyCode(16).text, "z");
  EXPECT_TRUE(keyboard::translateKeyCode(24).succeeded);
  EXPECT_EQ(keyboard::translateKeyCode(24).text, std::nullopt);
}

TEST(KeyboardLayout, UsAgainstGerman) {
  struct Case {
    std::int64_t keyCode;
    std::optional<std::string> us;
    std::optional<std::string> de;
  };
  const Case cases[] = {
      {0, "a", "a"},              // letters come out unshifted
      {16, "y", "z"},             // the Y key ...
      {6, "z", "y"},              // ... and the Z key swap places
      {24, "=", std::nullopt},    // ´ is a dead key on "de"
      {50, "`", std::nullopt},    // and so is ^
      {41, ";", "\u00F6"},        // ö
      {33, "[", "\u00FC"},        // ü
      {27, "-", "\u00DF"},        // ß
      {29, "0", "0"},
      {10, "<", "<"},             // the extra ISO key beside left Shift
      {36, "\r", "\r"},           // Return types a carriage return
      {83, "1", "1"},             // the keypad types digits
      {122, std::nullopt, std::nullopt},  // F1 types nothing
      {55, std::nullopt, std::nullopt},   // neither does Command
      {52, std::nullopt, std::nullopt},   // an unassigned code
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.keyCode);
    ConsoleCapture capture;
    {
      ScopedKeyboardLayout us(kUs);
      EXPECT_EQ(HotKeyHelper::lookupKeyCode(c.keyCode), c.us);
    }
    {
      ScopedKeyboardLayout de(kDe);
      EXPECT_EQ(HotKeyHelper::lookupKeyCode(c.keyCode), c.de);
    }
    EXPECT_EQ(capture.standardOutput(), "");  // dead keys and silent keys print nothing
  }
}

TEST(KeyboardLayout, VariantWithoutDeadKeys) {
  ScopedKeyboardLayout layout(KeyboardLayout{"de", "nodeadkeys"});
  EXPECT_EQ(HotKeyHelper::lookupKeyCode(24), "\u00B4");  // ´ now types itself
  EXPECT_EQ(HotKeyHelper::lookupKeyCode(16), "z");
}

// A code beyond 16 bits must not be cut down to the key it would alias:
// 65536 is 0 (A) and 65552 is 16 (Y) modulo 2^16.
TEST(KeyboardLayout, CodesOutsideSixteenBitsAreRefused) {
  ScopedKeyboardLayout us(kUs);
  ConsoleCapture capture;
  for (std::int64_t code : {std::int64_t{-1}, std::int64_t{-65536}, std::int64_t{65536},
                            std::int64_t{65552}, std::int64_t{1} << 32, INT64_MIN, INT64_MAX}) {
    SCOPED_TRACE(code);
    EXPECT_EQ(HotKeyHelper::lookupKeyCode(code), std::nullopt);
  }
  for (std::int64_t code : {128, 255, 65535}) {
    SCOPED_TRACE(code);
    EXPECT_EQ(HotKeyHelper::lookupKeyCode(code), std::nullopt);
  }
  EXPECT_EQ(capture.standardOutput(), "");
}

TEST(KeyboardLayout, UnknownLayoutReportsEachFailedLookup) {
  for (const KeyboardLayout& bad : {KeyboardLayout{"nosuchlayout", ""}, KeyboardLayout{"us", "nosuchvariant"},
                                    KeyboardLayout{"us;de", ""}, KeyboardLayout{"", ""}}) {
    SCOPED_TRACE(bad.identifier());
    ScopedKeyboardLayout layout(bad);
    ConsoleCapture capture;
    EXPECT_FALSE(keyboard::translateKeyCode(0).succeeded);
    EXPECT_EQ(HotKeyHelper::lookupKeyCode(0), std::nullopt);
    EXPECT_EQ(HotKeyHelper::lookupKeyCode(16), std::nullopt);
    EXPECT_EQ(capture.standardOutput(), "Error at = 0\nError at = 16\n");
  }
  ScopedKeyboardLayout us(kUs);  // a good layout works again afterwards
  EXPECT_EQ(HotKeyHelper::lookupKeyCode(0), "a");
}

TEST(KeyboardLayout, KeymapIsCompiledOncePerLayoutChange) {
  ScopedKeyboardLayout us(kUs);
  (void)HotKeyHelper::lookupKeyCode(0);
  const std::uint64_t before = keyboard_internal::keymapCompilations();
  for (std::int64_t code = 0; code < 127; ++code) (void)HotKeyHelper::lookupKeyCode(code);
  EXPECT_EQ(keyboard_internal::keymapCompilations(), before);
  {
    ScopedKeyboardLayout de(kDe);
    EXPECT_EQ(HotKeyHelper::lookupKeyCode(16), "z");
    EXPECT_EQ(HotKeyHelper::lookupKeyCode(6), "y");
    EXPECT_EQ(keyboard_internal::keymapCompilations(), before + 1);
  }
  EXPECT_EQ(HotKeyHelper::lookupKeyCode(16), "y");
  EXPECT_EQ(keyboard_internal::keymapCompilations(), before + 2);
  // A failed layout is remembered too, not retried on every call.
  ScopedKeyboardLayout bad(KeyboardLayout{"nosuchlayout", ""});
  ConsoleCapture capture;
  (void)HotKeyHelper::lookupKeyCode(0);
  (void)HotKeyHelper::lookupKeyCode(1);
  EXPECT_EQ(keyboard_internal::keymapCompilations(), before + 3);
}

TEST(KeyboardLayout, EnvironmentChoosesLayoutsUnlessTheHostDoes) {
  keyboard::setCurrentKeyboardLayout(std::nullopt);
  {
    ScopedEnvironment layouts("XKB_DEFAULT_LAYOUT", "de,us");
    ScopedEnvironment variants("XKB_DEFAULT_VARIANT", "nodeadkeys");
    EXPECT_EQ(keyboard::configuredKeyboardLayouts(),
              (std::vector<KeyboardLayout>{{"de", "nodeadkeys"}, {"us", ""}}));
    EXPECT_EQ(keyboard::currentKeyboardLayout(), (KeyboardLayout{"de", "nodeadkeys"}));
    EXPECT_EQ(HotKeyHelper::lookupKeyCode(16), "z");
    {
      ConsoleCapture capture;
      HotKeyHelper::debug_printAllKeyboardInputSources();
      EXPECT_EQ(capture.standardOutput(), "0 val = de(nodeadkeys)\n1 val = us\n");
    }
    {
      ScopedKeyboardLayout host(kUs);  // the host's choice wins over the environment
      EXPECT_EQ(keyboard::currentKeyboardLayout(), kUs);
      EXPECT_EQ(HotKeyHelper::lookupKeyCode(16), "y");
    }
    EXPECT_EQ(HotKeyHelper::lookupKeyCode(16), "z");
  }
  {
    // A change of the environment shows at the next call.
    ScopedEnvironment layouts("XKB_DEFAULT_LAYOUT", nullptr);
    ScopedEnvironment variants("XKB_DEFAULT_VARIANT", nullptr);
    EXPECT_EQ(keyboard::configuredKeyboardLayouts(), std::vector<KeyboardLayout>{kUs});
    EXPECT_EQ(HotKeyHelper::lookupKeyCode(16), "y");
  }
  {
    ScopedEnvironment layouts("XKB_DEFAULT_LAYOUT", ",,");
    ScopedEnvironment variants("XKB_DEFAULT_VARIANT", nullptr);
    EXPECT_EQ(keyboard::configuredKeyboardLayouts(), std::vector<KeyboardLayout>{kUs});
  }
  {
    ScopedEnvironment layouts("XKB_DEFAULT_LAYOUT", " fr , de");
    ScopedEnvironment variants("XKB_DEFAULT_VARIANT", ",,ignored");
    EXPECT_EQ(keyboard::configuredKeyboardLayouts(), (std::vector<KeyboardLayout>{{"fr", ""}, {"de", ""}}));
    EXPECT_EQ(HotKeyHelper::lookupKeyCode(0), "q");  // the A key types q on a French layout
  }
}

TEST(KeyboardLayout, Identifiers) {
  struct Case {
    const char* identifier;
    std::optional<KeyboardLayout> layout;
  };
  const Case cases[] = {
      {"us", KeyboardLayout{"us", ""}},
      {"de(nodeadkeys)", KeyboardLayout{"de", "nodeadkeys"}},
      {"us(alt-intl)", KeyboardLayout{"us", "alt-intl"}},
      {"", std::nullopt},
      {"de(", std::nullopt},
      {"de()", std::nullopt},
      {"(x)", std::nullopt},
      {"de(a)b)", std::nullopt},
      {"us+de", std::nullopt},
      {"us de", std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.identifier);
    EXPECT_EQ(KeyboardLayout::fromIdentifier(c.identifier), c.layout);
    if (c.layout) {
      EXPECT_EQ(c.layout->identifier(), c.identifier);
    }
  }
}

TEST(KeyboardLayout, EvdevCodes) {
  EXPECT_EQ(keyboard::evdevCodeForKeyCode(0), 30u);    // A
  EXPECT_EQ(keyboard::evdevCodeForKeyCode(49), 57u);   // Space
  EXPECT_EQ(keyboard::evdevCodeForKeyCode(122), 59u);  // F1
  EXPECT_EQ(keyboard::evdevCodeForKeyCode(126), 103u); // Up
  EXPECT_EQ(keyboard::evdevCodeForKeyCode(52), std::nullopt);
  EXPECT_EQ(keyboard::evdevCodeForKeyCode(127), std::nullopt);
  EXPECT_EQ(keyboard::evdevCodeForKeyCode(-1), std::nullopt);
  // No two key codes may land on the same physical key.
  std::set<std::uint32_t> seen;
  for (std::int64_t code = 0; code < 128; ++code) {
    if (auto evdev = keyboard::evdevCodeForKeyCode(code)) {
      SCOPED_TRACE(code);
      EXPECT_TRUE(seen.insert(*evdev).second);
    }
  }
}

TEST(KeyboardLayout, EveryChoiceOfLayoutIsAnnounced) {
  std::vector<std::string> seen;  // the layout in use when each hook call came
  const std::uint64_t token =
      keyboard::addKeyboardSelectionHook([&] { seen.push_back(keyboard::currentKeyboardLayout().identifier()); });
  {
    ScopedKeyboardLayout german(KeyboardLayout{"de", ""});
    keyboard::setCurrentKeyboardLayout(KeyboardLayout{"fr", ""});
  }
  keyboard::removeKeyboardSelectionHook(token);
  keyboard::setCurrentKeyboardLayout(std::nullopt);
  ASSERT_EQ(seen.size(), 3u);
  EXPECT_EQ(seen[0], "de");
  EXPECT_EQ(seen[1], "fr");
  EXPECT_EQ(seen[2], keyboard::currentKeyboardLayout().identifier());
}

TEST(KeyboardLayout, AHookMayRemoveItselfWhileCalled) {
  int calls = 0;
  std::uint64_t token = 0;
  token = keyboard::addKeyboardSelectionHook([&] {
    ++calls;
    keyboard::removeKeyboardSelectionHook(token);
  });
  keyboard::setCurrentKeyboardLayout(std::nullopt);
  keyboard::setCurrentKeyboardLayout(std::nullopt);
  EXPECT_EQ(calls, 1);
}

}  // namespace
}  // namespace vantrel
