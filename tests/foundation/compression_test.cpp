#include "vantrel/foundation/resources/compression.h"

#include <fstream>
#include <iterator>
#include <random>

#include "tests/foundation/compression_test_support.h"
#include "tests/support/fixtures.h"
#include "vantrel/foundation/resources/internal/decoders.h"
#include "vantrel/platform/posix/read_file.h"

namespace vantrel {
namespace {

using testing::deflateRaw;
using testing::encodeLz4Blocks;
using testing::encodeXz;

constexpr std::size_t kGenerous = std::size_t{1} << 30;

Data readBytes(const std::filesystem::path& path) {
  std::string text;
  EXPECT_FALSE(posix::readFile(path.string(), text)) << path;
  return Data(text.begin(), text.end());
}

Data sampleText(std::size_t size) {
  std::mt19937 random(7);
  static const char* const words[] = {"alpha ", "beta ", "gamma ", "delta\n", "{\"k\": 1}, ", "ε "};
  Data out;
  while (out.size() < size) {
    const std::string_view w = words[random() % 6];
    out.insert(out.end(), w.begin(), w.end());
  }
  out.resize(size);
  return out;
}

struct Vector {
  const char* stream;
  const char* plain;
};

constexpr Vector kVectors[] = {
    {"empty.bin.lzfse", "empty.bin"},
    {"empty.bin.bare.lzfse", "empty.bin"},
    {"one-byte.bin.lzfse", "one-byte.bin"},
    {"small.json.lzfse", "small.json"},
    {"large.json.lzfse", "large.json"},
    {"large.json.v1.lzfse", "large.json"},
    {"random-1m.bin.lzfse", "random-1m.bin"},
    {"random-1m.bin.uncompressed.lzfse", "random-1m.bin"},
    {"pattern-1m.bin.lzfse", "pattern-1m.bin"},
    {"text-5m.txt.lzfse", "text-5m.txt"},
    {"multi-block.bin.lzfse", "multi-block.bin"},
};

TEST(LzfseVectors, EveryStreamDecodesToItsFile) {
  VANTREL_REQUIRE_FIXTURES(fixtures);
  for (const auto& v : kVectors) {
    SCOPED_TRACE(v.stream);
    const Data stream = readBytes(fixtures / "lzfse" / v.stream);
    const Data plain = readBytes(fixtures / "lzfse" / v.plain);
    const auto decoded = uncompressed(stream, Compression::lzfse, kGenerous);
    ASSERT_TRUE(decoded.has_value());
    EXPECT_TRUE(*decoded == plain) << decoded->size() << " bytes, expected " << plain.size();
  }
}

TEST(LzfseVectors, EveryCutAtASixteenthFails) {
  VANTREL_REQUIRE_FIXTURES(fixtures);
  for (const auto& v : kVectors) {
    SCOPED_TRACE(v.stream);
    const Data stream = readBytes(fixtures / "lzfse" / v.stream);
    for (std::size_t k = 0; k < 16; ++k) {
      const std::size_t length = stream.size() * k / 16;
      SCOPED_TRACE(length);
      EXPECT_FALSE(uncompressed(std::span(stream.data(), length), Compression::lzfse, kGenerous).has_value());
    }
    // Up to the last byte of the end marker.
    EXPECT_FALSE(uncompressed(std::span(stream.data(), stream.size() - 1), Compression::lzfse, kGenerous));
  }
}

TEST(LzfseVectors, FlippedBytesNeverCrash) {
  VANTREL_REQUIRE_FIXTURES(fixtures);
  std::mt19937 random(11);
  for (const char* name : {"small.json.lzfse", "large.json.lzfse", "large.json.v1.lzfse", "multi-block.bin.lzfse",
                           "pattern-1m.bin.lzfse", "one-byte.bin.lzfse"}) {
    SCOPED_TRACE(name);
    const Data stream = readBytes(fixtures / "lzfse" / name);
    for (int trial = 0; trial < 300; ++trial) {
      Data damaged = stream;
      const std::size_t at = random() % damaged.size();
      damaged[at] ^= static_cast<std::uint8_t>(1u << (random() % 8));
      const auto decoded = uncompressed(damaged, Compression::lzfse, 4 << 20);
      if (decoded) {
        EXPECT_LE(decoded->size(), std::size_t{4} << 20);
      }
    }
  }
}

TEST(LzfseVectors, DefaultLimitRefusesMoreThanAThousandTimesTheInput) {
  VANTREL_REQUIRE_FIXTURES(fixtures);
  // 777 bytes that decode to 1 MiB: past 1000 times the input.
  const Data stream = readBytes(fixtures / "lzfse" / "pattern-1m.bin.lzfse");
  EXPECT_FALSE(uncompressed(stream, Compression::lzfse).has_value());
  EXPECT_FALSE(uncompressed(stream, Compression::lzfse, (1 << 20) - 1).has_value());
  EXPECT_EQ(uncompressed(stream, Compression::lzfse, 1 << 20)->size(), std::size_t{1} << 20);
}

// Hand-made streams for the checks the vectors do not reach.
Data block(std::initializer_list<std::uint8_t> bytes) { return Data(bytes); }

TEST(LzfseStreams, BoundsAreChecked) {
  struct Case {
    const char* what;
    Data stream;
    bool decodes;
  };
  const Case cases[] = {
      {"raw block", block({'b', 'v', 'x', '-', 2, 0, 0, 0, 'h', 'i', 'b', 'v', 'x', '$'}), true},
      {"raw block longer than the input", block({'b', 'v', 'x', '-', 9, 0, 0, 0, 'h', 'i', 'b', 'v', 'x', '$'}), false},
      {"raw block of 4 GiB", block({'b', 'v', 'x', '-', 0xff, 0xff, 0xff, 0xff, 'b', 'v', 'x', '$'}), false},
      {"no end marker", block({'b', 'v', 'x', '-', 0, 0, 0, 0}), false},
      {"unknown block", block({'b', 'v', 'x', '9', 0, 0, 0, 0}), false},
      // LZVN: 2 literals "ab", a match of 3 at distance 2, end of stream.
      {"lzvn", block({'b', 'v', 'x', 'n', 5, 0, 0, 0, 12, 0, 0, 0, 0x80, 0x02, 'a', 'b', 6, 0, 0, 0, 0, 0, 0, 0,
                      'b', 'v', 'x', '$'}),
       true},
      {"lzvn distance before the start",
       block({'b', 'v', 'x', 'n', 5, 0, 0, 0, 11, 0, 0, 0, 0x80, 0x09, 'a', 'b', 6, 0, 0, 0, 0, 0, 0, 0,
              'b', 'v', 'x', '$'}),
       false},
      {"lzvn without end of stream", block({'b', 'v', 'x', 'n', 2, 0, 0, 0, 3, 0, 0, 0, 0xE2, 'a', 'b',
                                            'b', 'v', 'x', '$'}),
       false},
      {"lzvn undefined opcode", block({'b', 'v', 'x', 'n', 0, 0, 0, 0, 9, 0, 0, 0, 0x1E, 6, 0, 0, 0, 0, 0, 0, 0,
                                       'b', 'v', 'x', '$'}),
       false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(uncompressed(c.stream, Compression::lzfse, kGenerous).has_value(), c.decodes);
  }
}

TEST(Lzvn, LiteralsMatchesAndTheEndMarker) {
  // "ab", then 3 bytes from 2 back (sml_d: L=2, M=3, D=2), end of stream.
  const Data payload{0x80, 0x02, 'a', 'b', 0x06, 0, 0, 0, 0, 0, 0, 0};
  Data out;
  ASSERT_TRUE(foundation_internal::decodeLzvn(payload, 5, out));
  EXPECT_EQ(std::string(out.begin(), out.end()), "ababa");
  Data shorter;
  EXPECT_FALSE(foundation_internal::decodeLzvn(payload, 4, shorter));  // more output than the block holds
  EXPECT_TRUE(shorter.empty());
  Data longer;
  EXPECT_FALSE(foundation_internal::decodeLzvn(payload, 6, longer));  // ends early
  // A match reaching into earlier output.
  Data history{'x', 'y'};
  const Data again{0xF3, 0x06, 0, 0, 0, 0, 0, 0, 0};  // sml_m of 3 with the previous distance: none yet
  EXPECT_FALSE(foundation_internal::decodeLzvn(again, 3, history));
  const Data far{0x07, 0x02, 0x00, 0x06, 0, 0, 0, 0, 0, 0, 0};  // lrg_d: M=3, D=2
  ASSERT_TRUE(foundation_internal::decodeLzvn(far, 3, history));
  EXPECT_EQ(std::string(history.begin(), history.end()), "xyxyx");
}

TEST(Compression, EmptyInputGivesNothing) {
  for (auto algorithm : {Compression::lz4, Compression::zlib, Compression::lzma, Compression::lzfse}) {
    EXPECT_FALSE(uncompressed(Data{}, algorithm).has_value());
  }
}

TEST(Compression, RoundTripsThroughTheLibrariesEncoders) {
  for (std::size_t size : {std::size_t{1}, std::size_t{4096}, std::size_t{10000}, std::size_t{300000}}) {
    SCOPED_TRACE(size);
    const Data plain = sampleText(size);
    EXPECT_EQ(uncompressed(deflateRaw(plain), Compression::zlib), plain);
    EXPECT_EQ(uncompressed(encodeXz(plain), Compression::lzma), plain);
    EXPECT_EQ(uncompressed(encodeLz4Blocks(plain), Compression::lz4), plain);
  }
  // Streams of nothing give empty data, not nothing.
  EXPECT_EQ(uncompressed(deflateRaw({}), Compression::zlib), Data{});
  EXPECT_EQ(uncompressed(encodeXz({}), Compression::lzma), Data{});
  EXPECT_EQ(uncompressed(encodeLz4Blocks({}), Compression::lz4), Data{});
}

TEST(Compression, Lz4BlocksReferToThePreviousBlocks) {
  // Blocks of 1 KiB that repeat earlier ones compress only through the window.
  Data plain = sampleText(1024);
  for (int i = 0; i < 6; ++i) plain.insert(plain.end(), plain.begin(), plain.begin() + 1024);
  const Data stream = encodeLz4Blocks(plain, 1024);
  EXPECT_LT(stream.size(), plain.size() / 2);
  EXPECT_EQ(uncompressed(stream, Compression::lz4), plain);
}

TEST(Compression, TruncatedOrCorruptStreamsGiveNothing) {
  const Data plain = sampleText(50000);
  const std::pair<Compression, Data> streams[] = {
      {Compression::zlib, deflateRaw(plain)},
      {Compression::lzma, encodeXz(plain)},
      {Compression::lz4, encodeLz4Blocks(plain)},
  };
  for (const auto& [algorithm, stream] : streams) {
    SCOPED_TRACE(static_cast<int>(algorithm));
    for (std::size_t k = 1; k < 16; ++k) {
      EXPECT_FALSE(uncompressed(std::span(stream.data(), stream.size() * k / 16), algorithm).has_value());
    }
    EXPECT_FALSE(uncompressed(std::span(stream.data(), stream.size() - 1), algorithm).has_value());
  }
  const Data garbage{1, 2, 3, 4, 5, 6, 7, 8, 9};
  for (auto algorithm : {Compression::lz4, Compression::zlib, Compression::lzma, Compression::lzfse}) {
    EXPECT_FALSE(uncompressed(garbage, algorithm).has_value());
  }
  // xz checks its CRC: a flipped byte of content is caught.
  Data xz = encodeXz(plain);
  xz[xz.size() / 2] ^= 0x10;
  EXPECT_FALSE(uncompressed(xz, Compression::lzma).has_value());
}

TEST(Compression, OutputLimitIsExact) {
  const Data plain = sampleText(100000);
  const std::pair<Compression, Data> streams[] = {
      {Compression::zlib, deflateRaw(plain)},
      {Compression::lzma, encodeXz(plain)},
      {Compression::lz4, encodeLz4Blocks(plain)},
  };
  for (const auto& [algorithm, stream] : streams) {
    SCOPED_TRACE(static_cast<int>(algorithm));
    EXPECT_EQ(uncompressed(stream, algorithm, plain.size()), plain);
    EXPECT_FALSE(uncompressed(stream, algorithm, plain.size() - 1).has_value());
    EXPECT_FALSE(uncompressed(stream, algorithm, 0).has_value());
  }
}

TEST(Compression, TenMegabyteZlibBombStaysUnderTheCap) {
  const Data zeros(10'000'000, 0);
  const Data bomb = deflateRaw(zeros, 9);
  ASSERT_LT(bomb.size() * 1000, zeros.size());
  EXPECT_EQ(defaultUncompressedLimit(bomb.size()), bomb.size() * 1000);
  EXPECT_FALSE(uncompressed(bomb, Compression::zlib).has_value());
  // A caller who expects it raises the limit.
  EXPECT_EQ(uncompressed(bomb, Compression::zlib, zeros.size()), zeros);
}

// LZFSE raw blocks ("bvx-") of `blockSize` bytes, then "bvx$".
Data lzfseRawBlocks(const Data& input, std::size_t blockSize) {
  Data out;
  for (std::size_t at = 0; at < input.size(); at += blockSize) {
    const std::size_t n = std::min(blockSize, input.size() - at);
    testing::put32(out, 0x2d787662);
    testing::put32(out, static_cast<std::uint32_t>(n));
    out.insert(out.end(), input.begin() + static_cast<std::ptrdiff_t>(at),
               input.begin() + static_cast<std::ptrdiff_t>(at + n));
  }
  testing::put32(out, 0x24787662);
  return out;
}

TEST(Compression, BombsAreRefusedWithoutTheBufferPassingTheLimit) {
  // A limit that no doubling of a power of two meets.
  constexpr std::size_t kLimit = 3 * (std::size_t{1} << 20) + 5;
  const Data zeros(16 << 20, 0);
  const Data exact(kLimit, 0);
  using Decoder = bool (*)(std::span<const std::uint8_t>, std::size_t, Data&);
  const struct {
    const char* name;
    Decoder decode;
    Data bomb;
    Data atTheLimit;
    std::size_t slack;  // what the decoder may hold beyond the limit
  } cases[] = {
      {"raw DEFLATE", foundation_internal::inflateRawInto, deflateRaw(zeros, 9), deflateRaw(exact, 9), 1},
      {"xz", foundation_internal::decodeXzInto, encodeXz(zeros), encodeXz(exact), 1},
      {"LZ4 blocks", foundation_internal::decodeLz4BlocksInto, encodeLz4Blocks(zeros, 65536),
       encodeLz4Blocks(exact, 65536), 0},
      {"LZFSE raw blocks", foundation_internal::decodeLzfseInto, lzfseRawBlocks(zeros, 100000),
       lzfseRawBlocks(exact, 100000), 32},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Data out;
    EXPECT_FALSE(c.decode(c.bomb, kLimit, out));
    // Capacity only grows: this is the most the buffer ever held.
    EXPECT_LE(out.capacity(), kLimit + c.slack);
    Data whole;
    ASSERT_TRUE(c.decode(c.atTheLimit, kLimit, whole));
    EXPECT_EQ(whole, exact);
    EXPECT_LE(whole.capacity(), kLimit + c.slack);
  }
}

TEST(Compression, ResultsKeepNoLargeUnusedBuffer) {
  // 1 MiB under a 64 MiB limit: the buffer grows past it to the limit.
  const Data plain = sampleText(1 << 20);
  const std::size_t limit = 64 << 20;
  const std::pair<Compression, Data> streams[] = {
      {Compression::zlib, deflateRaw(plain)},
      {Compression::lzma, encodeXz(plain)},
      {Compression::lz4, encodeLz4Blocks(plain)},
  };
  for (const auto& [algorithm, stream] : streams) {
    SCOPED_TRACE(static_cast<int>(algorithm));
    const auto out = uncompressed(stream, algorithm, limit);
    ASSERT_EQ(out, plain);
    EXPECT_LE(out->capacity(), 4 * plain.size());
  }
}

TEST(Compression, DefaultLimitIsTheSmallerOfOneGibAndAThousandTimes) {
  EXPECT_EQ(defaultUncompressedLimit(0), 0u);
  EXPECT_EQ(defaultUncompressedLimit(12), 12000u);
  EXPECT_EQ(defaultUncompressedLimit(2'000'000), std::size_t{1} << 30);
  EXPECT_EQ(defaultUncompressedLimit(SIZE_MAX), std::size_t{1} << 30);
}

}  // namespace
}  // namespace vantrel
