// Arbitrary bytes as the /proc texts the running-application list reads
// ("stat", "/proc/stat", "status", "environ"): no crash, no read outside the
// input, and what comes back lies inside it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "vantrel/platform/kit/internal/proc_readers.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace vantrel::kit_internal;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  if (const auto stat = parseProcStat(text); stat && stat->name.size() + 2 > text.size()) std::abort();
  (void)parseBootTime(text);
  (void)parseRealUid(text);
  if (const auto value = environValue(text, "GIO_LAUNCHED_DESKTOP_FILE")) {
    if (value->data() < text.data() || value->data() + value->size() > text.data() + text.size()) std::abort();
  }
  if (const auto id = launchedDesktopFileId(text); id && (id->empty() || id->find('/') != std::string::npos)) {
    std::abort();
  }
  return 0;
}
