// File: vantrel/foundation/values/optional_helpers.h
//
// Operations on `std::optional`, `bool` and `uint16_t` for short debug prints
// and branch-free chaining. Free functions, receiver first; `q` is the
// coding-aid namespace, so the quoting forms are `q_` (as for texts).
//
//   q_(std::optional<int>())        "nil"          q_(std::optional<int>(5))  "5"
//   qq(std::optional<std::string>("ab"))  "\"ab\""  q2(std::optional<int>())   ""
//   forced(opt, [] { return "why"; })     the value, or a stop with "Optional.forced: why"
//   forcedCast<int>(std::optional<std::any>(5))   5, or a stop with "Cannot cast … to Int."
//   nilPrint(opt, "config")               prints "❌❌❌ Optional.supposed: \"config\" ❌❌❌" when absent
//   toString(std::optional<bool>(), "yes", "no", "none")   "none"
//   q_(true, "on", "off")  "on"      qTrueFalseString(false)  "false"
//   bytes(std::uint16_t{0x1234})     {0x12, 0x34}
//
// A value's description is `describe` (a text is itself, a number its
// decimal text). Closures run on the caller's thread, at most once, and only
// in the case named. Only `forced` and `forcedCast` stop the program.
#pragma once

#include <any>
#include <concepts>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "vantrel/core/console.h"
#include "vantrel/core/describe.h"
#include "vantrel/core/fatal.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

// Restricts `toString` to optional Booleans.
template <class T>
concept ThisIsABoolean = std::same_as<T, bool>;

template <class T>
[[nodiscard]] std::string q_(const std::optional<T>& self) {
  return self ? describe(*self) : std::string("nil");
}

template <class T>
[[nodiscard]] std::string qq(const std::optional<T>& self) {
  return self ? "\"" + describe(*self) + "\"" : std::string("nil");
}

template <class T>
[[nodiscard]] std::string q2(const std::optional<T>& self) {
  return self ? describe(*self) : std::string();
}

// `message` is called only when the value is absent.
template <class T, class Message>
  requires std::invocable<Message>
[[nodiscard]] T forced(const std::optional<T>& self, Message&& message,
                       SourceLocation loc = SourceLocation::current()) {
  if (!self) fatal("Optional.forced: " + std::string(std::forward<Message>(message)()), loc);
  return *self;
}

template <class T>
[[nodiscard]] T forced(const std::optional<T>& self, std::string_view message,
                       SourceLocation loc = SourceLocation::current()) {
  if (!self) fatal("Optional.forced: " + std::string(message), loc);
  return *self;
}

namespace foundation_internal {
// The description of a value held by `std::any`, for the common value
// types; others show their type's name.
inline std::string describeAny(const std::any& value) {
  if (const auto* v = std::any_cast<int>(&value)) return describe(*v);
  if (const auto* v = std::any_cast<long>(&value)) return describe(*v);
  if (const auto* v = std::any_cast<long long>(&value)) return describe(*v);
  if (const auto* v = std::any_cast<double>(&value)) return describe(*v);
  if (const auto* v = std::any_cast<bool>(&value)) return describe(*v);
  if (const auto* v = std::any_cast<std::string>(&value)) return describe(*v);
  if (const auto* v = std::any_cast<const char*>(&value)) return std::string(*v);
  return typeName(value.type());
}

template <class T>
inline constexpr bool isSharedPtr = false;
template <class T>
inline constexpr bool isSharedPtr<std::shared_ptr<T>> = true;
}  // namespace foundation_internal

