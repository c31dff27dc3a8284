#include "vantrel/core/describe.h"

#include <array>
#include <cmath>
#include <limits>
#include <map>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <vector>

#include <gtest/gtest.h>

#include "vantrel/core/error.h"

namespace vantrel {
namespace {

TEST(Describe, Doubles) {
  struct Case {
    double in;
    const char* want;
  };
  const Case cases[] = {
      {0.0, "0.0"},
      {-0.0, "-0.0"},
      {1.0, "1.0"},
      {-1.0, "-1.0"},
      {0.1, "0.1"},
      {1.5, "1.5"},
      {100.0, "100.0"},
      {3.14159, "3.14159"},
      {0.1 + 0.2, "0.30000000000000004"},
      {1.0 / 3.0, "0.3333333333333333"},
      {0.0001, "0.0001"},
      {0.00012, "0.00012"},
      {0.00001, "1e-05"},
      {1.5e-7, "1.5e-07"},
      {123456.789, "123456.789"},
      {1e15, "1000000000000000.0"},
      {9007199254740992.0, "9007199254740992.0"},  // 2^53: still decimal
      {9007199254740994.0, "9.007199254740994e+15"},
      {1e16, "1e+16"},
      {1.5e20, "1.5e+20"},
      {1e100, "1e+100"},
      {-2.5e-10, "-2.5e-10"},
      {5e-324, "5e-324"},
      {std::numeric_limits<double>::max(), "1.7976931348623157e+308"},
      {std::numeric_limits<double>::infinity(), "inf"},
      {-std::numeric_limits<double>::infinity(), "-inf"},
      {std::nan(""), "nan"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.want);
    EXPECT_EQ(describe(c.in), c.want);
  }
}

TEST(Describe, Floats) {
  struct Case {
    float in;
    const char* want;
  };
  const Case cases[] = {
      {0.1f, "0.1"},
      {1.0f, "1.0"},
      {16777216.0f, "16777216.0"},  // 2^24: still decimal
      {1e8f, "1e+08"},
      {0.00001f, "1e-05"},
      {3.4028235e38f, "3.4028235e+38"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.want);
    EXPECT_EQ(describe(c.in), c.want);
  }
}

TEST(Describe, Scalars) {
  EXPECT_EQ(describe(true), "true");
  EXPECT_EQ(describe(false), "false");
  EXPECT_EQ(describe(42), "42");
  EXPECT_EQ(describe(std::int64_t{-9223372036854775807 - 1}), "-9223372036854775808");
  EXPECT_EQ(describe(std::uint64_t{18446744073709551615u}), "18446744073709551615");
  EXPECT_EQ(describe(std::uint8_t{200}), "200");
  EXPECT_EQ(describe(std::int8_t{-5}), "-5");
  EXPECT_EQ(describe('x'), "x");
  EXPECT_EQ(describe(U'é'), "é");
  EXPECT_EQ(describe(nullptr), "nil");
}

TEST(Describe, TextIsItselfAndQuotedInside) {
  EXPECT_EQ(describe("plain"), "plain");
  EXPECT_EQ(describe(std::string("a\"b")), "a\"b");
  EXPECT_EQ(debugDescribe(std::string_view("a\"b")), R"("a\"b")");
  struct Case {
    const char* in;
    const char* want;
  };
  const Case cases[] = {
      {"", R"("")"},
      {"it's", R"("it\'s")"},
      {"back\\slash", R"("back\\slash")"},
      {"tab\tnl\ncr\r", R"("tab\tnl\ncr\r")"},
      {"\x01\x1f\x7f", R"("\u{1}\u{1F}\u{7F}")"},
      {"é🍇", "\"é🍇\""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.in);
    EXPECT_EQ(debugDescribe(c.in), c.want);
  }
  EXPECT_EQ(debugDescribe(std::string("nul\0x", 5)), R"("nul\0x")");
}

TEST(Describe, Optionals) {
  EXPECT_EQ(describe(std::optional<int>(3)), "Optional(3)");
  EXPECT_EQ(describe(std::optional<int>()), "nil");
  EXPECT_EQ(describe(std::optional<std::string>("a")), R"(Optional("a"))");
  EXPECT_EQ(describe(std::optional<double>(2.0)), "Optional(2.0)");
  EXPECT_EQ(describe(std::nullopt), "nil");
  EXPECT_EQ(describe(std::vector<std::optional<int>>{1, std::nullopt}), "[Optional(1), nil]");
}

TEST(Describe, Collections) {
  EXPECT_EQ(describe(std::vector<int>{}), "[]");
  EXPECT_EQ(describe(std::vector<int>{1, 2, 3}), "[1, 2, 3]");
  EXPECT_EQ(describe(std::vector<std::string>{"a", "b"}), R"(["a", "b"])");
  EXPECT_EQ(describe(std::array<double, 2>{1.0, 0.5}), "[1.0, 0.5]");
  EXPECT_EQ(describe(std::vector<std::vector<int>>{{1}, {}}), "[[1], []]");
  EXPECT_EQ(describe(std::map<std::string, int>{}), "[:]");
  EXPECT_EQ(describe(std::map<std::string, int>{{"a", 1}, {"b", 2}}), R"(["a": 1, "b": 2])");
  EXPECT_EQ(describe(std::map<int, std::vector<std::string>>{{1, {"x"}}}), R"([1: ["x"]])");
  EXPECT_EQ(describe(std::pair<int, std::string>(1, "x")), R"((1, "x"))");
  EXPECT_EQ(describe(std::tuple<bool, double, char>(true, 1.0, 'c')), R"((true, 1.0, "c"))");
}

struct WithDescription {
  std::string description() const { return "described"; }
};
struct WithBoth {
  std::string description() const { return "plain"; }
  std::string debugDescription() const { return "debug"; }
};
struct Streamed {
  int v;
};
std::ostream& operator<<(std::ostream& os, const Streamed& s) { return os << "S<" << s.v << ">"; }
struct Opaque {};
enum class Level { low = 1, high = 7 };

TEST(Describe, OtherTypes) {
  EXPECT_EQ(describe(WithDescription{}), "described");
  EXPECT_EQ(describe(WithBoth{}), "plain");
  EXPECT_EQ(describe(std::vector<WithBoth>{{}}), "[debug]");
  EXPECT_EQ(describe(Streamed{4}), "S<4>");
  EXPECT_EQ(describe(Level::high), "7");
  EXPECT_EQ(describe(Opaque{}), "vantrel::(anonymous namespace)::Opaque");
  EXPECT_EQ(describe(std::make_shared<WithDescription>()), "described");
  EXPECT_EQ(describe(std::shared_ptr<WithDescription>()), "nil");
  EXPECT_EQ(describe(std::runtime_error("disk full")), "disk full");
  EXPECT_EQ(describe(Error("elementAlreadyPresent")), "elementAlreadyPresent");
}

TEST(Describe, TypeNames) {
  EXPECT_EQ(typeName<std::int64_t>(), "Int");
  EXPECT_EQ(typeName<std::string>(), "String");
  EXPECT_EQ(typeName<double>(), "Double");
  EXPECT_EQ(typeName<Opaque>(), "vantrel::(anonymous namespace)::Opaque");
}

}  // namespace
}  // namespace vantrel
