// Pattern x text under a time limit: every pattern either fails to compile
// with an error or gives matches whose ranges lie inside the text, in order,
// without overlap, never splitting a surrogate pair. Input: pattern, a zero
// byte, then the text (ill-formed bytes read as U+FFFD, as everywhere).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "vantrel/text/internal/regular_expression_limits.h"
#include "vantrel/text/regex.h"
#include "vantrel/text/regex_matching.h"
#include "vantrel/text/regular_expression.h"

namespace {

bool splitsPair(std::u16string_view units, std::int64_t offset) {
  const auto at = static_cast<std::size_t>(offset);
  return at > 0 && at < units.size() && units[at - 1] >= 0xD800 && units[at - 1] <= 0xDBFF &&
         units[at] >= 0xDC00 && units[at] <= 0xDFFF;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > 2000) return 0;
  vantrel::text_internal::setRegularExpressionTimeLimit(20);
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::size_t zero = input.find('\0');
  if (zero == std::string_view::npos) return 0;
  const std::string_view pattern = input.substr(0, zero);
  const std::string_view text = input.substr(zero + 1);
  const auto options = vantrel::RegularExpressionOptions(pattern.empty() ? 0u : pattern.size() % 128u);
  std::optional<vantrel::Regex> regex;
  try {
    regex.emplace(pattern, options);
  } catch (const vantrel::RegularExpressionError& e) {
    if (e.description().empty()) std::abort();
    return 0;
  }
  const std::u16string units = vantrel::utf16FromUtf8(text);
  const auto length = static_cast<std::int64_t>(units.size());
  std::int64_t previousEnd = 0;
  std::int64_t previousStart = -1;
  for (const auto& match : regex->matcher().matches(text)) {
    for (const auto& range : match.ranges()) {
      if (!range.found()) continue;
      if (range.location < 0 || range.length < 0 || range.upperBound() > length) std::abort();
      if (splitsPair(units, range.location) || splitsPair(units, range.upperBound())) std::abort();
    }
    const auto whole = match.range();
    if (whole.location < previousEnd || whole.location <= previousStart) std::abort();
    previousStart = whole.location;
    previousEnd = whole.upperBound();
  }
  (void)regex->matchingGroupsOf(text);
  (void)vantrel::vtMatchSingleAllInLine(text, pattern);
  return 0;
}
