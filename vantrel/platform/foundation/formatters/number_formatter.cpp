#include "vantrel/platform/foundation/formatters/number_formatter.h"

#include <unicode/uloc.h>
#include <unicode/unum.h>

#include <string>

#include "vantrel/text/string_services.h"

namespace vantrel {

namespace {

UNumberFormatStyle icuStyle(NumberFormatter::Style style) {
  switch (style) {
    case NumberFormatter::Style::none:
    case NumberFormatter::Style::decimal: return UNUM_DECIMAL;
    case NumberFormatter::Style::currency: return UNUM_CURRENCY;
    case NumberFormatter::Style::percent: return UNUM_PERCENT;
    case NumberFormatter::Style::scientific: return UNUM_SCIENTIFIC;
    case NumberFormatter::Style::spellOut: return UNUM_SPELLOUT;
    case NumberFormatter::Style::ordinal: return UNUM_ORDINAL;
  }
  return UNUM_DECIMAL;
}

}  // namespace

NumberFormatter::NumberFormatter(Style numberStyle) : style_(numberStyle) {
  UErrorCode status = U_ZERO_ERROR;
  UNumberFormat* format = unum_open(icuStyle(numberStyle), nullptr, 0, uloc_getDefault(), nullptr, &status);
  if (U_FAILURE(status)) {
    if (format != nullptr) unum_close(format);
    return;
  }
  // "none": the plain digits, no grouping.
  if (numberStyle == Style::none) unum_setAttribute(format, UNUM_GROUPING_USED, 0);
  format_ = std::shared_ptr<void>(format, [](void* f) { unum_close(static_cast<UNumberFormat*>(f)); });
}

std::optional<std::string> NumberFormatter::string(std::int64_t from) const {
  if (!format_) return std::nullopt;
  const auto* format = static_cast<const UNumberFormat*>(format_.get());
  std::u16string buffer(64, u'\0');
  for (int attempt = 0; attempt < 2; ++attempt) {
    UErrorCode status = U_ZERO_ERROR;
    const int32_t length = unum_formatInt64(format, from, buffer.data(), static_cast<int32_t>(buffer.size()),
                                            nullptr, &status);
    if (status == U_BUFFER_OVERFLOW_ERROR) {
      buffer.assign(static_cast<std::size_t>(length) + 1, u'\0');
      continue;
    }
    if (U_FAILURE(status)) return std::nullopt;
    buffer.resize(static_cast<std::size_t>(length));
    return utf8FromUtf16(buffer);
  }
  return std::nullopt;
}

}  // namespace vantrel
