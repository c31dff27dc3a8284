// Presses reported on other threads (the X11 event thread, an in-process
// injector) while the main thread changes the registrations.
#include <atomic>
#include <thread>

#include <gtest/gtest.h>

#include "vantrel/core/console.h"
#include "vantrel/platform/hotkeys/in_process_hot_key_service.h"
#include "vantrel/platform/hotkeys/x11_hot_key_service.h"
#include "vantrel/hotkeys/hot_key_manager.h"
#include "xvfb_support.h"  // last: the X headers define None, Bool, Status...

namespace vantrel {
namespace {

using testing::runMainLoopUntil;
using M = ModifierFlags;

constexpr int kPresses = 200;

// Registers and unregisters another combination over and over on the main
// thread, serving the main queue in between, until `done`.
void churnRegistrations(HotKeyManager& manager, const Shortcut& other, const std::function<bool()>& done) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (!done() && std::chrono::steady_clock::now() < deadline) {
    const auto token = manager.registerShortcut(other, [] {});
    ASSERT_TRUE(token);
    manager.unregisterShortcutByToken(*token);
    RunLoop::current()->run(std::chrono::steady_clock::now() + std::chrono::milliseconds(1));
  }
}

TEST(HotKeyManagerConcurrency, InjectedPressesWhileTheMainThreadRegisters) {
  auto service = hotkeys::InProcessHotKeyService::create();
  auto manager = HotKeyManager::create(service);
  int runs = 0;  // main thread only
  ASSERT_TRUE(manager->registerShortcut(Shortcut(0, M{M::control}), [&] { ++runs; }));
  ConsoleCapture capture;
  std::atomic<bool> injected{false};
  std::thread injector([&] {
    for (int i = 0; i < kPresses; ++i) service->press(0, 0x1000);
    injected = true;
  });
  churnRegistrations(*manager, Shortcut(1, M{M::control}), [&] { return injected.load(); });
  injector.join();
  EXPECT_TRUE(runMainLoopUntil([&] { return runs == kPresses; }));
  manager->stop();
}

TEST(HotKeyManagerConcurrency, X11PressesWhileTheMainThreadRegisters) {
  VANTREL_REQUIRE_XVFB(server);
  auto service = hotkeys::X11HotKeyService::open(server->displayName());
  ASSERT_TRUE(service);
  auto manager = HotKeyManager::create(service);
  int runs = 0;  // main thread only
  ASSERT_TRUE(manager->registerShortcut(Shortcut(40 /* K */, M{M::control}), [&] { ++runs; }));
  ConsoleCapture capture;
  std::atomic<bool> typed{false};
  std::atomic<bool> injectorReady{true};
  std::thread typist([&] {
    testing::KeyInjector injector(server->displayName());
    if (!injector.ok()) injectorReady = false;
    for (int i = 0; injectorReady && i < kPresses; ++i) injector.type({XK_Control_L}, XK_k);
    typed = true;
  });
  churnRegistrations(*manager, Shortcut(38 /* J */, M{M::control}), [&] { return typed.load(); });
  typist.join();
  ASSERT_TRUE(injectorReady) << "no XTest on " << server->displayName();
  EXPECT_TRUE(runMainLoopUntil([&] { return runs == kPresses; }, std::chrono::seconds(10))) << runs;
  manager->stop();
  manager.reset();
  service.reset();  // before the server goes
  testing::drainMainQueue();
}

}  // namespace
}  // namespace vantrel
