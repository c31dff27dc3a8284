#include "vantrel/shortcuts/shortcut.h"

#include <unordered_set>

#include <gtest/gtest.h>

#include "vantrel/core/describe.h"
#include "vantrel/platform/keyboard/keyboard_layout.h"
#include "vantrel/text/string_services.h"

namespace vantrel {
namespace {

using keyboard::KeyboardLayout;
using keyboard::ScopedKeyboardLayout;
using M = ModifierFlags;

TEST(Shortcut, HeaderExample) {
  ScopedKeyboardLayout us(KeyboardLayout{"us", ""});
  Shortcut s(0, M{M::control, M::command});
  EXPECT_EQ(s.rawString(), "ctrl-cmd,0");
  EXPECT_EQ(Shortcut::fromRawString("ctrl-cmd,0"), s);
  EXPECT_EQ(s.asStringSymbols(), "⌃⌘A");
  EXPECT_EQ(s.asStringMedium(), "ctrl-cmd-A");
  EXPECT_EQ(s.description(), "Shortcut(⌃⌘A, keyCode=0)");
}

TEST(Shortcut, RawString) {
  struct Case {
    Shortcut shortcut;
    const char* want;
  };
  const Case cases[] = {
      {{0, M{M::control, M::command}}, "ctrl-cmd,0"},
      {{49, M{}}, ",49"},
      {{122, M::controlOptionShiftCommandFlags}, "ctrl-alt-shft-cmd,122"},
      {{7, M{M::capsLock, M::command, M::function}}, "cmd,7"},  // only the standard four
      {{-5, M{M::command}}, "cmd,-5"},
      {{NotFound, M{M::shift}}, "shft,9223372036854775807"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.want);
    EXPECT_EQ(c.shortcut.rawString(), c.want);
  }
}

TEST(Shortcut, FromRawString) {
  struct Case {
    const char* text;
    std::optional<Shortcut> want;
  };
  const std::optional<Shortcut> none;
  const Case cases[] = {
      {" ctrl-cmd , 12 ", Shortcut(12, M{M::control, M::command})},
      {"\tcmd\t,\t7\t", Shortcut(7, M{M::command})},
      {"\u00A0cmd\u3000,7", Shortcut(7, M{M::command})},  // every blank of the set is trimmed
      {"cmd - shft,12", Shortcut(12, M{})},                // inner blanks are not
      {"⌘⇧,12", Shortcut(12, M{M::command, M::shift})},
      {"COMMAND-Shift,12", Shortcut(12, M{M::command, M::shift})},
      {",49", Shortcut(49, M{})},
      {"hyper,3", Shortcut(3, M{})},
      {"cmd,+7", Shortcut(7, M{M::command})},
      {"cmd,0", Shortcut(0, M{M::command})},
      {"cmd,65535", Shortcut(65535, M{M::command})},
      {"cmd,9223372036854775807", Shortcut(NotFound, M{M::command})},
      {"cmd-cmd,1", Shortcut(1, M{M::command})},
      {"12", none},
      {"cmd,12,0", none},
      {"cmd,", none},
      {",", none},
      {"", none},
      {"cmd,abc", none},
      {"cmd,1.5", none},
      {"cmd, 1 2", none},
      {"cmd,+", none},
      {"cmd,-", none},
      {"cmd,+-1", none},
      {"cmd,0x10", none},
      {"cmd,7\n", none},  // line breaks are not trimmed
      {"cmd,9223372036854775808", none},
      {"cmd,-9223372036854775808", none},
      {"cmd,99999999999999999999999", none},
      {"cmd,\u0661", none},  // an Arabic-Indic digit is not a decimal digit here
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(Shortcut::fromRawString(c.text), c.want);
  }
}

// Key codes outside 0...65535 (other than NotFound) are refused instead of
// being read as a shortcut whose key every 16-bit consumer would see as a
// different key (65536 is the A key modulo 2^16).
TEST(Shortcut, StorageStringRefusesKeyCodesBeyondSixteenBits) {
  for (const char* text : {"cmd,-5", "cmd,-1", "cmd,65536", "cmd,65536", "cmd,65584", "cmd,4294967296",
                           "cmd,9223372036854775806", "cmd,-9223372036854775807"}) {
    SCOPED_TRACE(text);
    EXPECT_EQ(Shortcut::fromRawString(text), std::nullopt);
  }
}

TEST(Shortcut, EveryModifierCombinationRoundTrips) {
  const M standard[] = {M::control, M::option, M::shift, M::command};
  for (unsigned bits = 0; bits < 16; ++bits) {
    M flags;
    for (unsigned i = 0; i < 4; ++i) {
      if (bits & (1u << i)) flags.formUnion(standard[i]);
    }
    for (std::int64_t keyCode : {std::int64_t{0}, std::int64_t{49}, std::int64_t{122},
                                 std::int64_t{65535}, NotFound}) {
      const Shortcut s(keyCode, flags);
      SCOPED_TRACE(s.rawString());
      const std::optional<Shortcut> back = Shortcut::fromRawString(s.rawString());
      ASSERT_TRUE(back.has_value());
      EXPECT_EQ(*back, s);
      EXPECT_EQ(back->rawString(), s.rawString());
    }
  }
}

TEST(Shortcut, FlagsBeyondTheStandardFourReadBackUnequalWithTheSameHash) {
  const Shortcut withCapsLock(12, M{M::capsLock, M::command});
  const std::optional<Shortcut> back = Shortcut::fromRawString(withCapsLock.rawString());
  ASSERT_TRUE(back.has_value());
  EXPECT_EQ(back->rawString(), "cmd,12");
  EXPECT_NE(*back, withCapsLock);
  EXPECT_EQ(back->hashValue(), withCapsLock.hashValue());
}

TEST(Shortcut, FromEventKeepsOnlyTheStandardFour) {
  const Shortcut s = Shortcut::fromEvent(65535, M{M::capsLock, M::function, M::command, M{0x1234}});
  EXPECT_EQ(s.keyCode, 65535);
  EXPECT_EQ(s.modifierFlags, M{M::command});
}

TEST(Shortcut, TextForms) {
  struct Case {
    const char* layout;
    Shortcut shortcut;
    std::optional<std::string> keyCodeString;
    const char* symbols;
    const char* medium;
    const char* longWords;
    const char* description;
  };
  const Case cases[] = {
      {"us", {0, M{M::control, M::command}}, "a", "⌃⌘A", "ctrl-cmd-A", "Control-Command-A",
       "Shortcut(⌃⌘A, keyCode=0)"},
      {"de", {6, M{M::control, M::command}}, "y", "⌃⌘Y", "ctrl-cmd-Y", "Control-Command-Y",
       "Shortcut(⌃⌘Y, keyCode=6)"},
      {"us", {49, M{M::command}}, "Space", "⌘SPACE", "cmd-SPACE", "Command-SPACE",
       "Shortcut(⌘SPACE, keyCode=49)"},
      {"us", {36, M{M::command}}, "↩", "⌘↩", "cmd-↩", "Command-↩", "Shortcut(⌘↩, keyCode=36)"},
      {"us", {122, M{M::command}}, "F1", "⌘F1", "cmd-F1", "Command-F1", "Shortcut(⌘F1, keyCode=122)"},
      {"us", {0, M{}}, "a", "A", "-A", "-A", "Shortcut(A, keyCode=0)"},
      // Full upper-casing: ß becomes SS.
      {"de", {27, M{M::option}}, "ß", "⌥SS", "alt-SS", "Option-SS", "Shortcut(⌥SS, keyCode=27)"},
      // Keys without text: a dead key, a modifier key, codes out of range.
      {"de", {24, M{M::command}}, std::nullopt, "⌘", "cmd-", "Command-", "Shortcut(⌘<>, keyCode=24)"},
      {"us", {55, M{M::command}}, std::nullopt, "⌘", "cmd-", "Command-", "Shortcut(⌘<>, keyCode=55)"},
      {"us", {-5, M{M::command}}, std::nullopt, "⌘", "cmd-", "Command-", "Shortcut(⌘<>, keyCode=-5)"},
      {"us", {65536, M{M::command}}, std::nullopt, "⌘", "cmd-", "Command-",
       "Shortcut(⌘<>, keyCode=65536)"},
      // No key at all: the empty text, not "<>".
      {"us", {NotFound, M{M::command}}, "", "⌘", "cmd-", "Command-",
       "Shortcut(⌘, keyCode=9223372036854775807)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.description);
    ScopedKeyboardLayout scoped(KeyboardLayout{c.layout, ""});
    EXPECT_EQ(c.shortcut.keyCodeString(), c.keyCodeString);
    EXPECT_EQ(c.shortcut.asStringSymbols(), c.symbols);
    EXPECT_EQ(c.shortcut.asStringMedium(), c.medium);
    EXPECT_EQ(c.shortcut.asStringLong(), c.longWords);
    EXPECT_EQ(c.shortcut.description(), c.description);
    EXPECT_EQ(describe(c.shortcut), c.description);
  }
}

TEST(Shortcut, EqualityAndHash) {
  const Shortcut a(12, M{M::command, M::shift});
  EXPECT_EQ(a, Shortcut(12, M{M::shift, M::command}));
  EXPECT_NE(a, Shortcut(13, M{M::command, M::shift}));
  EXPECT_NE(a, Shortcut(12, M{M::command}));
  EXPECT_EQ(a.hashValue(), (0x100 | 0x200) ^ 12);
  std::unordered_set<Shortcut> set{a, Shortcut(12, M{M::shift, M::command}), Shortcut(12, M{M::command})};
  EXPECT_EQ(set.size(), 2u);
  Shortcut changed = a;  // both members are plain, writable data
  changed.keyCode = 13;
  changed.modifierFlags = M{};
  EXPECT_EQ(changed.rawString(), ",13");
}

}  // namespace
}  // namespace vantrel
