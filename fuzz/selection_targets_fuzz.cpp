// Arbitrary bytes as an X client's TARGETS answer: the first byte picks the
// property's format. Only format 32 holds atoms, one per whole 4-byte item,
// None left out, in the order sent; other formats hold none. The same bytes
// as text to offer as STRING: a Latin-1 form, when there is one, encodes
// back to the very text, and pure ASCII always has one.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <span>
#include <string>
#include <string_view>

#include "vantrel/core/utf8.h"
#include "vantrel/platform/desktop/internal/selection_data.h"

namespace {

void checkLatin1(std::string_view text) {
  const auto latin1 = vantrel::desktop_internal::latin1FromUtf8(text);
  if (!latin1) {
    for (char c : text) {
      if (static_cast<unsigned char>(c) >= 0x80) return;
    }
    std::abort();  // ASCII always has a Latin-1 form
  }
  std::string again;
  for (std::uint8_t byte : *latin1) vantrel::appendUtf8(again, byte);
  if (again != text) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  checkLatin1(std::string_view(reinterpret_cast<const char*>(data), size));
  if (size == 0) return 0;
  const int formats[] = {8, 16, 32, 0};
  const int format = formats[data[0] % 4];
  const std::span<const std::uint8_t> bytes(data + 1, size - 1);
  const auto atoms = vantrel::desktop_internal::selectionTargetAtoms(format, bytes);
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
