// The X11 screens, capture and active window on a private Xvfb display
// (skipped when Xvfb is missing or the build has no X11).
#include <gtest/gtest.h>

#if VANTREL_TESTS_WITH_X11
#include <X11/Xatom.h>

#include "tests/hotkeys/xvfb_support.h"
#include "vantrel/appkit/screen_helpers.h"
#include "vantrel/platform/kit/proc_running_applications.h"
#include "vantrel/platform/kit/screen_provider.h"

namespace vantrel {
namespace {

TEST(X11Screens, OneScreenOfTheServersSizeAndACaptureOfItsRoot) {
  VANTREL_REQUIRE_XVFB(server);
  // Opened first and kept: Xvfb resets (and forgets the root's colour) when
  // its last client leaves, and the provider's connections come and go.
  Display* display = XOpenDisplay(server->displayName().c_str());
  ASSERT_NE(display, nullptr);
  const auto provider = X11ScreenProvider::create(server->displayName());
  const auto screens = provider->screens();
  ASSERT_EQ(screens.size(), 1u);
  EXPECT_EQ(screens[0]->frame(), Rect(0, 0, 1024, 768));
  EXPECT_EQ(screens[0]->backingScaleFactor(), 1.0);
  EXPECT_EQ(screens[0]->deviceDescription().screenNumber, 0u);

  // Paint the root window one colour, as a desktop background would be.
  XColor colour{};
  colour.red = 0x3333;
  colour.green = 0x6666;
  colour.blue = 0xcccc;
  colour.flags = DoRed | DoGreen | DoBlue;
  ASSERT_NE(XAllocColor(display, DefaultColormap(display, DefaultScreen(display)), &colour), 0);
  XSetWindowBackground(display, DefaultRootWindow(display), colour.pixel);
  XClearWindow(display, DefaultRootWindow(display));
  XSync(display, False);

  ScopedScreenProvider useProvider(provider);
  const auto image = capture(*screens[0]);
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->size(), Size(1024, 768));
  const auto& bitmap = image->representations().at(0);
  ASSERT_EQ(bitmap->width(), 1024);
  ASSERT_EQ(bitmap->height(), 768);
  for (const auto& [x, y] : {std::pair{0, 0}, std::pair{512, 300}, std::pair{1023, 767}}) {
    EXPECT_EQ(bitmap->pixelAt(x, y), (std::array<std::uint8_t, 4>{0x33, 0x66, 0xcc, 255}));
  }
  // A display number with no monitor behind it cannot be imaged.
  EXPECT_EQ(provider->createDisplayImage(1), std::nullopt);
  XCloseDisplay(display);
}

TEST(X11Screens, NoDisplayNoScreens) {
  const auto provider = X11ScreenProvider::create(":9999");
  EXPECT_TRUE(provider->screens().empty());
  EXPECT_EQ(provider->createDisplayImage(0), std::nullopt);
}

TEST(X11Screens, TheFrontmostApplicationOwnsTheActiveWindow) {
  VANTREL_REQUIRE_XVFB(server);
  Display* display = XOpenDisplay(server->displayName().c_str());
  ASSERT_NE(display, nullptr);
  const Window root = DefaultRootWindow(display);
  const auto source = ProcRunningApplications::create(server->displayName());
  EXPECT_EQ(source->frontmostApplication(), nullptr);  // no window manager, no active window

  const Window window = XCreateSimpleWindow(display, root, 0, 0, 10, 10, 0, 0, 0);
  const unsigned long pid = static_cast<unsigned long>(::getpid());
  XChangeProperty(display, window, XInternAtom(display, "_NET_WM_PID", False), XA_CARDINAL, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(&pid), 1);
  const Atom activeAtom = XInternAtom(display, "_NET_ACTIVE_WINDOW", False);
  XChangeProperty(display, root, activeAtom, XA_WINDOW, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(&window), 1);
  XSync(display, False);
  const auto frontmost = source->frontmostApplication();
  ASSERT_NE(frontmost, nullptr);
  EXPECT_EQ(frontmost->processIdentifier(), ::getpid());

  // An active window that is gone: no frontmost application, and the
  // process goes on.
  XDestroyWindow(display, window);
  XSync(display, False);
  EXPECT_EQ(source->frontmostApplication(), nullptr);
  XCloseDisplay(display);
}

}  // namespace
}  // namespace vantrel
#endif
