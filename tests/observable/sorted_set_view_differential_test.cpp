// Differential test of the filtered sorted view of an observable set: after
// every random base operation, filter change or sort change, each view
// equals the base's elements filtered and stable-sorted from scratch (with
// the values the base stores), and a mirror replaying each view's events
// equals the view.
//
// The operations cover inserts, batch inserts with repeats and present
// elements, updates that change the sort field and the filter verdict,
// batch updates, removals of one and many, replace-all, remove-all, new
// filters and new sort blocks (one with the current code and another
// order, which the view must ignore). The first run orders by (score, id),
// a total order, so the expected order is exact; the second by score
// alone, with many ties: the view must then be sorted and hold the same
// elements. Seeded; a failure prints the seed (VANTREL_REPLAY_SEED replays
// it). Run under AddressSanitizer in the default test build.
#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/observable/observable_test_support.h"
#include "vantrel/collections/array_moves.h"
#include "vantrel/core/console.h"
#include "vantrel/core/sort.h"
#include "vantrel/observable/optionally_filtered_always_sorted_array_based_on_observable_set.h"

namespace vantrel {
namespace {

using testing::Draw;
using testing::replaySeeds;
using testing::Scored;

using Set = ObservableSet<Scored>;
using View = OptionallyFilteredAlwaysSortedArray_BasedOnObservableSet<Scored>;
using Positions = std::vector<std::int64_t>;

constexpr int kOperations = 2500;
constexpr int kViews = 4;

// Every field, so that a stale value shows (`==` compares ids only).
std::vector<std::string> full(const std::vector<Scored>& elements) {
  std::vector<std::string> out;
  out.reserve(elements.size());
  for (const Scored& s : elements) out.push_back(s.id + "=" + std::to_string(s.score) + "#" + std::to_string(s.version));
  return out;
}

class Draws {
 public:
  explicit Draws(std::uint64_t seed) : d(seed) {}
  Draw d;
  Scored element() { return Scored{d.key(), static_cast<int>(d.upTo(9)), ++version_}; }
  std::vector<Scored> elements(std::int64_t most) {
    std::vector<Scored> out(static_cast<std::size_t>(d.upTo(most)));
    for (Scored& s : out) s = element();
    return out;
  }

