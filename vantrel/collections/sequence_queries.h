// File: vantrel/collections/sequence_queries.h
//
// Queries on any sequence: predicate and type queries, splitting, building
// dictionaries and sets, grouping, removing and finding repeats, and a few
// operations on sequences of strings.
//
//   std::vector<std::string> v{"x", "y", "x"};
//   firstPosition(v, isX)                             0
//   lastPosition(v, isX)                              2
//   duplicates(std::vector{1, 2, 1, 1, 3, 2})         {1, 1, 2}
//   groupAsTuple(v, key)                              keys in order of first appearance
//   uniqArrayIncasesensitiveComparison(names)         Abc, abc, ABC, x  ->  Abc, x
//   joinWithCommaAndText(std::vector{"a", "b", "c"}, " and ")   "a, b and c"
//   vtFirstElement<int>(anys)                         first std::any holding an int
//   vtFirstElement<Circle>(shapes)                    first shared_ptr<Shape> that is a Circle
//
// Every operation takes any input range, receiver first; single-pass ranges
// work (the backward searches gather the elements first). Predicates, key
// functions and closures are called in iteration order, at most once per
// element, and never after an operation has stopped. Results are copies:
// nothing returned refers into the argument.
//
// Dictionaries and sets are `ElementDictionary` / `ElementSet`
// (element_hash.h): text compares canonically, so "é" as one scalar and as
// "e" + combining acute are one key. `dictionaryBy` and `dictionaryWithIndex`
// keep the last element of a key, `oneEach` the first; where a text key comes
// in two spellings the first spelling stays and the value follows the rule.
// Case-insensitive uniqueness compares `lowercased` forms the same way.
//
// Type queries work over sequences of `std::any` (the value, by `any_cast`)
// and of `std::shared_ptr<Base>` (the object, by dynamic cast); an element of
// another type (or a null pointer) is skipped. Thread-safe as the sequence
// and the closures are.
#pragma once

#include <any>
#include <concepts>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <ranges>
#include <string>
#include <string_view>
#include <tuple>
#include <type_traits>
#include <utility>
#include <vector>

#include "vantrel/collections/element_hash.h"
#include "vantrel/text/string_services.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

namespace collections_internal {

template <class R>
using ElementOf = std::ranges::range_value_t<R>;

template <class F, class R>
using KeyOf = std::remove_cvref_t<std::invoke_result_t<F&, const ElementOf<R>&>>;

// A pair (or any two-element tuple) as its key and value types.
template <class P>
using PairKey = std::remove_cvref_t<std::tuple_element_t<0, std::remove_cvref_t<P>>>;
template <class P>
using PairValue = std::remove_cvref_t<std::tuple_element_t<1, std::remove_cvref_t<P>>>;

template <class R>
concept TextRange =
    std::ranges::input_range<R> && std::convertible_to<const ElementOf<R>&, std::string_view>;

// The run-time type test of the type queries, per element type.
template <class T, class Element>
struct TypeQuery;

template <class T>
struct TypeQuery<T, std::any> {
  using Result = std::optional<T>;
  static Result cast(const std::any& element) {
    if (const T* value = std::any_cast<T>(&element)) return *value;
    return std::nullopt;
  }
  // What a predicate sees: the value.
  static const T& tested(const Result& found) { return *found; }
};

template <class T, class U>
struct TypeQuery<T, std::shared_ptr<U>> {
  using Result = std::shared_ptr<T>;
  static Result cast(const std::shared_ptr<U>& element) { return std::dynamic_pointer_cast<T>(element); }
  // What a predicate sees: the object's pointer.
  static const Result& tested(const Result& found) { return found; }
};

template <class T, class R>
using TypeQueryOf = TypeQuery<T, ElementOf<R>>;

template <class R>
std::vector<ElementOf<R>> gathered(R&& self) {
  std::vector<ElementOf<R>> elements;
  if constexpr (std::ranges::sized_range<R>) elements.reserve(std::ranges::size(self));
  for (auto&& element : self) elements.push_back(std::forward<decltype(element)>(element));
  return elements;
}

}  // namespace collections_internal

// ---- Predicate queries ----

