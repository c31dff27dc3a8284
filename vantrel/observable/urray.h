// File: vantrel/observable/urray.h
//
// `Urray<E>`: an ordered array in which every element occurs at most once
// (elements told apart by `==` and hash, `UrrayType`), kept in the order
// the caller gives, reporting every change with its positions to its
// observers (`UrrayObserver<E>`). A value: copy it, change it in place.
//
//   Urray<std::string> names({"a", "b", "a"});   // a, b: the first of each
//   names.observers().createNew(owner, [](UrrayObserver<std::string>& o) {
//     o.inserted = [](const Urray<std::string>& after, std::int64_t at, const std::string& e) { ... };
//   });
//   names.append("c");              // inserted(2, "c")
//   names.append("a");              // throws OrderedSetErrors: present
//
// Copies: a copy shares the observer objects registered before it was
// made, so a change to either value reaches them, each report carrying
// (by `const&`) the value that changed, after the change. An observer
// registered on one value later hears that value only.
//
// Contents built from a sequence (`Urray(elements)`, `replaceContent`)
// keep the first of equal elements, so `array()` and the membership set
// always agree. Insertions throw `OrderedSetErrors` (elementAlreadyPresent)
// before anything changes; the list form stops at the first refusal,
// keeping what it inserted before. `update` replaces the equal element in
// place (an absent one is not inserted). Misses answer nullopt.
//
// Positions: `insert` takes 0...count, `move` 0..<count (from tested
// first); outside them the program stops (`fatal`) before anything
// changes, with "insert: index <p> out of range 0..<<count + 1>" or "from
// index <p> out of bounds." / "to index <p> out of bounds.".
// `removeElementAtIndex` and `subscriptIndex` answer nullopt outside
// 0..<count.
//
// Observers are called after the change, in registration order,
// synchronously; one that throws stops the program
// (vantrel/observable/internal/reporting.h).
//
// Iteration: `begin()`/`end()` give random-access `const_iterator`s over
// the array, read in place like `std::vector`'s. They belong to this
// value: every change to it, an assignment to it or a move from it
// invalidates every one of them (and the references they gave). A stale
// iterator stops the program when used, in every build.
// `makeIterator()` instead walks a copy taken when it starts.
// `std::hash<Urray<E>>` hashes the content in order. Not thread-safe.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "vantrel/collections/any_iterator.h"
#include "vantrel/collections/element_hash.h"
#include "vantrel/collections/weakly_owned.h"
#include "vantrel/core/describe.h"
#include "vantrel/core/error.h"
#include "vantrel/observable/event_closure.h"
#include "vantrel/observable/internal/iteration.h"
#include "vantrel/observable/internal/reporting.h"
#include "vantrel/observable/internal/texts.h"
#include "vantrel/observable/keyed_element.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

// The element constraint of `Urray`: `==` and `std::hash`.
template <class E>
concept UrrayType = ObservableHashable<E>;

template <UrrayType E>
class Urray;

// The observer of an `Urray<E>`: each closure gets the value after the
// change first. A closure left empty means that nothing listens.
template <UrrayType E>
class UrrayObserver : public WeaklyOwnedObjectBase {
 public:
  using WeaklyOwnedObjectBase::WeaklyOwnedObjectBase;
  using Array = Urray<E>;

  EventClosure<void(const Array&)> replacedContent;
  EventClosure<void(const Array&)> removedAll;
  EventClosure<void(const Array&, std::int64_t at, const E&)> inserted;
  EventClosure<void(const Array&, std::int64_t at, const E&)> removed;
  EventClosure<void(const Array&, std::int64_t at, const E&)> updated;
  EventClosure<void(const Array&, std::int64_t from, std::int64_t to, const E&)> moved;
};

// The error of `Urray`'s refused insertions.
struct OrderedSetErrors : Error {
  enum class Case { elementAlreadyPresent };

  // `elementAlreadyPresent("<element>")`.
  static OrderedSetErrors elementAlreadyPresent(std::string text) {
    return OrderedSetErrors(Case::elementAlreadyPresent, std::move(text));
  }

  Case kind;
  std::string text;

