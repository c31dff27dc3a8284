#include <atomic>
#include <thread>

#include <gtest/gtest.h>

#include "vantrel/platform/foundation/notifications/notification_center.h"

namespace vantrel {
namespace {

TEST(NotificationConcurrencyTest, PostingWhileObserversComeAndGo) {
  NotificationCenter center;
  std::atomic<int> delivered = 0;
  auto keeper = std::make_shared<int>(0);
  center.addObserver(keeper, "N", [&delivered](const Notification&) { ++delivered; });
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&center, t] {
      for (int i = 0; i < 200; ++i) {
        if (t % 2 == 0) {
          center.post("N");
        } else {
          auto owner = std::make_shared<int>(i);
          const auto token = center.addObserver(owner, "N", [](const Notification&) {});
          if (i % 2 == 0) center.removeObserver(token);
        }  // owners released here: their handlers drop out
      }
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(delivered, 400);
}

}  // namespace
}  // namespace vantrel
