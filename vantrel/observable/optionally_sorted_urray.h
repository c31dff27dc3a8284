// File: vantrel/observable/optionally_sorted_urray.h
//
// `OptionallySortedUrray<A>`: keyed elements (vantrel/observable/
// keyed_element.h), one per key, in two orders at once: the natural order
// (appends, positional inserts, moves) and the sorted order of an optional
// `NamedSortBlock` (the natural order while there is none). The sorted
// order is the collection's own: count, positions, subscripts, iteration,
// description and the reported positions read it; only `insertAtIndex` and
// `moveFromIndex` take natural positions, and `removed` carries the
// natural position second. A value: copy it, change it in place.
//
//   OptionallySortedUrray<Person> people(list, byName);
//   people.observers().createNew(owner, [](OptionallySortedUrrayObserver<Person>& o) {
//     o.moved = [](const OptionallySortedUrray<Person>& after, std::int64_t from, std::int64_t to,
//                  const Person& p) { ... };
//   });
//   people.update(renamed);      // updated(at), or moved(from, to) then updated(to)
//
// Copies share the observer objects registered before the copy; each
// report carries (by `const&`) the value that changed, after the change.
//
// Order: a new element goes in front of its equals; an update leaves the
// element where `canElement` allows, else takes it out and puts it at the
// lower bound, no other element changing place; each observer then gets
// `moved(p, q)` and `updated(q)` before the next observer gets either.
// Whole sorts go through `stableSort`. A block with the code of the current
// one changes nothing (the current comparator stays in use).
//
// Errors (`ArrayErrors`, thrown before anything changes):
// elementAlreadyPresent for a held key (`append`, `insertAtIndex`; the list
// form stops at the first refusal, keeping what it added before);
// indexOutOfBounds with "fromIndex <p>" / "toIndex <p>" (`moveFromIndex`,
// from tested first) or "atIndex <p>" (`insertAtIndex` outside
// 0...count); moveWhileSorted, "move only allowed, when not sorted.
// Currently sorted by <code>", for a move of two different in-range
// positions while a block is set. A move with equal positions does
// nothing, whatever they are. Misses answer nullopt.
//
// Caller code (comparator, key functions) runs before anything changes: a
// throw reaches the caller and the value is as it was. Observers are
// called after the change, in registration order, synchronously; one that
// throws stops the program (vantrel/observable/internal/reporting.h).
// Lookups by key test the key set, then scan the sorted order.
//
// Iteration: `begin()`/`end()` give random-access `const_iterator`s over
// the sorted order, read in place like `std::vector`'s. They belong to this
// value: every change to it, an assignment to it or a move from it
// invalidates every one of them (and the references they gave). A stale
// iterator stops the program when used, in every build.
// `makeIterator()` instead walks a copy taken when it starts.
// `std::hash<OptionallySortedUrray<A>>` hashes the content in order. Not thread-safe.
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

template <KeyedElement A>
class OptionallySortedUrray;

// The observer of an `OptionallySortedUrray<A>`: each closure gets the
// value after the change first. A closure left empty means that nothing
// listens.
template <KeyedElement A>
class OptionallySortedUrrayObserver : public WeaklyOwnedObjectBase {
 public:
  using WeaklyOwnedObjectBase::WeaklyOwnedObjectBase;
  using Array = OptionallySortedUrray<A>;

  // The new block's code, or nullopt when sorting was switched off.
  EventClosure<void(const Array&, const std::optional<std::string>&)> sortingChanged;
  EventClosure<void(const Array&)> replacedContent;
  EventClosure<void(const Array&)> removedAll;
  // The sorted position.
  EventClosure<void(const Array&, std::int64_t at, const A&)> inserted;
  // The sorted position it had, then the natural one.
  EventClosure<void(const Array&, std::int64_t at, std::int64_t naturalAt, const A&)> removed;
  EventClosure<void(const Array&, std::int64_t at, const A&)> updated;
  EventClosure<void(const Array&, std::int64_t from, std::int64_t to, const A&)> moved;
};

template <KeyedElement A>
class OptionallySortedUrray {
 public:
  using Element = A;
  using Key = KeyTypeOf<A>;
  using Observer = OptionallySortedUrrayObserver<A>;
  using SortBlock = NamedSortBlock<A>;
  using value_type = A;
  using size_type = std::size_t;
  using difference_type = std::ptrdiff_t;
  using const_iterator = observable_internal::PositionIterator<OptionallySortedUrray, A>;
  using iterator = const_iterator;

  struct ArrayErrors : Error {
    enum class Case { elementAlreadyPresent, indexOutOfBounds, moveWhileSorted };

