#include "vantrel/collections/small_core_values.h"

#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <string>

#include <gtest/gtest.h>

namespace vantrel {
namespace {

TEST(IterationPosition, Descriptions) {
  struct Case {
    std::int64_t i, total;
    std::int64_t digits;
    const char* expected;
  };
  const Case cases[] = {
      {0, 12, 2, " 1/12"},
      {9, 12, 2, "10/12"},
      {0, 0, 1, "1/0"},
      {99, 5, 1, "100/5"},
      {4, 100, 3, "  5/100"},
      {0, 9, 1, "1/9"},
      {0, 10, 2, " 1/10"},
      // A floating-point logarithm gives 16 digits here.
      {0, 999999999999999, 15, "              1/999999999999999"},
      {0, 1000000000000000, 16, "               1/1000000000000000"},
      {0, std::numeric_limits<std::int64_t>::max(), 19, "                  1/9223372036854775807"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.i << " of " << c.total);
    const IterationPosition p(c.i, c.total);
    EXPECT_EQ(p.totalStringFormattedLen(), c.digits);
    EXPECT_EQ(p.description(), c.expected);
  }
}

TEST(IterationPosition, ChangedTotalRecountsDigits) {
  IterationPosition p(12);
  EXPECT_EQ(p.i, 0);
  EXPECT_EQ(p.offset(), 0);
  p.setTotal(9);
  EXPECT_EQ(p.totalStringFormattedLen(), 1);
  p.setTotal(100);
  p.i = 4;
  EXPECT_EQ(p.totalStringFormattedLen(), 3);
  EXPECT_EQ(p.description(), "  5/100");
}

TEST(IterationPosition, EqualityAndHash) {
  const IterationPosition a(3, 7), b(3, 7), c(4, 7);
  EXPECT_EQ(a, b);
  EXPECT_NE(a, c);
  EXPECT_EQ(std::hash<IterationPosition>{}(a), std::hash<IterationPosition>{}(b));
  EXPECT_EQ(a.hashValue(), static_cast<std::size_t>(3 ^ 7));
}

TEST(IterationPositionDeathTest, NegativeTotalAndLastPosition) {
  EXPECT_DEATH((void)IterationPosition(-1), "IterationPosition: the total -1 is negative");
  EXPECT_DEATH(
      {
        IterationPosition p(3);
        p.setTotal(-5);
      },
      "the total -5 is negative");
  // i + 1 is computed with checked arithmetic.
  EXPECT_DEATH((void)IterationPosition(std::numeric_limits<std::int64_t>::max(), 1).description(), "Arithmetic overflow");
}

TEST(MemoryAddress, Texts) {
  struct Case {
    const char* name;
    const int* pointer;
    const char* expected;
  };
  const Case cases[] = {
      {"null", nullptr, "0x0000000000000000"},
      {"known", reinterpret_cast<const int*>(std::uintptr_t{0x7ffd5c1a2b3c}), "0x00007ffd5c1a2b3c"},
      {"all bits", reinterpret_cast<const int*>(~std::uintptr_t{0}), "0xffffffffffffffff"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(MemoryAddress<int>(c.pointer).description(), c.expected);
  }
  auto object = std::make_shared<std::string>("x");
  EXPECT_EQ(MemoryAddress<std::string>(object).intValue(),
            static_cast<std::int64_t>(reinterpret_cast<std::uintptr_t>(object.get())));
}

TEST(SmallCoreValues, Actions) {
  int runs = 0;
  NamedAction named("go", [&] { ++runs; });
  named.action();
  EXPECT_EQ(named.name(), "go");
  const TitledAction titled("save", [&] { ++runs; });
  EXPECT_EQ(titled.code(), "save");
  EXPECT_EQ(titled.title(), "save");
  const TitledAction both("s", "Save", nullptr);
  EXPECT_EQ(both.code(), "s");
  EXPECT_EQ(both.title(), "Save");
  titled.action();
  EXPECT_EQ(runs, 2);

  auto section = std::make_shared<NamedSection>(std::nullopt, std::nullopt, std::vector<NamedAction>{});
  EXPECT_EQ(section->code(), std::nullopt);
  EXPECT_EQ(section->headerText(), std::nullopt);
  EXPECT_EQ(section->footerText(), std::nullopt);
  EXPECT_TRUE(section->namedActions().empty());
}

struct Shape {
  enum Case { square, circle };
  Case value;
  std::string rawValue() const { return value == square ? "sq" : "ci"; }
  std::string description() const { return value == square ? "square" : "circle"; }
};

TEST(SmallCoreValues, RawDescribingIsTheCaseNotTheRawValue) {
  const Shape shape{Shape::square};
  EXPECT_EQ(vtRawDescribing(shape), "square");
  EXPECT_EQ(vtRawReflecting(shape), "vantrel::(anonymous namespace)::Shape.square");
}

}  // namespace
}  // namespace vantrel
