#include "vantrel/shortcuts/shortcut_helper.h"

#include <sstream>
#include <unordered_set>

#include <gtest/gtest.h>

#include "vantrel/core/console.h"
#include "vantrel/platform/keyboard/keyboard_layout.h"
#include "vantrel/shortcuts/key_glyphs.h"

namespace vantrel {
namespace {

using keyboard::KeyboardLayout;
using keyboard::ScopedKeyboardLayout;
using std::nullopt;
using Opt = std::optional<std::string>;

TEST(ShortcutHelper, HeaderExample) {
  ScopedKeyboardLayout us(KeyboardLayout{"us", ""});
  EXPECT_EQ(ShortcutHelper::symbolsStringForKeyCode(36), "↩");
  EXPECT_EQ(ShortcutHelper::symbolsStringForKeyCode(49), "Space");
  EXPECT_EQ(ShortcutHelper::symbolsStringForKeyCode(0), "a");
  EXPECT_EQ(ShortcutHelper::stringForKeyCode(0), "a-KEY");
  EXPECT_EQ(ShortcutHelper::stringForKeyCode(82), "ANSI_Keypad0");
  EXPECT_EQ(ShortcutHelper::keyCodeForString("F5"), 96);
  EXPECT_EQ(ShortcutHelper::keyCodeForString("A"), 0);
}

TEST(ShortcutHelper, FixedKeys) {
  struct Case {
    std::int64_t keyCode;
    const char* symbol;
    const char* name;
  };
  const Case cases[] = {
      {36, "↩", "ReturnR2L"},
      {48, "⇥", "TabRight"},
      {49, "Space", "Space"},
      {51, "⌫", "DeleteLeft"},
      {53, "⎋", "Escape"},
      {114, "?", "Help"},
      {115, "↖", "NorthwestArrow|Home"},
      {117, "⌦", "DeleteRight"},
      {119, "↘", "SoutheastArrow|End"},
      {126, "↑", "UpArrow"},
      {65, ".", "ANSI_KeypadDecimal"},
      {71, "⌧", "ANSI_KeypadClear"},
      {76, "⌅", "ANSI_KeypadEnter"},
      {78, "\u2013", "ANSI_KeypadMinus"},  // en dash
      {82, "0", "ANSI_Keypad0"},
      {89, "7", "ANSI_Keypad7"},
      {91, "8", "ANSI_Keypad8"},
      {122, "F1", "F1"},
      {96, "F5", "F5"},
      {80, "F19", "F19"},
  };
  // Fixed keys answer the same on every layout, even on one that fails.
  for (const KeyboardLayout& layout :
       {KeyboardLayout{"us", ""}, KeyboardLayout{"de", ""}, KeyboardLayout{"nosuchlayout", ""}}) {
    ScopedKeyboardLayout scoped(layout);
    ConsoleCapture capture;
    for (const Case& c : cases) {
      SCOPED_TRACE(layout.identifier() + " " + std::to_string(c.keyCode));
      EXPECT_EQ(ShortcutHelper::symbolsStringForKeyCode(c.keyCode), c.symbol);
      EXPECT_EQ(ShortcutHelper::stringForKeyCode(c.keyCode), c.name);
    }
    EXPECT_EQ(capture.standardOutput(), "");
  }
}

TEST(ShortcutHelper, LayoutKeys) {
  struct Case {
    const char* layout;
    std::int64_t keyCode;
    Opt symbol;
    Opt name;
  };
  const Case cases[] = {
      {"us", 0, "a", "a-KEY"},
      {"us", 16, "y", "y-KEY"},
      {"de", 16, "z", "z-KEY"},
      {"de", 27, "ß", "ß-KEY"},
      {"de", 24, nullopt, nullopt},  // dead key
      {"us", 90, nullopt, nullopt},  // F20 is not fixed and types nothing
      {"us", 55, nullopt, nullopt},  // Command types nothing
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.layout) + " " + std::to_string(c.keyCode));
    ScopedKeyboardLayout scoped(KeyboardLayout{c.layout, ""});
    EXPECT_EQ(ShortcutHelper::symbolsStringForKeyCode(c.keyCode), c.symbol);
    EXPECT_EQ(ShortcutHelper::stringForKeyCode(c.keyCode), c.name);
  }
}

TEST(ShortcutHelper, NotFoundAndCodesOutsideSixteenBits) {
  ScopedKeyboardLayout us(KeyboardLayout{"us", ""});
  EXPECT_EQ(ShortcutHelper::symbolsStringForKeyCode(NotFound), "");
  EXPECT_EQ(ShortcutHelper::stringForKeyCode(NotFound), "");
  // 65536 + 0 and 65536 + 36 would alias the A and Return keys if cut to 16 bits.
  for (std::int64_t code : {std::int64_t{-5}, std::int64_t{-1}, std::int64_t{65536},
                            std::int64_t{65536 + 36}, NotFound - 1, INT64_MIN}) {
    SCOPED_TRACE(code);
    EXPECT_EQ(ShortcutHelper::symbolsStringForKeyCode(code), nullopt);
    EXPECT_EQ(ShortcutHelper::stringForKeyCode(code), nullopt);
  }
}

