// A range-for over a keyed array of 10^6 elements against a std::vector of
// the same elements, and the step-by-step `makeIterator()` walk for scale.
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include <benchmark/benchmark.h>

#include "vantrel/observable/kerray.h"

namespace {

struct Item {
  using KeyType = std::int64_t;
  std::int64_t id = 0;
  std::int64_t value = 0;
  KeyType key() const { return id; }
};

constexpr std::int64_t kElements = 1000000;

std::vector<Item> items() {
  std::vector<Item> out;
  out.reserve(kElements);
  for (std::int64_t i = 0; i < kElements; ++i) out.push_back(Item{i, (i * 7919) % 1000});
  return out;
}

void BM_RangeFor_Kerray(benchmark::State& state) {
  const auto kerray = vantrel::Kerray<Item>::create(items());
  for (auto _ : state) {
    std::int64_t sum = 0;
    for (const Item& item : *kerray) sum += item.value;
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * kElements);
}
BENCHMARK(BM_RangeFor_Kerray)->Unit(benchmark::kMillisecond);

void BM_RangeFor_Vector(benchmark::State& state) {
  const std::vector<Item> vector = items();
  for (auto _ : state) {
    std::int64_t sum = 0;
    for (const Item& item : vector) sum += item.value;
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * kElements);
}
BENCHMARK(BM_RangeFor_Vector)->Unit(benchmark::kMillisecond);

void BM_MakeIterator_Kerray(benchmark::State& state) {
  const auto kerray = vantrel::Kerray<Item>::create(items());
  for (auto _ : state) {
    std::int64_t sum = 0;
    auto it = kerray->makeIterator();
    while (const std::optional<Item> item = it.next()) sum += item->value;
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * kElements);
}
BENCHMARK(BM_MakeIterator_Kerray)->Unit(benchmark::kMillisecond);

}  // namespace
