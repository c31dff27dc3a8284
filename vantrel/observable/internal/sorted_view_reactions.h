// How `OptionallyFilteredOptionallySortedArray_BasedOnKerray` follows the
// reports of its base. Internal: include
// vantrel/observable/optionally_filtered_optionally_sorted_array_based_on_kerray.h,
// which includes this file.
//
// Every reaction first calls the caller's code it needs (filter,
// comparator, key functions through the key maps) and only then changes
// `held_`, `shown_` and the copy. Each runs inside `following`, so a throw
// stops the program naming the view and the base's event.
#pragma once

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <numeric>
#include <unordered_set>
#include <utility>
#include <vector>

#include "vantrel/collections/array_moves.h"
#include "vantrel/collections/sorted_array.h"
#include "vantrel/core/sort.h"
#include "vantrel/observable/internal/fenwick.h"
#include "vantrel/observable/optionally_filtered_optionally_sorted_array_based_on_kerray.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

template <EquatableKeyedElement A>
void OptionallyFilteredOptionallySortedArray_BasedOnKerray<A>::listen() {
  // The closures capture the raw view: the base calls them only while the
  // view, their owner, is alive, and keeps it alive during the call. In
  // natural order (no copy) every report passes on unchanged.
  using observable_internal::following;
  base_->observers().createNew(this->shared_from_this(), [this](BaseObserver& o) {
    o.replacedContent = [this](Base&) {
      following(kName, "replacedContent", [&] {
        if (copy_) applyFilterAndSort();
        report("replacedContent", &Observer::replacedContent);
      });
    };
    o.removedAll = [this](Base&) {
      following(kName, "removedAll", [&] {
        if (copy_) {
          copy_->clear();
          stale_ = false;
          sorted_.clear();
          held_.clear();
          shown_.clear();
          reentering_.clear();
        }
        report("removedAll", &Observer::removedAll);
      });
    };
    o.inserted = [this](Base&, std::int64_t at, const A& e) {
      following(kName, "inserted", [&] {
        if (!copy_) return report("inserted", &Observer::inserted, at, e);
        if (sorted()) return sortedInserted(e);
        inPlaceInserted(at, e);
      });
    };
    o.insertedMultipleContinuous = [this](Base&, std::int64_t at, const std::vector<A>& elements) {
      following(kName, "insertedMultipleContinuous", [&] {
        if (!copy_) return report("insertedMultipleContinuous", &Observer::insertedMultipleContinuous, at, elements);
        if (sorted()) return sortedInsertions(elements);
        Positions positions(elements.size());
        for (std::size_t i = 0; i < positions.size(); ++i) positions[i] = at + static_cast<std::int64_t>(i);
        inPlaceInsertions(positions, elements);
      });
    };
    o.insertedMultipleDistributed = [this](Base&, const Positions& at, const std::vector<A>& elements) {
      following(kName, "insertedMultipleDistributed", [&] {
        if (!copy_) return report("insertedMultipleDistributed", &Observer::insertedMultipleDistributed, at, elements);
        if (sorted()) return sortedInsertions(elements);
        inPlaceInsertions(at, elements);
      });
    };
    o.removed = [this](Base&, std::int64_t at, const A& e) {
      following(kName, "removed", [&] {
        if (!copy_) return report("removed", &Observer::removed, at, e);
        if (sorted()) return sortedRemoved(e);
        inPlaceRemoved(at, e);
      });
    };
    o.removedMultiple = [this](Base&, const Positions& at, const std::vector<A>& elements) {
      following(kName, "removedMultiple", [&] {
        if (!copy_) return report("removedMultiple", &Observer::removedMultiple, at, elements);
        if (sorted()) return sortedRemovals(elements);
        inPlaceRemovals(at, elements);
      });
    };
    o.updated = [this](Base&, std::int64_t at, const A& e) {
      following(kName, "updated", [&] {
        if (!copy_) return report("updated", &Observer::updated, at, e);
        if (sorted()) return sortedUpdated(e);
        inPlaceUpdated(at, e);
      });
    };
    // No event for several updates: each element as a single update.
    o.updatedMultiple = [this](Base&, const Positions& at, const std::vector<A>& elements) {
      following(kName, "updatedMultiple", [&] {
        for (std::size_t i = 0; i < at.size() && i < elements.size(); ++i) {
          if (!copy_) {
            report("updated", &Observer::updated, at[i], elements[i]);
          } else if (sorted()) {
            sortedUpdated(elements[i]);
          } else {
            inPlaceUpdated(at[i], elements[i]);
          }
        }
      });
    };
    o.moved = [this](Base&, std::int64_t from, std::int64_t to, const A& e) {
      following(kName, "moved", [&] {
        if (!copy_) return report("moved", &Observer::moved, from, to, e);
        if (!sorted()) inPlaceMoved(from, to);
      });
    };
    o.movedMultiple = [this](Base&, const Positions& from, std::int64_t to, const std::vector<A>& elements) {
      following(kName, "movedMultiple", [&] {
        if (!copy_) return report("movedMultiple", &Observer::movedMultiple, from, to, elements);
        if (!sorted()) inPlaceMovedMultiple(from, to);
      });
    };
  });
}

