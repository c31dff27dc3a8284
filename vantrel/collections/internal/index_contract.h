// Index checks shared by the array operations of vantrel/collections.
// Internal: include the public headers (array_moves.h, sorted_array.h).
//
// The stops are compiled here so that the template headers stay free of
// formatting code.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "vantrel/api.h"
namespace vantrel VANTREL_API { namespace collections_internal {

// Stops with "<operation>: index <i> out of range <lower>..<<upper>".
[[noreturn]] void indexOutOfRange(std::string_view operation, std::int64_t index,
                                  std::int64_t lower, std::int64_t upper);

// Stops unless lower <= index < upper.
inline void checkIndex(std::string_view operation, std::int64_t index, std::int64_t lower,
                       std::int64_t upper) {
  if (index < lower || index >= upper) indexOutOfRange(operation, index, lower, upper);
}

// The indexes sorted ascending, after checking that each lies in 0..<count
// and that none is listed twice (a repeated index would reach the element
// that moved into its place). Stops on the first violation, before the
// caller has changed anything.
[[nodiscard]] std::vector<std::int64_t> sortedDistinctIndexes(std::string_view operation,
                                                              std::vector<std::int64_t> indexes,
                                                              std::int64_t count);

// The indexes sorted ascending with repeats dropped (no range check).
[[nodiscard]] std::vector<std::int64_t> sortedUniqueIndexes(std::vector<std::int64_t> indexes);

}}  // namespace vantrel::collections_internal
