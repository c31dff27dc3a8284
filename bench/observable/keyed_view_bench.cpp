// Per-change cost of the filtered, sorted keyed-array view against a naive
// follower that filters and stable-sorts the whole base after each change.
// Elements: 50% pass the filter; the order is total on (score, key).
//
//   BM_<Change>_View    the incremental view
//   BM_<Change>_Naive   refilter + stable sort after every change
//
// Base changes use positions (update / remove at an index, append), so the
// base's own cost is the same small part of both.
#include <algorithm>
#include <cstdint>
#include <memory>
#include <random>
#include <vector>

#include <benchmark/benchmark.h>

#include "vantrel/core/sort.h"
#include "vantrel/observable/optionally_filtered_optionally_sorted_array_based_on_kerray.h"

namespace {

using namespace vantrel;

struct Item {
  using KeyType = std::int64_t;
  std::int64_t id;
  std::int64_t score;
  KeyType key() const { return id; }
  friend bool operator==(const Item&, const Item&) = default;
};

using Items = Kerray<Item>;
using View = OptionallyFilteredOptionallySortedArray_BasedOnKerray<Item>;

bool even(const Item& i) { return i.id % 2 == 0; }
bool byScore(const Item& a, const Item& b) { return a.score != b.score ? a.score < b.score : a.id < b.id; }
const NamedSortBlock<Item> kByScore("byScore", byScore);

// Recomputes filter + stable sort from the base on every report.
struct Naive {
  std::shared_ptr<Items> base;
  std::shared_ptr<int> owner = std::make_shared<int>(0);
  std::vector<Item> content;

  void recompute() {
    content.clear();
    for (const Item& i : base->array()) {
      if (even(i)) content.push_back(i);
    }
    stableSort(content, [](const Item& a, const Item& b) { return kByScore(a, b); });
  }

  explicit Naive(std::shared_ptr<Items> b) : base(std::move(b)) {
    recompute();
    base->observers().createNew(owner, [this](KerrayObserver<Item>& o) {
      using P = std::vector<std::int64_t>;
      using V = std::vector<Item>;
      o.replacedContent = [this](Items&) { recompute(); };
      o.removedAll = [this](Items&) { recompute(); };
      o.inserted = [this](Items&, std::int64_t, const Item&) { recompute(); };
      o.insertedMultipleContinuous = [this](Items&, std::int64_t, const V&) { recompute(); };
      o.insertedMultipleDistributed = [this](Items&, const P&, const V&) { recompute(); };
      o.removed = [this](Items&, std::int64_t, const Item&) { recompute(); };
      o.removedMultiple = [this](Items&, const P&, const V&) { recompute(); };
      o.updated = [this](Items&, std::int64_t, const Item&) { recompute(); };
      o.updatedMultiple = [this](Items&, const P&, const V&) { recompute(); };
      o.moved = [this](Items&, std::int64_t, std::int64_t, const Item&) { recompute(); };
      o.movedMultiple = [this](Items&, const P&, std::int64_t, const V&) { recompute(); };
    });
  }
};

struct Fixture {
  std::mt19937_64 rng{42};
  std::shared_ptr<Items> base;
  std::int64_t nextId;

  explicit Fixture(std::int64_t n) : nextId(n) {
    std::vector<Item> items;
    items.reserve(static_cast<std::size_t>(n));
    for (std::int64_t i = 0; i < n; ++i) items.push_back(Item{i, score()});
    base = Items::create(std::move(items));
  }
  std::int64_t score() { return std::uniform_int_distribution<std::int64_t>(0, 1'000'000)(rng); }
  std::int64_t index() { return std::uniform_int_distribution<std::int64_t>(0, base->count() - 1)(rng); }

  void insert() { base->append(Item{nextId++, score()}); }
  void update() {
    const std::int64_t at = index();
    base->update(Item{base->array()[static_cast<std::size_t>(at)].id, score()}, at);
  }
  void remove() { base->removeAtIndex(index()); }
  void mix() {
    const auto roll = std::uniform_int_distribution<int>(0, 9)(rng);
    if (roll < 6) {
      update();
    } else if (roll < 8) {
      insert();
    } else {
      remove();
    }
  }
};

enum class Change { insert, update, remove, mix };

template <Change C, bool Incremental>
void run(benchmark::State& state) {
  Fixture f(state.range(0));
  std::shared_ptr<View> view;
  std::unique_ptr<Naive> naive;
  if (Incremental) {
    view = View::create(f.base, even, kByScore);
  } else {
    naive = std::make_unique<Naive>(f.base);
  }
  for (auto _ : state) {
    switch (C) {
      case Change::insert: f.insert(); break;
      case Change::update: f.update(); break;
      case Change::remove: f.remove(); break;
      case Change::mix: f.mix(); break;
    }
    if (Incremental) {
      benchmark::DoNotOptimize(view->count());
    } else {
      benchmark::DoNotOptimize(naive->content.size());
    }
  }
  state.SetItemsProcessed(state.iterations());
}

// Few iterations per size: the base changes size under inserts and removals.
void sizes(benchmark::internal::Benchmark* b, int iterations) {
  b->Arg(10'000)->Arg(100'000)->Iterations(iterations)->Unit(benchmark::kMicrosecond);
}

void BM_Insert_View(benchmark::State& s) { run<Change::insert, true>(s); }
void BM_Insert_Naive(benchmark::State& s) { run<Change::insert, false>(s); }
void BM_UpdateMove_View(benchmark::State& s) { run<Change::update, true>(s); }
void BM_UpdateMove_Naive(benchmark::State& s) { run<Change::update, false>(s); }
void BM_Remove_View(benchmark::State& s) { run<Change::remove, true>(s); }
void BM_Remove_Naive(benchmark::State& s) { run<Change::remove, false>(s); }
void BM_Mix60_20_20_View(benchmark::State& s) { run<Change::mix, true>(s); }
void BM_Mix60_20_20_Naive(benchmark::State& s) { run<Change::mix, false>(s); }

BENCHMARK(BM_Insert_View)->Apply([](auto* b) { sizes(b, 2000); });
BENCHMARK(BM_Insert_Naive)->Apply([](auto* b) { sizes(b, 100); });
BENCHMARK(BM_UpdateMove_View)->Apply([](auto* b) { sizes(b, 2000); });
BENCHMARK(BM_UpdateMove_Naive)->Apply([](auto* b) { sizes(b, 100); });
BENCHMARK(BM_Remove_View)->Apply([](auto* b) { sizes(b, 2000); });
BENCHMARK(BM_Remove_Naive)->Apply([](auto* b) { sizes(b, 100); });
BENCHMARK(BM_Mix60_20_20_View)->Apply([](auto* b) { sizes(b, 2000); });
BENCHMARK(BM_Mix60_20_20_Naive)->Apply([](auto* b) { sizes(b, 100); });

}  // namespace
