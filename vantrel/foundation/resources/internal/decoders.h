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

// The output of every decoder grows through `reserveOutput`, so the memory
// it holds stays within the most it may hold (the limit, and the decoder's
// own few bytes beyond it): see there.
[[nodiscard]] std::optional<Data> inflateRaw(std::span<const std::uint8_t> input, std::size_t limit);
[[nodiscard]] std::optional<Data> decodeXz(std::span<const std::uint8_t> input, std::size_t limit);
[[nodiscard]] std::optional<Data> decodeLz4Blocks(std::span<const std::uint8_t> input, std::size_t limit);
[[nodiscard]] std::optional<Data> decodeLzfse(std::span<const std::uint8_t> input, std::size_t limit);
// The same into `out` (cleared first, its capacity kept), for callers that
// decode many streams; false leaves `out` unspecified.
[[nodiscard]] bool decodeLzfseInto(std::span<const std::uint8_t> input, std::size_t limit, Data& out);

// The same into `out` (cleared first, its capacity kept); false leaves in
// `out` what was decoded before the stream failed or passed the limit (so a
// test can see how far its buffer grew).
[[nodiscard]] bool inflateRawInto(std::span<const std::uint8_t> input, std::size_t limit, Data& out);
[[nodiscard]] bool decodeXzInto(std::span<const std::uint8_t> input, std::size_t limit, Data& out);
[[nodiscard]] bool decodeLz4BlocksInto(std::span<const std::uint8_t> input, std::size_t limit, Data& out);

// Makes `out`'s capacity hold `needed` bytes, where a decoder may hold at
// most `ceiling`. The buffer grows fourfold, and straight to `ceiling` once
// the next size would reach an eighth of it. A growth copies the output so
// far while the old buffer still lives, so the copies stay below an eighth of
// the ceiling: the memory in use never passes the ceiling (the buffer's
// untouched capacity holds no pages), and all copies together write less
// than a sixth of it more than the output itself, the price of growing
// without knowing the size. `needed` beyond `ceiling` is reserved as asked.
void reserveOutput(Data& out, std::size_t needed, std::size_t ceiling);
// Moves a result that fills a quarter of its buffer or less (it grew
// straight to the ceiling) to a buffer of its own size; the copy holds
// twice its size, within the ceiling.
void releaseSlack(Data& out);

// Decodes one LZVN payload, appending exactly `rawSize` bytes to `output`,
// whose earlier bytes matches may refer to. False (with `output` back at its
// size) for a payload that does not give exactly `rawSize` bytes and end
// with its end-of-stream opcode within `payload`.
[[nodiscard]] bool decodeLzvn(std::span<const std::uint8_t> payload, std::size_t rawSize, Data& output);

// Memory allowed to the .xz decoder (its dictionary): 128 MiB, as much as a
// stream made with `xz -9` needs.
inline constexpr std::uint64_t kXzMemoryLimit = 128ull << 20;

}  // namespace vantrel::foundation_internal
