// An LZVN payload alone: the first two bytes give the block's size (little
// endian), the rest is the payload, decoded after 16 bytes of earlier
// output that matches may reach. No crash; on success exactly the block's
// size is added; on failure the output is as it was.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "vantrel/foundation/resources/internal/decoders.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const std::size_t rawSize = static_cast<std::size_t>(data[0] | data[1] << 8);
  vantrel::Data out(16, 0x5a);
  const bool ok = vantrel::foundation_internal::decodeLzvn(std::span(data + 2, size - 2), rawSize, out);
  if (out.size() != (ok ? 16 + rawSize : 16)) std::abort();
  return 0;
}
