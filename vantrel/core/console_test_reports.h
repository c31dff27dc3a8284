// File: vantrel/core/console_test_reports.h
//
// Readable reports of a host's checks on standard output.
//
// `ErrorCounter` counts errors under a name and renders a header, the error
// list and a result line:
//   ErrorCounter counter("parser");
//   counter.addError("bad token");
//   counter.printResult(true);
//     ❌ ❌ ❌ ❌ parser ❌  1 errors
//     ❌ 0  ❌  : bad token
//
// `PrintWrap` frames a stretch of output with a banner of diamonds and closes
// it with a footer that, when it manages errors, shows the result line:
//   PrintWrap wrap("import", true, "from disk");
//   wrap.printHeader();  ...  wrap.printFooter();
//
// Every print is one console line (`consolePrint`); a rendered list is joined
// with "\n" and printed by one call. Plain values: copies count on their own.
#pragma once

#include <concepts>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

class ErrorCounter {
 public:
  explicit ErrorCounter(std::string name) : name_(std::move(name)) {}

  [[nodiscard]] const std::string& name() const { return name_; }
  [[nodiscard]] std::int64_t count() const { return count_; }
  [[nodiscard]] bool hasErrors() const { return count_ != 0; }

  void addError();
  void addError(std::string text);
  // `addError(text)`, then "❌❌❌ Error: " + text.
  void addAndPrintError(std::string text);

  // "", 24 blue circles, "🔵🔵🔵" + name, 24 blue circles.
  [[nodiscard]] std::vector<std::string> renderHeader() const;
  void printHeader() const;
  // "❌ <position>  ❌: <text>" per stored text, positions from 0.
  [[nodiscard]] std::vector<std::string> renderErrors() const;
  // One empty line when there are no texts.
  void printErrors() const;
  // The result line, then, when verbose, "❌ <position>  ❌  : <text>" per text.
  [[nodiscard]] std::vector<std::string> renderResult(bool verbose = false) const;
  void printResult(bool verbose = false) const;

 private:
  std::string name_;
  std::int64_t count_ = 0;
  std::vector<std::string> texts_;
};

class PrintWrap {
 public:
  // A wrap without a description.
  explicit PrintWrap(std::string name) : name_(std::move(name)) {}
  // `manageErrors` is a real bool: a text in its place does not compile.
  PrintWrap(std::string name, std::same_as<bool> auto manageErrors,
            std::optional<std::string> desc = std::nullopt)
      : name_(std::move(name)), desc_(std::move(desc)), manageErrors_(manageErrors) {}
  // The description lines joined with "\n"; the description is present (the
  // empty text) even when no line is given.
  [[nodiscard]] static PrintWrap fromDescLines(std::string name, bool manageErrors,
                                               const std::vector<std::string>& desc);

  [[nodiscard]] const std::string& name() const { return name_; }
  [[nodiscard]] const std::optional<std::string>& desc() const { return desc_; }
  [[nodiscard]] bool manageErrors() const { return manageErrors_; }
  [[nodiscard]] std::int64_t errorCount() const { return errorCount_; }
  [[nodiscard]] bool hasErrors() const { return errorCount_ != 0; }

  // An empty line, the diamond rule, "🔸 🔸 " + name, when there is a
  // description the hyphen line and "🔸 🔸 " + description, the rule again;
  // each its own line.
  void printHeader() const;
  // "🔸 🔸 " + text.
  void printSubHeader(std::string_view text) const;
  // The text unchanged.
  void print(std::string_view text) const;

  void addError();
  void addError(std::string text);
  void addAndPrintError(std::string text);

  // When managing errors: the result line, and when verbose
  // "❌ <position>  ❌: <text>" per text. Always the end line "🔸 … ⏹  end " + name.
  void printFooter(bool verbose = false) const;

 private:
  std::string name_;
  std::optional<std::string> desc_;
  std::int64_t errorCount_ = 0;
  std::vector<std::string> errorTexts_;
  bool manageErrors_ = false;
};

}  // namespace vantrel
