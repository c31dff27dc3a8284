// Seeded and device generators against the standard library and the kernel:
// MT19937-64 words, bounded draws, a 1 MiB fill from the random device, and
// a shuffle of 10^6 elements through the core random source beside
// std::shuffle with a std::mt19937_64.
#include <sys/random.h>

#include <algorithm>
#include <cstdint>
#include <numeric>
#include <random>
#include <vector>

#include <benchmark/benchmark.h>

#include "vantrel/collections/random_generators.h"
#include "vantrel/collections/shuffling.h"
#include "vantrel/core/random.h"

namespace {

void BM_MersenneTwister_Vantrel(benchmark::State& state) {
  vantrel::MersenneTwister mt(5489);
  for (auto _ : state) benchmark::DoNotOptimize(mt.random64());
}
BENCHMARK(BM_MersenneTwister_Vantrel);

void BM_MersenneTwister_Std(benchmark::State& state) {
  std::mt19937_64 mt(5489);
  for (auto _ : state) benchmark::DoNotOptimize(mt());
}
BENCHMARK(BM_MersenneTwister_Std);

// Bounded draws over a spread of maxima (small, odd, near 2^63).
const std::uint64_t maxima[] = {5, 999, 123456789, (std::uint64_t{1} << 63) + 5};

void BM_Random64Max_Vantrel(benchmark::State& state) {
  vantrel::MersenneTwister mt(5489);
  const std::uint64_t max = maxima[state.range(0)];
  for (auto _ : state) benchmark::DoNotOptimize(mt.random64(max));
}
BENCHMARK(BM_Random64Max_Vantrel)->DenseRange(0, 3);

void BM_Random64Max_StdUniformInt(benchmark::State& state) {
  std::mt19937_64 mt(5489);
  std::uniform_int_distribution<std::uint64_t> dist(0, maxima[state.range(0)]);
  for (auto _ : state) benchmark::DoNotOptimize(dist(mt));
}
BENCHMARK(BM_Random64Max_StdUniformInt)->DenseRange(0, 3);

constexpr std::size_t mebibyte = 1 << 20;

void BM_DevRandomFill1MiB_Vantrel(benchmark::State& state) {
  vantrel::DevRandom device;
  std::vector<std::uint8_t> buffer(mebibyte);
  for (auto _ : state) {
    device.randomize(buffer.data(), static_cast<std::int64_t>(buffer.size()));
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * mebibyte));
}
BENCHMARK(BM_DevRandomFill1MiB_Vantrel);

void BM_DevRandomFill1MiB_Getrandom(benchmark::State& state) {
  std::vector<std::uint8_t> buffer(mebibyte);
  for (auto _ : state) {
    std::size_t done = 0;
    while (done < buffer.size()) {
      const ssize_t n = ::getrandom(buffer.data() + done, buffer.size() - done, 0);
      if (n > 0) done += static_cast<std::size_t>(n);
    }
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * mebibyte));
}
BENCHMARK(BM_DevRandomFill1MiB_Getrandom);

// One shuffle of a million elements per iteration, the same vector shuffled
// again each time (no set-up inside the timing).
constexpr std::size_t shuffleCount = 1'000'000;

std::vector<std::uint32_t> shuffleInput() {
  std::vector<std::uint32_t> values(shuffleCount);
  std::iota(values.begin(), values.end(), 0u);
  return values;
}

void BM_Shuffle1M_Vantrel(benchmark::State& state) {
  std::vector<std::uint32_t> values = shuffleInput();
  for (auto _ : state) {
    vantrel::shuffle(values);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * shuffleCount));
}
BENCHMARK(BM_Shuffle1M_Vantrel)->Unit(benchmark::kMillisecond);

void BM_Shuffle1M_StdMt19937_64(benchmark::State& state) {
  std::vector<std::uint32_t> values = shuffleInput();
  std::mt19937_64 mt(5489);
  for (auto _ : state) {
    std::shuffle(values.begin(), values.end(), mt);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * shuffleCount));
}
BENCHMARK(BM_Shuffle1M_StdMt19937_64)->Unit(benchmark::kMillisecond);

// The draws alone, one bounded draw at a time, as picks and shuffles make them.
void BM_RandomUniform_Core(benchmark::State& state) {
  std::uint32_t bound = 1'000'000;
  for (auto _ : state) {
    benchmark::DoNotOptimize(vantrel::randomUniform(bound));
    bound = bound == 2 ? 1'000'000 : bound - 1;
  }
}
BENCHMARK(BM_RandomUniform_Core);

}  // namespace
