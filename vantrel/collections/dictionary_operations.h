// File: vantrel/collections/dictionary_operations.h
//
// Operations on dictionaries (hash maps): building from key/value pairs and
// merging pairs in, transforming values or whole pairs, filtering, inverting,
// finding the keys of a value, and numbered renderings sorted by key.
//
//   auto d = dictionaryWithPairs(std::vector<std::pair<std::string, int>>{
//       {"a", 1}, {"b", 2}, {"a", 3}});                  a -> 3, b -> 2
//   merge(d, std::vector<std::pair<std::string, int>>{{"b", 5}});   b -> 5
//   vtRenderTitle(d, "Map")        {"Map (count=2):", "0: a -> 3", "1: b -> 5"}
//   vtPrindTitle(d)                prints "0: a -> 3\n1: b -> 5\n"
//
// Pairs are any two-element tuples (`std::pair`, `std::tuple`), key first.
// Wherever pairs are stored the last pair of a key wins (a text key given in
// two spellings keeps its first spelling and takes the later value): they go
// in one by one through `insert_or_assign`, never through the range
// constructor or `insert`, which keep the first. New dictionaries are
// `ElementDictionary` (element_hash.h), so text keys compare canonically;
// `mapValues` and `filterPairs` keep the receiver's hash and equality.
//
// Results that follow the dictionary's iteration order (`mapPairs` and
// `vtSwapValuesAndKeys` when two entries meet on one key, `keysForValue`)
// are as unspecified as that order. A closure that throws passes its error
// on unchanged, and no dictionary is returned.
//
// Renderings sort the keys with `textLess` for text and `<` otherwise
// (through `stableSort`); each line is "<i>: <key> -> <value>", written by
// `describe`; a title adds the header "<title> (count=<n>):". Printing is one
// write through the console sink. Thread-safe as the dictionaries and the
// closures are.
#pragma once

#include <concepts>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <ranges>
#include <string>
#include <string_view>
#include <tuple>
#include <type_traits>
#include <unordered_map>
#include <utility>
#include <vector>

#include "vantrel/collections/element_hash.h"
#include "vantrel/collections/sequence_rendering.h"
#include "vantrel/core/describe.h"
#include "vantrel/core/number_text.h"
#include "vantrel/core/sort.h"
#include "vantrel/text/comparison.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

namespace collections_internal {

template <class P>
using PairKeyType = std::remove_cvref_t<std::tuple_element_t<0, std::remove_cvref_t<P>>>;
template <class P>
using PairValueType = std::remove_cvref_t<std::tuple_element_t<1, std::remove_cvref_t<P>>>;

template <class R>
concept PairRange = std::ranges::input_range<R> && requires {
  typename PairKeyType<std::ranges::range_value_t<R>>;
  typename PairValueType<std::ranges::range_value_t<R>>;
};

template <class D>
concept Mergeable = requires(D& d, typename D::key_type k, typename D::mapped_type v) {
  d.insert_or_assign(std::move(k), std::move(v));
};

// Keys a rendering can sort: text, or anything ordered by `<`.
template <class K>
concept RenderableKey = std::convertible_to<const K&, std::string_view> || std::totally_ordered<K>;

template <class K>
[[nodiscard]] bool keyLess(const K& a, const K& b) {
  if constexpr (std::convertible_to<const K&, std::string_view>) {
    return textLess(a, b);
  } else {
    return a < b;
  }
}

}  // namespace collections_internal

// Stores every pair, in sequence order, inserting or overwriting: the last
// pair of a key wins.
template <class D, collections_internal::PairRange R>
  requires collections_internal::Mergeable<D>
void merge(D& self, R&& pairs) {
  for (auto&& pair : pairs) {
    self.insert_or_assign(std::get<0>(std::forward<decltype(pair)>(pair)),
                          std::get<1>(std::forward<decltype(pair)>(pair)));
  }
}

// A new dictionary of the pairs, the last pair of a key winning.
template <collections_internal::PairRange R>
[[nodiscard]] ElementDictionary<collections_internal::PairKeyType<std::ranges::range_value_t<R>>,
                                collections_internal::PairValueType<std::ranges::range_value_t<R>>>
dictionaryWithPairs(R&& pairs) {
  ElementDictionary<collections_internal::PairKeyType<std::ranges::range_value_t<R>>,
                    collections_internal::PairValueType<std::ranges::range_value_t<R>>>
      result;
  merge(result, std::forward<R>(pairs));
  return result;
}

