#include "vantrel/foundation/monitoring/directory_monitor.h"

#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "tests/support/fixtures.h"
#include "directory_monitor_test_support.h"

namespace vantrel {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testing::CountingDelegate;
using testing::openDescriptorCount;
using testing::TemporaryDirectory;
using testing::writeText;

URL folderUrl(const fs::path& path) { return URL::fileURLWithPath(path.string(), true); }

// Waits until the monitor's queue has closed the descriptor of a stop.
void awaitIdle(DirectoryMonitor& monitor) { monitor.directoryMonitorQueue()->sync([] {}); }

TEST(DirectoryMonitorTest, ChangesToTheFoldersEntriesTellTheDelegateOnItsQueue) {
  TemporaryDirectory temp;
  const fs::path folder = temp.path() / "watched";
  fs::create_directories(folder / "sub");
  writeText(folder / "kept.txt", "a");
  auto monitor = DirectoryMonitor::create(folderUrl(folder));
  EXPECT_EQ(monitor->directoryMonitorQueue()->label(), "org.vantrel.Vantrel.directorymonitor");
  auto delegate = std::make_shared<CountingDelegate>();
  ASSERT_TRUE(monitor->startMonitoring(delegate));
  EXPECT_TRUE(monitor->isMonitoring());
  EXPECT_GE(monitor->monitoredDirectoryFileDescriptor(), 0);
  EXPECT_EQ(monitor->delegate(), delegate);
  struct Case {
    const char* name;
    std::function<void()> change;
  };
  const Case cases[] = {
      {"create a file", [&] { writeText(folder / "new.txt", "x"); }},
      {"create a folder", [&] { fs::create_directory(folder / "newdir"); }},
      {"rename an entry", [&] { fs::rename(folder / "new.txt", folder / "renamed.txt"); }},
      {"move an entry out", [&] { fs::rename(folder / "renamed.txt", temp.path() / "out.txt"); }},
      {"move an entry in", [&] { fs::rename(temp.path() / "out.txt", folder / "in.txt"); }},
      {"delete a file", [&] { fs::remove(folder / "in.txt"); }},
      {"delete a folder", [&] { fs::remove(folder / "newdir"); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    c.change();
    EXPECT_TRUE(delegate->awaitChange());
  }
  EXPECT_FALSE(delegate->offQueue);
  EXPECT_EQ(delegate->lastMonitor, monitor.get());
  // Writing into a file, changing its mode, and anything inside a
  // subfolder leave the folder's entries as they are.
  writeText(folder / "kept.txt", "more", true);
  ::chmod((folder / "kept.txt").c_str(), 0600);
  writeText(folder / "sub" / "deeper.txt", "x");
  EXPECT_FALSE(delegate->called->waitFor(300ms));
  monitor->stopMonitoring();
  awaitIdle(*monitor);
  EXPECT_FALSE(monitor->isMonitoring());
  EXPECT_EQ(monitor->monitoredDirectoryFileDescriptor(), -1);
  writeText(folder / "after.txt", "x");
  EXPECT_FALSE(delegate->called->waitFor(200ms));
}

TEST(DirectoryMonitorTest, DeletingOrMovingTheFolderItselfTellsAndTheMonitorKeepsRunning) {
  for (const bool deleting : {true, false}) {
    SCOPED_TRACE(deleting ? "delete" : "move");
    TemporaryDirectory temp;
    const fs::path folder = temp.path() / "watched";
    fs::create_directories(folder);
    auto monitor = DirectoryMonitor::create(folderUrl(folder));
    auto delegate = std::make_shared<CountingDelegate>();
    ASSERT_TRUE(monitor->startMonitoring(delegate));
    if (deleting) {
      fs::remove(folder);
    } else {
      fs::rename(folder, temp.path() / "moved");
    }
    EXPECT_TRUE(delegate->awaitChange());
    EXPECT_TRUE(monitor->isMonitoring());
    EXPECT_FALSE(monitor->startMonitoring(delegate));
    monitor->stopMonitoring();
    awaitIdle(*monitor);
    EXPECT_FALSE(monitor->isMonitoring());
  }
}

TEST(DirectoryMonitorTest, StartAnswersWhetherThisCallStartedWatching) {
  TemporaryDirectory temp;
  const fs::path folder = temp.path();
  auto monitor = DirectoryMonitor::create(folderUrl(folder));
  auto first = std::make_shared<CountingDelegate>();
  auto second = std::make_shared<CountingDelegate>();
  monitor->stopMonitoring();  // idle: nothing happens
  ASSERT_TRUE(monitor->startMonitoring(first));
  const int descriptor = monitor->monitoredDirectoryFileDescriptor();
  EXPECT_FALSE(monitor->startMonitoring(second));  // monitoring: the delegate stays
  EXPECT_EQ(monitor->delegate(), first);
  EXPECT_EQ(monitor->monitoredDirectoryFileDescriptor(), descriptor);
  // Hold the queue so the stop's cleanup waits behind it: still stopping.
  auto release = std::make_shared<DispatchSemaphore>(0);
  monitor->directoryMonitorQueue()->async([release] { (void)release->waitFor(std::chrono::seconds(5)); });
  monitor->stopMonitoring();
  EXPECT_TRUE(monitor->isMonitoring());
  EXPECT_FALSE(monitor->startMonitoring(second));
  EXPECT_EQ(monitor->delegate(), first);
  release->signal();
  awaitIdle(*monitor);
  ASSERT_TRUE(monitor->startMonitoring(second));
  EXPECT_EQ(monitor->delegate(), second);
  writeText(folder / "x", "x");
  EXPECT_TRUE(second->awaitChange());
  EXPECT_EQ(first->calls, 0);
  monitor->stopMonitoring();
  awaitIdle(*monitor);
}

TEST(DirectoryMonitorTest, FoldersThatCannotBeWatchedLeaveTheMonitorIdle) {
  TemporaryDirectory temp;
  writeText(temp.path() / "file.txt", "x");
  fs::create_symlink(temp.path() / "file.txt", temp.path() / "link-to-file");
  const std::string withNul = temp.path().string() + std::string("\0/elsewhere", 11);
  const URL urls[] = {
      folderUrl(temp.path() / "missing"),
      folderUrl(temp.path() / "file.txt"),
      folderUrl(temp.path() / "link-to-file"),
      URL::fileURLWithPath(withNul, true),
      *URL::fromString("https://example.org/folder"),
  };
  const std::size_t descriptorsBefore = openDescriptorCount();
  for (const URL& url : urls) {
    SCOPED_TRACE(url.description());
    auto monitor = DirectoryMonitor::create(url);
    auto delegate = std::make_shared<CountingDelegate>();
    std::weak_ptr<DirectoryMonitor> weak = monitor;
    EXPECT_FALSE(monitor->startMonitoring(delegate));
    EXPECT_FALSE(monitor->isMonitoring());
    EXPECT_EQ(monitor->monitoredDirectoryFileDescriptor(), -1);
    EXPECT_EQ(monitor->delegate(), nullptr);
    monitor->stopMonitoring();
    monitor.reset();
    EXPECT_TRUE(weak.expired());  // it holds nothing, not even itself
  }
  EXPECT_EQ(openDescriptorCount(), descriptorsBefore);
}

TEST(DirectoryMonitorTest, AReleasedOrReplacedDelegateIsNotCalled) {
  TemporaryDirectory temp;
  auto monitor = DirectoryMonitor::create(folderUrl(temp.path()));
  auto gone = std::make_shared<CountingDelegate>();
  auto called = gone->called;
  ASSERT_TRUE(monitor->startMonitoring(gone));
  gone.reset();
  writeText(temp.path() / "a", "x");
  EXPECT_FALSE(called->waitFor(300ms));
  auto replacement = std::make_shared<CountingDelegate>();
  monitor->setDelegate(replacement);
  writeText(temp.path() / "b", "x");
  EXPECT_TRUE(replacement->awaitChange());
  monitor->stopMonitoring();
  awaitIdle(*monitor);
}

TEST(DirectoryMonitorTest, TwoMonitorsOnOneFolderAreBothToldUntilEachStops) {
  TemporaryDirectory temp;
  auto one = DirectoryMonitor::create(folderUrl(temp.path()));
  auto two = DirectoryMonitor::create(folderUrl(temp.path()));
  auto oneDelegate = std::make_shared<CountingDelegate>();
  auto twoDelegate = std::make_shared<CountingDelegate>();
  ASSERT_TRUE(one->startMonitoring(oneDelegate));
  ASSERT_TRUE(two->startMonitoring(twoDelegate));
  writeText(temp.path() / "a", "x");
  EXPECT_TRUE(oneDelegate->awaitChange());
  EXPECT_TRUE(twoDelegate->awaitChange());
  one->stopMonitoring();
  awaitIdle(*one);
  writeText(temp.path() / "b", "x");
  EXPECT_TRUE(twoDelegate->awaitChange());
  EXPECT_FALSE(oneDelegate->called->waitFor(200ms));
  two->stopMonitoring();
  awaitIdle(*two);
}

TEST(DirectoryMonitorTest, ManyCyclesLeaveTheDescriptorCountWhereItBegan) {
  TemporaryDirectory temp;
  auto monitor = DirectoryMonitor::create(folderUrl(temp.path()));
  auto delegate = std::make_shared<CountingDelegate>();
  // The process's watcher opens its one descriptor on first use.
  ASSERT_TRUE(monitor->startMonitoring(delegate));
  monitor->stopMonitoring();
  awaitIdle(*monitor);
  const std::size_t before = openDescriptorCount();
  for (int i = 0; i < 200; ++i) {
    ASSERT_TRUE(monitor->startMonitoring(delegate)) << "cycle " << i;
    if (i % 20 == 0) writeText(temp.path() / ("f" + std::to_string(i)), "x");
    monitor->stopMonitoring();
    awaitIdle(*monitor);
  }
  EXPECT_EQ(openDescriptorCount(), before);
}

TEST(DirectoryMonitorTest, AMonitorTheHostDroppedKeepsTellingUntilStopped) {
  TemporaryDirectory temp;
  class Stopper : public CountingDelegate {
   public:
    void directoryMonitorDidObserveChange(DirectoryMonitor& monitor) override {
      monitor.stopMonitoring();
      CountingDelegate::directoryMonitorDidObserveChange(monitor);
    }
  };
  auto delegate = std::make_shared<Stopper>();
  std::weak_ptr<DirectoryMonitor> weak;
  {
    auto monitor = DirectoryMonitor::create(folderUrl(temp.path()));
    weak = monitor;
    ASSERT_TRUE(monitor->startMonitoring(delegate));
  }
  EXPECT_FALSE(weak.expired());
  writeText(temp.path() / "a", "x");
  ASSERT_TRUE(delegate->called->waitFor(5s));
  // Stopped from its own callback: it lets go of itself once idle.
  const auto limit = std::chrono::steady_clock::now() + 5s;
  while (!weak.expired() && std::chrono::steady_clock::now() < limit) std::this_thread::sleep_for(5ms);
  EXPECT_TRUE(weak.expired());
}

}  // namespace
}  // namespace vantrel
