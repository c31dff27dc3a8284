#include "vantrel/collections/custom_order_sort.h"

#include <optional>
#include <utility>

#include <fmt/format.h>

#include "vantrel/core/fatal.h"
#include "vantrel/core/sort.h"

namespace vantrel::collections_internal {
namespace {

constexpr std::int64_t kUnlistedRank = 9999;

// Each text with its rank looked up once; the sort then compares ranks
// instead of hashing texts on every comparison.
struct Ranked {
  std::optional<std::int64_t> rank;
  std::string text;
};

std::vector<Ranked> ranked(std::vector<std::string> texts, const CustomOrderDictionary& order) {
  std::vector<Ranked> out;
  out.reserve(texts.size());
  for (std::string& text : texts) {
    auto it = order.find(text);
    out.push_back({it == order.end() ? std::nullopt : std::optional(it->second), std::move(text)});
  }
  return out;
}

std::vector<std::string> texts(std::vector<Ranked> sorted) {
  std::vector<std::string> out;
  out.reserve(sorted.size());
  for (Ranked& r : sorted) out.push_back(std::move(r.text));
  return out;
}

}  // namespace

CustomOrderDictionary rankedFrom(const std::vector<std::string>& list, std::int64_t firstRank) {
  CustomOrderDictionary order;
  order.reserve(list.size());
  std::int64_t rank = firstRank;
  for (const std::string& text : list) {
    if (!order.emplace(text, rank++).second) {
      fatal(fmt::format("Duplicate values for key: '{}'", text));
    }
  }
  return order;
}

std::vector<std::string> sortWithCustomOrder(std::vector<std::string> texts_,
                                             const CustomOrderDictionary& order) {
  // An empty order separates nothing: the texts stay as they are.
  if (order.empty()) return texts_;
  auto items = ranked(std::move(texts_), order);
  stableSort(items, [](const Ranked& a, const Ranked& b) {
    return a.rank.value_or(kUnlistedRank) < b.rank.value_or(kUnlistedRank);
  });
  return texts(std::move(items));
}

std::vector<std::string> sortWithCustomOrderAndAlphabetical(std::vector<std::string> texts_,
                                                            const CustomOrderDictionary& order) {
  auto items = ranked(std::move(texts_), order);
  stableSort(items, [](const Ranked& a, const Ranked& b) {
    if (a.rank && b.rank) return *a.rank < *b.rank;
    if (a.rank || b.rank) return a.rank.has_value();
    return compareText(a.text, b.text) < 0;
  });
  return texts(std::move(items));
}

}  // namespace vantrel::collections_internal
