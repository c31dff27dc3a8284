#include "vantrel/foundation/resources/compression.h"

#include <climits>
#include <cstring>
#include <limits>

#include <lz4.h>
#include <lzma.h>
#include <zlib.h>

#include "vantrel/core/checked.h"
#include "vantrel/foundation/resources/internal/decoders.h"

namespace vantrel {

namespace foundation_internal {

namespace {

constexpr std::size_t kFirstRoom = 64 * 1024;

std::size_t saturatingAdd(std::size_t a, std::size_t b) {
  return overflowingAdd(a, b).value_or(std::numeric_limits<std::size_t>::max());
}

// Grows `out` for the next call of a streaming decoder, never past one byte
// beyond `limit`: a decoder that fills that byte has passed the limit.
void growRoom(Data& out, std::size_t produced, std::size_t limit) {
  if (produced < out.size()) return;
  const std::size_t ceiling = saturatingAdd(limit, 1);
  const std::size_t room = std::min(std::max(produced, kFirstRoom), ceiling - produced);
  out.resize(produced + room);
}

std::uint32_t load32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

constexpr std::uint32_t kLz4End = 0x24347662;         // "bv4$"
constexpr std::uint32_t kLz4Raw = 0x2d347662;         // "bv4-"
constexpr std::uint32_t kLz4Compressed = 0x31347662;  // "bv41"
constexpr std::size_t kLz4Window = 64 * 1024;

}  // namespace

std::optional<Data> inflateRaw(std::span<const std::uint8_t> input, std::size_t limit) {
  if (input.empty()) return std::nullopt;
  z_stream stream{};
  if (inflateInit2(&stream, -MAX_WBITS) != Z_OK) return std::nullopt;
  struct End {
    z_stream* stream;
    ~End() { inflateEnd(stream); }
  } end{&stream};

  Data out;
  std::size_t produced = 0;
  std::size_t consumed = 0;
  for (;;) {
    if (stream.avail_in == 0 && consumed < input.size()) {
      const std::size_t chunk = std::min<std::size_t>(input.size() - consumed, UINT_MAX);
      stream.next_in = const_cast<Bytef*>(input.data() + consumed);  // zlib never writes through it
      stream.avail_in = static_cast<uInt>(chunk);
      consumed += chunk;
    }
    growRoom(out, produced, limit);
    const std::size_t room = std::min<std::size_t>(out.size() - produced, UINT_MAX);
    stream.next_out = out.data() + produced;
    stream.avail_out = static_cast<uInt>(room);
    const uInt inBefore = stream.avail_in;
    const int status = inflate(&stream, Z_NO_FLUSH);
    const std::size_t written = room - stream.avail_out;
    produced += written;
    if (produced > limit) return std::nullopt;
    if (status == Z_STREAM_END) {
      out.resize(produced);
      return out;
    }
    if (status != Z_OK && status != Z_BUF_ERROR) return std::nullopt;
    // All input given and nothing moved: the stream is cut short. Without
    // this test the loop would call again for ever.
    if (written == 0 && stream.avail_in == inBefore && consumed == input.size() && stream.avail_out > 0) {
      return std::nullopt;
    }
  }
}

std::optional<Data> decodeXz(std::span<const std::uint8_t> input, std::size_t limit) {
  if (input.empty()) return std::nullopt;
  lzma_stream stream = LZMA_STREAM_INIT;
  if (lzma_stream_decoder(&stream, kXzMemoryLimit, 0) != LZMA_OK) return std::nullopt;
  struct End {
    lzma_stream* stream;
    ~End() { lzma_end(stream); }
  } end{&stream};

  Data out;
  std::size_t produced = 0;
  stream.next_in = input.data();
  stream.avail_in = input.size();
  for (;;) {
    growRoom(out, produced, limit);
    const std::size_t room = out.size() - produced;
    stream.next_out = out.data() + produced;
    stream.avail_out = room;
    // Everything is handed over at once, so a stream that ends early
    // reports LZMA_BUF_ERROR instead of waiting for more.
    const lzma_ret status = lzma_code(&stream, LZMA_FINISH);
    produced += room - stream.avail_out;
    if (produced > limit) return std::nullopt;
    if (status == LZMA_STREAM_END) {
      out.resize(produced);
      return out;
    }
    if (status != LZMA_OK) return std::nullopt;
  }
}

std::optional<Data> decodeLz4Blocks(std::span<const std::uint8_t> input, std::size_t limit) {
  if (input.empty()) return std::nullopt;
  Data out;
  const std::uint8_t* p = input.data();
  std::size_t left = input.size();
  for (;;) {
    if (left < 4) return std::nullopt;
    const std::uint32_t magic = load32(p);
    if (magic == kLz4End) return out;
    if (magic == kLz4Raw) {
      if (left < 8) return std::nullopt;
      const std::size_t size = load32(p + 4);
      if (size > left - 8 || size > limit - out.size()) return std::nullopt;
      out.insert(out.end(), p + 8, p + 8 + size);
      p += 8 + size;
      left -= 8 + size;
    } else if (magic == kLz4Compressed) {
      if (left < 12) return std::nullopt;
      const std::size_t rawSize = load32(p + 4);
      const std::size_t payloadSize = load32(p + 8);
      if (payloadSize > left - 12 || rawSize > limit - out.size()) return std::nullopt;
      if (rawSize > static_cast<std::size_t>(INT_MAX) || payloadSize > static_cast<std::size_t>(INT_MAX)) {
        return std::nullopt;
      }
      const std::size_t before = out.size();
      out.resize(before + rawSize);
      // The window is the output just before this block, so liblz4 sees it
      // as the prefix of the block it writes.
      const std::size_t window = std::min(before, kLz4Window);
      const int decoded = LZ4_decompress_safe_usingDict(
          reinterpret_cast<const char*>(p + 12), reinterpret_cast<char*>(out.data() + before),
          static_cast<int>(payloadSize), static_cast<int>(rawSize),
          reinterpret_cast<const char*>(out.data() + before - window), static_cast<int>(window));
      if (decoded < 0 || static_cast<std::size_t>(decoded) != rawSize) return std::nullopt;
      p += 12 + payloadSize;
      left -= 12 + payloadSize;
    } else {
      return std::nullopt;
    }
  }
}

}  // namespace foundation_internal

std::size_t defaultUncompressedLimit(std::size_t inputSize) {
  constexpr std::size_t kCeiling = std::size_t{1} << 30;
  const auto scaled = overflowingMul(inputSize, std::size_t{1000});
  return scaled ? std::min(*scaled, kCeiling) : kCeiling;
}

std::optional<Data> uncompressed(std::span<const std::uint8_t> data, Compression algorithm) {
  return uncompressed(data, algorithm, defaultUncompressedLimit(data.size()));
}

std::optional<Data> uncompressed(std::span<const std::uint8_t> data, Compression algorithm,
                                 std::size_t outputLimit) {
  if (data.empty()) return std::nullopt;
  switch (algorithm) {
    case Compression::lz4:
      return foundation_internal::decodeLz4Blocks(data, outputLimit);
    case Compression::zlib:
      return foundation_internal::inflateRaw(data, outputLimit);
    case Compression::lzma:
      return foundation_internal::decodeXz(data, outputLimit);
    case Compression::lzfse:
      return foundation_internal::decodeLzfse(data, outputLimit);
  }
  return std::nullopt;
}

}  // namespace vantrel
