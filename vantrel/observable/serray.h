// File: vantrel/observable/serray.h
//
// `Serray<E>`: an array of keyed elements (vantrel/observable/keyed_element.h)
// holding each key once and always sorted by a `NamedSortBlock`; it reports
// every change with the positions concerned to its observers
// (`SerrayObserver<E>`). The caller never chooses a position.
//
//   auto rows = Serray<Person>::create(people, byName);
//   rows->observers().createNew(table, [](SerrayObserver<Person>& o) {
//     o.moved = [](Serray<Person>&, std::int64_t from, std::int64_t to, const Person& p) { ... };
//   });
//   rows->insert(zoe);        // inserted(<its sorted position>, zoe)
//   rows->update(renamedZoe); // updated(at) when it may stay, else moved(from, to)
//
// Order: a new element goes in front of the elements the comparator ranks
// equal to it (`insertionIndexInSortedArray`). An update of a present key
// leaves the element where `canElement` allows (ties may stay), else takes
// it out and puts it at the lower bound; no other element changes place,
// so `updated` or `moved` (exactly one of them) tells a follower all that
// changed. Whole sorts (filling, a new sort block) go through `stableSort`:
// equal elements keep their order; of given elements with one key, the one
// the sort puts first is kept. Without a block the order is ascending keys
// (code "default").
//
// Lookups: membership is a key-set lookup. The position of a key is found
// from the stored element: a binary search for it, then the run of its
// equals (O(log n) with a strict weak order; a scan when the comparator is
// not one and the search misses).
//
// Errors: `insert` throws `Errur` elementAlreadyPresent ("Element already
// present:<element>") before changing anything; the list form stops at the
// first refusal, keeping what it inserted before. Misses answer nullopt.
//
// Caller code (comparator, key functions) runs before anything changes: a
// throw reaches the caller and the collection is as it was. Observers are
// called after the change, in registration order, synchronously; one that
// throws stops the program (vantrel/observable/internal/reporting.h).
//
// Iteration: `begin()`/`end()` give random-access `const_iterator`s over
// the sorted array, read in place like `std::vector`'s. Every change
// invalidates every one of them (and the references they gave). A stale
// iterator stops the program when used, in every build.
// `makeIterator()` instead reads the current content at each step.
// `std::hash<Serray<E>>` hashes the content in order. Held by
// `std::shared_ptr` (`create`); one thread at a time.
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
#include "vantrel/collections/named_sort_block.h"
#include "vantrel/collections/sorted_array.h"
#include "vantrel/collections/weakly_owned.h"
#include "vantrel/core/describe.h"
#include "vantrel/core/error.h"
#include "vantrel/core/fatal.h"
#include "vantrel/core/sort.h"
#include "vantrel/observable/event_closure.h"
#include "vantrel/observable/internal/iteration.h"
#include "vantrel/observable/internal/reporting.h"
#include "vantrel/observable/internal/texts.h"
#include "vantrel/observable/internal/update_placement.h"
#include "vantrel/observable/keyed_element.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

template <KeyedElement E>
class Serray;

// The observer of a `Serray<E>`. A closure left empty means that nothing
// listens for that event.
template <KeyedElement E>
class SerrayObserver : public WeaklyOwnedObjectBase {
 public:
  using WeaklyOwnedObjectBase::WeaklyOwnedObjectBase;
  using Array = Serray<E>;

  // The new block's code.
  EventClosure<void(Array&, const std::string&)> sortingChanged;
  EventClosure<void(Array&)> replacedContent;
  EventClosure<void(Array&)> removedAll;
  // Also an update of an absent key.
  EventClosure<void(Array&, std::int64_t at, const E&)> inserted;
  EventClosure<void(Array&, std::int64_t at, const E&)> removed;
  // The element stayed at `at`.
  EventClosure<void(Array&, std::int64_t at, const E&)> updated;
  // The updated element left `from` (before) for `to` (after).
  EventClosure<void(Array&, std::int64_t from, std::int64_t to, const E&)> moved;
};

template <KeyedElement E>
class Serray : public std::enable_shared_from_this<Serray<E>> {
 protected:
  struct Passkey {
    explicit Passkey() = default;
  };

