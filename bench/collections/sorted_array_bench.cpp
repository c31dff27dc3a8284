// Insertion-index search against std::lower_bound on the same sorted data,
// the same queries and the same comparator.
#include <algorithm>
#include <cstdint>
#include <functional>
#include <random>
#include <vector>

#include <benchmark/benchmark.h>

#include "vantrel/collections/named_sort_block.h"
#include "vantrel/collections/sorted_array.h"

namespace {

struct Data {
  std::vector<std::int64_t> sorted;
  std::vector<std::int64_t> queries;
};

Data makeData(std::int64_t n) {
  Data d;
  d.sorted.resize(static_cast<std::size_t>(n));
  for (std::int64_t i = 0; i < n; ++i) d.sorted[static_cast<std::size_t>(i)] = 2 * i;
  std::mt19937_64 rng(42);
  std::uniform_int_distribution<std::int64_t> pick(-1, 2 * n);
  d.queries.resize(4096);
  for (auto& q : d.queries) q = pick(rng);
  return d;
}

const auto kLess = [](const std::int64_t& a, const std::int64_t& b) { return a < b; };

void BM_InsertionIndex_Vantrel(benchmark::State& state) {
  const Data d = makeData(state.range(0));
  std::size_t q = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        vantrel::insertionIndexForSortedBy(d.sorted, kLess, d.queries[q++ & 4095]));
  }
}

void BM_InsertionIndex_StdLowerBound(benchmark::State& state) {
  const Data d = makeData(state.range(0));
  std::size_t q = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        std::lower_bound(d.sorted.begin(), d.sorted.end(), d.queries[q++ & 4095], kLess) -
        d.sorted.begin());
  }
}

// The sorted collections hold their order as a NamedSortBlock (a
// std::function); the peer gets the same type-erased comparator.
void BM_InsertionIndex_NamedSortBlock(benchmark::State& state) {
  const Data d = makeData(state.range(0));
  const vantrel::NamedSortBlock<std::int64_t> block("ascending", kLess);
  std::size_t q = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        vantrel::insertionIndexInSortedArray(d.sorted, block, d.queries[q++ & 4095]));
  }
}

void BM_InsertionIndex_StdLowerBoundFunction(benchmark::State& state) {
  const Data d = makeData(state.range(0));
  const std::function<bool(const std::int64_t&, const std::int64_t&)> less = kLess;
  std::size_t q = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        std::lower_bound(d.sorted.begin(), d.sorted.end(), d.queries[q++ & 4095], less) -
        d.sorted.begin());
  }
}

}  // namespace

BENCHMARK(BM_InsertionIndex_Vantrel)->Arg(1000)->Arg(1000000);
BENCHMARK(BM_InsertionIndex_StdLowerBound)->Arg(1000)->Arg(1000000);
BENCHMARK(BM_InsertionIndex_NamedSortBlock)->Arg(1000)->Arg(1000000);
BENCHMARK(BM_InsertionIndex_StdLowerBoundFunction)->Arg(1000)->Arg(1000000);
