// Differential test of the filtered, optionally sorted keyed-array view:
// after every random base operation, filter change or sort change, each
// view equals the base's elements filtered and stable-sorted from scratch,
// and a mirror replaying each view's events equals the view.
//
// The first three views start in natural order, filter-only and sorted;
// the random filter and sort changes move every view between the modes.
// A filter or sort block that throws while it is set is refused with the
// view unchanged; one that throws while the view follows its base stops
// the program (the death tests below, one per mode).
//
// The sort blocks order by (score, key), a total order, so the expected
// order is exact. Seeded; a failure prints the seed (VANTREL_REPLAY_SEED
// replays it). Run under AddressSanitizer in the default test build.
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
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
using testing::ViewMirror;

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

std::string step(Rows& k, std::vector<std::shared_ptr<View>>& views, Draw& d, bool ties) {
  const std::int64_t n = k.count();
  try {
    switch (d.upTo(17)) {
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
      case 15: {
        // A closure that throws while it is set: refused, the view as it was.
        View& v = *views[static_cast<std::size_t>(d.upTo(kViews - 1))];
        const auto throwing = [](const Row&, const Row&) -> bool { throw std::runtime_error("comparator"); };
        if (d.coin() && expected(k, v).size() >= 2) {
          try {
            v.setSortBlock(NamedSortBlock<Row>("throwing", throwing));
          } catch (const std::runtime_error&) {
            return "throwing sort block refused";
          }
          ADD_FAILURE() << "a throwing sort block was accepted";
        } else if (n > 0) {
          try {
            v.setFilterBlock([](const Row&) -> bool { throw std::runtime_error("filter"); });
          } catch (const std::runtime_error&) {
            return "throwing filter refused";
          }
          ADD_FAILURE() << "a throwing filter was accepted";
        }
        return "throwing closure (nothing to judge)";
      }
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

std::shared_ptr<Rows> startBase(Draw& d) {
  auto base = Rows::create();
  try {
    base->appendMultiple(d.rows(8));
  } catch (const Rows::Errur&) {  // a repeated key: the others are in
  }
  return base;
}

// Natural order, filter-only, sorted, then drawn ones.
std::vector<std::shared_ptr<View>> startViews(const std::shared_ptr<Rows>& base, Draw& d, bool ties) {
  const auto sortBlock = [&] {
    std::optional<NamedSortBlock<Row>> block;
    while (!block) block = ties ? drawTiedSort(d) : drawSort(d);
    return block;
  };
  const auto filter = [&] {
    View::Filter f;
    while (!f) f = drawFilter(d);
    return f;
  };
  std::vector<std::shared_ptr<View>> views;
  views.push_back(View::create(base));
  views.push_back(View::create(base, filter()));
  views.push_back(View::create(base, d.coin() ? filter() : View::Filter(), sortBlock()));
  while (views.size() < static_cast<std::size_t>(kViews)) {
    views.push_back(View::create(base, drawFilter(d), ties ? drawTiedSort(d) : drawSort(d)));
  }
  return views;
}

// Runs the random sequence; `check` compares each view with the base.
void runSequence(bool ties, const std::function<void(const Rows&, const View&)>& check) {
  for (const std::uint64_t seed : replaySeeds()) {
    SCOPED_TRACE("seed " + std::to_string(seed) + " (replay with VANTREL_REPLAY_SEED)");
    Draw d(seed);
    auto base = startBase(d);
    std::vector<std::shared_ptr<View>> views = startViews(base, d, ties);
    std::vector<std::shared_ptr<ViewMirror>> mirrors;
    for (int i = 0; i < kViews; ++i) {
      mirrors.push_back(std::make_shared<ViewMirror>());
      mirrors.back()->rows = views[static_cast<std::size_t>(i)]->content();
      attach(*views[static_cast<std::size_t>(i)], mirrors.back());
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

// A view whose caller code throws at its 300th call while it follows the
// random sequence: the program stops, naming the view and the event.
enum class Trip { filter, comparator, observer };

[[noreturn]] void runUntilTripped(Trip trip) {
  Draw d(replaySeeds().front());
  auto base = startBase(d);
  std::vector<std::shared_ptr<View>> views = startViews(base, d, false);
  auto calls = std::make_shared<int>(0);
  const auto tick = [calls] {
    if (++*calls == 300) throw std::runtime_error("tripped");
  };
  std::shared_ptr<View> tripped;
  switch (trip) {
    case Trip::filter:
      tripped = View::create(base, [tick](const Row& r) { return tick(), score(r) % 2 == 0; });
      break;
    case Trip::comparator:
      tripped = View::create(base, {}, NamedSortBlock<Row>("tripping", [tick](const Row& a, const Row& b) {
                               return tick(), a.id < b.id;
                             }));
      break;
    case Trip::observer: {
      tripped = View::create(base);
      tripped->observers().createNew(calls, [tick](OptionallyFilteredOptionallySortedArray_BasedOnKerrayObserver<Row>& o) {
        o.inserted = [tick](View&, std::int64_t, const Row&) { tick(); };
        o.removed = [tick](View&, std::int64_t, const Row&) { tick(); };
        o.updated = [tick](View&, std::int64_t, const Row&) { tick(); };
      });
      break;
    }
  }
  *calls = 0;
  for (int i = 0; i < 100 * kOperations; ++i) step(*base, views, d, false);
  std::abort();  // not reached: the sequence calls far more than 300 times
}

TEST(SortedViewDifferentialDeathTest, CallerCodeThatThrowsWhileFollowingStopsTheProgram) {
  EXPECT_DEATH(runUntilTripped(Trip::filter),
               "Uncaught exception in OptionallyFilteredOptionallySortedArray_BasedOnKerray following "
               "\"[A-Za-z]+\": tripped");
  EXPECT_DEATH(runUntilTripped(Trip::comparator),
               "Uncaught exception in OptionallyFilteredOptionallySortedArray_BasedOnKerray following "
               "\"[A-Za-z]+\": tripped");
  EXPECT_DEATH(runUntilTripped(Trip::observer),
               "Uncaught exception in an observer of OptionallyFilteredOptionallySortedArray_BasedOnKerray on "
               "\"[A-Za-z]+\": tripped");
}

}  // namespace
}  // namespace vantrel
