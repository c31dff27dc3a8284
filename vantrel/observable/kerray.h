// File: vantrel/observable/kerray.h
//
// `Kerray<E>`: an ordered array of keyed elements (vantrel/observable/
// keyed_element.h) holding each key once, which reports every change with
// the positions concerned to its observers (`KerrayObserver<E>`), so that a
// table on screen can follow it row by row. It never sorts.
//
//   auto rows = Kerray<Person>::create();
//   rows->observers().createNew(tableView, [](KerrayObserver<Person>& o) {
//     o.inserted = [](Kerray<Person>&, std::int64_t at, const Person& p) { ... };
//   });
//   rows->append(ann);                  // reports inserted(0, ann)
//   rows->append(ann);                  // throws Errur: the key is present
//   rows->move(0, 0);                   // nothing to report
//
// Positions in reports: an inserted element at its position after the
// insertion, a removed one at its position before the removal, an updated
// one at its position; a move reports its source before and its target
// after the move. Batch reports list positions as each operation says.
// The operations on several elements and the moves are defined in
// vantrel/observable/internal/kerray_batch.h (included here).
//
// Keys: membership is a key lookup (constant time on average); `indexOf`,
// `update(element)`, `removeElementWithKey` and the removals by element
// make one scan from the front over the stored key hashes, comparing keys
// only where the hashes match. The
// key index and the array always agree: every key listed is a key of some
// element and every element's key is listed, whatever is called. The
// operations "without contains check" (and `create`/`replaceContent` with
// repeated keys, or batch inserts with the test off) may store one key
// several times; removing one of them keeps the key for the others.
//
// Errors: the checked insertions throw `Errur` (elementAlreadyPresent, or
// elementsAlreadyPresent after inserting and reporting the accepted
// elements); `update(element, atIndex)` with a new key throws
// elementAlreadyPresent, changing nothing, when another element holds that
// key. Misses (unknown key, `removeAtIndex` outside the array) answer
// nullopt and report nothing. Positions outside an operation's limits, and
// repeated positions in a list, are caller errors that stop the program
// (`fatal`) before anything changes: the moves with "from index <i> out of
// bounds.", "to index <i> out of bounds." or "[3, 1] not in ascending
// order!", the others with "<operation>: index <i> out of range <lo>..<<hi>".
//
// Observers are called after the change is complete (array and key index),
// in registration order, synchronously; the walk is over the list as it
// was when the delivery began, so a callback may register observers,
// release owners or change the keyed array (that change is delivered
// completely before the outer delivery goes on). An observer that throws
// stops the program (vantrel/observable/internal/reporting.h).
//
// Iteration: `begin()`/`end()` give random-access `const_iterator`s over
// the array, read in place like `std::vector`'s. Every change to the keyed
// array invalidates every one of them (and the references they gave). A
// stale iterator stops the program when used, in every build.
// `makeIterator()` instead holds the keyed array and reads its current
// content at each step (not a snapshot). `std::hash<Kerray<E>>` hashes
// the content in order. Held by `std::shared_ptr` (`create`); one thread
// at a time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "vantrel/collections/any_iterator.h"
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

template <KeyedElement E>
class Kerray;

namespace observable_internal {
// How many elements hold a key (more than one only after the unchecked
// insertions); for the views, which need it to follow repeated keys.
struct KeyCount {
  template <class Array>
  static std::int64_t of(const Array& kerray, const typename Array::Key& key) {
    const auto it = kerray.keys_.find(key);
    return it == kerray.keys_.end() ? 0 : it->second;
  }
};
}  // namespace observable_internal

// The observer of a `Kerray<E>`. A closure left empty means that nothing
// listens for that event.
template <KeyedElement E>
class KerrayObserver : public WeaklyOwnedObjectBase {
 public:
  using WeaklyOwnedObjectBase::WeaklyOwnedObjectBase;
  using Array = Kerray<E>;
  using Positions = std::vector<std::int64_t>;
  using Elements = std::vector<E>;

