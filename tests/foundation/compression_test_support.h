// Encoders for the decompression tests: the libraries' own, in the stream
// formats `uncompressed` reads.
#pragma once

#include <cstring>
#include <string>
#include <vector>

#include <lz4.h>
#include <lzma.h>
#include <zlib.h>

#include <gtest/gtest.h>

#include "vantrel/core/data.h"

namespace vantrel::testing {

// Raw DEFLATE (no zlib header), at `level`.
inline Data deflateRaw(const Data& input, int level = 6) {
  z_stream s{};
  EXPECT_EQ(deflateInit2(&s, level, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY), Z_OK);
  Data out(deflateBound(&s, input.size()));
  s.next_in = const_cast<Bytef*>(input.data());
  s.avail_in = static_cast<uInt>(input.size());
  s.next_out = out.data();
  s.avail_out = static_cast<uInt>(out.size());
  EXPECT_EQ(deflate(&s, Z_FINISH), Z_STREAM_END);
  out.resize(s.total_out);
  deflateEnd(&s);
  return out;
}

// An .xz stream.
inline Data encodeXz(const Data& input) {
  Data out(lzma_stream_buffer_bound(input.size()));
  std::size_t written = 0;
  EXPECT_EQ(lzma_easy_buffer_encode(6, LZMA_CHECK_CRC64, nullptr, input.data(), input.size(), out.data(), &written,
                                    out.size()),
            LZMA_OK);
  out.resize(written);
  return out;
}

inline void put32(Data& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

// The LZ4 block framing: "bv41" blocks of at most `blockSize` bytes, each
// compressed with the previous 64 KiB as dictionary ("bv4-" when that does
// not shrink it), then "bv4$".
inline Data encodeLz4Blocks(const Data& input, std::size_t blockSize = 16384) {
  Data out;
  LZ4_stream_t* stream = LZ4_createStream();
  for (std::size_t at = 0; at < input.size(); at += blockSize) {
    const std::size_t n = std::min(blockSize, input.size() - at);
    std::vector<char> buffer(static_cast<std::size_t>(LZ4_compressBound(static_cast<int>(n))));
    const int size = LZ4_compress_fast_continue(stream, reinterpret_cast<const char*>(input.data() + at),
                                                buffer.data(), static_cast<int>(n),
                                                static_cast<int>(buffer.size()), 1);
    EXPECT_GT(size, 0);
    if (static_cast<std::size_t>(size) < n) {
      put32(out, 0x31347662);
      put32(out, static_cast<std::uint32_t>(n));
      put32(out, static_cast<std::uint32_t>(size));
      out.insert(out.end(), buffer.begin(), buffer.begin() + size);
    } else {
      put32(out, 0x2d347662);
      put32(out, static_cast<std::uint32_t>(n));
      out.insert(out.end(), input.begin() + static_cast<std::ptrdiff_t>(at),
                 input.begin() + static_cast<std::ptrdiff_t>(at + n));
    }
  }
  LZ4_freeStream(stream);
  put32(out, 0x24347662);
  return out;
}

}  // namespace vantrel::testing