 public:
  using Element = E;
  using Key = KeyTypeOf<E>;
  using Observer = SerrayObserver<E>;
  using SortBlock = NamedSortBlock<E>;
  using value_type = E;
  using size_type = std::size_t;
  using difference_type = std::ptrdiff_t;
  using const_iterator = observable_internal::PositionIterator<Serray, E>;
  using iterator = const_iterator;

  struct Errur : Error {
    enum class Case { elementAlreadyPresent, indexOutOfBounds };

    // "Element already present:<text>".
    static Errur elementAlreadyPresent(std::string text) {
      return Errur(Case::elementAlreadyPresent, "Element already present:", std::move(text));
    }
    // "Index out of bounds:<text>" (part of the type; nothing raises it).
    static Errur indexOutOfBounds(std::string text) {
      return Errur(Case::indexOutOfBounds, "Index out of bounds:", std::move(text));
    }

    Case kind;
    std::string text;

   private:
    Errur(Case c, std::string_view head, std::string t) : Error(std::string(head) + t), kind(c), text(std::move(t)) {}
  };

  // Reads the content at each step (not a snapshot).
  class Iterator {
   public:
    explicit Iterator(std::shared_ptr<const Serray> serray) : serray_(std::move(serray)) {}
    std::optional<E> next() {
      if (position_ >= serray_->array_.size()) return std::nullopt;
      return serray_->array_[position_++];
    }

   private:
    std::shared_ptr<const Serray> serray_;
    std::size_t position_ = 0;
  };

  // Ascending keys, code "default".
  [[nodiscard]] static SortBlock defaultSortBlock() {
    return SortBlock("default", [](const E& a, const E& b) { return keyOf(a) < keyOf(b); });
  }

  [[nodiscard]] static std::shared_ptr<Serray> create() {
    return std::make_shared<Serray>(Passkey{}, std::vector<E>{}, std::nullopt);
  }
  // The elements sorted by `sortBlock` (the default block when none), one
  // per key; reports nothing.
  [[nodiscard]] static std::shared_ptr<Serray> create(const std::vector<E>& elements,
                                                      std::optional<SortBlock> sortBlock = std::nullopt) {
    return std::make_shared<Serray>(Passkey{}, elements, std::move(sortBlock));
  }

  Serray(Passkey, const std::vector<E>& elements, std::optional<SortBlock> sortBlock)
      : sortBlock_(sortBlock ? std::move(*sortBlock) : defaultSortBlock()) {
    Filled filled = fill(elements);
    array_ = std::move(filled.array);
    keys_ = std::move(filled.keys);
  }
  virtual ~Serray() = default;
  Serray(const Serray&) = delete;  // shared by reference; observers are per object
  Serray& operator=(const Serray&) = delete;

  [[nodiscard]] WeaklyOwnedObjectsSphere<Observer>& observers() { return observers_; }
  [[nodiscard]] const WeaklyOwnedObjectsSphere<Observer>& observers() const { return observers_; }

  [[nodiscard]] virtual const std::vector<E>& array() const { return array_; }

  [[nodiscard]] virtual const SortBlock& sortBlock() const { return sortBlock_; }
  // Stores the block, re-sorts (stable) and reports `sortingChanged` with
  // its code, also for the block already in force.
  virtual void setSortBlock(SortBlock sortBlock) {
    const auto keepAlive = this->weak_from_this().lock();
    std::vector<E> sorted = array_;  // aside: a throwing comparator changes nothing
    stableSort(sorted, [&](const E& a, const E& b) { return sortBlock(a, b); });
    sortBlock_ = std::move(sortBlock);
    array_ = std::move(sorted);
    const std::string code = sortBlock_.code();
    report("sortingChanged", &Observer::sortingChanged, code);
  }

  [[nodiscard]] virtual bool isEmpty() const { return array_.empty(); }
  [[nodiscard]] virtual std::int64_t count() const { return static_cast<std::int64_t>(array_.size()); }

  // Whether an element with the element's key is held.
  [[nodiscard]] virtual bool contains(const E& element) const { return keys_.contains(keyOf(element)); }
  [[nodiscard]] virtual bool containsWith(const Key& key) const { return keys_.contains(key); }

