// Differential test of the filtered, optionally sorted keyed-array view:
// after every random base operation, filter change or sort change, each
// view equals the base's elements filtered and stable-sorted from scratch,
// and a mirror replaying each view's events equals the view.
//
// The sort blocks order by (score, key), a total order, so the expected
// order is exact. Seeded; a failure prints the seed (VANTREL_REPLAY_SEED
// replays it). Run under AddressSanitizer in the default test build.
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/observable/observable_test_support.h"
#include "vantrel/collections/array_moves.h"
#include "vantrel/core/sort.h"
#include "vantrel/observable/optionally_filtered_optionally_sorted_array_based_on_kerray.h"

namespace vantrel {
namespace {

using testing::Draw;
using testing::replaySeeds;
using testing::Row;

using Rows = Kerray<Row>;
using View = OptionallyFilteredOptionallySortedArray_BasedOnKerray<Row>;
using Positions = std::vector<std::int64_t>;

constexpr int kOperations = 2500;
constexpr int kViews = 4;

int score(const Row& r) { return std::stoi(r.payload) % 7; }

View::Filter drawFilter(Draw& d) {
  if (d.upTo(3) == 0) return {};
  const int m = static_cast<int>(d.upTo(1)) + 2;
  const int r = static_cast<int>(d.upTo(m - 1));
  return [m, r](const Row& e) { return std::stoi(e.payload) % m == r; };
}

// By score then key, ascending or descending; the code names the order,
// and a drawn "again" keeps a code with another comparator (which the view
// must ignore).
std::optional<NamedSortBlock<Row>> drawSort(Draw& d) {
  switch (d.upTo(3)) {
    case 0: return std::nullopt;
    case 1:
      return NamedSortBlock<Row>("up", [](const Row& a, const Row& b) {
        return score(a) != score(b) ? score(a) < score(b) : a.id < b.id;
      });
    case 2:
      return NamedSortBlock<Row>("down", [](const Row& a, const Row& b) {
        return score(a) != score(b) ? score(a) > score(b) : a.id > b.id;
      });
    default:  // same code as "up", another order
      return NamedSortBlock<Row>("up", [](const Row& a, const Row& b) { return a.id > b.id; });
  }
}

// Orders by score alone: many ties, whose order the view leaves open.
std::optional<NamedSortBlock<Row>> drawTiedSort(Draw& d) {
  if (d.upTo(3) == 0) return std::nullopt;
  return NamedSortBlock<Row>("score", [](const Row& a, const Row& b) { return score(a) < score(b); });
}

std::vector<Row> expected(const Rows& base, const View& view) {
  std::vector<Row> out;
  for (const Row& r : base.array()) {
    if (!view.filterBlock() || view.filterBlock()(r)) out.push_back(r);
  }
  if (view.sortBlock()) stableSort(out, [&](const Row& a, const Row& b) { return (*view.sortBlock())(a, b); });
  return out;
}

struct Mirror {
  std::vector<Row> rows;
  std::vector<std::string> faults;
  void check(bool ok, const std::string& what) {
    if (!ok) faults.push_back(what);
  }
  bool at(std::int64_t i, std::size_t extra = 0) const {
    return i >= 0 && static_cast<std::size_t>(i) < rows.size() + extra;
  }
  bool keyAt(std::int64_t i, const Row& e) const { return at(i) && rows[static_cast<std::size_t>(i)].id == e.id; }
};

void attach(View& view, const std::shared_ptr<Mirror>& mirror) {
  view.observers().createNew(mirror, [m = mirror.get()](OptionallyFilteredOptionallySortedArray_BasedOnKerrayObserver<Row>& o) {
    using V = std::vector<Row>;
    o.sortingChanged = [m](View& v, const std::optional<std::string>&) { m->rows = v.content(); };
    o.filterChanged = [m](View& v) { m->rows = v.content(); };
    o.replacedContent = [m](View& v) { m->rows = v.content(); };
    o.removedAll = [m](View&) { m->rows.clear(); };
    o.inserted = [m](View&, std::int64_t i, const Row& e) {
      m->check(m->at(i, 1), "inserted position");
      if (m->at(i, 1)) m->rows.insert(m->rows.begin() + i, e);
    };
    o.insertedMultipleContinuous = [m](View&, std::int64_t i, const V& e) {
      m->check(m->at(i, 1), "insertedMultipleContinuous position");
      if (m->at(i, 1)) m->rows.insert(m->rows.begin() + i, e.begin(), e.end());
    };
    o.insertedMultipleDistributed = [m](View&, const Positions& p, const V& e) {
      m->check(p.size() == e.size(), "insertedMultipleDistributed lengths");
      for (std::size_t j = 0; j < p.size() && j < e.size(); ++j) {
        m->check(m->at(p[j], 1), "insertedMultipleDistributed position");
        if (m->at(p[j], 1)) m->rows.insert(m->rows.begin() + p[j], e[j]);
      }
    };
    o.removed = [m](View&, std::int64_t i, const Row& e) {
      m->check(m->keyAt(i, e), "removed position");
      if (m->at(i)) m->rows.erase(m->rows.begin() + i);
    };
    o.removedMultiple = [m](View&, const Positions& p, const V& e) {
      m->check(std::is_sorted(p.rbegin(), p.rend()), "removedMultiple highest first");
      for (std::size_t j = 0; j < p.size() && j < e.size(); ++j) {
        m->check(m->keyAt(p[j], e[j]), "removedMultiple position");
        if (m->at(p[j])) m->rows.erase(m->rows.begin() + p[j]);
      }
    };
    o.updated = [m](View&, std::int64_t i, const Row& e) {
      m->check(m->keyAt(i, e), "updated position");
      if (m->at(i)) m->rows[static_cast<std::size_t>(i)] = e;
    };
    o.moved = [m](View&, std::int64_t f, std::int64_t t, const Row& e) {
      m->check(m->keyAt(f, e) && m->at(t), "moved positions");
      if (m->at(f) && m->at(t)) vantrel::move(m->rows, f, t);
    };
    o.movedMultiple = [m](View&, const Positions& f, std::int64_t t, const V& e) {
      std::vector<Row> named;
      for (auto it = f.rbegin(); it != f.rend(); ++it) {
        if (m->at(*it)) named.push_back(m->rows[static_cast<std::size_t>(*it)]);
      }
      m->check(named == e, "movedMultiple elements");
      if (named == e) vantrel::move(m->rows, f, t);
    };
  });
}

std::string step(Rows& k, std::vector<std::shared_ptr<View>>& views, Draw& d, bool ties) {
  const std::int64_t n = k.count();
  try {
    switch (d.upTo(16)) {
      case 0: k.insert(d.row(), d.upTo(n)); return "insert";
      case 1: {
        std::vector<Row> rows = d.rows(4);
        if (!rows.empty() && d.coin()) rows.push_back(Row{rows.front().id, "9"});  // a repeated key
        k.insertMultiple(rows, d.upTo(n));
        return "insertMultiple";
      }
      case 2: {
        std::vector<Row> rows = d.rows(4);
        Positions at;
        for (std::size_t i = 0; i < rows.size(); ++i) at.push_back(d.upTo(n));
        k.insertMultipleDistributed(rows, at);
        return "insertMultipleDistributed";
      }
      case 3: k.update(d.row()); return "update";
      case 4:
        if (n == 0) return "update at index (empty)";
        k.update(d.coin() ? Row{k[d.upTo(n - 1)].id, d.row().payload} : d.row(), d.upTo(n - 1));
        return "update at index";
      case 5: k.update(d.rows(5)); return "update list";
      case 6:
        if (n == 0) return "move (empty)";
        k.move(d.upTo(n - 1), d.upTo(n - 1));
        return "move";
      case 7: {
        const Positions from = d.distinct(n, 4);
        k.move(from, d.upTo(n - static_cast<std::int64_t>(from.size())));
        return "move block";
      }
      case 8: k.removeElementWithKey(d.key()); return "removeElementWithKey";
      case 9: k.removeAtIndex(d.upTo(n)); return "removeAtIndex";
      case 10: k.removeAtIndexes(d.distinct(n, 4)); return "removeAtIndexes";
      case 11: {
        std::vector<Row> named;
        for (std::int64_t i = d.upTo(3); i > 0 && n > 0; --i) named.push_back(k[d.upTo(n - 1)]);
        k.remove(named);
        return "remove elements";
      }
      case 12: {
        if (d.upTo(3) == 0) {
          k.removeAll();
          return "removeAll";
        }
        std::vector<Row> rows = d.rows(10);
        std::map<std::string, bool> seen;
        std::erase_if(rows, [&](const Row& r) { return !seen.emplace(r.id, true).second; });
        k.replaceContent(rows);
        return "replaceContent";
      }
      case 13: views[static_cast<std::size_t>(d.upTo(kViews - 1))]->setFilterBlock(drawFilter(d)); return "new filter";
      case 14: views[static_cast<std::size_t>(d.upTo(kViews - 1))]->setSortBlock(ties ? drawTiedSort(d) : drawSort(d)); return "new sort block";
      default: {
        // A mutation through a view: passed to the base, or refused.
        View& v = *views[static_cast<std::size_t>(d.upTo(kViews - 1))];
        if (d.coin()) {
          v.update(d.row());
        } else {
          v.insertAtIndex(d.row(), d.upTo(n));
        }
        return "through a view";
      }
    }
  } catch (const Rows::Errur&) {
    return "refused by the base";
  } catch (const View::Errors&) {
    return "refused by the view";
  }
}

// Runs the random sequence; `check` compares each view with the base.
void runSequence(bool ties, const std::function<void(const Rows&, const View&)>& check) {
  for (const std::uint64_t seed : replaySeeds()) {
    SCOPED_TRACE("seed " + std::to_string(seed) + " (replay with VANTREL_REPLAY_SEED)");
    Draw d(seed);
    auto base = Rows::create();
    try {
      base->appendMultiple(d.rows(8));
    } catch (const Rows::Errur&) {  // a repeated key: the others are in
    }
    std::vector<std::shared_ptr<View>> views;
    std::vector<std::shared_ptr<Mirror>> mirrors;
    for (int i = 0; i < kViews; ++i) {
      views.push_back(View::create(base, drawFilter(d), ties ? drawTiedSort(d) : drawSort(d)));
      mirrors.push_back(std::make_shared<Mirror>());
      mirrors.back()->rows = views.back()->content();
      attach(*views.back(), mirrors.back());
    }
    for (int i = 0; i < kOperations; ++i) {
      const std::string op = step(*base, views, d, ties);
      SCOPED_TRACE("operation " + std::to_string(i) + ": " + op);
      for (int v = 0; v < kViews; ++v) {
        SCOPED_TRACE("view " + std::to_string(v) + ": " + views[static_cast<std::size_t>(v)]->description());
        const View& view = *views[static_cast<std::size_t>(v)];
        check(*base, view);
        ASSERT_EQ(mirrors[static_cast<std::size_t>(v)]->faults, std::vector<std::string>{});
        ASSERT_EQ(mirrors[static_cast<std::size_t>(v)]->rows, view.content());
        ASSERT_EQ(view.count(), static_cast<std::int64_t>(view.content().size()));
        if (::testing::Test::HasFatalFailure()) return;
      }
    }
  }
}

TEST(SortedViewDifferential, EveryViewEqualsFilterPlusStableSortFromScratch) {
  runSequence(false, [](const Rows& base, const View& view) { ASSERT_EQ(view.content(), expected(base, view)); });
}

TEST(SortedViewDifferential, WithTiesTheViewHoldsTheSameElementsInAnOrderTheBlockAllows) {
  runSequence(true, [](const Rows& base, const View& view) {
    std::vector<Row> want = expected(base, view);
    std::vector<Row> have = view.content();
    if (view.sortBlock()) {
      const auto& less = *view.sortBlock();
      for (std::size_t i = 1; i < have.size(); ++i) ASSERT_FALSE(less(have[i], have[i - 1])) << "at " << i;
      auto byId = [](const Row& a, const Row& b) { return a.id < b.id; };
      stableSort(want, byId);
      stableSort(have, byId);
    }
    ASSERT_EQ(have, want);
  });
}

}  // namespace
}  // namespace vantrel
