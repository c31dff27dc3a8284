#include "vantrel/core/indexed_iterator.h"

#include "vantrel/core/fatal.h"

namespace vantrel {

void iteratorsOfDifferentSequences() { fatal("Iterators of two different sequences compared"); }

}  // namespace vantrel
