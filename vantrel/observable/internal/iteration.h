// The standard-style iterators and content hashes of the observable
// collections and views.
// Internal: include the public headers (kerray.h, urray.h, ...).
//
// `PositionIterator` walks a collection that reads an element by position
// in O(1); `HashIterator` walks one kept in a hash table (forward only, as
// the table is). Neither allocates nor copies an element per step: `*it`
// is a reference into the collection.
//
// A change invalidates every iterator of the collection. Each collection
// counts its changes (before it reports them); an iterator remembers the
// count of its making and compares it on every access, in every build, so
// a stale one stops the program instead of reading freed or moved
// storage. The count does not change inside a loop that does not change
// the collection, so the compiler keeps its load out of the loop. A
// position iterator also reads through the collection, which checks the
// position against the content of the moment; a hash iterator compares its
// entry with the table's end before it reads or steps. Comparing iterators
// of two different collections stops the program too: these are the
// library's one iterator-check policy (vantrel/core/indexed_iterator.h).
#pragma once

#include <compare>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string_view>

#include "vantrel/collections/element_hash.h"
#include "vantrel/core/hash_combine.h"
#include "vantrel/core/indexed_iterator.h"
#include "vantrel/observable/internal/texts.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API { namespace observable_internal {

// Stops with "<collection> changed while an iterator over it was in use".
[[noreturn]] void changedWhileIterating(std::string_view collection);
// Stops with "<collection> iterator <action> at its end" (`action`: "read",
// "advanced").
[[noreturn]] void iteratorAtEnd(std::string_view collection, std::string_view action);

// What the iterators read of a collection; each collection befriends it.
// A collection provides `changes_` (its count of changes), `kIterationName`,
// and, for position iterators, `elementsForIteration()` (the vector read in
// place) with `kIteratorLabel` (what a read outside it is reported as), or,
// for hash iterators, `tableForIteration()`.
struct IterationAccess {
  template <class C>
  static std::string_view name() {
    return C::kIterationName;
  }
  template <class C>
  static std::uint64_t changes(const C& c) {
    return c.changes_;
  }
  // The one element read of every position iterator: element `i` of the
  // content of the moment, which stops the program when `i` is outside it.
  template <class C>
  static const auto& at(const C& c, std::ptrdiff_t i) {
    const auto& elements = c.elementsForIteration();
    if (static_cast<std::size_t>(i) >= elements.size()) {
      indexOutOfRange(C::kIteratorLabel, i, 0, static_cast<std::int64_t>(elements.size()));
    }
    return elements[static_cast<std::size_t>(i)];
  }
  template <class C>
  static decltype(auto) table(const C& c) {
    return c.tableForIteration();
  }
};

template <class C, class T>
class PositionIterator : public IndexedIterator<PositionIterator<C, T>, T, const T&> {
  using Base = IndexedIterator<PositionIterator<C, T>, T, const T&>;

 public:
  PositionIterator() = default;
  PositionIterator(const C* collection, std::ptrdiff_t position)
      : Base(collection, position), collection_(collection), stamp_(IterationAccess::changes(*collection)) {}

 private:
  friend Base;

  const T& readAt(std::ptrdiff_t position) const {
    if (stamp_ != IterationAccess::changes(*collection_)) [[unlikely]] {
      changedWhileIterating(IterationAccess::name<C>());
    }
    return IterationAccess::at(*collection_, position);
  }

  const C* collection_ = nullptr;
  std::uint64_t stamp_ = 0;
};

// Over a hash table's entries, giving `Project{}(entry)` (the element).
template <class C, class T, class TableIterator, class Project>
class HashIterator {
 public:
  using iterator_concept = std::forward_iterator_tag;
  using iterator_category = std::forward_iterator_tag;
  using value_type = T;
  using difference_type = std::ptrdiff_t;
  using pointer = const T*;
  using reference = const T&;

  HashIterator() = default;
  HashIterator(const C* collection, TableIterator entry)
      : collection_(collection), entry_(entry), stamp_(IterationAccess::changes(*collection)) {}

  reference operator*() const {
    checkInside("read");
    return Project{}(*entry_);
  }
  pointer operator->() const { return &**this; }
  HashIterator& operator++() {
    checkInside("advanced");
    ++entry_;
    return *this;
  }
  HashIterator operator++(int) {
    HashIterator old = *this;
    ++*this;
    return old;
  }
  friend bool operator==(const HashIterator& a, const HashIterator& b) {
    checkSameSequence(a.collection_, b.collection_);
    return a.entry_ == b.entry_;
  }

 private:
  // The table's end node is no element: reading or stepping there would go
  // through a null node. Only an unchanged collection's table is asked for
  // its end, so the comparison is against the table this iterator walks.
  void checkInside(std::string_view action) const {
    if (stamp_ != IterationAccess::changes(*collection_)) [[unlikely]] {
      changedWhileIterating(IterationAccess::name<C>());
    }
    if (entry_ == IterationAccess::table(*collection_).end()) [[unlikely]] {
      iteratorAtEnd(IterationAccess::name<C>(), action);
    }
  }

  const C* collection_ = nullptr;
  TableIterator entry_{};
  std::uint64_t stamp_ = 0;
};

struct ElementItself {
  template <class T>
  const T& operator()(const T& element) const {
    return element;
  }
};
struct EntryValue {
  template <class Entry>
  const auto& operator()(const Entry& entry) const {
    return entry.second;
  }
};

// The hash of a sequence: the element hashes combined in order.
template <class E, class Range>
std::size_t orderedHash(const Range& elements, std::size_t count) {
  const ElementHash<E> hash;
  std::size_t seed = static_cast<std::size_t>(hashMix(count));
  for (const E& e : elements) seed = hashCombine(seed, static_cast<std::uint64_t>(hash(e)));
  return seed;
}

// The hash of a set: the same whatever the order of iteration.
template <class E, class Range>
std::size_t unorderedHash(const Range& elements, std::size_t count) {
  const ElementHash<E> hash;
  std::uint64_t sum = hashMix(count);
  for (const E& e : elements) sum += hashMix(static_cast<std::uint64_t>(hash(e)));
  return static_cast<std::size_t>(hashMix(sum));
}

}}  // namespace vantrel::observable_internal
