// File: vantrel/core/console_loggers.h
//
// Console loggers: one line per call on standard output, in one of three
// styles chosen by the logger object called.
//
//   qlogging.red("plain");        // "plain"
//   qlog.red("rgb");              // ESC "[fg255,0,0;" "rgb" ESC "[;"
//   qansilog.red("ansi");         // ESC "[0;31m" "ansi" ESC "[0m"
//   qlog.error("saving", error);  // the red line "saving:<error's description>"
//
// `QLogging`, `QLog` and `QAnsiLog` are stateless classes; `qlogging`, `qlog`
// and `qansilog` are their one instance each, and a `const QLogging&` to any
// of them is a logger handle: calls through it use that logger's style.
// Every operation is virtual, so a subclass may restyle one colour and keep
// the rest; the level operations (`error`, `severe`, `warning`, `testOutput`)
// of `QLogging` and `QAnsiLog` print through the receiving object's colour
// operations, so such overrides take effect there too. (A subclass that
// overrides `red` should add `using QLog::red;` to keep the other overloads
// visible by name.)
//
// Any value can be printed: it is turned into text by `describe`.
// Lines go through the console sink (`vantrel/core/console.h`); any thread
// may call, and a line is never interleaved with another.
#pragma once

#include <exception>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>

#include "vantrel/core/describe.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

// The text of a logged value: text as given, any other value as `describe`
// makes it. Lives for the call only.
class LogText {
 public:
  LogText(std::string_view text) : view_(text) {}       // NOLINT: implicit on purpose
  LogText(const char* text) : view_(text) {}            // NOLINT
  LogText(const std::string& text) : view_(text) {}     // NOLINT
  template <class T>
    requires(!std::is_convertible_v<const T&, std::string_view>)
  LogText(const T& value) : owned_(describe(value)), view_(owned_) {}  // NOLINT
  LogText(const LogText&) = delete;  // the view may point into this object
  LogText& operator=(const LogText&) = delete;

  [[nodiscard]] std::string_view view() const { return view_; }

 private:
  std::string owned_;
  std::string_view view_;
};

class QLogging {
 public:
  constexpr QLogging() = default;
  // Trivial, not virtual: the three instances below are then never
  // destroyed, so threads that log during exit still find their vtables.
  // Loggers are used through references, never deleted through a base.
  ~QLogging() = default;

  virtual void red(const LogText& value) const;
  virtual void green(const LogText& value) const;
  virtual void blue(const LogText& value) const;
  virtual void lightRed(const LogText& value) const;
  virtual void lightGreen(const LogText& value) const;
  virtual void lightBlue(const LogText& value) const;
  virtual void yellow(const LogText& value) const;
  virtual void purple(const LogText& value) const;
  virtual void lightPurple(const LogText& value) const;
  virtual void brown(const LogText& value) const;
  virtual void cyan(const LogText& value) const;
  virtual void lightCyan(const LogText& value) const;
  virtual void darkGray(const LogText& value) const;
  virtual void lightGray(const LogText& value) const;

  // "Error:" + text.
  virtual void error(const LogText& text) const;
  // Hands one text to `error(text)`: the message when given (the error is
  // then not shown), else the error's description.
  virtual void error(std::optional<std::string_view> message, const std::exception& error) const;
  // "Severe:" + text.
  virtual void severe(const LogText& text) const;
  // "Warning:" + text.
  virtual void warning(const LogText& text) const;
  // With no error: prints nothing and answers false (the message is
  // ignored). Otherwise prints as `error(message, *error)` and answers true.
  virtual bool iferror(std::optional<std::string_view> message, const std::exception* error) const;

  // Seventeen lines through this logger: each colour operation given its own
  // name ("red" ... "lightGray"), then `error`, `severe` and `warning`.
  void testOutput() const;
};

// 24-bit colour escapes: ESC "[" + "fg<r>,<g>,<b>;" + text + ESC "[;".
class QLog : public QLogging {
 public:
  constexpr QLog() = default;

  static constexpr std::string_view ESCAPE = "\x1b[";
  static constexpr std::string_view RESET = "\x1b[;";

  void red(const LogText& value) const override;
  void green(const LogText& value) const override;
  void blue(const LogText& value) const override;
  void lightRed(const LogText& value) const override;
  void lightGreen(const LogText& value) const override;
  void lightBlue(const LogText& value) const override;
  void yellow(const LogText& value) const override;
  void purple(const LogText& value) const override;
  void lightPurple(const LogText& value) const override;
  void brown(const LogText& value) const override;
  void cyan(const LogText& value) const override;
  void lightCyan(const LogText& value) const override;
  void darkGray(const LogText& value) const override;
  void lightGray(const LogText& value) const override;

  // The "fg255,0,0;" line, printed directly.
  void error(const LogText& text) const override;
  // message + ":" + the error's description, or "Error:" + the description
  // when there is no message, handed to `error(text)`.
  void error(std::optional<std::string_view> message, const std::exception& error) const override;
  // Without a message.
  void error(const std::exception& error) const { this->error(std::nullopt, error); }
  // The "fg255,0,255;" line, printed directly.
  void severe(const LogText& text) const override;
  // The "fg255,255,0;" line, printed directly.
  void warning(const LogText& text) const override;
  // The same text as `error(message, error)`, printed directly as the red line.
  bool iferror(std::optional<std::string_view> message, const std::exception* error) const override;
};

// Classic ANSI codes: ESC "[" + "0;31m" + text + ESC "[" + "0m".
class QAnsiLog : public QLogging {
 public:
  constexpr QAnsiLog() = default;

  static constexpr std::string_view ESCAPE = "\x1b[";

  void red(const LogText& value) const override;
  void green(const LogText& value) const override;
  void blue(const LogText& value) const override;
  void lightRed(const LogText& value) const override;
  void lightGreen(const LogText& value) const override;
  void lightBlue(const LogText& value) const override;
  void yellow(const LogText& value) const override;
  void purple(const LogText& value) const override;
  void lightPurple(const LogText& value) const override;
  void brown(const LogText& value) const override;
  void cyan(const LogText& value) const override;
  void lightCyan(const LogText& value) const override;
  void darkGray(const LogText& value) const override;
  void lightGray(const LogText& value) const override;

  // Through `red`.
  void error(const LogText& text) const override;
  // message + ":" + description, or "Error:" + description, through `error(text)`.
  void error(std::optional<std::string_view> message, const std::exception& error) const override;
  // Through `purple`.
  void severe(const LogText& text) const override;
  // Through `yellow`.
  void warning(const LogText& text) const override;
  // The same text as `error(message, error)`, through `error(text)`.
  bool iferror(std::optional<std::string_view> message, const std::exception* error) const override;
};

static_assert(std::is_trivially_destructible_v<QLog> && std::is_trivially_destructible_v<QAnsiLog>);
inline const QLogging qlogging{};
inline const QLog qlog{};
inline const QAnsiLog qansilog{};

}  // namespace vantrel
