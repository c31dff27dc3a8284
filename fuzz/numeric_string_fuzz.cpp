// Arbitrary text and base through UnicodeScalar::fromNumericString, held to
// the C library's strtoul_l in the "C" locale: the same value when a digit
// is read, nothing when none is or the value is no scalar.
#include <cerrno>
#include <clocale>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>

#include "vantrel/text/unicode_names.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
  if (size == 0 || c == static_cast<locale_t>(nullptr)) return 0;
  const int base = static_cast<int>(data[0] % 41) - 2;  // -2 ... 38
  const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);

  errno = 0;
  char* end = nullptr;
  const unsigned long value = strtoul_l(text.c_str(), &end, base, c);
  const bool readDigit = end != nullptr && end != text.c_str() && errno != EINVAL;
  std::optional<char32_t> expected;
  if (readDigit && (value < 0xD800 || (value > 0xDFFF && value <= 0x10FFFF))) expected = static_cast<char32_t>(value);
  if (vantrel::UnicodeScalar::fromNumericString(text, base) != expected) std::abort();
  return 0;
}