    // `elementAlreadyPresent("<element>")`.
    static ArrayErrors elementAlreadyPresent(std::string text) {
      return ArrayErrors(Case::elementAlreadyPresent, observable_internal::caseDescription("elementAlreadyPresent", text),
                         text);
    }
    // `indexOutOfBounds("fromIndex 3")`.
    static ArrayErrors indexOutOfBounds(std::string text) {
      return ArrayErrors(Case::indexOutOfBounds, observable_internal::caseDescription("indexOutOfBounds", text), text);
    }
    // "move only allowed, when not sorted. Currently sorted by <code>".
    static ArrayErrors moveWhileSorted(const std::string& code) {
      std::string text = "move only allowed, when not sorted. Currently sorted by " + code;
      return ArrayErrors(Case::moveWhileSorted, text, text);
    }

    Case kind;
    std::string text;

   private:
    ArrayErrors(Case c, std::string description, std::string t)
        : Error(std::move(description)), kind(c), text(std::move(t)) {}
  };

  // Walks the sorted content of the moment it was made.
  class Iterator {
   public:
    explicit Iterator(std::vector<A> elements) : elements_(std::move(elements)) {}
    std::optional<A> next() {
      if (position_ >= elements_.size()) return std::nullopt;
      return elements_[position_++];
    }

   private:
    std::vector<A> elements_;
    std::size_t position_ = 0;
  };

  OptionallySortedUrray() = default;
  // The elements in order, the first of each key; sorted (stable) by the
  // block when one is given. Reports nothing.
  explicit OptionallySortedUrray(const std::vector<A>& elements, std::optional<SortBlock> sortBlock = std::nullopt)
      : sortBlock_(std::move(sortBlock)) {
    for (const A& e : elements) {
      if (keys_.insert(keyOf(e)).second) natural_.push_back(e);
    }
    sorted_ = natural_;
    if (sortBlock_) stableSort(sorted_, byBlock(*sortBlock_));
  }

  [[nodiscard]] WeaklyOwnedObjectsSphere<Observer>& observers() { return observers_; }
  [[nodiscard]] const WeaklyOwnedObjectsSphere<Observer>& observers() const { return observers_; }

  [[nodiscard]] const std::vector<A>& naturallySortedArray() const { return natural_; }
  [[nodiscard]] const std::vector<A>& sortedArray() const { return sorted_; }

  [[nodiscard]] const std::optional<SortBlock>& sortBlock() const { return sortBlock_; }
  // A block with another code (or a change between none and some) re-sorts
  // the sorted order (stable, from its current order) or restores the
  // natural one, and reports `sortingChanged`; the current code changes
  // nothing.
  void setSortBlock(std::optional<SortBlock> sortBlock) {
    if (sortBlock == sortBlock_) return;
    std::vector<A> sorted = sortBlock ? sorted_ : natural_;
    if (sortBlock) stableSort(sorted, byBlock(*sortBlock));
    sortBlock_ = std::move(sortBlock);
    sorted_ = std::move(sorted);
    const std::optional<std::string> code = sortBlock_ ? std::optional<std::string>(sortBlock_->code()) : std::nullopt;
    report("sortingChanged", &Observer::sortingChanged, code);
  }

  [[nodiscard]] bool isEmpty() const { return sorted_.empty(); }
  [[nodiscard]] std::int64_t count() const { return static_cast<std::int64_t>(sorted_.size()); }
  [[nodiscard]] bool contains(const A& element) const { return keys_.contains(keyOf(element)); }
  [[nodiscard]] bool containsElementWithKey(const Key& key) const { return keys_.contains(key); }

  // The sorted position of the element with the element's key.
  [[nodiscard]] std::optional<std::int64_t> indexOf(const A& element) const { return indexOfKey(keyOf(element)); }
  [[nodiscard]] std::optional<std::int64_t> indexOfKey(const Key& key) const {
    if (!keys_.contains(key)) return std::nullopt;
    return positionIn(sorted_, key);
  }

  // Throws elementAlreadyPresent (nothing changed) when the key is held;
  // else appends to the natural order, inserts at the lower bound of the
  // sorted one (at its end while unsorted) and reports `inserted`.
  void append(const A& element) { add(element, count()); }
  // One after the other; the first refusal is thrown, the elements before
  // it stay added and reported.
  void append(const std::vector<A>& elements) {
    const std::vector<A> given = elements;  // `elements` may be our own array
    for (const A& e : given) append(e);
  }
  // As `append`, at natural position `atIndex` (0...count, else
  // indexOutOfBounds "atIndex <p>"); `inserted` reports the sorted position.
  void insertAtIndex(const A& element, std::int64_t atIndex) {
    if (contains(element)) throw ArrayErrors::elementAlreadyPresent(describe(element));
    if (atIndex < 0 || atIndex > count()) throw ArrayErrors::indexOutOfBounds("atIndex " + std::to_string(atIndex));
    add(element, atIndex);
  }

