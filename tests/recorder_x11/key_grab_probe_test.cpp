#include "vantrel/shortcuts/recorder/key_grab_probe.h"

#include <string>

#include <gtest/gtest.h>

#include "tests/foundation/files_test_support.h"
#include "tests/recorder/system_hot_keys_support.h"
#include "tests/support/fixtures.h"
#include "tests/support/xvfb_server.h"
#include "vantrel/platform/hotkeys/x11_hot_key_service.h"
#include "vantrel/shortcuts/recorder/hot_key_helper.h"
#include "vantrel/shortcuts/shortcut.h"

#include <X11/Xlib.h>  // last: the X headers define None, Bool, Status...
#include <X11/keysym.h>

namespace vantrel {
namespace {

constexpr std::int64_t kKeyF4 = 118;
constexpr std::int64_t kKeyK = 40;
constexpr std::uint32_t kControl = 0x1000;
constexpr std::uint32_t kOption = 0x0800;

// A second client of the display that grabs keys, as a window manager does.
class GrabbingClient {
 public:
  explicit GrabbingClient(const std::string& displayName) : display_(XOpenDisplay(displayName.c_str())) {
    current_ = this;
    // Once per process: installed again, it would chain to itself through
    // the probe's handler, which chains on to what it found.
    static const XErrorHandler previous = XSetErrorHandler(onError);
    previous_ = previous;
  }
  ~GrabbingClient() {
    if (display_ != nullptr) XCloseDisplay(display_);
    current_ = nullptr;
  }
  GrabbingClient(const GrabbingClient&) = delete;
  GrabbingClient& operator=(const GrabbingClient&) = delete;

  [[nodiscard]] bool ok() const { return display_ != nullptr; }

  // Grabs `keysym` with `modifiers` (X masks) on the root window; false when
  // the server refused (another client holds it).
  bool grab(KeySym keysym, unsigned int modifiers) {
    error_ = 0;
    XGrabKey(display_, XKeysymToKeycode(display_, keysym), modifiers, DefaultRootWindow(display_), False,
             GrabModeAsync, GrabModeAsync);
    XSync(display_, False);
    return error_ == 0;
  }

 private:
  // Our display's errors are ours; the others go on to whoever was there.
  static int onError(Display* display, XErrorEvent* error) {
    if (current_ != nullptr && current_->display_ == display) {
      current_->error_ = error->error_code;
      return 0;
    }
    return previous_ != nullptr ? previous_(display, error) : 0;
  }

  static inline GrabbingClient* current_ = nullptr;
  static inline XErrorHandler previous_ = nullptr;
  Display* display_;
  int error_ = 0;
};

class KeyGrabProbeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string whyNot;
    server = testing::XvfbServer::start(whyNot);
    if (!server) GTEST_SKIP() << whyNot << "; X11 key-grab test skipped";
    client = std::make_unique<GrabbingClient>(server->displayName());
    ASSERT_TRUE(client->ok());
  }
  void TearDown() override { client.reset(); }

  std::unique_ptr<testing::XvfbServer> server;
  std::unique_ptr<GrabbingClient> client;
};

TEST_F(KeyGrabProbeTest, ACombinationGrabbedByAnotherClientIsHeld) {
  ASSERT_TRUE(client->grab(XK_F4, Mod1Mask));
  EXPECT_EQ(probeKeyGrab(kKeyF4, kOption, server->displayName()), KeyGrabProbe::heldByAnotherClient);
  // Other modifiers on the same key are another combination.
  EXPECT_EQ(probeKeyGrab(kKeyF4, kControl, server->displayName()), KeyGrabProbe::free);

  testing::ScopedEnv display("DISPLAY", server->displayName());
  EXPECT_TRUE(isCombinationHeldByAnotherClient(kKeyF4, kOption));
  EXPECT_FALSE(isCombinationHeldByAnotherClient(kKeyK, kControl | kOption));
}

TEST_F(KeyGrabProbeTest, AGrabOfOnlyALockVariantCountsToo) {
  // A program that grabbed the combination with Num Lock on only.
  ASSERT_TRUE(client->grab(XK_k, ControlMask | Mod1Mask | Mod2Mask));
  EXPECT_EQ(probeKeyGrab(kKeyK, kControl | kOption, server->displayName()), KeyGrabProbe::heldByAnotherClient);
}

TEST_F(KeyGrabProbeTest, AFreeCombinationStaysFreeAfterTheProbe) {
  EXPECT_EQ(probeKeyGrab(kKeyK, kControl | kOption, server->displayName()), KeyGrabProbe::free);
  EXPECT_EQ(probeKeyGrab(kKeyK, kControl | kOption, server->displayName()), KeyGrabProbe::free);
  // No grab left behind: another client gets every lock variant.
  for (unsigned int variant : {0u, static_cast<unsigned int>(LockMask), static_cast<unsigned int>(Mod2Mask),
                               static_cast<unsigned int>(LockMask | Mod2Mask)}) {
    EXPECT_TRUE(client->grab(XK_k, ControlMask | Mod1Mask | variant)) << "variant " << variant;
  }
}

