// Each walk over the 1000 x 1000 cells of a MatrixSize, against a plain
// row-major loop making the same coordinates. Every coordinate goes into
// the same checksum, so the loops do equal work per cell. The walks that
// hold a list per cell (the random order, the caller's list) are copied
// from one made in advance and freed outside the timing: the random order's
// million draws are timed on their own, not once per timed walk.
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include <benchmark/benchmark.h>

#include "vantrel/matrix/coordinate_iterators.h"

namespace {

using vantrel::MatrixCoordinate;
using vantrel::MatrixSize;

constexpr std::int64_t kSide = 1000;  // 10^6 coordinates
const MatrixSize kSize(kSide, kSide);

inline void consume(std::uint64_t& sum, const MatrixCoordinate& c) {
  sum = sum * 31 + static_cast<std::uint64_t>(c.x) * 7 + static_cast<std::uint64_t>(c.y);
}

template <class Walk>
void drain(Walk& walk) {
  std::uint64_t sum = 0;
  while (std::optional<MatrixCoordinate> c = walk.next()) consume(sum, *c);
  benchmark::DoNotOptimize(sum);
}

// Walks that hold a list per cell are made and freed outside the timing.
template <class Make>
void timedWalks(benchmark::State& state, Make make) {
  for (auto _ : state) {
    state.PauseTiming();
    auto walk = make();
    state.ResumeTiming();
    drain(walk);
    state.PauseTiming();
    { [[maybe_unused]] auto spent = std::move(walk); }
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * kSide * kSide);
}

void BM_PlainRowMajorLoop(benchmark::State& state) {
  for (auto _ : state) {
    std::uint64_t sum = 0;
    for (std::int64_t y = 0; y < kSide; ++y) {
      for (std::int64_t x = 0; x < kSide; ++x) consume(sum, MatrixCoordinate(x, y));
    }
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * kSide * kSide);
}
BENCHMARK(BM_PlainRowMajorLoop)->Unit(benchmark::kMillisecond);

void BM_Walk_Ordered(benchmark::State& state) {
  for (auto _ : state) {
    auto walk = kSize.coordinateIterator();
    drain(walk);
  }
  state.SetItemsProcessed(state.iterations() * kSide * kSide);
}
BENCHMARK(BM_Walk_Ordered)->Unit(benchmark::kMillisecond);

void BM_Walk_Spiral(benchmark::State& state) {
  const bool counterClockwise = state.range(0) != 0;
  for (auto _ : state) {
    auto walk = kSize.coordinateIterator_spiral(counterClockwise);
    drain(walk);
  }
  state.SetItemsProcessed(state.iterations() * kSide * kSide);
}
BENCHMARK(BM_Walk_Spiral)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_Walk_Checkered(benchmark::State& state) {
  for (auto _ : state) {
    auto walk = kSize.coordinateIterator_checkered(state.range(0));
    drain(walk);
  }
  state.SetItemsProcessed(state.iterations() * kSide * kSide);
}
BENCHMARK(BM_Walk_Checkered)->Arg(1)->Arg(3)->Arg(7)->Unit(benchmark::kMillisecond);

void BM_Walk_RandomOuterLine(benchmark::State& state) {
  timedWalks(state, [] { return kSize.coordinateIterator_randomOuterLine(); });
}
BENCHMARK(BM_Walk_RandomOuterLine)->Unit(benchmark::kMillisecond);

void BM_Walk_RandomPrecalculated(benchmark::State& state) {
  // Each walk is a fresh copy of the same order: a copy costs a
  // millisecond, a new shuffle of a million cells far more.
  const auto prepared = kSize.coordinateIterator_randomPrecalculated();
  timedWalks(state, [&] { return prepared; });
}
BENCHMARK(BM_Walk_RandomPrecalculated)->Unit(benchmark::kMillisecond);

void BM_Walk_Array(benchmark::State& state) {
  std::vector<MatrixCoordinate> list;
  list.reserve(static_cast<std::size_t>(kSide * kSide));
  for (std::int64_t y = 0; y < kSide; ++y) {
    for (std::int64_t x = 0; x < kSide; ++x) list.emplace_back(x, y);
  }
  timedWalks(state, [&] { return kSize.coordinateIterator_array(list); });
}
BENCHMARK(BM_Walk_Array)->Unit(benchmark::kMillisecond);

// Making the random walks: the draws of a million-cell shuffle, and the
// outer-line walk's first line.
void BM_Make_RandomPrecalculated(benchmark::State& state) {
  for (auto _ : state) {
    auto walk = kSize.coordinateIterator_randomPrecalculated();
    benchmark::DoNotOptimize(walk);
  }
}
BENCHMARK(BM_Make_RandomPrecalculated)->Unit(benchmark::kMillisecond);

}  // namespace