  // Moves in natural positions (unsorted only) and reports `moved`; see
  // the header comment for the refusals.
  void moveFromIndex(std::int64_t from, std::int64_t to) {
    if (from == to) return;
    if (from < 0 || from >= count()) throw ArrayErrors::indexOutOfBounds("fromIndex " + std::to_string(from));
    if (to < 0 || to >= count()) throw ArrayErrors::indexOutOfBounds("toIndex " + std::to_string(to));
    if (sortBlock_) throw ArrayErrors::moveWhileSorted(sortBlock_->code());
    A element = std::move(natural_[static_cast<std::size_t>(from)]);
    natural_.erase(natural_.begin() + from);
    natural_.insert(natural_.begin() + to, element);
    sorted_ = natural_;
    report("moved", &Observer::moved, from, to, element);
  }

  // Replaces the element with the element's key and returns the one it
  // replaced (its natural position stays); an absent key is appended
  // (`inserted`) and answers nullopt.
  std::optional<A> update(const A& argument) {
    const A element = argument;  // `argument` may live in the arrays
    const std::optional<std::int64_t> found = indexOf(element);
    if (!found) {
      add(element, count());
      return std::nullopt;
    }
    const std::int64_t at = *found;
    const std::int64_t to = sortBlock_ ? observable_internal::placeAfterUpdate(sorted_, *sortBlock_, element, at) : at;
    const std::int64_t naturalAt = sortBlock_ ? positionIn(natural_, keyOf(element)) : at;
    A old = std::move(sorted_[static_cast<std::size_t>(at)]);
    natural_[static_cast<std::size_t>(naturalAt)] = element;
    if (to == at) {
      sorted_[static_cast<std::size_t>(at)] = element;
      report("updated", &Observer::updated, at, element);
      return old;
    }
    sorted_.erase(sorted_.begin() + at);
    sorted_.insert(sorted_.begin() + to, element);
    ++changes_;
    observable_internal::reportMovedThenUpdated(observers_, kName, std::as_const(*this), at, to, element);
    return old;
  }

  // The content becomes the elements, the first of each key (while sorted:
  // of the stable-sorted elements, which also become the natural order);
  // reports `replacedContent`, also when nothing changed.
  void replaceContent(const std::vector<A>& elements) {
    std::vector<A> given = elements;
    if (sortBlock_) stableSort(given, byBlock(*sortBlock_));
    ElementSet<Key> keys;
    std::vector<A> natural;
    natural.reserve(given.size());
    for (A& e : given) {
      if (keys.insert(keyOf(e)).second) natural.push_back(std::move(e));
    }
    sorted_ = natural;
    natural_ = std::move(natural);
    keys_ = std::move(keys);
    report("replacedContent", &Observer::replacedContent);
  }

  // Empties both orders and reports `removedAll`, also when empty.
  void removeAll() {
    natural_.clear();
    sorted_.clear();
    keys_.clear();
    report("removedAll", &Observer::removedAll);
  }

  // Removes the element with the element's key (or `key`); returns the
  // stored one, nullopt when absent.
  std::optional<A> remove(const A& element) { return removeElementWithKey(keyOf(element)); }
  std::optional<A> removeElementWithKey(const Key& key) {
    const std::optional<std::int64_t> at = indexOfKey(key);
    if (!at) return std::nullopt;
    return removeElementAtIndex(*at);
  }

  // The element at sorted position `index`, or nullopt outside 0..<count.
  [[nodiscard]] std::optional<A> subscriptIndex(std::int64_t index) const {
    if (index < 0 || index >= count()) return std::nullopt;
    return sorted_[static_cast<std::size_t>(index)];
  }
  [[nodiscard]] std::optional<A> subscript(const Key& key) const {
    const std::optional<std::int64_t> at = indexOfKey(key);
    if (!at) return std::nullopt;
    return sorted_[static_cast<std::size_t>(*at)];
  }
  // The element at sorted position `index` (0..<count).
  [[nodiscard]] const A& operator[](std::int64_t index) const {
    observable_internal::checkIndex("subscript", index, 0, count());
    return sorted_[static_cast<std::size_t>(index)];
  }

