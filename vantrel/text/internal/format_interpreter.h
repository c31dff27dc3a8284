// File: vantrel/text/internal/format_interpreter.h
//
// The one printf-style formatter: `withFormat` (vantrel/text/formatting.h)
// and the localization's `formatLocalize` both fill through it. The format is parsed
// here; each conversion is checked against its argument's kind before
// anything is written, and only formats built here from checked pieces
// reach snprintf.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <variant>

#include "vantrel/text/formatting.h"

namespace vantrel::text_internal {

struct FormatFailure {
  std::string reason;  // e.g. "%d needs an integer, argument 1 is a text"
};

// The filled text, or why `format` does not fit `arguments`.
[[nodiscard]] std::variant<std::string, FormatFailure> formatWithArguments(std::string_view format,
                                                                          std::span<const FormatArgument> arguments);

}  // namespace vantrel::text_internal
