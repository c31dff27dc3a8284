#include "vantrel/core/runtime_object.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace vantrel {
namespace {

const char kTextKey = 0;
const char kOtherKey = 0;

TEST(RuntimeObject, AssociatedValueTypeMatchesOrNot) {
  auto object = std::make_shared<RuntimeObject>();
  EXPECT_EQ(object->objc_getAssociated<std::string>(&kTextKey), std::nullopt);  // nothing attached
  object->objc_setAssociated("text", &kTextKey);
  EXPECT_EQ(object->objc_getAssociated<std::string>(&kTextKey), "text");
  EXPECT_EQ(object->objc_getAssociated<std::int64_t>(&kTextKey), std::nullopt);  // another type, no stop
  EXPECT_EQ(object->objc_getAssociated<std::string>(&kOtherKey), std::nullopt);
}

TEST(RuntimeObject, OneKeyReplacedOthersKept) {
  auto object = std::make_shared<RuntimeObject>();
  object->objc_setAssociated(std::int64_t{1}, &kTextKey);
  object->objc_setAssociated(std::string("other"), &kOtherKey, AssociationPolicy::copyNonatomic);
  object->objc_setAssociated(std::int64_t{2}, &kTextKey);
  EXPECT_EQ(object->objc_getAssociated<std::int64_t>(&kTextKey), 2);
  EXPECT_EQ(object->objc_getAssociated<std::string>(&kOtherKey), "other");
  object->objc_setAssociated(std::any(), &kTextKey);  // empty: removed
  EXPECT_EQ(object->objc_getAssociated<std::int64_t>(&kTextKey), std::nullopt);
  EXPECT_EQ(object->objc_getAssociated<std::string>(&kOtherKey), "other");
}

TEST(RuntimeObject, AssociatedObjectIsReleasedWhenReplaced) {
  auto object = std::make_shared<RuntimeObject>();
  auto payload = std::make_shared<int>(5);
  std::weak_ptr<int> watch = payload;
  object->objc_setAssociated(std::move(payload), &kTextKey);
  EXPECT_EQ(*object->objc_getAssociated<std::shared_ptr<int>>(&kTextKey).value(), 5);
  object->objc_setAssociated(std::int64_t{0}, &kTextKey);
  EXPECT_TRUE(watch.expired());
}

class Recorder : public RuntimeObjectObserver {
 public:
  void observeValue(std::string_view keyPath, RuntimeObject& object) override {
    calls.emplace_back(keyPath);
    lastObject = &object;
  }
  std::vector<std::string> calls;
  RuntimeObject* lastObject = nullptr;
};

TEST(RuntimeObject, ObserverCalledAfterChangeNotAfterRemoval) {
  auto object = std::make_shared<RuntimeObject>();
  auto recorder = std::make_shared<Recorder>();
  VtObserve(recorder, *object, "state");
  object->didChangeValueForKey("state");
  object->didChangeValueForKey("other");
  EXPECT_EQ(recorder->calls, (std::vector<std::string>{"state"}));
  EXPECT_EQ(recorder->lastObject, object.get());

  VtObserveRemove(*recorder, *object, "state");
  object->didChangeValueForKey("state");
  EXPECT_EQ(recorder->calls.size(), 1u);
}

TEST(RuntimeObject, RemovingWhatIsNotThereChangesNothing) {
  auto object = std::make_shared<RuntimeObject>();
  auto recorder = std::make_shared<Recorder>();
  Recorder stranger;
  VtObserve(recorder, *object, "state");
  VtObserveRemove(stranger, *object, "state");
  VtObserveRemove(*recorder, *object, "isFinished");
  object->didChangeValueForKey("state");
  EXPECT_EQ(recorder->calls.size(), 1u);
}

TEST(RuntimeObject, TwoRegistrationsTwoCallsOneRemovalLeavesOne) {
  auto object = std::make_shared<RuntimeObject>();
  auto recorder = std::make_shared<Recorder>();
  VtObserve(recorder, *object, "state");
  VtObserve(recorder, *object, "state");
  object->didChangeValueForKey("state");
  EXPECT_EQ(recorder->calls.size(), 2u);
  VtObserveRemove(*recorder, *object, "state");
  object->didChangeValueForKey("state");
  EXPECT_EQ(recorder->calls.size(), 3u);
}

TEST(RuntimeObject, ObserverReleasedBeforeTheChangeIsSkipped) {
  auto object = std::make_shared<RuntimeObject>();
  auto gone = std::make_shared<Recorder>();
  auto kept = std::make_shared<Recorder>();
  VtObserve(gone, *object, "state");
  VtObserve(kept, *object, "state");
  gone.reset();  // held weakly: calling it now would touch freed memory
  object->didChangeValueForKey("state");
  EXPECT_EQ(kept->calls.size(), 1u);
}

}  // namespace
}  // namespace vantrel
