// Arbitrary bytes, valid UTF-8 or not, through the grapheme counter and the
// padding built on it: no crash, no read outside the input, sane counts that
// agree with the character boundaries.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "vantrel/text/characters.h"
#include "vantrel/text/padding.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::int64_t count = vantrel::characterCount(text);
  if (count < 0 || count > static_cast<std::int64_t>(size)) std::abort();
  if (size > 0 && count == 0) std::abort();
  // The counter's shortcuts over ASCII runs agree with a plain walk.
  if (static_cast<std::size_t>(count) + 1 != vantrel::characterBoundaries(text).size()) std::abort();
  const std::string padded = vantrel::paddedLeft(text, count + 2, "·");
  if (vantrel::characterCount(padded) < count) std::abort();
  return 0;
}
