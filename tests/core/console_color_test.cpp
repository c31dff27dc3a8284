#include "vantrel/core/console_color.h"

#include <unordered_set>

#include <gtest/gtest.h>

namespace vantrel {
namespace {

TEST(ConsoleColor, RawValues) {
  const char* codes[] = {"30", "31", "32", "33", "34", "35", "36", "37",
                         "90", "91", "92", "93", "94", "95", "96", "97"};
  ASSERT_EQ(ConsoleColor::all().size(), 16u);
  EXPECT_EQ(ConsoleColor::all().front(), ConsoleColor::black);
  EXPECT_EQ(ConsoleColor::all().back(), ConsoleColor::white);
  for (std::size_t i = 0; i < 16; ++i) {
    SCOPED_TRACE(codes[i]);
    EXPECT_EQ(ConsoleColor::all()[i].rawValue(), codes[i]);
    EXPECT_EQ(ConsoleColor::fromRawValue(codes[i]), ConsoleColor::all()[i]);
  }
  EXPECT_EQ(ConsoleColor::fromRawValue("31"), ConsoleColor::red);
  EXPECT_EQ(ConsoleColor::fromRawValue("97"), ConsoleColor::white);
  for (const char* bad : {"031", "3", "", "38", "31 ", "m"}) {
    SCOPED_TRACE(bad);
    EXPECT_EQ(ConsoleColor::fromRawValue(bad), std::nullopt);
  }
  std::unordered_set<ConsoleColor> set(ConsoleColor::all().begin(), ConsoleColor::all().end());
  EXPECT_EQ(set.size(), 16u);
}

TEST(ConsoleColor, Constants) {
  EXPECT_EQ(ConsoleColor::ESCAPE, "\x1b[");
  EXPECT_EQ(ConsoleColor::RESET, "\x1b[0m");
  EXPECT_EQ(ConsoleColor::RESET.size(), 4u);
}

TEST(ConsoleColor, Wrapping) {
  EXPECT_EQ(cc("hi", ConsoleColor::red), "\x1b\x5b" "0;31mhi\x1b\x5b" "0m");
  EXPECT_EQ(cc("", ConsoleColor::white), "\x1b[0;97m\x1b[0m");
  EXPECT_EQ(ccOptional("hi", std::nullopt), "hi");
  EXPECT_EQ(ccOptional("hi", ConsoleColor::red), cc("hi", ConsoleColor::red));
}

TEST(ConsoleColor, Modifiers) {
  using M = ConsoleModifier;
  struct Case {
    M modifiers;
    const char* want;
  };
  const Case cases[] = {
      {M{}, "\x1b[32mx\x1b[0m"},
      {M{M::bold}, "\x1b[1;32mx\x1b[0m"},
      {M{M::underscored, M::bold}, "\x1b[1;4;32mx\x1b[0m"},
      {M{M::underscored, M::inversed, M::blinking, M::bold}, "\x1b[1;5;7;4;32mx\x1b[0m"},
      {M{16 | 4}, "\x1b[7;32mx\x1b[0m"},  // unknown bits add nothing
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.modifiers.rawValue());
    EXPECT_EQ(cc("x", ConsoleColor::green, c.modifiers), c.want);
  }
}

TEST(ConsoleModifier, SetAlgebra) {
  using M = ConsoleModifier;
  M m{M::bold, M::inversed};
  EXPECT_EQ(m.rawValue(), 5);
  EXPECT_TRUE(m.contains(M::bold));
  EXPECT_FALSE(m.contains(M::blinking));
  EXPECT_EQ(m.union_(M::blinking).rawValue(), 7);
  EXPECT_EQ(m.intersection(M::bold), M::bold);
  EXPECT_EQ(m.symmetricDifference(M{M::bold, M::underscored}).rawValue(), 12);
  EXPECT_EQ(m.subtracting(M::bold), M::inversed);
  EXPECT_TRUE(M(M::bold).isSubset(m));
  EXPECT_TRUE(m.isSuperset(M::bold));
  EXPECT_TRUE(m.isDisjoint(M::blinking));
  EXPECT_FALSE(m.isEmpty());
  EXPECT_TRUE(M{}.isEmpty());
  EXPECT_EQ((M::bold | M::blinking).rawValue(), 3);
  EXPECT_EQ(M(1234).rawValue(), 1234);

  M n;
  EXPECT_TRUE(n.insert(M::bold));
  EXPECT_FALSE(n.insert(M::bold));
  EXPECT_EQ(n.update(M::bold), M::bold);
  EXPECT_EQ(n.update(M::blinking), std::nullopt);
  EXPECT_EQ(n.remove(M::bold), M::bold);
  EXPECT_EQ(n.remove(M::bold), std::nullopt);
  EXPECT_EQ(n, M::blinking);
}

}  // namespace
}  // namespace vantrel