// ---- Sorted mode ----

template <EquatableKeyedElement A>
void OptionallyFilteredOptionallySortedArray_BasedOnKerray<A>::sortedInserted(const A& e) {
  // An element whose key is shown already (the base stored the key twice)
  // does not enter a second time.
  const Key& key = keyOf(e);
  if (!passes(e) || held_.contains(key)) return;
  const std::int64_t at = sortedInsertionIndex(e);
  held_.emplace(key, e);
  sorted_.insert(at, e);
  stale_ = true;
  report("inserted", &Observer::inserted, at, e);
}

// The entering elements in ascending order, each at its place in the copy
// as it was plus the number inserted before it: the positions at which
// inserting them in list order rebuilds the new content.
template <EquatableKeyedElement A>
void OptionallyFilteredOptionallySortedArray_BasedOnKerray<A>::sortedInsertions(const std::vector<A>& elements) {
  std::vector<A> entering;
  std::unordered_set<Key, ElementHash<Key>, ElementEqual<Key>> batch;
  for (const A& e : elements) {
    const Key& key = keyOf(e);
    if (passes(e) && !held_.contains(key) && batch.insert(key).second) entering.push_back(e);
  }
  stableSort(entering, byBlock());
  Positions positions;
  positions.reserve(entering.size());
  for (std::size_t i = 0; i < entering.size(); ++i) {
    positions.push_back(sortedInsertionIndex(entering[i]) + static_cast<std::int64_t>(i));
  }
  for (const A& e : entering) held_.emplace(keyOf(e), e);
  for (std::size_t i = 0; i < entering.size(); ++i) sorted_.insert(positions[i], entering[i]);
  stale_ = true;
  report("insertedMultipleDistributed", &Observer::insertedMultipleDistributed, positions, entering);
}

// An element leaves when its key is shown, whatever the filter says of the
// reported value. While the base still holds its key in another element,
// the view shows that element instead (`sortedFollowRemaining`).
template <EquatableKeyedElement A>
void OptionallyFilteredOptionallySortedArray_BasedOnKerray<A>::sortedRemoved(const A& e) {
  const Key& key = keyOf(e);
  const auto h = held_.find(key);
  if (h == held_.end()) return;
  if (base_->containsWith(key)) return sortedFollowRemaining(key);
  const std::int64_t at = shownPosition(key);
  held_.erase(h);
  A member = sorted_.erase(at);
  stale_ = true;
  report("removed", &Observer::removed, at, member);
}

template <EquatableKeyedElement A>
void OptionallyFilteredOptionallySortedArray_BasedOnKerray<A>::sortedRemovals(const std::vector<A>& elements) {
  Positions positions;
  std::unordered_set<Key, ElementHash<Key>, ElementEqual<Key>> leaving;
  std::vector<Key> remaining;
  for (const A& e : elements) {
    const Key& key = keyOf(e);
    if (!held_.contains(key) || leaving.contains(key)) continue;
    if (base_->containsWith(key)) {
      remaining.push_back(key);
      continue;
    }
    positions.push_back(shownPosition(key));  // in the copy before any removal
    leaving.insert(key);
  }
  if (!positions.empty()) {
    std::vector<typename Held::iterator> members;
    members.reserve(leaving.size());
    for (const Key& key : leaving) members.push_back(held_.find(key));
    for (const auto& member : members) held_.erase(member);
    std::sort(positions.begin(), positions.end(), std::greater<>());
    std::vector<A> removed;
    removed.reserve(positions.size());
    for (const std::int64_t at : positions) removed.push_back(sorted_.erase(at));
    stale_ = true;
    report("removedMultiple", &Observer::removedMultiple, positions, removed);
  }
  for (const Key& key : remaining) sortedFollowRemaining(key);
}

