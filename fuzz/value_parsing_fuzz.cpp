// Arbitrary bytes through the strict value parsers and the fixed-separator
// splits. makeDouble is held to strtod_l in the "C" locale (whole token,
// ASCII, no blanks; overflow is an infinity), makeInt to strtoll (one sign,
// ASCII digits, in range), isUuidString to the 8-4-4-4-12 form; the parts
// and slices join back to the text.
#include <cerrno>
#include <clocale>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "vantrel/text/case_and_values.h"
#include "vantrel/text/fixed_splits.h"

namespace {

bool isBlankOrHigh(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return byte >= 0x80 || byte == ' ' || (byte >= '\t' && byte <= '\r');
}

void checkDouble(const std::string& text, locale_t c) {
  const auto got = vantrel::makeDouble(text);
  bool plain = !text.empty() && text.find('\0') == std::string::npos;
  for (const char ch : text) plain = plain && !isBlankOrHigh(ch);
  if (!plain) {
    if (got) std::abort();
    return;
  }
  char* end = nullptr;
  const double want = strtod_l(text.c_str(), &end, c);
  const bool whole = end == text.c_str() + text.size();
  if (got.has_value() != whole) std::abort();
  if (got && !(std::isnan(want) ? std::isnan(*got) : (*got == want && std::signbit(*got) == std::signbit(want)))) {
    std::abort();
  }
}

void checkInt(const std::string& text) {
  const auto got = vantrel::makeInt(text);
  bool digits = !text.empty();
  std::size_t start = !text.empty() && (text[0] == '+' || text[0] == '-') ? 1 : 0;
  digits = digits && start < text.size();
  for (std::size_t i = start; i < text.size(); ++i) digits = digits && text[i] >= '0' && text[i] <= '9';
  if (!digits) {
    if (got) std::abort();
    return;
  }
  errno = 0;
  char* end = nullptr;
  const long long want = std::strtoll(text.c_str(), &end, 10);
  if (got.has_value() != (errno == 0)) std::abort();
  if (got && *got != want) std::abort();
}

void checkSplits(std::string_view text) {
  if (vantrel::joinedWith(vantrel::componentsByNL(text), "\n") != text) std::abort();
  if (vantrel::joinedWith(vantrel::componentsByD(text), vantrel::kSeparatorD) != text) std::abort();
  if (vantrel::joinedWith(vantrel::split(text, ", ", false), ", ") != text) std::abort();
  for (std::string_view slice : vantrel::split(text, ", ", true)) {
    if (slice.empty()) std::abort();
  }
  for (std::string_view slice : vantrel::splitByNL(text)) {
    if (slice.empty()) std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
  if (c == static_cast<locale_t>(nullptr)) std::abort();
  const std::string text(reinterpret_cast<const char*>(data), size);
  checkDouble(text, c);
  checkInt(text);
  (void)vantrel::makeBool(text);
  const bool uuid = vantrel::isUuidString(text);
  if (uuid && text.size() != 36) std::abort();
  checkSplits(text);
  return 0;
}
