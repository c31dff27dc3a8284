#include "vantrel/shortcuts/modifier_flags.h"

#include <gtest/gtest.h>

#include "vantrel/core/console.h"

namespace vantrel {
namespace {

using M = ModifierFlags;

TEST(ModifierFlags, HeaderExample) {
  const M f{M::command, M::shift};
  EXPECT_EQ(f.asSymbolsString(), "⇧⌘");
  EXPECT_EQ(f.asMediumString(), "shft-cmd");
  EXPECT_EQ(f.asLongString(), "Shift-Command");
  EXPECT_EQ(f.carbonInt(), 768);
  EXPECT_EQ(M::fromString("CMD-Shift"), f);
  EXPECT_EQ(M::fromString("⌥⌘"), (M{M::option, M::command}));
}

TEST(ModifierFlags, RawValues) {
  EXPECT_EQ(M::capsLock.rawValue(), 0x10000u);
  EXPECT_EQ(M::shift.rawValue(), 0x20000u);
  EXPECT_EQ(M::control.rawValue(), 0x40000u);
  EXPECT_EQ(M::option.rawValue(), 0x80000u);
  EXPECT_EQ(M::command.rawValue(), 0x100000u);
  EXPECT_EQ(M::numericPad.rawValue(), 0x200000u);
  EXPECT_EQ(M::help.rawValue(), 0x400000u);
  EXPECT_EQ(M::function.rawValue(), 0x800000u);
  EXPECT_EQ(M::deviceIndependentFlagsMask.rawValue(), 0xFFFF0000u);
  EXPECT_EQ(M::controlOptionShiftCommandFlags.rawValue(), 0x1E0000u);
}

TEST(ModifierFlags, TextFormsAndCarbonMask) {
  struct Case {
    M flags;
    const char* symbols;
    const char* medium;
    const char* longWords;
    std::int64_t carbon;
  };
  const Case cases[] = {
      {M{}, "", "", "", 0},
      {M{M::control}, "⌃", "ctrl", "Control", 0x1000},
      {M{M::option}, "⌥", "alt", "Option", 0x800},
      {M{M::shift}, "⇧", "shft", "Shift", 0x200},
      {M{M::command}, "⌘", "cmd", "Command", 0x100},
      {M{M::command, M::shift}, "⇧⌘", "shft-cmd", "Shift-Command", 768},
      // Order is always control, option, shift, command, whatever the input order.
      {M{M::command, M::shift, M::option, M::control}, "⌃⌥⇧⌘", "ctrl-alt-shft-cmd",
       "Control-Option-Shift-Command", 0x1B00},
      // Flags beyond the standard four are never written.
      {M{M::capsLock, M::command}, "⌘", "cmd", "Command", 256},
      {M{M::capsLock, M::numericPad, M::help, M::function}, "", "", "", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.medium);
    EXPECT_EQ(c.flags.asSymbolsString(), c.symbols);
    EXPECT_EQ(c.flags.asMediumString(), c.medium);
    EXPECT_EQ(c.flags.asLongString(), c.longWords);
    EXPECT_EQ(c.flags.carbonInt(), c.carbon);
  }
}

TEST(ModifierFlags, FromCarbonInt) {
  EXPECT_EQ(M::fromCarbonInt(0x1300), (M{M::control, M::shift, M::command}));
  EXPECT_EQ(M::fromCarbonInt(0x400), M{});  // Caps Lock is not a standard flag
  EXPECT_EQ(M::fromCarbonInt(0xFFFFFFFF), M::controlOptionShiftCommandFlags);
  EXPECT_EQ(M::fromCarbonInt(0), M{});
}

// Every combination of the four survives each conversion and its reverse.
TEST(ModifierFlags, EveryCombinationRoundTrips) {
  const M standard[] = {M::control, M::option, M::shift, M::command};
  for (unsigned bits = 0; bits < 16; ++bits) {
    M flags;
    for (unsigned i = 0; i < 4; ++i) {
      if (bits & (1u << i)) flags.formUnion(standard[i]);
    }
    SCOPED_TRACE(flags.asMediumString());
    EXPECT_EQ(M::fromCarbonInt(static_cast<std::uint32_t>(flags.carbonInt())), flags);
    EXPECT_EQ(M::fromString(flags.asSymbolsString()), flags);
    EXPECT_EQ(M::fromString(flags.asMediumString()), flags);
    EXPECT_EQ(M::fromString(flags.asLongString()), flags);
    const M withExtras = flags.union_(M{M::capsLock, M::function});
    EXPECT_EQ(M::fromString(withExtras.asMediumString()), flags);
    EXPECT_EQ(withExtras.carbonInt(), flags.carbonInt());
  }
}

TEST(ModifierFlags, FromString) {
  struct Case {
    const char* text;
    M want;
  };
  const Case cases[] = {
      {"CMD-Shift", M{M::command, M::shift}},
      {"Control-Option-Shift-Command", M::controlOptionShiftCommandFlags},
      {"ctrl-opt-alternate", M{M::control, M::option}},
      {"cOnTrOl", M{M::control}},
      {"⌥⌘", M{M::option, M::command}},
      {"x⌘", M{M::command}},
      {"⌃é⇧", M{M::control, M::shift}},
      {"⌘\u0301⇧", M{M::shift}},  // a glyph with a combining mark is another character
      {"", M{}},
      {"hyper", M{}},
      {"⌘-⇧", M{}},  // two parts, neither a word: glyphs are read only without "-"
      {"cmd-hyper", M{M::command}},
      {"-cmd", M{M::command}},
      {"cmd - shift", M{}},  // parts are not trimmed
      {"shift-⌘", M{M::shift}},  // words and glyphs do not mix ...
      {"shift⌘", M{M::command}},  // ... a word with a glyph is read as glyphs
      {"-", M{}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(M::fromString(c.text), c.want);
  }
}

// A name given more than once is still that one flag; it never carries into
// the next bit (command twice is not the numeric-pad flag).
TEST(ModifierFlags, RepeatedNamesStayOneFlag) {
  struct Case {
    const char* text;
    M want;
  };
  const Case cases[] = {
      {"cmd-command", M{M::command}},
      {"⌘⌘", M{M::command}},
      {"shift-shft-SHIFT", M{M::shift}},
      {"ctrl-ctrl-alt", M{M::control, M::option}},
      {"⌃⌃⌃⌃", M{M::control}},
      {"alt-opt-option-alternate-cmd", M{M::option, M::command}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(M::fromString(c.text), c.want);
    EXPECT_TRUE(M::fromString(c.text).isSubset(M::controlOptionShiftCommandFlags));
  }
}

TEST(ModifierFlags, VtDescription) {
  struct Case {
    M flags;
    const char* want;
  };
  const Case cases[] = {
      {M{}, "[]"},
      {M{M::capsLock, M::command}, "[.CapsLock, .CommandKeyMask]"},
      {M{M::function, M::help, M::numericPad, M::command, M::option, M::control, M::shift, M::capsLock},
       "[.CapsLock, .ShiftKeyMask, .ControlKeyMask, .Option, .CommandKeyMask, .NumericPadKeyMask, "
       ".HelpKeyMask, .FunctionKeyMask]"},
      {M::deviceIndependentFlagsMask,
       "[.CapsLock, .ShiftKeyMask, .ControlKeyMask, .Option, .CommandKeyMask, .NumericPadKeyMask, "
       ".HelpKeyMask, .FunctionKeyMask, .DeviceIndependentFlagsMask]"},
      {M{0xFFFE0000}, "[.ShiftKeyMask, .ControlKeyMask, .Option, .CommandKeyMask, .NumericPadKeyMask, "
                      ".HelpKeyMask, .FunctionKeyMask]"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.want);
    EXPECT_EQ(c.flags.vtDescription(), c.want);
  }
}

TEST(ModifierFlags, DebugPrintValues) {
  ConsoleCapture capture;
  M::debug_PrintValues();
  EXPECT_EQ(capture.standardOutput(),
            "NSEvent.ModifierFlags.CapsLock = 65536\n"
            "NSEvent.ModifierFlags.ShiftKeyMask = 131072\n"
            "NSEvent.ModifierFlags.ControlKeyMask = 262144\n"
            "NSEvent.ModifierFlags.Option = 524288\n"
            "NSEvent.ModifierFlags.CommandKeyMask = 1048576\n"
            "NSEvent.ModifierFlags.NumericPadKeyMask = 2097152\n"
            "NSEvent.ModifierFlags.HelpKeyMask = 4194304\n"
            "NSEvent.ModifierFlags.FunctionKeyMask = 8388608\n"
            "NSEvent.ModifierFlags.DeviceIndependentFlagsMask = 4294901760\n");
}

TEST(ModifierFlags, ReduceToStandardFour) {
  EXPECT_EQ((M{M::capsLock, M::command}).reduceToStandardFour(), M{M::command});
  EXPECT_EQ(M{0xFFFFFFFFFFFFFFFF}.reduceToStandardFour(), M::controlOptionShiftCommandFlags);
  EXPECT_EQ(M{M::help}.reduceToStandardFour(), M{});
}

}  // namespace
}  // namespace vantrel
