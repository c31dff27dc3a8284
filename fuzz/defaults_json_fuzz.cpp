// Arbitrary bytes as a user-defaults file's JSON: no crash, no runaway
// recursion; whatever is read writes back to text that reads the same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "vantrel/platform/foundation/defaults/internal/defaults_json.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  auto node = vantrel::foundation_internal::parseJson(text);
  if (!node) return 0;
  const auto again = vantrel::foundation_internal::parseJson(vantrel::foundation_internal::writeJson(*node));
  if (!again) std::abort();
  // NaN never comes out of the reader, so equality is meaningful.
  if (!(*again == *node)) std::abort();
  return 0;
}