  [[nodiscard]] virtual std::optional<std::int64_t> indexOf(const E& element) const {
    return indexWith(keyOf(element));
  }
  [[nodiscard]] virtual std::optional<std::int64_t> indexWith(const Key& key) const {
    const auto k = keys_.find(key);
    if (k == keys_.end()) return std::nullopt;
    return positionOf(k->second);
  }

  // Throws elementAlreadyPresent (nothing changed) when the key is held;
  // else inserts at the lower bound and reports `inserted`.
  virtual void insert(const E& element) {
    if (contains(element)) throw Errur::elementAlreadyPresent(describe(element));
    const auto keepAlive = this->weak_from_this().lock();
    insertAbsent(element);
  }
  // Inserts one after the other; the first refusal is thrown, the elements
  // before it stay inserted and reported.
  virtual void insert(const std::vector<E>& elements) {
    const std::vector<E> given = elements;  // `elements` may be our own array
    for (const E& e : given) insert(e);
  }

  // Replaces the element with the element's key and returns the one it
  // replaced, reporting `updated` (it stays) or `moved` (it had to leave
  // its place); an absent key is inserted (`inserted`) and answers nullopt.
  virtual std::optional<E> update(const E& argument) {
    const auto keepAlive = this->weak_from_this().lock();
    const E element = argument;  // `argument` may live in the array
    const auto k = keys_.find(keyOf(element));
    if (k == keys_.end()) {
      insertAbsent(element);
      return std::nullopt;
    }
    const std::int64_t at = positionOf(k->second);
    const std::int64_t to = observable_internal::placeAfterUpdate(array_, sortBlock_, element, at);
    E old = std::move(array_[static_cast<std::size_t>(at)]);
    k->second = element;
    if (to == at) {
      array_[static_cast<std::size_t>(at)] = element;
      report("updated", &Observer::updated, at, element);
    } else {
      array_.erase(array_.begin() + at);
      array_.insert(array_.begin() + to, element);
      report("moved", &Observer::moved, at, to, element);
    }
    return old;
  }

  // The content becomes the elements sorted, one per key; reports
  // `replacedContent`, also when nothing changed.
  virtual void replaceContent(const std::vector<E>& elements) {
    const auto keepAlive = this->weak_from_this().lock();
    Filled filled = fill(elements);
    array_ = std::move(filled.array);
    keys_ = std::move(filled.keys);
    report("replacedContent", &Observer::replacedContent);
  }

  // Empties the array and reports `removedAll`, also when it was empty.
  virtual void removeAll() {
    const auto keepAlive = this->weak_from_this().lock();
    array_.clear();
    keys_.clear();
    report("removedAll", &Observer::removedAll);
  }

  // Removes the element with the element's key; returns the stored one
  // (which may differ in other fields), nullopt when absent.
  virtual std::optional<E> remove(const E& element) { return removeWith(keyOf(element)); }
  virtual std::optional<E> removeWith(const Key& key) {
    const std::optional<std::int64_t> at = indexWith(key);
    if (!at) return std::nullopt;
    return removeAt(*at);
  }

  // The element at `index`, or nullopt outside 0..<count.
  [[nodiscard]] virtual std::optional<E> subscriptIndex(std::int64_t index) const {
    if (index < 0 || index >= count()) return std::nullopt;
    return array_[static_cast<std::size_t>(index)];
  }
  // The element with `key`, or nullopt.
  [[nodiscard]] virtual std::optional<E> subscript(const Key& key) const {
    const auto k = keys_.find(key);
    if (k == keys_.end()) return std::nullopt;
    return k->second;
  }
  // The element at `index` (0..<count).
  [[nodiscard]] const E& operator[](std::int64_t index) const {
    observable_internal::checkIndex("subscript", index, 0, count());
    return array_[static_cast<std::size_t>(index)];
  }

  [[nodiscard]] std::int64_t startIndex() const { return 0; }
  [[nodiscard]] std::int64_t endIndex() const { return count(); }
  [[nodiscard]] std::int64_t indexAfter(std::int64_t index) const { return index + 1; }

  [[nodiscard]] Iterator makeIterator() const { return Iterator(this->shared_from_this()); }
  [[nodiscard]] const_iterator begin() const { return const_iterator(this, 0); }
  [[nodiscard]] const_iterator end() const { return const_iterator(this, static_cast<difference_type>(array_.size())); }
  [[nodiscard]] size_type size() const { return array_.size(); }
  [[nodiscard]] bool empty() const { return array_.empty(); }