// The shown element of a key the base holds several times left the base or
// stopped passing: the view shows the base's first passing element of that
// key instead (as an update or an insertion), or none.
template <EquatableKeyedElement A>
void OptionallyFilteredOptionallySortedArray_BasedOnKerray<A>::sortedFollowRemaining(const Key& key) {
  const std::optional<A> remaining = firstPassingWithKey(key);
  const auto h = held_.find(key);
  if (!remaining) {
    if (h == held_.end()) return;
    const std::int64_t at = shownPosition(key);
    held_.erase(h);
    A member = sorted_.erase(at);
    stale_ = true;
    return report("removed", &Observer::removed, at, member);
  }
  if (h == held_.end()) return sortedInserted(*remaining);
  if (!(h->second == *remaining)) sortedUpdated(*remaining);
}

template <EquatableKeyedElement A>
std::optional<A> OptionallyFilteredOptionallySortedArray_BasedOnKerray<A>::firstPassingWithKey(const Key& key) const {
  const ElementEqual<Key> equal;
  for (const A& e : base_->array()) {
    if (equal(keyOf(e), key) && passes(e)) return e;
  }
  return std::nullopt;
}

template <EquatableKeyedElement A>
void OptionallyFilteredOptionallySortedArray_BasedOnKerray<A>::sortedUpdated(const A& e) {
  const Key& key = keyOf(e);
  const auto h = held_.find(key);
  if (!passes(e)) {
    if (h == held_.end()) return;
    const std::int64_t at = shownPosition(key);
    const bool repeated = observable_internal::KeyCount::of(*base_, key) > 1;
    held_.erase(h);
    sorted_.erase(at);
    stale_ = true;
    report("removed", &Observer::removed, at, e);
    if (repeated) sortedFollowRemaining(keyOf(e));
    return;
  }
  if (h == held_.end()) return sortedInserted(e);
  const std::int64_t at = shownPosition(key);
  const std::int64_t to = observable_internal::placeAfterUpdate(sorted_, sortBlock_->sortBlock(), e, at);
  h->second = e;
  stale_ = true;
  ++changes_;
  observable_internal::showPlacedUpdate(sorted_, observers_, kName, *this, at, to, e);
}

// ---- Filter-only mode: `shown_` has one flag per base position ----

template <EquatableKeyedElement A>
void OptionallyFilteredOptionallySortedArray_BasedOnKerray<A>::inPlaceInserted(std::int64_t at, const A& e) {
  const Key& key = keyOf(e);
  const bool enters = passes(e) && !held_.contains(key);
  if (!enters) {
    shown_.insert(at, false);
    return reenterWhenInStep();
  }
  held_.emplace(key, e);
  shown_.insert(at, true);
  const std::int64_t v = shown_.rank(at);
  copy_->insert(copy_->begin() + v, e);
  report("inserted", &Observer::inserted, v, e);
  reenterWhenInStep();
}

template <EquatableKeyedElement A>
void OptionallyFilteredOptionallySortedArray_BasedOnKerray<A>::inPlaceRemoved(std::int64_t at, const A& e) {
  if (!shown_.test(at)) return shown_.erase(at);
  const Key& key = keyOf(e);
  const auto h = held_.find(key);
  if (h == held_.end()) fatal(std::string(kName) + ": a shown element's key is not held (" + description() + ")");
  const bool again = base_->containsWith(key);
  const std::int64_t v = shown_.rank(at);
  held_.erase(h);
  A member = std::move((*copy_)[static_cast<std::size_t>(v)]);
  copy_->erase(copy_->begin() + v);
  shown_.erase(at);
  report("removed", &Observer::removed, v, member);
  if (again) reenter(std::vector<Key>{keyOf(e)});
}

