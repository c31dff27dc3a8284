#include <optional>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/fixtures.h"
#include "vantrel/foundation/bundles/bundle_information.h"
#include "vantrel/foundation/defaults/internal/vantrel_user_defaults_state.h"
#include "vantrel/foundation/defaults/user_defaults_helpers.h"
#include "vantrel/foundation/defaults/vantrel_user_defaults.h"

namespace vantrel {
namespace {

// The switch and the store are fixed once, whichever thread comes first;
// every thread then reads through the same store.
TEST(VantrelUserDefaultsConcurrency, FirstUseFromManyThreads) {
  testing::TemporaryDirectory temp;
  ScopedUserDefaultsDirectory scope(temp.path().string());
  foundation_internal::resetVantrelUserDefaultsForTesting();
  vtSetInt(4, "Shared");
  constexpr int kThreads = 6;
  std::vector<std::optional<std::int64_t>> seen(kThreads);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([t, &seen] {
      vantrelUserDefaults.setInt(t, "Own" + std::to_string(t));
      seen[static_cast<std::size_t>(t)] = vantrelUserDefaults.intForKey("Shared");
      (void)vantrelBundle();
    });
  }
  for (auto& thread : threads) thread.join();
  for (const auto& value : seen) EXPECT_EQ(value, 4);
  for (int t = 0; t < kThreads; ++t) EXPECT_EQ(vtIntForKey("Own" + std::to_string(t)), t);
  foundation_internal::resetVantrelUserDefaultsForTesting();
}

}  // namespace
}  // namespace vantrel