// True when no element fails `predicate` (so for an empty sequence); stops
// at the first failure.
template <std::ranges::input_range R, class Predicate>
[[nodiscard]] bool allMatch(R&& self, Predicate&& predicate) {
  for (auto&& element : self) {
    if (!predicate(std::as_const(element))) return false;
  }
  return true;
}

// The elements for which `predicate` is false.
template <std::ranges::input_range R, class Predicate>
[[nodiscard]] std::vector<collections_internal::ElementOf<R>> notFilter(R&& self, Predicate&& predicate) {
  std::vector<collections_internal::ElementOf<R>> others;
  for (auto&& element : self) {
    if (!predicate(std::as_const(element))) others.push_back(std::forward<decltype(element)>(element));
  }
  return others;
}

// (matching, others) in one pass. A sized range reserves its full count in
// both lists.
template <std::ranges::input_range R, class Predicate>
[[nodiscard]] std::pair<std::vector<collections_internal::ElementOf<R>>,
                        std::vector<collections_internal::ElementOf<R>>>
filterAndNotFilter(R&& self, Predicate&& predicate) {
  std::pair<std::vector<collections_internal::ElementOf<R>>, std::vector<collections_internal::ElementOf<R>>>
      result;
  if constexpr (std::ranges::sized_range<R>) {
    result.first.reserve(std::ranges::size(self));
    result.second.reserve(std::ranges::size(self));
  }
  for (auto&& element : self) {
    auto& list = predicate(std::as_const(element)) ? result.first : result.second;
    list.push_back(std::forward<decltype(element)>(element));
  }
  return result;
}

// The first element that satisfies `predicate`; stops there.
template <std::ranges::input_range R, class Predicate>
[[nodiscard]] std::optional<collections_internal::ElementOf<R>> firstMatch(R&& self, Predicate&& predicate) {
  for (auto&& element : self) {
    if (predicate(std::as_const(element))) return std::forward<decltype(element)>(element);
  }
  return std::nullopt;
}

// The last element that satisfies `predicate`: the elements are gathered,
// then tested from the back until one passes.
template <std::ranges::input_range R, class Predicate>
[[nodiscard]] std::optional<collections_internal::ElementOf<R>> lastMatch(R&& self, Predicate&& predicate) {
  auto elements = collections_internal::gathered(std::forward<R>(self));
  for (auto it = elements.rbegin(); it != elements.rend(); ++it) {
    if (predicate(std::as_const(*it))) return std::move(*it);
  }
  return std::nullopt;
}

// The position (from 0) of the first element that satisfies `predicate`;
// stops there.
template <std::ranges::input_range R, class Predicate>
[[nodiscard]] std::optional<std::int64_t> firstPosition(R&& self, Predicate&& predicate) {
  std::int64_t position = 0;
  for (auto&& element : self) {
    if (predicate(std::as_const(element))) return position;
    ++position;
  }
  return std::nullopt;
}

// The position, counted from the front, of the last element that satisfies
// `predicate`; tested from the back as `lastMatch`.
template <std::ranges::input_range R, class Predicate>
[[nodiscard]] std::optional<std::int64_t> lastPosition(R&& self, Predicate&& predicate) {
  const auto elements = collections_internal::gathered(std::forward<R>(self));
  for (std::size_t i = elements.size(); i > 0; --i) {
    if (predicate(elements[i - 1])) return static_cast<std::int64_t>(i - 1);
  }
  return std::nullopt;
}

// ---- Type queries ----

// The first element that is a T: `std::optional<T>` over `std::any`
// elements, `std::shared_ptr<T>` (null for none) over `std::shared_ptr<U>`.
template <class T, std::ranges::input_range R>
[[nodiscard]] typename collections_internal::TypeQueryOf<T, R>::Result vtFirstElement(R&& self) {
  for (auto&& element : self) {
    if (auto value = collections_internal::TypeQueryOf<T, R>::cast(element)) return value;
  }
  return {};
}

template <class T, std::ranges::input_range R>
[[nodiscard]] typename collections_internal::TypeQueryOf<T, R>::Result vtFirstElementThatIs(R&& self) {
  return vtFirstElement<T>(std::forward<R>(self));
}

