// FilterSet insertion with two observers: the per-insert cost must not grow
// with the size of the set (no copy of the halves per callback).
#include <cstdint>
#include <memory>
#include <vector>

#include <benchmark/benchmark.h>

#include "vantrel/collections/filter_set.h"

namespace {

using vantrel::FilterSet;
using vantrel::FilterSetObserver;

struct Owner {
  int unused = 0;
};

FilterSet<std::int64_t> filledSet(std::int64_t n, std::int64_t& seen,
                                  const std::vector<std::shared_ptr<Owner>>& owners) {
  std::vector<std::int64_t> elements(static_cast<std::size_t>(n));
  for (std::int64_t i = 0; i < n; ++i) elements[static_cast<std::size_t>(i)] = i;
  FilterSet<std::int64_t> set(elements, [](const std::int64_t& v) { return v % 3 != 0; });
  for (const auto& owner : owners) {
    set.observers.createNew(owner, [&seen](FilterSetObserver<std::int64_t>& o) {
      o.inSetInserted = [&seen](const FilterSet<std::int64_t>& s, const std::int64_t&) { seen += s.count(); };
      o.outSetInserted = [&seen](const FilterSet<std::int64_t>& s, const std::int64_t&) { seen += s.count(); };
      o.inserted = [&seen](const FilterSet<std::int64_t>&, const std::int64_t& v) { seen += v; };
    });
  }
  return set;
}

// Inserts new elements into a set of n; every n inserts the set is rebuilt
// (untimed), so it stays between n and 2n elements.
void BM_FilterSetInsert_TwoObservers(benchmark::State& state) {
  const std::int64_t n = state.range(0);
  const std::vector<std::shared_ptr<Owner>> owners{std::make_shared<Owner>(), std::make_shared<Owner>()};
  std::int64_t seen = 0;
  FilterSet<std::int64_t> set = filledSet(n, seen, owners);
  std::int64_t next = n;
  for (auto _ : state) {
    if (next == 2 * n) {
      state.PauseTiming();
      set = filledSet(n, seen, owners);
      next = n;
      state.ResumeTiming();
    }
    set.insert(next++);
  }
  benchmark::DoNotOptimize(seen);
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FilterSetInsert_TwoObservers)->Arg(1000)->Arg(100000);

}  // namespace
