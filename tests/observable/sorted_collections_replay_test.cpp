// Event-replay mirrors for the sorted keyed array and the two unique
// arrays: a follower applying every report to a container of its own must
// hold what the collection holds after every operation of a long random
// sequence, and the membership set must agree with the content.
//
// Seeded; a failure prints the seed (VANTREL_REPLAY_SEED replays it).
#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/observable/observable_test_support.h"
#include "vantrel/collections/array_moves.h"
#include "vantrel/observable/optionally_sorted_urray.h"
#include "vantrel/observable/serray.h"
#include "vantrel/observable/urray.h"

namespace vantrel {
namespace {

using testing::Draw;
using testing::replaySeeds;
using testing::Row;

constexpr int kOperations = 3000;

int score(const Row& r) { return std::stoi(r.payload) % 5; }

// Blocks with many ties (score alone), a total order (score, key), one on
// the key, and a reversed one (not a strict weak order: equal scores count
// as ordered before each other); the codes tell them apart, "score" twice
// with two orders.
NamedSortBlock<Row> drawBlock(Draw& d) {
  switch (d.upTo(4)) {
    case 4:
      return NamedSortBlock<Row>("score", [](const Row& a, const Row& b) { return score(a) < score(b); }).reversed();
    case 0: return NamedSortBlock<Row>("score", [](const Row& a, const Row& b) { return score(a) < score(b); });
    case 1:
      return NamedSortBlock<Row>("scoreThenKey", [](const Row& a, const Row& b) {
        return score(a) != score(b) ? score(a) < score(b) : a.id < b.id;
      });
    case 2: return NamedSortBlock<Row>("keyDown", [](const Row& a, const Row& b) { return a.id > b.id; });
    default: return NamedSortBlock<Row>("score", [](const Row& a, const Row& b) { return score(a) > score(b); });
  }
}

// The view follower's rows and checks, with the edits the collections'
// reports name.
struct Mirror : testing::EventMirror<Row> {
  void insert(std::int64_t i, const Row& e) {
    check(at(i, 1), "inserted position");
    if (at(i, 1)) rows.insert(rows.begin() + i, e);
  }
  void remove(std::int64_t i, const Row& e) {
    check(at(i) && rows[static_cast<std::size_t>(i)] == e, "removed element");
    if (at(i)) rows.erase(rows.begin() + i);
  }
  void update(std::int64_t i, const Row& e) {
    check(keyAt(i, e), "updated position");
    if (at(i)) rows[static_cast<std::size_t>(i)] = e;
  }
  void move(std::int64_t f, std::int64_t t, const Row& e) {
    check(keyAt(f, e) && at(t), "moved positions");
    if (at(f) && at(t)) vantrel::move(rows, f, t);
  }
};

// A reversed block answers true for equal elements: there, each element
// must be ordered before (or with) the next.
void expectSortedBy(const std::vector<Row>& rows, const NamedSortBlock<Row>& block) {
  for (std::size_t i = 1; i < rows.size(); ++i) {
    if (block.reverse()) {
      ASSERT_TRUE(block(rows[i - 1], rows[i])) << "unsorted at " << i;
    } else {
      ASSERT_FALSE(block(rows[i], rows[i - 1])) << "unsorted at " << i;
    }
  }
}

// ---- Sorted keyed array ----

void attach(Serray<Row>& s, const std::shared_ptr<Mirror>& mirror) {
  s.observers().createNew(mirror, [m = mirror.get()](SerrayObserver<Row>& o) {
    using S = Serray<Row>;
    o.sortingChanged = [m](S& s, const std::string&) { m->rows = s.array(); };
    o.replacedContent = [m](S& s) { m->rows = s.array(); };
    o.removedAll = [m](S&) { m->rows.clear(); };
    o.inserted = [m](S&, std::int64_t i, const Row& e) { m->insert(i, e); };
    o.removed = [m](S&, std::int64_t i, const Row& e) { m->remove(i, e); };
    o.updated = [m](S&, std::int64_t i, const Row& e) { m->update(i, e); };
    // The moved element arrives with its new value: the one event says all.
    o.moved = [m](S&, std::int64_t f, std::int64_t t, const Row& e) {
      m->move(f, t, e);
      if (m->at(t)) m->rows[static_cast<std::size_t>(t)] = e;
    };
  });
}

std::string step(Serray<Row>& s, Draw& d) {
  try {
    switch (d.upTo(9)) {
      case 0: s.insert(d.row()); return "insert";
      case 1: s.insert(d.rows(4)); return "insert list";
      case 2:
      case 3: s.update(d.row()); return "update";
      case 4: s.remove(d.row()); return "remove";
      case 5: s.removeWith(d.key()); return "removeWith";
      case 6: s.replaceContent(d.rows(10)); return "replaceContent (repeats)";
      case 7:
        if (d.upTo(3) == 0) s.removeAll();
        return "removeAll";
      default: s.setSortBlock(drawBlock(d)); return "new sort block";
    }
  } catch (const Serray<Row>::Errur&) {
    return "refused";
  }
}

TEST(SortedCollectionsReplay, SerrayMirrorFollowsEveryOperation) {
  for (const std::uint64_t seed : replaySeeds()) {
    SCOPED_TRACE("seed " + std::to_string(seed) + " (replay with VANTREL_REPLAY_SEED)");
    Draw d(seed);
    auto s = Serray<Row>::create(d.rows(8), drawBlock(d));
    auto mirror = std::make_shared<Mirror>();
    mirror->rows = s->array();
    attach(*s, mirror);
    for (int i = 0; i < kOperations; ++i) {
      const std::string op = step(*s, d);
      SCOPED_TRACE("operation " + std::to_string(i) + ": " + op);
      ASSERT_EQ(mirror->faults, std::vector<std::string>{});
      ASSERT_EQ(mirror->rows, s->array());
      expectSortedBy(s->array(), s->sortBlock());
      std::set<std::string> keys;
      for (const Row& r : s->array()) ASSERT_TRUE(keys.insert(r.id).second) << "key twice: " << r.id;
      for (int k = 0; k < Draw::kKeys; ++k) {
        const std::string key = "k" + std::to_string(k);
        const auto first = std::find_if(s->array().begin(), s->array().end(), [&](const Row& r) { return r.id == key; });
        ASSERT_EQ(s->containsWith(key), first != s->array().end()) << key;
        if (first != s->array().end()) {
          ASSERT_EQ(s->indexWith(key), first - s->array().begin()) << key;
        }
      }
      if (::testing::Test::HasFatalFailure()) return;
    }
  }
}

// ---- Unique array ----

struct NameMirror {
  std::vector<std::string> names;
  std::vector<std::string> faults;
  bool at(std::int64_t i, std::size_t extra = 0) const {
    return i >= 0 && static_cast<std::size_t>(i) < names.size() + extra;
  }
};

void attach(Urray<std::string>& u, const std::shared_ptr<NameMirror>& mirror) {
  u.observers().createNew(mirror, [m = mirror.get()](UrrayObserver<std::string>& o) {
    using U = Urray<std::string>;
    o.replacedContent = [m](const U& u) { m->names = u.array(); };
    o.removedAll = [m](const U&) { m->names.clear(); };
    o.inserted = [m](const U&, std::int64_t i, const std::string& e) {
      if (!m->at(i, 1)) return m->faults.push_back("inserted position");
      m->names.insert(m->names.begin() + i, e);
    };
    o.removed = [m](const U&, std::int64_t i, const std::string& e) {
      if (!m->at(i) || m->names[static_cast<std::size_t>(i)] != e) return m->faults.push_back("removed element");
      m->names.erase(m->names.begin() + i);
    };
    o.updated = [m](const U&, std::int64_t i, const std::string& e) {
      if (!m->at(i) || m->names[static_cast<std::size_t>(i)] != e) return m->faults.push_back("updated element");
    };
    o.moved = [m](const U&, std::int64_t f, std::int64_t t, const std::string& e) {
      if (!m->at(f) || !m->at(t) || m->names[static_cast<std::size_t>(f)] != e) return m->faults.push_back("moved");
      vantrel::move(m->names, f, t);
    };
  });
}

std::vector<std::string> keys(Draw& d, std::int64_t most) {
  std::vector<std::string> out(static_cast<std::size_t>(d.upTo(most)));
  for (std::string& k : out) k = d.key();
  return out;
}

std::string step(Urray<std::string>& u, Draw& d) {
  const std::int64_t n = u.count();
  try {
    switch (d.upTo(9)) {
      case 0: u.insert(d.key(), d.upTo(n)); return "insert";
      case 1: u.insert(keys(d, 4), d.upTo(n)); return "insert list";
      case 2: u.append(d.key()); return "append";
      case 3: u.update(d.key()); return "update";
      case 4:
        if (n == 0) return "move (empty)";
        u.move(d.upTo(n - 1), d.upTo(n - 1));
        return "move";
      case 5: u.remove(d.key()); return "remove";
      case 6: u.removeElementAtIndex(d.upTo(n + 1) - 1); return "removeElementAtIndex";
      case 7: u.replaceContent(keys(d, 10)); return "replaceContent (repeats)";
      default:
        if (d.upTo(3) == 0) u.removeAll();
        return "removeAll";
    }
  } catch (const OrderedSetErrors&) {
    return "refused";
  }
}

TEST(SortedCollectionsReplay, UrrayMirrorFollowsEveryOperation) {
  for (const std::uint64_t seed : replaySeeds()) {
    SCOPED_TRACE("seed " + std::to_string(seed) + " (replay with VANTREL_REPLAY_SEED)");
    Draw d(seed);
    Urray<std::string> u(keys(d, 8));
    auto mirror = std::make_shared<NameMirror>();
    mirror->names = u.array();
    attach(u, mirror);
    for (int i = 0; i < kOperations; ++i) {
      const std::string op = step(u, d);
      SCOPED_TRACE("operation " + std::to_string(i) + ": " + op);
      ASSERT_EQ(mirror->faults, std::vector<std::string>{});
      ASSERT_EQ(mirror->names, u.array());
      const std::set<std::string> distinct(u.array().begin(), u.array().end());
      ASSERT_EQ(distinct.size(), u.array().size()) << "an element twice";
      for (int k = 0; k < Draw::kKeys; ++k) {
        const std::string key = "k" + std::to_string(k);
        ASSERT_EQ(u.contains(key), distinct.contains(key)) << key;
      }
    }
  }
}

// ---- Optionally sorted unique array ----

void attach(OptionallySortedUrray<Row>& s, const std::shared_ptr<Mirror>& sorted,
            const std::shared_ptr<Mirror>& natural) {
  s.observers().createNew(sorted, [m = sorted.get(), n = natural.get()](OptionallySortedUrrayObserver<Row>& o) {
    using S = OptionallySortedUrray<Row>;
    o.sortingChanged = [m](const S& s, const std::optional<std::string>&) { m->rows = s.sortedArray(); };
    o.replacedContent = [m, n](const S& s) {
      m->rows = s.sortedArray();
      n->rows = s.naturallySortedArray();
    };
    o.removedAll = [m, n](const S&) {
      m->rows.clear();
      n->rows.clear();
    };
    // Natural positions are not reported for insertions: the mirror of the
    // natural order checks removals against the value's own order.
    o.inserted = [m, n](const S& s, std::int64_t i, const Row& e) {
      m->insert(i, e);
      n->rows = s.naturallySortedArray();
    };
    o.removed = [m, n](const S&, std::int64_t i, std::int64_t natural, const Row& e) {
      m->remove(i, e);
      n->remove(natural, e);
    };
    o.updated = [m, n](const S& s, std::int64_t i, const Row& e) {
      m->update(i, e);
      n->rows = s.naturallySortedArray();
    };
    o.moved = [m, n](const S& s, std::int64_t f, std::int64_t t, const Row& e) {
      m->move(f, t, e);
      if (!s.sortBlock()) n->move(f, t, e);
    };
  });
}

std::string step(OptionallySortedUrray<Row>& s, Draw& d) {
  const std::int64_t n = s.count();
  try {
    switch (d.upTo(12)) {
      case 0: s.append(d.row()); return "append";
      case 1: s.append(d.rows(4)); return "append list";
      case 2: s.insertAtIndex(d.row(), d.upTo(n + 2) - 1); return "insertAtIndex";
      case 3: s.moveFromIndex(d.upTo(n + 1) - 1, d.upTo(n + 1) - 1); return "moveFromIndex";
      case 4:
      case 5:
      case 6: s.update(d.row()); return "update";
      case 7: s.remove(d.row()); return "remove";
      case 8: s.removeElementWithKey(d.key()); return "removeElementWithKey";
      case 9: s.replaceContent(d.rows(10)); return "replaceContent (repeats)";
      case 10:
        if (d.upTo(3) == 0) s.removeAll();
        return "removeAll";
      default:
        s.setSortBlock(d.upTo(3) == 0 ? std::nullopt : std::optional(drawBlock(d)));
        return "new sort block";
    }
  } catch (const OptionallySortedUrray<Row>::ArrayErrors&) {
    return "refused";
  }
}

TEST(SortedCollectionsReplay, OptionallySortedUrrayMirrorsFollowEveryOperation) {
  for (const std::uint64_t seed : replaySeeds()) {
    SCOPED_TRACE("seed " + std::to_string(seed) + " (replay with VANTREL_REPLAY_SEED)");
    Draw d(seed);
    OptionallySortedUrray<Row> s(d.rows(8), drawBlock(d));
    auto sorted = std::make_shared<Mirror>();
    auto natural = std::make_shared<Mirror>();
    sorted->rows = s.sortedArray();
    natural->rows = s.naturallySortedArray();
    attach(s, sorted, natural);
    for (int i = 0; i < kOperations; ++i) {
      const std::string op = step(s, d);
      SCOPED_TRACE("operation " + std::to_string(i) + ": " + op);
      ASSERT_EQ(sorted->faults, std::vector<std::string>{});
      ASSERT_EQ(natural->faults, std::vector<std::string>{});
      ASSERT_EQ(sorted->rows, s.sortedArray());
      ASSERT_EQ(natural->rows, s.naturallySortedArray());
      if (s.sortBlock()) {
        expectSortedBy(s.sortedArray(), *s.sortBlock());
      } else {
        ASSERT_EQ(s.sortedArray(), s.naturallySortedArray());
      }
      std::map<std::string, Row> inSorted;
      std::map<std::string, Row> inNatural;
      for (const Row& r : s.sortedArray()) ASSERT_TRUE(inSorted.emplace(r.id, r).second) << "key twice: " << r.id;
      for (const Row& r : s.naturallySortedArray()) inNatural.emplace(r.id, r);
      ASSERT_EQ(inSorted, inNatural);
      for (int k = 0; k < Draw::kKeys; ++k) {
        const std::string key = "k" + std::to_string(k);
        ASSERT_EQ(s.containsElementWithKey(key), inSorted.contains(key)) << key;
      }
      if (::testing::Test::HasFatalFailure()) return;
    }
  }
}

}  // namespace
}  // namespace vantrel
