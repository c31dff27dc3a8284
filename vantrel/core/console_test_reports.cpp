#include "vantrel/core/console_test_reports.h"

#include "vantrel/core/console.h"
#include "vantrel/core/number_text.h"

namespace vantrel {
namespace {

constexpr std::string_view kBlueRule =
    "🔵🔵🔵🔵🔵🔵🔵🔵🔵🔵🔵🔵🔵🔵🔵🔵🔵🔵🔵🔵🔵🔵🔵🔵";
constexpr std::string_view kDiamondRule =
    "🔸 🔸 🔸 🔸 🔸 🔸 🔸 🔸 🔸 🔸 🔸 🔸 🔸 🔸 🔸 🔸 🔸 🔸 🔸 🔸 🔸 🔸 🔸 🔸 🔸 🔸 🔸 🔸 🔸 🔸";
constexpr std::string_view kDiamondPrefix = "🔸 🔸 ";
constexpr std::string_view kHyphenLine = "🔸 🔸 -----------------------------------------------";
constexpr std::string_view kEndLine = "🔸 🔸 🔸 🔸 🔸 🔸 🔸 🔸 🔸 🔸 🔸 🔸 🔸 🔸 ⏹  end ";

std::string joined(const std::vector<std::string>& lines) {
  std::string text;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i != 0) text += '\n';
    text += lines[i];
  }
  return text;
}

std::string resultLine(std::string_view name, std::int64_t count) {
  if (count == 0) return "✅ ✅ ✅ ✅ " + std::string(name) + " ✅  ALL GOOD! ✅";
  return "❌ ❌ ❌ ❌ " + std::string(name) + " ❌  " + integerText(count) + " errors";
}

// "❌ <position><separator><text>" for each text.
void appendErrorLines(std::vector<std::string>& lines, const std::vector<std::string>& texts,
                      std::string_view separator) {
  for (std::size_t i = 0; i < texts.size(); ++i) {
    lines.push_back("❌ " + unsignedText(i) + std::string(separator) + texts[i]);
  }
}

void printErrorAnnouncement(std::string_view text) { consolePrint("❌❌❌ Error: " + std::string(text)); }

}  // namespace

void ErrorCounter::addError() { ++count_; }

void ErrorCounter::addError(std::string text) {
  ++count_;
  texts_.push_back(std::move(text));
}

void ErrorCounter::addAndPrintError(std::string text) {
  addError(text);
  printErrorAnnouncement(text);
}

std::vector<std::string> ErrorCounter::renderHeader() const {
  return {"", std::string(kBlueRule), "🔵🔵🔵" + name_, std::string(kBlueRule)};
}

void ErrorCounter::printHeader() const { consolePrint(joined(renderHeader())); }

std::vector<std::string> ErrorCounter::renderErrors() const {
  std::vector<std::string> lines;
  appendErrorLines(lines, texts_, "  ❌: ");
  return lines;
}

void ErrorCounter::printErrors() const { consolePrint(joined(renderErrors())); }

std::vector<std::string> ErrorCounter::renderResult(bool verbose) const {
  std::vector<std::string> lines{resultLine(name_, count_)};
  if (verbose) appendErrorLines(lines, texts_, "  ❌  : ");
  return lines;
}

void ErrorCounter::printResult(bool verbose) const { consolePrint(joined(renderResult(verbose))); }

PrintWrap PrintWrap::fromDescLines(std::string name, bool manageErrors, const std::vector<std::string>& desc) {
  return PrintWrap(std::move(name), manageErrors, joined(desc));
}

void PrintWrap::printHeader() const {
  consolePrint("");
  consolePrint(kDiamondRule);
  consolePrint(std::string(kDiamondPrefix) + name_);
  if (desc_) {
    consolePrint(kHyphenLine);
    consolePrint(std::string(kDiamondPrefix) + *desc_);
  }
  consolePrint(kDiamondRule);
}

void PrintWrap::printSubHeader(std::string_view text) const {
  consolePrint(std::string(kDiamondPrefix) + std::string(text));
}

void PrintWrap::print(std::string_view text) const { consolePrint(text); }

void PrintWrap::addError() { ++errorCount_; }

void PrintWrap::addError(std::string text) {
  ++errorCount_;
  errorTexts_.push_back(std::move(text));
}

void PrintWrap::addAndPrintError(std::string text) {
  addError(text);
  printErrorAnnouncement(text);
}

void PrintWrap::printFooter(bool verbose) const {
  if (manageErrors_) {
    consolePrint(resultLine(name_, errorCount_));
    if (verbose) {
      std::vector<std::string> lines;
      appendErrorLines(lines, errorTexts_, "  ❌: ");
      for (const std::string& line : lines) consolePrint(line);
    }
  }
  consolePrint(std::string(kEndLine) + name_);
}

}  // namespace vantrel
