// Event-replay mirrors: an observer that applies every reported event to a
// container of its own must hold what the collection holds after every
// operation of a long random sequence. A wrong position, a missing or extra
// event, or a stale element shows up at the operation that caused it.
//
// The sequence is seeded; a failure prints the seed. Set
// VANTREL_REPLAY_SEED to replay one seed.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/observable/observable_test_support.h"
#include "vantrel/collections/array_moves.h"
#include "vantrel/core/sort.h"
#include "vantrel/observable/kerray.h"
#include "vantrel/observable/observable_set.h"
#include "vantrel/observable/optionally_filtered_optionally_sorted_array_based_on_kerray.h"

namespace vantrel {
namespace {

using testing::Row;
using testing::Tag;
using Positions = std::vector<std::int64_t>;

constexpr int kOperations = 3000;
constexpr int kKeys = testing::Draw::kKeys;

using testing::Draw;
using testing::replaySeeds;

// ---- Keyed array ----

struct KerrayMirror {
  std::vector<Row> rows;
  std::vector<std::string> faults;  // events that could not apply

  void check(bool ok, const std::string& what) {
    if (!ok) faults.push_back(what);
  }
  bool at(std::int64_t i, std::size_t extra = 0) const {
    return i >= 0 && static_cast<std::size_t>(i) < rows.size() + extra;
  }
};

void attach(Kerray<Row>& k, const std::shared_ptr<KerrayMirror>& m) {
  k.observers().createNew(m, [raw = m.get()](KerrayObserver<Row>& o) {
    using A = Kerray<Row>;
    using V = std::vector<Row>;
    KerrayMirror& m = *raw;  // alive: it is the owner
    o.replacedContent = [&m](A& k) { m.rows = k.array(); };
    o.removedAll = [&m](A&) { m.rows.clear(); };
    o.inserted = [&m](A&, std::int64_t i, const Row& e) {
      m.check(m.at(i, 1), "inserted position");
      if (m.at(i, 1)) m.rows.insert(m.rows.begin() + i, e);
    };
    o.insertedMultipleContinuous = [&m](A&, std::int64_t i, const V& e) {
      m.check(m.at(i, 1), "insertedMultipleContinuous position");
      if (m.at(i, 1)) m.rows.insert(m.rows.begin() + i, e.begin(), e.end());
    };
    o.insertedMultipleDistributed = [&m](A&, const Positions& p, const V& e) {
      m.check(p.size() == e.size(), "insertedMultipleDistributed lengths");
      for (std::size_t j = 0; j < p.size() && j < e.size(); ++j) {
        m.check(m.at(p[j], 1), "insertedMultipleDistributed position");
        if (m.at(p[j], 1)) m.rows.insert(m.rows.begin() + p[j], e[j]);
      }
    };
    o.removed = [&m](A&, std::int64_t i, const Row& e) {
      m.check(m.at(i) && m.rows[static_cast<std::size_t>(i)] == e, "removed element");
      if (m.at(i)) m.rows.erase(m.rows.begin() + i);
    };
    o.removedMultiple = [&m](A&, const Positions& p, const V& e) {
      m.check(p.size() == e.size(), "removedMultiple lengths");
      m.check(std::is_sorted(p.rbegin(), p.rend()), "removedMultiple highest first");
      for (std::size_t j = 0; j < p.size() && j < e.size(); ++j) {
        m.check(m.at(p[j]) && m.rows[static_cast<std::size_t>(p[j])] == e[j], "removedMultiple element");
        if (m.at(p[j])) m.rows.erase(m.rows.begin() + p[j]);
      }
    };
    o.updated = [&m](A&, std::int64_t i, const Row& e) {
      m.check(m.at(i), "updated position");
      if (m.at(i)) m.rows[static_cast<std::size_t>(i)] = e;
    };
    o.updatedMultiple = [&m](A&, const Positions& p, const V& e) {
      m.check(p.size() == e.size(), "updatedMultiple lengths");
      for (std::size_t j = 0; j < p.size() && j < e.size(); ++j) {
        m.check(m.at(p[j]) && m.rows[static_cast<std::size_t>(p[j])].id == e[j].id, "updatedMultiple key");
        if (m.at(p[j])) m.rows[static_cast<std::size_t>(p[j])] = e[j];
      }
    };
    o.moved = [&m](A&, std::int64_t f, std::int64_t t, const Row& e) {
      m.check(m.at(f) && m.at(t) && m.rows[static_cast<std::size_t>(f)] == e, "moved element");
      if (m.at(f) && m.at(t)) vantrel::move(m.rows, f, t);
    };
    o.movedMultiple = [&m](A&, const Positions& f, std::int64_t t, const V& e) {
      std::vector<Row> expected;
      for (auto it = f.rbegin(); it != f.rend(); ++it) {
        if (m.at(*it)) expected.push_back(m.rows[static_cast<std::size_t>(*it)]);
      }
      m.check(expected == e, "movedMultiple elements");
      if (expected == e) vantrel::move(m.rows, f, t);
    };
  });
}

// The key index agrees with the array: exactly the keys of its elements are
// held, and index lookups find the first element with a key.
void expectKeysAgree(const Kerray<Row>& k) {
  ASSERT_EQ(k.count(), static_cast<std::int64_t>(k.array().size()));
  for (int i = 0; i < kKeys; ++i) {
    const std::string key = "k" + std::to_string(i);
    const auto first = std::find_if(k.array().begin(), k.array().end(), [&](const Row& r) { return r.id == key; });
    const bool held = first != k.array().end();
    ASSERT_EQ(k.containsWith(key), held) << key;
    ASSERT_EQ(k.contains(Row{key, "any"}), held) << key;
    if (held) {
      ASSERT_EQ(k.indexOf(Row{key, ""}), first - k.array().begin()) << key;
    } else {
      ASSERT_EQ(k.indexOf(Row{key, ""}), std::nullopt) << key;
    }
  }
}

// One random operation; returns its name for the failure message.
std::string step(Kerray<Row>& k, Draw& d) {
  const std::int64_t n = k.count();
  try {
    switch (d.upTo(18)) {
      case 0: k.insert(d.row(), d.upTo(n)); return "insert";
      case 1: k.insertWithoutContainsCheck(d.row(), d.upTo(n)); return "insertWithoutContainsCheck";
      case 2: k.append(d.row()); return "append";
      case 3: k.appendWithoutContainsCheck(d.row()); return "appendWithoutContainsCheck";
      case 4: k.insertMultiple(d.rows(4), d.upTo(n), d.upTo(3) != 0); return "insertMultiple";
      case 5: k.appendMultiple(d.rows(4)); return "appendMultiple";
      case 6: {
        std::vector<Row> rows = d.rows(4);
        Positions at;
        for (std::size_t i = 0; i < rows.size(); ++i) at.push_back(d.upTo(n));
        if (d.upTo(9) == 0) at.push_back(0);  // lengths differ: nothing happens
        k.insertMultipleDistributed(rows, at, d.upTo(3) != 0);
        return "insertMultipleDistributed";
      }
      case 7: k.update(d.row()); return "update";
      case 8:
        if (n == 0) return "update at index (empty)";
        k.update(d.coin() ? Row{k.array()[static_cast<std::size_t>(d.upTo(n - 1))].id, "same key"} : d.row(),
                 d.upTo(n - 1));
        return "update at index";
      case 9: k.update(d.rows(4)); return "update list";
      case 10:
        if (n == 0) return "move (empty)";
        k.move(d.upTo(n - 1), d.upTo(n - 1));
        return "move";
      case 11: {
        const Positions from = d.distinct(n, 4);
        k.move(from, d.upTo(n - static_cast<std::int64_t>(from.size())));
        return "move block";
      }
      case 12: k.removeAtIndex(d.upTo(n + 1) - 1); return "removeAtIndex";
      case 13: k.remove(d.row()); return "remove";
      case 14: k.removeElementWithKey(d.key()); return "removeElementWithKey";
      case 15: {
        std::vector<Row> named = d.rows(3);
        if (n > 0 && d.coin()) named.push_back(k.array()[static_cast<std::size_t>(d.upTo(n - 1))]);
        k.remove(named);
        return "remove elements";
      }
      case 16: {
        Positions at = d.distinct(n, 4);
        std::shuffle(at.begin(), at.end(), std::mt19937(static_cast<unsigned>(n)));
        k.removeAtIndexes(at);
        return "removeAtIndexes";
      }
      case 17: k.replaceContent(d.rows(8)); return "replaceContent";
      default:
        if (d.upTo(3) == 0) k.removeAll();
        return "removeAll";
    }
  } catch (const Kerray<Row>::Errur&) {
    return "refused";
  }
}

TEST(EventReplay, KerrayMirrorFollowsEveryOperation) {
  for (const std::uint64_t seed : replaySeeds()) {
    SCOPED_TRACE("seed " + std::to_string(seed) + " (replay with VANTREL_REPLAY_SEED)");
    Draw d(seed);
    auto k = Kerray<Row>::create(d.rows(6));
    auto mirror = std::make_shared<KerrayMirror>();
    mirror->rows = k->array();
    attach(*k, mirror);
    for (int i = 0; i < kOperations; ++i) {
      const std::string op = step(*k, d);
      SCOPED_TRACE("operation " + std::to_string(i) + ": " + op);
      ASSERT_EQ(mirror->faults, std::vector<std::string>{});
      ASSERT_EQ(mirror->rows, k->array());
      expectKeysAgree(*k);
      if (::testing::Test::HasFatalFailure()) return;
    }
  }
}

// ---- Views of the keyed array, one per mode ----

bool evenPayload(const Row& r) { return !r.payload.empty() && r.payload.back() % 2 == 0; }
bool byPayloadThenId(const Row& a, const Row& b) { return a.payload != b.payload ? a.payload < b.payload : a.id < b.id; }

using KeyedView = OptionallyFilteredOptionallySortedArray_BasedOnKerray<Row>;

// The view against its base. Without repeated keys in the base: exactly
// the passing elements, in base order or stable-sorted. With them (the
// unchecked insertions): each key once, every element one the base holds
// and (outside natural order) passing, in base order when filter-only and
// sorted when sorted.
void expectViewAgrees(const Kerray<Row>& base, const KeyedView& view) {
  const std::vector<Row>& all = base.array();
  const bool filtered = static_cast<bool>(view.filterBlock());
  std::vector<Row> want;
  for (const Row& r : all) {
    if (!filtered || view.filterBlock()(r)) want.push_back(r);
  }
  if (view.sortBlock()) stableSort(want, [&](const Row& a, const Row& b) { return (*view.sortBlock())(a, b); });
  std::set<std::string> keys;
  for (const Row& r : all) keys.insert(r.id);
  const std::vector<Row>& have = view.content();
  if (keys.size() == all.size() || !(filtered || view.sortBlock())) {
    ASSERT_EQ(have, want);
    return;
  }
  std::set<std::string> shown;
  for (const Row& r : have) {
    ASSERT_TRUE(shown.insert(r.id).second) << "key shown twice: " << r.id;
    ASSERT_NE(std::find(all.begin(), all.end(), r), all.end()) << "not in the base: " << describe(r);
    if (filtered) {
      ASSERT_TRUE(view.filterBlock()(r)) << describe(r);
    }
  }
  if (view.sortBlock()) {
    for (std::size_t i = 1; i < have.size(); ++i) ASSERT_FALSE((*view.sortBlock())(have[i], have[i - 1])) << i;
  } else {
    auto from = all.begin();
    for (const Row& r : have) {
      from = std::find(from, all.end(), r);
      ASSERT_NE(from, all.end()) << "out of base order: " << describe(r);
      ++from;
    }
  }
}

TEST(EventReplay, KeyedArrayViewsFollowEveryOperationInEveryMode) {
  for (const std::uint64_t seed : replaySeeds()) {
    SCOPED_TRACE("seed " + std::to_string(seed) + " (replay with VANTREL_REPLAY_SEED)");
    Draw d(seed);
    auto k = Kerray<Row>::create(d.rows(6));
    const NamedSortBlock<Row> sortBlock("byPayload", byPayloadThenId);
    const std::vector<std::shared_ptr<KeyedView>> views = {
        KeyedView::create(k), KeyedView::create(k, evenPayload), KeyedView::create(k, {}, sortBlock),
        KeyedView::create(k, evenPayload, sortBlock)};
    std::vector<std::shared_ptr<testing::ViewMirror>> mirrors;
    for (const auto& view : views) {
      mirrors.push_back(std::make_shared<testing::ViewMirror>());
      mirrors.back()->rows = view->content();
      testing::attach(*view, mirrors.back());
    }
    for (int i = 0; i < kOperations; ++i) {
      const std::string op = step(*k, d);
      SCOPED_TRACE("operation " + std::to_string(i) + ": " + op);
      for (std::size_t v = 0; v < views.size(); ++v) {
        SCOPED_TRACE(views[v]->description());
        ASSERT_EQ(mirrors[v]->faults, std::vector<std::string>{});
        ASSERT_EQ(mirrors[v]->rows, views[v]->content());
        expectViewAgrees(*k, *views[v]);
        if (::testing::Test::HasFatalFailure()) return;
      }
    }
  }
}

// ---- Observable set ----

using Versions = std::map<std::string, int>;

Versions versions(const ObservableSetElements<Tag>& elements) {
  Versions out;
  for (const Tag& t : elements) out[t.id] = t.version;
  return out;
}

struct SetMirror {
  Versions content;
  Versions beforeReplacement;
  std::vector<std::string> faults;
};

void attach(ObservableSet<Tag>& set, const std::shared_ptr<SetMirror>& m) {
  set.observers().createNew(m, [raw = m.get()](ObservableSetObserver<Tag>& o) {
    using S = ObservableSet<Tag>;
    using Elements = ObservableSetElements<Tag>;
    SetMirror& m = *raw;
    o.replacedContent = [&m](S& s) {
      m.beforeReplacement = m.content;
      m.content = versions(s.elements());
    };
    o.replacedContentOldContent = [&m](S&, const Elements& old) {
      if (versions(old) != m.beforeReplacement) m.faults.push_back("replacedContentOldContent");
    };
    o.removedAll = [&m](S&) { m.content.clear(); };
    o.inserted = [&m](S&, const Tag& e) {
      if (!m.content.emplace(e.id, e.version).second) m.faults.push_back("inserted present " + e.id);
    };
    o.insertedMultiple = [&m](S&, const std::vector<Tag>& e) {
      for (const Tag& t : e) m.content.emplace(t.id, t.version);  // present ones keep theirs
    };
    o.updated = [&m](S&, const Tag& e) {
      if (!m.content.contains(e.id)) m.faults.push_back("updated absent " + e.id);
      m.content[e.id] = e.version;
    };
    o.updatedMultiple = [&m](S&, const Elements& u) {
      for (const Tag& t : u) m.content[t.id] = t.version;
    };
    o.removed = [&m](S&, const Tag& e) {
      if (m.content.erase(e.id) == 0) m.faults.push_back("removed absent " + e.id);
    };
    o.removedMultiple = [&m](S&, const Elements& r) {
      for (const Tag& t : r) {
        const auto it = m.content.find(t.id);
        if (it == m.content.end() || it->second != t.version) m.faults.push_back("removedMultiple " + t.id);
        if (it != m.content.end()) m.content.erase(it);
      }
    };
  });
}

std::vector<Tag> tags(Draw& d, std::int64_t most) {
  return d.tags(most);
}

std::string step(ObservableSet<Tag>& set, Draw& d) {
  try {
    switch (d.upTo(8)) {
      case 0: set.insert(d.tag()); return "insert";
      case 1: set.insertMultiple(tags(d, 4)); return "insertMultiple";
      case 2: set.update(d.tag()); return "update";
      case 3: set.updateMultiple(tags(d, 4)); return "updateMultiple";
      case 4: set.remove(d.tag()); return "remove";
      case 5: set.remove(tags(d, 4)); return "remove several";
      case 6: set.replaceContent(tags(d, 8)); return "replaceContent";
      case 7:
        if (d.upTo(3) == 0) set.removeAll();
        return "removeAll";
      default: {
        // An update whose equal element is the argument's own storage.
        if (set.isEmpty()) return "update stored (empty)";
        set.update(*set.elements().begin());
        return "update stored";
      }
    }
  } catch (const ObservableSet<Tag>::Errur&) {
    return "refused";
  }
}

TEST(EventReplay, ObservableSetMirrorFollowsEveryOperation) {
  ConsoleCapture quiet;  // the absent-element warnings
  for (const std::uint64_t seed : replaySeeds()) {
    SCOPED_TRACE("seed " + std::to_string(seed) + " (replay with VANTREL_REPLAY_SEED)");
    Draw d(seed);
    auto set = ObservableSet<Tag>::create(tags(d, 6));
    auto mirror = std::make_shared<SetMirror>();
    mirror->content = versions(set->elements());
    attach(*set, mirror);
    for (int i = 0; i < kOperations; ++i) {
      const std::string op = step(*set, d);
      SCOPED_TRACE("operation " + std::to_string(i) + ": " + op);
      ASSERT_EQ(mirror->faults, std::vector<std::string>{});
      ASSERT_EQ(mirror->content, versions(set->elements()));
      ASSERT_EQ(set->count(), static_cast<std::int64_t>(mirror->content.size()));
    }
  }
}

}  // namespace
}  // namespace vantrel
