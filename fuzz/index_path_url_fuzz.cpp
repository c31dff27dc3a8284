// Index paths from URLs: any URL text either gives nothing or a path whose
// URL form reads back as the same path.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "vantrel/core/number_text.h"
#include "vantrel/platform/foundation/files/url.h"
#include "vantrel/platform/foundation/values/index_path.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > 2000) return 0;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  for (const std::string& candidate : {std::string(text), "NSIndexPath://" + std::string(text)}) {
    const auto url = vantrel::URL::fromString(candidate);
    if (!url) continue;
    const auto path = vantrel::IndexPath::fromUrl(*url);
    if (!path) continue;
    if (path->section < 0 || path->item < 0) std::abort();  // a "-" sign makes three parts
    const auto again = vantrel::URL::fromString("NSIndexPath://" + vantrel::integerText(path->section) + "-" +
                                                vantrel::integerText(path->item));
    if (!again || vantrel::IndexPath::fromUrl(*again) != path) std::abort();
    (void)path->vtDescription();
  }
  return 0;
}
