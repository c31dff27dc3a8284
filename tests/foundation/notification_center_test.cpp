#include "vantrel/platform/foundation/notifications/notification_center.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

TEST(NotificationCenterTest, DeliversMatchingNamesSynchronouslyInOrder) {
  NotificationCenter center;
  auto owner = std::make_shared<int>(0);
  std::vector<std::string> seen;
  center.addObserver(owner, "A", [&](const Notification& n) { seen.push_back("first " + n.name); });
  center.addObserver(owner, std::nullopt, [&](const Notification& n) { seen.push_back("any " + n.name); });
  center.addObserver(owner, "B", [&](const Notification& n) { seen.push_back("b " + n.name); });
  center.post("A");
  EXPECT_EQ(seen, (std::vector<std::string>{"first A", "any A"}));
}

TEST(NotificationCenterTest, ObserversAreHeldWeakly) {
  NotificationCenter center;
  int calls = 0;
  auto owner = std::make_shared<int>(0);
  std::weak_ptr<int> watch = owner;
  center.addObserver(owner, "N", [&calls](const Notification&) { ++calls; });
  EXPECT_TRUE(watch.lock());
  center.post("N");
  owner.reset();
  EXPECT_FALSE(watch.lock());  // the centre did not keep it alive
  center.post("N");
  EXPECT_EQ(calls, 1);
}

TEST(NotificationCenterTest, RemovalByTokenOrOwnerAndDuringAPost) {
  NotificationCenter center;
  auto a = std::make_shared<int>(0);
  auto b = std::make_shared<int>(0);
  std::vector<std::string> seen;
  std::uint64_t later = 0;
  center.addObserver(a, "N", [&](const Notification&) {
    seen.push_back("a");
    center.removeObserver(later);  // removed before its turn in this post
  });
  later = center.addObserver(b, "N", [&](const Notification&) { seen.push_back("b"); });
  center.addObserver(b, "N", [&](const Notification&) { seen.push_back("b2"); });
  center.post("N");
  center.removeObserver(std::shared_ptr<const void>(b));
  center.post("N");
  EXPECT_EQ(seen, (std::vector<std::string>{"a", "b2", "a"}));
}

TEST(NotificationCenterTest, CarriesTheSender) {
  NotificationCenter center;
  auto owner = std::make_shared<int>(0);
  auto sender = std::make_shared<std::string>("me");
  const void* got = nullptr;
  center.addObserver(owner, "N", [&](const Notification& n) { got = n.object.get(); });
  center.post("N", sender);
  EXPECT_EQ(got, sender.get());
}

}  // namespace
}  // namespace vantrel
