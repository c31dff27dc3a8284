#include "vantrel/platform/hotkeys/x11_hot_key_service.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <new>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "vantrel/core/console.h"
#include "vantrel/hotkeys/hot_key_manager.h"
#include "xvfb_support.h"  // last: the X headers define None, Bool, Status...

namespace vantrel {
namespace {

using hotkeys::EventHotKeyRef;
using hotkeys::HotKeyStatus;
using hotkeys::X11HotKeyService;
using testing::KeyInjector;
using testing::runMainLoopUntil;
using M = ModifierFlags;

constexpr std::int64_t kKeyK = 40;  // the K key
constexpr std::int64_t kKeyJ = 38;  // the J key

class X11HotKeyServiceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string whyNot;
    server = testing::XvfbServer::start(whyNot);
    if (!server) GTEST_SKIP() << whyNot << "; X11 hot-key test skipped";
    service = X11HotKeyService::open(server->displayName());
    ASSERT_TRUE(service);
    injector = std::make_unique<KeyInjector>(server->displayName());
    ASSERT_TRUE(injector->ok()) << "no XTest on " << server->displayName();
    testing::drainMainQueue();
  }
  void TearDown() override {
    // The connections go before the server, or their loss would be an error.
    manager.reset();
    injector.reset();
    service.reset();
    testing::drainMainQueue();
  }

  std::unique_ptr<testing::XvfbServer> server;
  std::shared_ptr<X11HotKeyService> service;
  std::unique_ptr<KeyInjector> injector;
  std::shared_ptr<HotKeyManager> manager;
};

TEST_F(X11HotKeyServiceTest, GrabbedCombinationRunsTheClosure) {
  manager = HotKeyManager::create(service);
  int kRuns = 0;
  int jRuns = 0;
  ASSERT_TRUE(manager->registerShortcut(Shortcut(kKeyK, M{M::control, M::shift}), [&] { ++kRuns; }));
  ASSERT_TRUE(manager->registerShortcut(Shortcut(kKeyJ, M{M::option, M::command}), [&] { ++jRuns; }));

  ConsoleCapture capture;
  injector->type({XK_Control_L, XK_Shift_L}, XK_k);
  ASSERT_TRUE(runMainLoopUntil([&] { return kRuns == 1; }));
  EXPECT_EQ(capture.standardOutput(), "EventId = 1\n");

  injector->type({XK_Alt_L, XK_Super_L}, XK_j);
  ASSERT_TRUE(runMainLoopUntil([&] { return jRuns == 1; }));
  EXPECT_EQ(capture.standardOutput(), "EventId = 1\nEventId = 2\n");
  EXPECT_EQ(kRuns, 1);
}

// A server that stops answering holds the event thread, not the caller: a
// registration gives up after the limit, and once the server answers again
// the grab it was too late for is given back, not kept unknown to anyone.
TEST_F(X11HotKeyServiceTest, AStoppedServerHoldsNoRegistrationPastTheLimit) {
  server->pause();
  EventHotKeyRef ref{};
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(service->registerEventHotKey(kKeyK, 0x1000, {1, 1}, ref), HotKeyStatus::unavailable);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(8));
  server->resume();
  EventHotKeyRef again{};
  EXPECT_EQ(service->registerEventHotKey(kKeyK, 0x1000, {1, 2}, again), HotKeyStatus::success);
  EXPECT_EQ(service->unregisterEventHotKey(again), HotKeyStatus::success);
}

TEST_F(X11HotKeyServiceTest, OtherModifiersDoNotFire) {
  manager = HotKeyManager::create(service);
  int runs = 0;
  ASSERT_TRUE(manager->registerShortcut(Shortcut(kKeyK, M{M::control, M::shift}), [&] { ++runs; }));
  ConsoleCapture capture;
  injector->type({}, XK_k);
  injector->type({XK_Control_L}, XK_k);
  injector->type({XK_Control_L, XK_Shift_L, XK_Alt_L}, XK_k);
  // Events arrive in order: once the real combination has fired, the three
  // before it would have too.
  injector->type({XK_Control_L, XK_Shift_L}, XK_k);
  ASSERT_TRUE(runMainLoopUntil([&] { return runs >= 1; }));
  runMainLoopUntil([] { return false; }, std::chrono::milliseconds(50));
  EXPECT_EQ(runs, 1);
  EXPECT_EQ(capture.standardOutput(), "EventId = 1\n");
}

