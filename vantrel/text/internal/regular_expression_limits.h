// File: vantrel/text/internal/regular_expression_limits.h
//
// Process-wide limit for every regular-expression match: a pattern that
// backtracks without end stops with ICU's time-out error, which ends its
// search. Patterns often come from users, so the default is a generous
// kDefaultRegularExpressionTimeLimit (about a minute of matching) rather than
// none: no legitimate search comes near it, and no search runs forever.
// Fuzzing sets a short one; 0 means no limit.
#pragma once

#include <cstdint>

namespace vantrel::text_internal {

inline constexpr std::int32_t kDefaultRegularExpressionTimeLimit = 60'000;

// ICU's unit: roughly milliseconds of matching per search step.
void setRegularExpressionTimeLimit(std::int32_t limit);
[[nodiscard]] std::int32_t regularExpressionTimeLimit();

}  // namespace vantrel::text_internal
