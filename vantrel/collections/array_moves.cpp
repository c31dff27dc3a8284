#include "vantrel/collections/array_moves.h"

#include <algorithm>

namespace vantrel::VtArrayMoveHelper {

std::int64_t toIndex_From_AsOfNowToIndex(std::int64_t asOfNowToIndex, std::int64_t fromIndex) {
  return fromIndex < asOfNowToIndex ? asOfNowToIndex - 1 : asOfNowToIndex;
}

std::int64_t toIndex_From_AsOfNowToIndex(std::int64_t asOfNowToIndex,
                                         const std::vector<std::int64_t>& fromIndexes) {
  const auto below = std::count_if(fromIndexes.begin(), fromIndexes.end(),
                                   [&](std::int64_t f) { return f < asOfNowToIndex; });
  return asOfNowToIndex - static_cast<std::int64_t>(below);
}

std::int64_t asOfNowToIndex_From_ToIndex(std::int64_t toIndex, std::int64_t fromIndex) {
  return toIndex < fromIndex ? toIndex : toIndex + 1;
}

std::int64_t asOfNowToIndex_From_ToIndex(std::int64_t toIndex,
                                         const std::vector<std::int64_t>& fromIndexes) {
  std::vector<std::int64_t> sorted = fromIndexes;
  std::sort(sorted.begin(), sorted.end());
  std::int64_t r = toIndex;
  // Each source below the running destination pushes it one further: the
  // destination counts the staying elements, the as-of-now index all of them.
  for (std::int64_t s : sorted) {
    if (!(s < r)) break;
    ++r;
  }
  return r;
}

}  // namespace vantrel::VtArrayMoveHelper
