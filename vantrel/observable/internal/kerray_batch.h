// The operations of `Kerray` on several elements at once, and its moves.
// Internal: include vantrel/observable/kerray.h, which includes this file.
#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <unordered_set>
#include <vector>

#include "vantrel/collections/array_moves.h"
#include "vantrel/core/describe.h"
#include "vantrel/observable/internal/texts.h"
#include "vantrel/observable/kerray.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

namespace observable_internal {

// Sorts a batch into accepted and refused elements. With the test on, an
// element is refused when its key is held or was accepted earlier in the
// same batch: testing against the content alone would let one batch store
// a key twice.
template <class E, class Held>
struct BatchSplit {
  using Key = KeyTypeOf<E>;

  BatchSplit(const Held& held, bool test) : held_(held), test_(test) {}

  // True when `element` is accepted; else its text joins the refused list.
  bool accept(const E& element) {
    if (!test_) return true;
    Key key = keyOf(element);
    if (held_.contains(key) || !batch_.insert(std::move(key)).second) {
      refused.push_back(describe(element));
      return false;
    }
    return true;
  }

  std::vector<std::string> refused;

 private:
  const Held& held_;
  bool test_;
  std::unordered_set<Key, ElementHash<Key>, ElementEqual<Key>> batch_;
};

}  // namespace observable_internal

template <KeyedElement E>
void Kerray<E>::insertMultipleDistributed(const std::vector<E>& elements,
                                          const std::vector<std::int64_t>& atIndexes,
                                          bool testForExistingElements) {
  if (elements.size() != atIndexes.size()) return;
  observable_internal::BatchSplit<E, KeyCounts> split(keys_, testForExistingElements);
  std::vector<E> accepted;
  std::vector<std::int64_t> positions;
  for (std::size_t i = 0; i < elements.size(); ++i) {
    if (!split.accept(elements[i])) continue;
    // Checked before anything is inserted: each position against the count
    // the array will have when its pair is inserted.
    observable_internal::checkIndex("insertMultipleDistributed", atIndexes[i], 0,
                                    count() + static_cast<std::int64_t>(accepted.size()) + 1);
    accepted.push_back(elements[i]);
    positions.push_back(atIndexes[i]);
  }
  const auto keepAlive = this->weak_from_this().lock();
  if (!accepted.empty()) {
    std::vector<std::size_t> hashes;
    hashes.reserve(accepted.size());
    for (const E& e : accepted) hashes.push_back(hashOf(keyOf(e)));
    for (std::size_t i = 0; i < accepted.size(); ++i) {
      addKey(keyOf(accepted[i]));
      array_.insert(array_.begin() + positions[i], accepted[i]);
      hashes_.insert(hashes_.begin() + positions[i], hashes[i]);
    }
    report("insertedMultipleDistributed", &Observer::insertedMultipleDistributed, positions, accepted);
  }
  if (!split.refused.empty()) {
    throw Errur::elementsAlreadyPresent(static_cast<std::int64_t>(split.refused.size()),
                                        observable_internal::joined(split.refused, ","));
  }
}

template <KeyedElement E>
void Kerray<E>::appendMultiple(const std::vector<E>& elements) {
  insertMultiple(elements, count(), true);
}

template <KeyedElement E>
void Kerray<E>::insertMultiple(const std::vector<E>& elements, std::int64_t atIndex,
                               bool testForExistingElements) {
  observable_internal::checkIndex("insertMultiple", atIndex, 0, count() + 1);
  observable_internal::BatchSplit<E, KeyCounts> split(keys_, testForExistingElements);
  std::vector<E> accepted;
  for (const E& e : elements) {
    if (split.accept(e)) accepted.push_back(e);
  }
  const auto keepAlive = this->weak_from_this().lock();
  if (!accepted.empty()) {
    std::vector<std::size_t> hashes;
    hashes.reserve(accepted.size());
    for (const E& e : accepted) hashes.push_back(hashOf(keyOf(e)));
    for (const E& e : accepted) addKey(keyOf(e));
    array_.insert(array_.begin() + atIndex, accepted.begin(), accepted.end());
    hashes_.insert(hashes_.begin() + atIndex, hashes.begin(), hashes.end());
    report("insertedMultipleContinuous", &Observer::insertedMultipleContinuous, atIndex, accepted);
  }
  if (!split.refused.empty()) {
    throw Errur::elementsAlreadyPresent(static_cast<std::int64_t>(split.refused.size()),
                                        observable_internal::joined(split.refused, ","));
  }
}

