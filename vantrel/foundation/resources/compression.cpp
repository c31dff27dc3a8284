#include "vantrel/foundation/resources/compression.h"

#include <algorithm>
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

// Streams are decoded into the result a chunk at a time: the chunk is
// zero-filled (a vector cannot grow uninitialised) while it is in the cache,
// then written over by the decoder, and the result's untouched capacity costs
// no memory.
constexpr std::size_t kChunk = 256 * 1024;

std::size_t saturatingAdd(std::size_t a, std::size_t b) {
  return overflowingAdd(a, b).value_or(std::numeric_limits<std::size_t>::max());
}

// What one call of a streaming decoder wrote and how the stream stands.
enum class StepStatus { more, done, failed };
struct Step {
  std::size_t written;
  StepStatus status;
};

// Shared by the stream decoders: decodes into `out` until `step` answers
// done or failed, never holding more than `limit` + 1 bytes: a decoder that
// fills that byte has passed the limit. `step(next, room)` decodes into
// [next, next + room).
template <typename Decode>
bool decodeStream(Data& out, std::size_t limit, Decode step) {
  const std::size_t ceiling = saturatingAdd(limit, 1);
  for (;;) {
    const std::size_t produced = out.size();
    reserveOutput(out, produced + 1, ceiling);
    const std::size_t room = std::min(out.capacity() - produced, kChunk);
    out.resize(produced + room);
    const Step result = step(out.data() + produced, room);
    out.resize(produced + result.written);
    if (out.size() > limit || result.status == StepStatus::failed) return false;
    if (result.status == StepStatus::done) return true;
  }
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

void releaseSlack(Data& out) {
  if (out.capacity() / 4 > out.size()) out.shrink_to_fit();
}

void reserveOutput(Data& out, std::size_t needed, std::size_t ceiling) {
  constexpr std::size_t kFirstRoom = 64 * 1024;
  if (needed <= out.capacity()) return;
  const std::size_t fourfold = overflowingMul(out.capacity(), std::size_t{4}).value_or(needed);
  std::size_t next = std::max({needed, fourfold, kFirstRoom});
  if (needed <= ceiling && next >= ceiling / 8) next = ceiling;
  out.reserve(next);
}

bool inflateRawInto(std::span<const std::uint8_t> input, std::size_t limit, Data& out) {
  out.clear();
  if (input.empty()) return false;
  z_stream stream{};
  if (inflateInit2(&stream, -MAX_WBITS) != Z_OK) return false;
  struct End {
    z_stream* stream;
    ~End() { inflateEnd(stream); }
  } end{&stream};

  std::size_t consumed = 0;
  return decodeStream(out, limit, [&](std::uint8_t* next, std::size_t room) {
    if (stream.avail_in == 0 && consumed < input.size()) {
      const std::size_t chunk = std::min<std::size_t>(input.size() - consumed, UINT_MAX);
      stream.next_in = const_cast<Bytef*>(input.data() + consumed);  // zlib never writes through it
      stream.avail_in = static_cast<uInt>(chunk);
      consumed += chunk;
    }
    stream.next_out = next;
    stream.avail_out = static_cast<uInt>(room);  // room <= kChunk
    const uInt inBefore = stream.avail_in;
    const int status = inflate(&stream, Z_NO_FLUSH);
    const std::size_t written = room - stream.avail_out;
    if (status == Z_STREAM_END) return Step{written, StepStatus::done};
    if (status != Z_OK && status != Z_BUF_ERROR) return Step{written, StepStatus::failed};
    // All input given and nothing moved: the stream is cut short. Without
    // this test the loop would call again for ever.
    if (written == 0 && stream.avail_in == inBefore && consumed == input.size() && stream.avail_out > 0) {
      return Step{written, StepStatus::failed};
    }
    return Step{written, StepStatus::more};
  });
}

bool decodeXzInto(std::span<const std::uint8_t> input, std::size_t limit, Data& out) {
  out.clear();
  if (input.empty()) return false;
  lzma_stream stream = LZMA_STREAM_INIT;
  if (lzma_stream_decoder(&stream, kXzMemoryLimit, 0) != LZMA_OK) return false;
  struct End {
    lzma_stream* stream;
    ~End() { lzma_end(stream); }
  } end{&stream};

  stream.next_in = input.data();
  stream.avail_in = input.size();
  return decodeStream(out, limit, [&](std::uint8_t* next, std::size_t room) {
    stream.next_out = next;
    stream.avail_out = room;
    // Everything is handed over at once, so a stream that ends early
    // reports LZMA_BUF_ERROR instead of waiting for more.
    const lzma_ret status = lzma_code(&stream, LZMA_FINISH);
    const std::size_t written = room - stream.avail_out;
    if (status == LZMA_STREAM_END) return Step{written, StepStatus::done};
    return Step{written, status == LZMA_OK ? StepStatus::more : StepStatus::failed};
  });
}

std::optional<Data> inflateRaw(std::span<const std::uint8_t> input, std::size_t limit) {
  Data out;
  if (!inflateRawInto(input, limit, out)) return std::nullopt;
  releaseSlack(out);
  return out;
}

std::optional<Data> decodeXz(std::span<const std::uint8_t> input, std::size_t limit) {
  Data out;
  if (!decodeXzInto(input, limit, out)) return std::nullopt;
  releaseSlack(out);
  return out;
}

bool decodeLz4BlocksInto(std::span<const std::uint8_t> input, std::size_t limit, Data& out) {
  out.clear();
  if (input.empty()) return false;
  const std::uint8_t* p = input.data();
  std::size_t left = input.size();
  for (;;) {
    if (left < 4) return false;
    const std::uint32_t magic = load32(p);
    if (magic == kLz4End) return true;
    if (magic == kLz4Raw) {
      if (left < 8) return false;
      const std::size_t size = load32(p + 4);
      if (size > left - 8 || size > limit - out.size()) return false;
      reserveOutput(out, out.size() + size, limit);
      out.insert(out.end(), p + 8, p + 8 + size);
      p += 8 + size;
      left -= 8 + size;
    } else if (magic == kLz4Compressed) {
      if (left < 12) return false;
      const std::size_t rawSize = load32(p + 4);
      const std::size_t payloadSize = load32(p + 8);
      if (payloadSize > left - 12 || rawSize > limit - out.size()) return false;
      if (rawSize > static_cast<std::size_t>(INT_MAX) || payloadSize > static_cast<std::size_t>(INT_MAX)) {
        return false;
      }
      const std::size_t before = out.size();
      reserveOutput(out, before + rawSize, limit);
      out.resize(before + rawSize);
      // The window is the output just before this block, so liblz4 sees it
      // as the prefix of the block it writes.
      const std::size_t window = std::min(before, kLz4Window);
      const int decoded = LZ4_decompress_safe_usingDict(
          reinterpret_cast<const char*>(p + 12), reinterpret_cast<char*>(out.data() + before),
          static_cast<int>(payloadSize), static_cast<int>(rawSize),
          reinterpret_cast<const char*>(out.data() + before - window), static_cast<int>(window));
      if (decoded < 0 || static_cast<std::size_t>(decoded) != rawSize) return false;
      p += 12 + payloadSize;
      left -= 12 + payloadSize;
    } else {
      return false;
    }
  }
}

std::optional<Data> decodeLz4Blocks(std::span<const std::uint8_t> input, std::size_t limit) {
  Data out;
  if (!decodeLz4BlocksInto(input, limit, out)) return std::nullopt;
  releaseSlack(out);
  return out;
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
