#include "vantrel/core/checked.h"

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

namespace vantrel {
namespace {

constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();

TEST(Checked, ArithmeticInRange) {
  EXPECT_EQ(checkedAdd(kMax - 1, 1), kMax);
  EXPECT_EQ(checkedSub(kMin + 1, 1), kMin);
  EXPECT_EQ(checkedMul(std::int64_t{3037000499}, std::int64_t{3037000499}), 9223372030926249001);
  EXPECT_EQ(checkedAdd<std::uint8_t>(200, 55), 255);
  EXPECT_EQ(overflowingAdd(kMax, std::int64_t{1}), std::nullopt);
  EXPECT_EQ(overflowingMul(kMin, std::int64_t{-1}), std::nullopt);
  EXPECT_EQ(overflowingSub(std::int64_t{5}, std::int64_t{7}), -2);
}

TEST(CheckedDeathTest, OverflowStops) {
  EXPECT_DEATH((void)checkedAdd(kMax, 1), "Arithmetic overflow: 9223372036854775807 \\+ 1");
  EXPECT_DEATH((void)checkedSub(kMin, 1), "Arithmetic overflow: -9223372036854775808 - 1");
  EXPECT_DEATH((void)checkedMul(kMin, -1), "Arithmetic overflow");
  EXPECT_DEATH((void)checkedAdd<std::uint8_t>(200, 56), "Arithmetic overflow: 200 \\+ 56");
}

TEST(Checked, Casts) {
  EXPECT_EQ(checkedCast<std::int32_t>(std::int64_t{-2147483648}), -2147483648);
  EXPECT_EQ(checkedCast<std::uint64_t>(std::int64_t{5}), 5u);
  EXPECT_EQ(checkedCast<std::int64_t>(std::uint64_t{9223372036854775807u}), kMax);
}

TEST(CheckedDeathTest, CastsOutOfRangeStop) {
  EXPECT_DEATH((void)checkedCast<std::int32_t>(std::int64_t{2147483648}),
               "Not enough bits to represent the value 2147483648 as Int32");
  EXPECT_DEATH((void)checkedCast<std::uint32_t>(-1), "the value -1 as UInt32");
  EXPECT_DEATH((void)checkedCast<std::int64_t>(std::uint64_t{9223372036854775808u}),
               "9223372036854775808 as Int64");
}

TEST(Checked, DoubleToInteger) {
  struct Case {
    double in;
    std::int64_t want;
  };
  const Case cases[] = {
      {3.7, 3}, {-3.7, -3}, {0.0, 0}, {-0.5, 0},
      {-9223372036854775808.0, kMin},
      {9223372036854774784.0, 9223372036854774784},  // largest double below 2^63
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.in);
    EXPECT_EQ(checkedInt64(c.in), c.want);
  }
  EXPECT_EQ(checkedIntegerFromDouble<std::int32_t>(-2147483648.9), -2147483648);
  EXPECT_EQ(checkedIntegerFromDouble<std::uint8_t>(255.99), 255);
  EXPECT_EQ(checkedIntegerFromDouble<std::uint8_t>(-0.99), 0);
}

TEST(CheckedDeathTest, DoublesThatDoNotFitStop) {
  EXPECT_DEATH((void)checkedInt64(9223372036854775808.0),
               "Double value 9.223372036854776e\\+18 cannot be converted to Int64 because the "
               "result would be outside its representable range");
  EXPECT_DEATH((void)checkedInt64(std::nan("")), "either infinite or NaN");
  EXPECT_DEATH((void)checkedInt64(-INFINITY), "either infinite or NaN");
  EXPECT_DEATH((void)checkedIntegerFromDouble<std::int32_t>(-2147483649.0), "Int32");
  EXPECT_DEATH((void)checkedIntegerFromDouble<std::uint8_t>(256.0), "UInt8");
  EXPECT_DEATH((void)checkedIntegerFromDouble<std::uint8_t>(-1.0), "UInt8");
}

TEST(Checked, ExactInt64) {
  EXPECT_EQ(exactInt64(4.0), 4);
  EXPECT_EQ(exactInt64(-9223372036854775808.0), kMin);
  EXPECT_EQ(exactInt64(4.5), std::nullopt);
  EXPECT_EQ(exactInt64(9223372036854775808.0), std::nullopt);
  EXPECT_EQ(exactInt64(std::nan("")), std::nullopt);
}

}  // namespace
}  // namespace vantrel
