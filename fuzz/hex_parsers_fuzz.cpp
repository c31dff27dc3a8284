// Arbitrary text through the two hexadecimal list parsers, with a prefix and
// separator chosen by the first byte: whatever parses is written back by the
// list forms and parses again to the same result, and the two parsers agree
// on what they accept.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "vantrel/core/utf8.h"
#include "vantrel/text/hex_forms.h"
#include "vantrel/text/string_services.h"

namespace {

struct Shape {
  std::string_view prefix;
  std::string_view separator;
};

// Separators free of hex digits and signs (the default "-" aside, which the
// list forms never write inside a unit); prefixes that hold no separator.
constexpr Shape kShapes[] = {
    {"", "-"}, {"", " "}, {"0x", " "}, {"U+", ", "}, {"\\u", ""}, {"\u00E9", "\u2192"}, {"&#x", ";"}, {"", "::"},
};

bool isScalarValue(std::uint32_t v) { return v < 0xD800 || (v > 0xDFFF && v <= 0x10FFFF); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const Shape shape = kShapes[data[0] % std::size(kShapes)];
  const bool uppercase = (data[0] & 0x80) != 0;
  const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
  const vantrel::HexListOptions options{.uppercase = uppercase, .prefix = shape.prefix, .separator = shape.separator};

  const auto numbers = vantrel::uint32sFromHexString(text, shape.prefix, shape.separator);
  const auto scalars = vantrel::stringFromScalarsHexString(text, shape.prefix, shape.separator);
  if (numbers.has_value() != scalars.has_value()) std::abort();
  if (!numbers) return 0;

  // The text is the numbers that are scalar values.
  std::string expected;
  for (const std::uint32_t n : *numbers) {
    if (isScalarValue(n)) vantrel::appendUtf8(expected, static_cast<char32_t>(n));
  }
  if (*scalars != expected) std::abort();

  // An empty separator cannot divide a list of more than one unit.
  if (shape.separator.empty() && numbers->size() > 1) std::abort();
  if (!shape.separator.empty() || numbers->size() == 1) {
    if (vantrel::uint32sFromHexString(vantrel::fromUint32s(*numbers, options), shape.prefix, shape.separator) !=
        numbers) {
      std::abort();
    }
    if (vantrel::uint32sFromHexString(vantrel::fromUint32s(*numbers, "00000000", options), shape.prefix,
                                      shape.separator) != numbers) {
      std::abort();
    }
  }
  if (!scalars->empty() && (!shape.separator.empty() || vantrel::unicodeScalars(*scalars).size() == 1)) {
    if (vantrel::stringFromScalarsHexString(vantrel::scalarsHexRepresentation(*scalars, options), shape.prefix,
                                            shape.separator) != scalars) {
      std::abort();
    }
  }
  return 0;
}
