// Removing k indexes from n elements: one compaction pass against erasing
// the elements one by one from the highest index down.
#include <algorithm>
#include <cstdint>
#include <numeric>
#include <random>
#include <vector>

#include <benchmark/benchmark.h>

#include "vantrel/collections/array_moves.h"

namespace {

std::vector<std::int64_t> distinctIndexes(std::int64_t n, std::int64_t k) {
  std::vector<std::int64_t> all(static_cast<std::size_t>(n));
  std::iota(all.begin(), all.end(), 0);
  std::mt19937_64 rng(7);
  std::shuffle(all.begin(), all.end(), rng);
  all.resize(static_cast<std::size_t>(k));
  return all;
}

std::vector<std::int64_t> values(std::int64_t n) {
  std::vector<std::int64_t> v(static_cast<std::size_t>(n));
  std::iota(v.begin(), v.end(), 0);
  return v;
}

void BM_RemoveAtIndexes_Vantrel(benchmark::State& state) {
  const auto source = values(state.range(0));
  const auto indexes = distinctIndexes(state.range(0), state.range(1));
  for (auto _ : state) {
    state.PauseTiming();
    auto v = source;
    state.ResumeTiming();
    benchmark::DoNotOptimize(vantrel::removeAtIndexes(v, indexes));
  }
}

void BM_RemoveAtIndexes_EraseEach(benchmark::State& state) {
  const auto source = values(state.range(0));
  const auto indexes = distinctIndexes(state.range(0), state.range(1));
  for (auto _ : state) {
    state.PauseTiming();
    auto v = source;
    state.ResumeTiming();
    auto sorted = indexes;
    std::sort(sorted.begin(), sorted.end());
    std::vector<std::int64_t> removed;
    removed.reserve(sorted.size());
    for (auto it = sorted.rbegin(); it != sorted.rend(); ++it) {
      removed.push_back(v[static_cast<std::size_t>(*it)]);
      v.erase(v.begin() + *it);
    }
    benchmark::DoNotOptimize(removed);
  }
}

}  // namespace

BENCHMARK(BM_RemoveAtIndexes_Vantrel)->Args({1000000, 10000})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RemoveAtIndexes_EraseEach)->Args({1000000, 10000})->Unit(benchmark::kMillisecond);
