// Where an element replaced in place by an update of its key stands
// afterwards, in the sorted collections and the sorted views. Internal:
// included by the collections' public headers.
//
// The element stays at `at` when its neighbours still allow it (ties may
// stay); otherwise it goes to its lower bound among the other elements. No
// other element changes place, so one `updated` or one `moved` tells a
// follower all that changed.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "vantrel/collections/sorted_array.h"
#include "vantrel/collections/weakly_owned.h"
#include "vantrel/observable/internal/blocked_array.h"
#include "vantrel/observable/internal/reporting.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API { namespace observable_internal {

// The lower bound counts the old element when that one is ordered before the
// new one; it leaves, so the place is one less.
inline std::int64_t placeAmongOthers(std::int64_t lowerBound, std::int64_t at) {
  return lowerBound > at ? lowerBound - 1 : lowerBound;
}

// For the collections that keep a plain sorted array.
template <class T>
std::int64_t placeAfterUpdate(const std::vector<T>& sorted, const NamedSortBlock<T>& sortBlock, const T& element,
                              std::int64_t at) {
  if (canElement(sorted, element, at, sortBlock)) return at;
  return placeAmongOthers(insertionIndexInSortedArray(sorted, sortBlock, element), at);
}

// For the views that keep a `BlockedArray`, ordered by `less`.
template <class T, class Less>
std::int64_t placeAfterUpdate(const BlockedArray<T>& sorted, const Less& less, const T& element, std::int64_t at) {
  const std::int64_t n = sorted.size();
  const bool stays =
      (at == 0 || !less(element, sorted[at - 1])) && (at + 1 >= n || !less(sorted[at + 1], element));
  if (stays) return at;
  return placeAmongOthers(sorted.lowerBound(less, element), at);
}

// Carries out in a view's `sorted` an update placed by `placeAfterUpdate`
// and reports it: `updated` in place, else `moved` then `updated` in one
// walk. `self` is the view as its observers' closures take it.
template <class T, class Observer, class Self>
void showPlacedUpdate(BlockedArray<T>& sorted, const WeaklyOwnedObjectsSphere<Observer>& observers,
                      std::string_view collection, Self& self, std::int64_t at, std::int64_t to, const T& element) {
  if (to == at) {
    sorted.set(at, element);
    return report(observers, collection, "updated", &Observer::updated, self, at, element);
  }
  sorted.erase(at);
  sorted.insert(to, element);
  reportMovedThenUpdated(observers, collection, self, at, to, element);
}

}}  // namespace vantrel::observable_internal