// The present value as `To` when it is of that type: the value of an optional
// `To`, the content of an optional `std::any`, the object of an optional
// `shared_ptr` (dynamic cast). Otherwise stops with "Cannot cast " + the
// optional's description ("nil" when absent) + " to " + the type's name + ".".
template <class To, class T>
[[nodiscard]] std::conditional_t<foundation_internal::isSharedPtr<T>, std::shared_ptr<To>, To> forcedCast(const std::optional<T>& self, SourceLocation loc = SourceLocation::current()) {
  std::string shown = "nil";
  if constexpr (std::same_as<T, std::any>) {
    if (self) {
      if (const To* value = std::any_cast<To>(&*self)) return *value;
      shown = "Optional(" + foundation_internal::describeAny(*self) + ")";
    }
  } else if constexpr (foundation_internal::isSharedPtr<T>) {
    if (self) {
      if (auto cast = std::dynamic_pointer_cast<To>(*self)) return cast;
      shown = describe(self);
    }
  } else {
    if (self) {
      if constexpr (std::same_as<T, To>) return *self;
      shown = describe(self);
    }
  }
  fatal("Cannot cast " + shown + " to " + typeName<To>() + ".", loc);
}

template <class T, class F>
  requires std::invocable<F>
[[nodiscard]] T whenNil(const std::optional<T>& self, F&& make) {
  return self ? *self : static_cast<T>(std::forward<F>(make)());
}

// Prints "❌❌❌ Optional.supposed: \"<message>\" ❌❌❌" when absent.
template <class T>
std::optional<T> nilPrint(const std::optional<T>& self, std::string_view message) {
  if (!self) consolePrint("\u274C\u274C\u274C Optional.supposed: \"" + std::string(message) + "\" \u274C\u274C\u274C");
  return self;
}

template <ThisIsABoolean B>
[[nodiscard]] std::string toString(const std::optional<B>& self, std::string_view whenTrue, std::string_view whenFalse,
                                   std::string_view whenNone) {
  return std::string(!self ? whenNone : *self ? whenTrue : whenFalse);
}

template <class T, class P>
  requires std::predicate<P, const T&>
[[nodiscard]] std::optional<T> filter(const std::optional<T>& self, P&& predicate) {
  if (self && std::forward<P>(predicate)(*self)) return self;
  return std::nullopt;
}

template <class T, class F>
  requires std::invocable<F>
[[nodiscard]] std::optional<T> mapNil(const std::optional<T>& self, F&& make) {
  if (self) return self;
  return std::optional<T>(std::forward<F>(make)());
}

template <class T, class F>
  requires std::invocable<F>
[[nodiscard]] std::optional<T> flatMapNil(const std::optional<T>& self, F&& make) {
  if (self) return self;
  return std::forward<F>(make)();
}

template <class T, class F>
  requires std::invocable<F, const T&>
void then(const std::optional<T>& self, F&& use) {
  if (self) std::forward<F>(use)(*self);
}

template <class T, class R, class F>
  requires std::invocable<F, const T&>
[[nodiscard]] R maybe(const std::optional<T>& self, R defaultValue, F&& f) {
  if (!self) return defaultValue;
  return std::forward<F>(f)(*self);
}

template <class T, class F>
  requires std::invocable<F, const T&>
const std::optional<T>& onSome(const std::optional<T>& self, F&& use) {
  if (self) std::forward<F>(use)(*self);
  return self;
}

template <class T, class F>
  requires std::invocable<F>
const std::optional<T>& onNone(const std::optional<T>& self, F&& act) {
  if (!self) std::forward<F>(act)();
  return self;
}

template <class T>
[[nodiscard]] bool isSome(const std::optional<T>& self) {
  return self.has_value();
}

template <class T>
[[nodiscard]] bool isNone(const std::optional<T>& self) {
  return !self.has_value();
}

// Booleans: the first text for true, the second for false.
template <std::same_as<bool> B>
[[nodiscard]] std::string q_(B self, std::string_view whenTrue, std::string_view whenFalse) {
  return std::string(self ? whenTrue : whenFalse);
}

[[nodiscard]] inline std::string qTrueFalseString(bool self) { return self ? "true" : "false"; }

// High byte first, then the low byte.
[[nodiscard]] inline std::vector<std::uint8_t> bytes(std::uint16_t self) {
  return {static_cast<std::uint8_t>(self >> 8), static_cast<std::uint8_t>(self & 0xFF)};
}

}  // namespace vantrel