 private:
  OrderedSetErrors(Case c, std::string t)
      : Error(observable_internal::caseDescription("elementAlreadyPresent", t)), kind(c), text(std::move(t)) {}
};

template <UrrayType E>
class Urray {
 public:
  using Element = E;
  using Observer = UrrayObserver<E>;
  using value_type = E;
  using size_type = std::size_t;
  using difference_type = std::ptrdiff_t;
  using const_iterator = observable_internal::PositionIterator<Urray, E>;
  using iterator = const_iterator;

  // Walks the content of the moment it was made.
  class Iterator {
   public:
    explicit Iterator(std::vector<E> elements) : elements_(std::move(elements)) {}
    std::optional<E> next() {
      if (position_ >= elements_.size()) return std::nullopt;
      return elements_[position_++];
    }

   private:
    std::vector<E> elements_;
    std::size_t position_ = 0;
  };

  Urray() = default;
  // The elements in order, the first of equal ones; reports nothing.
  explicit Urray(const std::vector<E>& elements) { fill(elements); }

  [[nodiscard]] WeaklyOwnedObjectsSphere<Observer>& observers() { return observers_; }
  [[nodiscard]] const WeaklyOwnedObjectsSphere<Observer>& observers() const { return observers_; }

  [[nodiscard]] const std::vector<E>& array() const { return array_; }
  [[nodiscard]] bool isEmpty() const { return array_.empty(); }
  [[nodiscard]] std::int64_t count() const { return static_cast<std::int64_t>(array_.size()); }
  [[nodiscard]] bool contains(const E& element) const { return keys_.contains(element); }

  // The position of the equal element, or nullopt.
  [[nodiscard]] std::optional<std::int64_t> indexOf(const E& element) const {
    if (!keys_.contains(element)) return std::nullopt;
    const ElementEqual<E> equal;
    for (std::size_t i = 0; i < array_.size(); ++i) {
      if (equal(array_[i], element)) return static_cast<std::int64_t>(i);
    }
    return std::nullopt;
  }

  // Throws elementAlreadyPresent (nothing changed) when an equal element is
  // held; else inserts at `atIndex` (0...count) and reports `inserted`.
  void insert(const E& element, std::int64_t atIndex) {
    if (keys_.contains(element)) throw OrderedSetErrors::elementAlreadyPresent(describe(element));
    observable_internal::checkIndex("insert", atIndex, 0, count() + 1);
    const E stored = element;  // `element` may live in the array
    keys_.insert(stored);
    array_.insert(array_.begin() + atIndex, stored);
    report("inserted", &Observer::inserted, atIndex, stored);
  }
  // The k-th element at `atIndex` + k, one after the other; the first
  // refusal is thrown, the elements before it stay inserted and reported.
  void insert(const std::vector<E>& elements, std::int64_t atIndex) {
    const std::vector<E> given = elements;  // `elements` may be our own array
    for (std::size_t k = 0; k < given.size(); ++k) insert(given[k], atIndex + static_cast<std::int64_t>(k));
  }
  void append(const E& element) { insert(element, count()); }

  // Puts `element` in the place of the equal one, reports `updated` and
  // returns `element`; nullopt (nothing changed) when none is held.
  std::optional<E> update(const E& element) {
    const std::optional<std::int64_t> at = indexOf(element);
    if (!at) return std::nullopt;
    const E stored = element;
    keys_.erase(stored);
    keys_.insert(stored);
    array_[static_cast<std::size_t>(*at)] = stored;
    report("updated", &Observer::updated, *at, stored);
    return stored;
  }

  // Moves the element at `from` so that it ends at `to` and reports
  // `moved`, also when both are equal.
  void move(std::int64_t from, std::int64_t to) {
    if (from < 0 || from >= count()) observable_internal::moveFromOutOfBounds(from);
    if (to < 0 || to >= count()) observable_internal::moveToOutOfBounds(to);
    E element = std::move(array_[static_cast<std::size_t>(from)]);
    array_.erase(array_.begin() + from);
    array_.insert(array_.begin() + to, element);
    report("moved", &Observer::moved, from, to, element);
  }

  // The content becomes the elements, the first of equal ones; reports
  // `replacedContent`, also when nothing changed.
  void replaceContent(const std::vector<E>& elements) {
    fill(std::vector<E>(elements));
    report("replacedContent", &Observer::replacedContent);
  }

