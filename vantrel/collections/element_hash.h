// File: vantrel/collections/element_hash.h
//
// How the library's sets and dictionaries hash and compare what they hold.
//
//   ElementSet<std::string> names{"\u00e9"};
//   names.contains("e\u0301");                       // true: one text, two spellings
//   ElementDictionary<std::string, int> counts;      // keyed the same way
//
// `ElementHash<T>` / `ElementEqual<T>`: for `std::string` and
// `std::string_view` the library's canonical text hash and equality
// (vantrel/text/comparison.h), so two spellings of one text are one key;
// otherwise `std::hash` and `==`.
// `ElementSet` and `ElementDictionary` are the standard hash containers with
// these two; every set and dictionary the collections and observable
// modules build is one of them. Thread-safe as the element types are.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "vantrel/text/comparison.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

template <class T>
struct ElementHash {
  std::size_t operator()(const T& value) const { return std::hash<T>{}(value); }
};
template <>
struct ElementHash<std::string> : TextHash {};
template <>
struct ElementHash<std::string_view> : TextHash {};

template <class T>
struct ElementEqual {
  bool operator()(const T& a, const T& b) const { return a == b; }
};
template <>
struct ElementEqual<std::string> : TextEqual {};
template <>
struct ElementEqual<std::string_view> : TextEqual {};

template <class T>
using ElementSet = std::unordered_set<T, ElementHash<T>, ElementEqual<T>>;

template <class K, class V>
using ElementDictionary = std::unordered_map<K, V, ElementHash<K>, ElementEqual<K>>;

}  // namespace vantrel
