// Arbitrary bytes as an X client's TARGETS answer: the first byte picks the
// property's format. Only format 32 holds atoms, one per whole 4-byte item,
// None left out, in the order sent; other formats hold none.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <span>

#include "vantrel/platform/desktop/internal/selection_data.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const int formats[] = {8, 16, 32, 0};
  const int format = formats[data[0] % 4];
  const std::span<const std::uint8_t> bytes(data + 1, size - 1);
  const auto atoms = vantrel::foundation_internal::selectionTargetAtoms(format, bytes);
  if (format != 32) {
    if (!atoms.empty()) std::abort();
    return 0;
  }
  std::size_t next = 0;
  for (std::size_t offset = 0; offset + 4 <= bytes.size(); offset += 4) {
    std::uint32_t item = 0;
    std::memcpy(&item, bytes.data() + offset, 4);
    if (item == 0) continue;
    if (next >= atoms.size() || atoms[next] != item) std::abort();
    ++next;
  }
  if (next != atoms.size()) std::abort();
  return 0;
}
