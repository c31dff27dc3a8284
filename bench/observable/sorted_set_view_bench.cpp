// Per-change cost of the filtered sorted view of an observable set against
// a naive follower that refilters and stable-sorts the whole set after each
// change, and the set's change alone. n elements, 50% pass the filter (even
// ids); the order is total on (score, id); an update draws a new score, so
// it moves the element. The changes come from keyed_view_fixture.h.
//
//   BM_Set<Change>_View    the view following the set's change
//   BM_Set<Change>_Naive   refilter + stable sort after every change
//   BM_Set<Change>_Base    the set's change alone, no follower
//
// The set's change is counted in every figure. After the timing the view
// is checked against a recomputation from scratch (an error names the
// benchmark otherwise).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include <benchmark/benchmark.h>

#include "bench/observable/keyed_view_fixture.h"
#include "vantrel/core/sort.h"
#include "vantrel/observable/optionally_filtered_always_sorted_array_based_on_observable_set.h"

namespace {

using namespace vantrel;
using vantrel::bench::Change;

// Equal (and hashed) by id, as a set element that an update replaces.
struct Item {
  using KeyType = std::int64_t;
  std::int64_t id;
  std::int64_t score;
  KeyType key() const { return id; }
  friend bool operator==(const Item& a, const Item& b) { return a.id == b.id; }
};

}  // namespace

template <>
struct std::hash<Item> {
  std::size_t operator()(const Item& i) const noexcept { return std::hash<std::int64_t>{}(i.id); }
};

namespace {

using Items = ObservableSet<Item>;
using View = OptionallyFilteredAlwaysSortedArray_BasedOnObservableSet<Item>;

bool even(const Item& i) { return bench::evenId(i.id); }
bool byScore(const Item& a, const Item& b) { return bench::byScoreThenId(a.score, a.id, b.score, b.id); }
const NamedSortBlock<Item> kByScore("byScore", byScore);

std::vector<Item> fromScratch(const Items& base) {
  std::vector<Item> content;
  for (const Item& i : base.elements()) {
    if (even(i)) content.push_back(i);
  }
  stableSort(content, byScore);
  return content;
}

// Recomputes the view from the set on every report.
struct Naive {
  std::shared_ptr<Items> base;
  std::shared_ptr<int> owner = std::make_shared<int>(0);
  std::vector<Item> content;

  explicit Naive(std::shared_ptr<Items> b) : base(std::move(b)) {
    content = fromScratch(*base);
    base->observers().createNew(owner, [this](ObservableSetObserver<Item>& o) {
      using Elements = ObservableSetElements<Item>;
      o.replacedContent = [this](Items&) { content = fromScratch(*base); };
      o.removedAll = [this](Items&) { content = fromScratch(*base); };
      o.inserted = [this](Items&, const Item&) { content = fromScratch(*base); };
      o.insertedMultiple = [this](Items&, const std::vector<Item>&) { content = fromScratch(*base); };
      o.updated = [this](Items&, const Item&) { content = fromScratch(*base); };
      o.updatedMultiple = [this](Items&, const Elements&) { content = fromScratch(*base); };
      o.removed = [this](Items&, const Item&) { content = fromScratch(*base); };
      o.removedMultiple = [this](Items&, const Elements&) { content = fromScratch(*base); };
    });
  }
};

// The set seen through the draws' interface: the draws pick positions, so
// the ids are also kept in a list (removal swaps the last one in).
struct Target {
  std::shared_ptr<Items> base;
  std::vector<std::int64_t> ids;
  std::int64_t count() const { return static_cast<std::int64_t>(ids.size()); }
  void append(std::int64_t id, std::int64_t score) {
    base->insert(Item{id, score});
    ids.push_back(id);
  }
  void update(std::int64_t at, std::int64_t score) { base->update(Item{ids[static_cast<std::size_t>(at)], score}); }
  void removeAt(std::int64_t at) {
    base->remove(Item{ids[static_cast<std::size_t>(at)], 0});
    ids[static_cast<std::size_t>(at)] = ids.back();
    ids.pop_back();
  }
};

Target makeTarget(std::int64_t n, bench::ChangeDraws& draws) {
  std::vector<Item> items;
  std::vector<std::int64_t> ids;
  items.reserve(static_cast<std::size_t>(n));
  for (std::int64_t i = 0; i < n; ++i) {
    items.push_back(Item{i, draws.score()});
    ids.push_back(i);
  }
  return Target{Items::create(items), std::move(ids)};
}

bool sameRows(const std::vector<Item>& a, const std::vector<Item>& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](const Item& x, const Item& y) { return x.id == y.id && x.score == y.score; });
}

enum class Follower { none, view, naive };

template <Change C, Follower F>
void run(benchmark::State& state) {
  bench::ChangeDraws draws(state.range(0));
  Target target = makeTarget(state.range(0), draws);
  std::shared_ptr<View> view;
  std::unique_ptr<Naive> naive;
  if (F == Follower::view) view = View::create(target.base, even, kByScore);
  if (F == Follower::naive) naive = std::make_unique<Naive>(target.base);
  if (F != Follower::naive) draws.makeRoom(target, 6000);
  for (auto _ : state) {
    draws.apply(C, target);
    if (F == Follower::view) benchmark::DoNotOptimize(view->count());
    if (F == Follower::naive) benchmark::DoNotOptimize(naive->content.size());
  }
  state.SetItemsProcessed(state.iterations());
  if (F == Follower::view && !sameRows(view->content(), fromScratch(*target.base))) {
    state.SkipWithError("the view differs from the recomputation");
  }
}

// Iterations as in keyed_view_bench.cpp: updates keep the size (many
// iterations); 5000 insertions; removals and the mix run 2000 times; the
// naive follower, slow by design, runs 100 of each kind.
void sizes(benchmark::internal::Benchmark* b, int iterations) {
  b->Arg(10'000)->Arg(100'000)->Iterations(iterations)->Unit(benchmark::kMicrosecond);
}

#define SET_VIEW_BENCH(change, Change, iterations)                                                       \
  void BM_Set##change##_Base(benchmark::State& s) { run<Change, Follower::none>(s); }                   \
  void BM_Set##change##_View(benchmark::State& s) { run<Change, Follower::view>(s); }                   \
  void BM_Set##change##_Naive(benchmark::State& s) { run<Change, Follower::naive>(s); }                 \
  BENCHMARK(BM_Set##change##_Base)->Apply([](auto* b) { sizes(b, iterations); });                        \
  BENCHMARK(BM_Set##change##_View)->Apply([](auto* b) { sizes(b, iterations); });                        \
  BENCHMARK(BM_Set##change##_Naive)->Apply([](auto* b) { sizes(b, 100); });

SET_VIEW_BENCH(Insert, Change::insert, 5000)
SET_VIEW_BENCH(UpdateMove, Change::update, 100000)
SET_VIEW_BENCH(Remove, Change::remove, 2000)
SET_VIEW_BENCH(Mix60_20_20, Change::mix, 2000)

}  // namespace
