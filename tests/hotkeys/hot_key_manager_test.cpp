#include "vantrel/hotkeys/hot_key_manager.h"

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "main_queue_support.h"
#include "vantrel/core/console.h"
#include "vantrel/core/random.h"
#include "vantrel/platform/dispatch/dispatch_queue.h"
#include "vantrel/platform/hotkeys/in_process_hot_key_service.h"
#include "vantrel/platform/keyboard/keyboard_layout.h"
#include "vantrel/hotkeys/internal/hot_key_ids.h"

namespace vantrel {
namespace {

using hotkeys::EventHotKeyID;
using hotkeys::HotKeyEvent;
using hotkeys::InProcessHotKeyService;
using keyboard::KeyboardLayout;
using keyboard::ScopedKeyboardLayout;
using testing::drainMainQueue;
using M = ModifierFlags;

constexpr std::uint32_t kSignature = 0x7674726C;  // "vtrl"
constexpr std::uint32_t kControlCommand = 0x1100;

const Shortcut kControlCommandA(0, M{M::control, M::command});
const Shortcut kShiftCommandB(11, M{M::shift, M::command});
const Shortcut kOptionF1(122, M{M::option});

class HotKeyManagerTest : public ::testing::Test {
 protected:
  void SetUp() override { drainMainQueue(); }  // nothing left over from another test
  void TearDown() override { drainMainQueue(); }

  std::vector<std::uint32_t> registeredIds() const {
    std::vector<std::uint32_t> ids;
    for (const auto& r : service->registrations()) ids.push_back(r.id.id);
    return ids;
  }