  EventClosure<void(Array&)> replacedContent;
  EventClosure<void(Array&)> removedAll;
  EventClosure<void(Array&, std::int64_t at, const E&)> inserted;
  // The block now at `at`, `at` + 1, ...
  EventClosure<void(Array&, std::int64_t at, const Elements&)> insertedMultipleContinuous;
  // Inserted one after the other, each at its position in the array of that
  // moment, in input order.
  EventClosure<void(Array&, const Positions&, const Elements&)> insertedMultipleDistributed;
  EventClosure<void(Array&, std::int64_t at, const E&)> removed;
  // Highest former position first; each position is one before the call.
  EventClosure<void(Array&, const Positions&, const Elements&)> removedMultiple;
  EventClosure<void(Array&, std::int64_t at, const E&)> updated;
  EventClosure<void(Array&, const Positions&, const Elements&)> updatedMultiple;
  EventClosure<void(Array&, std::int64_t from, std::int64_t to, const E&)> moved;
  // The sources as the caller gave them (ascending), the block's first
  // position after the move, the elements highest former position first.
  EventClosure<void(Array&, const Positions& from, std::int64_t to, const Elements&)> movedMultiple;
};

template <KeyedElement E>
class Kerray : public std::enable_shared_from_this<Kerray<E>> {
 protected:
  // Lets `create` use make_shared while keeping construction to subclasses.
  struct Passkey {
    explicit Passkey() = default;
  };

 public:
  using Element = E;
  using Key = KeyTypeOf<E>;
  using Observer = KerrayObserver<E>;
  using value_type = E;
  using size_type = std::size_t;
  using difference_type = std::ptrdiff_t;
  using const_iterator = observable_internal::PositionIterator<Kerray, E>;
  using iterator = const_iterator;

  struct Errur : Error {
    enum class Case { elementAlreadyPresent, elementsAlreadyPresent };

    // `elementAlreadyPresent("<element>")`.
    static Errur elementAlreadyPresent(std::string text) {
      return Errur(Case::elementAlreadyPresent, 1, std::move(text));
    }
    // `elementsAlreadyPresent(<count>, "<a>,<b>")`.
    static Errur elementsAlreadyPresent(std::int64_t count, std::string text) {
      return Errur(Case::elementsAlreadyPresent, count, std::move(text));
    }

    Case kind;
    // The number of refused elements (1 for elementAlreadyPresent).
    std::int64_t count;
    // The refused elements as text, joined by ",".
    std::string text;

   private:
    Errur(Case c, std::int64_t n, std::string t)
        : Error(c == Case::elementAlreadyPresent
                    ? observable_internal::caseDescription("elementAlreadyPresent", t)
                    : observable_internal::caseDescription("elementsAlreadyPresent", n, t)),
          kind(c),
          count(n),
          text(std::move(t)) {}
  };

  // Reads the keyed array's content at each step (not a snapshot).
  class Iterator {
   public:
    explicit Iterator(std::shared_ptr<const Kerray> kerray) : kerray_(std::move(kerray)) {}
    std::optional<E> next() {
      if (position_ >= kerray_->array_.size()) return std::nullopt;
      return kerray_->array_[position_++];
    }

   private:
    std::shared_ptr<const Kerray> kerray_;
    std::size_t position_ = 0;
  };

  [[nodiscard]] static std::shared_ptr<Kerray> create() {
    return std::make_shared<Kerray>(Passkey{}, std::vector<E>{});
  }
  // The elements in order; repeated keys are kept (see the header comment).
  [[nodiscard]] static std::shared_ptr<Kerray> create(std::vector<E> elements) {
    return std::make_shared<Kerray>(Passkey{}, std::move(elements));
  }

  Kerray(Passkey, std::vector<E> elements) : array_(std::move(elements)) {
    hashes_.reserve(array_.size());
    for (const E& e : array_) {
      const Key& key = keyOf(e);
      hashes_.push_back(hashOf(key));
      addKey(key);
    }
  }
  virtual ~Kerray() = default;
  Kerray(const Kerray&) = delete;  // shared by reference; observers are per object
  Kerray& operator=(const Kerray&) = delete;

