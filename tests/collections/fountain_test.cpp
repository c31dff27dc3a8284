#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "vantrel/collections/fountain.h"

namespace vantrel {
namespace {

struct Owner {
  int unused = 0;
};

static_assert(std::ranges::input_range<const Fountain<int>>);
static_assert(std::ranges::input_range<const SourceFountain<int, std::string>>);

// A fountain, named owners and the log of every block call and walk.
struct Harness {
  std::shared_ptr<Fountain<int>> fountain = Fountain<int>::create();
  std::map<std::string, std::shared_ptr<Owner>> owners;
  std::vector<std::string> log;

  std::shared_ptr<Owner> owner(const std::string& name) {
    auto& o = owners[name];
    if (!o) o = std::make_shared<Owner>();
    return o;
  }
  // Registers a block that logs "<tag> <value>", then runs `then`.
  void listen(const std::string& name, const std::string& tag, bool purge = true,
              std::function<void()> then = {}) {
    fountain->add(owner(name), purge, [this, tag, then](const int& value) {
      log.push_back(tag + " " + std::to_string(value));
      if (then) then();
    });
  }
  void release(const std::string& name) { owners.erase(name); }
  // Announces `value` as the holders do: each block copied before its call.
  void walk(int value) {
    log.push_back("walk " + std::to_string(value));
    for (const auto& registration : *fountain) {
      const auto block = registration->block;
      if (block) block(value);
    }
  }
};

using Log = std::vector<std::string>;

TEST(Fountain, WalkTable) {
  struct Row {
    std::string name;
    std::function<void(Harness&)> script;
    Log log;
  };
  const Row rows[] = {
      {"a new fountain yields nothing", [](Harness& h) { h.walk(1); }, {"walk 1"}},
      {"an owner added twice is called twice, in order; remove drops both",
       [](Harness& h) {
         h.listen("a", "a1");
         h.listen("b", "b");
         h.listen("a", "a2");
         h.walk(1);
         h.fountain->remove(h.owner("a"));
         h.walk(2);
       },
       {"walk 1", "a1 1", "b 1", "a2 1", "walk 2", "b 2"}},
      {"a dead owner is skipped; adding without purge keeps order",
       [](Harness& h) {
         h.listen("a", "a");
         h.listen("b", "b");
         h.release("a");
         h.walk(1);
         h.listen("c", "c", false);
         h.walk(2);
       },
       {"walk 1", "b 1", "walk 2", "b 2", "c 2"}},
      {"remove of an unknown owner keeps the live ones",
       [](Harness& h) {
         h.listen("a", "a");
         h.listen("b", "b");
         h.fountain->remove(h.owner("stranger"));
         h.walk(1);
       },
       {"walk 1", "a 1", "b 1"}},
      {"an addition during a walk is reached in that walk",
       [](Harness& h) {
         h.listen("a", "a", true, [&h] {
           if (h.log.size() < 3) h.listen("c", "c");
         });
         h.listen("b", "b");
         h.walk(1);
       },
       {"walk 1", "a 1", "b 1", "c 1"}},
      {"an addition with the default purge skips nothing live",
       [](Harness& h) {
         h.listen("dead", "dead");
         h.listen("a", "a", true, [&h] {
           if (h.log.size() < 3) h.listen("c", "c");  // purges "dead" ahead of the walk
         });
         h.listen("b", "b", false);
         h.release("dead");
         h.walk(1);
       },
       {"walk 1", "a 1", "b 1", "c 1"}},
      {"a listener that removes itself skips nothing live",
       [&](Harness& h) {
         h.listen("a", "a", true, [&h] { h.fountain->remove(h.owners["a"]); });
         h.listen("b", "b");
         h.walk(1);
         h.walk(2);
       },
       {"walk 1", "a 1", "b 1", "walk 2", "b 2"}},
      {"a purge during a walk skips nothing live",
       [](Harness& h) {
         h.listen("dead1", "dead1");
         h.listen("a", "a", true, [&h] { h.fountain->purgeDeallocedListeners(); });
         h.listen("dead2", "dead2", false);
         h.listen("b", "b", false);
         h.release("dead1");
         h.release("dead2");
         h.walk(1);
       },
       {"walk 1", "a 1", "b 1"}},
      {"a registration removed during a walk is no longer yielded",
       [](Harness& h) {
         h.listen("a", "a", true, [&h] { h.fountain->remove(h.owner("b")); });
         h.listen("b", "b");
         h.listen("c", "c");
         h.walk(1);
       },
       {"walk 1", "a 1", "c 1"}},
      {"an owner released by an earlier block is passed over",
       [](Harness& h) {
         h.listen("a", "a", true, [&h] { h.release("b"); });
         h.listen("b", "b");
         h.listen("c", "c");
         h.walk(1);
       },
       {"walk 1", "a 1", "c 1"}},
      {"a replaced block takes effect for the next announcement",
       [](Harness& h) {
         h.listen("a", "a");
         h.walk(1);
         (*h.fountain->begin())->block = [&h](const int& v) { h.log.push_back("a' " + std::to_string(v)); };
         h.walk(2);
       },
       {"walk 1", "a 1", "walk 2", "a' 2"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Harness h;
    row.script(h);
    EXPECT_EQ(h.log, row.log);
  }
}

// The list still holds a dead registration (and its block's captures) until
// a purge: `add` purges unless told not to, `remove` and
// `purgeDeallocedListeners` always do.
TEST(Fountain, DeadRegistrationIsHeldUntilPurged) {
  struct Row {
    std::string name;
    std::function<void(Fountain<int>&, const std::shared_ptr<Owner>&)> next;
    bool stillHeld;
  };
  const Row rows[] = {
      {"add without purge", [](Fountain<int>& f, const auto& o) { f.add(o, false, {}); }, true},
      {"add", [](Fountain<int>& f, const auto& o) { f.add(o, {}); }, false},
      {"remove of another owner", [](Fountain<int>& f, const auto& o) { f.remove(o); }, false},
      {"purgeDeallocedListeners", [](Fountain<int>& f, const auto&) { f.purgeDeallocedListeners(); },
       false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    auto fountain = Fountain<int>::create();
    auto owner = std::make_shared<Owner>();
    auto other = std::make_shared<Owner>();
    auto capture = std::make_shared<int>(0);
    fountain->add(owner, [capture](const int&) {});
    std::weak_ptr<int> captured = capture;
    capture.reset();
    owner.reset();
    EXPECT_EQ(fountain->begin(), fountain->end());
    EXPECT_FALSE(captured.expired()) << "held by the registration until a purge";
    row.next(*fountain, other);
    EXPECT_EQ(captured.expired(), !row.stillHeld);
  }
}

// Owners are one object when they share a control block, whatever pointer
// names them.
TEST(Fountain, RemoveMatchesAnOwnerNamedThroughAnotherBase) {
  struct Left {
    virtual ~Left() = default;
    int l = 0;
  };
  struct Right {
    int r = 0;
  };
  struct Both : Left, Right {};
  auto both = std::make_shared<Both>();
  const std::shared_ptr<Right> asRight = both;
  ASSERT_NE(static_cast<const void*>(asRight.get()), static_cast<const void*>(both.get()));

  auto fountain = Fountain<int>::create();
  int calls = 0;
  fountain->add(asRight, [&](const int&) { ++calls; });
  fountain->remove(std::shared_ptr<Left>(both));
  for (const auto& r : *fountain) r->block(1);
  EXPECT_EQ(calls, 0);
}

TEST(Fountain, WalkHoldsTheFountain) {
  auto fountain = Fountain<int>::create();
  std::weak_ptr<Fountain<int>> weak = fountain;
  auto owner = std::make_shared<Owner>();
  std::vector<int> seen;
  fountain->add(owner, [&](const int& v) {
    fountain.reset();  // the last holder outside the walk
    seen.push_back(v);
  });
  fountain->add(owner, [&](const int& v) { seen.push_back(v + 1); });
  auto walk = fountain->makeIterator();
  while (const auto r = walk.next()) {
    const auto block = (*r)->block;
    block(1);
  }
  EXPECT_EQ(seen, (std::vector<int>{1, 2}));
  EXPECT_FALSE(weak.expired()) << "the finished walk still holds it";
  walk = Fountain<int>::create()->makeIterator();
  EXPECT_TRUE(weak.expired());
}

TEST(SourceFountain, BlocksTakeBothValuesInOrder) {
  auto fountain = SourceFountain<int, std::string>::create();
  auto owner = std::make_shared<Owner>();
  std::vector<std::string> seen;
  fountain->add(owner, [&](const int& a, const std::string& b) { seen.push_back(std::to_string(a) + b); });
  fountain->add(owner, false, [&](const int& a, const std::string& b) { seen.push_back(b + std::to_string(a)); });
  for (const auto& r : *fountain) r->block(1, "x");
  fountain->remove(owner);
  for (const auto& r : *fountain) r->block(2, "y");
  EXPECT_EQ(seen, (std::vector<std::string>{"1x", "x1"}));
}

}  // namespace
}  // namespace vantrel
