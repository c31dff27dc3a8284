// File: vantrel/core/core_values.h
//
// Small building blocks for host code: generic holders, a range test and a
// clamp for any ordered type, angle conversions, a value-discarding call and
// the library's public constants.
//
//   vtIfValueWithin(1, 5, 10)      true     (lower bound, value, upper bound)
//   vtLimitValue(11, 1, 10)        10       (value, lower bound, upper bound)
//   vtLimitValue(5, 10, 3)         3        (the upper bound is applied last)
//   VtDEG2RAD(180.0)               3.141592653589793
//   asRadians(180.0f)              a float, computed in floats
//
// Constants are compile-time values: safe under concurrent first use.
#pragma once

#include <concepts>
#include <numbers>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

// Two values of one type.
template <class T>
class Pair {
 public:
  Pair(T a, T b) : a_(std::move(a)), b_(std::move(b)) {}
  [[nodiscard]] const T& a() const { return a_; }
  [[nodiscard]] const T& b() const { return b_; }

 private:
  T a_;
  T b_;
};

// One value shared by reference: hold it in a `std::shared_ptr`; the value
// goes with the last holder.
//   auto shared = std::make_shared<SimpleStructWrapper<Settings>>(settings);
template <class T>
class SimpleStructWrapper {
 public:
  explicit SimpleStructWrapper(T value) : value_(std::move(value)) {}
  SimpleStructWrapper(const SimpleStructWrapper&) = delete;  // shared by reference, not copied
  SimpleStructWrapper& operator=(const SimpleStructWrapper&) = delete;
  [[nodiscard]] const T& value() const { return value_; }

 private:
  T value_;
};

// A thing and its name; the thing comes first.
template <class T>
class NamedThingy {
 public:
  NamedThingy(T thingy, std::string named) : name_(std::move(named)), thingy_(std::move(thingy)) {}
  [[nodiscard]] const std::string& name() const { return name_; }
  [[nodiscard]] const T& thingy() const { return thingy_; }

 private:
  std::string name_;
  T thingy_;
};

// value >= lowerBound and value <= upperBound (the upper test only when the
// lower one holds). The tested value is the middle argument.
template <class T>
[[nodiscard]] bool vtIfValueWithin(const T& lowerBound, const std::type_identity_t<T>& value,
                                   const std::type_identity_t<T>& upperBound) {
  if (!(value >= lowerBound)) return false;
  return value <= upperBound;
}

// The value raised to the lower bound, then lowered to the upper bound: bounds
// in reverse order always give the upper bound.
template <class T>
[[nodiscard]] T vtLimitValue(const T& value, const std::type_identity_t<T>& lowerBound,
                             const std::type_identity_t<T>& upperBound) {
  T result = value;
  if (result < lowerBound) result = lowerBound;
  if (result > upperBound) result = upperBound;
  return result;
}

[[nodiscard]] constexpr double VtDEG2RAD(double degrees) { return degrees * 0.017453292519943295; }
[[nodiscard]] constexpr double VtRAD2DEG(double radians) { return radians * 57.29577951308232; }

// Degrees to radians in the value's own type: multiplied by pi first, then
// divided by 180.
template <std::floating_point T>
[[nodiscard]] constexpr T asRadians(T degrees) {
  return degrees * std::numbers::pi_v<T> / static_cast<T>(180);
}
// Radians to degrees in the value's own type: multiplied by 180 first, then
// divided by pi.
template <std::floating_point T>
[[nodiscard]] constexpr T asDegrees(T radians) {
  return radians * static_cast<T>(180) / std::numbers::pi_v<T>;
}

// Takes a value and does nothing with it.
template <class T>
constexpr void qignore(const T&) {}

// The default compression factor for JPEG output; nothing in the library reads it.
inline constexpr double VT_DEFAULT_JPEG_COMPRESSION = 0.85;
inline constexpr std::string_view VtDefaultCellIdentifier = "id";
inline constexpr std::string_view VtDefaultCellIdentifier2 = "id2";
inline constexpr std::string_view VtDefaultAnnotationIdentifier = "id";
inline constexpr std::string_view VtDefaultAnnotationIdentifier2 = "id2";
// The project's reverse-DNS prefix, which the library's identifiers and
// queue labels begin with.
inline constexpr std::string_view VantrelReverseDnsPrefix = "org.vantrel";
// The library's own bundle identifier: the prefix, then ".Vantrel".
inline constexpr std::string_view VantrelCommonBundleIdentifier = "org.vantrel.Vantrel";
static_assert(VantrelCommonBundleIdentifier.substr(0, VantrelReverseDnsPrefix.size()) == VantrelReverseDnsPrefix &&
              VantrelCommonBundleIdentifier.substr(VantrelReverseDnsPrefix.size()) == ".Vantrel");

// The placeholder paragraph: 1,368 ASCII characters, no line break.
inline constexpr std::string_view LoremIpsum =
    "Lorem ipsum dolor sit amet, consectetuer adipiscing elit. Aenean commodo ligula eget dolor. Aenean "
    "massa. Cum sociis natoque penatibus et magnis dis parturient montes, nascetur ridiculus mus. Donec "
    "quam felis, ultricies nec, pellentesque eu, pretium quis, sem. Nulla consequat massa quis enim. Donec "
    "pede justo, fringilla vel, aliquet nec, vulputate eget, arcu. In enim justo, rhoncus ut, imperdiet a, "
    "venenatis vitae, justo. Nullam dictum felis eu pede mollis pretium. Integer tincidunt. Cras dapibus. "
    "Vivamus elementum semper nisi. Aenean vulputate eleifend tellus. Aenean leo ligula, porttitor eu, "
    "consequat vitae, eleifend ac, enim. Aliquam lorem ante, dapibus in, viverra quis, feugiat a, tellus. "
    "Phasellus viverra nulla ut metus varius laoreet. Quisque rutrum. Aenean imperdiet. Etiam ultricies "
    "nisi vel augue. Curabitur ullamcorper ultricies nisi. Nam eget dui. Etiam rhoncus. Maecenas tempus, "
    "tellus eget condimentum rhoncus, sem quam semper libero, sit amet adipiscing sem neque sed ipsum. Nam "
    "quam nunc, blandit vel, luctus pulvinar, hendrerit id, lorem. Maecenas nec odio et ante tincidunt "
    "tempus. Donec vitae sapien ut libero venenatis faucibus. Nullam quis ante. Etiam sit amet orci eget "
    "eros faucibus tincidunt. Duis leo. Sed fringilla mauris sit amet nibh. Donec sodales sagittis magna. "
    "Sed consequat, leo eget bibendum sodales, augue velit cursus nunc.";

}  // namespace vantrel
