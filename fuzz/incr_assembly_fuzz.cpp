// Arbitrary bytes as the chunks of an incremental transfer: the first byte
// sets the cap (in units of 16 bytes), then each chunk is a length byte and
// that many bytes (cut short at the end). What finishes is exactly the
// chunks before the first empty one; going over the cap keeps nothing, and
// nothing changes after the end.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "vantrel/platform/desktop/internal/selection_data.h"

using vantrel::desktop_internal::IncrAssembly;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::size_t cap = std::size_t{data[0]} * 16;
  IncrAssembly assembly(cap);
  std::vector<std::uint8_t> expected;
  IncrAssembly::State model = IncrAssembly::State::receiving;
  std::size_t at = 1;
  while (at < size) {
    const std::size_t length = std::min<std::size_t>(data[at], size - at - 1);
    const std::span<const std::uint8_t> chunk(data + at + 1, length);
    at += 1 + length;
    if (model == IncrAssembly::State::receiving) {
      if (chunk.empty()) {
        model = IncrAssembly::State::finished;
      } else if (expected.size() + chunk.size() > cap) {
        model = IncrAssembly::State::overCap;
        expected.clear();
      } else {
        expected.insert(expected.end(), chunk.begin(), chunk.end());
      }
    }
    if (assembly.append(chunk) != model || assembly.state() != model) std::abort();
    if (assembly.bytes() != expected) std::abort();
    if (assembly.bytes().size() > cap) std::abort();
  }
  return 0;
}
