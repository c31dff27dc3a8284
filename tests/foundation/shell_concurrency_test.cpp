// Run under ThreadSanitizer too.
#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "vantrel/foundation/process/shell_commands.h"

namespace vantrel {
namespace {

using namespace std::chrono_literals;

// If a pipe leaked into a program started by another thread, a quick call
// would wait until that slow program ended.
TEST(ShellConcurrency, AQuickCallNeverWaitsForASlowProgramOfAnotherThread) {
  std::atomic<bool> stop{false};
  std::vector<std::thread> slow;
  for (int t = 0; t < 4; ++t) {
    slow.emplace_back([&] {
      while (!stop.load()) (void)VantrelMacOs::shell("/bin/sleep", {"3"});
    });
  }
  std::vector<std::thread> quick;
  std::atomic<long long> slowestMs{0};
  std::atomic<int> wrong{0};
  for (int t = 0; t < 4; ++t) {
    quick.emplace_back([&, t] {
      for (int i = 0; i < 15; ++i) {
        const std::string text = std::to_string(t) + "-" + std::to_string(i);
        const auto start = std::chrono::steady_clock::now();
        const auto result = VantrelMacOs::shell("/bin/echo", {text});
        const auto ms =
            std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
        long long seen = slowestMs.load();
        while (ms > seen && !slowestMs.compare_exchange_weak(seen, ms)) {
        }
        if (result != ShellResult{text + "\n", 0}) wrong.fetch_add(1);
      }
    });
  }
  for (auto& th : quick) th.join();
  stop = true;
  for (auto& th : slow) th.join();
  EXPECT_EQ(wrong.load(), 0);
  // Well below the slow program's 3 s, with room for a loaded machine.
  EXPECT_LT(slowestMs.load(), 2000);
}

}  // namespace
}  // namespace vantrel
