// How `OptionallyFilteredOptionallySortedArray_BasedOnKerray` follows the
// reports of its base. Internal: include
// vantrel/observable/optionally_filtered_optionally_sorted_array_based_on_kerray.h,
// which includes this file.
#pragma once

#include <algorithm>
#include <cstdint>
#include <unordered_set>
#include <utility>
#include <vector>

#include "vantrel/collections/array_moves.h"
#include "vantrel/collections/sorted_array.h"
#include "vantrel/core/sort.h"
#include "vantrel/observable/optionally_filtered_optionally_sorted_array_based_on_kerray.h"

#include "vantrel/core/api.h"
namespace vantrel VANTREL_API {

template <EquatableKeyedElement A>
void OptionallyFilteredOptionallySortedArray_BasedOnKerray<A>::listen() {
  // The closures capture the raw view: the base calls them only while the
  // view, their owner, is alive, and keeps it alive during the call. In
  // natural order (no copy) every report passes on unchanged.
  base_->observers().createNew(this->shared_from_this(), [this](BaseObserver& o) {
    o.replacedContent = [this](Base&) {
      if (copy_) applyFilterAndSort();
      report(&Observer::replacedContent);
    };
    o.removedAll = [this](Base&) {
      if (copy_) {
        copy_->clear();
        held_.clear();
      }
      report(&Observer::removedAll);
    };
    o.inserted = [this](Base&, std::int64_t at, const A& e) {
      if (!copy_) return report(&Observer::inserted, at, e);
      followInserted(at, e);
    };
    o.insertedMultipleContinuous = [this](Base&, std::int64_t at, const std::vector<A>& elements) {
      if (!copy_) return report(&Observer::insertedMultipleContinuous, at, elements);
      followInsertions(elements);
    };
    o.insertedMultipleDistributed = [this](Base&, const Positions& at, const std::vector<A>& elements) {
      if (!copy_) return report(&Observer::insertedMultipleDistributed, at, elements);
      followInsertions(elements);
    };
    o.removed = [this](Base&, std::int64_t at, const A& e) {
      if (!copy_) return report(&Observer::removed, at, e);
      followRemoved(at, e);
    };
    o.removedMultiple = [this](Base&, const Positions& at, const std::vector<A>& elements) {
      if (!copy_) return report(&Observer::removedMultiple, at, elements);
      followRemovals(at, elements);
    };
    o.updated = [this](Base&, std::int64_t at, const A& e) {
      if (!copy_) return report(&Observer::updated, at, e);
      followUpdated(at, e);
    };
    // No event for several updates: each element as a single update.
    o.updatedMultiple = [this](Base&, const Positions& at, const std::vector<A>& elements) {
      for (std::size_t i = 0; i < at.size() && i < elements.size(); ++i) {
        if (!copy_) {
          report(&Observer::updated, at[i], elements[i]);
        } else {
          followUpdated(at[i], elements[i]);
        }
      }
    };
    o.moved = [this](Base&, std::int64_t from, std::int64_t to, const A& e) {
      if (!copy_) return report(&Observer::moved, from, to, e);
      if (!sorted()) followMoved(from, to, e);
    };
    o.movedMultiple = [this](Base&, const Positions& from, std::int64_t to, const std::vector<A>& elements) {
      if (!copy_) return report(&Observer::movedMultiple, from, to, elements);
      if (!sorted()) followMovedMultiple(from, to, elements);
    };
  });
}

// Filter-only: the copy again in base order, from the members of `held_`
// (nothing is judged again). One element per key.
template <EquatableKeyedElement A>
void OptionallyFilteredOptionallySortedArray_BasedOnKerray<A>::rebuildInBaseOrder() {
  std::vector<A> copy;
  copy.reserve(held_.size());
  std::unordered_set<Key, ElementHash<Key>, ElementEqual<Key>> emitted;
  for (const A& e : base_->array()) {
    const auto it = held_.find(keyOf(e));
    if (it != held_.end() && emitted.insert(it->first).second) copy.push_back(it->second);
  }
  copy_ = std::move(copy);
}

template <EquatableKeyedElement A>
void OptionallyFilteredOptionallySortedArray_BasedOnKerray<A>::followInserted(std::int64_t, const A& e) {
  // An element whose key is shown already (the base stored the key twice)
  // does not enter a second time.
  if (!passes(e) || held_.contains(keyOf(e))) return;
  held_.emplace(keyOf(e), e);
  std::int64_t at = 0;
  if (sorted()) {
    at = sortedInsertionIndex(e);
    copy_->insert(copy_->begin() + at, e);
  } else {
    rebuildInBaseOrder();
    at = *positionOfKey(keyOf(e));
  }
  report(&Observer::inserted, at, e);
}

template <EquatableKeyedElement A>
void OptionallyFilteredOptionallySortedArray_BasedOnKerray<A>::followInsertions(const std::vector<A>& elements) {
  std::vector<A> entering;
  for (const A& e : elements) {
    if (passes(e) && held_.try_emplace(keyOf(e), e).second) entering.push_back(e);
  }
  Positions positions;
  positions.reserve(entering.size());
  if (sorted()) {
    // In ascending order, each at its sorted position at its turn.
    stableSort(entering, byBlock());
    for (const A& e : entering) {
      const std::int64_t at = sortedInsertionIndex(e);
      copy_->insert(copy_->begin() + at, e);
      positions.push_back(at);
    }
    return report(&Observer::insertedMultipleDistributed, positions, entering);
  }
  rebuildInBaseOrder();
  // Final positions, ascending, so inserting in list order rebuilds the copy.
  std::vector<std::pair<std::int64_t, A>> placed;
  placed.reserve(entering.size());
  for (const A& e : entering) placed.emplace_back(*positionOfKey(keyOf(e)), e);
  std::sort(placed.begin(), placed.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  entering.clear();
  for (auto& [at, e] : placed) {
    positions.push_back(at);
    entering.push_back(std::move(e));
  }
  report(&Observer::insertedMultipleDistributed, positions, entering);
}

// An element leaves when its key is shown, whatever the filter says of the
// reported value; not while the base still holds its key in another element.
template <EquatableKeyedElement A>
void OptionallyFilteredOptionallySortedArray_BasedOnKerray<A>::followRemoved(std::int64_t, const A& e) {
  const Key key = keyOf(e);
  if (!held_.contains(key) || base_->containsWith(key)) return;
  const std::int64_t at = *positionOfKey(key);
  A member = std::move((*copy_)[static_cast<std::size_t>(at)]);
  copy_->erase(copy_->begin() + at);
  held_.erase(key);
  report(&Observer::removed, at, member);
}

template <EquatableKeyedElement A>
void OptionallyFilteredOptionallySortedArray_BasedOnKerray<A>::followRemovals(const Positions&,
                                                                              const std::vector<A>& elements) {
  Positions positions;
  std::unordered_set<Key, ElementHash<Key>, ElementEqual<Key>> leaving;
  for (const A& e : elements) {
    Key key = keyOf(e);
    if (!held_.contains(key) || base_->containsWith(key) || leaving.contains(key)) continue;
    positions.push_back(*positionOfKey(key));  // in the copy before any removal
    leaving.insert(std::move(key));
  }
  if (positions.empty()) return;
  std::vector<A> removed = vantrel::removeAtIndexes(*copy_, positions);
  for (const A& member : removed) held_.erase(keyOf(member));
  std::sort(positions.begin(), positions.end(), std::greater<>());
  report(&Observer::removedMultiple, positions, removed);
}

template <EquatableKeyedElement A>
void OptionallyFilteredOptionallySortedArray_BasedOnKerray<A>::followUpdated(std::int64_t, const A& e) {
  const Key key = keyOf(e);
  const auto h = held_.find(key);
  if (!passes(e)) {
    if (h == held_.end()) return;
    const std::int64_t at = *positionOfKey(key);
    copy_->erase(copy_->begin() + at);
    held_.erase(h);
    return report(&Observer::removed, at, e);
  }
  if (h == held_.end()) return followInserted(0, e);
  const std::int64_t at = *positionOfKey(key);
  h->second = e;
  auto& slot = (*copy_)[static_cast<std::size_t>(at)];
  if (!sorted() || canElement(*copy_, e, at, sortBlock_->sortBlock())) {
    slot = e;
    return report(&Observer::updated, at, e);
  }
  copy_->erase(copy_->begin() + at);
  const std::int64_t to = sortedInsertionIndex(e);
  copy_->insert(copy_->begin() + to, e);
  if (to == at) return report(&Observer::updated, at, e);
  reportMovedThenUpdated(at, to, e);
}

// One walk: each observer gets both events before the next gets either.
template <EquatableKeyedElement A>
void OptionallyFilteredOptionallySortedArray_BasedOnKerray<A>::reportMovedThenUpdated(std::int64_t from,
                                                                                      std::int64_t to, const A& e) {
  for (auto it = observers_.begin(); it != observers_.end(); ++it) {
    const auto owner = (*it)->owner();
    if (!owner) continue;
    const auto moved = (**it).moved;
    if (moved) moved(*this, from, to, e);
    const auto updated = (**it).updated;
    if (updated) updated(*this, to, e);
  }
}

// Filter-only: the copy follows the base's order, and the move is reported
// in view positions (nothing when the element is not shown or keeps its
// place among the shown ones).
template <EquatableKeyedElement A>
void OptionallyFilteredOptionallySortedArray_BasedOnKerray<A>::followMoved(std::int64_t, std::int64_t,
                                                                           const A& e) {
  const Key key = keyOf(e);
  const auto h = held_.find(key);
  if (h == held_.end()) return;
  const std::int64_t from = *positionOfKey(key);
  rebuildInBaseOrder();
  const std::int64_t to = *positionOfKey(key);
  if (from != to) report(&Observer::moved, from, to, h->second);
}

template <EquatableKeyedElement A>
void OptionallyFilteredOptionallySortedArray_BasedOnKerray<A>::followMovedMultiple(const Positions&, std::int64_t,
                                                                                   const std::vector<A>& elements) {
  Positions from;
  std::vector<Key> keys;
  for (const A& e : elements) {
    Key key = keyOf(e);
    if (!held_.contains(key)) continue;
    from.push_back(*positionOfKey(key));
    keys.push_back(std::move(key));
  }
  if (from.empty()) return;
  std::vector<A> before = *copy_;
  rebuildInBaseOrder();
  std::int64_t to = static_cast<std::int64_t>(copy_->size());
  for (const Key& key : keys) to = std::min(to, *positionOfKey(key));
  std::sort(from.begin(), from.end());
  // The shown ones of a moved block stay together, in their order.
  std::vector<A> moved = vantrel::move(before, from, to);
  report(&Observer::movedMultiple, from, to, moved);
}

}  // namespace vantrel