TEST_F(KeyGrabProbeTest, WithoutADisplayOrAKeyNothingIsKnown) {
  EXPECT_EQ(probeKeyGrab(52, 0, server->displayName()), KeyGrabProbe::unavailable);  // no key has code 52
  EXPECT_EQ(probeKeyGrab(kKeyK, 0, ":9876"), KeyGrabProbe::unavailable);
  testing::ScopedEnv noDisplay("DISPLAY", std::nullopt);
  EXPECT_FALSE(isCombinationHeldByAnotherClient(kKeyF4, kOption));
}

// The fault: a combination the window manager or another program holds was
// reported as free. The recorder's check now asks the server too.
TEST_F(KeyGrabProbeTest, TheRecordersCheckFindsAnotherClientsGrab) {
  testing::TemporaryDirectory config;
  testing::ScopedEnv xdg("XDG_CONFIG_HOME", config.path().string());
  testing::ScopedEnv display("DISPLAY", server->displayName());
  testing::ScopedSystemHotKeyProvider defaultProvider(nullptr);
  ASSERT_TRUE(client->grab(XK_k, ControlMask | Mod1Mask));
  const Shortcut held(kKeyK, ModifierFlags{ModifierFlags::control, ModifierFlags::option});
  const Shortcut free(kKeyK, ModifierFlags{ModifierFlags::control, ModifierFlags::shift});
  EXPECT_EQ(HotKeyHelper::isShortcutAlreadyTakenBySystem(held), HotKeyHelperError::alreadyUsed);
  EXPECT_EQ(HotKeyHelper::isShortcutAlreadyTakenBySystem(free), std::nullopt);

  // An installed provider stands in for the whole system, server included.
  testing::ScopedSystemHotKeys none(std::vector<SystemHotKeyEntry>{});
  EXPECT_EQ(HotKeyHelper::isShortcutAlreadyTakenBySystem(held), std::nullopt);
}

// The fault: the program's own global hot key, held by its hot-key service
// on another connection, met BadAccess and was reported as taken by the
// system, so re-recording it raised the "already used" alert.
TEST_F(KeyGrabProbeTest, TheProcesssOwnHotKeysAreNotTakenBySomeoneElse) {
  auto service = hotkeys::X11HotKeyService::open(server->displayName());
  ASSERT_TRUE(service);
  hotkeys::EventHotKeyRef ref{};
  ASSERT_EQ(service->registerEventHotKey(kKeyK, kControl | kOption, hotkeys::EventHotKeyID{0x76746b31, 1}, ref),
            hotkeys::HotKeyStatus::success);
  // Held by this process, not by another client; another client cannot get it.
  EXPECT_EQ(probeKeyGrab(kKeyK, kControl | kOption, server->displayName()), KeyGrabProbe::heldByThisProcess);
  EXPECT_FALSE(client->grab(XK_k, ControlMask | Mod1Mask));
  // A combination another client grabbed is still someone else's.
  ASSERT_TRUE(client->grab(XK_F4, Mod1Mask));
  EXPECT_EQ(probeKeyGrab(kKeyF4, kOption, server->displayName()), KeyGrabProbe::heldByAnotherClient);

  testing::TemporaryDirectory config;
  testing::ScopedEnv xdg("XDG_CONFIG_HOME", config.path().string());
  testing::ScopedEnv display("DISPLAY", server->displayName());
  testing::ScopedSystemHotKeyProvider defaultProvider(nullptr);
  const Shortcut ours(kKeyK, ModifierFlags{ModifierFlags::control, ModifierFlags::option});
  const Shortcut theirs(kKeyF4, ModifierFlags{ModifierFlags::option});
  EXPECT_FALSE(isCombinationHeldByAnotherClient(kKeyK, kControl | kOption));
  EXPECT_EQ(HotKeyHelper::isShortcutAlreadyTakenBySystem(ours), std::nullopt);
  EXPECT_EQ(HotKeyHelper::isShortcutAlreadyTakenBySystem(theirs), HotKeyHelperError::alreadyUsed);

  // Once released, the combination is free again.
  ASSERT_EQ(service->unregisterEventHotKey(ref), hotkeys::HotKeyStatus::success);
  EXPECT_EQ(probeKeyGrab(kKeyK, kControl | kOption, server->displayName()), KeyGrabProbe::free);
  // And a closed service leaves no note of its grabs behind.
  ASSERT_EQ(service->registerEventHotKey(kKeyK, kControl | kOption, hotkeys::EventHotKeyID{0x76746b31, 2}, ref),
            hotkeys::HotKeyStatus::success);
  service.reset();
  EXPECT_EQ(probeKeyGrab(kKeyK, kControl | kOption, server->displayName()), KeyGrabProbe::free);
}

}  // namespace
}  // namespace vantrel
