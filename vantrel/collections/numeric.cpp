#include "vantrel/collections/numeric.h"

#include <algorithm>
#include <cmath>

#include <fmt/format.h>

#include "vantrel/core/checked.h"
#include "vantrel/core/fatal.h"
#include "vantrel/core/random.h"

namespace vantrel {
namespace {

constexpr std::string_view kMaxValueMessage = "maxValue has to be at least 1";

// Integer division and remainder trap on 0 and on INT64_MIN / -1 where the
// hardware would fault or the language leaves the result undefined.
std::int64_t checkedQuotient(std::int64_t a, std::int64_t b, std::string_view operation) {
  if (b == 0) fatal(fmt::format("{}: division of {} by zero", operation, a));
  if (a == INT64_MIN && b == -1) fatal(fmt::format("Arithmetic overflow: {} / {}", a, b));
  return a / b;
}

std::int64_t checkedRemainder(std::int64_t a, std::int64_t b, std::string_view operation) {
  if (b == 0) fatal(fmt::format("{}: remainder of {} by zero", operation, a));
  if (a == INT64_MIN && b == -1) fatal(fmt::format("Arithmetic overflow: {} % {}", a, b));
  return a % b;
}

// The bound handed to the 32-bit uniform draw.
std::uint32_t drawBound(std::int64_t bound, std::string_view operation) {
  if (bound < 0 || bound > static_cast<std::int64_t>(UINT32_MAX)) {
    fatal(fmt::format("{}: the bound {} does not fit in 32 unsigned bits", operation, bound));
  }
  return static_cast<std::uint32_t>(bound);
}

// One of the two coordinates of a polar-method attempt: 2 * (draw / (2^32 - 1)) - 1.
double polarCoordinate() { return 2.0 * (randomUInt32() / 4294967295.0) - 1.0; }

struct PolarPair {
  double z1;
  double z2;
};

// Draws until u² + v² lies strictly between 0 and 1, then answers both deviates.
PolarPair polarPair() {
  for (;;) {
    double u = polarCoordinate();
    double v = polarCoordinate();
    double s = u * u + v * v;
    if (s == 0.0 || s >= 1.0) continue;
    double f = std::sqrt(-2.0 * std::log(s) / s);
    return {u * f, v * f};
  }
}

void checkGaussArguments(double threshold, std::int64_t maxValue, std::string_view operation) {
  if (maxValue < 0) fatal(kMaxValueMessage);
  // A threshold of 0 or below (or NaN) admits no deviate: the draw would
  // never end.
  if (!(threshold > 0.0)) {
    fatal(fmt::format("{}: threshold must be greater than 0, not {}", operation, threshold));
  }
}

// Maps z in -t...t onto 0...maxValue. With a maximum near INT64_MAX the
// double product can round to 2^63, which no int64_t holds: clamp it.
std::int64_t gaussResult(double z, double threshold, std::int64_t maxValue) {
  double scaled = std::round(static_cast<double>(maxValue) * ((z / threshold + 1.0) * 0.5));
  if (scaled >= 9223372036854775808.0) return maxValue;
  if (scaled <= 0.0) return 0;
  return std::min(checkedInt64(scaled), maxValue);
}

}  // namespace

namespace Int {

std::int64_t randomNumber(std::int64_t minValue, std::int64_t maxValue) {
  if (maxValue < minValue) {
    fatal(fmt::format("randomNumber: maxValue {} is below minValue {}", maxValue, minValue));
  }
  if (minValue == maxValue) return minValue;
  // Exact even when the difference exceeds INT64_MAX.
  std::uint64_t difference =
      static_cast<std::uint64_t>(maxValue) - static_cast<std::uint64_t>(minValue);
  if (difference >= UINT32_MAX) {
    fatal(fmt::format("randomNumber: the span of {}...{} exceeds 4294967295", minValue, maxValue));
  }
  // The sum stays within minValue...maxValue, so it cannot overflow.
  return minValue + static_cast<std::int64_t>(randomUniform(static_cast<std::uint32_t>(difference + 1)));
}

std::int64_t random(std::int64_t maxValue) {
  if (maxValue < 0) fatal(kMaxValueMessage);
  if (maxValue == 0) return 0;
  return randomUniform(drawBound(checkedAdd(maxValue, 1), "random"));
}

std::int64_t randomExcluding(std::int64_t maxValue,
                             const std::unordered_set<std::int64_t>& excluding) {
  if (maxValue < 1) fatal(kMaxValueMessage);
  std::uint32_t bound = drawBound(checkedAdd(maxValue, 1), "random excluding");
  auto excludedCandidates = std::count_if(excluding.begin(), excluding.end(), [&](std::int64_t v) {
    return v >= 0 && v <= maxValue;
  });
  if (excludedCandidates > maxValue) {
    fatal(fmt::format("random excluding: every value of 0...{} is excluded", maxValue));
  }
  for (;;) {
    std::int64_t draw = randomUniform(bound);
    if (!excluding.contains(draw)) return draw;
  }
}

std::int64_t randomExcluding(const std::unordered_set<std::int64_t>& excluding) {
  return randomExcluding(4294967294, excluding);
}

std::int64_t randomExtreme(std::int64_t maxValue) {
  if (maxValue < 0) fatal(kMaxValueMessage);
  return randomUniform(2) != 0 ? 0 : maxValue;
}

std::int64_t coinToss(std::int64_t value) {
  return randomUniform(2) != 0 ? value : checkedSub(0, value);
}

std::int64_t random_gauss(double threshold, std::int64_t maxValue) {
  checkGaussArguments(threshold, maxValue, "random_gauss");
  if (maxValue == 0) return 0;
  for (;;) {
    PolarPair pair = polarPair();
    if (-threshold <= pair.z1 && pair.z1 <= threshold) {
      return gaussResult(pair.z1, threshold, maxValue);
    }
    if (-threshold <= pair.z2 && pair.z2 <= threshold) {
      return gaussResult(pair.z2, threshold, maxValue);
    }
  }
}

std::int64_t random_gaussCollectOverflowValues(double threshold, std::int64_t maxValue) {
  checkGaussArguments(threshold, maxValue, "random_gaussCollectOverflowValues");
  if (maxValue == 0) return 0;
  double z = std::clamp(polarPair().z1, -threshold, threshold);
  return gaussResult(z, threshold, maxValue);
}

}  // namespace Int

std::int64_t squareMatrixSideLength(std::int64_t self) {
  if (self < 1) fatal(fmt::format("squareMatrixSideLength: {} is below 1", self));
  // The double square root can be off by one for large values; settle the
  // estimate with exact integer products (the side never exceeds 3037000500).
  std::int64_t side = checkedInt64(std::ceil(std::sqrt(static_cast<double>(self))));
  auto holds = [self](std::int64_t s) {
    return static_cast<unsigned __int128>(s) * static_cast<unsigned __int128>(s) >=
           static_cast<unsigned __int128>(self);
  };
  while (!holds(side)) ++side;
  while (side > 1 && holds(side - 1)) --side;
  return side;
}

std::int64_t bucketCount(std::int64_t self, std::int64_t bucketSize) {
  if (self == 0) return 0;
  return checkedAdd(checkedQuotient(checkedSub(self, 1), bucketSize, "bucketCount"), 1);
}

std::string makeString(std::int64_t self) { return std::to_string(self); }

std::int64_t numberOfDigits(std::int64_t self) {
  // Integer arithmetic: a floating-point logarithm miscounts from 10^15 - 1 up.
  std::uint64_t magnitude = self < 0 ? 0 - static_cast<std::uint64_t>(self)
                                     : static_cast<std::uint64_t>(self);
  std::int64_t digits = 1;
  while (magnitude >= 10) {
    magnitude /= 10;
    ++digits;
  }
  return self < 0 ? digits + 1 : digits;
}

std::int64_t divide2(std::int64_t self, std::int64_t objectWidth, std::int64_t paddingWidth) {
  std::int64_t step = checkedAdd(objectWidth, paddingWidth);
  std::int64_t count = checkedQuotient(self, step, "divide2");
  return checkedAdd(checkedMul(count, step), objectWidth) > self ? count : checkedAdd(count, 1);
}

std::int64_t width2(std::int64_t self, std::int64_t objectWidth, std::int64_t paddingWidth) {
  return checkedSub(checkedMul(self, checkedAdd(objectWidth, paddingWidth)), paddingWidth);
}

namespace collections_internal {
void negativeMapCountFatal(std::int64_t self) {
  fatal(fmt::format("map: the count {} is negative", self));
}
}  // namespace collections_internal

std::int64_t moduloedIncreased(std::int64_t self, std::int64_t by, std::int64_t modulo) {
  if (by == 0) fatal("moduloedIncrease: by must not be 0");
  std::int64_t value = checkedAdd(self, by);
  if (value >= modulo) return checkedRemainder(value, modulo, "moduloedIncrease");
  if (value >= 0) return value;
  std::int64_t shifted = checkedAdd(checkedRemainder(value, modulo, "moduloedIncrease"), modulo);
  return checkedRemainder(shifted, modulo, "moduloedIncrease");
}

std::int64_t moduloedIncreased(std::int64_t self, std::int64_t modulo) {
  return moduloedIncreased(self, 1, modulo);
}

bool moduloedIncrease(std::int64_t& self, std::int64_t by, std::int64_t modulo) {
  std::int64_t next = moduloedIncreased(self, by, modulo);
  // Wrapped exactly when the plain sum left 0..<modulo (the sum is checked above).
  std::int64_t sum = self + by;
  self = next;
  return !(sum >= 0 && sum < modulo);
}

bool moduloedIncrease(std::int64_t& self, std::int64_t modulo) {
  return moduloedIncrease(self, 1, modulo);
}

std::int64_t increaseAndReturnBeforeValue(std::int64_t& self, std::int64_t by) {
  return std::exchange(self, checkedAdd(self, by));
}

std::int64_t increaseAndReturnAfterValue(std::int64_t& self, std::int64_t by) {
  self = checkedAdd(self, by);
  return self;
}

namespace Bool {

bool coinToss() { return randomUniform(2) == 0; }

bool probabilityOneTo(std::int64_t n) {
  if (n < 1) return false;
  return randomUniform(drawBound(checkedAdd(n, 1), "probabilityOneTo")) == 0;
}

bool probability(double p) {
  // Stops for NaN and for values outside (-1, 2^32), truncating toward zero.
  std::uint32_t threshold = checkedIntegerFromDouble<std::uint32_t>(p * 100000.0);
  return randomUniform(100000) < threshold;
}

bool probabilityPercent(double percent) { return probability(percent / 100.0); }

}  // namespace Bool

namespace Float {
float random() {
  // The conversion rounds to nearest, so the largest draws become 2^32: 1.0.
  return static_cast<float>(randomUInt32()) * 0x1p-32f;
}
float random(float max) { return random(0.0f, max); }
float random(float min, float max) { return min + random() * (max - min); }
}  // namespace Float

namespace Double {
double random() { return randomUInt32() / 4294967295.0; }
double random(double max) { return random(0.0, max); }
double random(double minimum, double max) { return minimum + random() * (max - minimum); }
}  // namespace Double

namespace UInt32 {

std::uint32_t random(std::uint32_t maxValue) { return randomUniform(maxValue); }

std::uint32_t randomExcluding(std::uint32_t maxValue, const std::vector<std::uint32_t>& excluding) {
  // A bound of 0 draws 0, so there is always at least one candidate.
  std::uint64_t candidates = maxValue == 0 ? 1 : maxValue;
  std::unordered_set<std::uint32_t> excludedCandidates;
  for (std::uint32_t v : excluding) {
    if (v < candidates) excludedCandidates.insert(v);
  }
  if (excludedCandidates.size() >= candidates) {
    fatal(fmt::format("UInt32 random excluding: every value below {} is excluded", candidates));
  }
  for (;;) {
    std::uint32_t draw = randomUniform(maxValue);
    if (!excludedCandidates.contains(draw)) return draw;
  }
}

std::uint32_t randomExcluding(const std::vector<std::uint32_t>& excluding) {
  return randomExcluding(4294967295u, excluding);
}

}  // namespace UInt32

namespace {

// A value whose scaled form is not finite has no digits left at that place
// (it is already a whole number of such units), so rounding keeps it as it
// is; a factor that underflows to 0 moves every finite value below half a
// unit, which rounds to a zero of the value's sign.
double roundScaled(double self, double factor) {
  if (!std::isfinite(self) || !std::isfinite(factor)) return self;
  if (factor == 0) return std::copysign(0.0, self);
  double scaled = self * factor;
  if (!std::isfinite(scaled)) return self;
  return std::round(scaled) / factor;
}

}  // namespace

double roundTo2f(double self) { return roundScaled(self, 100); }

double roundTo3f(double self) { return roundScaled(self, 1000); }

double roundToPlaces(double self, std::int64_t places) {
  return roundScaled(self, std::pow(10.0, static_cast<double>(places)));
}

}  // namespace vantrel
