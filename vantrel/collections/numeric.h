// File: vantrel/collections/numeric.h
//
// Numeric helpers: random draws (uniform integers, draws that skip values,
// coin tosses, probabilities, a bell-shaped integer draw, uniform floating
// point numbers), layout arithmetic, wrapping counters, range tests and
// decimal rounding.
//
//   int64_t die = Int::randomNumber(1, 6);          // 1...6, both included
//   int64_t pick = Int::random(9);                  // 0...9
//   bool rare = Bool::probabilityPercent(2.5);      // true 2.5% of the time
//   int64_t side = squareMatrixSideLength(10);      // 4
//   int64_t slot = 4;
//   moduloedIncrease(slot, 1, 5);                   // slot == 0, returns true
//
// Static operations of a number type live in a namespace named after it
// (`Int::`, `UInt32::`, `Bool::`, `Float::`, `Double::`); operations on a
// value are free functions taking it first (by reference when they change it).
//
// Every draw goes through the core random source (vantrel/core/random.h), so
// a test can script it. The integer draws include their maximum; the
// `UInt32::` draws exclude theirs.
//
// Broken contracts stop the program through `fatal`: a bound that does not
// fit in 32 unsigned bits, a maximum below the minimum, a divisor of 0,
// integer overflow, a double that does not fit an integer. Draws with a
// negative maximum stop with "maxValue has to be at least 1". A draw whose
// exclusions leave no candidate, and a bell-shaped draw with a threshold that
// is not positive, stop with a message instead of drawing forever.
// Thread-safe (no state of its own).
#pragma once

#include <concepts>
#include <cstdint>
#include <functional>
#include <string>
#include <type_traits>
#include <unordered_set>
#include <utility>
#include <vector>

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

// ---- Static operations of the integer type ----------------------------------
namespace Int {

// Uniform in minValue...maxValue, both included; equal bounds answer the
// bound without drawing. Stops when maxValue < minValue or when the span
// maxValue - minValue + 1 exceeds 4294967295.
[[nodiscard]] std::int64_t randomNumber(std::int64_t minValue = 0, std::int64_t maxValue = 100);

// Uniform in 0...maxValue; 0 answers 0 without drawing. 4294967294, the
// default, is the largest maximum (the bound maxValue + 1 must fit in 32
// bits). A negative maximum stops with "maxValue has to be at least 1".
[[nodiscard]] std::int64_t random(std::int64_t maxValue = 4294967294);

// Uniform in 0...maxValue outside `excluding`: draws again while the draw is
// excluded. A maximum below 1 stops with "maxValue has to be at least 1";
// an exclusion set that covers all of 0...maxValue stops with a message.
[[nodiscard]] std::int64_t randomExcluding(std::int64_t maxValue,
                                           const std::unordered_set<std::int64_t>& excluding);
[[nodiscard]] std::int64_t randomExcluding(const std::unordered_set<std::int64_t>& excluding);

// 0 or maxValue, each with probability one half (0 when the draw of 2 is not
// 0). A negative maximum stops with "maxValue has to be at least 1".
[[nodiscard]] std::int64_t randomExtreme(std::int64_t maxValue = 4294967294);

// `value` or its negation, each with probability one half (the value when
// the draw of 2 is not 0). Negating the smallest integer stops.
[[nodiscard]] std::int64_t coinToss(std::int64_t value = 1);

// Bell-shaped integer in 0...maxValue (Marsaglia's polar method): a normal
// deviate z within -threshold...threshold maps linearly onto the range, z = 0
// on the middle; deviates outside are drawn again. Each attempt draws two
// 32-bit values u then v; a pair with u² + v² equal to 0 or at least 1 is
// drawn again; z1 is used when in range, else z2, else both are drawn again.
// A result that rounds past maxValue (only a maximum near the largest
// integer can produce one) answers maxValue. maxValue 0 answers 0 without
// drawing; a negative one stops with "maxValue has to be at least 1"; a
// threshold that is not positive (or NaN) stops, since no deviate could fit.
[[nodiscard]] std::int64_t random_gauss(double threshold = 2.0,
                                        std::int64_t maxValue = INT64_MAX);

// Like `random_gauss`, but one attempt (redrawn only for u² + v² equal to 0 or
// at least 1) whose z1 is clamped to -threshold...threshold, so the tails
// pile up on 0 and maxValue. Same stops as `random_gauss`.
[[nodiscard]] std::int64_t random_gaussCollectOverflowValues(double threshold = 4.0,
                                                             std::int64_t maxValue = INT64_MAX);

}  // namespace Int