  [[nodiscard]] std::int64_t startIndex() const { return 0; }
  [[nodiscard]] std::int64_t endIndex() const { return count(); }
  [[nodiscard]] std::int64_t indexAfter(std::int64_t index) const { return index + 1; }

  [[nodiscard]] Iterator makeIterator() const { return Iterator(sorted_); }
  [[nodiscard]] const_iterator begin() const { return const_iterator(this, 0); }
  [[nodiscard]] const_iterator end() const { return const_iterator(this, static_cast<difference_type>(sorted_.size())); }
  [[nodiscard]] size_type size() const { return sorted_.size(); }
  [[nodiscard]] bool empty() const { return sorted_.empty(); }

  // "OptionallySortedUrray(sortBlock:<code or n/a>, count: <n>, elements:
  // <up to five in sorted order, then , ...>)".
  [[nodiscard]] std::string description() const {
    std::string part;
    if constexpr (CustomStringConvertible<A>) {
      std::vector<std::string> texts;
      for (std::size_t i = 0; i < sorted_.size() && i < 5; ++i) texts.push_back(describe(sorted_[i]));
      part = observable_internal::listedElements(texts, sorted_.size() > 5);
    } else {
      part = sorted_.empty() ? "<none>" : "<not CustomStringConvertible>";
    }
    return observable_internal::countedDescription(
        "OptionallySortedUrray(sortBlock:" + (sortBlock_ ? sortBlock_->code() : std::string("n/a")) + ", count: ",
        count(), part);
  }

 private:
  static constexpr std::string_view kName = "OptionallySortedUrray";

  static auto byBlock(const SortBlock& block) {
    return [&block](const A& a, const A& b) { return block(a, b); };
  }

  template <class Closure, class... Args>
  void report(std::string_view name, Closure Observer::*event, const Args&... args) {
    ++changes_;  // every change reports: the iterators' stamp
    observable_internal::report(observers_, kName, name, event, static_cast<const OptionallySortedUrray&>(*this),
                                args...);
  }

  // Adds an absent element at natural position `naturalAt`.
  void add(const A& argument, std::int64_t naturalAt) {
    if (contains(argument)) throw ArrayErrors::elementAlreadyPresent(describe(argument));
    const A element = argument;
    const std::int64_t at = sortBlock_ ? insertionIndexInSortedArray(sorted_, *sortBlock_, element) : naturalAt;
    keys_.insert(keyOf(element));
    natural_.insert(natural_.begin() + naturalAt, element);
    sorted_.insert(sorted_.begin() + at, element);
    report("inserted", &Observer::inserted, at, element);
  }

  // Removes the element at sorted position `index`; reports `removed` with
  // its sorted and natural positions. Nullopt outside 0..<count.
  std::optional<A> removeElementAtIndex(std::int64_t index) {
    if (index < 0 || index >= count()) return std::nullopt;
    const std::int64_t naturalAt =
        sortBlock_ ? positionIn(natural_, keyOf(sorted_[static_cast<std::size_t>(index)])) : index;
    A element = std::move(sorted_[static_cast<std::size_t>(index)]);
    sorted_.erase(sorted_.begin() + index);
    natural_.erase(natural_.begin() + naturalAt);
    keys_.erase(keyOf(element));
    report("removed", &Observer::removed, index, naturalAt, element);
    return element;
  }

  // The position of the held `key` in `elements` (one scan).
  static std::int64_t positionIn(const std::vector<A>& elements, const Key& key) {
    const ElementEqual<Key> equal;
    for (std::size_t i = 0; i < elements.size(); ++i) {
      if (equal(keyOf(elements[i]), key)) return static_cast<std::int64_t>(i);
    }
    fatal(std::string(kName) + ": a held key is missing from its orders");
  }

  friend struct observable_internal::IterationAccess;
  static constexpr std::string_view kIterationName = "OptionallySortedUrray";

  static constexpr std::string_view kIteratorLabel = "OptionallySortedUrray iterator";
  const std::vector<A>& elementsForIteration() const { return sorted_; }

  WeaklyOwnedObjectsSphere<Observer> observers_;
  std::vector<A> natural_;
  std::vector<A> sorted_;
  ElementSet<Key> keys_;
  std::optional<SortBlock> sortBlock_;
  std::uint64_t changes_ = 0;
};

}  // namespace vantrel

template <vantrel::KeyedElement A>
  requires vantrel::ObservableHashable<A>
struct std::hash<vantrel::OptionallySortedUrray<A>> {
  std::size_t operator()(const vantrel::OptionallySortedUrray<A>& urray) const {
    return vantrel::observable_internal::orderedHash<A>(urray, urray.size());
  }
};
