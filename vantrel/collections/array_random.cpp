#include "vantrel/collections/array_random.h"

#include <fmt/format.h>

#include "vantrel/core/fatal.h"

namespace vantrel::collections_internal {

void emptyArrayFatal(std::string_view operation) {
  fatal(fmt::format("{}: the array is empty", operation));
}

void negativeRoundsFatal(std::int64_t rounds) {
  fatal(fmt::format("randomize: shuffleRounds {} is negative", rounds));
}

}  // namespace vantrel::collections_internal