TEST_F(X11HotKeyServiceTest, LockKeysDoNotBlockTheShortcut) {
  manager = HotKeyManager::create(service);
  int runs = 0;
  ASSERT_TRUE(manager->registerShortcut(Shortcut(kKeyK, M{M::control}), [&] { ++runs; }));
  ConsoleCapture capture;
  struct Case {
    const char* name;
    std::vector<KeySym> locks;
  };
  const Case cases[] = {
      {"Caps Lock", {XK_Caps_Lock}},
      {"Num Lock", {XK_Num_Lock}},
      {"both", {XK_Caps_Lock, XK_Num_Lock}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const int before = runs;
    for (KeySym lock : c.locks) injector->tap(lock);  // lock on
    injector->type({XK_Control_L}, XK_k);
    for (KeySym lock : c.locks) injector->tap(lock);  // lock off again
    EXPECT_TRUE(runMainLoopUntil([&] { return runs == before + 1; }));
  }
}

TEST_F(X11HotKeyServiceTest, UnregisteredCombinationNoLongerFires) {
  manager = HotKeyManager::create(service);
  int kRuns = 0;
  int jRuns = 0;
  const auto k = manager->registerShortcut(Shortcut(kKeyK, M{M::control}), [&] { ++kRuns; });
  ASSERT_TRUE(k);
  ASSERT_TRUE(manager->registerShortcut(Shortcut(kKeyJ, M{M::control}), [&] { ++jRuns; }));
  manager->unregisterShortcutByToken(*k);
  ConsoleCapture capture;
  injector->type({XK_Control_L}, XK_k);
  injector->type({XK_Control_L}, XK_j);
  ASSERT_TRUE(runMainLoopUntil([&] { return jRuns == 1; }));
  EXPECT_EQ(kRuns, 0);
  EXPECT_EQ(capture.standardOutput(), "EventId = 2\n");
}

TEST_F(X11HotKeyServiceTest, CombinationHeldByAnotherClientIsRefused) {
  Display* other = injector->display();
  const KeyCode k = XKeysymToKeycode(other, XK_k);
  XGrabKey(other, k, ControlMask | ShiftMask, DefaultRootWindow(other), False, GrabModeAsync, GrabModeAsync);
  XSync(other, False);

  manager = HotKeyManager::create(service);
  {
    ConsoleCapture capture;
    EXPECT_FALSE(manager->registerShortcut(Shortcut(kKeyK, M{M::control, M::shift}), [] {}));
    EXPECT_EQ(capture.standardOutput(),
              "Could not RegisterEventHotKey() for " + Shortcut(kKeyK, M{M::control, M::shift}).description() + "\n");
  }
  // The refusal gave back the lock variants it had grabbed: once the other
  // client lets go, the combination can be registered, Caps Lock included.
  XUngrabKey(other, k, ControlMask | ShiftMask, DefaultRootWindow(other));
  XSync(other, False);
  int runs = 0;
  ASSERT_TRUE(manager->registerShortcut(Shortcut(kKeyK, M{M::control, M::shift}), [&] { ++runs; }));
  ConsoleCapture capture;
  injector->tap(XK_Caps_Lock);
  injector->type({XK_Control_L, XK_Shift_L}, XK_k);
  injector->tap(XK_Caps_Lock);
  EXPECT_TRUE(runMainLoopUntil([&] { return runs == 1; }));
}

TEST_F(X11HotKeyServiceTest, ServiceStatuses) {
  EventHotKeyRef first;
  EventHotKeyRef second;
  ASSERT_EQ(service->registerEventHotKey(kKeyK, 0x1000, {1, 1}, first), HotKeyStatus::success);
  EXPECT_EQ(service->registerEventHotKey(kKeyK, 0x1000, {1, 2}, second), HotKeyStatus::alreadyRegistered);
  EXPECT_EQ(service->registerEventHotKey(127, 0x1000, {1, 2}, second), HotKeyStatus::invalidKey);
  EXPECT_EQ(service->registerEventHotKey(0xFFFFFFFF, 0, {1, 2}, second), HotKeyStatus::invalidKey);
  EXPECT_EQ(service->unregisterEventHotKey(first), HotKeyStatus::success);
  EXPECT_EQ(service->unregisterEventHotKey(first), HotKeyStatus::unknownReference);
  EXPECT_EQ(service->registerEventHotKey(kKeyK, 0x1000, {1, 3}, second), HotKeyStatus::success);
}

TEST_F(X11HotKeyServiceTest, LostDisplayMakesTheServiceUnavailable) {
  EventHotKeyRef ref;
  ASSERT_EQ(service->registerEventHotKey(kKeyK, 0x1000, {1, 1}, ref), HotKeyStatus::success);
  injector.reset();
  server->stop();
  ASSERT_TRUE(runMainLoopUntil([&] { return !service->isConnected(); }));
  EXPECT_EQ(service->registerEventHotKey(kKeyJ, 0x1000, {1, 2}, ref), HotKeyStatus::unavailable);
  EXPECT_EQ(service->unregisterEventHotKey(ref), HotKeyStatus::unavailable);
}

// A handler that threw on the event thread ended the process (std::terminate),
// and no later press reached any handler.
TEST_F(X11HotKeyServiceTest, AThrowingHandlerIsReportedAndLaterPressesStillArrive) {
  struct Case {
    const char* name;
    std::function<void()> raise;
    std::string report;  // after "Uncaught exception in an event handler on the X thread of "<display>""
  };
  const Case cases[] = {
      {"an error", [] { throw std::runtime_error("the handler failed"); }, ": the handler failed\n"},
      {"out of memory", [] { throw std::bad_alloc(); }, ": std::bad_alloc\n"},
      {"not an exception", [] { throw 42; }, "\n"},
  };
  EventHotKeyRef k;
  EventHotKeyRef j;
  ASSERT_EQ(service->registerEventHotKey(kKeyK, 0x1000, {1, 1}, k), HotKeyStatus::success);
  ASSERT_EQ(service->registerEventHotKey(kKeyJ, 0x1000, {1, 2}, j), HotKeyStatus::success);
  std::atomic<const Case*> current{nullptr};
  std::atomic<int> jPresses{0};
  hotkeys::EventHandlerRef handler;
  ASSERT_EQ(service->installEventHandler(
                hotkeys::kHotKeyPressedEventType,
                [&](const hotkeys::HotKeyEvent& e) {
                  if (e.hotKeyID && e.hotKeyID->id == 1) current.load()->raise();
                  if (e.hotKeyID && e.hotKeyID->id == 2) ++jPresses;
                },
                handler),
            HotKeyStatus::success);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    current = &c;
    const int before = jPresses;
    ConsoleCapture capture;
    injector->type({XK_Control_L}, XK_k);
    injector->type({XK_Control_L}, XK_j);
    // Handlers run on the event thread: the press of J arrives after K's.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (jPresses == before && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_EQ(jPresses, before + 1);
    EXPECT_EQ(capture.standardError(), "Uncaught exception in an event handler on the X thread of \"" +
                                           server->displayName() + "\"" + c.report);
  }
  // The thread still serves its callers.
  EXPECT_TRUE(service->isConnected());
  EXPECT_EQ(service->unregisterEventHotKey(k), HotKeyStatus::success);
  EXPECT_EQ(service->removeEventHandler(handler), HotKeyStatus::success);
}

TEST(X11HotKeyService, NoDisplayGivesNoService) {
  // A display number nobody serves (the socket folder is checked first).
  for (int number = 400; number < 500; ++number) {
    if (testing::fileExists("/tmp/.X11-unix/X" + std::to_string(number))) continue;
    EXPECT_EQ(X11HotKeyService::open(":" + std::to_string(number)), nullptr);
    return;
  }
}

}  // namespace
}  // namespace vantrel
