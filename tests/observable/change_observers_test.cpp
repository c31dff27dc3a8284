// Delivery rules shared by every observable collection: order, owners,
// registration and changes during a delivery. Run under AddressSanitizer,
// the release cases also check that nothing is used after it is freed.
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/observable/observable_test_support.h"
#include "vantrel/observable/kerray.h"
#include "vantrel/observable/observable_set.h"

namespace vantrel {
namespace {

using testing::ids;
using testing::row;
using testing::Row;
using testing::rows;

using Rows = Kerray<Row>;
using Observer = KerrayObserver<Row>;

// Registers an observer that logs "<name> inserted <id>" and then runs `then`.
std::shared_ptr<Observer> listen(Rows& k, const std::shared_ptr<const void>& owner, std::string name,
                                 std::vector<std::string>& log,
                                 std::function<void(Rows&, const Row&)> then = {}) {
  return k.observers().createNew(owner, [&log, name, then](Observer& o) {
    o.inserted = [&log, name, then](Rows& kerray, std::int64_t, const Row& e) {
      log.push_back(name + " inserted " + e.id);
      if (then) then(kerray, e);
    };
  });
}

TEST(ChangeObservers, NoObserversOrNoClosureChangesWithoutCalls) {
  auto k = Rows::create();
  k->append(row("a"));
  auto owner = std::make_shared<int>(0);
  k->observers().createNew(owner);  // every closure empty
  k->append(row("b"));
  k->removeAll();
  EXPECT_TRUE(k->isEmpty());
}

TEST(ChangeObservers, CalledInRegistrationOrderAndDeadOwnersAreSkipped) {
  auto k = Rows::create();
  std::vector<std::string> log;
  auto first = std::make_shared<int>(1);
  auto second = std::make_shared<int>(2);
  auto third = std::make_shared<int>(3);
  listen(*k, first, "first", log);
  std::weak_ptr<Observer> secondObserver = listen(*k, second, "second", log);
  listen(*k, third, "third", log);
  listen(*k, first, "first again", log);  // one owner, two observers

  k->append(row("a"));
  second.reset();
  k->append(row("b"));
  EXPECT_FALSE(secondObserver.expired()) << "kept until the next registration";
  auto fourth = std::make_shared<int>(4);
  listen(*k, fourth, "fourth", log);
  EXPECT_TRUE(secondObserver.expired()) << "dropped by the registration";
  k->append(row("c"));

  EXPECT_EQ(log, (std::vector<std::string>{
                     "first inserted a", "second inserted a", "third inserted a", "first again inserted a",
                     "first inserted b", "third inserted b", "first again inserted b",
                     "first inserted c", "third inserted c", "first again inserted c", "fourth inserted c"}));
}

TEST(ChangeObservers, AppendRegistersAnObserverMadeByTheClient) {
  auto k = Rows::create();
  auto owner = std::make_shared<int>(0);
  auto observer = std::make_shared<Observer>(owner);
  int calls = 0;
  observer->removedAll = [&](Rows&) { ++calls; };
  k->observers().append(observer);
  k->removeAll();
  observer->removedAll = nullptr;  // stop listening for this event only
  k->removeAll();
  EXPECT_EQ(calls, 1);
}

TEST(ChangeObservers, ObserverRegisteredDuringADeliveryIsCalledFromTheNextOne) {
  auto k = Rows::create();
  std::vector<std::string> log;
  auto owner = std::make_shared<int>(0);
  bool registered = false;
  listen(*k, owner, "outer", log, [&](Rows& kerray, const Row&) {
    if (!registered) {
      registered = true;
      listen(kerray, owner, "late", log);
    }
  });
  k->append(row("a"));
  k->append(row("b"));
  EXPECT_EQ(log, (std::vector<std::string>{"outer inserted a", "outer inserted b", "late inserted b"}));
}

TEST(ChangeObservers, ChangeInsideAClosureReachesEveryoneBeforeTheOuterEventGoesOn) {
  auto k = Rows::create();
  std::vector<std::string> log;
  auto owner = std::make_shared<int>(0);
  listen(*k, owner, "first", log);
  listen(*k, owner, "changer", log, [](Rows& kerray, const Row& e) {
    if (e.id == "a") kerray.append(row("b"));
  });
  std::vector<std::string> seenByLast;
  listen(*k, owner, "last", log, [&](Rows& kerray, const Row&) { seenByLast.push_back(ids(kerray)); });

  k->append(row("a"));
  EXPECT_EQ(log, (std::vector<std::string>{"first inserted a", "changer inserted a", "first inserted b",
                                           "changer inserted b", "last inserted b", "last inserted a"}));
  EXPECT_EQ(seenByLast, (std::vector<std::string>{"ab", "ab"}));
}

TEST(ChangeObservers, OwnerReleasedInsideACallbackLeavesTheRestSafe) {
  auto k = Rows::create(rows("xy"));
  std::vector<std::string> log;
  auto first = std::make_shared<std::string>("first");
  auto victim = std::make_shared<std::string>("victim");
  auto self = std::make_shared<std::string>("self");
  listen(*k, first, "first", log, [&](Rows&, const Row&) { victim.reset(); });
  // The victim's closure captures its owner weakly; it must not be called.
  std::weak_ptr<std::string> weakVictim = victim;
  listen(*k, victim, "victim", log, [weakVictim](Rows&, const Row&) { EXPECT_FALSE(weakVictim.expired()); });
  listen(*k, self, "self", log, [&](Rows&, const Row&) {
    self.reset();  // releases its own owner while running
    auto next = std::make_shared<int>(0);
    listen(*k, next, "registered while dying", log);  // drops the dead observers from the list
  });
  listen(*k, first, "after", log);

  k->append(row("a"));
  k->append(row("b"));
  EXPECT_EQ(log, (std::vector<std::string>{"first inserted a", "self inserted a", "after inserted a",
                                           "first inserted b", "after inserted b"}));
}

TEST(ChangeObservers, ClosureThatReplacesItselfWhileRunning) {
  auto k = Rows::create();
  auto owner = std::make_shared<int>(0);
  std::vector<std::string> log;
  auto observer = k->observers().createNew(owner);
  auto big = std::make_shared<std::vector<std::string>>(100, "captured state");
  observer->inserted = [&log, &observer, big](Rows&, std::int64_t, const Row& e) {
    observer->inserted = nullptr;  // destroys the stored closure and its captures
    log.push_back(e.id + " " + big->front());
  };
  k->append(row("a"));
  k->append(row("b"));
  EXPECT_EQ(log, (std::vector<std::string>{"a captured state"}));
}

TEST(ChangeObservers, NewObserverListAssignedDuringADelivery) {
  auto k = Rows::create();
  std::vector<std::string> log;
  auto owner = std::make_shared<int>(0);
  listen(*k, owner, "first", log, [&](Rows& kerray, const Row&) {
    kerray.observers() = WeaklyOwnedObjectsSphere<Observer>();
  });
  listen(*k, owner, "second", log);
  k->append(row("a"));
  k->append(row("b"));
  EXPECT_EQ(log, (std::vector<std::string>{"first inserted a", "second inserted a"}));
}

TEST(ChangeObservers, CollectionReleasedByItsLastHolderInsideACallback) {
  auto k = Rows::create();
  std::weak_ptr<Rows> weak = k;
  auto owner = std::make_shared<int>(0);
  std::vector<std::string> log;
  listen(*k, owner, "first", log, [&](Rows&, const Row&) { k.reset(); });
  listen(*k, owner, "second", log, [&](Rows& kerray, const Row&) { log.push_back(ids(kerray)); });
  k->append(row("a"));
  EXPECT_EQ(log, (std::vector<std::string>{"first inserted a", "second inserted a", "a"}));
  EXPECT_TRUE(weak.expired()) << "released once the operation returned";
}

TEST(ChangeObservers, ObservableSetFollowsTheSameRules) {
  auto set = ObservableSet<std::string>::create();
  std::vector<std::string> log;
  auto first = std::make_shared<int>(1);
  auto second = std::make_shared<int>(2);
  for (auto* owner : {&first, &second}) {
    const std::string name = owner == &first ? "first" : "second";
    set->observers().createNew(*owner, [&, name](ObservableSetObserver<std::string>& o) {
      o.inserted = [&, name](ObservableSet<std::string>& s, const std::string& e) {
        log.push_back(name + " " + e);
        if (name == "first") second.reset();
        if (e == "a") s.insert("b");
      };
    });
  }
  set->insert("a");
  EXPECT_EQ(log, (std::vector<std::string>{"first a", "first b"}));
}

}  // namespace
}  // namespace vantrel