template <KeyedElement E>
std::vector<E> Kerray<E>::update(const std::vector<E>& elements) {
  const auto keepAlive = this->weak_from_this().lock();
  std::vector<std::int64_t> positions;
  std::vector<E> stored;
  for (const E& e : elements) {
    const std::optional<std::int64_t> at = indexOf(e);
    if (!at) continue;
    stored.push_back(e);
    array_[static_cast<std::size_t>(*at)] = stored.back();
    positions.push_back(*at);
  }
  report("updatedMultiple", &Observer::updatedMultiple, positions, stored);
  return stored;
}

template <KeyedElement E>
void Kerray<E>::move(std::int64_t from, std::int64_t to) {
  const std::int64_t n = count();
  if (from < 0 || from >= n) observable_internal::moveFromOutOfBounds(from);
  if (to < 0 || to >= n) observable_internal::moveToOutOfBounds(to);
  if (from == to) return;
  const auto keepAlive = this->weak_from_this().lock();
  const E element = vantrel::move(array_, from, to);
  vantrel::move(hashes_, from, to);
  report("moved", &Observer::moved, from, to, element);
}

template <KeyedElement E>
void Kerray<E>::move(const std::vector<std::int64_t>& from, std::int64_t to) {
  const std::int64_t n = count();
  const auto k = static_cast<std::int64_t>(from.size());
  if (to < 0 || to > n - k) observable_internal::moveToOutOfBounds(to);
  for (std::size_t i = 1; i < from.size(); ++i) {
    if (from[i] < from[i - 1]) observable_internal::sourcesNotAscending(from);
  }
  for (std::size_t i = 0; i < from.size(); ++i) {
    if (from[i] < 0 || from[i] >= n) observable_internal::moveFromOutOfBounds(from[i]);
    // A repeated source would move the element that slid into its place.
    if (i > 0 && from[i] == from[i - 1]) observable_internal::sourceRepeated(from[i]);
  }
  const auto keepAlive = this->weak_from_this().lock();
  const std::vector<E> moved = vantrel::move(array_, from, to);
  vantrel::move(hashes_, from, to);
  report("movedMultiple", &Observer::movedMultiple, from, to, moved);
}

template <KeyedElement E>
std::vector<E> Kerray<E>::remove(const std::vector<E>& elements) {
  std::vector<std::int64_t> positions;
  positions.reserve(elements.size());
  for (const E& e : elements) {
    const std::optional<std::int64_t> at = indexOf(e);
    if (!at) return {};
    positions.push_back(*at);
  }
  // A key named twice names one position: remove that element once rather
  // than the one that would slide into its place.
  std::sort(positions.begin(), positions.end());
  positions.erase(std::unique(positions.begin(), positions.end()), positions.end());
  return removeAtIndexes(positions);
}

template <KeyedElement E>
std::vector<E> Kerray<E>::removeAtIndexes(const std::vector<std::int64_t>& indexes) {
  // Checks every index (range, repeats) before removing anything.
  std::vector<E> removed = vantrel::removeAtIndexes(array_, indexes);
  vantrel::removeAtIndexes(hashes_, indexes);
  std::vector<std::int64_t> positions = indexes;
  std::sort(positions.begin(), positions.end(), std::greater<>());
  for (const E& e : removed) dropKey(keyOf(e));
  const auto keepAlive = this->weak_from_this().lock();
  report("removedMultiple", &Observer::removedMultiple, positions, removed);
  return removed;
}

}  // namespace vantrel