 private:
  int version_ = 0;
};

View::Filter drawFilter(Draw& d) {
  if (d.upTo(3) == 0) return {};
  const int m = static_cast<int>(d.upTo(1)) + 2;
  const int r = static_cast<int>(d.upTo(m - 1));
  return [m, r](const Scored& e) { return e.score % m == r; };
}

NamedSortBlock<Scored> drawSort(Draw& d, bool ties) {
  if (ties) {
    if (d.coin()) return NamedSortBlock<Scored>("score", [](const Scored& a, const Scored& b) { return a.score < b.score; });
    return NamedSortBlock<Scored>("scoreDown", [](const Scored& a, const Scored& b) { return a.score > b.score; });
  }
  switch (d.upTo(3)) {
    case 3:  // reversed: strict here, the ids being distinct
      return NamedSortBlock<Scored>("up", [](const Scored& a, const Scored& b) {
               return a.score != b.score ? a.score < b.score : a.id < b.id;
             }).reversed();
    case 0:
      return NamedSortBlock<Scored>("up", [](const Scored& a, const Scored& b) {
        return a.score != b.score ? a.score < b.score : a.id < b.id;
      });
    case 1:
      return NamedSortBlock<Scored>("down", [](const Scored& a, const Scored& b) {
        return a.score != b.score ? a.score > b.score : a.id > b.id;
      });
    default:  // the code of "up", another order: ignored while "up" is in force
      return NamedSortBlock<Scored>("up", [](const Scored& a, const Scored& b) { return a.id > b.id; });
  }
}

std::vector<Scored> expected(const Set& base, const View& view) {
  std::vector<Scored> out;
  for (const Scored& s : base.elements()) {
    if (!view.filterBlock() || view.filterBlock()(s)) out.push_back(s);
  }
  stableSort(out, [&](const Scored& a, const Scored& b) { return view.sortBlock()(a, b); });
  return out;
}

using Mirror = testing::EventMirror<Scored>;

void attach(View& view, const std::shared_ptr<Mirror>& mirror) {
  view.observers().createNew(mirror, [m = mirror.get()](OptionallyFilteredAlwaysSortedArray_BasedOnObservableSetObserver<Scored>& o) {
    using E = std::vector<Scored>;
    o.sortingChanged = [m](View& v, const std::string&) { m->rows = v.content(); };
    o.filterChanged = [m](View& v) { m->rows = v.content(); };
    o.replacedContent = [m](View& v) { m->rows = v.content(); };
    o.removedAll = [m](View&) { m->rows.clear(); };
    o.inserted = [m](View&, std::int64_t i, const Scored& e) {
      m->check(m->at(i, 1), "inserted position");
      if (m->at(i, 1)) m->rows.insert(m->rows.begin() + i, e);
    };
    o.insertedMultiple = [m](View&, const Positions& p, const E& e) {
      m->check(p.size() == e.size(), "insertedMultiple lengths");
      for (std::size_t j = 0; j < p.size() && j < e.size(); ++j) {
        m->check(m->at(p[j], 1), "insertedMultiple position");
        if (m->at(p[j], 1)) m->rows.insert(m->rows.begin() + p[j], e[j]);
      }
    };
    o.removed = [m](View&, std::int64_t i, const Scored& e) {
      m->check(m->keyAt(i, e), "removed position");
      if (m->at(i)) m->rows.erase(m->rows.begin() + i);
    };
    o.removedMultiple = [m](View&, const Positions& p, const E& e) {
      m->check(std::is_sorted(p.begin(), p.end()), "removedMultiple ascending");
      m->check(p.size() == e.size(), "removedMultiple lengths");
      for (std::size_t j = p.size(); j-- > 0;) {
        m->check(j < e.size() && m->at(p[j]) && full({m->rows[static_cast<std::size_t>(p[j])]}) == full({e[j]}),
                 "removedMultiple element");
        if (m->at(p[j])) m->rows.erase(m->rows.begin() + p[j]);
      }
    };
    o.updated = [m](View&, std::int64_t i, const Scored& e) {
      m->check(m->keyAt(i, e), "updated position");
      if (m->at(i)) m->rows[static_cast<std::size_t>(i)] = e;
    };
    o.moved = [m](View&, std::int64_t f, std::int64_t t, const Scored& e) {
      m->check(m->keyAt(f, e) && m->at(t), "moved positions");
      if (m->at(f) && m->at(t)) vantrel::move(m->rows, f, t);
    };
  });
}

std::string step(Set& base, std::vector<std::shared_ptr<View>>& views, Draws& g, bool ties) {
  Draw& d = g.d;
  try {
    switch (d.upTo(12)) {
      case 0: base.insert(g.element()); return "insert";
      case 1: {
        std::vector<Scored> batch = g.elements(5);
        if (!batch.empty() && d.coin()) batch.push_back(Scored{batch.front().id, 1, 0});  // a repeat
        if (!base.isEmpty() && d.coin()) batch.push_back(Scored{base.elements().begin()->id, 3, 0});  // present
        base.insertMultiple(batch);
        return "insertMultiple";
      }
      case 2:
      case 3: base.update(g.element()); return "update";
      case 4: {
        // Held elements with a new score (and filter verdict).
        std::vector<Scored> batch;
        for (const Scored& s : base.elements()) {
          if (d.coin()) batch.push_back(Scored{s.id, static_cast<int>(d.upTo(9)), 0});
        }
        base.updateMultiple(batch);
        return "updateMultiple";
      }
      case 5: base.remove(g.element()); return "remove";
      case 6: base.remove(g.elements(5)); return "remove several";
      case 7: base.replaceContent(g.elements(12)); return "replaceContent";
      case 8:
        if (d.upTo(3) == 0) base.removeAll();
        return "removeAll";
      case 9: views[static_cast<std::size_t>(d.upTo(kViews - 1))]->setFilterBlock(drawFilter(d)); return "new filter";
      case 10:
        views[static_cast<std::size_t>(d.upTo(kViews - 1))]->setSortBlock(drawSort(d, ties));
        return "new sort block";
      default: {
        // The base's own element again: an update with nothing new.
        if (base.isEmpty()) return "update stored (empty)";
        base.update(*base.elements().begin());
        return "update stored";
      }
    }
  } catch (const Set::Errur&) {
    return "refused by the base";
  }
}

void runSequence(bool ties, const std::function<void(const Set&, const View&)>& check) {
  ConsoleCapture quiet;  // the batch-removal lines and the base's warnings
  for (const std::uint64_t seed : replaySeeds()) {
    SCOPED_TRACE("seed " + std::to_string(seed) + " (replay with VANTREL_REPLAY_SEED)");
    Draws g(seed);
    auto base = Set::create(g.elements(12));
    std::vector<std::shared_ptr<View>> views;
    views.push_back(View::create(base, drawSort(g.d, ties)));
    while (views.size() < static_cast<std::size_t>(kViews)) {
      views.push_back(View::create(base, drawFilter(g.d), drawSort(g.d, ties)));
    }
    std::vector<std::shared_ptr<Mirror>> mirrors;
    for (const auto& view : views) {
      mirrors.push_back(std::make_shared<Mirror>());
      mirrors.back()->rows = view->content();
      attach(*view, mirrors.back());
    }
    for (int i = 0; i < kOperations; ++i) {
      const std::string op = step(*base, views, g, ties);
      quiet.clear();
      SCOPED_TRACE("operation " + std::to_string(i) + ": " + op);
      for (std::size_t v = 0; v < views.size(); ++v) {
        SCOPED_TRACE("view " + std::to_string(v) + ": " + views[v]->description());
        check(*base, *views[v]);
        ASSERT_EQ(mirrors[v]->faults, std::vector<std::string>{});
        ASSERT_EQ(full(mirrors[v]->rows), full(views[v]->content()));
        ASSERT_EQ(views[v]->count(), static_cast<std::int64_t>(views[v]->content().size()));
        if (::testing::Test::HasFatalFailure()) return;
      }
    }
  }
}

TEST(SortedSetViewDifferential, EveryViewEqualsFilterPlusStableSortFromScratch) {
  runSequence(false, [](const Set& base, const View& view) {
    ASSERT_EQ(full(view.content()), full(expected(base, view)));
  });
}

TEST(SortedSetViewDifferential, WithManyTiesTheViewIsSortedAndHoldsTheSameElements) {
  runSequence(true, [](const Set& base, const View& view) {
    std::vector<Scored> have = view.content();
    for (std::size_t i = 1; i < have.size(); ++i) ASSERT_FALSE(view.sortBlock()(have[i], have[i - 1])) << "at " << i;
    std::vector<std::string> want = full(expected(base, view));
    std::vector<std::string> got = full(have);
    std::sort(want.begin(), want.end());
    std::sort(got.begin(), got.end());
    ASSERT_EQ(got, want);
  });
}

}  // namespace
}  // namespace vantrel
