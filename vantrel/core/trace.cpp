#include "vantrel/core/trace.h"

#include <errno.h>  // program_invocation_short_name (glibc)
#include <unistd.h>

#include <chrono>
#include <iterator>

#include <fmt/format.h>

#include "vantrel/core/console.h"
#include "vantrel/core/date_text.h"
#include "vantrel/core/thread.h"

namespace vantrel {
namespace core_internal {

std::string_view fileName(std::string_view path) {
  const auto slash = path.rfind('/');
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string_view fileStem(std::string_view path) {
  std::string_view name = fileName(path);
  const auto dot = name.rfind('.');
  // A leading dot (".profile") is part of the name, not an extension.
  if (dot == std::string_view::npos || dot == 0) return name;
  return name.substr(0, dot);
}

std::string fileLine(std::string_view message, std::string_view file, std::uint_least32_t line) {
  return fmt::format("🔀{} {}@{}: {}", isMainThread() ? "MT" : "", fileStem(file), line, message);
}

std::string quotedFileLine(std::string_view message, std::string_view file,
                           std::string_view function, std::uint_least32_t line) {
  return fmt::format("🔀{} \"{}\"@{}: {}: {}", isMainThread() ? "MT" : "", fileName(file), line,
                     function, message);
}

std::string flowLine(std::string_view message, std::string_view file, std::string_view function,
                     std::uint_least32_t line) {
  std::string text = fmt::format("🍇🍇🍇{}.{} Line:{} {}", fileStem(file), function, line,
                                 isMainThread() ? "[MT]" : "");
  if (!message.empty()) {
    text += ": ";
    text += message;
  }
  return text;
}

std::string systemLogLine(std::string_view text) {
  std::string line = dateTimeText(std::chrono::system_clock::now(), TimeZoneChoice::local);
  // The text is an argument, never the format: a "%" in it stays as it is.
  fmt::format_to(std::back_inserter(line), " {}[{}:{}] {}", program_invocation_short_name, ::getpid(), ::gettid(),
                 text);
  return line;
}

void markerLine(std::string_view message) {
  consolePrint(fmt::format("🔀{} {}", isMainThread() ? "MT" : "", message));
}

}  // namespace core_internal

void qfilelog(std::string_view message, SourceLocation loc) {
  consolePrint(core_internal::fileLine(message, loc.file_name(), loc.line()));
}

void qlinelog(std::string_view message, SourceLocation loc) {
  consolePrint(core_internal::quotedFileLine(message, loc.file_name(), loc.function_name(), loc.line()));
}

void qlinelog(std::string_view message, std::string_view function, SourceLocation loc) {
  consolePrint(core_internal::quotedFileLine(message, loc.file_name(), function, loc.line()));
}

void qlinelog(std::string_view message, std::string_view file, std::string_view function, std::int64_t line,
              std::int64_t /*column*/) {
  consolePrint(fmt::format("🔀{} \"{}\"@{}: {}: {}", isMainThread() ? "MT" : "", core_internal::fileName(file), line,
                           function, message));
}

void qflow(std::string_view message, std::string_view function, SourceLocation loc) {
  consolePrint(core_internal::flowLine(message, loc.file_name(), function, loc.line()));
}

void qflow(std::string_view message, SourceLocation loc) {
  consolePrint(core_internal::flowLine(message, loc.file_name(), loc.function_name(), loc.line()));
}

void qnsflow(std::string_view message, SourceLocation loc) {
  consolePrintError(core_internal::systemLogLine(
      core_internal::flowLine(message, loc.file_name(), loc.function_name(), loc.line())));
}

}  // namespace vantrel