// The same keys with `transform(value)`, keeping the receiver's hash and
// equality.
template <class K, class V, class H, class E, class A, class Transform,
          class T = std::remove_cvref_t<std::invoke_result_t<Transform&, const V&>>>
[[nodiscard]] std::unordered_map<K, T, H, E> mapValues(const std::unordered_map<K, V, H, E, A>& self,
                                                      Transform&& transform) {
  std::vector<std::pair<K, T>> transformed;
  transformed.reserve(self.size());
  for (const auto& [key, value] : self) transformed.emplace_back(key, transform(value));
  std::unordered_map<K, T, H, E> result;
  for (auto& [key, value] : transformed) result.insert_or_assign(std::move(key), std::move(value));
  return result;
}

// The pairs `transform(pair)` gives; when two entries meet on one new key
// the later one in iteration order wins.
template <class K, class V, class H, class E, class A, class Transform,
          class P = std::remove_cvref_t<std::invoke_result_t<Transform&, const std::pair<const K, V>&>>>
[[nodiscard]] ElementDictionary<collections_internal::PairKeyType<P>, collections_internal::PairValueType<P>>
mapPairs(const std::unordered_map<K, V, H, E, A>& self, Transform&& transform) {
  std::vector<P> transformed;
  transformed.reserve(self.size());
  for (const auto& entry : self) transformed.push_back(transform(entry));
  ElementDictionary<collections_internal::PairKeyType<P>, collections_internal::PairValueType<P>> result;
  for (auto& pair : transformed) result.insert_or_assign(std::get<0>(std::move(pair)), std::get<1>(std::move(pair)));
  return result;
}

// The entries for which `includeElement(pair)` is true.
template <class K, class V, class H, class E, class A, class Predicate>
[[nodiscard]] std::unordered_map<K, V, H, E, A> filterPairs(const std::unordered_map<K, V, H, E, A>& self,
                                                           Predicate&& includeElement) {
  std::unordered_map<K, V, H, E, A> result;
  for (const auto& entry : self) {
    if (includeElement(entry)) result.insert_or_assign(entry.first, entry.second);
  }
  return result;
}

// Value to key; of keys sharing a value, the last in iteration order stays.
template <class K, class V, class H, class E, class A>
[[nodiscard]] ElementDictionary<V, K> vtSwapValuesAndKeys(const std::unordered_map<K, V, H, E, A>& self) {
  ElementDictionary<V, K> result;
  for (const auto& [key, value] : self) result.insert_or_assign(value, key);
  return result;
}

// The keys whose value equals `value`, in iteration order.
template <class K, class V, class H, class E, class A>
[[nodiscard]] std::vector<K> keysForValue(const std::unordered_map<K, V, H, E, A>& self, const V& value) {
  std::vector<K> keys;
  for (const auto& entry : self) {
    if (entry.second == value) keys.push_back(entry.first);
  }
  return keys;
}

// "<i>: <key> -> <value>" per entry, keys ascending, under the header when a
// title is given. (Dictionaries take this form of the sequences' title-only
// rendering.)
template <collections_internal::DictionaryLike D>
  requires collections_internal::RenderableKey<typename std::remove_cvref_t<D>::key_type>
[[nodiscard]] std::vector<std::string> vtRenderTitle(const D& self,
                                                     std::optional<std::string_view> title = std::nullopt) {
  using Entry = std::ranges::range_value_t<const D>;
  std::vector<const Entry*> entries;
  for (const auto& entry : self) entries.push_back(&entry);
  stableSort(entries, [](const Entry* a, const Entry* b) {
    return collections_internal::keyLess(std::get<0>(*a), std::get<0>(*b));
  });
  std::vector<std::string> lines;
  lines.reserve(entries.size() + 1);
  if (title) lines.push_back(collections_internal::countedHeader(*title, entries.size()));
  for (std::size_t i = 0; i < entries.size(); ++i) {
    std::string line = unsignedText(i);
    line += ": ";
    line += describe(std::get<0>(*entries[i]));
    line += " -> ";
    line += describe(std::get<1>(*entries[i]));
    lines.push_back(std::move(line));
  }
  return lines;
}

// The lines of `vtRenderTitle(self, title)` joined by line feeds.
template <collections_internal::DictionaryLike D>
  requires collections_internal::RenderableKey<typename std::remove_cvref_t<D>::key_type>
void vtPrindTitle(const D& self, std::optional<std::string_view> title = std::nullopt) {
  collections_internal::printLinesJoined(vtRenderTitle(self, title));
}

}  // namespace vantrel