  [[nodiscard]] WeaklyOwnedObjectsSphere<Observer>& observers() { return observers_; }
  [[nodiscard]] const WeaklyOwnedObjectsSphere<Observer>& observers() const { return observers_; }

  [[nodiscard]] virtual const std::vector<E>& array() const { return array_; }

  [[nodiscard]] virtual bool isEmpty() const { return array_.empty(); }
  [[nodiscard]] virtual std::int64_t count() const { return static_cast<std::int64_t>(array_.size()); }

  // Whether an element with the element's key is held.
  [[nodiscard]] virtual bool contains(const E& element) const { return keys_.contains(keyOf(element)); }
  // Whether an element with `key` is held.
  [[nodiscard]] virtual bool containsWith(const Key& key) const { return keys_.contains(key); }

  // The position of the first element with the element's key.
  [[nodiscard]] virtual std::optional<std::int64_t> indexOf(const E& element) const {
    return indexOfKey(keyOf(element));
  }

  // ---- Several elements at once (kerray_batch.h) ----

  // Inserts `elements` at `atIndexes` pairwise, one after the other, each
  // position taken in the array of that moment; reports
  // insertedMultipleDistributed with the accepted pairs. With the test on, a
  // pair whose key is present, or was accepted earlier in the same call, is
  // refused, and elementsAlreadyPresent is thrown after the report. Lists
  // of different lengths: nothing happens. Each accepted position must lie
  // in 0...count of its moment.
  virtual void insertMultipleDistributed(const std::vector<E>& elements,
                                         const std::vector<std::int64_t>& atIndexes,
                                         bool testForExistingElements = true);
  // insertMultiple at `count` with the test on.
  virtual void appendMultiple(const std::vector<E>& elements);
  // Inserts the accepted elements as one block at `atIndex` (0...count) and
  // reports insertedMultipleContinuous; refusals as for the distributed form.
  virtual void insertMultiple(const std::vector<E>& elements, std::int64_t atIndex,
                              bool testForExistingElements = true);

  // ---- One element ----

  virtual void append(const E& element) { insert(element, count()); }
  virtual void appendWithoutContainsCheck(const E& element) {
    insertWithoutContainsCheck(element, count());
  }

  // Throws elementAlreadyPresent when the key is present (before the
  // position is looked at); else inserts at `atIndex` (0...count) and
  // reports inserted.
  virtual void insert(const E& element, std::int64_t atIndex) {
    if (keys_.contains(keyOf(element))) throw Errur::elementAlreadyPresent(describe(element));
    insertOne(element, atIndex);
  }

  // Inserts at `atIndex` (0...count) even when the key is present, and
  // reports inserted.
  virtual void insertWithoutContainsCheck(const E& element, std::int64_t atIndex) {
    insertOne(element, atIndex);
  }

  // Replaces, for each element whose key is held, the first element with
  // that key; reports updatedMultiple (also with empty lists) and returns
  // the elements stored. Others are skipped, not inserted.
  virtual std::vector<E> update(const std::vector<E>& elements);

  // Replaces the first element with the element's key, reports updated and
  // returns the element; nullopt (nothing changed) when the key is absent.
  virtual std::optional<E> update(const E& element) {
    const std::optional<std::int64_t> at = indexOf(element);
    if (!at) return std::nullopt;
    const auto keepAlive = this->weak_from_this().lock();
    const E stored = element;  // `element` may live in the array a callback changes
    array_[static_cast<std::size_t>(*at)] = stored;
    report("updated", &Observer::updated, *at, stored);
    return stored;
  }

