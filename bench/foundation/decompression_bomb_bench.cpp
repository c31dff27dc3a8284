// Decompression bombs: 257 MiB of zeros as raw DEFLATE (level 9) and .xz
// (preset 6), decoded with a 256 MiB limit, so every run is refused at the
// limit. The library's decoders beside zlib's `inflate` and liblzma's
// `lzma_code` writing the same bytes into one fresh buffer of the limit's
// size (a plain decode's least: one pass, each page touched once), and into
// one reused 1 MiB buffer (the decode alone, no memory touched).
//
// "peakMiB" is the resident memory a run added at its peak (VmHWM, reset
// through /proc/self/clear_refs before each run, less VmRSS before it),
// the largest over the runs.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <lzma.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

#include "vantrel/foundation/resources/compression.h"
#include "vantrel/platform/posix/read_file.h"

namespace {

using vantrel::Data;

constexpr std::size_t kLimit = std::size_t{256} << 20;
constexpr std::size_t kZeros = kLimit + (std::size_t{1} << 20);

const Data& deflateBomb() {
  static const Data bomb = [] {
    z_stream s{};
    deflateInit2(&s, 9, Z_DEFLATED, -MAX_WBITS, 9, Z_DEFAULT_STRATEGY);
    const Data zeros(1 << 20, 0);
    Data out(kZeros / 500);
    s.next_out = out.data();
    s.avail_out = static_cast<uInt>(out.size());
    for (std::size_t left = kZeros; left > 0;) {
      const std::size_t n = std::min(left, zeros.size());
      left -= n;
      s.next_in = const_cast<Bytef*>(zeros.data());
      s.avail_in = static_cast<uInt>(n);
      deflate(&s, left > 0 ? Z_NO_FLUSH : Z_FINISH);
    }
    out.resize(s.total_out);
    deflateEnd(&s);
    return out;
  }();
  return bomb;
}

const Data& xzBomb() {
  static const Data bomb = [] {
    lzma_stream s = LZMA_STREAM_INIT;
    if (lzma_easy_encoder(&s, 6, LZMA_CHECK_CRC64) != LZMA_OK) std::abort();
    const Data zeros(1 << 20, 0);
    Data out(kZeros / 1000);
    s.next_out = out.data();
    s.avail_out = out.size();
    lzma_ret status = LZMA_OK;
    for (std::size_t left = kZeros; status == LZMA_OK;) {
      if (s.avail_in == 0 && left > 0) {
        const std::size_t n = std::min(left, zeros.size());
        left -= n;
        s.next_in = zeros.data();
        s.avail_in = n;
      }
      status = lzma_code(&s, left > 0 || s.avail_in > 0 ? LZMA_RUN : LZMA_FINISH);
    }
    if (status != LZMA_STREAM_END) std::abort();
    out.resize(s.total_out);
    lzma_end(&s);
    return out;
  }();
  return bomb;
}

std::size_t statusKiB(std::string_view key) {
  std::string status;
  if (vantrel::posix::readFile("/proc/self/status", status)) return 0;
  const std::size_t at = status.find(key);
  return at == std::string::npos ? 0 : std::strtoull(status.c_str() + at + key.size(), nullptr, 10);
}

// Measures the resident memory one run adds at its peak.
class PeakMemory {
 public:
  PeakMemory() {
    const int fd = ::open("/proc/self/clear_refs", O_WRONLY | O_CLOEXEC);
    if (fd >= 0) {
      (void)!::write(fd, "5", 1);  // resets VmHWM to VmRSS
      ::close(fd);
    }
    before_ = statusKiB("VmRSS:");
  }
  [[nodiscard]] double addedMiB() const {
    const std::size_t peak = statusKiB("VmHWM:");
    return peak > before_ ? static_cast<double>(peak - before_) / 1024.0 : 0.0;
  }

 private:
  std::size_t before_ = 0;
};

template <typename Run>
void measure(benchmark::State& state, const Data& bomb, Run run) {
  double peak = 0;
  for (auto _ : state) {
    const PeakMemory memory;
    const std::size_t reached = run(bomb);
    peak = std::max(peak, memory.addedMiB());
    if (reached <= kLimit) {
      state.SkipWithError("the bomb was not refused at the limit");
      return;
    }
  }
  state.counters["peakMiB"] = peak;
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kLimit));
}

