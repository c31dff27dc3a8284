// Views that follow a base whose earlier observer changes it inside a
// report: the view ends equal to what it would compute from the base.
#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/observable/observable_test_support.h"
#include "vantrel/observable/optionally_filtered_always_sorted_array_based_on_observable_set.h"
#include "vantrel/observable/optionally_filtered_optionally_sorted_array_based_on_kerray.h"
#include "vantrel/observable/optionally_filtered_set_based_on_observable_set.h"

namespace vantrel {
namespace {

using testing::row;
using testing::Row;
using testing::rows;
using testing::scored;
using testing::Scored;

using Set = ObservableSet<Scored>;
using SetObserver = ObservableSetObserver<Scored>;
using FilteredView = OptionallyFilteredSet_BasedOnObservableSet<Scored>;
using SortedView = OptionallyFilteredAlwaysSortedArray_BasedOnObservableSet<Scored>;

bool evenScore(const Scored& s) { return s.score % 2 == 0; }
const NamedSortBlock<Scored> kByScore("byScore", [](const Scored& a, const Scored& b) { return a.score < b.score; });

std::vector<std::string> texts(const std::vector<Scored>& elements) {
  std::vector<std::string> out;
  for (const Scored& s : elements) out.push_back(s.description());
  return out;
}

// What a view of `base` must show: the passing elements by score (scores
// are distinct in these cases), as texts.
std::vector<std::string> expectedSorted(const Set& base) {
  std::vector<Scored> passing;
  for (const Scored& s : base.elements()) {
    if (evenScore(s)) passing.push_back(s);
  }
  std::sort(passing.begin(), passing.end(), kByScore.sortBlock());
  return texts(passing);
}

std::vector<std::string> shownByFilteredView(const FilteredView& view) {
  std::vector<Scored> held(view.inElements()->begin(), view.inElements()->end());
  std::sort(held.begin(), held.end(), kByScore.sortBlock());
  return texts(held);
}

std::vector<std::string> shownBySortedView(const SortedView& view) { return texts(view.content()); }

// An observer registered on the base before the view, changing the base
// once inside one kind of report.
struct Meddling {
  const char* name;
  std::function<void(SetObserver&, bool& done)> configure;
  std::function<void(Set&)> change;
};

const std::vector<Meddling>& meddlings() {
  static const auto* const cases = new std::vector<Meddling>{
      {"removes the inserted element inside inserted",
       [](SetObserver& o, bool& done) {
         o.inserted = [&done](Set& set, const Scored& e) {
           if (!std::exchange(done, true)) set.remove(e);
         };
       },
       [](Set& set) { set.insert(scored("d", 4)); }},
      {"removes the updated element inside updated",
       [](SetObserver& o, bool& done) {
         o.updated = [&done](Set& set, const Scored& e) {
           if (!std::exchange(done, true)) set.remove(e);
         };
       },
       [](Set& set) { set.update(scored("b", 6)); }},
      {"removes an element inside updatedMultiple",
       [](SetObserver& o, bool& done) {
         o.updatedMultiple = [&done](Set& set, const ObservableSetElements<Scored>&) {
           if (!std::exchange(done, true)) set.remove(scored("b", 0));
         };
       },
       [](Set& set) { set.updateMultiple({scored("b", 8), scored("a", 10)}); }},
      {"replaces the inserted element inside inserted by a failing value",
       [](SetObserver& o, bool& done) {
         o.inserted = [&done](Set& set, const Scored& e) {
           if (!std::exchange(done, true)) set.update(scored(e.id, 5));
         };
       },
       [](Set& set) { set.insert(scored("d", 4)); }},
      {"puts the removed element back inside removed",
       [](SetObserver& o, bool& done) {
         o.removed = [&done](Set& set, const Scored& e) {
           if (!std::exchange(done, true)) set.insert(scored(e.id, 12));
         };
       },
       [](Set& set) { set.remove(scored("b", 2)); }},
  };
  return *cases;
}

template <class View>
struct ViewKind;
template <>
struct ViewKind<FilteredView> {
  static std::shared_ptr<FilteredView> create(std::shared_ptr<Set> base) {
    return FilteredView::create(std::move(base), evenScore);
  }
  static std::vector<std::string> shown(const FilteredView& v) { return shownByFilteredView(v); }
};
template <>
struct ViewKind<SortedView> {
  static std::shared_ptr<SortedView> create(std::shared_ptr<Set> base) {
    return SortedView::create(std::move(base), evenScore, kByScore);
  }
  static std::vector<std::string> shown(const SortedView& v) { return shownBySortedView(v); }
};

template <class View>
class ChangesInsideBaseReports : public ::testing::Test {};
using Views = ::testing::Types<FilteredView, SortedView>;
TYPED_TEST_SUITE(ChangesInsideBaseReports, Views);

TYPED_TEST(ChangesInsideBaseReports, TheViewEndsAsTheFilterOfTheBase) {
  for (const Meddling& m : meddlings()) {
    SCOPED_TRACE(m.name);
    auto base = Set::create({scored("a", 0), scored("b", 2), scored("c", 3)});
    auto owner = std::make_shared<int>(0);
    bool done = false;
    base->observers().createNew(owner, [&](SetObserver& o) { m.configure(o, done); });
    auto view = ViewKind<TypeParam>::create(base);
    m.change(*base);
    EXPECT_TRUE(done);
    EXPECT_EQ(ViewKind<TypeParam>::shown(*view), expectedSorted(*base));
  }
}

// ---- Filter-only keyed-array view: scattered insertions ----

using Rows = Kerray<Row>;
using KeyedView = OptionallyFilteredOptionallySortedArray_BasedOnKerray<Row>;
using Positions = std::vector<std::int64_t>;

bool shownRow(const Row& r) { return r.payload != "hidden"; }

// Two observers that rebuild the view from its reports: one reads the
// positions as final positions in the new content, the other inserts the
// elements one after the other at their positions.
struct Replays {
  std::vector<Row> asFinal;
  std::vector<Row> inOrder;
  std::vector<std::string> log;

