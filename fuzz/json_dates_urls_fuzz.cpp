// Arbitrary text read as a date and as a URL: no crash, and a text read as
// a date is exactly the text that date is written as.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "vantrel/foundation/json/json_dates_urls.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const vantrel::Json value(std::string(reinterpret_cast<const char*>(data), size));
  if (const auto date = vantrel::date(value)) {
    if (vantrel::jsonFromJoWithAdditions(vantrel::PlatformValue(*date)) != value) std::abort();
  }
  if (const auto url = vantrel::url(value)) (void)url->absoluteString();
  return 0;
}
