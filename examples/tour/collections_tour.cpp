#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include <vantrel/collections/array_moves.h>
#include <vantrel/collections/custom_order_sort.h>
#include <vantrel/collections/named_sort_block.h>
#include <vantrel/collections/set_range_helpers.h>
#include <vantrel/collections/sorted_array.h>
#include <vantrel/collections/weakly_owned.h>
#include <vantrel/core/describe.h>
#include <vantrel/core/sort.h>

#include "tour.h"

using namespace vantrel;

namespace {

struct Listener : WeaklyOwnedObjectBase {
  using WeaklyOwnedObjectBase::WeaklyOwnedObjectBase;
  std::string name;
};

void show(const char* label, const std::string& text) { std::printf("%s %s\n", label, text.c_str()); }

}  // namespace

TOUR_SECTION(20, "Weakly owned observer lists") {
  WeaklyOwnedObjectsSphere<Listener> observers;
  auto window = std::make_shared<int>(1);
  auto panel = std::make_shared<int>(2);
  observers.createNew(window, [](Listener& l) { l.name = "window"; });
  observers.createNew(panel, [](Listener& l) { l.name = "panel"; });
  panel.reset();  // releasing the owner is how an observer stops listening
  for (const auto& listener : observers) show("notified:", listener->name);
}

TOUR_SECTION(21, "Named sort blocks and sorted insertion") {
  const NamedSortBlock<int> ascending("ascending", [](const int& a, const int& b) { return a < b; });
  const auto descending = ascending.reversed();
  std::vector<int> values = {5, 1, 4, 1, 3};
  stableSort(values, descending);
  show(descending.code().c_str(), describe(values));
  std::vector<int> sorted = {1, 3, 5};
  const auto at = insertionIndexInSortedArray(sorted, ascending, 4);
  sorted.insert(sorted.begin() + at, 4);
  show("insert 4 at", std::to_string(at) + " -> " + describe(sorted));
  show("4 at index 2 changed to 6 may stay:", describe(canElement(sorted, 6, 2, ascending)));
}

TOUR_SECTION(22, "Array removals and moves") {
  std::vector<std::string> v = {"a", "b", "c", "d", "e"};
  const auto removed = removeAtIndexes(v, {3, 0, 1});
  show("removeAtIndexes {3, 0, 1}:", describe(removed) + " leaves " + describe(v));
  std::vector<std::string> w = {"a", "b", "c", "d", "e"};
  vantrel::move(w, {1, 3}, 0);
  show("move {1, 3} to 0:", describe(w));
  std::vector<std::string> x = {"a", "b", "c", "d", "e"};
  moveToIndexAsOfNow(x, 1, 4);
  show("move 1 in front of index 4:", describe(x));
}

TOUR_SECTION(23, "Custom-order sorting") {
  const std::vector<std::string> keys = {"name", "id", "zeta", "alpha", "type"};
  const auto order = sortWithCustomOrder_prepareCustomOrderDictionary({"id", "type"});
  show("id and type first:", describe(sortWithCustomOrderAndAlphabetical(keys, order)));
}

TOUR_SECTION(24, "Ranges and tie-breaking sorts") {
  const auto merged = mergeAdjacentRanges<std::int64_t>({{0, 2}, {2, 5}, {7, 9}, {9, 10}});
  show("merged:", describe(merged));
  show("2..<5 offset by 3:", describe(offset(Range<std::int64_t>(2, 5), 3)));
  const std::vector<std::pair<int, int>> points = {{2, 1}, {1, 9}, {2, 0}};
  const auto byX = [](const std::pair<int, int>& a, const std::pair<int, int>& b) -> std::optional<bool> {
    if (a.first == b.first) return std::nullopt;
    return a.first < b.first;
  };
  const auto byY = [](const std::pair<int, int>& a, const std::pair<int, int>& b) {
    return std::optional<bool>(a.second < b.second);
  };
  show("by x, then y:", describe(sort_TwentyNine(points, {byX, byY})));
}