  void listen(KeyedView& view, const std::shared_ptr<const void>& owner) {
    asFinal = inOrder = view.content();
    view.observers().createNew(owner, [this](OptionallyFilteredOptionallySortedArray_BasedOnKerrayObserver<Row>& o) {
      o.insertedMultipleDistributed = [this](KeyedView&, const Positions& at, const std::vector<Row>& e) {
        log.push_back(describe(at) + " " + describe(e));
        std::vector<Row> next(asFinal.size() + e.size());
        std::vector<bool> taken(next.size(), false);
        for (std::size_t i = 0; i < at.size(); ++i) {
          next[static_cast<std::size_t>(at[i])] = e[i];
          taken[static_cast<std::size_t>(at[i])] = true;
        }
        auto old = asFinal.begin();
        for (std::size_t i = 0; i < next.size(); ++i) {
          if (!taken[i]) next[i] = *old++;
        }
        asFinal = std::move(next);
        for (std::size_t i = 0; i < at.size(); ++i) inOrder.insert(inOrder.begin() + at[i], e[i]);
      };
    });
  }
};

TEST(FilterOnlyScatteredInsertions, ReportAscendingFinalPositions) {
  struct Case {
    const char* base;
    std::vector<Row> inserted;
    Positions at;
    const char* report;
  };
  const std::vector<Case> cases = {
      {"abc", {row("p"), row("q")}, {3, 0}, "[0, 4] [q, p]"},
      {"abc", {row("q"), row("p")}, {0, 4}, "[0, 4] [q, p]"},
      {"abc", {row("p"), row("q"), row("r")}, {1, 1, 1}, "[1, 2, 3] [r, q, p]"},
      {"abc", {row("p"), row("h", "hidden"), row("q")}, {0, 0, 0}, "[0, 1] [q, p]"},
      {"", {row("p"), row("q")}, {0, 0}, "[0, 1] [q, p]"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.base + std::string(" ") + describe(c.at));
    auto base = Rows::create(rows(c.base));
    auto view = KeyedView::create(base, shownRow);
    Replays replays;
    auto owner = std::make_shared<int>(0);
    replays.listen(*view, owner);
    base->insertMultipleDistributed(c.inserted, c.at);
    ASSERT_EQ(replays.log.size(), 1U);
    EXPECT_EQ(replays.log[0], c.report);
    EXPECT_EQ(describe(replays.asFinal), describe(view->content()));
    EXPECT_EQ(describe(replays.inOrder), describe(view->content()));
  }
}

TEST(FilterOnlyScatteredInsertions, RandomBatchesReplayBothWays) {
  std::mt19937 random(53);
  for (int round = 0; round < 200; ++round) {
    std::vector<Row> start;
    const int n = static_cast<int>(random() % 12);
    for (int i = 0; i < n; ++i) start.push_back(row("s" + std::to_string(i), random() % 3 == 0 ? "hidden" : ""));
    auto base = Rows::create(start);
    auto view = KeyedView::create(base, shownRow);
    Replays replays;
    auto owner = std::make_shared<int>(0);
    replays.listen(*view, owner);
    std::vector<Row> inserted;
    Positions at;
    const int m = 1 + static_cast<int>(random() % 8);
    for (int i = 0; i < m; ++i) {
      inserted.push_back(row("n" + std::to_string(i), random() % 3 == 0 ? "hidden" : ""));
      at.push_back(static_cast<std::int64_t>(random() % static_cast<unsigned>(n + i + 1)));
    }
    base->insertMultipleDistributed(inserted, at);
    SCOPED_TRACE(describe(at));
    EXPECT_EQ(describe(replays.asFinal), describe(view->content()));
    EXPECT_EQ(describe(replays.inOrder), describe(view->content()));
    std::vector<Row> expected;
    for (const Row& r : base->array()) {
      if (shownRow(r)) expected.push_back(r);
    }
    EXPECT_EQ(describe(view->content()), describe(expected));
  }
}

}  // namespace
}  // namespace vantrel
