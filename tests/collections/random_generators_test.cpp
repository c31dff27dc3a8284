#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "tests/collections/random_reference_vectors.h"
#include "tests/support/fixtures.h"
#include "vantrel/collections/internal/dev_random_path.h"
#include "vantrel/collections/random_generators.h"
#include "vantrel/core/random.h"
#include "vantrel/platform/posix/write_all.h"

namespace vantrel {
namespace {

using Bytes = std::vector<std::uint8_t>;
constexpr std::uint64_t allOnes64 = ~std::uint64_t{0};

template <class G>
Bytes fill(G& generator, std::int64_t size) {
  Bytes bytes(static_cast<std::size_t>(size) + 1, 0xEE);  // one guard byte
  generator.randomize(bytes.data(), size);
  EXPECT_EQ(bytes.back(), 0xEE) << "wrote past the buffer";
  bytes.pop_back();
  return bytes;
}

// ---- Reference sequences ---------------------------------------------------------

TEST(MersenneTwister, MatchesTheStandardEngine) {
  std::mt19937_64 random(314159);
  std::vector<std::uint64_t> seeds{5489, 0, allOnes64};
  for (int i = 0; i < 5; ++i) seeds.push_back(random());
  for (std::uint64_t seed : seeds) {
    MersenneTwister ours(seed);
    std::mt19937_64 standard(seed);
    for (int i = 0; i < 1000; ++i) {  // past word 312 three times
      ASSERT_EQ(ours.random64(), standard()) << "seed " << seed << " draw " << i;
    }
  }
}

template <class G, std::size_t N>
void expectSequence(const reference::Sequence& expected) {
  std::array<std::uint64_t, N> seed{};
  ASSERT_EQ(expected.seed.size(), N);
  std::copy(expected.seed.begin(), expected.seed.end(), seed.begin());
  G generator(seed);
  for (std::size_t i = 0; i < expected.first.size(); ++i) {
    ASSERT_EQ(generator.randomWord(), expected.first[i]) << "output " << i + 1;
  }
  G far(seed);
  std::uint64_t last = 0;
  for (int i = 0; i < 100000; ++i) last = far.random64();
  EXPECT_EQ(last, expected.output100000);
}

TEST(SeededGenerators, MatchTheirPublishedDefinitions) {
  expectSequence<Xoroshiro, 2>(reference::xoroshiroOneTwo);
  expectSequence<Xoroshiro, 2>(reference::xoroshiroMixed);
  expectSequence<Lfsr258, 5>(reference::lfsr258Minimum);
  expectSequence<Lfsr258, 5>(reference::lfsr258Mixed);
  expectSequence<Lfsr176, 3>(reference::lfsr176Minimum);
  expectSequence<Lfsr176, 3>(reference::lfsr176Mixed);
  EXPECT_EQ(Xoroshiro({1, 2}).random64(), 3u);
}

TEST(SeededGenerators, SameSeedSameSequenceAndCopiesGoOnAlone) {
  Lfsr258 a({2, 512, 4096, 131072, 8388608});
  (void)a.random64();
  Lfsr258 copy = a;
  EXPECT_EQ(a.random64(), copy.random64());
  EXPECT_EQ(a.randomHalfOpen(), copy.randomHalfOpen());
  Xoroshiro x, y;  // seeded from the device, independently
  EXPECT_NE(x.state(), y.state());
}

// ---- Constant generator, fills and bounded draws ------------------------------------

TEST(ConstantNonRandom, DrawsFillsAndBoundedDraws) {
  ConstantNonRandom c(0x0102030405060708ULL);
  EXPECT_EQ(c.random64(), 0x0102030405060708ULL);
  EXPECT_EQ(c.random64(), 0x0102030405060708ULL);
  EXPECT_EQ(c.random32(), 0x08070605u);
  EXPECT_EQ(fill(c, 0), Bytes{});
  EXPECT_EQ(fill(c, 4), (Bytes{5, 6, 7, 8}));
  EXPECT_EQ(fill(c, 8), (Bytes{8, 7, 6, 5, 4, 3, 2, 1}));
  EXPECT_EQ(fill(c, 12), (Bytes{8, 7, 6, 5, 4, 3, 2, 1, 5, 6, 7, 8}));
  EXPECT_EQ(fill(c, 13), (Bytes{8, 7, 6, 5, 4, 3, 2, 1, 4, 5, 6, 7, 8}));
  EXPECT_EQ(c.random64(9), 0x0102030405060708ULL % 10);
  EXPECT_EQ(c.random64(0), 0u);
  EXPECT_EQ(c.random64(allOnes64), 0x0102030405060708ULL);
  EXPECT_EQ(c.random32(9), 0x08070605u % 10);
  EXPECT_EQ(c.random32(0xFFFFFFFFu), 0x08070605u);
}

TEST(WordFill, WholeWordsThenTheRestBackwards) {
  Xoroshiro g({11, 22});
  Xoroshiro copy = g;
  const std::uint64_t first = copy.randomWord(), second = copy.randomWord();
  const Bytes bytes = fill(g, 12);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(bytes[i], static_cast<std::uint8_t>(first >> (8 * i)));
  for (int i = 0; i < 4; ++i) EXPECT_EQ(bytes[8 + i], static_cast<std::uint8_t>(second >> (8 * (3 - i))));
  EXPECT_EQ(g.state(), copy.state());
  (void)fill(g, 0);
  EXPECT_EQ(g.state(), copy.state());  // no word drawn
}

// Answers scripted 64- and 32-bit draws and counts them.
class ScriptedGenerator : public RandomGeneratorDefaults<ScriptedGenerator> {
 public:
  using RandomGeneratorDefaults<ScriptedGenerator>::random64;
  using RandomGeneratorDefaults<ScriptedGenerator>::random32;
  ScriptedGenerator() = default;
  explicit ScriptedGenerator(std::vector<std::uint64_t> draws) : draws_(std::move(draws)) {}
  void randomize(void*, std::int64_t) { ADD_FAILURE() << "no byte fills expected"; }
  std::uint64_t random64() { return draws_.at(used_++); }
  std::uint32_t random32() { return static_cast<std::uint32_t>(draws_.at(used_++)); }
  std::size_t used() const { return used_; }

