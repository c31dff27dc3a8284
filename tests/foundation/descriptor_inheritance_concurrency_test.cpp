// Run under ThreadSanitizer too.
//
// Every descriptor the library opens is close-on-exec: a program started by
// one thread must not inherit the folders and files another thread has open
// at that moment.
#include <atomic>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/fixtures.h"
#include "vantrel/foundation/process/shell_commands.h"
#include "vantrel/platform/foundation/files/file_manager.h"

namespace vantrel {
namespace {

namespace fs = std::filesystem;

// The descriptors of the started program itself, as it lists them.
std::string childDescriptors() {
  const ShellResult result = VantrelMacOs::shell("/bin/ls", {"/proc/self/fd"});
  EXPECT_EQ(result.exitStatus, 0);
  return result.output.value_or("");
}

TEST(DescriptorInheritance, ProgramsStartedWhileFoldersAreOpenInheritNothing) {
  testing::TemporaryDirectory folder;
  // Wide trees of small folders: every folder copied or removed is listed
  // through a descriptor of its own, opened and closed again quickly.
  constexpr int kWalkers = 4;
  for (int w = 0; w < kWalkers; ++w) {
    const fs::path tree = folder.path() / ("tree" + std::to_string(w));
    for (int i = 0; i < 40; ++i) fs::create_directories(tree / ("f" + std::to_string(i)) / "inner");
    std::ofstream(tree / "file.txt") << "contents";
    std::ofstream(folder.path() / ("single" + std::to_string(w))) << "one file";
    std::ofstream(folder.path() / ("single-copy" + std::to_string(w))) << "old";
  }

  // What a child sees while nothing of ours is open: the standard three, the
  // listing's own descriptor and whatever the test's parent passed down.
  const std::string baseline = childDescriptors();
  ASSERT_FALSE(baseline.empty());

  std::atomic<bool> stop{false};
  std::atomic<int> walks{0};
  std::vector<std::thread> walkers;
  for (int w = 0; w < kWalkers; ++w) {
    walkers.emplace_back([&, w] {
      const FileManager& fm = FileManager::defaultManager();
      const std::string n = std::to_string(w);
      const std::string from = (folder.path() / ("tree" + n)).string();
      const std::string to = (folder.path() / ("copy" + n)).string();
      while (!stop.load()) {
        fm.copyItem(from, to, true);
        fm.copyItem((folder.path() / ("single" + n)).string(), (folder.path() / ("single-copy" + n)).string(), true);
        (void)fm.contentsOfDirectory(to);
        fm.removeItem(to);
        walks.fetch_add(1);
      }
    });
  }
  while (walks.load() < kWalkers) std::this_thread::yield();
  int leaks = 0;
  std::string leaked;
  for (int i = 0; i < 250; ++i) {
    const std::string seen = childDescriptors();
    if (seen != baseline) {
      ++leaks;
      leaked = seen;
    }
  }
  stop = true;
  for (auto& t : walkers) t.join();
  EXPECT_EQ(leaks, 0) << "one child saw:\n" << leaked;
}

}  // namespace
}  // namespace vantrel
