// Arbitrary bytes through the reader of colours kept in user defaults: no
// crash, and either no colour or a colour whose encoding is those very bytes.
#include <cstddef>
#include <cstdint>
#include <algorithm>
#include <cstdlib>
#include <span>
#include <vector>

#include "vantrel/drawing/color_defaults.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  const auto color = vantrel::unarchivedColor(bytes);
  if (!color) return 0;
  const std::vector<std::uint8_t> again = vantrel::archivedColorData(color);
  if (again.size() != size || !std::equal(again.begin(), again.end(), bytes.begin())) std::abort();
  return 0;
}
