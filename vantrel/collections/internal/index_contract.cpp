#include "vantrel/collections/internal/index_contract.h"

#include <algorithm>

#include <fmt/format.h>

#include "vantrel/core/fatal.h"

namespace vantrel::collections_internal {

void indexOutOfRange(std::string_view operation, std::int64_t index, std::int64_t lower,
                     std::int64_t upper) {
  fatal(fmt::format("{}: index {} out of range {}..<{}", operation, index, lower, upper));
}

std::vector<std::int64_t> sortedDistinctIndexes(std::string_view operation,
                                                std::vector<std::int64_t> indexes,
                                                std::int64_t count) {
  // Integers under std::less: a strict weak order, so std::sort is safe here.
  std::sort(indexes.begin(), indexes.end());
  for (std::size_t i = 0; i < indexes.size(); ++i) {
    checkIndex(operation, indexes[i], 0, count);
    if (i > 0 && indexes[i] == indexes[i - 1]) {
      fatal(fmt::format("{}: index {} is listed more than once", operation, indexes[i]));
    }
  }
  return indexes;
}

std::vector<std::int64_t> sortedUniqueIndexes(std::vector<std::int64_t> indexes) {
  std::sort(indexes.begin(), indexes.end());
  indexes.erase(std::unique(indexes.begin(), indexes.end()), indexes.end());
  return indexes;
}

}  // namespace vantrel::collections_internal
