#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "vantrel/collections/weakly_owned.h"

namespace vantrel {
namespace {

struct Owner {
  std::string name;
};

struct Listener : WeaklyOwnedObjectBase {
  using WeaklyOwnedObjectBase::WeaklyOwnedObjectBase;
  std::function<void()> changed;
  std::string tag;
};

using Sphere = WeaklyOwnedObjectsSphere<Listener>;

static_assert(WeaklyOwnedObject<Listener>);
static_assert(std::ranges::input_range<const Sphere>);

std::vector<std::string> tags(const Sphere& sphere) {
  std::vector<std::string> out;
  for (const auto& listener : sphere) out.push_back(listener->tag);
  return out;
}

std::shared_ptr<Listener> add(Sphere& sphere, const std::shared_ptr<Owner>& owner, std::string tag) {
  return sphere.createNew(owner, [&](Listener& l) { l.tag = std::move(tag); });
}

TEST(WeaklyOwnedObjectsSphere, NewSphereIteratesNothing) {
  const Sphere sphere;
  EXPECT_EQ(sphere.begin(), sphere.end());
  EXPECT_TRUE(tags(sphere).empty());
}

TEST(WeaklyOwnedObjectsSphere, ReleasedOwnerIsSkippedAndDroppedAtNextAddition) {
  Sphere sphere;
  auto first = std::make_shared<Owner>();
  auto second = std::make_shared<Owner>();
  std::weak_ptr<Listener> firstListener = add(sphere, first, "first");
  add(sphere, second, "second");
  EXPECT_EQ(tags(sphere), (std::vector<std::string>{"first", "second"}));

  first.reset();
  EXPECT_EQ(tags(sphere), (std::vector<std::string>{"second"}));
  EXPECT_FALSE(firstListener.expired()) << "still held until the next addition";

  auto third = std::make_shared<Owner>();
  add(sphere, third, "third");
  EXPECT_TRUE(firstListener.expired()) << "dropped by the addition";
  EXPECT_EQ(tags(sphere), (std::vector<std::string>{"second", "third"}));
}

TEST(WeaklyOwnedObjectsSphere, CreateNewWithoutConfigureLeavesCallbacksEmpty) {
  Sphere sphere;
  auto owner = std::make_shared<Owner>();
  auto listener = sphere.createNew(owner);
  EXPECT_FALSE(listener->changed);
  EXPECT_EQ(listener->owner(), owner);
  EXPECT_EQ(tags(sphere).size(), 1u);
}

TEST(WeaklyOwnedObjectsSphere, ConfigureRunsBeforeTheElementIsListed) {
  Sphere sphere;
  auto owner = std::make_shared<Owner>();
  add(sphere, owner, "old");
  std::vector<std::string> seenInside;
  sphere.createNew(owner, [&](Listener& l) {
    l.tag = "new";
    seenInside = tags(sphere);
  });
  EXPECT_EQ(seenInside, std::vector<std::string>{"old"});
  EXPECT_EQ(tags(sphere), (std::vector<std::string>{"old", "new"}));
}

TEST(WeaklyOwnedObjectsSphere, OwnerReleasedByEarlierCallbackIsPassedOver) {
  Sphere sphere;
  auto first = std::make_shared<Owner>();
  auto second = std::make_shared<Owner>();
  add(sphere, first, "first")->changed = [&] { second.reset(); };
  bool secondCalled = false;
  add(sphere, second, "second")->changed = [&] { secondCalled = true; };
  for (const auto& listener : sphere) listener->changed();
  EXPECT_FALSE(secondCalled);
}

TEST(WeaklyOwnedObjectsSphere, ElementAddedDuringIterationWaitsForTheNextOne) {
  Sphere sphere;
  auto owner = std::make_shared<Owner>();
  int visits = 0;
  add(sphere, owner, "adder")->changed = [&] {
    ++visits;
    if (visits == 1) add(sphere, owner, "late")->changed = [&] { ++visits; };
  };
  for (const auto& listener : sphere) listener->changed();
  EXPECT_EQ(visits, 1);
  for (const auto& listener : sphere) listener->changed();
  EXPECT_EQ(visits, 3);  // both, the adder adding nothing more
}

TEST(WeaklyOwnedObjectsSphere, AppendKeepsDeadAndDuplicateElementsAsSpecified) {
  Sphere sphere;
  auto owner = std::make_shared<Owner>();
  auto listener = std::make_shared<Listener>(owner);
  listener->tag = "twice";
  sphere.append(listener);
  sphere.append(listener);
  EXPECT_EQ(tags(sphere), (std::vector<std::string>{"twice", "twice"}));

  auto gone = std::make_shared<Owner>();
  auto orphan = std::make_shared<Listener>(gone);
  orphan->tag = "orphan";
  gone.reset();
  sphere.append(orphan);
  EXPECT_EQ(orphan.use_count(), 2) << "added although its owner is gone";
  EXPECT_EQ(tags(sphere), (std::vector<std::string>{"twice", "twice"}));
  add(sphere, owner, "next");
  EXPECT_EQ(orphan.use_count(), 1) << "dropped by the following addition";
}

TEST(WeaklyOwnedObjectsSphere, CopiesShareObserversButNotLaterAdditions) {
  Sphere sphere;
  auto owner = std::make_shared<Owner>();
  auto shared = add(sphere, owner, "shared");
  Sphere copy = sphere;
  add(copy, owner, "only in copy");
  EXPECT_EQ(tags(sphere), std::vector<std::string>{"shared"});
  EXPECT_EQ(tags(copy), (std::vector<std::string>{"shared", "only in copy"}));
  EXPECT_EQ(*copy.begin(), shared);
}

TEST(WeaklyOwnedObjectsSphere, WorksWithRangeAlgorithms) {
  Sphere sphere;
  auto a = std::make_shared<Owner>();
  auto b = std::make_shared<Owner>();
  add(sphere, a, "a");
  add(sphere, b, "b");
  b.reset();
  EXPECT_EQ(std::ranges::distance(sphere.begin(), sphere.end()), 1);
}

}  // namespace
}  // namespace vantrel