// Insertions one after the other, each at its base position of that
// moment. The view reports the entering elements at their final positions
// in the new copy, ascending: read as final positions or applied in list
// order, they rebuild the new content either way.
template <EquatableKeyedElement A>
void OptionallyFilteredOptionallySortedArray_BasedOnKerray<A>::inPlaceInsertions(const Positions& at,
                                                                               const std::vector<A>& elements) {
  const std::size_t n = std::min(at.size(), elements.size());
  std::vector<std::uint8_t> enters(n, 0);
  std::size_t entering = 0;
  std::unordered_set<Key, ElementHash<Key>, ElementEqual<Key>> batch;
  for (std::size_t i = 0; i < n; ++i) {
    const Key& key = keyOf(elements[i]);
    enters[i] = passes(elements[i]) && !held_.contains(key) && batch.insert(key).second;
    entering += enters[i];
  }
  for (std::size_t i = 0; i < n; ++i) {
    if (enters[i]) held_.emplace(keyOf(elements[i]), elements[i]);
  }
  // The view position of each entering element at its moment.
  Positions momentary;
  std::vector<std::size_t> entered;
  momentary.reserve(entering);
  entered.reserve(entering);
  for (std::size_t i = 0; i < n; ++i) {
    shown_.insert(at[i], enters[i] != 0);
    if (!enters[i]) continue;
    momentary.push_back(shown_.rank(at[i]));
    entered.push_back(i);
  }
  const Positions final = observable_internal::finalPositions(momentary, copy_->size() + entering);
  std::vector<std::size_t> order(entered.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return final[a] < final[b]; });
  // Built front to back: each final position is the copy's next slot or
  // lies behind the old elements taken so far.
  std::vector<A> next;
  next.reserve(copy_->size() + entering);
  Positions positions;
  std::vector<A> reported;
  positions.reserve(entering);
  reported.reserve(entering);
  auto old = std::make_move_iterator(copy_->begin());
  for (const std::size_t k : order) {
    const auto slot = static_cast<std::size_t>(final[k]);
    while (next.size() < slot) next.push_back(*old++);
    next.push_back(elements[entered[k]]);
    positions.push_back(final[k]);
    reported.push_back(elements[entered[k]]);
  }
  next.insert(next.end(), old, std::make_move_iterator(copy_->end()));
  *copy_ = std::move(next);
  report("insertedMultipleDistributed", &Observer::insertedMultipleDistributed, positions, reported);
  reenterWhenInStep();
}

// `at` highest first, each a base position before the removal. A shown
// element leaves whatever the filter says of it; when the base still holds
// its key in another element, that element enters in its place afterwards.
template <EquatableKeyedElement A>
void OptionallyFilteredOptionallySortedArray_BasedOnKerray<A>::inPlaceRemovals(const Positions& at,
                                                                             const std::vector<A>& elements) {
  const std::size_t n = std::min(at.size(), elements.size());
  std::vector<typename Held::iterator> members;
  std::vector<Key> again;
  for (std::size_t i = 0; i < n; ++i) {
    if (!shown_.test(at[i])) continue;
    const Key& key = keyOf(elements[i]);
    const auto h = held_.find(key);
    if (h == held_.end()) {
      fatal(std::string(kName) + ": a shown element's key is not held (" + description() + ")");
    }
    members.push_back(h);
    if (base_->containsWith(key)) again.push_back(key);
  }
  Positions positions;
  std::vector<A> removed;
  positions.reserve(members.size());
  removed.reserve(members.size());
  for (const auto& member : members) held_.erase(member);
  for (std::size_t i = 0; i < n; ++i) {
    if (shown_.test(at[i])) {
      const std::int64_t v = shown_.rank(at[i]);
      positions.push_back(v);
      removed.push_back(std::move((*copy_)[static_cast<std::size_t>(v)]));
      copy_->erase(copy_->begin() + v);
    }
    shown_.erase(at[i]);
  }
  if (!positions.empty()) report("removedMultiple", &Observer::removedMultiple, positions, removed);
  if (!again.empty()) reenter(again);
}

// Each key's first passing element in the base enters. The base may be a
// report ahead (a re-keying update reports removed, then inserted, both
// after the change): the keys wait until the flags again cover the base.
template <EquatableKeyedElement A>
void OptionallyFilteredOptionallySortedArray_BasedOnKerray<A>::reenter(const std::vector<Key>& keys) {
  reentering_.insert(reentering_.end(), keys.begin(), keys.end());
  reenterWhenInStep();
}

