#include "vantrel/platform/kit/application.h"

#include <cstdint>

#include <gtest/gtest.h>

namespace vantrel {
namespace {

TEST(Application, OneSharedObject) {
  EXPECT_NE(Application::shared(), nullptr);
  EXPECT_EQ(Application::shared(), Application::shared());
}

TEST(Application, ModifierFlagsKeepTheClassicBitValues) {
  // The same bits as the shortcuts module's flags, so a raw value converts
  // either way without a table.
  struct Case {
    const char* name;
    EventModifierFlags flag;
    std::uint64_t raw;
  };
  const Case cases[] = {
      {"capsLock", EventModifierFlags::capsLock, 0x10000},
      {"shift", EventModifierFlags::shift, 0x20000},
      {"control", EventModifierFlags::control, 0x40000},
      {"option", EventModifierFlags::option, 0x80000},
      {"command", EventModifierFlags::command, 0x100000},
      {"numericPad", EventModifierFlags::numericPad, 0x200000},
      {"help", EventModifierFlags::help, 0x400000},
      {"function", EventModifierFlags::function, 0x800000},
      {"deviceIndependentFlagsMask", EventModifierFlags::deviceIndependentFlagsMask, 0xFFFF0000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.flag.rawValue(), c.raw);
  }
}

TEST(Application, ScopedFlagsAreHeldForTheScopeAndRestored) {
  const EventModifierFlags before = Application::shared()->currentModifierFlags();
  {
    ScopedModifierFlags outer(EventModifierFlags{EventModifierFlags::option, EventModifierFlags::shift});
    EXPECT_EQ(Application::shared()->currentModifierFlags().rawValue(), 0xA0000u);
    {
      ScopedModifierFlags inner(EventModifierFlags::command);
      EXPECT_EQ(Application::shared()->currentModifierFlags(), EventModifierFlags::command);
    }
    EXPECT_EQ(Application::shared()->currentModifierFlags().rawValue(), 0xA0000u);
  }
  EXPECT_EQ(Application::shared()->currentModifierFlags(), before);
}

TEST(Application, UnknownBitsAreKept) {
  ScopedModifierFlags held(EventModifierFlags(0x80000u | 0x20u));  // option plus a device bit
  const EventModifierFlags now = Application::shared()->currentModifierFlags();
  EXPECT_EQ(now.rawValue(), 0x80020u);
  EXPECT_TRUE(now.contains(EventModifierFlags::option));
}

}  // namespace
}  // namespace vantrel
