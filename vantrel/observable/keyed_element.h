// File: vantrel/observable/keyed_element.h
//
// Element constraints of the observable collections, and how they hash and
// compare what they hold.
//
//   struct Person {
//     using KeyType = std::int64_t;
//     std::int64_t id;
//     std::string name;
//     KeyType key() const { return id; }
//   };
//   static_assert(KeyedElement<Person>);
//   static_assert(KeyedElement<std::shared_ptr<Person>>);   // objects by reference
//
// `KeyedElement<E>`: `E::KeyType` (ordered with `<`, hashable) and a `key()`
// member; a `std::shared_ptr<T>` is keyed when `T` is, through `keyOf`.
// `EquatableKeyedElement<E>` adds `==` on whole elements,
// `HashableEquatableKeyedElement<E>` adds `std::hash<E>`; the keyed
// collections identify elements by key, the sets kept by views by `==`.
// `ObservableHashable<T>`: `==` and `std::hash<T>`.
// `CustomStringConvertible<T>`: a type with its own text (a `description()`
// member or free function, `operator<<`, a number or a string); the keyed
// descriptions list elements only for such types.
//
// `ElementHash<T>` / `ElementEqual<T>`: what every set and key map of this
// module uses. For `std::string` they are the library's canonical text
// hash and equality (vantrel/text/comparison.h), so two spellings of one
// text are one key; otherwise `std::hash` and `==`.
#pragma once

#include <concepts>
#include <cstddef>
#include <functional>
#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>

#include "vantrel/collections/element_hash.h"
#include "vantrel/text/comparison.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

template <class T>
concept ObservableHashable = std::equality_comparable<T> && requires(const T& value) {
  { std::hash<T>{}(value) } -> std::convertible_to<std::size_t>;
};

template <class T>
concept CustomStringConvertible =
    std::is_arithmetic_v<T> || std::is_convertible_v<const T&, std::string_view> ||
    requires(const T& v) {
      { v.description() } -> std::convertible_to<std::string_view>;
    } || requires(const T& v) {
      { description(v) } -> std::convertible_to<std::string_view>;
    } || requires(std::ostream& os, const T& v) { os << v; };

namespace observable_internal {

template <class E>
struct KeyedTraits {};

template <class E>
  requires requires(const E& e) {
    typename E::KeyType;
    { e.key() } -> std::convertible_to<typename E::KeyType>;
  }
struct KeyedTraits<E> {
  using KeyType = typename E::KeyType;
  static decltype(auto) key(const E& e) { return e.key(); }
};

// Objects shared by reference are keyed through what they point to.
template <class T>
  requires requires(const T& t) {
    typename T::KeyType;
    { t.key() } -> std::convertible_to<typename T::KeyType>;
  }
struct KeyedTraits<std::shared_ptr<T>> {
  using KeyType = typename T::KeyType;
  static decltype(auto) key(const std::shared_ptr<T>& e) { return e->key(); }
};

}  // namespace observable_internal

template <class E>
concept KeyedElement = requires(const E& e) {
  typename observable_internal::KeyedTraits<E>::KeyType;
  observable_internal::KeyedTraits<E>::key(e);
} && std::totally_ordered<typename observable_internal::KeyedTraits<E>::KeyType> &&
                       ObservableHashable<typename observable_internal::KeyedTraits<E>::KeyType>;

template <class E>
concept EquatableKeyedElement = KeyedElement<E> && std::equality_comparable<E>;

template <class E>
concept HashableEquatableKeyedElement = EquatableKeyedElement<E> && ObservableHashable<E>;

template <KeyedElement E>
using KeyTypeOf = typename observable_internal::KeyedTraits<E>::KeyType;

// The element's key (`e.key()`, or `e->key()` for a shared object): by
// reference when `key()` returns one, else by value. Bind it as
// `const KeyTypeOf<E>& key = keyOf(e);` and keep `e` alive meanwhile.
template <KeyedElement E>
[[nodiscard]] decltype(auto) keyOf(const E& e) {
  using Result = decltype(observable_internal::KeyedTraits<E>::key(e));
  if constexpr (std::is_same_v<std::remove_cvref_t<Result>, KeyTypeOf<E>> && std::is_lvalue_reference_v<Result>) {
    return static_cast<const KeyTypeOf<E>&>(observable_internal::KeyedTraits<E>::key(e));
  } else {
    return static_cast<KeyTypeOf<E>>(observable_internal::KeyedTraits<E>::key(e));
  }
}

}  // namespace vantrel
