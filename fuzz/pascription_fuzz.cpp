// Arbitrary text as a path description: parsing never crashes, never keeps
// an empty or slashed component, and resolution (without creating anything)
// never yields a path with a ".." level or outside the base's folder.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "vantrel/core/console.h"
#include "vantrel/foundation/files/pascription.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  vantrel::ConsoleCapture quiet;
  const auto p = vantrel::Pascription::fromText(text);
  if (!p) return 0;
  for (const auto& component : p->components()) {
    if (component.empty() || component.find('/') != std::string::npos) std::abort();
  }
  (void)p->description();
  const auto url = p->vendUrl();
  if (!url) return 0;
  const auto base = vantrel::Pascription(p->base()).vendUrl();
  if (!base) std::abort();
  const std::string& path = url->path();
  if (path.find("/../") != std::string::npos || path.ends_with("/..")) std::abort();
  if (path.compare(0, base->path().size(), base->path()) != 0) std::abort();
  return 0;
}
