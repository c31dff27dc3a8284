// File: vantrel/core/sort.h
//
// `stableSort`: the one way the library sorts with a caller's comparator.
//
//   stableSort(names, [](const auto& a, const auto& b) { return a.size() < b.size(); });
//
// A caller's comparator may not be a strict weak order (a reversed sort block
// negates `<` into `>=`). `std::sort` may then read past the ends of the
// range; `std::stable_sort` only relies on each comparison being answered
// consistently, so it stays in bounds and merely yields some order. Equal
// elements keep their relative order.
#pragma once

#include <algorithm>
#include <functional>
#include <iterator>
#include <ranges>

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

template <std::random_access_iterator It, class Compare = std::less<>>
void stableSort(It first, It last, Compare compare = {}) {
  std::stable_sort(first, last, std::ref(compare));
}

template <std::ranges::random_access_range R, class Compare = std::less<>>
void stableSort(R&& range, Compare compare = {}) {
  std::stable_sort(std::ranges::begin(range), std::ranges::end(range), std::ref(compare));
}

// A sorted copy.
template <class Container, class Compare = std::less<>>
[[nodiscard]] Container stableSorted(Container values, Compare compare = {}) {
  stableSort(values, std::move(compare));
  return values;
}

}  // namespace vantrel