// ---- Operations on an integer value ------------------------------------------

// The smallest side whose square holds `self` cells (ceiling of the square
// root), exact for every positive value. Stops for self < 1.
[[nodiscard]] std::int64_t squareMatrixSideLength(std::int64_t self);

// Buckets of `bucketSize` needed for `self` items: 0 for self 0, else
// (self - 1) / bucketSize + 1, truncating. Stops for a bucket size of 0 when
// self is not 0.
[[nodiscard]] std::int64_t bucketCount(std::int64_t self, std::int64_t bucketSize);

// `self` in decimal.
[[nodiscard]] std::string makeString(std::int64_t self);

// Characters of `self` in decimal, a minus sign included (0 has 1, -12 has 3).
[[nodiscard]] std::int64_t numberOfDigits(std::int64_t self);

// How many objects of `objectWidth`, with `paddingWidth` between neighbours,
// fit into `self`. Stops when objectWidth + paddingWidth is 0.
[[nodiscard]] std::int64_t divide2(std::int64_t self, std::int64_t objectWidth,
                                   std::int64_t paddingWidth);

// Width of `self` objects with padding between neighbours:
// self * (objectWidth + paddingWidth) - paddingWidth.
[[nodiscard]] std::int64_t width2(std::int64_t self, std::int64_t objectWidth,
                                  std::int64_t paddingWidth);

namespace collections_internal {
[[noreturn]] void negativeMapCountFatal(std::int64_t self);
}

// The results of `transform` for 0, 1, ..., self - 1, in order. Stops for a
// negative self.
template <std::invocable<std::int64_t> F>
[[nodiscard]] auto map(std::int64_t self, F&& transform)
    -> std::vector<std::decay_t<std::invoke_result_t<F&, std::int64_t>>> {
  if (self < 0) collections_internal::negativeMapCountFatal(self);
  std::vector<std::decay_t<std::invoke_result_t<F&, std::int64_t>>> results;
  results.reserve(static_cast<std::size_t>(self));
  for (std::int64_t i = 0; i < self; ++i) results.push_back(std::invoke(transform, i));
  return results;
}

// Adds `by` to `self`, wrapping into 0...modulo - 1; returns whether it
// wrapped. With v = self + by: v >= modulo stores v % modulo (truncating);
// 0 <= v < modulo stores v; v < 0 stores ((v % modulo) + modulo) % modulo.
// Stops for `by` 0, and for `modulo` 0 when a remainder is needed.
bool moduloedIncrease(std::int64_t& self, std::int64_t by, std::int64_t modulo);
// The same with `by` 1.
bool moduloedIncrease(std::int64_t& self, std::int64_t modulo);

// The value `moduloedIncrease` would store; `self` is not changed.
[[nodiscard]] std::int64_t moduloedIncreased(std::int64_t self, std::int64_t by,
                                             std::int64_t modulo);
// The same with `by` 1.
[[nodiscard]] std::int64_t moduloedIncreased(std::int64_t self, std::int64_t modulo);

// Adds `by` to `self`; returns the value before the addition.
std::int64_t increaseAndReturnBeforeValue(std::int64_t& self, std::int64_t by = 1);
// Adds `by` to `self`; returns the new value.
std::int64_t increaseAndReturnAfterValue(std::int64_t& self, std::int64_t by = 1);