 private:
  std::vector<std::uint64_t> draws_;
  std::size_t used_ = 0;
};

TEST(BoundedDraws, EdgesAndRejection) {
  Xoroshiro g({5, 6});
  const auto before = g.state();
  EXPECT_EQ(g.random64(0), 0u);
  EXPECT_EQ(g.random32(0), 0u);
  EXPECT_EQ(g.state(), before);
  Xoroshiro copy = g;
  EXPECT_EQ(g.random64(allOnes64), copy.random64());
  EXPECT_EQ(g.state(), copy.state());

  // max 9: the threshold is (2^64 - 1) mod 10 = 5, not 2^64 mod 10 = 6.
  ScriptedGenerator small({4, 0, 5});
  EXPECT_EQ(small.random64(9), 5u);
  EXPECT_EQ(small.used(), 3u);
  // max 2^63: threshold 2^63 - 2; two draws below it are refused.
  const std::uint64_t big = std::uint64_t{1} << 63;
  ScriptedGenerator large({7, big - 3, big - 2});
  EXPECT_EQ(large.random64(big), big - 2);
  EXPECT_EQ(large.used(), 3u);
  // A draw at or above max needs no threshold.
  ScriptedGenerator high({allOnes64});
  EXPECT_EQ(high.random64(9), allOnes64 % 10);
  // 32 bits: threshold (2^32 - 1) mod 10 = 5.
  ScriptedGenerator small32({1, 4, 5});
  EXPECT_EQ(small32.random32(9), 5u);
  EXPECT_EQ(small32.used(), 3u);
  ScriptedGenerator all32({0x12345678});
  EXPECT_EQ(all32.random32(0xFFFFFFFFu), 0x12345678u);
  EXPECT_EQ(all32.used(), 1u);
}

// The draw keeps the last bound's reciprocal: changing the bound between
// draws must give what plain division and the rejection rule give.
TEST(BoundedDraws, MatchPlainDivisionWhileTheBoundChanges) {
  Xoroshiro g({123, 456});
  Xoroshiro reference = g;
  std::mt19937_64 pick(8);
  for (int i = 0; i < 20000; ++i) {
    std::uint64_t max = pick() >> (pick() % 64);
    if (max == 0 || max == allOnes64) max = 2;
    const std::uint64_t m = max + 1;
    const std::uint64_t threshold = allOnes64 % m;
    std::uint64_t x = reference.random64();
    while (x < threshold) x = reference.random64();
    ASSERT_EQ(g.random64(max), x % m) << "max " << max;
  }
  EXPECT_EQ(g.state(), reference.state());
  ScriptedGenerator alternating({17, 17, 17});
  EXPECT_EQ(alternating.random64(9), 7u);
  EXPECT_EQ(alternating.random64(4), 2u);
  EXPECT_EQ(alternating.random64(9), 7u);
}

TEST(BoundedDraws, StayInRange) {
  MersenneTwister mt(1);
  for (std::uint64_t max : {1ULL, 2ULL, 6ULL, 1000ULL, (1ULL << 63) + 5}) {
    for (int i = 0; i < 2000; ++i) ASSERT_LE(mt.random64(max), max);
  }
  for (std::uint32_t max : {1u, 6u, 0x80000001u}) {
    for (int i = 0; i < 2000; ++i) ASSERT_LE(mt.random32(max), max);
  }
}

TEST(DoubleConversions, EndsAndThe53BitEdge) {
  const std::uint64_t low53 = (std::uint64_t{1} << 53) - 1;
  EXPECT_EQ(halfOpenDoubleFrom64(0), 0.0);
  EXPECT_EQ(closedDoubleFrom64(0), 0.0);
  EXPECT_EQ(openDoubleFrom64(0), 0x1p-53);
  EXPECT_EQ(closedDoubleFrom64(low53), 1.0);
  EXPECT_EQ(closedDoubleFrom64(allOnes64), 1.0);
  EXPECT_EQ(halfOpenDoubleFrom64(low53), 1.0 - 0x1p-53);
  EXPECT_EQ(halfOpenDoubleFrom64(allOnes64), 1.0 - 0x1p-53);
  EXPECT_EQ(openDoubleFrom64(allOnes64), 1.0 - 0x1p-53);
  EXPECT_EQ(halfOpenDoubleFrom64(low53 + 1), 0.0);  // only bit 53: outside the low 53
  EXPECT_EQ(closedDoubleFrom64(low53 + 1), 0.0);
  EXPECT_EQ(0x1.0000000000001p-53, 1.1102230246251568e-16);
  ConstantNonRandom c(allOnes64);
  EXPECT_EQ(c.randomClosed(), 1.0);
  EXPECT_EQ(c.randomHalfOpen(), 1.0 - 0x1p-53);
  EXPECT_EQ(c.randomOpen(), 1.0 - 0x1p-53);
}

TEST(Arc4Random, DrawsFromTheCoreRandomSource) {
  ScriptedRandomSource script({0xDEADBEEF, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11});
  ScopedRandomSource use(script);
  Arc4Random g;
  EXPECT_EQ(g.random32(), 0xDEADBEEFu);
  EXPECT_EQ(g.random64(), 0x0807060504030201ULL);
  EXPECT_EQ(fill(g, 3), (Bytes{9, 10, 11}));
  EXPECT_EQ(script.remaining(), 0u);
}

// ---- The device, through the path hook ---------------------------------------------

class DevRandomTest : public ::testing::Test {
 protected:
  std::string writeFile(const std::string& name, const Bytes& bytes) {
    const std::string path = (dir_.path() / name).string();
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return path;
  }
  static Bytes littleEndian(std::initializer_list<std::uint64_t> words) {
    Bytes bytes;
    for (std::uint64_t w : words) {
      for (int i = 0; i < 8; ++i) bytes.push_back(static_cast<std::uint8_t>(w >> (8 * i)));
    }
    return bytes;
  }
  testing::TemporaryDirectory dir_;
};

// A FIFO hands out a few bytes per write: one read returns fewer than asked,
// and the fill must keep reading until the buffer is full.
TEST_F(DevRandomTest, AFifoDeliveringAFewBytesPerWriteFillsOneMebibyte) {
  const std::string path = (dir_.path() / "fifo").string();
  ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
  constexpr std::size_t size = 1 << 20;
  std::thread writer([&] {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    std::uint8_t chunk[5];
    for (std::size_t sent = 0; sent < size; sent += sizeof chunk) {
      for (std::size_t i = 0; i < sizeof chunk; ++i) chunk[i] = static_cast<std::uint8_t>((sent + i) * 7);
      ASSERT_FALSE(posix::writeAll(fd, chunk, std::min(sizeof chunk, size - sent)));
    }
    ::close(fd);
  });
  Bytes received(size);
  {
    collections_internal::ScopedDevRandomPath use(path);
    DevRandom device;
    device.randomize(received.data(), static_cast<std::int64_t>(size));
  }
  writer.join();
  for (std::size_t i = 0; i < size; ++i) {
    ASSERT_EQ(received[i], static_cast<std::uint8_t>(i * 7)) << "byte " << i;
  }
}

TEST_F(DevRandomTest, SeedsComeFromTheDeviceAboveTheirMinimums) {
  // z1 is read again after 1 (below 2), z2 after 511 (below 512).
  const std::string path =
      writeFile("seeds", littleEndian({1, 2, 511, 512, 4096, 131072, 8388608, 99}));
  collections_internal::ScopedDevRandomPath use(path);
  EXPECT_EQ(Lfsr258().state(), (std::array<std::uint64_t, 5>{2, 512, 4096, 131072, 8388608}));
  EXPECT_EQ(Lfsr176().state(), (std::array<std::uint64_t, 3>{2, 511, 512}));
  EXPECT_EQ(Xoroshiro().state(), (std::array<std::uint64_t, 2>{1, 2}));
  EXPECT_EQ(ConstantNonRandom().state(), 1u);
  EXPECT_EQ(MersenneTwister().random64(), std::mt19937_64(1)());
  EXPECT_EQ(DevRandom::oneShotRandom64(), 1u);
  DevRandom device;
  EXPECT_EQ(device.random64(), 1u);
  EXPECT_EQ(device.random32(), 2u);
  EXPECT_EQ(device.random32(), 0u);
  EXPECT_EQ(fill(device, 3), (Bytes{0xFF, 0x01, 0x00}));
}

TEST_F(DevRandomTest, CopiesShareOneCloseOnExecDescriptorClosedByTheLast) {
  int fd = -1;
  {
    DevRandom first;
    fd = first.fd().value();
    EXPECT_NE(::fcntl(fd, F_GETFD) & FD_CLOEXEC, 0);
    {
      const DevRandom copy = first;
      EXPECT_EQ(copy.fd().value(), fd);
    }
    EXPECT_NE(::fcntl(fd, F_GETFD), -1);  // still open for `first`
    (void)first.random64();
  }
  EXPECT_EQ(::fcntl(fd, F_GETFD), -1);
}

TEST_F(DevRandomTest, DeathAtEndOfFileOrWhenTheDeviceDoesNotOpen) {
  const std::string shortFile = writeFile("short", Bytes{1, 2, 3, 4, 5});
  EXPECT_DEATH(
      {
        collections_internal::ScopedDevRandomPath use(shortFile);
        DevRandom device;
        (void)device.random64();
      },
      "Random device .*/short ended after 5 of 8 bytes");
  EXPECT_DEATH(
      {
        collections_internal::ScopedDevRandomPath use(shortFile);
        (void)Xoroshiro();
      },
      "ended after 5 of 16 bytes");
  const std::string missing = (dir_.path() / "missing" / "urandom").string();
  EXPECT_DEATH(
      {
        collections_internal::ScopedDevRandomPath use(missing);
        DevRandom device;
      },
      "Cannot open random device .*/missing/urandom: No such file or directory");
  EXPECT_DEATH(
      {
        collections_internal::ScopedDevRandomPath use(missing);
        (void)DevRandom::oneShotRandom64();
      },
      "Cannot open random device");
}

TEST(RandomGeneratorsDeathTest, ANegativeSizeStops) {
  Xoroshiro g({1, 2});
  EXPECT_DEATH(g.randomize(nullptr, -1), "Random byte count -1 is negative");
  DevRandom device;
  EXPECT_DEATH(device.randomize(nullptr, -2), "Random byte count -2 is negative");
  Arc4Random arc;
  EXPECT_DEATH(arc.randomize(nullptr, -3), "Random byte count -3 is negative");
}

}  // namespace
}  // namespace vantrel