  // Stores `element` at `atIndex` (0..<count), reports updated and returns
  // it. An element with another key than the one it replaces re-keys the
  // entry and is reported as what it is for anyone who follows by key: the
  // old element removed at `atIndex`, then the new one inserted there. When
  // another element holds the new key already, throws elementAlreadyPresent
  // and changes nothing.
  virtual E update(const E& element, std::int64_t atIndex) {
    observable_internal::checkIndex("update", atIndex, 0, count());
    const auto at = static_cast<std::size_t>(atIndex);
    const auto keepAlive = this->weak_from_this().lock();
    const E stored = element;
    const Key& newKey = keyOf(stored);
    const Key& oldKey = keyOf(array_[at]);
    if (ElementEqual<Key>{}(newKey, oldKey)) {
      array_[at] = stored;
      report("updated", &Observer::updated, atIndex, stored);
      return stored;
    }
    if (keys_.contains(newKey)) throw Errur::elementAlreadyPresent(describe(element));
    // The key functions run before anything changes.
    const std::size_t newHash = hashOf(newKey);
    addKey(newKey);
    dropKey(oldKey);
    E old = std::exchange(array_[at], stored);
    hashes_[at] = newHash;
    // Both events describe the final state: each observer sees the array
    // with the new element in place.
    report("removed", &Observer::removed, atIndex, old);
    report("inserted", &Observer::inserted, atIndex, stored);
    return stored;
  }

  // Moves the element at `from` so that it ends at `to` (both 0..<count)
  // and reports moved; equal positions change and report nothing.
  virtual void move(std::int64_t from, std::int64_t to);
  // Moves the elements at `from` (ascending, distinct, 0..<count) into one
  // block starting at `to` (0...count − from.size()), in their order, and
  // reports movedMultiple, also for an empty list. A one-element list must
  // be spelled `std::vector<std::int64_t>{i}`.
  virtual void move(const std::vector<std::int64_t>& from, std::int64_t to);

  // The content becomes `elements` (repeated keys kept); reports
  // replacedContent, also when nothing changed.
  virtual void replaceContent(const std::vector<E>& elements) {
    const auto keepAlive = this->weak_from_this().lock();
    // Built aside: a throwing key function leaves the content as it was.
    std::vector<std::size_t> hashes;
    hashes.reserve(elements.size());
    KeyCounts keys;
    for (const E& e : elements) {
      const Key& key = keyOf(e);
      hashes.push_back(hashOf(key));
      ++keys[key];
    }
    array_ = elements;
    hashes_ = std::move(hashes);
    keys_ = std::move(keys);
    report("replacedContent", &Observer::replacedContent);
  }

  // Empties the keyed array and reports removedAll, also when it was empty.
  virtual void removeAll() {
    const auto keepAlive = this->weak_from_this().lock();
    array_.clear();
    hashes_.clear();
    keys_.clear();
    report("removedAll", &Observer::removedAll);
  }

  // Removes the first element with the key through `removeAtIndex` (one
  // scan); nullopt when the key is absent.
  virtual std::optional<E> removeElementWithKey(const Key& key) {
    if (!keys_.contains(key)) return std::nullopt;
    const std::optional<std::int64_t> at = indexOfKey(key);
    if (!at) return std::nullopt;
    return removeAtIndex(*at);
  }

  // Removes the first element with the element's key through
  // `removeAtIndex` and returns the element that was stored; nullopt when
  // the key is absent.
  virtual std::optional<E> remove(const E& element) {
    if (!keys_.contains(keyOf(element))) return std::nullopt;
    const std::optional<std::int64_t> at = indexOf(element);
    if (!at) return std::nullopt;
    return removeAtIndex(*at);
  }

  // Removes the first element of each key named, when every key is held,
  // through `removeAtIndexes` (a key named twice is removed once); else
  // changes and reports nothing and returns an empty list.
  virtual std::vector<E> remove(const std::vector<E>& elements);

  // Removes the element at `index` and reports removed; nullopt (nothing
  // changed) outside 0..<count.
  virtual std::optional<E> removeAtIndex(std::int64_t index) {
    if (index < 0 || index >= count()) return std::nullopt;
    const auto keepAlive = this->weak_from_this().lock();
    const auto at = array_.begin() + index;
    dropKey(keyOf(*at));
    E removedElement = std::move(*at);
    array_.erase(at);
    hashes_.erase(hashes_.begin() + index);
    report("removed", &Observer::removed, index, removedElement);
    return removedElement;
  }