template <EquatableKeyedElement A>
void OptionallyFilteredOptionallySortedArray_BasedOnKerray<A>::reenterWhenInStep() {
  if (reentering_.empty() || !filterOnly() || shown_.size() != base_->count()) return;
  const std::vector<Key> keys = std::move(reentering_);
  reentering_.clear();
  const ElementEqual<Key> equal;
  const std::vector<A>& all = base_->array();
  for (const Key& key : keys) {
    if (held_.contains(key)) continue;
    const auto first =
        std::find_if(all.begin(), all.end(), [&](const A& e) { return equal(keyOf(e), key) && passes(e); });
    if (first == all.end()) continue;
    const auto q = static_cast<std::int64_t>(first - all.begin());
    const A e = *first;
    held_.emplace(key, e);
    shown_.set(q, true);
    const std::int64_t v = shown_.rank(q);
    copy_->insert(copy_->begin() + v, e);
    report("inserted", &Observer::inserted, v, e);
  }
}

template <EquatableKeyedElement A>
void OptionallyFilteredOptionallySortedArray_BasedOnKerray<A>::inPlaceUpdated(std::int64_t at, const A& e) {
  const bool pass = passes(e);
  const Key& key = keyOf(e);
  if (shown_.test(at) && pass) {
    // The key stays: `held_` (whose values only the sorted mode reads) is
    // not touched.
    const std::int64_t v = shown_.rank(at);
    (*copy_)[static_cast<std::size_t>(v)] = e;
    return report("updated", &Observer::updated, v, e);
  }
  const auto h = held_.find(key);
  if (shown_.test(at)) {
    if (h == held_.end()) {
      fatal(std::string(kName) + ": a shown element's key is not held (" + description() + ")");
    }
    const std::int64_t v = shown_.rank(at);
    const bool repeated = observable_internal::KeyCount::of(*base_, key) > 1;
    held_.erase(h);
    copy_->erase(copy_->begin() + v);
    shown_.set(at, false);
    report("removed", &Observer::removed, v, e);
    if (repeated) reenter(std::vector<Key>{keyOf(e)});
    return;
  }
  // Not shown here: it enters when it passes, unless its key is shown at
  // another element of the base.
  if (!pass || h != held_.end()) return;
  held_.emplace(key, e);
  shown_.set(at, true);
  const std::int64_t v = shown_.rank(at);
  copy_->insert(copy_->begin() + v, e);
  report("inserted", &Observer::inserted, v, e);
}

// The copy follows the base's order; the move is reported in view
// positions (nothing when the element is not shown or keeps its place
// among the shown ones).
template <EquatableKeyedElement A>
void OptionallyFilteredOptionallySortedArray_BasedOnKerray<A>::inPlaceMoved(std::int64_t from, std::int64_t to) {
  const bool isShown = shown_.test(from);
  const std::int64_t viewFrom = shown_.rank(from);
  shown_.erase(from);
  shown_.insert(to, isShown);
  if (!isShown) return;
  const std::int64_t viewTo = shown_.rank(to);
  if (viewFrom == viewTo) return;
  const A member = vantrel::move(*copy_, viewFrom, viewTo);
  report("moved", &Observer::moved, viewFrom, viewTo, member);
}

// The shown ones of a moved block stay together, in their order, and land
// in front of the shown elements that follow the block.
template <EquatableKeyedElement A>
void OptionallyFilteredOptionallySortedArray_BasedOnKerray<A>::inPlaceMovedMultiple(const Positions& from,
                                                                                  std::int64_t to) {
  Positions viewFrom;
  for (const std::int64_t f : from) {
    if (shown_.test(f)) viewFrom.push_back(shown_.rank(f));
  }
  std::vector<std::uint8_t> flags = shown_.flags();
  vantrel::move(flags, from, to);
  shown_.assign(flags);
  if (viewFrom.empty()) return;
  const std::int64_t viewTo = shown_.rank(to);
  std::vector<A> moved = vantrel::move(*copy_, viewFrom, viewTo);
  report("movedMultiple", &Observer::movedMultiple, viewFrom, viewTo, moved);
}

}  // namespace vantrel
