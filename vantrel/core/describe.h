// File: vantrel/core/describe.h
//
// `describe(value)`: the standard text description of a value, what printing
// it shows. `debugDescribe(value)`: the form used inside collections, where
// strings are quoted and escaped.
//
//   describe(std::string("a"))              "a"
//   describe(1.0)  describe(1e16)  describe(1e-5)   "1.0"  "1e+16"  "1e-05"
//   describe(std::optional<int>(3))         "Optional(3)"      (nullopt: "nil")
//   describe(std::vector<std::string>{"a"}) "[\"a\"]"
//   describe(std::map<std::string,int>{{"k", 1}})   "[\"k\": 1]"   (empty: "[:]")
//   describe(std::pair(1, "x"))             "(1, \"x\")"
//
// An exception is its `errorDescription`. Other types, in this order: a
// `description()` member (`debugDescription()`
// for the debug form when present); a free `description(value)` found by
// argument-dependent lookup; `operator<<`; an enumeration's underlying
// integer; else the type's name. Unordered containers are described in their
// iteration order. Pure; thread-safe.
#pragma once

#include <concepts>
#include <exception>
#include <cstdint>
#include <iosfwd>
#include <memory>
#include <optional>
#include <ranges>
#include <string>
#include <string_view>
#include <tuple>
#include <type_traits>
#include <typeinfo>
#include <utility>

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

namespace core_internal {
std::string describeDouble(double value);
std::string describeFloat(float value);
std::string describeScalar(char32_t scalar);
std::string quotedText(std::string_view text);
std::string demangledName(const std::type_info& type);
std::string describeViaStream(const void* value, void (*write)(std::ostream&, const void*));
std::string describeException(const std::exception& error);

template <class T>
concept StringLike = std::is_convertible_v<const T&, std::string_view> &&
                     !std::is_same_v<std::remove_cvref_t<T>, std::nullptr_t>;

template <class T>
concept HasDescription = requires(const T& v) {
  { v.description() } -> std::convertible_to<std::string_view>;
};
template <class T>
concept HasDebugDescription = requires(const T& v) {
  { v.debugDescription() } -> std::convertible_to<std::string_view>;
};
template <class T>
concept HasFreeDescription = requires(const T& v) {
  { description(v) } -> std::convertible_to<std::string_view>;
};
template <class T>
concept Streamable = requires(std::ostream& os, const T& v) { os << v; };

template <class T>
struct IsOptional : std::false_type {};
template <class T>
struct IsOptional<std::optional<T>> : std::true_type {};

template <class T>
struct IsSharedPtr : std::false_type {};
template <class T>
struct IsSharedPtr<std::shared_ptr<T>> : std::true_type {};

template <class T>
concept TupleLike = requires { typename std::tuple_size<T>::type; } && !std::ranges::range<T>;

template <class T>
concept MapLike = std::ranges::range<T> && requires {
  typename T::key_type;
  typename T::mapped_type;
};

template <class T>
std::string describeImpl(const T& value, bool debug);

template <class Tuple, std::size_t... I>
std::string describeTuple(const Tuple& t, std::index_sequence<I...>) {
  std::string out = "(";
  ((out += (I == 0 ? "" : ", "), out += describeImpl(std::get<I>(t), true)), ...);
  out += ")";
  return out;
}

template <class T>
std::string describeImpl(const T& value, bool debug) {
  using U = std::remove_cvref_t<T>;
  if constexpr (std::is_same_v<U, bool>) {
    return value ? "true" : "false";
  } else if constexpr (std::is_same_v<U, char>) {
    std::string s(1, value);
    return debug ? quotedText(s) : s;
  } else if constexpr (std::is_same_v<U, char32_t>) {
    std::string s = describeScalar(value);
    return debug ? quotedText(s) : s;
  } else if constexpr (std::is_integral_v<U>) {
    return std::to_string(value);
  } else if constexpr (std::is_same_v<U, double> || std::is_same_v<U, long double>) {
    return describeDouble(static_cast<double>(value));
  } else if constexpr (std::is_same_v<U, float>) {
    return describeFloat(value);
  } else if constexpr (std::is_same_v<U, std::nullptr_t> || std::is_same_v<U, std::nullopt_t>) {
    return "nil";
  } else if constexpr (StringLike<U>) {
    std::string_view s = value;
    return debug ? quotedText(s) : std::string(s);
  } else if constexpr (IsOptional<U>::value) {
    if (!value) return "nil";
    return "Optional(" + describeImpl(*value, true) + ")";
  } else if constexpr (IsSharedPtr<U>::value) {
    if (!value) return "nil";
    return describeImpl(*value, debug);
  } else if constexpr (std::is_base_of_v<std::exception, U>) {
    return describeException(value);
  } else if constexpr (HasDescription<U>) {
    if constexpr (HasDebugDescription<U>) {
      if (debug) return std::string(value.debugDescription());
    }
    return std::string(value.description());
  } else if constexpr (HasFreeDescription<U>) {
    return std::string(description(value));
  } else if constexpr (TupleLike<U>) {
    return describeTuple(value, std::make_index_sequence<std::tuple_size_v<U>>{});
  } else if constexpr (MapLike<U>) {
    if (std::ranges::empty(value)) return "[:]";
    std::string out = "[";
    bool first = true;
    for (const auto& [k, v] : value) {
      if (!first) out += ", ";
      first = false;
      out += describeImpl(k, true);
      out += ": ";
      out += describeImpl(v, true);
    }
    return out + "]";
  } else if constexpr (std::ranges::input_range<const U>) {
    std::string out = "[";
    bool first = true;
    for (const auto& element : value) {
      if (!first) out += ", ";
      first = false;
      out += describeImpl(element, true);
    }
    return out + "]";
  } else if constexpr (Streamable<U>) {
    return describeViaStream(&value, [](std::ostream& os, const void* p) {
      os << *static_cast<const U*>(p);
    });
  } else if constexpr (std::is_enum_v<U>) {
    return std::to_string(static_cast<std::underlying_type_t<U>>(value));
  } else {
    return demangledName(typeid(U));
  }
}
}  // namespace core_internal

template <class T>
[[nodiscard]] std::string describe(const T& value) {
  return core_internal::describeImpl(value, false);
}

template <class T>
[[nodiscard]] std::string debugDescribe(const T& value) {
  return core_internal::describeImpl(value, true);
}

// The name of a type as the library's messages write it ("Int",
// "String", "Double", "Bool"), else its demangled C++ name.
template <class T>
[[nodiscard]] std::string typeName();
[[nodiscard]] std::string typeName(const std::type_info& type);

template <class T>
std::string typeName() {
  return typeName(typeid(std::remove_cvref_t<T>));
}

}  // namespace vantrel