  // Empties the array and reports `removedAll`, also when it was empty.
  void removeAll() {
    array_.clear();
    keys_.clear();
    report("removedAll", &Observer::removedAll);
  }

  // Removes the equal element; returns it as it was stored, or nullopt.
  std::optional<E> remove(const E& element) {
    const std::optional<std::int64_t> at = indexOf(element);
    if (!at) return std::nullopt;
    return removeElementAtIndex(*at);
  }
  // Removes the element at `index` and reports `removed`; nullopt
  // (nothing changed) outside 0..<count.
  std::optional<E> removeElementAtIndex(std::int64_t index) {
    if (index < 0 || index >= count()) return std::nullopt;
    E element = std::move(array_[static_cast<std::size_t>(index)]);
    array_.erase(array_.begin() + index);
    keys_.erase(element);
    report("removed", &Observer::removed, index, element);
    return element;
  }

  // The element at `index`, or nullopt outside 0..<count.
  [[nodiscard]] std::optional<E> subscriptIndex(std::int64_t index) const {
    if (index < 0 || index >= count()) return std::nullopt;
    return array_[static_cast<std::size_t>(index)];
  }
  // The element at `index` (0..<count).
  [[nodiscard]] const E& operator[](std::int64_t index) const {
    observable_internal::checkIndex("subscript", index, 0, count());
    return array_[static_cast<std::size_t>(index)];
  }

  [[nodiscard]] std::int64_t startIndex() const { return 0; }
  [[nodiscard]] std::int64_t endIndex() const { return count(); }
  [[nodiscard]] std::int64_t indexAfter(std::int64_t index) const { return index + 1; }

  [[nodiscard]] Iterator makeIterator() const { return Iterator(array_); }
  [[nodiscard]] const_iterator begin() const { return const_iterator(this, 0); }
  [[nodiscard]] const_iterator end() const { return const_iterator(this, static_cast<difference_type>(array_.size())); }
  [[nodiscard]] size_type size() const { return array_.size(); }
  [[nodiscard]] bool empty() const { return array_.empty(); }

  // "OrderedSet(count: <n>, elements: <up to five, then , ...>)";
  // "<not CustomStringConvertible>" for elements without a text.
  [[nodiscard]] std::string description() const {
    std::string part;
    if constexpr (CustomStringConvertible<E>) {
      std::vector<std::string> texts;
      for (std::size_t i = 0; i < array_.size() && i < 5; ++i) texts.push_back(describe(array_[i]));
      part = observable_internal::listedElements(texts, array_.size() > 5);
    } else {
      part = array_.empty() ? "<none>" : "<not CustomStringConvertible>";
    }
    return observable_internal::countedDescription("OrderedSet(count: ", count(), part);
  }

 private:
  template <class Closure, class... Args>
  void report(std::string_view name, Closure Observer::*event, const Args&... args) {
    ++changes_;  // every change reports: the iterators' stamp
    observable_internal::report(observers_, "Urray", name, event, static_cast<const Urray&>(*this), args...);
  }

  // The first of equal elements, in order.
  void fill(std::vector<E> elements) {
    ElementSet<E> keys;
    std::vector<E> array;
    array.reserve(elements.size());
    for (E& e : elements) {
      if (keys.insert(e).second) array.push_back(std::move(e));
    }
    array_ = std::move(array);
    keys_ = std::move(keys);
  }

  friend struct observable_internal::IterationAccess;
  static constexpr std::string_view kIterationName = "Urray";

  static constexpr std::string_view kIteratorLabel = "Urray iterator";
  const std::vector<E>& elementsForIteration() const { return array_; }

  WeaklyOwnedObjectsSphere<Observer> observers_;
  std::vector<E> array_;
  ElementSet<E> keys_;
  std::uint64_t changes_ = 0;
};

}  // namespace vantrel

template <vantrel::UrrayType E>
struct std::hash<vantrel::Urray<E>> {
  std::size_t operator()(const vantrel::Urray<E>& urray) const {
    return vantrel::observable_internal::orderedHash<E>(urray.array(), urray.array().size());
  }
};
