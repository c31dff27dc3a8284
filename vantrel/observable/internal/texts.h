// Texts and stops shared by the observable collections.
// Internal: include the public headers (observable_set.h, kerray.h).
//
// Compiled once here so that the class templates stay free of formatting
// code.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "vantrel/api.h"
namespace vantrel VANTREL_API { namespace observable_internal {

// An error case as the library prints it: `name("text")`, the payload
// quoted and escaped as inside a collection.
[[nodiscard]] std::string caseDescription(std::string_view name, std::string_view text);
// `name(count, "text")`.
[[nodiscard]] std::string caseDescription(std::string_view name, std::int64_t count,
                                          std::string_view text);

// The texts joined by `separator`.
[[nodiscard]] std::string joined(const std::vector<std::string>& texts, std::string_view separator);

// "<head><count>, elements: <elementPart>)".
[[nodiscard]] std::string countedDescription(std::string_view head, std::int64_t count,
                                             std::string_view elementPart);

// The element part of a counted description: "<none>" without texts, else
// the texts joined by ", ", then ", ..." when `more`.
[[nodiscard]] std::string listedElements(const std::vector<std::string>& texts, bool more);

// Stops with "<operation>: index <i> out of range <lower>..<<upper>".
[[noreturn]] void indexOutOfRange(std::string_view operation, std::int64_t index,
                                  std::int64_t lower, std::int64_t upper);

// Stops unless lower <= index < upper.
inline void checkIndex(std::string_view operation, std::int64_t index, std::int64_t lower,
                       std::int64_t upper) {
  if (index < lower || index >= upper) indexOutOfRange(operation, index, lower, upper);
}

// The refusals of the keyed moves: "from index <i> out of bounds.",
// "to index <i> out of bounds.", "[3, 1] not in ascending order!" and
// "from index <i> is listed more than once.".
[[noreturn]] void moveFromOutOfBounds(std::int64_t index);
[[noreturn]] void moveToOutOfBounds(std::int64_t index);
[[noreturn]] void sourcesNotAscending(const std::vector<std::int64_t>& sources);
[[noreturn]] void sourceRepeated(std::int64_t index);

}}  // namespace vantrel::observable_internal
