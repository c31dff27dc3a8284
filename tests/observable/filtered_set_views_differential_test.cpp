// Differential tests of the set views: after every random base operation
// (and random filter changes) each view holds exactly the base's current
// elements that pass the filter, recomputed from scratch, and a mirror that
// replays the view's own events holds what the view holds.
//
// Seeded; a failure prints the seed (VANTREL_REPLAY_SEED replays it).
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/observable/observable_test_support.h"
#include "vantrel/core/console.h"
#include "vantrel/observable/optionally_filtered_set_based_on_kerray.h"
#include "vantrel/observable/optionally_filtered_set_based_on_observable_set.h"

namespace vantrel {
namespace {

using testing::Draw;
using testing::replaySeeds;
using testing::Row;
using testing::Tag;

constexpr int kOperations = 3000;

// "version modulo m equals r", or no filter.
template <class E>
std::function<bool(const E&)> drawFilter(Draw& d, std::function<int(const E&)> version) {
  if (d.upTo(4) == 0) return {};
  const int m = static_cast<int>(d.upTo(2)) + 2;
  const int r = static_cast<int>(d.upTo(m - 1));
  return [m, r, version](const E& e) { return version(e) % m == r; };
}

// ---- View of a keyed array ----

using Rows = Kerray<Row>;
using RowView = OptionallyFilteredSet_BasedOnKerray<Row>;
using RowMap = std::map<std::string, std::string>;  // key to payload

int rowVersion(const Row& r) { return std::stoi(r.payload); }

RowMap content(const RowView& view) {
  RowMap out;
  for (const Row& r : view) out[r.id] = r.payload;
  return out;
}

RowMap expected(const Rows& base, const RowView::Filter& filter) {
  RowMap out;
  for (const Row& r : base.array()) {
    if (!filter || filter(r)) out[r.id] = r.payload;
  }
  return out;
}

struct RowMirror {
  RowMap rows;
  std::vector<std::string> faults;
};

void attach(RowView& view, const std::shared_ptr<RowMirror>& mirror) {
  view.observers().createNew(mirror, [m = mirror.get()](OptionallyFilteredSet_BasedOnKerrayObserver<Row>& o) {
    using S = ObservableSetElements<Row>;
    auto enter = [m](const Row& e) {
      if (!m->rows.emplace(e.id, e.payload).second) m->faults.push_back("entered twice " + e.id);
    };
    auto leave = [m](const Row& e) {
      const auto it = m->rows.find(e.id);
      if (it == m->rows.end()) return m->faults.push_back("left unheld " + e.id);
      m->rows.erase(it);
    };
    auto stay = [m](const Row& e) {
      if (!m->rows.contains(e.id)) return m->faults.push_back("updated unheld " + e.id);
      m->rows[e.id] = e.payload;
    };
    o.filterChanged = [m](RowView& v) { m->rows = content(v); };
    o.replacedContent = [m](RowView& v) { m->rows = content(v); };
    o.removedAll = [m](RowView&) { m->rows.clear(); };
    o.inserted = [enter](RowView&, const Row& e) { enter(e); };
    o.insertedMultiple = [enter](RowView&, const S& s) {
      for (const Row& e : s) enter(e);
    };
    o.removed = [leave](RowView&, const Row& e) { leave(e); };
    o.removedMultiple = [leave](RowView&, const S& s) {
      for (const Row& e : s) leave(e);
    };
    o.updated = [stay](RowView&, const Row& e) { stay(e); };
    o.updatedMultiple = [stay](RowView&, const S& s) {
      for (const Row& e : s) stay(e);
    };
  });
}

// A random checked operation on the base (keys stay unique), or a new filter.
std::string step(Rows& k, RowView& view, Draw& d) {
  const std::int64_t n = k.count();
  try {
    switch (d.upTo(13)) {
      case 0: k.insert(d.row(), d.upTo(n)); return "insert";
      case 1: k.insertMultiple(d.rows(4), d.upTo(n)); return "insertMultiple";
      case 2: {
        std::vector<Row> rows = d.rows(4);
        std::vector<std::int64_t> at;
        for (std::size_t i = 0; i < rows.size(); ++i) at.push_back(d.upTo(n));
        k.insertMultipleDistributed(rows, at);
        return "insertMultipleDistributed";
      }
      case 3: k.update(d.row()); return "update";
      case 4:
        if (n == 0) return "update at index (empty)";
        k.update(d.row(), d.upTo(n - 1));  // a new key re-keys, a held one is refused
        return "update at index";
      case 5: k.update(d.rows(5)); return "update list";
      case 6:
        if (n == 0) return "move (empty)";
        k.move(d.upTo(n - 1), d.upTo(n - 1));
        return "move";
      case 7: {
        const auto from = d.distinct(n, 3);
        k.move(from, d.upTo(n - static_cast<std::int64_t>(from.size())));
        return "move block";
      }
      case 8: k.removeElementWithKey(d.key()); return "removeElementWithKey";
      case 9: k.removeAtIndexes(d.distinct(n, 3)); return "removeAtIndexes";
      case 10: {
        std::vector<Row> named;
        for (std::int64_t i = d.upTo(2); i > 0 && n > 0; --i) named.push_back(k[d.upTo(n - 1)]);
        k.remove(named);
        return "remove elements";
      }
      case 11: {
        std::vector<Row> rows = d.rows(8);
        std::map<std::string, bool> seen;  // unique keys
        std::erase_if(rows, [&](const Row& r) { return !seen.emplace(r.id, true).second; });
        if (d.upTo(4) == 0) {
          k.removeAll();
          return "removeAll";
        }
        k.replaceContent(rows);
        return "replaceContent";
      }
      default:
        view.setFilterBlock(drawFilter<Row>(d, rowVersion));
        return "new filter";
    }
  } catch (const Rows::Errur&) {
    return "refused";
  }
}

TEST(FilteredSetViewsDifferential, KeyedArrayView) {
  for (const std::uint64_t seed : replaySeeds()) {
    SCOPED_TRACE("seed " + std::to_string(seed) + " (replay with VANTREL_REPLAY_SEED)");
    Draw d(seed);
    auto base = Rows::create();
    try {
      base->appendMultiple(d.rows(6));
    } catch (const Rows::Errur&) {  // a repeated key: the others are in
    }
    auto view = RowView::create(base, drawFilter<Row>(d, rowVersion));
    auto mirror = std::make_shared<RowMirror>();
    mirror->rows = content(*view);
    attach(*view, mirror);
    for (int i = 0; i < kOperations; ++i) {
      const std::string op = step(*base, *view, d);
      SCOPED_TRACE("operation " + std::to_string(i) + ": " + op);
      ASSERT_EQ(content(*view), expected(*base, view->filterBlock()));
      ASSERT_EQ(mirror->faults, std::vector<std::string>{});
      ASSERT_EQ(mirror->rows, content(*view));
    }
  }
}

// ---- View of an observable set ----

using Tags = ObservableSet<Tag>;
using TagView = OptionallyFilteredSet_BasedOnObservableSet<Tag>;
using TagMap = std::map<std::string, int>;  // id to version

int tagVersion(const Tag& t) { return t.version; }

TagMap content(const TagView& view) {
  TagMap out;
  for (const Tag& t : view) out[t.id] = t.version;
  return out;
}

TagMap expected(const Tags& base, const TagView::Filter& filter) {
  TagMap out;
  for (const Tag& t : base.elements()) {
    if (!filter || filter(t)) out[t.id] = t.version;
  }
  return out;
}

struct TagMirror {
  TagMap tags;
  std::vector<std::string> faults;
};

void attach(TagView& view, const std::shared_ptr<TagMirror>& mirror) {
  view.observers().createNew(mirror, [m = mirror.get()](OptionallyFilteredSet_BasedOnObservableSetObserver<Tag>& o) {
    o.filterChanged = [m](TagView& v) { m->tags = content(v); };
    o.replacedContent = [m](TagView& v) { m->tags = content(v); };
    o.removedAll = [m](TagView&) { m->tags.clear(); };
    o.inserted = [m](TagView&, const Tag& e) {
      if (!m->tags.emplace(e.id, e.version).second) m->faults.push_back("entered twice " + e.id);
    };
    o.insertedMultiple = [m](TagView& v, const std::vector<Tag>& list) {
      for (const Tag& e : list) {
        // Without a filter the base's list passes unchanged, present
        // elements and repeats included; with one only entering elements.
        if (!m->tags.emplace(e.id, e.version).second && v.inElements()) m->faults.push_back("entered twice " + e.id);
      }
    };
    o.updated = [m](TagView&, const Tag& e) {
      if (!m->tags.contains(e.id)) m->faults.push_back("updated unheld " + e.id);
      m->tags[e.id] = e.version;
    };
    o.removed = [m](TagView&, const Tag& e) {
      if (m->tags.erase(e.id) == 0) m->faults.push_back("left unheld " + e.id);
    };
    o.removedMultiple = [m](TagView&, const ObservableSetElements<Tag>& s) {
      for (const Tag& e : s) {
        if (m->tags.erase(e.id) == 0) m->faults.push_back("left unheld " + e.id);
      }
    };
  });
}

std::string step(Tags& set, TagView& view, Draw& d) {
  try {
    switch (d.upTo(8)) {
      case 0: set.insert(d.tag()); return "insert";
      case 1: {
        std::vector<Tag> tags = d.tags(4);
        if (!tags.empty() && d.coin()) tags.push_back(tags.front());  // a repeat
        set.insertMultiple(tags);
        return "insertMultiple";
      }
      case 2: set.update(d.tag()); return "update";
      case 3: set.updateMultiple(d.tags(4)); return "updateMultiple";
      case 4: set.remove(d.tag()); return "remove";
      case 5: set.remove(d.tags(4)); return "remove several";
      case 6:
        if (d.upTo(4) == 0) {
          set.removeAll();
          return "removeAll";
        }
        set.replaceContent(d.tags(8));
        return "replaceContent";
      case 7: view.insert(d.tag()); return "insert through the view";
      default: view.setFilterBlock(drawFilter<Tag>(d, tagVersion)); return "new filter";
    }
  } catch (const Tags::Errur&) {
    return "refused";
  }
}

TEST(FilteredSetViewsDifferential, ObservableSetView) {
  ConsoleCapture quiet;  // the base's absent-element warnings
  for (const std::uint64_t seed : replaySeeds()) {
    SCOPED_TRACE("seed " + std::to_string(seed) + " (replay with VANTREL_REPLAY_SEED)");
    Draw d(seed);
    auto base = Tags::create(d.tags(6));
    auto view = TagView::create(base, drawFilter<Tag>(d, tagVersion));
    auto mirror = std::make_shared<TagMirror>();
    mirror->tags = content(*view);
    attach(*view, mirror);
    for (int i = 0; i < kOperations; ++i) {
      const std::string op = step(*base, *view, d);
      SCOPED_TRACE("operation " + std::to_string(i) + ": " + op);
      ASSERT_EQ(content(*view), expected(*base, view->filterBlock()));
      ASSERT_EQ(mirror->faults, std::vector<std::string>{});
      ASSERT_EQ(mirror->tags, content(*view));
    }
  }
}

}  // namespace
}  // namespace vantrel
