// Arbitrary bytes as a bundle's Info.json: no crash, no read outside the
// input, no runaway recursion; a found identifier is a well-formed text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "vantrel/platform/foundation/bundles/internal/info_json.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  auto value = vantrel::foundation_internal::infoJsonText(text, "CFBundleIdentifier");
  // Every output byte comes from an input byte or a decoded escape (at most
  // 4 bytes of UTF-8 for 6 or 12 bytes of input).
  if (value && value->size() > size) std::abort();
  return 0;
}
