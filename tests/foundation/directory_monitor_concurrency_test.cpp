#include <atomic>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "directory_monitor_test_support.h"
#include "tests/support/fixtures.h"

namespace vantrel {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testing::CountingDelegate;
using testing::openDescriptorCount;
using testing::TemporaryDirectory;
using testing::writeText;

TEST(DirectoryMonitorConcurrencyTest, StartStopAndStartAgainFromSeveralThreads) {
  TemporaryDirectory temp;
  auto monitor = DirectoryMonitor::create(URL::fileURLWithPath(temp.path().string(), true));
  auto delegate = std::make_shared<CountingDelegate>();
  // The watcher's own descriptor comes with the first start.
  ASSERT_TRUE(monitor->startMonitoring(delegate));
  monitor->stopMonitoring();
  monitor->directoryMonitorQueue()->sync([] {});
  const std::size_t descriptorsBefore = openDescriptorCount();

  std::atomic<bool> stop = false;
  std::atomic<int> started = 0;
  std::thread writer([&] {
    for (int i = 0; !stop; ++i) {
      const fs::path file = temp.path() / ("f" + std::to_string(i % 8));
      writeText(file, "x");
      fs::remove(file);
    }
  });
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&, t] {
      auto own = std::make_shared<CountingDelegate>();
      for (int i = 0; i < 150; ++i) {
        if (monitor->startMonitoring(t % 2 == 0 ? delegate : own)) ++started;
        if (i % 3 == t % 3) monitor->setDelegate(own);
        (void)monitor->monitoredDirectoryFileDescriptor();
        monitor->stopMonitoring();
        if (i % 5 == 0) monitor->directoryMonitorQueue()->sync([] {});
      }
    });
  }
  for (auto& t : threads) t.join();
  stop = true;
  writer.join();
  monitor->stopMonitoring();
  monitor->directoryMonitorQueue()->sync([] {});
  EXPECT_GT(started, 0);
  EXPECT_FALSE(monitor->isMonitoring());
  EXPECT_EQ(monitor->monitoredDirectoryFileDescriptor(), -1);
  EXPECT_FALSE(delegate->offQueue);
  EXPECT_EQ(openDescriptorCount(), descriptorsBefore);
  // Still a working monitor.
  delegate->settle();
  ASSERT_TRUE(monitor->startMonitoring(delegate));
  writeText(temp.path() / "last", "x");
  EXPECT_TRUE(delegate->awaitChange());
  monitor->stopMonitoring();
  monitor->directoryMonitorQueue()->sync([] {});
}

TEST(DirectoryMonitorConcurrencyTest, AMonitorDroppedWhileItMonitors) {
  TemporaryDirectory temp;
  for (int round = 0; round < 20; ++round) {
    auto delegate = std::make_shared<CountingDelegate>();
    std::weak_ptr<DirectoryMonitor> weak;
    {
      auto monitor = DirectoryMonitor::create(URL::fileURLWithPath(temp.path().string(), true));
      weak = monitor;
      ASSERT_TRUE(monitor->startMonitoring(delegate));
      // Dropped on another thread while events arrive.
      std::thread dropper([m = std::move(monitor)]() mutable { m.reset(); });
      writeText(temp.path() / ("r" + std::to_string(round)), "x");
      dropper.join();
    }
    ASSERT_TRUE(delegate->called->waitFor(5s)) << "round " << round;
    // The host's only way back to it is the delegate's monitor, or a
    // weak reference; it stops from another thread.
    auto monitor = weak.lock();
    ASSERT_NE(monitor, nullptr) << "round " << round;
    std::thread([monitor] { monitor->stopMonitoring(); }).join();
    monitor.reset();
    const auto limit = std::chrono::steady_clock::now() + 5s;
    while (!weak.expired() && std::chrono::steady_clock::now() < limit) std::this_thread::sleep_for(1ms);
    ASSERT_TRUE(weak.expired()) << "round " << round;
  }
}

}  // namespace
}  // namespace vantrel
