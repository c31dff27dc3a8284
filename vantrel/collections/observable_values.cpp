#include "vantrel/collections/observable_values.h"

#include "vantrel/core/trace.h"

namespace vantrel::collections_internal {

// One statement for the three comparing holders, so their trace names one
// source position whatever the value type.
void traceNotChanged() { qfilelog("❎❎❎ not changed"); }

}  // namespace vantrel::collections_internal
