// Arbitrary bytes as a shortcut storage string: reading never crashes, and
// whatever reads as a shortcut writes a storage string that reads back as
// the same shortcut (and writes the same string again).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "vantrel/shortcuts/modifier_flags.h"
#include "vantrel/shortcuts/shortcut.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const vantrel::ModifierFlags flags = vantrel::ModifierFlags::fromString(text);
  if (!flags.isSubset(vantrel::ModifierFlags::controlOptionShiftCommandFlags)) std::abort();
  const std::optional<vantrel::Shortcut> shortcut = vantrel::Shortcut::fromRawString(text);
  if (!shortcut) return 0;
  const std::string written = shortcut->rawString();
  const std::optional<vantrel::Shortcut> again = vantrel::Shortcut::fromRawString(written);
  if (!again || *again != *shortcut || again->rawString() != written) std::abort();
  return 0;
}