  ScopedKeyboardLayout layout{KeyboardLayout{"us", ""}};  // descriptions name the keys
  std::shared_ptr<InProcessHotKeyService> service = InProcessHotKeyService::create();
  std::shared_ptr<HotKeyManager> manager = HotKeyManager::create(service);
};

TEST_F(HotKeyManagerTest, PressRunsTheClosureLaterOnTheMainQueue) {
  int runs = 0;
  const auto token = manager->registerShortcut(kControlCommandA, [&] { ++runs; });
  ASSERT_TRUE(token);
  EXPECT_EQ(token->value().size(), 10u);

  ConsoleCapture capture;
  ASSERT_TRUE(service->press(0, kControlCommand));
  // The handler only queued work: nothing printed, nothing ran yet.
  EXPECT_EQ(capture.standardOutput(), "");
  EXPECT_EQ(runs, 0);
  drainMainQueue();
  EXPECT_EQ(capture.standardOutput(), "EventId = 1\n");
  EXPECT_EQ(runs, 1);
}

TEST_F(HotKeyManagerTest, RegistersTheKeyCodeMaskAndSignedId) {
  ASSERT_TRUE(manager->registerShortcut(kShiftCommandB, [] {}));
  ASSERT_TRUE(manager->registerShortcut(Shortcut(122, M::controlOptionShiftCommandFlags), [] {}));
  const auto registrations = service->registrations();
  ASSERT_EQ(registrations.size(), 2u);
  EXPECT_EQ(registrations[0].keyCode, 11u);
  EXPECT_EQ(registrations[0].modifiers, 0x300u);
  EXPECT_EQ(registrations[0].id, (EventHotKeyID{kSignature, 1}));
  EXPECT_EQ(registrations[1].keyCode, 122u);
  EXPECT_EQ(registrations[1].modifiers, 0x1B00u);
  EXPECT_EQ(registrations[1].id, (EventHotKeyID{kSignature, 2}));
}

TEST_F(HotKeyManagerTest, IdsFollowTheHighestInUse) {
  const auto a = manager->registerShortcut(kControlCommandA, [] {});
  const auto b = manager->registerShortcut(kShiftCommandB, [] {});
  ASSERT_TRUE(a && b);
  EXPECT_EQ(registeredIds(), (std::vector<std::uint32_t>{1, 2}));

  manager->unregisterShortcutByToken(*b);
  const auto c = manager->registerShortcut(kShiftCommandB, [] {});
  ASSERT_TRUE(c);
  EXPECT_EQ(registeredIds(), (std::vector<std::uint32_t>{1, 2}));  // 2 again

  manager->unregisterShortcutByToken(*a);
  ASSERT_TRUE(manager->registerShortcut(kOptionF1, [] {}));
  EXPECT_EQ(registeredIds(), (std::vector<std::uint32_t>{2, 3}));
}

TEST(HotKeyIds, NeverWrapIntoIdsInUse) {
  constexpr std::uint32_t kLast = std::numeric_limits<std::uint32_t>::max();
  struct Case {
    const char* name;
    std::vector<std::uint32_t> inUse;
    std::optional<std::uint32_t> want;
  };
  const Case cases[] = {
      {"none in use", {}, 1},
      {"highest plus one", {1, 2}, 3},
      {"gaps below are not filled", {3}, 4},
      {"just below the last id", {kLast - 1}, kLast},
      {"last id in use: lowest free", {kLast}, 1},
      {"last id in use: skips taken ones", {2, 1, kLast, 3}, 4},
      {"last id in use: a gap", {1, 3, kLast}, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(hotkeys_internal::nextHotKeyId(c.inUse), c.want);
  }
}

TEST_F(HotKeyManagerTest, CustomTokenInUseIsRefusedAndFreedByUnregistering) {
  int firstRuns = 0;
  const auto first = manager->registerShortcut(kControlCommandA, "palette", [&] { ++firstRuns; });
  ASSERT_TRUE(first);
  EXPECT_EQ(first->value(), "palette");
  {
    ConsoleCapture capture;
    EXPECT_FALSE(manager->registerShortcut(kShiftCommandB, "palette", [] {}));
    EXPECT_EQ(capture.standardOutput(), "already added = Shortcut(⇧⌘B, keyCode=11)\n");
  }
  EXPECT_EQ(service->registrations().size(), 1u);
  service->press(0, kControlCommand);
  {
    ConsoleCapture quiet;
    drainMainQueue();
  }
  EXPECT_EQ(firstRuns, 1);

  manager->unregisterShortcutByTokenValue("palette");
  EXPECT_TRUE(service->registrations().empty());
  EXPECT_TRUE(manager->registerShortcut(kShiftCommandB, "palette", [] {}));
  // The empty text is a token like any other.
  const auto empty = manager->registerShortcut(kOptionF1, std::string(), [] {});
  ASSERT_TRUE(empty);
  EXPECT_EQ(empty->value(), "");
}

TEST_F(HotKeyManagerTest, GeneratedTokensAreRedrawnWhileTaken) {
  ASSERT_TRUE(manager->registerShortcut(kControlCommandA, "aaaaaaaaaa", [] {}));
  std::vector<std::uint32_t> draws(10, 0);  // "aaaaaaaaaa": taken
  for (std::uint32_t d : {61, 26, 1, 1, 1, 1, 1, 1, 1, 1}) draws.push_back(d);
  ScriptedRandomSource script(draws);
  ScopedRandomSource use(script);
  const auto token = manager->registerShortcut(kShiftCommandB, [] {});
  ASSERT_TRUE(token);
  EXPECT_EQ(token->value(), "9Abbbbbbbb");
  EXPECT_EQ(script.bounds(), std::vector<std::uint32_t>(20, 62));
}

TEST_F(HotKeyManagerTest, RefusedCombinationKeepsNothing) {
  struct Case {
    const char* name;
    Shortcut shortcut;
    bool serviceRefuses;
  };
  const Case cases[] = {
      {"service refuses", kShiftCommandB, true},
      {"combination already registered", kControlCommandA, false},
      {"negative key code", Shortcut(-1, M{M::command}), false},
      {"key code above 32 bits", Shortcut(std::int64_t{1} << 32, M{M::command}), false},
  };
  ASSERT_TRUE(manager->registerShortcut(kControlCommandA, [] {}));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    service->setRefusesRegistrations(c.serviceRefuses);
    ConsoleCapture capture;
    EXPECT_FALSE(manager->registerShortcut(c.shortcut, [] {}));
    EXPECT_EQ(capture.standardOutput(), "Could not RegisterEventHotKey() for " + c.shortcut.description() + "\n");
    EXPECT_EQ(service->registrations().size(), 1u);
  }
  service->setRefusesRegistrations(false);
  // Nothing of the refusals was kept: the next id follows the one registration.
  ASSERT_TRUE(manager->registerShortcut(Shortcut(std::numeric_limits<std::uint32_t>::max(), M{}), [] {}));
  EXPECT_EQ(registeredIds(), (std::vector<std::uint32_t>{1, 2}));
}

TEST_F(HotKeyManagerTest, DropsForeignAndUnreadablePresses) {
  int runs = 0;
  ASSERT_TRUE(manager->registerShortcut(kControlCommandA, [&] { ++runs; }));
  ConsoleCapture capture;
  service->deliver(HotKeyEvent{hotkeys::kEventClassKeyboard, hotkeys::kEventHotKeyPressed,
                               EventHotKeyID{0x6F746872 /* "othr" */, 1}});
  service->deliver(HotKeyEvent{hotkeys::kEventClassKeyboard, hotkeys::kEventHotKeyPressed, std::nullopt});
  EXPECT_EQ(DispatchQueue::drainMain(), 0u);
  EXPECT_EQ(capture.standardOutput(), "");
  EXPECT_EQ(runs, 0);

  // Our signature with an id nobody holds only prints.
  service->deliver(HotKeyEvent{hotkeys::kEventClassKeyboard, hotkeys::kEventHotKeyPressed,
                               EventHotKeyID{kSignature, 7}});
  drainMainQueue();
  EXPECT_EQ(capture.standardOutput(), "EventId = 7\n");
  EXPECT_EQ(runs, 0);
}

TEST_F(HotKeyManagerTest, UnregisteringWhatIsNotRegisteredDoesNothing) {
  ConsoleCapture capture;
  manager->unregisterShortcutByTokenValue("never registered");
  manager->unregisterAllShortcuts();
  EXPECT_EQ(capture.standardOutput(), "");
  EXPECT_EQ(service->staleReferenceCount(), 0u);
  EXPECT_EQ(service->handlerCount(), 1u);
}

TEST_F(HotKeyManagerTest, UnregisterAllReleasesEveryHotKey) {
  int runs = 0;
  const auto a = manager->registerShortcut(kControlCommandA, [&] { ++runs; });
  ASSERT_TRUE(a);
  ASSERT_TRUE(manager->registerShortcut(kShiftCommandB, [&] { ++runs; }));
  manager->unregisterAllShortcuts();
  EXPECT_TRUE(service->registrations().empty());
  EXPECT_FALSE(service->press(0, kControlCommand));
  manager->unregisterShortcutByToken(*a);  // already gone: no second release
  EXPECT_EQ(service->staleReferenceCount(), 0u);
  EXPECT_EQ(runs, 0);
}

TEST_F(HotKeyManagerTest, StopReleasesEverythingOnce) {
  ASSERT_TRUE(manager->registerShortcut(kControlCommandA, [] {}));
  manager->stop();
  EXPECT_TRUE(service->registrations().empty());
  EXPECT_EQ(service->handlerCount(), 0u);
  manager->stop();  // the removed handler is not handed to the service again
  EXPECT_EQ(service->staleReferenceCount(), 0u);
}

TEST_F(HotKeyManagerTest, RegisteringAfterStopReinstallsTheHandler) {
  manager->stop();
  int runs = 0;
  ASSERT_TRUE(manager->registerShortcut(kControlCommandA, [&] { ++runs; }));
  EXPECT_EQ(service->handlerCount(), 1u);
  ASSERT_TRUE(manager->registerShortcut(kShiftCommandB, [] {}));
  EXPECT_EQ(service->handlerCount(), 1u);  // once, not per registration
  ConsoleCapture capture;
  service->press(0, kControlCommand);
  drainMainQueue();
  EXPECT_EQ(capture.standardOutput(), "EventId = 1\n");
  EXPECT_EQ(runs, 1);
}

TEST_F(HotKeyManagerTest, RegisteringAfterStopRefusesWhenNoHandlerCanBeInstalled) {
  manager->stop();
  service->setRefusesHandlers(true);
  ConsoleCapture capture;
  EXPECT_FALSE(manager->registerShortcut(kControlCommandA, [] {}));
  EXPECT_EQ(capture.standardOutput(), "Cannot setup event handler.\n");
  EXPECT_TRUE(service->registrations().empty());

  service->setRefusesHandlers(false);
  EXPECT_TRUE(manager->registerShortcut(kControlCommandA, [] {}));
  EXPECT_EQ(service->handlerCount(), 1u);
}

TEST_F(HotKeyManagerTest, ClosuresMayChangeRegistrations) {
  // Each press of A replaces every registration (A included, under a new
  // token) and adds more, forcing the map to grow while presses are pending.
  int runs = 0;
  std::function<void()> replaceAll;
  replaceAll = [&] {
    ++runs;
    manager->unregisterAllShortcuts();
    ASSERT_TRUE(manager->registerShortcut(kControlCommandA, replaceAll));
    for (std::int64_t key = 1; key <= 20; ++key) ASSERT_TRUE(manager->registerShortcut(Shortcut(key, M{}), [] {}));
  };
  ASSERT_TRUE(manager->registerShortcut(kControlCommandA, replaceAll));
  ConsoleCapture capture;
  for (int i = 0; i < 3; ++i) service->press(0, kControlCommand);
  drainMainQueue();
  // The three presses were each turned into one queued call of A's closure
  // before any of them ran; every run rebuilt the registrations, A at id 1.
  EXPECT_EQ(runs, 3);
  EXPECT_EQ(capture.standardOutput(), "EventId = 1\nEventId = 1\nEventId = 1\n");
  EXPECT_EQ(service->registrations().size(), 21u);
  service->press(0, kControlCommand);
  drainMainQueue();
  EXPECT_EQ(runs, 4);
}

TEST_F(HotKeyManagerTest, PressesOfAReleasedManagerRunNothing) {
  int runs = 0;
  ASSERT_TRUE(manager->registerShortcut(kControlCommandA, [&] { ++runs; }));
  service->press(0, kControlCommand);
  manager.reset();
  ConsoleCapture capture;
  drainMainQueue();
  EXPECT_EQ(capture.standardOutput(), "");
  EXPECT_EQ(runs, 0);
}

TEST_F(HotKeyManagerTest, EmptyClosureRunsNothing) {
  ASSERT_TRUE(manager->registerShortcut(kControlCommandA, HotKeyManager::Closure()));
  ConsoleCapture capture;
  service->press(0, kControlCommand);
  drainMainQueue();
  EXPECT_EQ(capture.standardOutput(), "EventId = 1\n");
}

TEST(HotKeyManagerDeathTest, HandlerThatCannotBeInstalledStops) {
  auto service = InProcessHotKeyService::create();
  service->setRefusesHandlers(true);
  EXPECT_DEATH((void)HotKeyManager::create(service), "Fatal error: Cannot setup event handler.");
}

TEST(HotKeyManagerShared, IsOneManagerOnTheApplicationService) {
  // The only test that reads the shared manager: it must see the service
  // chosen here, never a real display of the machine running the tests.
  auto service = InProcessHotKeyService::create();
  hotkeys::setApplicationHotKeyService(service);
  ASSERT_EQ(hotkeys::applicationHotKeyService(), service);
  const std::shared_ptr<HotKeyManager>& shared = HotKeyManager::si();
  EXPECT_EQ(HotKeyManager::si().get(), shared.get());
  EXPECT_EQ(service->handlerCount(), 1u);

  int runs = 0;
  const auto token = shared->registerShortcut(kControlCommandA, [&] { ++runs; });
  ASSERT_TRUE(token);
  {
    ConsoleCapture capture;
    service->press(0, kControlCommand);
    drainMainQueue();
  }
  EXPECT_EQ(runs, 1);
  shared->stop();
  EXPECT_TRUE(service->registrations().empty());
  EXPECT_EQ(service->handlerCount(), 0u);
}

}  // namespace
}  // namespace vantrel
