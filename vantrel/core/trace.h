// File: vantrel/core/trace.h
//
// Trace prints: one line naming the calling source position, with a
// main-thread marker ("MT", or "[MT]" in flow lines) when called on the
// process's main thread. The position is the caller's, taken by the
// defaulted `SourceLocation` parameter.
//
//   qfilelog("loaded");     // "🔀MT Panel@42: loaded"
//   qlinelog("x");          // "🔀MT \"Panel.cpp\"@42: <function>: x"
//   qflow("step");          // "🍇🍇🍇Panel.<function> Line:42 [MT]: step"
//   qnsflow("50% done");    // the flow line on standard error, dated and
//                           // with the process name, never used as a format
//
// The function name is the compiler's spelling of the caller's signature.
// The forms that take an `enabled` flag print nothing when it is false.
// Any thread may call.
#pragma once

#include <concepts>
#include <cstdint>
#include <string>
#include <string_view>

#include "vantrel/core/source_location.h"
#include "vantrel/core/temporary_string.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

// "🔀" + marker + " " + file stem + "@" + line + ": " + message.
void qfilelog(std::string_view message = "", SourceLocation loc = SourceLocation::current());

// The file line when `enabled`.
void qdebuglog(std::same_as<bool> auto enabled, std::string_view message = "",
               SourceLocation loc = SourceLocation::current()) {
  if (enabled) qfilelog(message, loc);
}

// "🔀" + marker + " \"" + file name + "\"@" + line + ": " + function + ": " + message.
void qlinelog(std::string_view message = "", SourceLocation loc = SourceLocation::current());

// The same line naming `function` instead of the compiler's spelling: code
// that traces on behalf of an operation the compiler cannot name ("deinit")
// names it itself.
void qlinelog(std::string_view message, std::string_view function, SourceLocation loc = SourceLocation::current());

// The same line from a position given in full: code that reports on behalf
// of a named operation passes its own file, function and line. The column
// is accepted for symmetry with the position and not printed.
void qlinelog(std::string_view message, std::string_view file, std::string_view function, std::int64_t line,
              std::int64_t column = 0);

// "🍇🍇🍇" + file stem + "." + function + " Line:" + line + " " + "[MT]" or
// nothing, then ": " + message when the message is not empty.
void qflow(std::string_view message = "", SourceLocation loc = SourceLocation::current());
// The flow line naming `function` ("viewWillAppear()", "deinit").
void qflow(std::string_view message, std::string_view function, SourceLocation loc = SourceLocation::current());
// A plain C string is a message, not a flag.
inline void qflow(const char* message, SourceLocation loc = SourceLocation::current()) {
  qflow(std::string_view(message), loc);
}
// The flow line when `enabled`.
void qflow(std::same_as<bool> auto enabled, std::string_view message = "",
           SourceLocation loc = SourceLocation::current()) {
  if (enabled) qflow(message, loc);
}

// The flow line, written to standard error as a system log entry: date,
// process name and ids in front, the text verbatim.
void qnsflow(std::string_view message = "", SourceLocation loc = SourceLocation::current());

// "🔀" + marker "MT" or nothing + " " + message, when `enabled`.
void dmprint(std::same_as<bool> auto enabled, std::string_view message = "");

// The path unchanged.
[[nodiscard]] inline std::string qCurrentFilename(std::string_view path) { return std::string(path); }

namespace core_internal {
// The lines themselves, without the line feed; the main-thread marker is
// that of the calling thread.
std::string fileLine(std::string_view message, std::string_view file, std::uint_least32_t line);
std::string quotedFileLine(std::string_view message, std::string_view file,
                           std::string_view function, std::uint_least32_t line);
std::string flowLine(std::string_view message, std::string_view file, std::string_view function,
                     std::uint_least32_t line);
std::string systemLogLine(std::string_view text);
void markerLine(std::string_view message);
// "Panel.cpp" from "/src/Panel.cpp".
std::string_view fileName(std::string_view path);
template <TemporaryString T>
void fileName(T&&) = delete;  // the view would dangle
// "Panel" from "/src/Panel.cpp"; only the last extension goes.
std::string_view fileStem(std::string_view path);
template <TemporaryString T>
void fileStem(T&&) = delete;
}  // namespace core_internal

void dmprint(std::same_as<bool> auto enabled, std::string_view message) {
  if (enabled) core_internal::markerLine(message);
}

}  // namespace vantrel
