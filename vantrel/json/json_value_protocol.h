// File: vantrel/json/json_value_protocol.h
//
// `VantrelJsonValue`: host types that name the platform value standing for
// them in JSON. Whole sequences and text-keyed dictionaries of (optional)
// such values convert in one call, recursively:
//
//   makeJsonNsArray(std::vector<std::optional<int>>{1, std::nullopt})   [1, null]
//   makeJsonNsArray(..., true)                                          [1]  (absent dropped)
//   makeJson(std::map<std::string, std::vector<double>>{{"a", {1.5}}})  {"a": [1.5]}
//   makeJson(std::vector<std::vector<Unrelated>>{})    does not compile: "Bad Array"
//
// Built in: texts, signed integers (as Int), unsigned integers (as UInt),
// doubles, booleans (boolean numbers), `JsonNull`, and vectors and maps of
// any element type (their own `jsonObjectValue` bridges them as a whole,
// without this protocol). A host type conforms with a member
// `PlatformValue jsonObjectValue() const`, or by specialising
// `JsonValueTraits<T>`. A nested container whose elements do not conform,
// or a nested dictionary without text keys, is a compile-time error: the
// conversions themselves never fail. Nesting is bounded by the host's types.
// Pure functions; thread-safe as the values are.
#pragma once

#include <concepts>
#include <cstdint>
#include <map>
#include <optional>
#include <ranges>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "vantrel/json/json.h"
#include "vantrel/json/platform_value.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

template <class T>
struct JsonValueTraits;  // specialise to make a type conform

template <>
struct JsonValueTraits<std::string> {
  static PlatformValue jsonObjectValue(const std::string& v) { return PlatformValue(v); }
};
template <>
struct JsonValueTraits<const char*> {
  static PlatformValue jsonObjectValue(const char* v) { return PlatformValue(v); }
};
template <>
struct JsonValueTraits<bool> {
  static PlatformValue jsonObjectValue(bool v) { return PlatformValue(v); }
};
template <class I>
  requires(std::is_integral_v<I> && !std::is_same_v<I, bool>)
struct JsonValueTraits<I> {
  static PlatformValue jsonObjectValue(I v) { return PlatformValue(v); }
};
template <>
struct JsonValueTraits<double> {
  static PlatformValue jsonObjectValue(double v) { return PlatformValue(v); }
};
template <>
struct JsonValueTraits<JsonNull> {
  static PlatformValue jsonObjectValue(JsonNull) { return PlatformValue(); }
};
template <class T, class A>
struct JsonValueTraits<std::vector<T, A>> {
  static PlatformValue jsonObjectValue(const std::vector<T, A>& v) { return PlatformValue(v); }
};
template <class K, class V, class C, class A>
struct JsonValueTraits<std::map<K, V, C, A>> {
  static PlatformValue jsonObjectValue(const std::map<K, V, C, A>& v) { return PlatformValue(v); }
};

template <class T>
concept VantrelJsonValue = requires(const T& v) {
  { JsonValueTraits<std::remove_cvref_t<T>>::jsonObjectValue(v) } -> std::convertible_to<PlatformValue>;
} || requires(const T& v) {
  { v.jsonObjectValue() } -> std::convertible_to<PlatformValue>;
};

// The platform value standing for `value`.
template <VantrelJsonValue T>
[[nodiscard]] PlatformValue jsonObjectValue(const T& value) {
  if constexpr (requires { value.jsonObjectValue(); }) {
    return value.jsonObjectValue();
  } else {
    return JsonValueTraits<std::remove_cvref_t<T>>::jsonObjectValue(value);
  }
}

