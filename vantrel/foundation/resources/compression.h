// File: vantrel/foundation/resources/compression.h
//
// Decompression with the four algorithms of the platform's stream library.
//
//   auto json = uncompressed(bytes, Compression::lzfse);    // std::optional<Data>
//   auto big = uncompressed(bytes, Compression::zlib, 4ull << 30);   // a larger output limit
//
// | case  | stream format                                                   |
// |-------|-----------------------------------------------------------------|
// | lz4   | "bv41" blocks (sizes, then an LZ4 block that may refer to the   |
// |       | previous 64 KiB of output), "bv4-" raw blocks, "bv4$" at the end |
// | zlib  | raw DEFLATE (no zlib header or checksum)                        |
// | lzma  | the .xz container                                               |
// | lzfse | LZFSE blocks "bvx-", "bvx1", "bvx2", "bvxn", then "bvx$"        |
//
// Compressed data comes from outside, so every decoder is bounded: the
// output may not exceed a limit (by default the smaller of 1 GiB and 1000
// times the input), and a stream that is truncated, corrupt, or longer than
// the limit gives nullopt, never partial data. The output buffer grows
// toward the limit without passing it, so a bomb that is refused never held
// more memory than the limit (and a few MiB). Empty input gives nullopt; a
// valid stream of nothing gives empty data. Bytes after a stream's end are
// ignored. Per-call state only; any thread may call.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "vantrel/core/data.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

enum class Compression {
  lz4,
  zlib,
  lzma,
  lzfse,
};

// The default output limit for `inputSize` bytes of input: the smaller of
// 1 GiB and 1000 * `inputSize`.
[[nodiscard]] std::size_t defaultUncompressedLimit(std::size_t inputSize);

// The decompressed bytes, or nullopt (see the top).
[[nodiscard]] std::optional<Data> uncompressed(std::span<const std::uint8_t> data, Compression algorithm);
// The same with the caller's output limit in bytes.
[[nodiscard]] std::optional<Data> uncompressed(std::span<const std::uint8_t> data, Compression algorithm,
                                               std::size_t outputLimit);

}  // namespace vantrel
