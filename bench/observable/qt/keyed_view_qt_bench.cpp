// The changes of keyed_view_bench.cpp through Qt 6's model/view classes: a
// QStandardItemModel (one row per element, id and score as item data)
// followed by a QSortFilterProxyModel with dynamic sort and filter,
// `filterAcceptsRow` and `lessThan` overridden. The source model's change
// is counted, as the base's change is in keyed_view_bench.cpp.
//
//   BM_<Change>_<Mode>_Qt   Natural: accepts every row, no sort
//                           FilterOnly: even ids, no sort
//                           Sorted: even ids, by (score, id)
//   BM_<Change>_QtBase      the source model's change alone, no proxy
//
// Built only when Qt 6 (Core, Gui) is found; a comparison, not a
// dependency of the library.
#include <algorithm>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <benchmark/benchmark.h>

#include "bench/observable/keyed_view_fixture.h"

namespace {

using vantrel::bench::Change;

constexpr int kId = Qt::UserRole + 1;
constexpr int kScore = Qt::UserRole + 2;

enum class Mode { natural, filterOnly, sorted };

class Proxy : public QSortFilterProxyModel {
 public:
  explicit Proxy(bool filtered) : filtered_(filtered) {}

 protected:
  bool filterAcceptsRow(int row, const QModelIndex& parent) const override {
    if (!filtered_) return true;
    return vantrel::bench::evenId(sourceModel()->index(row, 0, parent).data(kId).toLongLong());
  }
  bool lessThan(const QModelIndex& a, const QModelIndex& b) const override {
    return vantrel::bench::byScoreThenId(a.data(kScore).toLongLong(), a.data(kId).toLongLong(),
                                         b.data(kScore).toLongLong(), b.data(kId).toLongLong());
  }

 private:
  bool filtered_;
};

QStandardItem* item(std::int64_t id, std::int64_t score) {
  auto* i = new QStandardItem();
  i->setData(QVariant::fromValue<qlonglong>(id), kId);
  i->setData(QVariant::fromValue<qlonglong>(score), kScore);
  return i;
}

struct Target {
  QStandardItemModel model;
  std::int64_t count() const { return model.rowCount(); }
  void append(std::int64_t id, std::int64_t score) { model.appendRow(item(id, score)); }
  void update(std::int64_t at, std::int64_t score) {
    model.item(static_cast<int>(at))->setData(QVariant::fromValue<qlonglong>(score), kScore);
  }
  void removeAt(std::int64_t at) { model.removeRow(static_cast<int>(at)); }
};

template <Change C, Mode M, bool WithProxy>
void run(benchmark::State& state) {
  vantrel::bench::ChangeDraws draws(state.range(0));
  Target target;
  for (std::int64_t i = 0; i < state.range(0); ++i) target.append(i, draws.score());
  std::unique_ptr<Proxy> proxy;
  if (WithProxy) {
    proxy = std::make_unique<Proxy>(M != Mode::natural);
    proxy->setDynamicSortFilter(true);
    proxy->setSourceModel(&target.model);
    proxy->sort(M == Mode::sorted ? 0 : -1);
  }
  draws.makeRoom(target, 6000);
  for (auto _ : state) {
    draws.apply(C, target);
    if (WithProxy) benchmark::DoNotOptimize(proxy->rowCount());
  }
  state.SetItemsProcessed(state.iterations());
  if (WithProxy) {
    // The rows the proxy ends with: checked against a recomputation from
    // the source model, and fingerprinted as keyed_view_bench.cpp does.
    std::vector<std::int64_t> ids;
    for (int r = 0; r < proxy->rowCount(); ++r) ids.push_back(proxy->index(r, 0).data(kId).toLongLong());
    std::vector<std::pair<std::int64_t, std::int64_t>> expected;  // (id, score)
    for (int r = 0; r < target.model.rowCount(); ++r) {
      const QStandardItem* i = target.model.item(r);
      const std::int64_t id = i->data(kId).toLongLong();
      if (M == Mode::natural || vantrel::bench::evenId(id)) expected.emplace_back(id, i->data(kScore).toLongLong());
    }
    if (M == Mode::sorted) {
      std::stable_sort(expected.begin(), expected.end(), [](const auto& a, const auto& b) {
        return vantrel::bench::byScoreThenId(a.second, a.first, b.second, b.first);
      });
    }
    std::vector<std::int64_t> expectedIds;
    for (const auto& e : expected) expectedIds.push_back(e.first);
    if (ids != expectedIds) state.SkipWithError("the proxy differs from the recomputation");
    state.counters["rows"] = vantrel::bench::rowsChecksum(ids);
  }
}

void sizes(benchmark::internal::Benchmark* b, int iterations) {
  b->Arg(10'000)->Arg(100'000)->Iterations(iterations)->Unit(benchmark::kMicrosecond);
}

#define QT_BENCH(change, Change, iterations)                                                                      \
  void BM_##change##_QtBase(benchmark::State& s) { run<Change, Mode::natural, false>(s); }              \
  void BM_##change##_Natural_Qt(benchmark::State& s) { run<Change, Mode::natural, true>(s); }           \
  void BM_##change##_FilterOnly_Qt(benchmark::State& s) { run<Change, Mode::filterOnly, true>(s); }     \
  void BM_##change##_Sorted_Qt(benchmark::State& s) { run<Change, Mode::sorted, true>(s); }             \
  BENCHMARK(BM_##change##_QtBase)->Apply([](auto* b) { sizes(b, iterations); });                              \
  BENCHMARK(BM_##change##_Natural_Qt)->Apply([](auto* b) { sizes(b, iterations); });                          \
  BENCHMARK(BM_##change##_FilterOnly_Qt)->Apply([](auto* b) { sizes(b, iterations); });                       \
  BENCHMARK(BM_##change##_Sorted_Qt)->Apply([](auto* b) { sizes(b, iterations); });

// The iterations of keyed_view_bench.cpp.
QT_BENCH(Insert, Change::insert, 5000)
QT_BENCH(UpdateMove, Change::update, 100000)
QT_BENCH(Remove, Change::remove, 2000)
QT_BENCH(Mix60_20_20, Change::mix, 2000)

}  // namespace
