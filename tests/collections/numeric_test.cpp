#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <unordered_set>
#include <vector>

#include <gtest/gtest.h>

#include "vantrel/collections/numeric.h"
#include "vantrel/core/random.h"

namespace vantrel {
namespace {

using Bounds = std::vector<std::uint32_t>;

// Draw values for the polar method: 2 * (draw / (2^32 - 1)) - 1 is about
// 0.5, 0 and -0.5 for these.
constexpr std::uint32_t kHalf = 3221225471u;
constexpr std::uint32_t kZero = 2147483648u;
constexpr std::uint32_t kMinusHalf = 1073741824u;

// ---- Integer draws ----------------------------------------------------------------

TEST(IntRandomNumber, DrawsTheSpanAndAddsTheMinimum) {
  ScriptedRandomSource script({7, 0, 6});
  {
    ScopedRandomSource use(script);
    EXPECT_EQ(Int::randomNumber(), 7);          // defaults 0...100
    EXPECT_EQ(Int::randomNumber(-3, 3), -3);    // both bounds included
    EXPECT_EQ(Int::randomNumber(-3, 3), 3);
    EXPECT_EQ(Int::randomNumber(9, 9), 9);      // equal bounds: no draw
  }
  EXPECT_EQ(script.bounds(), (Bounds{101, 7, 7}));
}

TEST(IntRandomNumberDeathTest, StopsForInvertedOrTooWideBounds) {
  EXPECT_DEATH((void)Int::randomNumber(5, 4), "maxValue 4 is below minValue 5");
  EXPECT_DEATH((void)Int::randomNumber(0, 4294967295), "exceeds 4294967295");
  // The difference itself overflows a signed 64-bit integer.
  EXPECT_DEATH((void)Int::randomNumber(INT64_MIN, INT64_MAX), "exceeds 4294967295");
}

TEST(IntRandomNumber, LargestSpanDrawsWithTheFullBound) {
  ScriptedRandomSource script({4294967294u});
  ScopedRandomSource use(script);
  EXPECT_EQ(Int::randomNumber(-1, 4294967293), 4294967293);
  EXPECT_EQ(script.bounds(), (Bounds{4294967295u}));
}

TEST(IntRandom, IncludesTheMaximum) {
  ScriptedRandomSource script({4294967294u, 3, 10});
  {
    ScopedRandomSource use(script);
    EXPECT_EQ(Int::random(), 4294967294);  // default maximum, the largest accepted
    EXPECT_EQ(Int::random(4294967294), 3);
    EXPECT_EQ(Int::random(10), 10);
    EXPECT_EQ(Int::random(0), 0);  // no draw
  }
  EXPECT_EQ(script.bounds(), (Bounds{4294967295u, 4294967295u, 11}));
}

TEST(IntRandomDeathTest, StopsForNegativeOrTooLargeMaximum) {
  EXPECT_DEATH((void)Int::random(-1), "maxValue has to be at least 1");
  EXPECT_DEATH((void)Int::random(4294967295), "does not fit in 32 unsigned bits");
  EXPECT_DEATH((void)Int::random(INT64_MAX), "Arithmetic overflow");
}

TEST(IntRandomExcluding, DrawsAgainWhileExcluded) {
  ScriptedRandomSource script({0, 1, 2, 3, 1, 0});
  {
    ScopedRandomSource use(script);
    EXPECT_EQ(Int::randomExcluding(3, {0, 1, 2}), 3);
    // Values outside 0...maxValue do not count as candidates taken away.
    EXPECT_EQ(Int::randomExcluding(1, {1, 5, -1}), 0);
  }
  EXPECT_EQ(script.bounds(), (Bounds{4, 4, 4, 4, 2, 2}));
}

TEST(IntRandomExcludingDeathTest, StopsInsteadOfLoopingWhenNothingIsLeft) {
  EXPECT_DEATH((void)Int::randomExcluding(3, {0, 1, 2, 3}), "every value of 0...3 is excluded");
  EXPECT_DEATH((void)Int::randomExcluding(1, {-1, 0, 1, 2}), "every value of 0...1 is excluded");
  EXPECT_DEATH((void)Int::randomExcluding(0, {}), "maxValue has to be at least 1");
}

TEST(IntRandomExtremeAndCoinToss, FollowTheDrawOfTwo) {
  ScriptedRandomSource script({1, 0, 1, 0, 1});
  {
    ScopedRandomSource use(script);
    EXPECT_EQ(Int::randomExtreme(9), 0);
    EXPECT_EQ(Int::randomExtreme(9), 9);
    EXPECT_EQ(Int::coinToss(), 1);
    EXPECT_EQ(Int::coinToss(5), -5);
    EXPECT_EQ(Int::coinToss(INT64_MIN), INT64_MIN);  // kept: no negation needed
  }
  EXPECT_EQ(script.bounds(), (Bounds{2, 2, 2, 2, 2}));
}

TEST(IntRandomExtremeAndCoinTossDeathTest, StopOnBrokenContracts) {
  EXPECT_DEATH((void)Int::randomExtreme(-1), "maxValue has to be at least 1");
  ScriptedRandomSource script({0});
  EXPECT_DEATH(
      {
        ScopedRandomSource use(script);
        (void)Int::coinToss(INT64_MIN);
      },
      "Arithmetic overflow");
}

// ---- Bell-shaped draws --------------------------------------------------------------

TEST(IntRandomGauss, UsesZ1ThenZ2ThenDrawsAgain) {
  {
    // u = 0.5, v = 0: z1 is about 1.665, inside 2: 100 * (1.665 / 2 + 1) / 2.
    ScriptedRandomSource script({kHalf, kZero});
    ScopedRandomSource use(script);
    EXPECT_EQ(Int::random_gauss(2.0, 100), 92);
    EXPECT_EQ(script.remaining(), 0u);
  }
  {
    // Same pair with threshold 1: z1 is outside, z2 (about 0) is used.
    ScriptedRandomSource script({kHalf, kZero});
    ScopedRandomSource use(script);
    EXPECT_EQ(Int::random_gauss(1.0, 100), 50);
  }
  {
    // (-1, -1) has s = 2: drawn again. (0.5, 0.5) gives z1 = z2 = 0.83, both
    // outside 0.5: drawn again. Then (0.5, 0) gives z2 = 0.
    ScriptedRandomSource script({0, 0, kHalf, kHalf, kHalf, kZero});
    ScopedRandomSource use(script);
    EXPECT_EQ(Int::random_gauss(0.5, 100), 50);
    EXPECT_EQ(script.remaining(), 0u);
  }
}

TEST(IntRandomGauss, MaximumZeroDrawsNothing) {
  ScriptedRandomSource empty({});
  ScopedRandomSource use(empty);
  EXPECT_EQ(Int::random_gauss(2.0, 0), 0);
  EXPECT_EQ(Int::random_gaussCollectOverflowValues(4.0, 0), 0);
}

TEST(IntRandomGauss, StaysInRangeAndCentresOnTheMiddle) {
  double sum = 0;
  constexpr int kDraws = 4000;
  for (int i = 0; i < kDraws; ++i) {
    std::int64_t value = Int::random_gauss(2.0, 100);
    ASSERT_GE(value, 0);
    ASSERT_LE(value, 100);
    sum += static_cast<double>(value);
  }
  EXPECT_NEAR(sum / kDraws, 50.0, 2.0);
}

TEST(IntRandomGauss, ResultAtTheTopOfTheLargestRangeIsClampedToMaxValue) {
  // The deviate of the pair (0.5, 0) used as the threshold puts z / t at
  // exactly 1: INT64_MAX as a double is 2^63, which no int64_t holds.
  double u = 2.0 * (kHalf / 4294967295.0) - 1.0;
  double v = 2.0 * (kZero / 4294967295.0) - 1.0;
  double s = u * u + v * v;
  double z1 = u * std::sqrt(-2.0 * std::log(s) / s);
  ScriptedRandomSource script({kHalf, kZero});
  ScopedRandomSource use(script);
  EXPECT_EQ(Int::random_gauss(z1), INT64_MAX);
}

TEST(IntRandomGaussCollectOverflowValues, PilesTheTailsOnTheEnds) {
  ScriptedRandomSource script({kHalf, kZero, kMinusHalf, kZero, kHalf, kZero});
  ScopedRandomSource use(script);
  // z1 = 1.665 beyond threshold 1: clamped to the top, which for the default
  // maximum rounds to 2^63 and is held at INT64_MAX.
  EXPECT_EQ(Int::random_gaussCollectOverflowValues(1.0), INT64_MAX);
  EXPECT_EQ(Int::random_gaussCollectOverflowValues(1.0, 100), 0);  // z1 = -1.665
  EXPECT_EQ(Int::random_gaussCollectOverflowValues(4.0, 100), 71);  // inside: not clamped
}

TEST(IntRandomGaussDeathTest, StopsForThresholdsThatAdmitNoDeviate) {
  EXPECT_DEATH((void)Int::random_gauss(0.0, 10), "threshold must be greater than 0");
  EXPECT_DEATH((void)Int::random_gauss(-1.0, 10), "threshold must be greater than 0");
  EXPECT_DEATH((void)Int::random_gauss(std::nan(""), 10), "threshold must be greater than 0");
  EXPECT_DEATH((void)Int::random_gaussCollectOverflowValues(0.0, 10),
               "threshold must be greater than 0");
  EXPECT_DEATH((void)Int::random_gauss(2.0, -1), "maxValue has to be at least 1");
  EXPECT_DEATH((void)Int::random_gaussCollectOverflowValues(4.0, -1),
               "maxValue has to be at least 1");
}

// ---- Integer values --------------------------------------------------------------------

TEST(SquareMatrixSideLength, IsTheExactCeilingOfTheSquareRoot) {
  struct Case {
    std::int64_t cells;
    std::int64_t side;
  };
  const Case cases[] = {
      {1, 1}, {2, 2}, {10, 4}, {16, 4}, {17, 5},
      // Near the top the double square root alone is off.
      {3037000499LL * 3037000499LL, 3037000499LL},
      {3037000499LL * 3037000499LL + 1, 3037000500LL},
      {INT64_MAX, 3037000500LL},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.cells);
    EXPECT_EQ(squareMatrixSideLength(c.cells), c.side);
  }
  EXPECT_DEATH((void)squareMatrixSideLength(0), "squareMatrixSideLength: 0 is below 1");
}

TEST(BucketCount, RoundsUpAndStopsForEmptyBuckets) {
  EXPECT_EQ(bucketCount(0, 3), 0);
  EXPECT_EQ(bucketCount(0, 0), 0);
  EXPECT_EQ(bucketCount(10, 3), 4);
  EXPECT_EQ(bucketCount(9, 3), 3);
  EXPECT_DEATH((void)bucketCount(5, 0), "division of 4 by zero");
}

TEST(NumberOfDigits, CountsDecimalCharactersExactly) {
  struct Case {
    std::int64_t value;
    std::int64_t digits;
  };
  const Case cases[] = {
      {0, 1}, {9, 1}, {10, 2}, {-1, 2}, {-12, 3},
      // A floating-point logarithm miscounts from here up.
      {999999999999999LL, 15}, {1000000000000000LL, 16}, {9999999999999999LL, 16},
      {INT64_MAX, 19}, {INT64_MIN, 20},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    EXPECT_EQ(numberOfDigits(c.value), c.digits);
    EXPECT_EQ(numberOfDigits(c.value), static_cast<std::int64_t>(makeString(c.value).size()));
  }
}

TEST(LayoutArithmetic, Divide2AndWidth2) {
  EXPECT_EQ(divide2(100, 30, 5), 3);  // 3 * 30 + 2 * 5 = 100 fits
  EXPECT_EQ(divide2(99, 30, 5), 2);
  EXPECT_EQ(divide2(29, 30, 5), 0);
  EXPECT_EQ(width2(3, 30, 5), 100);
  EXPECT_DEATH((void)divide2(10, 5, -5), "divide2: division of 10 by zero");
  EXPECT_DEATH((void)width2(INT64_MAX, 2, 0), "Arithmetic overflow");
}

TEST(IntMap, CallsTheClosureForEachIndex) {
  EXPECT_EQ(map(3, [](std::int64_t i) { return i * 2; }), (std::vector<std::int64_t>{0, 2, 4}));
  EXPECT_TRUE(map(0, [](std::int64_t i) { return i; }).empty());
  EXPECT_DEATH((void)map(-1, [](std::int64_t i) { return i; }), "map: the count -1 is negative");
}

TEST(ModuloedIncrease, WrapsIntoTheModulo) {
  struct Case {
    std::int64_t start, by, modulo, after;
    bool wrapped;
  };
  const Case cases[] = {
      {4, 1, 5, 0, true},   {3, 1, 5, 4, false}, {0, -1, 5, 4, true},
      {4, 7, 5, 1, true},   {0, -6, 5, 4, true}, {2, -2, 5, 0, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.start << " by " << c.by << " mod " << c.modulo);
    EXPECT_EQ(moduloedIncreased(c.start, c.by, c.modulo), c.after);
    std::int64_t value = c.start;
    EXPECT_EQ(moduloedIncrease(value, c.by, c.modulo), c.wrapped);
    EXPECT_EQ(value, c.after);
  }
  std::int64_t value = 4;
  EXPECT_TRUE(moduloedIncrease(value, 5));  // by 1
  EXPECT_EQ(value, 0);
  EXPECT_EQ(moduloedIncreased(1, 5), 2);
}

TEST(ModuloedIncreaseDeathTest, StopsForAZeroStepOrModulo) {
  std::int64_t value = 1;
  EXPECT_DEATH(moduloedIncrease(value, 0, 5), "by must not be 0");
  EXPECT_DEATH(moduloedIncrease(value, 1, 0), "remainder of 2 by zero");
  EXPECT_DEATH((void)moduloedIncreased(INT64_MAX, 1, 5), "Arithmetic overflow");
}

TEST(IntegerValues, CountersRangesAndKeeping) {
  std::int64_t counter = 5;
  EXPECT_EQ(increaseAndReturnBeforeValue(counter), 5);
  EXPECT_EQ(counter, 6);
  EXPECT_EQ(increaseAndReturnAfterValue(counter, 4), 10);
  EXPECT_EQ(counter, 10);
  EXPECT_EQ(intKept(5, 1, 5, 0), 5);
  EXPECT_EQ(intKept(6, 1, 5, 0), 0);
  EXPECT_TRUE(isInRange(std::uint8_t{200}, -1, 255));
  EXPECT_FALSE(isInRange(0, 1, 0));
  EXPECT_FALSE(isInRange(std::numeric_limits<std::uint64_t>::max(), 0, INT64_MAX));
  EXPECT_TRUE(isInRange(std::int8_t{-128}, -128, -128));
}

// ---- Booleans -----------------------------------------------------------------------------

TEST(BoolValues, ReturnAndAssign) {
  EXPECT_EQ(vtIntValue(true), 1);
  EXPECT_EQ(vtIntValue(false), 0);
  bool flag = true;
  EXPECT_TRUE(returnValueAndAssignFalse(flag));
  EXPECT_FALSE(flag);
  EXPECT_FALSE(returnValueAndAssignTrue(flag));
  EXPECT_TRUE(flag);
  bool off = false;
  EXPECT_FALSE(mutatingOr(off, true));
  EXPECT_TRUE(off);
  EXPECT_TRUE(mutatingOr(off, false));
  EXPECT_TRUE(off);
}

TEST(BoolRandom, CoinTossAndOddsOneTo) {
  ScriptedRandomSource script({0, 1, 0, 1, 4294967294u});
  {
    ScopedRandomSource use(script);
    EXPECT_TRUE(Bool::coinToss());
    EXPECT_FALSE(Bool::coinToss());
    EXPECT_FALSE(Bool::probabilityOneTo(0));  // no draw
    EXPECT_FALSE(Bool::probabilityOneTo(-3));
    EXPECT_TRUE(Bool::probabilityOneTo(1));
    EXPECT_FALSE(Bool::probabilityOneTo(1));
    EXPECT_FALSE(Bool::probabilityOneTo(4294967294));
  }
  EXPECT_EQ(script.bounds(), (Bounds{2, 2, 2, 2, 4294967295u}));
  EXPECT_DEATH((void)Bool::probabilityOneTo(4294967295), "does not fit in 32 unsigned bits");
}

TEST(BoolRandom, ProbabilityComparesADrawOf100000) {
  struct Case {
    double p;
    std::uint32_t draw;
    bool result;
  };
  const Case cases[] = {
      {0.000005, 0, false},  // 0.5 truncates to 0: never true
      {0.5, 49999, true},    {0.5, 50000, false}, {1.0, 99999, true},
      {0.0, 0, false},       {-0.000001, 0, false}, {3.0, 99999, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.p << " with draw " << c.draw);
    ScriptedRandomSource script({c.draw});
    ScopedRandomSource use(script);
    EXPECT_EQ(Bool::probability(c.p), c.result);
    EXPECT_EQ(script.bounds(), (Bounds{100000}));
  }
  ScriptedRandomSource script({24999, 25000});
  ScopedRandomSource use(script);
  EXPECT_TRUE(Bool::probabilityPercent(25));
  EXPECT_FALSE(Bool::probabilityPercent(25));
}

TEST(BoolRandomDeathTest, ProbabilityOutsideItsRangeStops) {
  EXPECT_DEATH((void)Bool::probability(std::nan("")), "infinite or NaN");
  EXPECT_DEATH((void)Bool::probability(-0.5), "outside its representable range");
  EXPECT_DEATH((void)Bool::probability(42950.0), "outside its representable range");
  EXPECT_DEATH((void)Bool::probabilityPercent(-50), "outside its representable range");
}

// ---- Floating point and 32-bit draws ---------------------------------------------------

TEST(FloatingPointRandom, CoversZeroToOneBothIncluded) {
  ScriptedRandomSource script({0, 4294967295u, 0, 4294967295u, 4294967295u, kZero});
  ScopedRandomSource use(script);
  EXPECT_EQ(Double::random(), 0.0);
  EXPECT_EQ(Double::random(), 1.0);
  EXPECT_EQ(Float::random(), 0.0f);
  EXPECT_EQ(Float::random(), 1.0f);  // rounds to 2^32 in single precision
  EXPECT_EQ(Double::random(2.0, 4.0), 4.0);
  EXPECT_EQ(Float::random(10.0f), 5.0f);  // 2^31 * 2^-32 * 10
}

TEST(UInt32Random, ExcludesTheMaximum) {
  ScriptedRandomSource script({0, 4294967294u, 0, 2, 1});
  {
    ScopedRandomSource use(script);
    EXPECT_EQ(UInt32::random(1), 0u);
    EXPECT_EQ(UInt32::random(0), 0u);  // nothing drawn
    EXPECT_EQ(UInt32::random(), 4294967294u);
    EXPECT_EQ(UInt32::randomExcluding(3, {0, 2}), 1u);
  }
  EXPECT_EQ(script.bounds(), (Bounds{1, 0, 4294967295u, 3, 3, 3}));
}

TEST(UInt32RandomDeathTest, StopsWhenEveryCandidateIsExcluded) {
  EXPECT_DEATH((void)UInt32::randomExcluding(3, {2, 0, 1, 7}), "every value below 3 is excluded");
  // A bound of 0 always draws 0.
  EXPECT_DEATH((void)UInt32::randomExcluding(0, {0}), "every value below 1 is excluded");
}

TEST(DecimalRounding, RoundsHalfAwayFromZero) {
  struct Case {
    double value;
    std::int64_t places;
    double rounded;
  };
  const Case cases[] = {
      {0.125, 2, 0.13}, {-0.125, 2, -0.13}, {1.005, 2, 1.0},  // 1.005 * 100 is 100.4999...
      {1.23456, 3, 1.235}, {2.5, 0, 3.0}, {-2.5, 0, -3.0}, {1234.5, -2, 1200.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.value << " to " << c.places);
    EXPECT_EQ(roundToPlaces(c.value, c.places), c.rounded);
    if (c.places == 2) {
      EXPECT_EQ(roundTo2f(c.value), c.rounded);
    }
    if (c.places == 3) {
      EXPECT_EQ(roundTo3f(c.value), c.rounded);
    }
  }
}

TEST(DecimalRounding, KeepsValuesThatCannotBeScaled) {
  constexpr double kInf = std::numeric_limits<double>::infinity();
  constexpr double kMax = std::numeric_limits<double>::max();
  constexpr std::int64_t kMaxPlaces = std::numeric_limits<std::int64_t>::max();
  constexpr std::int64_t kMinPlaces = std::numeric_limits<std::int64_t>::min();
  struct Case {
    double value;
    std::int64_t places;
    double rounded;
  };
  const Case cases[] = {
      {1e307, 2, 1e307},        {-1e307, 2, -1e307},     {kMax, 3, kMax},
      {-kMax, 0, -kMax},        {1.5, 400, 1.5},         {-1.5, 400, -1.5},
      {1.5, kMaxPlaces, 1.5},   {1e-300, 400, 1e-300},   {kInf, 2, kInf},
      {-kInf, 400, -kInf},      {kInf, -400, kInf},      {1.5, -400, 0.0},
      {-1.5, kMinPlaces, -0.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.value << " to " << c.places);
    double rounded = roundToPlaces(c.value, c.places);
    EXPECT_EQ(rounded, c.rounded);
    EXPECT_EQ(std::signbit(rounded), std::signbit(c.rounded));
    if (c.places == 2) {
      EXPECT_EQ(roundTo2f(c.value), c.rounded);
    }
    if (c.places == 3) {
      EXPECT_EQ(roundTo3f(c.value), c.rounded);
    }
  }
  constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
  EXPECT_TRUE(std::isnan(roundTo2f(kNaN)));
  EXPECT_TRUE(std::isnan(roundTo3f(kNaN)));
  EXPECT_TRUE(std::isnan(roundToPlaces(kNaN, 400)));
  EXPECT_TRUE(std::isnan(roundToPlaces(kNaN, -400)));
}

}  // namespace
}  // namespace vantrel
