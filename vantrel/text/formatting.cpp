#include "vantrel/text/formatting.h"

#include <utility>
#include <variant>

#include "vantrel/core/console_loggers.h"
#include "vantrel/text/internal/format_interpreter.h"

namespace vantrel {

std::optional<std::string> filledFormat(std::string_view format, std::span<const FormatArgument> arguments,
                                        std::string* reason) {
  auto filled = text_internal::formatWithArguments(format, arguments);
  if (auto* text = std::get_if<std::string>(&filled)) return std::move(*text);
  if (reason != nullptr) *reason = std::get<text_internal::FormatFailure>(filled).reason;
  return std::nullopt;
}

std::string withFormatArguments(std::string_view format, std::span<const FormatArgument> arguments) {
  auto filled = text_internal::formatWithArguments(format, arguments);
  if (auto* text = std::get_if<std::string>(&filled)) return std::move(*text);
  qlog.warning("withFormat: \"" + std::string(format) + "\" does not fit its arguments: " +
               std::get<text_internal::FormatFailure>(filled).reason);
  return std::string(format);
}

}  // namespace vantrel
