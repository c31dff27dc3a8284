// Per-change cost of the keyed-array view in its three modes, against the
// base alone and a naive follower that recomputes the view after each
// change. Elements: 50% pass the filter; the order is total on (score, id).
//
//   BM_<Change>_<Mode>_View    the view following the base change
//   BM_<Change>_<Mode>_Naive   refilter (+ stable sort) after every change
//   BM_<Change>_Base           the base change alone, no follower
//   Modes: Natural (no filter, no sort), FilterOnly, Sorted (filter + sort)
//
// The base change is counted in every figure. keyed_view_fixture.h draws
// the changes; qt/keyed_view_qt_bench.cpp runs the same ones through Qt.
//
//   BM_RemoveElementWithKey_String / BM_RemoveAtIndex_String: removal by
//   key against removal by position, 10^5 elements with string keys.
#include <algorithm>
#include <cstdint>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "bench/observable/keyed_view_fixture.h"
#include "vantrel/core/sort.h"
#include "vantrel/observable/optionally_filtered_optionally_sorted_array_based_on_kerray.h"

namespace {

using namespace vantrel;
using vantrel::bench::Change;

struct Item {
  using KeyType = std::int64_t;
  std::int64_t id;
  std::int64_t score;
  KeyType key() const { return id; }
  friend bool operator==(const Item&, const Item&) = default;
};

using Items = Kerray<Item>;
using View = OptionallyFilteredOptionallySortedArray_BasedOnKerray<Item>;

enum class Mode { natural, filterOnly, sorted };

bool even(const Item& i) { return bench::evenId(i.id); }
bool byScore(const Item& a, const Item& b) { return bench::byScoreThenId(a.score, a.id, b.score, b.id); }
const NamedSortBlock<Item> kByScore("byScore", byScore);

// Recomputes the view from the base on every report.
struct Naive {
  Mode mode;
  std::shared_ptr<Items> base;
  std::shared_ptr<int> owner = std::make_shared<int>(0);
  std::vector<Item> content;

  void recompute() {
    content.clear();
    for (const Item& i : base->array()) {
      if (mode == Mode::natural || even(i)) content.push_back(i);
    }
    if (mode == Mode::sorted) stableSort(content, [](const Item& a, const Item& b) { return kByScore(a, b); });
  }

