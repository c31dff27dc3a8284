// File: vantrel/platform/foundation/formatters/number_formatter.h
//
// `NumberFormatter`: integers as text in a number style of the current
// locale, through ICU's number formats.
//
//   NumberFormatter(NumberFormatter::Style::decimal).string(1234567);  // "1,234,567" in en_US
//   NumberFormatter(NumberFormatter::Style::spellOut).string(42);      // "forty-two"
//
// Unlike the rest of the library, which writes numbers as the C locale does,
// this follows the locale on purpose: it is the host's request for a
// localized number. The locale is ICU's default one (from LC_ALL /
// LC_MESSAGES / LANG) when the formatter is made. `string` answers nullopt
// when ICU cannot format. A formatter may be used from any thread.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

class NumberFormatter {
 public:
  enum class Style { none, decimal, currency, percent, scientific, spellOut, ordinal };

  NumberFormatter() : NumberFormatter(Style::none) {}
  explicit NumberFormatter(Style numberStyle);

  [[nodiscard]] Style numberStyle() const { return style_; }
  [[nodiscard]] std::optional<std::string> string(int from) const { return string(static_cast<std::int64_t>(from)); }
  [[nodiscard]] std::optional<std::string> string(std::int64_t from) const;

 private:
  Style style_;
  std::shared_ptr<void> format_;  // the ICU format, shared by copies (formatting does not change it)
};

}  // namespace vantrel
