#include "vantrel/core/console_loggers.h"

#include "vantrel/core/console.h"
#include "vantrel/core/error.h"

namespace vantrel {
namespace {

void printLine(std::string_view a, std::string_view b = {}, std::string_view c = {},
               std::string_view d = {}, std::string_view e = {}) {
  std::string line;
  line.reserve(a.size() + b.size() + c.size() + d.size() + e.size());
  line.append(a).append(b).append(c).append(d).append(e);
  consolePrint(line);
}

void qlogLine(std::string_view code, std::string_view text) {
  printLine(QLog::ESCAPE, code, text, QLog::RESET);
}

void ansiLine(std::string_view code, std::string_view text) {
  printLine(QAnsiLog::ESCAPE, code, text, QAnsiLog::ESCAPE, "0m");
}

// The text both colour loggers build for an error report.
std::string joinedErrorText(std::optional<std::string_view> message, const std::exception& error) {
  std::string text = message ? std::string(*message) + ":" : std::string("Error:");
  text += errorDescription(error);
  return text;
}

}  // namespace

// Plain lines.
void QLogging::red(const LogText& v) const { printLine(v.view()); }
void QLogging::green(const LogText& v) const { printLine(v.view()); }
void QLogging::blue(const LogText& v) const { printLine(v.view()); }
void QLogging::lightRed(const LogText& v) const { printLine(v.view()); }
void QLogging::lightGreen(const LogText& v) const { printLine(v.view()); }
void QLogging::lightBlue(const LogText& v) const { printLine(v.view()); }
void QLogging::yellow(const LogText& v) const { printLine(v.view()); }
void QLogging::purple(const LogText& v) const { printLine(v.view()); }
void QLogging::lightPurple(const LogText& v) const { printLine(v.view()); }
void QLogging::brown(const LogText& v) const { printLine(v.view()); }
void QLogging::cyan(const LogText& v) const { printLine(v.view()); }
void QLogging::lightCyan(const LogText& v) const { printLine(v.view()); }
void QLogging::darkGray(const LogText& v) const { printLine(v.view()); }
void QLogging::lightGray(const LogText& v) const { printLine(v.view()); }

void QLogging::error(const LogText& text) const { printLine("Error:", text.view()); }

void QLogging::error(std::optional<std::string_view> message, const std::exception& error) const {
  if (message) {
    this->error(LogText(*message));
  } else {
    this->error(LogText(errorDescription(error)));
  }
}

void QLogging::severe(const LogText& text) const { printLine("Severe:", text.view()); }

void QLogging::warning(const LogText& text) const { printLine("Warning:", text.view()); }

bool QLogging::iferror(std::optional<std::string_view> message, const std::exception* error) const {
  if (error == nullptr) return false;
  this->error(message, *error);
  return true;
}

void QLogging::testOutput() const {
  red("red");
  green("green");
  blue("blue");
  lightRed("lightRed");
  lightGreen("lightGreen");
  lightBlue("lightBlue");
  yellow("yellow");
  purple("purple");
  lightPurple("lightPurple");
  brown("brown");
  cyan("cyan");
  lightCyan("lightCyan");
  darkGray("darkGray");
  lightGray("lightGray");
  error(LogText("error"));
  severe("severe");
  warning("warning");
}

// 24-bit colour lines; the light variants of red, green, blue and cyan share
// their base colour, and purple shares light purple's.
void QLog::red(const LogText& v) const { qlogLine("fg255,0,0;", v.view()); }
void QLog::green(const LogText& v) const { qlogLine("fg0,255,0;", v.view()); }
void QLog::blue(const LogText& v) const { qlogLine("fg0,0,255;", v.view()); }
void QLog::lightRed(const LogText& v) const { qlogLine("fg255,0,0;", v.view()); }
void QLog::lightGreen(const LogText& v) const { qlogLine("fg0,255,0;", v.view()); }
void QLog::lightBlue(const LogText& v) const { qlogLine("fg0,0,255;", v.view()); }
void QLog::yellow(const LogText& v) const { qlogLine("fg255,255,0;", v.view()); }
void QLog::purple(const LogText& v) const { qlogLine("fg255,0,255;", v.view()); }
void QLog::lightPurple(const LogText& v) const { qlogLine("fg255,0,255;", v.view()); }
void QLog::brown(const LogText& v) const { qlogLine("fg139,69,19;", v.view()); }
void QLog::cyan(const LogText& v) const { qlogLine("fg0,255,255;", v.view()); }
void QLog::lightCyan(const LogText& v) const { qlogLine("fg0,255,255;", v.view()); }
void QLog::darkGray(const LogText& v) const { qlogLine("fg40,40,40;", v.view()); }
void QLog::lightGray(const LogText& v) const { qlogLine("fgb0,b0,b0;", v.view()); }

void QLog::error(const LogText& text) const { qlogLine("fg255,0,0;", text.view()); }

void QLog::error(std::optional<std::string_view> message, const std::exception& error) const {
  this->error(LogText(joinedErrorText(message, error)));
}

void QLog::severe(const LogText& text) const { qlogLine("fg255,0,255;", text.view()); }

void QLog::warning(const LogText& text) const { qlogLine("fg255,255,0;", text.view()); }

bool QLog::iferror(std::optional<std::string_view> message, const std::exception* error) const {
  if (error == nullptr) return false;
  qlogLine("fg255,0,0;", joinedErrorText(message, *error));
  return true;
}

// Classic ANSI lines.
void QAnsiLog::red(const LogText& v) const { ansiLine("0;31m", v.view()); }
void QAnsiLog::green(const LogText& v) const { ansiLine("0;32m", v.view()); }
void QAnsiLog::blue(const LogText& v) const { ansiLine("0;34m", v.view()); }
void QAnsiLog::lightRed(const LogText& v) const { ansiLine("1;31m", v.view()); }
void QAnsiLog::lightGreen(const LogText& v) const { ansiLine("1;32m", v.view()); }
void QAnsiLog::lightBlue(const LogText& v) const { ansiLine("1;34m", v.view()); }
void QAnsiLog::yellow(const LogText& v) const { ansiLine("1;33m", v.view()); }
void QAnsiLog::purple(const LogText& v) const { ansiLine("0;35m", v.view()); }
void QAnsiLog::lightPurple(const LogText& v) const { ansiLine("1;35m", v.view()); }
void QAnsiLog::brown(const LogText& v) const { ansiLine("0;33m", v.view()); }
void QAnsiLog::cyan(const LogText& v) const { ansiLine("0;36m", v.view()); }
void QAnsiLog::lightCyan(const LogText& v) const { ansiLine("1;36m", v.view()); }
void QAnsiLog::darkGray(const LogText& v) const { ansiLine("1;30m", v.view()); }
void QAnsiLog::lightGray(const LogText& v) const { ansiLine("0;37m", v.view()); }

void QAnsiLog::error(const LogText& text) const { red(text); }

void QAnsiLog::error(std::optional<std::string_view> message, const std::exception& error) const {
  this->error(LogText(joinedErrorText(message, error)));
}

void QAnsiLog::severe(const LogText& text) const { purple(text); }

void QAnsiLog::warning(const LogText& text) const { yellow(text); }

bool QAnsiLog::iferror(std::optional<std::string_view> message, const std::exception* error) const {
  if (error == nullptr) return false;
  this->error(LogText(joinedErrorText(message, *error)));
  return true;
}

}  // namespace vantrel
