// Arbitrary bytes in the LZ4 block framing ("bv41", "bv4-", "bv4$"), under
// the default output limit: no crash, never more than the limit.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "vantrel/foundation/resources/compression.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> input(data, size);
  const auto out = vantrel::uncompressed(input, vantrel::Compression::lz4);
  if (out && out->size() > vantrel::defaultUncompressedLimit(size)) std::abort();
  return 0;
}
