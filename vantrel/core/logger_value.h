// File: vantrel/core/logger_value.h
//
// `VtLogger`: a choice of console logger held as a value. Every call goes to
// the logger it holds (`qlogging`, `qlog`, `qansilog` or a host's subclass of
// `QLogging`), so an override in a subclass is the one used.
//
//   VtLogger logger(qlog);
//   logger.red("x");                  // as qlog.red("x")
//   logger.error("saving", error);    // as qlog.error("saving"): the message alone
//   logger.error(std::nullopt, error);// as qlog.error(<the error's description>)
//
// Holds a reference to the logger object, which must outlive the value (the
// three built-in loggers live for the whole process). Immutable; any thread.
#pragma once

#include <exception>
#include <optional>
#include <string_view>

#include "vantrel/core/console_loggers.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

class VtLogger {
 public:
  explicit VtLogger(const QLogging& log) : log_(&log) {}

  [[nodiscard]] const QLogging& log() const { return *log_; }

  void red(const LogText& value) const { log_->red(value); }
  void green(const LogText& value) const { log_->green(value); }
  void blue(const LogText& value) const { log_->blue(value); }
  void lightRed(const LogText& value) const { log_->lightRed(value); }
  void lightGreen(const LogText& value) const { log_->lightGreen(value); }
  void lightBlue(const LogText& value) const { log_->lightBlue(value); }
  void yellow(const LogText& value) const { log_->yellow(value); }
  void purple(const LogText& value) const { log_->purple(value); }
  void lightPurple(const LogText& value) const { log_->lightPurple(value); }
  void brown(const LogText& value) const { log_->brown(value); }
  void cyan(const LogText& value) const { log_->cyan(value); }
  void lightCyan(const LogText& value) const { log_->lightCyan(value); }
  void darkGray(const LogText& value) const { log_->darkGray(value); }
  void lightGray(const LogText& value) const { log_->lightGray(value); }

  void error(const LogText& text) const { log_->error(text); }
  // One text for the logger's `error(text)`: the message alone when given,
  // else the error's description. The colour loggers' own two-argument
  // `error` (message + ":" + error) is not reached from here.
  void error(std::optional<std::string_view> message, const std::exception& error) const;
  void warning(const LogText& text) const { log_->warning(text); }
  // The logger's `iferror`: false and nothing printed without an error.
  bool iferror(std::optional<std::string_view> message, const std::exception* error) const {
    return log_->iferror(message, error);
  }

 private:
  const QLogging* log_;
};

}  // namespace vantrel