  // "Serray(count: <n>, elements: <none>)" when empty, else with
  // "<not CustomStringConvertible>": the elements are never listed.
  [[nodiscard]] virtual std::string description() const {
    return observable_internal::countedDescription("Serray(count: ", count(),
                                                   array_.empty() ? "<none>" : "<not CustomStringConvertible>");
  }
  // As `description`, listing up to five elements, then ", ...".
  [[nodiscard]] std::string description2() const
    requires CustomStringConvertible<E>
  {
    std::vector<std::string> texts;
    for (std::size_t i = 0; i < array_.size() && i < 5; ++i) texts.push_back(describe(array_[i]));
    return observable_internal::countedDescription("Serray(count: ", count(),
                                                   observable_internal::listedElements(texts, array_.size() > 5));
  }

 protected:
  template <class Closure, class... Args>
  void report(std::string_view name, Closure Observer::*event, const Args&... args) {
    ++changes_;  // every change reports: the iterators' stamp
    observable_internal::report(observers_, "Serray", name, event, static_cast<Serray&>(*this), args...);
  }

 private:
  // Each held key with its stored element, whose value finds its position.
  using Keys = ElementDictionary<Key, E>;
  struct Filled {
    std::vector<E> array;
    Keys keys;
  };

  // Sorted (stable), then the first of each key.
  Filled fill(const std::vector<E>& elements) const {
    std::vector<E> sorted = elements;
    stableSort(sorted, [this](const E& a, const E& b) { return sortBlock_(a, b); });
    Filled filled;
    filled.array.reserve(sorted.size());
    for (E& e : sorted) {
      if (filled.keys.try_emplace(keyOf(e), e).second) filled.array.push_back(std::move(e));
    }
    return filled;
  }

  void insertAbsent(const E& argument) {
    const E element = argument;
    const std::int64_t at = insertionIndexInSortedArray(array_, sortBlock_, element);
    keys_.try_emplace(keyOf(element), element);
    array_.insert(array_.begin() + at, element);
    report("inserted", &Observer::inserted, at, element);
  }

  // The position of `stored` (a held element): the lower bound of its value,
  // then the run of its equals; a scan when the comparator misleads.
  std::int64_t positionOf(const E& stored) const {
    const ElementEqual<Key> equal;
    const Key& key = keyOf(stored);
    const auto n = static_cast<std::int64_t>(array_.size());
    for (std::int64_t i = insertionIndexInSortedArray(array_, sortBlock_, stored); i < n; ++i) {
      const E& probe = array_[static_cast<std::size_t>(i)];
      if (equal(keyOf(probe), key)) return i;
      if (sortBlock_(stored, probe)) break;
    }
    for (std::int64_t i = 0; i < n; ++i) {
      if (equal(keyOf(array_[static_cast<std::size_t>(i)]), key)) return i;
    }
    fatal("Serray: a held key is missing from the array (" + description() + ")");
  }

  // Takes out the element at `at` (0..<count) and reports `removed`.
  E removeAt(std::int64_t at) {
    const auto keepAlive = this->weak_from_this().lock();
    E element = std::move(array_[static_cast<std::size_t>(at)]);
    array_.erase(array_.begin() + at);
    keys_.erase(keyOf(element));
    report("removed", &Observer::removed, at, element);
    return element;
  }

  friend struct observable_internal::IterationAccess;
  static constexpr std::string_view kIterationName = "Serray";

  static constexpr std::string_view kIteratorLabel = "Serray iterator";
  const std::vector<E>& elementsForIteration() const { return array_; }

  WeaklyOwnedObjectsSphere<Observer> observers_;
  std::vector<E> array_;
  Keys keys_;
  SortBlock sortBlock_;
  std::uint64_t changes_ = 0;
};

}  // namespace vantrel

template <vantrel::KeyedElement E>
  requires vantrel::ObservableHashable<E>
struct std::hash<vantrel::Serray<E>> {
  std::size_t operator()(const vantrel::Serray<E>& serray) const {
    return vantrel::observable_internal::orderedHash<E>(serray.array(), serray.array().size());
  }
};