// The first element that is a T and, as a T, satisfies `predicate`; the
// predicate sees only the elements that are T (the value for `std::any`, the
// `std::shared_ptr<T>` for objects).
template <class T, std::ranges::input_range R, class Predicate>
[[nodiscard]] typename collections_internal::TypeQueryOf<T, R>::Result vtFirstElement2(R&& self,
                                                                                     Predicate&& predicate) {
  for (auto&& element : self) {
    using Query = collections_internal::TypeQueryOf<T, R>;
    auto value = Query::cast(element);
    if (value && predicate(Query::tested(value))) return value;
  }
  return {};
}

template <class T, std::ranges::input_range R, class Predicate>
[[nodiscard]] typename collections_internal::TypeQueryOf<T, R>::Result vtFirstElementThatIs2(
    R&& self, Predicate&& predicate) {
  return vtFirstElement2<T>(std::forward<R>(self), std::forward<Predicate>(predicate));
}

// ---- Dictionaries, sets and groups ----

// `pairOf(element)` gives a (key, value) pair; a later element's value
// replaces an earlier one of the same key.
template <std::ranges::input_range R, class PairOf,
          class Pair = std::invoke_result_t<PairOf&, const collections_internal::ElementOf<R>&>>
[[nodiscard]] ElementDictionary<collections_internal::PairKey<Pair>, collections_internal::PairValue<Pair>>
dictionaryBy(R&& self, PairOf&& pairOf) {
  ElementDictionary<collections_internal::PairKey<Pair>, collections_internal::PairValue<Pair>> result;
  for (auto&& element : self) {
    auto pair = pairOf(std::as_const(element));
    result.insert_or_assign(std::get<0>(std::move(pair)), std::get<1>(std::move(pair)));
  }
  return result;
}

// Key to element; a later element replaces an earlier one of the same key.
template <std::ranges::input_range R, class KeyFunction>
[[nodiscard]] ElementDictionary<collections_internal::KeyOf<KeyFunction, R>, collections_internal::ElementOf<R>>
dictionaryWithIndex(R&& self, KeyFunction&& keyOf) {
  ElementDictionary<collections_internal::KeyOf<KeyFunction, R>, collections_internal::ElementOf<R>> result;
  for (auto&& element : self) {
    auto key = keyOf(std::as_const(element));
    result.insert_or_assign(std::move(key), std::forward<decltype(element)>(element));
  }
  return result;
}

// Key to element; the first element of a key stays.
template <std::ranges::input_range R, class KeyFunction>
[[nodiscard]] ElementDictionary<collections_internal::KeyOf<KeyFunction, R>, collections_internal::ElementOf<R>>
oneEach(R&& self, KeyFunction&& keyOf) {
  ElementDictionary<collections_internal::KeyOf<KeyFunction, R>, collections_internal::ElementOf<R>> result;
  for (auto&& element : self) {
    auto key = keyOf(std::as_const(element));
    result.try_emplace(std::move(key), std::forward<decltype(element)>(element));
  }
  return result;
}

// Key to the list of its elements, in iteration order.
template <std::ranges::input_range R, class KeyFunction>
[[nodiscard]] ElementDictionary<collections_internal::KeyOf<KeyFunction, R>,
                                std::vector<collections_internal::ElementOf<R>>>
group(R&& self, KeyFunction&& keyOf) {
  ElementDictionary<collections_internal::KeyOf<KeyFunction, R>, std::vector<collections_internal::ElementOf<R>>>
      result;
  for (auto&& element : self) {
    auto key = keyOf(std::as_const(element));
    result[std::move(key)].push_back(std::forward<decltype(element)>(element));
  }
  return result;
}

// As `group`, as (key, elements) pairs in order of each key's first
// appearance. Keys are found through a hash index, not a linear search.
template <std::ranges::input_range R, class KeyFunction>
[[nodiscard]] std::vector<std::pair<collections_internal::KeyOf<KeyFunction, R>,
                                    std::vector<collections_internal::ElementOf<R>>>>
