// Arbitrary bytes as a user-defaults domain file: no crash, no runaway
// recursion, and what is read writes back to a text that reads as the same
// entries. Written once more it gives the same bytes: the file is stable
// after its first rewrite, whatever it held before.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "vantrel/platform/foundation/defaults/internal/defaults_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  namespace fi = vantrel::foundation_internal;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const auto entries = fi::readDefaultsEntries(text);
  if (!entries) return 0;
  const std::string written = fi::defaultsFileText(entries->values, entries->kept);
  const auto again = fi::readDefaultsEntries(written);
  if (!again) std::abort();
  if (again->values.size() != entries->values.size() || again->kept.size() != entries->kept.size()) std::abort();
  for (const auto& [key, node] : entries->kept) {
    const auto found = again->kept.find(key);
    if (found == again->kept.end() || !(found->second == node)) std::abort();
  }
  for (const auto& [key, value] : entries->values) {
    if (!again->values.contains(key)) std::abort();
  }
  if (fi::defaultsFileText(again->values, again->kept) != written) std::abort();
  return 0;
}
