// File: vantrel/collections/custom_order_sort.h
//
// Sorting texts by an order the caller names: the listed texts first, by
// rank, the others behind them.
//
//   std::vector<std::string> keys = {"b", "x", "a", "c"};
//   sortWithCustomOrderAndAlphabetical(keys, sortWithCustomOrder_prepareCustomOrderDictionary({"c", "a"}))
//       // {"c", "a", "b", "x"}
//   sortWithCustomOrder(keys, {"c", "a"})     // {"c", "a", "b", "x"}: b and x unordered
//
// Rules:
// - A `CustomOrderDictionary` maps a text to its rank; lower ranks first.
// - `sortWithCustomOrder` gives unlisted texts the rank 9999, so a listed
//   text ranked 9999 or more sorts with or behind them. The list form ranks
//   the list's texts from 1; `sortWithCustomOrder_prepareCustomOrderDictionary`
//   ranks them from 0.
// - `sortWithCustomOrderAndAlphabetical` puts every listed text before every
//   unlisted one whatever the rank, and orders the unlisted ones by the
//   library's text order (`compareText`, vantrel/text/comparison.h).
// - Texts the rule does not separate keep their order in the input (the sort
//   is stable); repeated texts are all kept. Keys are matched under
//   canonical equivalence, like every text comparison of the library.
//
// A text listed twice in an order list is a caller error: building the
// dictionary stops the program ("Duplicate values for key: '<text>'").
// Each operation returns a new vector: O(n log n) after one rank lookup per
// text. Pure; thread-safe.
#pragma once

#include <concepts>
#include <cstdint>
#include <initializer_list>
#include <ranges>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "vantrel/text/comparison.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

using CustomOrderDictionary = std::unordered_map<std::string, std::int64_t, TextHash, TextEqual>;

template <class R>
concept TextRange = std::ranges::input_range<R> &&
                    std::convertible_to<std::ranges::range_reference_t<R>, std::string_view>;

namespace collections_internal {
std::vector<std::string> sortWithCustomOrder(std::vector<std::string> texts,
                                             const CustomOrderDictionary& order);
std::vector<std::string> sortWithCustomOrderAndAlphabetical(std::vector<std::string> texts,
                                                            const CustomOrderDictionary& order);
CustomOrderDictionary rankedFrom(const std::vector<std::string>& list, std::int64_t firstRank);

template <TextRange R>
std::vector<std::string> textVector(const R& texts) {
  std::vector<std::string> out;
  for (auto&& text : texts) out.emplace_back(std::string_view(text));
  return out;
}
}  // namespace collections_internal

// Each text of `list` mapped to its position, counted from 0.
[[nodiscard]] inline CustomOrderDictionary sortWithCustomOrder_prepareCustomOrderDictionary(
    const std::vector<std::string>& list) {
  return collections_internal::rankedFrom(list, 0);
}

// Sorted by rank; unlisted texts rank 9999.
template <TextRange R>
[[nodiscard]] std::vector<std::string> sortWithCustomOrder(const R& texts,
                                                           const CustomOrderDictionary& order) {
  return collections_internal::sortWithCustomOrder(collections_internal::textVector(texts), order);
}

// Sorted by position in `list`, counted from 1; unlisted texts rank 9999.
template <TextRange R>
[[nodiscard]] std::vector<std::string> sortWithCustomOrder(const R& texts,
                                                           const std::vector<std::string>& list) {
  return collections_internal::sortWithCustomOrder(collections_internal::textVector(texts),
                                                   collections_internal::rankedFrom(list, 1));
}

// The same with the list written in place: sortWithCustomOrder(texts, {"c", "a"}).
template <TextRange R>
[[nodiscard]] std::vector<std::string> sortWithCustomOrder(const R& texts,
                                                           std::initializer_list<std::string> list) {
  return sortWithCustomOrder(texts, std::vector<std::string>(list));
}

// Listed texts first, by rank; then the unlisted ones in text order.
template <TextRange R>
[[nodiscard]] std::vector<std::string> sortWithCustomOrderAndAlphabetical(
    const R& texts, const CustomOrderDictionary& order) {
  return collections_internal::sortWithCustomOrderAndAlphabetical(
      collections_internal::textVector(texts), order);
}

}  // namespace vantrel
