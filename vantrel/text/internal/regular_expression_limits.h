// File: vantrel/text/internal/regular_expression_limits.h
//
// Process-wide limit for every regular-expression match: a pattern that
// backtracks without end stops with ICU's time-out error, which ends its
// search. Patterns often come from users, so the default is a generous
// kDefaultRegularExpressionTimeLimit rather than none: no legitimate search
// comes near it, and no search runs forever. ICU counts match-engine steps,
// not time: 60,000 of its units stop a runaway pattern after about 8 to 14
// seconds of processor time on current machines.
// Fuzzing sets a short one; 0 means no limit.
#pragma once

#include <cstdint>

namespace vantrel::text_internal {

inline constexpr std::int32_t kDefaultRegularExpressionTimeLimit = 60'000;

// ICU's unit: a batch of match-engine steps, nominally a millisecond.
void setRegularExpressionTimeLimit(std::int32_t limit);
[[nodiscard]] std::int32_t regularExpressionTimeLimit();

}  // namespace vantrel::text_internal
