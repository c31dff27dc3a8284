#include "vantrel/platform/foundation/x11/x11_connection.h"

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/xvfb_server.h"

#include <X11/Xlib.h>  // last: the X headers define None, Bool, Status...

namespace vantrel {
namespace {

// Threads each opening connections at once (the handlers go in once) get
// the errors of their own requests, every one of them and no other
// thread's: thread A fails its requests, thread B's succeed.
TEST(X11ConnectionConcurrency, EachThreadGetsTheErrorsOfItsOwnConnections) {
  std::string whyNot;
  auto server = testing::XvfbServer::start(whyNot);
  if (!server) GTEST_SKIP() << whyNot << "; X11 test skipped";
  constexpr int kRounds = 10;
  std::atomic<int> good{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&, failing = t % 2 == 0] {
      for (int i = 0; i < kRounds; ++i) {
        X11Connection connection(server->displayName());
        if (!connection.isOpen()) continue;
        Display* display = connection.display();
        const Window window = failing ? static_cast<Window>(0x3ffffff) : DefaultRootWindow(display);
        XMapWindow(display, window);
        XSync(display, False);
        const int expected = failing ? BadWindow : 0;
        if (connection.takeError() == expected && connection.isOpen()) ++good;
      }
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(good.load(), 4 * kRounds);
}

}  // namespace
}  // namespace vantrel
