#include "vantrel/platform/hotkeys/in_process_hot_key_service.h"

#include <vector>

#include <gtest/gtest.h>

namespace vantrel::hotkeys {
namespace {

TEST(InProcessHotKeyService, PressReachesEveryHandlerWithTheRegisteredId) {
  auto service = InProcessHotKeyService::create();
  std::vector<EventHotKeyID> first, second;
  EventHandlerRef h1, h2;
  ASSERT_EQ(service->installEventHandler(kHotKeyPressedEventType,
                                         [&](const HotKeyEvent& e) { first.push_back(*e.hotKeyID); }, h1),
            HotKeyStatus::success);
  ASSERT_EQ(service->installEventHandler(kHotKeyPressedEventType,
                                         [&](const HotKeyEvent& e) { second.push_back(*e.hotKeyID); }, h2),
            HotKeyStatus::success);
  EXPECT_NE(h1, h2);
  EventHotKeyRef ref;
  ASSERT_EQ(service->registerEventHotKey(0, 0x1100, {7, 3}, ref), HotKeyStatus::success);

  EXPECT_TRUE(service->press(0, 0x1100 | 0x400));  // Caps Lock does not change the combination
  EXPECT_FALSE(service->press(0, 0x100));
  EXPECT_EQ(first, (std::vector<EventHotKeyID>{{7, 3}}));
  EXPECT_EQ(second, first);

  ASSERT_EQ(service->removeEventHandler(h2), HotKeyStatus::success);
  service->press(0, 0x1100);
  EXPECT_EQ(first.size(), 2u);
  EXPECT_EQ(second.size(), 1u);
}

TEST(InProcessHotKeyService, OneRegistrationPerCombination) {
  auto service = InProcessHotKeyService::create();
  EventHotKeyRef a, b;
  ASSERT_EQ(service->registerEventHotKey(4, 0x200, {1, 1}, a), HotKeyStatus::success);
  EXPECT_EQ(service->registerEventHotKey(4, 0x200 | 0x400, {1, 2}, b), HotKeyStatus::alreadyRegistered);
  EXPECT_EQ(service->registerEventHotKey(4, 0x300, {1, 2}, b), HotKeyStatus::success);
  ASSERT_EQ(service->unregisterEventHotKey(a), HotKeyStatus::success);
  EXPECT_EQ(service->unregisterEventHotKey(a), HotKeyStatus::unknownReference);
  EXPECT_EQ(service->removeEventHandler(EventHandlerRef{99}), HotKeyStatus::unknownReference);
  EXPECT_EQ(service->staleReferenceCount(), 2u);
  EXPECT_EQ(service->registerEventHotKey(4, 0x200, {1, 1}, a), HotKeyStatus::success);
}

TEST(InProcessHotKeyService, HandlersMayCallTheServiceDuringDelivery) {
  auto service = InProcessHotKeyService::create();
  EventHotKeyRef ref;
  ASSERT_EQ(service->registerEventHotKey(1, 0, {1, 1}, ref), HotKeyStatus::success);
  EventHandlerRef self;
  int calls = 0;
  ASSERT_EQ(service->installEventHandler(kHotKeyPressedEventType,
                                         [&](const HotKeyEvent&) {
                                           ++calls;
                                           service->unregisterEventHotKey(ref);
                                           service->removeEventHandler(self);
                                         },
                                         self),
            HotKeyStatus::success);
  EXPECT_TRUE(service->press(1, 0));
  EXPECT_FALSE(service->press(1, 0));
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(service->handlerCount(), 0u);
}

TEST(InProcessHotKeyService, RefusalsAreStatuses) {
  auto service = InProcessHotKeyService::create();
  service->setRefusesHandlers(true);
  service->setRefusesRegistrations(true);
  EventHandlerRef handler;
  EventHotKeyRef ref;
  EXPECT_EQ(service->installEventHandler(kHotKeyPressedEventType, [](const HotKeyEvent&) {}, handler),
            HotKeyStatus::unavailable);
  EXPECT_EQ(service->registerEventHotKey(1, 0, {1, 1}, ref), HotKeyStatus::refused);
  EXPECT_EQ(service->handlerCount(), 0u);
  EXPECT_TRUE(service->registrations().empty());
}

}  // namespace
}  // namespace vantrel::hotkeys