// The library's answer: nothing; what it reached is the limit and a byte.
std::size_t library(const Data& bomb, vantrel::Compression algorithm) {
  const auto out = vantrel::uncompressed(bomb, algorithm, kLimit);
  if (out) std::abort();
  return kLimit + 1;
}

// zlib into one fresh buffer of the limit and a byte, or into a reused one.
std::size_t plainInflate(const Data& bomb, bool fresh) {
  z_stream s{};
  inflateInit2(&s, -MAX_WBITS);
  s.next_in = const_cast<Bytef*>(bomb.data());
  s.avail_in = static_cast<uInt>(bomb.size());
  const std::size_t size = fresh ? kLimit + 1 : std::size_t{1} << 20;
  const std::unique_ptr<std::uint8_t[]> buffer(new std::uint8_t[size]);
  std::size_t total = 0;
  for (;;) {
    const std::size_t at = fresh ? total : 0;
    const std::size_t room = std::min<std::size_t>(size - at, UINT_MAX);
    s.next_out = buffer.get() + at;
    s.avail_out = static_cast<uInt>(room);
    const int status = inflate(&s, Z_NO_FLUSH);
    total += room - s.avail_out;
    if (status != Z_OK || total > kLimit) break;
  }
  benchmark::DoNotOptimize(buffer.get());
  inflateEnd(&s);
  return total;
}

std::size_t plainLzmaCode(const Data& bomb, bool fresh) {
  lzma_stream s = LZMA_STREAM_INIT;
  if (lzma_stream_decoder(&s, 128ull << 20, 0) != LZMA_OK) std::abort();
  s.next_in = bomb.data();
  s.avail_in = bomb.size();
  const std::size_t size = fresh ? kLimit + 1 : std::size_t{1} << 20;
  const std::unique_ptr<std::uint8_t[]> buffer(new std::uint8_t[size]);
  std::size_t total = 0;
  for (;;) {
    const std::size_t at = fresh ? total : 0;
    s.next_out = buffer.get() + at;
    s.avail_out = size - at;
    const lzma_ret status = lzma_code(&s, LZMA_FINISH);
    total += size - at - s.avail_out;
    if (status != LZMA_OK || total > kLimit) break;
  }
  benchmark::DoNotOptimize(buffer.get());
  lzma_end(&s);
  return total;
}

void BM_BombDeflate_Library(benchmark::State& state) {
  measure(state, deflateBomb(), [](const Data& b) { return library(b, vantrel::Compression::zlib); });
}
void BM_BombDeflate_ZlibFreshBuffer(benchmark::State& state) {
  measure(state, deflateBomb(), [](const Data& b) { return plainInflate(b, true); });
}
void BM_BombDeflate_ZlibReusedBuffer(benchmark::State& state) {
  measure(state, deflateBomb(), [](const Data& b) { return plainInflate(b, false); });
}
void BM_BombXz_Library(benchmark::State& state) {
  measure(state, xzBomb(), [](const Data& b) { return library(b, vantrel::Compression::lzma); });
}
void BM_BombXz_LzmaFreshBuffer(benchmark::State& state) {
  measure(state, xzBomb(), [](const Data& b) { return plainLzmaCode(b, true); });
}
void BM_BombXz_LzmaReusedBuffer(benchmark::State& state) {
  measure(state, xzBomb(), [](const Data& b) { return plainLzmaCode(b, false); });
}

// Few, long runs: each writes 256 MiB.
#define VANTREL_BOMB_BENCH(name) BENCHMARK(name)->Iterations(5)->UseRealTime()->Unit(benchmark::kMillisecond)
VANTREL_BOMB_BENCH(BM_BombDeflate_Library);
VANTREL_BOMB_BENCH(BM_BombDeflate_ZlibFreshBuffer);
VANTREL_BOMB_BENCH(BM_BombDeflate_ZlibReusedBuffer);
VANTREL_BOMB_BENCH(BM_BombXz_Library);
VANTREL_BOMB_BENCH(BM_BombXz_LzmaFreshBuffer);
VANTREL_BOMB_BENCH(BM_BombXz_LzmaReusedBuffer);

}  // namespace
