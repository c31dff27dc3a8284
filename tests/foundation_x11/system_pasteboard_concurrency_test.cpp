#include "vantrel/platform/desktop/system_pasteboard.h"

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/xvfb_server.h"
#include "clipboard_owner.h"  // last: the X headers define None, Bool, Status...

namespace vantrel {
namespace {

// Threads reading one pasteboard at once each get the owner's whole data:
// every read has its own connection, and the error handlers are installed
// once.
TEST(SystemPasteboardConcurrency, ThreadsReadTheDesktopClipboardAtOnce) {
  std::string whyNot;
  auto server = testing::XvfbServer::start(whyNot);
  if (!server) GTEST_SKIP() << whyNot << "; X11 clipboard test skipped";
  std::vector<std::uint8_t> big(200 * 1024);
  for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<std::uint8_t>(i % 251);
  {
    testing::ClipboardOwner owner(server->displayName(),
                                  {{"UTF8_STRING", {'h', 'i'}}, {"application/octet-stream", big}});
    ASSERT_TRUE(owner.owning());
    SystemPasteboard board(server->displayName());
    std::atomic<int> good{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
      threads.emplace_back([&] {
        for (int i = 0; i < 5; ++i) {
          const bool text = board.stringForType(PasteboardType::string()) == std::optional<std::string>("hi");
          const bool data = board.dataForType(PasteboardType("application/octet-stream")) == std::optional(big);
          if (text && data) ++good;
        }
      });
    }
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(good.load(), 20);
  }
}

}  // namespace
}  // namespace vantrel
