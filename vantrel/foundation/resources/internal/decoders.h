// The decoders behind `uncompressed`, one per stream format, for the tests
// and fuzz targets. Each answers nullopt for any stream that is not whole
// and valid, or whose output would pass `limit` bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "vantrel/core/data.h"

namespace vantrel::foundation_internal {

[[nodiscard]] std::optional<Data> inflateRaw(std::span<const std::uint8_t> input, std::size_t limit);
[[nodiscard]] std::optional<Data> decodeXz(std::span<const std::uint8_t> input, std::size_t limit);
[[nodiscard]] std::optional<Data> decodeLz4Blocks(std::span<const std::uint8_t> input, std::size_t limit);
[[nodiscard]] std::optional<Data> decodeLzfse(std::span<const std::uint8_t> input, std::size_t limit);
// The same into `out` (cleared first, its capacity kept), for callers that
// decode many streams; false leaves `out` unspecified.
[[nodiscard]] bool decodeLzfseInto(std::span<const std::uint8_t> input, std::size_t limit, Data& out);

// Decodes one LZVN payload, appending exactly `rawSize` bytes to `output`,
// whose earlier bytes matches may refer to. False (with `output` back at its
// size) for a payload that does not give exactly `rawSize` bytes and end
// with its end-of-stream opcode within `payload`.
[[nodiscard]] bool decodeLzvn(std::span<const std::uint8_t> payload, std::size_t rawSize, Data& output);

// Memory allowed to the .xz decoder (its dictionary): 128 MiB, as much as a
// stream made with `xz -9` needs.
inline constexpr std::uint64_t kXzMemoryLimit = 128ull << 20;

}  // namespace vantrel::foundation_internal
