#include "vantrel/platform/desktop/internal/x11_connection.h"

#include <memory>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "tests/foundation/files_test_support.h"
#include "tests/support/xvfb_server.h"

#include <X11/Xlib.h>  // last: the X headers define None, Bool, Status...

namespace vantrel::desktop_internal {
namespace {

using testing::ScopedEnv;

// Another Xlib user of the process with its own error handler, put in place
// before the library's (each case runs in a process of its own).
struct ForeignErrors {
  static inline Display* display = nullptr;
  static inline int error = 0;
  static inline XErrorHandler previous = nullptr;

  static int onError(Display* d, XErrorEvent* e) {
    if (d == display) {
      error = e->error_code;
      return 0;
    }
    return previous != nullptr ? previous(d, e) : 0;
  }
  static void install() {
    static const XErrorHandler found = XSetErrorHandler(onError);
    previous = found;
  }
};

// A request that fails with BadWindow: no client owns that id.
void mapMissingWindow(Display* display) {
  XMapWindow(display, static_cast<Window>(0x3ffffff));
  XSync(display, False);
}

class X11ConnectionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string whyNot;
    server = vantrel::testing::XvfbServer::start(whyNot);
    if (!server) GTEST_SKIP() << whyNot << "; X11 test skipped";
    ForeignErrors::install();
    ForeignErrors::error = 0;  // each case counts its own, also when the cases share a process
  }
  std::unique_ptr<vantrel::testing::XvfbServer> server;
};

TEST_F(X11ConnectionTest, FailedRequestsAreRecordedOnTheirConnectionOnly) {
  Display* foreign = XOpenDisplay(server->displayName().c_str());
  ASSERT_NE(foreign, nullptr);
  ForeignErrors::display = foreign;
  {
    X11Connection connection(server->displayName());
    ASSERT_TRUE(connection.isOpen());
    EXPECT_EQ(connection.takeError(), 0);
    mapMissingWindow(connection.display());
    EXPECT_EQ(connection.takeError(), BadWindow);
    EXPECT_EQ(connection.takeError(), 0);  // taken
    EXPECT_EQ(ForeignErrors::error, 0);

    // The other user's errors still reach its handler while ours is open.
    mapMissingWindow(foreign);
    EXPECT_EQ(ForeignErrors::error, BadWindow);
    EXPECT_EQ(connection.takeError(), 0);
  }
  ForeignErrors::error = 0;
  mapMissingWindow(foreign);
  EXPECT_EQ(ForeignErrors::error, BadWindow);
  XCloseDisplay(foreign);
  ForeignErrors::display = nullptr;
}

TEST_F(X11ConnectionTest, NestedConnectionsEachKeepTheirErrors) {
  X11Connection outer(server->displayName());
  ASSERT_TRUE(outer.isOpen());
  {
    X11Connection inner(server->displayName());
    ASSERT_TRUE(inner.isOpen());
    mapMissingWindow(outer.display());
    XUngrabKey(inner.display(), 9, 0, static_cast<Window>(0x3ffffff));  // BadWindow too
    XSync(inner.display(), False);
    EXPECT_EQ(outer.takeError(), BadWindow);
    EXPECT_EQ(inner.takeError(), BadWindow);
  }
  // The outer one is still the thread's after the inner one closed.
  mapMissingWindow(outer.display());
  EXPECT_EQ(outer.takeError(), BadWindow);
  EXPECT_EQ(ForeignErrors::error, 0);
}

TEST_F(X11ConnectionTest, ALostServerEndsTheConnectionNotTheProcess) {
  X11Connection connection(server->displayName());
  ASSERT_TRUE(connection.isOpen());
  server->stop();
  XSync(connection.display(), False);
  EXPECT_TRUE(connection.isLost());
  EXPECT_FALSE(connection.isOpen());
  XSync(connection.display(), False);  // returns at once from now on
  EXPECT_TRUE(connection.isLost());
}

TEST(X11ConnectionNoDisplay, NothingOpensWithoutADisplay) {
  for (const std::optional<std::string>& value : {std::optional<std::string>{}, std::optional<std::string>{""}}) {
    ScopedEnv display("DISPLAY", value);
    X11Connection connection("");
    EXPECT_FALSE(connection.isOpen());
    EXPECT_FALSE(connection.isLost());
    EXPECT_EQ(connection.display(), nullptr);
    EXPECT_EQ(connection.takeError(), 0);
  }
  X11Connection unknown(":999");
  EXPECT_FALSE(unknown.isOpen());
}

}  // namespace
}  // namespace vantrel::desktop_internal