namespace json_internal {

template <class T>
struct Unoptional {
  using type = T;
};
template <class T>
struct Unoptional<std::optional<T>> {
  using type = T;
};

template <class T>
concept TextMap = TextKeyedRange<T> && !TextLike<T>;
template <class T>
concept NonTextMap = PairRange<T> && !TextKeyedRange<T> && !TextLike<T>;
template <class T>
concept Sequence = std::ranges::input_range<const T> && !PairRange<T> && !TextLike<T>;

// Whether an element (optional or not) converts: containers recurse.
template <class E>
consteval bool convertsToJson() {
  using T = typename Unoptional<std::remove_cvref_t<E>>::type;
  if constexpr (TextLike<T>) {
    return VantrelJsonValue<T> || std::is_same_v<T, std::string_view>;
  } else if constexpr (TextMap<T>) {
    return convertsToJson<std::tuple_element_t<1, std::ranges::range_value_t<const T>>>();
  } else if constexpr (NonTextMap<T>) {
    return false;
  } else if constexpr (Sequence<T>) {
    return convertsToJson<std::ranges::range_value_t<const T>>();
  } else {
    return VantrelJsonValue<T>;
  }
}

template <class E>
std::optional<PlatformValue> convertElement(const E& element, bool discardNilValues);

template <class R>
PlatformValue::Array walkSequence(const R& sequence, bool discardNilValues) {
  PlatformValue::Array out;
  for (const auto& element : sequence) {
    if (auto converted = convertElement(element, discardNilValues)) out.push_back(std::move(*converted));
  }
  return out;
}

template <class M>
JsonDictionary walkDictionary(const M& dictionary, bool discardNilValues) {
  JsonDictionary out;
  for (const auto& pair : dictionary) {
    if (auto converted = convertElement(std::get<1>(pair), discardNilValues)) {
      out.insertOrAssign(std::string(std::string_view(std::get<0>(pair))), std::move(*converted));
    }
  }
  return out;
}

template <class E>
std::optional<PlatformValue> convertElement(const E& element, bool discardNilValues) {
  using T = std::remove_cvref_t<E>;
  if constexpr (IsOptional<T>::value) {
    if (!element) return discardNilValues ? std::nullopt : std::optional<PlatformValue>(PlatformValue());
    return convertElement(*element, discardNilValues);
  } else if constexpr (TextLike<T>) {
    return PlatformValue(std::string_view(element));
  } else if constexpr (NonTextMap<T>) {
    static_assert(!NonTextMap<T>, "Bad Dictionary: nested dictionaries need text keys");
    return std::nullopt;
  } else if constexpr (TextMap<T>) {
    static_assert(convertsToJson<T>(), "Bad Dictionary: nested values must conform to VantrelJsonValue");
    return PlatformValue(walkDictionary(element, discardNilValues));
  } else if constexpr (Sequence<T>) {
    static_assert(convertsToJson<T>(), "Bad Array: nested elements must conform to VantrelJsonValue");
    return PlatformValue(walkSequence(element, discardNilValues));
  } else {
    static_assert(VantrelJsonValue<T>, "the type does not conform to VantrelJsonValue");
    return jsonObjectValue(element);
  }
}

}  // namespace json_internal

// A sequence of (optional) conforming values as platform values, in order.
template <class R>
  requires json_internal::Sequence<R>
[[nodiscard]] PlatformValue::Array makeJsonNsArray(const R& sequence, bool discardNilValues = false) {
  static_assert(json_internal::convertsToJson<R>(), "Bad Array: elements must conform to VantrelJsonValue");
  return json_internal::walkSequence(sequence, discardNilValues);
}

// A text-keyed dictionary of (optional) conforming values.
template <class M>
  requires json_internal::TextMap<M>
[[nodiscard]] JsonDictionary makeJsonNsDictionary(const M& dictionary, bool discardNilValues = false) {
  static_assert(json_internal::convertsToJson<M>(), "Bad Dictionary: values must conform to VantrelJsonValue");
  return json_internal::walkDictionary(dictionary, discardNilValues);
}

template <class R>
  requires json_internal::Sequence<R>
[[nodiscard]] Json makeJson(const R& sequence, bool discardNilValues = false) {
  return Json(PlatformValue(makeJsonNsArray(sequence, discardNilValues)));
}

template <class M>
  requires json_internal::TextMap<M>
[[nodiscard]] Json makeJson(const M& dictionary, bool discardNilValues = false) {
  return Json(PlatformValue(makeJsonNsDictionary(dictionary, discardNilValues)));
}

}  // namespace vantrel