groupAsTuple(R&& self, KeyFunction&& keyOf) {
  using Key = collections_internal::KeyOf<KeyFunction, R>;
  std::vector<std::pair<Key, std::vector<collections_internal::ElementOf<R>>>> groups;
  ElementDictionary<Key, std::size_t> indexOfKey;
  for (auto&& element : self) {
    auto key = keyOf(std::as_const(element));
    auto [slot, isNew] = indexOfKey.try_emplace(key, groups.size());
    if (isNew) groups.emplace_back(std::move(key), std::vector<collections_internal::ElementOf<R>>{});
    groups[slot->second].second.push_back(std::forward<decltype(element)>(element));
  }
  return groups;
}

// The values `valueOf(element)` returns (an optional); nullopt is skipped,
// equal values collapse.
template <std::ranges::input_range R, class ValueOf,
          class Optional = std::remove_cvref_t<std::invoke_result_t<ValueOf&, const collections_internal::ElementOf<R>&>>>
[[nodiscard]] ElementSet<typename Optional::value_type> createSet(R&& self, ValueOf&& valueOf) {
  ElementSet<typename Optional::value_type> result;
  for (auto&& element : self) {
    if (auto value = valueOf(std::as_const(element))) result.insert(std::move(*value));
  }
  return result;
}

// ---- Repeats ----

// The first occurrence of every element, in iteration order.
template <std::ranges::input_range R>
[[nodiscard]] std::vector<collections_internal::ElementOf<R>> uniqArray(R&& self) {
  using T = collections_internal::ElementOf<R>;
  ElementSet<T> seen;
  std::vector<T> result;
  for (auto&& element : self) {
    if (seen.insert(element).second) result.push_back(std::forward<decltype(element)>(element));
  }
  return result;
}

// Every occurrence of an element that equals an earlier one: an element
// occurring n times is listed n - 1 times.
template <std::ranges::input_range R>
[[nodiscard]] std::vector<collections_internal::ElementOf<R>> duplicates(R&& self) {
  using T = collections_internal::ElementOf<R>;
  ElementSet<T> seen;
  std::vector<T> result;
  for (auto&& element : self) {
    if (!seen.insert(element).second) result.push_back(std::forward<decltype(element)>(element));
  }
  return result;
}

// ---- Sequences of strings ----

// The first of every group of strings whose `lowercased` forms are equal,
// unchanged, in iteration order.
template <collections_internal::TextRange R>
[[nodiscard]] std::vector<std::string> uniqArrayIncasesensitiveComparison(R&& self) {
  ElementSet<std::string> seen;
  std::vector<std::string> result;
  for (auto&& element : self) {
    const std::string_view text = element;
    if (seen.insert(lowercased(text)).second) result.emplace_back(text);
  }
  return result;
}

// The strings of `uniqArrayIncasesensitiveComparison`, as a set.
template <collections_internal::TextRange R>
[[nodiscard]] ElementSet<std::string> uniqSetIncasesensitiveComparison(R&& self) {
  auto unique = uniqArrayIncasesensitiveComparison(std::forward<R>(self));
  return ElementSet<std::string>(std::make_move_iterator(unique.begin()), std::make_move_iterator(unique.end()));
}

// The strings that are not empty (a string of blanks stays).
template <collections_internal::TextRange R>
[[nodiscard]] std::vector<std::string> withoutEmptyStrings(R&& self) {
  std::vector<std::string> result;
  for (auto&& element : self) {
    const std::string_view text = element;
    if (!text.empty()) result.emplace_back(text);
  }
  return result;
}

// The strings as an enumeration: fewer than three are joined by `andText`;
// otherwise all but the last are joined by `separator`, then `andText` and
// the last one. `andText` goes in unchanged (pass " and " for blanks).
template <collections_internal::TextRange R>
[[nodiscard]] std::string joinWithCommaAndText(R&& self, std::string_view separator, std::string_view andText) {
  std::vector<std::string> texts;
  for (auto&& element : self) texts.emplace_back(std::string_view(element));
  std::string result;
  for (std::size_t i = 0; i < texts.size(); ++i) {
    if (i > 0) result += (texts.size() >= 3 && i + 1 < texts.size()) ? separator : andText;
    result += texts[i];
  }
  return result;
}

// With the separator ", ".
template <collections_internal::TextRange R>
[[nodiscard]] std::string joinWithCommaAndText(R&& self, std::string_view andText) {
  return joinWithCommaAndText(std::forward<R>(self), ", ", andText);
}

}  // namespace vantrel