TEST(ShortcutHelper, KeyCodeForString) {
  struct Case {
    const char* layout;
    const char* text;
    std::optional<std::int64_t> want;
  };
  const Case cases[] = {
      {"us", "F5", 96},   {"us", "f5", 96},          {"us", "F20", 90},
      {"us", "SPACE", 49}, {"us", "Space", 49},      {"us", "f21", nullopt},
      {"us", "f0", nullopt}, {"us", "", nullopt},    {"us", "A", 0},
      {"us", "a", 0},     {"us", "1", 18},           // main row before keypad 1 (83)
      {"us", "*", 67},    {"us", "\r", 36},          {"us", "y", 16},
      {"de", "y", 6},     {"de", "Z", 16},           {"de", "Ü", 33},
      {"de", "ß", 27},    {"us", "ü", nullopt},      {"us", "ab", nullopt},
      {"nosuchlayout", "F12", 111},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.layout) + " " + c.text);
    ScopedKeyboardLayout scoped(KeyboardLayout{c.layout, ""});
    ConsoleCapture capture;  // the failing layout prints one line per code tried
    EXPECT_EQ(ShortcutHelper::keyCodeForString(c.text), c.want);
  }
}

TEST(ShortcutHelper, FailingLayoutPrintsOneLinePerCodeTried) {
  ScopedKeyboardLayout scoped(KeyboardLayout{"nosuchlayout", ""});
  ConsoleCapture capture;
  EXPECT_EQ(ShortcutHelper::keyCodeForString("q"), nullopt);
  std::string want;
  for (int code = 0; code < 127; ++code) want += "Error at = " + std::to_string(code) + "\n";
  EXPECT_EQ(capture.standardOutput(), want);
}

TEST(ShortcutHelper, DebugPrintConstants) {
  ConsoleCapture capture;
  ShortcutHelper::debug_printConstants();
  const std::string out = capture.standardOutput();
  EXPECT_EQ(out.rfind("0 = kVK_ANSI_A\n1 = kVK_ANSI_S\n", 0), 0u);
  EXPECT_NE(out.find("\n49 = kVK_Space\n"), std::string::npos);
  EXPECT_NE(out.find("\n90 = kVK_F20\n"), std::string::npos);
  EXPECT_EQ(out.find("\n10 = "), std::string::npos);
  EXPECT_TRUE(out.ends_with("\n126 = kVK_UpArrow\n"));
  // One line per constant, in strictly ascending key-code order.
  std::istringstream lines(out);
  std::string line;
  std::int64_t previous = -1;
  int count = 0;
  while (std::getline(lines, line)) {
    const std::int64_t code = std::stoll(line.substr(0, line.find(' ')));
    EXPECT_GT(code, previous) << line;
    previous = code;
    ++count;
  }
  EXPECT_EQ(count, 112);
}

TEST(SpecialGlyphs, RawValuesAndHash) {
  EXPECT_EQ(SpecialGlyphs::fromRawValue("?"), SpecialGlyphs::help);
  EXPECT_EQ(SpecialGlyphs(SpecialGlyphs::help).hashValue(), 9);
  EXPECT_EQ(SpecialGlyphs(SpecialGlyphs::eject).rawValue(), "⏏");
  EXPECT_EQ(SpecialGlyphs(SpecialGlyphs::return_).rawValue(), "⌅");
  EXPECT_EQ(SpecialGlyphs(SpecialGlyphs::southeastArrow).rawValue(), "↘");
  for (const char* other : {"a", "", "??", "⌘", "↩\u0301"}) {
    SCOPED_TRACE(other);
    EXPECT_EQ(SpecialGlyphs::fromRawValue(other), nullopt);
  }
  std::unordered_set<SpecialGlyphs> distinct;
  for (std::size_t i = 0; i < SpecialGlyphs::all().size(); ++i) {
    const SpecialGlyphs g = SpecialGlyphs::all()[i];
    SCOPED_TRACE(g.rawValue());
    EXPECT_EQ(g.hashValue(), static_cast<std::int64_t>(i));
    EXPECT_EQ(SpecialGlyphs::fromRawValue(g.rawValue()), g);
    distinct.insert(g);
  }
  EXPECT_EQ(distinct.size(), SpecialGlyphs::all().size());
}

}  // namespace
}  // namespace vantrel
