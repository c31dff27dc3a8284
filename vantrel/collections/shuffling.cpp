#include "vantrel/collections/shuffling.h"

#include <fmt/format.h>

#include "vantrel/core/fatal.h"

namespace vantrel::collections_internal {

void infiniteStartFatal(std::int64_t startIndex, std::size_t count) {
  fatal(fmt::format("InfiniteSequence: start index {} out of range 0..<{}", startIndex, count));
}

}  // namespace vantrel::collections_internal
