#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "vantrel/collections/filter_set.h"
#include "vantrel/core/console.h"
#include "vantrel/core/describe.h"
#include "vantrel/core/random.h"

namespace vantrel {
namespace {

// Equal (and hashed) by `id` only, while the predicates read `tag`: the
// shape in which one element could end up in both halves.
struct Item {
  int id;
  int tag;
  bool operator==(const Item& other) const { return id == other.id; }
  std::string description() const { return "Item(" + std::to_string(id) + ", " + std::to_string(tag) + ")"; }
};

}  // namespace
}  // namespace vantrel

template <>
struct std::hash<vantrel::Item> {
  std::size_t operator()(const vantrel::Item& item) const { return std::hash<int>{}(item.id); }
};

namespace vantrel {
namespace {

using Set = FilterSet<Item>;
using Observer = FilterSetObserver<Item>;
using Lines = std::vector<std::string>;

struct Owner {
  int unused = 0;
};

bool evenTag(const Item& item) { return item.tag % 2 == 0; }

// Registers an observer that logs every event as
// "<name> <event> [<element>] <set after the change>".
void watch(Set& set, const std::shared_ptr<Owner>& owner, const std::string& name, Lines& log) {
  set.observers.createNew(owner, [&log, name](Observer& o) {
    const auto setEvent = [&log, name](std::string event) {
      return [&log, name, event](const Set& s) { log.push_back(name + " " + event + " " + s.description()); };
    };
    const auto elementEvent = [&log, name](std::string event) {
      return [&log, name, event](const Set& s, const Item& e) {
        log.push_back(name + " " + event + " " + describe(e) + " " + s.description());
      };
    };
    o.filterBlockChanged = setEvent("filterBlockChanged");
    o.replacedContent = setEvent("replacedContent");
    o.removedAll = setEvent("removedAll");
    o.inserted = elementEvent("inserted");
    o.updated = elementEvent("updated");
    o.removed = elementEvent("removed");
    o.inSetInserted = elementEvent("inSetInserted");
    o.inSetUpdated = elementEvent("inSetUpdated");
    o.inSetRemoved = elementEvent("inSetRemoved");
    o.outSetInserted = elementEvent("outSetInserted");
    o.outSetUpdated = elementEvent("outSetUpdated");
    o.outSetRemoved = elementEvent("outSetRemoved");
  });
}

// Runs `action`, answering its result, or "threw " and the error.
template <class Action>
std::string resultOf(Action action) {
  try {
    return action();
  } catch (const Set::Errur& e) {
    return "threw " + e.description();
  }
}

TEST(FilterSet, EventTable) {
  struct Row {
    std::string name;
    std::function<std::string(Set&)> action;
    Lines calls;  // to one observer, without its name
    std::string result;
    std::string after;
    std::string output = "";
    bool predicate = true;
    bool releaseSecond = false;
  };
  const auto done = [](auto f) {
    return [f](Set& s) {
      f(s);
      return std::string("done");
    };
  };
  const auto returned = [](auto f) { return [f](Set& s) { return describe(f(s)); }; };
  const std::string in2out1 = "FilterSet(in 2, out 1)";
  // Every row starts from Item(1, 2) passing and Item(2, 1) failing `evenTag`.
  const Row rows[] = {
      {"insert, passes", done([](Set& s) { s.insert(Item{3, 4}); }),
       {"inSetInserted Item(3, 4) " + in2out1, "inserted Item(3, 4) " + in2out1}, "done", in2out1},
      {"insert, no predicate", done([](Set& s) { s.insert(Item{3, 3}); }),
       {"inSetInserted Item(3, 3) FilterSet(in 3, out 0)", "inserted Item(3, 3) FilterSet(in 3, out 0)"},
       "done", "FilterSet(in 3, out 0)", "", false},
      {"insert, fails", done([](Set& s) { s.insert(Item{3, 5}); }),
       {"outSetInserted Item(3, 5) FilterSet(in 1, out 2)", "inserted Item(3, 5) FilterSet(in 1, out 2)"},
       "done", "FilterSet(in 1, out 2)"},
      {"insert, equal member in its half", done([](Set& s) { s.insert(Item{1, 4}); }), {},
       "threw elementAlreadyPresent(\"Item(1, 4)\")", "FilterSet(in 1, out 1)"},
      {"insert, equal member in the other half", done([](Set& s) { s.insert(Item{1, 3}); }), {},
       "threw elementAlreadyPresent(\"Item(1, 3)\")", "FilterSet(in 1, out 1)"},
      {"update, in to in", returned([](Set& s) { return s.update(Item{1, 6}); }),
       {"inSetUpdated Item(1, 6) FilterSet(in 1, out 1)", "updated Item(1, 6) FilterSet(in 1, out 1)"},
       "Optional(Item(1, 2))", "FilterSet(in 1, out 1)"},
      {"update, in to out", returned([](Set& s) { return s.update(Item{1, 7}); }),
       {"inSetRemoved Item(1, 7) FilterSet(in 0, out 2)", "outSetInserted Item(1, 7) FilterSet(in 0, out 2)",
        "updated Item(1, 7) FilterSet(in 0, out 2)"},
       "Optional(Item(1, 2))", "FilterSet(in 0, out 2)"},
      {"update, out to in", returned([](Set& s) { return s.update(Item{2, 8}); }),
       {"outSetRemoved Item(2, 8) FilterSet(in 2, out 0)", "inSetInserted Item(2, 8) FilterSet(in 2, out 0)",
        "updated Item(2, 8) FilterSet(in 2, out 0)"},
       "Optional(Item(2, 1))", "FilterSet(in 2, out 0)"},
      {"update, out to out", returned([](Set& s) { return s.update(Item{2, 9}); }),
       {"outSetUpdated Item(2, 9) FilterSet(in 1, out 1)", "updated Item(2, 9) FilterSet(in 1, out 1)"},
       "Optional(Item(2, 1))", "FilterSet(in 1, out 1)"},
      {"update, in neither half", returned([](Set& s) { return s.update(Item{3, 4}); }),
       {"inSetInserted Item(3, 4) " + in2out1, "inserted Item(3, 4) " + in2out1}, "nil", in2out1},
      {"remove, from the in-set", returned([](Set& s) { return s.remove(Item{1, 9}); }),
       {"inSetRemoved Item(1, 9) FilterSet(in 0, out 1)", "removed Item(1, 9) FilterSet(in 0, out 1)"},
       "Optional(Item(1, 2))", "FilterSet(in 0, out 1)"},
      {"remove, from the out-set", returned([](Set& s) { return s.remove(Item{2, 0}); }),
       {"outSetRemoved Item(2, 0) FilterSet(in 1, out 0)", "removed Item(2, 0) FilterSet(in 1, out 0)"},
       "Optional(Item(2, 1))", "FilterSet(in 1, out 0)"},
      {"remove, in neither half", returned([](Set& s) { return s.remove(Item{3, 0}); }), {}, "nil",
       "FilterSet(in 1, out 1)", "WARNING! Element to remove not present: Item(3, 0)\n"},
      {"replaceContent keeps the first of equal elements",
       done([](Set& s) { s.replaceContent(std::vector<Item>{{5, 2}, {6, 1}, {5, 1}, {7, 4}, {6, 0}}); }),
       {"replacedContent FilterSet(in 2, out 1)"}, "done", "FilterSet(in 2, out 1)"},
      {"removeAll", done([](Set& s) { s.removeAll(); }), {"removedAll FilterSet(in 0, out 0)"}, "done",
       "FilterSet(in 0, out 0)"},
      {"a predicate that rejects everything",
       done([](Set& s) { s.setFilterBlock([](const Item&) { return false; }); }),
       {"filterBlockChanged FilterSet(in 0, out 2)"}, "done", "FilterSet(in 0, out 2)"},
      {"no predicate", done([](Set& s) { s.setFilterBlock({}); }), {"filterBlockChanged FilterSet(in 2, out 0)"},
       "done", "FilterSet(in 2, out 0)"},
      {"an array insert that stops midway",
       done([](Set& s) { s.insert(std::vector<Item>{{3, 4}, {4, 5}, {1, 0}, {5, 2}}); }),
       {"inSetInserted Item(3, 4) " + in2out1, "inserted Item(3, 4) " + in2out1,
        "outSetInserted Item(4, 5) FilterSet(in 2, out 2)", "inserted Item(4, 5) FilterSet(in 2, out 2)"},
       "threw elementAlreadyPresent(\"Item(1, 0)\")", "FilterSet(in 2, out 2)"},
      {"an observer whose owner was released", done([](Set& s) { s.insert(Item{3, 4}); }),
       {"inSetInserted Item(3, 4) " + in2out1, "inserted Item(3, 4) " + in2out1}, "done", in2out1, "", true,
       true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Set set(std::vector<Item>{{1, 2}, {2, 1}}, row.predicate ? Set::FilterBlock(evenTag) : Set::FilterBlock());
    auto first = std::make_shared<Owner>();
    auto second = std::make_shared<Owner>();
    Lines log;
    watch(set, first, "a", log);
    watch(set, second, "b", log);
    if (row.releaseSecond) second.reset();
    ConsoleCapture capture;
    EXPECT_EQ(resultOf([&] { return row.action(set); }), row.result);
    // One announcement per change: all of its calls to the first observer,
    // then to the second. Its last call is the general (or set) event.
    Lines expected;
    std::size_t start = 0;
    for (std::size_t end = 0; end < row.calls.size(); ++end) {
      const std::string& call = row.calls[end];
      if (call.rfind("inSet", 0) == 0 || call.rfind("outSet", 0) == 0) continue;
      for (const std::string name : {"a", "b"}) {
        if (name == "b" && row.releaseSecond) continue;
        for (std::size_t k = start; k <= end; ++k) expected.push_back(name + " " + row.calls[k]);
      }
      start = end + 1;
    }
    EXPECT_EQ(log, expected);
    EXPECT_EQ(capture.standardOutput(), row.output);
    EXPECT_EQ(set.description(), row.after);
    EXPECT_EQ(set.count(), static_cast<std::int64_t>(set.inElements().size() + set.outElements().size()));
  }
}

// The predicates the random sequence switches between; index 0 is none.
const Set::FilterBlock kPredicates[] = {
    {},
    evenTag,
    [](const Item& i) { return i.tag < 2; },
    [](const Item& i) { return i.tag == 3; },
    [](const Item&) { return false; },
};

TEST(FilterSet, RandomSequenceAgreesWithAModelAndAReplayingObserver) {
  for (const unsigned seed : {1u, 2u, 3u, 4u, 5u, 6u, 7u, 8u, 9u, 10u, 11u, 12u}) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 rng(seed);
    const auto draw = [&rng](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
    const auto item = [&] { return Item{draw(12), draw(4)}; };
    const auto items = [&](int most) {
      std::vector<Item> v(static_cast<std::size_t>(draw(most + 1)));
      for (auto& i : v) i = item();
      return v;
    };

    Set set;
    std::size_t predicate = 0;
    std::map<int, int> model;  // id -> tag of every element held
    const auto modelInsert = [&](const Item& i) { return model.try_emplace(i.id, i.tag).second; };

    // Replays the in-set events onto its own copy of the in-set.
    ElementSet<Item> replay;
    auto owner = std::make_shared<Owner>();
    set.observers.createNew(owner, [&](Observer& o) {
      o.inSetInserted = [&](const Set&, const Item& e) { EXPECT_TRUE(replay.insert(e).second); };
      o.inSetRemoved = [&](const Set&, const Item& e) { EXPECT_EQ(replay.erase(e), 1u); };
      o.inSetUpdated = [&](const Set&, const Item& e) {
        EXPECT_EQ(replay.erase(e), 1u);
        replay.insert(e);
      };
      o.replacedContent = [&](const Set& s) { replay = s.inElements(); };
      o.filterBlockChanged = [&](const Set& s) { replay = s.inElements(); };
      o.removedAll = [&](const Set&) { replay.clear(); };
    });

    for (int step = 0; step < 300; ++step) {
      SCOPED_TRACE("step " + std::to_string(step));
      ConsoleCapture quiet;  // removals of absent elements warn
      switch (draw(8)) {
        case 0:
        case 1: {
          const Item i = item();
          const bool fresh = modelInsert(i);
          bool threw = false;
          try {
            set.insert(i);
          } catch (const Set::Errur&) {
            threw = true;
          }
          EXPECT_EQ(threw, !fresh);
          break;
        }
        case 2: {
          const std::vector<Item> v = items(4);
          std::size_t accepted = 0;
          while (accepted < v.size() && modelInsert(v[accepted])) ++accepted;
          bool threw = false;
          try {
            set.insert(v);
          } catch (const Set::Errur&) {
            threw = true;
          }
          EXPECT_EQ(threw, accepted < v.size());
          break;
        }
        case 3: {
          const Item i = item();
          const auto old = set.update(i);
          const auto it = model.find(i.id);
          EXPECT_EQ(old.has_value(), it != model.end());
          if (old && it != model.end()) {
            EXPECT_EQ(old->tag, it->second);
          }
          model[i.id] = i.tag;
          break;
        }
        case 4: {
          const Item i = item();
          const auto old = set.remove(i);
          EXPECT_EQ(old.has_value(), model.erase(i.id) == 1);
          break;
        }
        case 5: {
          const std::vector<Item> v = items(8);
          set.replaceContent(v);
          model.clear();
          for (const Item& i : v) modelInsert(i);
          break;
        }
        case 6:
          set.removeAll();
          model.clear();
          break;
        default:
          predicate = static_cast<std::size_t>(draw(5));
          set.setFilterBlock(kPredicates[predicate]);
          break;
      }

      // The halves are disjoint, hold exactly the model, each element where
      // the predicate puts it; count is their total; the replay is exact.
      const auto& in = set.inElements();
      const auto& out = set.outElements();
      for (const Item& i : in) EXPECT_FALSE(out.contains(i)) << describe(i);
      EXPECT_EQ(set.count(), static_cast<std::int64_t>(in.size() + out.size()));
      EXPECT_EQ(in.size() + out.size(), model.size());
      const auto& passes = kPredicates[predicate];
      for (const Item& i : in) {
        EXPECT_EQ(model.at(i.id), i.tag);
        EXPECT_TRUE(!passes || passes(i)) << describe(i);
      }
      for (const Item& i : out) {
        EXPECT_EQ(model.at(i.id), i.tag);
        EXPECT_TRUE(passes && !passes(i)) << describe(i);
      }
      EXPECT_EQ(replay.size(), in.size());
      for (const Item& i : in) {
        const auto it = replay.find(i);
        ASSERT_NE(it, replay.end()) << describe(i);
        EXPECT_EQ(it->tag, i.tag);
      }
      if (::testing::Test::HasFailure()) return;  // the first failing step says enough
    }
  }
}

TEST(FilterSet, InitialiserSplitsAndIterationYieldsTheInSetFirst) {
  const Set set(std::vector<Item>{{1, 1}, {2, 2}, {3, 3}, {4, 4}, {5, 6}}, evenTag);
  EXPECT_EQ(set.description(), "FilterSet(in 3, out 2)");
  EXPECT_EQ(describe(set), "FilterSet(in 3, out 2)");
  EXPECT_EQ(set.count(), 5);
  EXPECT_FALSE(set.isEmpty());
  EXPECT_TRUE(Set().isEmpty());
  std::vector<int> tags;
  for (const Item& i : set) tags.push_back(i.tag);
  ASSERT_EQ(tags.size(), 5u);
  for (std::size_t k = 0; k < 3; ++k) EXPECT_TRUE(tags[k] % 2 == 0);
  for (std::size_t k = 3; k < 5; ++k) EXPECT_TRUE(tags[k] % 2 == 1);
  EXPECT_EQ(describe(set[(Item{3, 0})]), "Optional(Item(3, 3))");
  EXPECT_EQ(describe(set[(Item{4, 0})]), "Optional(Item(4, 4))");
  EXPECT_FALSE(set[(Item{9, 0})].has_value());
}

TEST(FilterSet, IteratorWorksOnTheHalvesAsTheyWereWhenMade) {
  Set set(std::vector<Item>{{1, 2}, {2, 1}}, evenTag);
  auto it = set.makeIterator();
  set.removeAll();
  set.insert(Item{3, 4});
  std::vector<int> ids;
  while (const auto i = it.next()) ids.push_back(i->id);
  EXPECT_EQ(ids, (std::vector<int>{1, 2}));
}

TEST(FilterSet, RandomInElementDrawsFromTheInSetOnly) {
  Set set(std::vector<Item>{{1, 2}, {2, 4}, {3, 6}, {4, 1}}, evenTag);
  std::vector<int> inOrder;
  for (const Item& i : set.inElements()) inOrder.push_back(i.id);
  ScriptedRandomSource script({2, 0});
  {
    ScopedRandomSource use(script);
    EXPECT_EQ(set.randomInElement()->id, inOrder[2]);
    EXPECT_EQ(set.randomInElement()->id, inOrder[0]);
    set.setFilterBlock([](const Item&) { return false; });
    EXPECT_EQ(set.randomInElement(), std::nullopt);  // draws nothing
  }
  EXPECT_EQ(script.bounds(), (std::vector<std::uint32_t>{3, 3}));
}

TEST(FilterSet, TextElementsCompareCanonically) {
  FilterSet<std::string> names(std::vector<std::string>{"caf\u00e9", "cafe\u0301", "tea"});
  EXPECT_EQ(names.count(), 2);
  EXPECT_THROW(names.insert(std::string("cafe\u0301")), FilterSet<std::string>::Errur);
  EXPECT_EQ(names.remove(std::string("cafe\u0301")), "caf\u00e9");
}

TEST(FilterSet, ErrurDescribesTheCase) {
  using Errur = FilterSet<std::string>::Errur;
  const Errur one(Errur::Case::elementAlreadyPresent, "a\"b");
  EXPECT_EQ(one.description(), "elementAlreadyPresent(\"a\\\"b\")");
  EXPECT_EQ(one.text, "a\"b");
  const Errur many(Errur::Case::elementsAlreadyPresent, "x");
  EXPECT_EQ(many.description(), "elementsAlreadyPresent(\"x\")");
}

// Copies share the halves until one changes: the set an observer receives
// costs O(1) and keeps what it held when the observer keeps it.
TEST(FilterSet, CopiesShareHalvesUntilAChange) {
  Set set(std::vector<Item>{{1, 2}, {2, 1}}, evenTag);
  std::vector<Set> kept;
  auto owner = std::make_shared<Owner>();
  set.observers.createNew(owner, [&](Observer& o) {
    o.inserted = [&](const Set& s, const Item&) {
      EXPECT_EQ(&s.inElements(), &set.inElements()) << "no deep copy for a callback";
      kept.push_back(s);
    };
  });
  set.insert(Item{3, 4});
  set.insert(Item{4, 6});
  ASSERT_EQ(kept.size(), 2u);
  EXPECT_EQ(kept[0].description(), "FilterSet(in 2, out 1)");
  EXPECT_EQ(kept[1].description(), "FilterSet(in 3, out 1)");
  const Set copy = set;
  EXPECT_EQ(&copy.outElements(), &set.outElements());
  set.remove(Item{2, 0});
  EXPECT_EQ(copy.description(), "FilterSet(in 3, out 1)");
  EXPECT_EQ(set.description(), "FilterSet(in 3, out 0)");
}

// Under AddressSanitizer: the argument refers into the half it is removed from.
TEST(FilterSet, RemoveOfAReferenceIntoTheSet) {
  FilterSet<std::string> set(std::vector<std::string>{std::string(40, 'a')});
  Lines log;
  auto owner = std::make_shared<Owner>();
  set.observers.createNew(owner, [&](FilterSetObserver<std::string>& o) {
    o.removed = [&](const FilterSet<std::string>&, const std::string& e) { log.push_back(e); };
  });
  const auto removed = set.remove(*set.inElements().begin());
  EXPECT_EQ(removed, std::string(40, 'a'));
  EXPECT_EQ(log, (Lines{std::string(40, 'a')}));
  EXPECT_TRUE(set.isEmpty());
}

// Under AddressSanitizer: callbacks that change the set again, replace their
// own closure and release their owner; later observers still get the set as
// it stands at their call.
TEST(FilterSet, CallbacksThatChangeTheSetAgain) {
  Set set(std::vector<Item>{{1, 2}}, evenTag);
  Lines log;
  auto first = std::make_shared<Owner>();
  auto second = std::make_shared<Owner>();
  std::shared_ptr<Observer> firstObserver;
  firstObserver = set.observers.createNew(first, [&](Observer& o) {
    o.inserted = [&, padding = std::string(40, 'p')](const Set&, const Item& e) {
      if (e.id == 2) {
        set.remove(Item{1, 0});
        set.update(Item{2, 3});
        firstObserver->inserted = {};
        first.reset();
      }
      log.push_back("first " + describe(e) + " " + padding.substr(0, 1));
    };
  });
  watch(set, second, "second", log);
  set.insert(Item{2, 4});
  EXPECT_EQ(log, (Lines{
                     "second inSetRemoved Item(1, 0) FilterSet(in 1, out 0)",
                     "second removed Item(1, 0) FilterSet(in 1, out 0)",
                     "second inSetRemoved Item(2, 3) FilterSet(in 0, out 1)",
                     "second outSetInserted Item(2, 3) FilterSet(in 0, out 1)",
                     "second updated Item(2, 3) FilterSet(in 0, out 1)",
                     "first Item(2, 4) p",
                     "second inSetInserted Item(2, 4) FilterSet(in 0, out 1)",
                     "second inserted Item(2, 4) FilterSet(in 0, out 1)",
                 }));
  EXPECT_EQ(set.description(), "FilterSet(in 0, out 1)");
  EXPECT_EQ(describe(set[(Item{2, 0})]), "Optional(Item(2, 3))");
}

TEST(FilterSet, ThrowingPredicateChangesNothing) {
  Set set(std::vector<Item>{{1, 2}, {2, 1}}, evenTag);
  struct Refused {};
  EXPECT_THROW(set.setFilterBlock([](const Item& i) -> bool {
    if (i.id == 2) throw Refused{};
    return true;
  }),
               Refused);
  EXPECT_EQ(set.description(), "FilterSet(in 1, out 1)");
  set.setFilterBlock([](const Item& i) -> bool {
    if (i.id == 3) throw Refused{};
    return true;
  });
  EXPECT_THROW(set.update(Item{3, 0}), Refused);
  EXPECT_THROW(set.insert(Item{3, 0}), Refused);
  EXPECT_EQ(set.count(), 2);
}

}  // namespace
}  // namespace vantrel
