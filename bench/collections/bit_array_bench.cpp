// Inserting and removing at index 0 of 10^5 bits: the bit array against
// std::vector<bool>. Each iteration inserts one element at the front and
// removes it again, so the size stays put.
#include <cstdint>
#include <vector>

#include <benchmark/benchmark.h>

#include "vantrel/collections/bit_array.h"

namespace {

constexpr std::int64_t elements = 100000;

void BM_InsertRemoveAtZero_BitArray(benchmark::State& state) {
  vantrel::BitArray array;
  for (std::int64_t i = 0; i < elements; ++i) array.append(i % 3 == 0);
  for (auto _ : state) {
    array.insert(true, 0);
    benchmark::DoNotOptimize(array.removeAtIndex(0));
  }
}
BENCHMARK(BM_InsertRemoveAtZero_BitArray);

void BM_InsertRemoveAtZero_VectorBool(benchmark::State& state) {
  std::vector<bool> array;
  for (std::int64_t i = 0; i < elements; ++i) array.push_back(i % 3 == 0);
  for (auto _ : state) {
    array.insert(array.begin(), true);
    bool front = array.front();
    array.erase(array.begin());
    benchmark::DoNotOptimize(front);
  }
}
BENCHMARK(BM_InsertRemoveAtZero_VectorBool);

}  // namespace

// A range-for over 4M bits (one in three true), counting the true ones: the
// bit array's iterators against std::vector<bool>'s.
namespace {

constexpr std::int64_t walkedBits = std::int64_t{1} << 22;

void BM_RangeFor_BitArray(benchmark::State& state) {
  vantrel::BitArray array;
  for (std::int64_t i = 0; i < walkedBits; ++i) array.append(i % 3 == 0);
  for (auto _ : state) {
    std::int64_t trues = 0;
    for (bool b : array) trues += b;
    benchmark::DoNotOptimize(trues);
  }
  state.SetItemsProcessed(state.iterations() * walkedBits);
}
BENCHMARK(BM_RangeFor_BitArray);

void BM_RangeFor_VectorBool(benchmark::State& state) {
  std::vector<bool> array;
  for (std::int64_t i = 0; i < walkedBits; ++i) array.push_back(i % 3 == 0);
  for (auto _ : state) {
    std::int64_t trues = 0;
    for (bool b : array) trues += b;
    benchmark::DoNotOptimize(trues);
  }
  state.SetItemsProcessed(state.iterations() * walkedBits);
}
BENCHMARK(BM_RangeFor_VectorBool);

}  // namespace
