// File: vantrel/text/internal/regular_expression_limits.h
//
// Process-wide limit for every regular-expression match, for fuzzing: a
// pattern that backtracks without end then stops with ICU's time-out error,
// which ends its search. 0 (the default) means no limit, as in the platform.
#pragma once

#include <cstdint>

namespace vantrel::text_internal {

// ICU's unit: roughly milliseconds of matching per search step.
void setRegularExpressionTimeLimit(std::int32_t limit);
[[nodiscard]] std::int32_t regularExpressionTimeLimit();

}  // namespace vantrel::text_internal