  // Removes the elements at `indexes` (any order, distinct, 0..<count) and
  // reports removedMultiple (also for an empty list); returns them highest
  // former position first.
  virtual std::vector<E> removeAtIndexes(const std::vector<std::int64_t>& indexes);

  // The element at `index` (0..<count).
  [[nodiscard]] virtual const E& operator[](std::int64_t index) const {
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

  // "OrderedSet(count: <n>, elements: <none>)" when empty, else with
  // "<not CustomStringConvertible>": the elements are never listed.
  [[nodiscard]] virtual std::string description() const {
    return observable_internal::countedDescription(
        "OrderedSet(count: ", count(), array_.empty() ? "<none>" : "<not CustomStringConvertible>");
  }

  // As `description`, listing up to five elements, then ", ...".
  [[nodiscard]] std::string description2() const
    requires CustomStringConvertible<E>
  {
    std::vector<std::string> texts;
    for (std::size_t i = 0; i < array_.size() && i < 5; ++i) texts.push_back(describe(array_[i]));
    return observable_internal::countedDescription(
        "OrderedSet(count: ", count(), observable_internal::listedElements(texts, array_.size() > 5));
  }

 protected:
  template <class Closure, class... Args>
  void report(std::string_view name, Closure Observer::*event, const Args&... args) {
    ++changes_;  // every change reports: the iterators' stamp
    observable_internal::report(observers_, "Kerray", name, event, static_cast<Kerray&>(*this), args...);
  }

  // One scan over the stored hashes; keys are compared where they match.
  [[nodiscard]] std::optional<std::int64_t> indexOfKey(const Key& key) const {
    const ElementEqual<Key> equal;
    const std::size_t hash = hashOf(key);
    const std::size_t* hashes = hashes_.data();
    const std::size_t n = hashes_.size();
    for (std::size_t i = 0; i < n; ++i) {
      if (hashes[i] == hash && equal(keyOf(array_[i]), key)) return static_cast<std::int64_t>(i);
    }
    return std::nullopt;
  }

  static std::size_t hashOf(const Key& key) { return ElementHash<Key>{}(key); }

 private:
  friend struct observable_internal::KeyCount;
  friend struct observable_internal::IterationAccess;
  static constexpr std::string_view kIterationName = "Kerray";

  static constexpr std::string_view kIteratorLabel = "Kerray iterator";
  const std::vector<E>& elementsForIteration() const { return array_; }

  void insertOne(const E& element, std::int64_t atIndex) {
    observable_internal::checkIndex("insert", atIndex, 0, count() + 1);
    const auto keepAlive = this->weak_from_this().lock();
    // A copy: `element` may live in the array, which the insertion or a
    // callback changes.
    const E stored = element;
    const Key& key = keyOf(stored);
    const std::size_t hash = hashOf(key);
    addKey(key);
    array_.insert(array_.begin() + atIndex, stored);
    hashes_.insert(hashes_.begin() + atIndex, hash);
    report("inserted", &Observer::inserted, atIndex, stored);
  }

  // Elements per key: one, except after the unchecked insertions.
  using KeyCounts = std::unordered_map<Key, std::int64_t, ElementHash<Key>, ElementEqual<Key>>;

  void addKey(const Key& key) { ++keys_[key]; }
  void dropKey(const Key& key) {
    const auto it = keys_.find(key);
    if (it != keys_.end() && --it->second == 0) keys_.erase(it);
  }

  WeaklyOwnedObjectsSphere<Observer> observers_;
  std::vector<E> array_;
  // The hash of each element's key, beside `array_`: a lookup by key scans
  // these words and compares keys only where they match.
  std::vector<std::size_t> hashes_;
  KeyCounts keys_;
  std::uint64_t changes_ = 0;
};

}  // namespace vantrel

template <vantrel::KeyedElement E>
  requires vantrel::ObservableHashable<E>
struct std::hash<vantrel::Kerray<E>> {
  std::size_t operator()(const vantrel::Kerray<E>& kerray) const {
    return vantrel::observable_internal::orderedHash<E>(kerray.array(), kerray.array().size());
  }
};

#include "vantrel/observable/internal/kerray_batch.h"