  Naive(Mode m, std::shared_ptr<Items> b) : mode(m), base(std::move(b)) {
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

// The base seen through the draws' interface.
struct Target {
  std::shared_ptr<Items> base;
  std::int64_t count() const { return base->count(); }
  void append(std::int64_t id, std::int64_t score) { base->append(Item{id, score}); }
  void update(std::int64_t at, std::int64_t score) {
    base->update(Item{base->array()[static_cast<std::size_t>(at)].id, score}, at);
  }
  void removeAt(std::int64_t at) { base->removeAtIndex(at); }
};

std::shared_ptr<Items> makeBase(std::int64_t n, bench::ChangeDraws& draws) {
  std::vector<Item> items;
  items.reserve(static_cast<std::size_t>(n));
  for (std::int64_t i = 0; i < n; ++i) items.push_back(Item{i, draws.score()});
  return Items::create(std::move(items));
}

enum class Follower { none, view, naive };

template <Change C, Mode M, Follower F>
void run(benchmark::State& state) {
  bench::ChangeDraws draws(state.range(0));
  Target target{makeBase(state.range(0), draws)};
  std::shared_ptr<View> view;
  std::unique_ptr<Naive> naive;
  if (F == Follower::view) {
    switch (M) {
      case Mode::natural: view = View::create(target.base); break;
      case Mode::filterOnly: view = View::create(target.base, even); break;
      case Mode::sorted: view = View::create(target.base, even, kByScore); break;
    }
  } else if (F == Follower::naive) {
    naive = std::make_unique<Naive>(M, target.base);
  }
  if (F != Follower::naive) draws.makeRoom(target, 6000);
  for (auto _ : state) {
    draws.apply(C, target);
    if (F == Follower::view) benchmark::DoNotOptimize(view->count());
    if (F == Follower::naive) benchmark::DoNotOptimize(naive->content.size());
  }
  state.SetItemsProcessed(state.iterations());
  if (F == Follower::view) {
    // The rows the view ends with: checked against a recomputation, and
    // fingerprinted for comparison with qt/keyed_view_qt_bench.cpp.
    Naive check(M, target.base);
    std::vector<std::int64_t> ids;
    for (const Item& i : view->content()) ids.push_back(i.id);
    if (view->content() != check.content) state.SkipWithError("the view differs from the recomputation");
    state.counters["rows"] = bench::rowsChecksum(ids);
  }
}

// Fixed iterations per size, so the base alone and the views see the same
// sequence: updates keep the size (many iterations, for steady figures);
// 5000 insertions grow 10^4 elements by half; removals and the mix run
// 2000 times. The naive follower, slow by design, runs 100 of each kind
// (without the room made beforehand).
void sizes(benchmark::internal::Benchmark* b, int iterations) {
  b->Arg(10'000)->Arg(100'000)->Iterations(iterations)->Unit(benchmark::kMicrosecond);
}

#define VIEW_BENCH(change, Change, iterations)                                                               \
  void BM_##change##_Base(benchmark::State& s) { run<Change, Mode::natural, Follower::none>(s); }   \
  void BM_##change##_Natural_View(benchmark::State& s) { run<Change, Mode::natural, Follower::view>(s); } \
  void BM_##change##_FilterOnly_View(benchmark::State& s) { run<Change, Mode::filterOnly, Follower::view>(s); } \
  void BM_##change##_Sorted_View(benchmark::State& s) { run<Change, Mode::sorted, Follower::view>(s); } \
  void BM_##change##_Natural_Naive(benchmark::State& s) { run<Change, Mode::natural, Follower::naive>(s); } \
  void BM_##change##_FilterOnly_Naive(benchmark::State& s) { run<Change, Mode::filterOnly, Follower::naive>(s); } \
  void BM_##change##_Sorted_Naive(benchmark::State& s) { run<Change, Mode::sorted, Follower::naive>(s); } \
  BENCHMARK(BM_##change##_Base)->Apply([](auto* b) { sizes(b, iterations); });                          \
  BENCHMARK(BM_##change##_Natural_View)->Apply([](auto* b) { sizes(b, iterations); });                  \
  BENCHMARK(BM_##change##_FilterOnly_View)->Apply([](auto* b) { sizes(b, iterations); });               \
  BENCHMARK(BM_##change##_Sorted_View)->Apply([](auto* b) { sizes(b, iterations); });                   \
  BENCHMARK(BM_##change##_Natural_Naive)->Apply([](auto* b) { sizes(b, 100); });                  \
  BENCHMARK(BM_##change##_FilterOnly_Naive)->Apply([](auto* b) { sizes(b, 100); });               \
  BENCHMARK(BM_##change##_Sorted_Naive)->Apply([](auto* b) { sizes(b, 100); });

VIEW_BENCH(Insert, Change::insert, 5000)
VIEW_BENCH(UpdateMove, Change::update, 100000)
VIEW_BENCH(Remove, Change::remove, 2000)
VIEW_BENCH(Mix60_20_20, Change::mix, 2000)

// ---- Removal by key, string keys ----

struct Named {
  using KeyType = std::string;
  std::string id;
  std::int64_t value = 0;
  const KeyType& key() const { return id; }
  friend bool operator==(const Named&, const Named&) = default;
};

std::shared_ptr<Kerray<Named>> named(std::int64_t n) {
  std::vector<Named> all;
  all.reserve(static_cast<std::size_t>(n));
  for (std::int64_t i = 0; i < n; ++i) all.push_back(Named{"element-" + std::to_string(i), i});
  return Kerray<Named>::create(std::move(all));
}

template <bool ByKey>
void removal(benchmark::State& state) {
  const std::int64_t n = state.range(0);
  auto base = named(n);
  std::mt19937_64 rng(7);
  std::vector<std::int64_t> order(static_cast<std::size_t>(n));
  for (std::int64_t i = 0; i < n; ++i) order[static_cast<std::size_t>(i)] = i;
  std::shuffle(order.begin(), order.end(), rng);
  std::size_t next = 0;
  for (auto _ : state) {
    if (ByKey) {
      benchmark::DoNotOptimize(base->removeElementWithKey("element-" + std::to_string(order[next++])));
    } else {
      // The position the same element has now: the cost of the removal
      // itself, not of finding it.
      benchmark::DoNotOptimize(base->removeAtIndex(order[next++] % base->count()));
    }
  }
}

void BM_RemoveElementWithKey_String(benchmark::State& s) { removal<true>(s); }
void BM_RemoveAtIndex_String(benchmark::State& s) { removal<false>(s); }
BENCHMARK(BM_RemoveElementWithKey_String)->Arg(100'000)->Iterations(2000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RemoveAtIndex_String)->Arg(100'000)->Iterations(2000)->Unit(benchmark::kMicrosecond);

}  // namespace
