// Canonical search against a naive oracle: the first pair of character
// boundaries (i, j) of the text whose slice has the same NFD as the search
// text. Input: search text, a zero byte, then the text; both repaired to
// valid UTF-8 first, as bytes from outside are.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "vantrel/text/characters.h"
#include "vantrel/text/string_services.h"

namespace {

std::optional<vantrel::ByteRange> naiveSearch(const std::string& text, const std::string& search) {
  if (search.empty()) return std::nullopt;
  const std::string wanted = vantrel::nfd(search);
  const std::vector<std::size_t> bounds = vantrel::characterBoundaries(text);
  for (std::size_t a = 0; a < bounds.size(); ++a) {
    for (std::size_t b = a + 1; b < bounds.size(); ++b) {
      const std::string slice = vantrel::nfd(std::string_view(text).substr(bounds[a], bounds[b] - bounds[a]));
      if (slice == wanted) return vantrel::ByteRange{bounds[a], bounds[b]};
      if (slice.size() > wanted.size()) break;  // longer slices only grow
    }
  }
  return std::nullopt;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > 160) return 0;  // the oracle is quadratic
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::size_t zero = input.find('\0');
  if (zero == std::string_view::npos) return 0;
  const std::string search = vantrel::repairedUtf8(input.substr(0, zero));
  const std::string text = vantrel::repairedUtf8(input.substr(zero + 1));
  const auto found = vantrel::rangeOf(text, search);
  if (found != naiveSearch(text, search)) std::abort();
  if (found) {
    // The UTF-16 form names the same place.
    const vantrel::Utf16Range units = vantrel::rangeOfUtf16(text, search);
    if (vantrel::byteRange(text, units) != *found) std::abort();
  }
  return 0;
}
