#include "vantrel/platform/desktop/internal/x11_connection.h"

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/xvfb_server.h"

#include <X11/Xlib.h>  // last: the X headers define None, Bool, Status...

namespace vantrel::desktop_internal {
namespace {

// Threads each with connections of their own, opened at once (the
// handlers go in once), get the errors of their own requests, every one of
// them and no other thread's: half the threads fail their requests, the
// others' succeed. Each round opens a second connection beside the first.
TEST(X11ConnectionConcurrency, EachThreadGetsTheErrorsOfItsOwnConnections) {
  std::string whyNot;
  auto server = testing::XvfbServer::start(whyNot);
  if (!server) GTEST_SKIP() << whyNot << "; X11 test skipped";
  constexpr int kRounds = 10;
  std::atomic<int> good{0};
  std::atomic<int> opened{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&, failing = t % 2 == 0] {
      const auto request = [failing](X11Connection& connection) {
        Display* display = connection.display();
        XMapWindow(display, failing ? static_cast<Window>(0x3ffffff) : DefaultRootWindow(display));
        XSync(display, False);
        return connection.takeError() == (failing ? BadWindow : 0) && connection.isOpen();
      };
      X11Connection connection(server->displayName());
      // Xvfb may turn away clients connecting at the same instant (seen
      // under ThreadSanitizer); that is the server's, not the handlers'.
      if (!connection.isOpen()) return;
      ++opened;
      for (int i = 0; i < kRounds; ++i) {
        X11Connection beside(server->displayName());
        const bool besideGood = !beside.isOpen() || request(beside);
        if (request(connection) && besideGood) ++good;
      }
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_GT(opened.load(), 0);
  EXPECT_EQ(good.load(), opened.load() * kRounds);
}

}  // namespace
}  // namespace vantrel::desktop_internal
