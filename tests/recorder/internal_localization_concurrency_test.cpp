#include <atomic>
#include <barrier>
#include <cstdlib>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/exit_while_used.h"
#include "vantrel/shortcuts/recorder/internal/internal_localization.h"

namespace vantrel {
namespace {

using recorder_internal::resetInternalLocalizationForTesting;

TEST(InternalLocalizationConcurrency, FirstUseFromManyThreadsMakesOneTable) {
  std::atomic<int> choices{0};
  resetInternalLocalizationForTesting([&choices] {
    choices.fetch_add(1);
    return std::vector<std::string>{"de"};
  });
  constexpr int kThreads = 8;
  std::barrier start(kThreads);
  std::vector<VantrelInternalLocalization*> seen(kThreads);
  std::vector<std::thread> threads;
  for (int i = 0; i < kThreads; ++i) {
    threads.emplace_back([&, i] {
      start.arrive_and_wait();
      seen[i] = &VantrelInternalLocalization::si();
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(choices.load(), 1);
  for (VantrelInternalLocalization* table : seen) EXPECT_EQ(table, seen.front());
  EXPECT_EQ(seen.front()->localize("Cancel"), "Abbrechen");
  resetInternalLocalizationForTesting();
}

TEST(InternalLocalizationConcurrency, SharedTableOutlivesExit) {
  EXPECT_EXIT_WHILE_USED([] {
    if (VantrelInternalLocalization::si().localize("OK") != "OK") std::abort();
  });
}

}  // namespace
}  // namespace vantrel