// `self` when from <= self <= to, else `elze`.
[[nodiscard]] constexpr std::int64_t intKept(std::int64_t self, std::int64_t from, std::int64_t to,
                                             std::int64_t elze) {
  return from <= self && self <= to ? self : elze;
}

// True when first <= self <= second, compared by mathematical value whatever
// the width and signedness of `self` (an unsigned 200 lies in -1...255).
template <std::integral T>
[[nodiscard]] constexpr bool isInRange(T self, std::int64_t first, std::int64_t second) {
  return std::cmp_less_equal(first, self) && std::cmp_less_equal(self, second);
}

// ---- Boolean operations -------------------------------------------------------

// 1 for true, 0 for false.
[[nodiscard]] constexpr std::int64_t vtIntValue(bool self) { return self ? 1 : 0; }

// Returns `self`, then sets it to false.
constexpr bool returnValueAndAssignFalse(bool& self) { return std::exchange(self, false); }
// Returns `self`, then sets it to true.
constexpr bool returnValueAndAssignTrue(bool& self) { return std::exchange(self, true); }
// Returns `self`, then sets it to self || other.
constexpr bool mutatingOr(bool& self, bool other) { return std::exchange(self, self || other); }

namespace Bool {

// True with probability one half: when the draw of 2 is 0.
[[nodiscard]] bool coinToss();

// The odds one to n: true when the draw of n + 1 is 0; false for n < 1
// without drawing. Stops when n + 1 exceeds 4294967295.
[[nodiscard]] bool probabilityOneTo(std::int64_t n);

// True with probability p, in steps of 1/100000: whether the draw of 100000
// is below p * 100000 truncated toward zero. p = 0 (and a slightly negative
// p, above -0.00001) is never true; p >= 1 always. Stops when p * 100000 is
// NaN, at most -1, or at least 2^32.
[[nodiscard]] bool probability(double p);

// `probability(percent / 100)`.
[[nodiscard]] bool probabilityPercent(double percent);

}  // namespace Bool

// ---- Floating-point and 32-bit operations ------------------------------------
namespace Float {
// A 32-bit draw rounded to single precision, times 2^-32: 0 to 1, both
// included (the largest draws round up to 1).
[[nodiscard]] float random();
// min + random() * (max - min), in single precision.
[[nodiscard]] float random(float max);
[[nodiscard]] float random(float min, float max);
}  // namespace Float

namespace Double {
// A 32-bit draw divided by 4294967295: 0 to 1, both included.
[[nodiscard]] double random();
// minimum + random() * (max - minimum).
[[nodiscard]] double random(double max);
[[nodiscard]] double random(double minimum, double max);
}  // namespace Double

namespace UInt32 {
// Uniform in 0...maxValue - 1 (the maximum itself excluded); 0 for maxValue 0.
[[nodiscard]] std::uint32_t random(std::uint32_t maxValue = 4294967295u);
// Like `random(maxValue)`, drawn again while the draw is in `excluding`.
// Stops with a message when `excluding` holds every candidate.
[[nodiscard]] std::uint32_t randomExcluding(std::uint32_t maxValue,
                                            const std::vector<std::uint32_t>& excluding);
[[nodiscard]] std::uint32_t randomExcluding(const std::vector<std::uint32_t>& excluding);
}  // namespace UInt32

// Decimal rounding, half away from zero: round(self * 10^places) / 10^places.
// Binary doubles round as stored: 1.005 is 1.00499999999999989..., so
// roundTo2f(1.005) is 1.0. A value too large to scale (1e307 to 2 places,
// anything to 400 places) and inf or NaN come back unchanged; places so
// negative that 10^places is 0 in a double give a zero of the value's sign.
[[nodiscard]] double roundTo2f(double self);
[[nodiscard]] double roundTo3f(double self);
[[nodiscard]] double roundToPlaces(double self, std::int64_t places);

}  // namespace vantrel
