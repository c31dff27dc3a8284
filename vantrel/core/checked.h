// File: vantrel/core/checked.h
//
// Checked integer arithmetic and conversions. Where a safe language traps (integer
// overflow, a double that does not fit an integer), these stop the program
// through `fatal` with the operands in the message; nothing is undefined.
//
//   int64_t cells = checkedMul(width, height);          // fatal on overflow
//   int32_t small = checkedCast<int32_t>(count);        // fatal when out of range
//   int64_t n = checkedInt64(3.7);                      // 3 (truncates toward zero)
//   std::optional<int64_t> m = exactInt64(3.5);         // nullopt: not integral
//
// The `overflowing…` forms answer nullopt instead of stopping.
#pragma once

#include <concepts>
#include <cstdint>
#include <optional>
#include <string_view>
#include <type_traits>
#include <utility>

#include "vantrel/core/source_location.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {
namespace core_internal {
[[noreturn]] void overflowFatal(std::string_view operation, long long a, long long b,
                                SourceLocation loc);
[[noreturn]] void overflowFatalUnsigned(std::string_view operation, unsigned long long a,
                                        unsigned long long b, SourceLocation loc);
[[noreturn]] void conversionFatal(long long value, bool isNegative, unsigned long long magnitude,
                                  std::string_view target, SourceLocation loc);
[[noreturn]] void doubleConversionFatal(double value, std::string_view target, SourceLocation loc);

template <std::integral T>
[[noreturn]] void fail(std::string_view operation, T a, T b, SourceLocation loc) {
  if constexpr (std::is_signed_v<T>) {
    overflowFatal(operation, static_cast<long long>(a), static_cast<long long>(b), loc);
  } else {
    overflowFatalUnsigned(operation, static_cast<unsigned long long>(a),
                          static_cast<unsigned long long>(b), loc);
  }
}

template <std::integral T>
constexpr std::string_view integerName() {
  if constexpr (std::is_same_v<T, std::int8_t>) return "Int8";
  else if constexpr (std::is_same_v<T, std::int16_t>) return "Int16";
  else if constexpr (std::is_same_v<T, std::int32_t>) return "Int32";
  else if constexpr (std::is_same_v<T, std::int64_t>) return "Int64";
  else if constexpr (std::is_same_v<T, std::uint8_t>) return "UInt8";
  else if constexpr (std::is_same_v<T, std::uint16_t>) return "UInt16";
  else if constexpr (std::is_same_v<T, std::uint32_t>) return "UInt32";
  else if constexpr (std::is_same_v<T, std::uint64_t>) return "UInt64";
  else return std::is_signed_v<T> ? "signed integer" : "unsigned integer";
}
}  // namespace core_internal

template <std::integral T>
[[nodiscard]] constexpr std::optional<T> overflowingAdd(T a, T b) {
  T r;
  if (__builtin_add_overflow(a, b, &r)) return std::nullopt;
  return r;
}
template <std::integral T>
[[nodiscard]] constexpr std::optional<T> overflowingSub(T a, T b) {
  T r;
  if (__builtin_sub_overflow(a, b, &r)) return std::nullopt;
  return r;
}
template <std::integral T>
[[nodiscard]] constexpr std::optional<T> overflowingMul(T a, T b) {
  T r;
  if (__builtin_mul_overflow(a, b, &r)) return std::nullopt;
  return r;
}

template <std::integral T>
[[nodiscard]] constexpr T checkedAdd(std::type_identity_t<T> a, std::type_identity_t<T> b,
                                     SourceLocation loc = SourceLocation::current()) {
  T r;
  if (__builtin_add_overflow(a, b, &r)) core_internal::fail<T>("+", a, b, loc);
  return r;
}
template <std::integral T>
[[nodiscard]] constexpr T checkedSub(std::type_identity_t<T> a, std::type_identity_t<T> b,
                                     SourceLocation loc = SourceLocation::current()) {
  T r;
  if (__builtin_sub_overflow(a, b, &r)) core_internal::fail<T>("-", a, b, loc);
  return r;
}
template <std::integral T>
[[nodiscard]] constexpr T checkedMul(std::type_identity_t<T> a, std::type_identity_t<T> b,
                                     SourceLocation loc = SourceLocation::current()) {
  T r;
  if (__builtin_mul_overflow(a, b, &r)) core_internal::fail<T>("*", a, b, loc);
  return r;
}

// The int64_t forms, for the library's positions and counts.
[[nodiscard]] constexpr std::int64_t checkedAdd(std::int64_t a, std::int64_t b,
                                                SourceLocation loc = SourceLocation::current()) {
  return checkedAdd<std::int64_t>(a, b, loc);
}
[[nodiscard]] constexpr std::int64_t checkedSub(std::int64_t a, std::int64_t b,
                                                SourceLocation loc = SourceLocation::current()) {
  return checkedSub<std::int64_t>(a, b, loc);
}
[[nodiscard]] constexpr std::int64_t checkedMul(std::int64_t a, std::int64_t b,
                                                SourceLocation loc = SourceLocation::current()) {
  return checkedMul<std::int64_t>(a, b, loc);
}

// Integer to integer, stopping when the value does not fit `To`.
template <std::integral To, std::integral From>
[[nodiscard]] constexpr To checkedCast(From value, SourceLocation loc = SourceLocation::current()) {
  if (!std::in_range<To>(value)) {
    if constexpr (std::is_signed_v<From>) {
      core_internal::conversionFatal(static_cast<long long>(value), value < 0,
                                     value < 0 ? 0ULL : static_cast<unsigned long long>(value),
                                     core_internal::integerName<To>(), loc);
    } else {
      core_internal::conversionFatal(0, false, static_cast<unsigned long long>(value),
                                     core_internal::integerName<To>(), loc);
    }
  }
  return static_cast<To>(value);
}

// Double to integer, truncating toward zero;
// stops for NaN, infinities and values outside `To`.
template <std::integral To>
[[nodiscard]] To checkedIntegerFromDouble(double value,
                                          SourceLocation loc = SourceLocation::current()) {
  // The bounds are powers of two, so they are exact as doubles.
  constexpr double lower =
      std::is_signed_v<To> ? -static_cast<double>(static_cast<unsigned long long>(1) << (sizeof(To) * 8 - 1)) : 0.0;
  constexpr double upper = static_cast<double>(static_cast<unsigned long long>(1) << (sizeof(To) * 8 - 1)) *
                           (std::is_signed_v<To> ? 1.0 : 2.0);
  // Anything above lower - 1 truncates into range; for 64-bit types
  // lower - 1 rounds back to lower, hence the explicit equality. Comparisons
  // with NaN are false, so NaN fails the test too.
  if (!((value >= lower || value > lower - 1.0) && value < upper)) {
    core_internal::doubleConversionFatal(value, core_internal::integerName<To>(), loc);
  }
  return static_cast<To>(value);
}

[[nodiscard]] inline std::int64_t checkedInt64(double value,
                                               SourceLocation loc = SourceLocation::current()) {
  return checkedIntegerFromDouble<std::int64_t>(value, loc);
}

// The integer equal to `value`, or nullopt when it has a fraction or does not fit.
[[nodiscard]] std::optional<std::int64_t> exactInt64(double value);

}  // namespace vantrel
