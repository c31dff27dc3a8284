// The nice-colour list under concurrent first use: one list, built once.
#include <atomic>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "vantrel/drawing/named_colors.h"

namespace vantrel {
namespace {

TEST(NamedColorsConcurrency, FirstUseFromManyThreadsSeesOneList) {
  constexpr int kThreads = 8;
  std::atomic<bool> go{false};
  std::vector<const std::vector<NamedColor>*> seen(kThreads, nullptr);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([t, &go, &seen] {
      while (!go) std::this_thread::yield();
      seen[t] = &VantrelNiceColors();
      (void)NSColor::infoBlue();
    });
  }
  go = true;
  for (auto& thread : threads) thread.join();
  for (const auto* list : seen) {
    EXPECT_EQ(list, seen[0]);
    EXPECT_EQ(list->size(), 99u);
  }
}

}  // namespace
}  // namespace vantrel
