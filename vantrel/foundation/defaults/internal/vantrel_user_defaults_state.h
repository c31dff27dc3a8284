// Internal: the two values `VantrelUserDefaults` and the accessors other
// modules add to it read, each fixed at its first use.
#pragma once

#include <memory>

#include "vantrel/platform/foundation/defaults/user_defaults.h"

namespace vantrel::foundation_internal {

// Whether the standard store held the text "YES" under
// "ApplePersistenceIgnoreState" at the first call.
[[nodiscard]] bool ignoreStateFromVantrelUserDefaults();
// The standard store as it was at the first call.
[[nodiscard]] std::shared_ptr<UserDefaults> vantrelUserDefaultsStore();
// Forgets both; the next call reads them again. Tests only.
void resetVantrelUserDefaultsForTesting();

}  // namespace vantrel::foundation_internal
