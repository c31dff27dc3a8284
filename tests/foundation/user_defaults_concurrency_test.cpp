#include <thread>


#include "tests/support/fixtures.h"
#include "vantrel/platform/foundation/defaults/user_defaults.h"

namespace vantrel {
namespace {

TEST(UserDefaultsConcurrencyTest, WritersOnSeveralStoresLoseNothing) {
  testing::TemporaryDirectory temp;
  ScopedUserDefaultsDirectory scope(temp.path().string());
  constexpr int kThreads = 4;
  constexpr int kKeys = 25;
  // Half the threads share a store, the others have their own copy of the
  // domain, as another process would.
  const auto shared = UserDefaults::create("race");
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([t, shared] {
      auto store = t % 2 == 0 ? shared : UserDefaults::create("race");
      for (int k = 0; k < kKeys; ++k) {
        store->set("t" + std::to_string(t) + "k" + std::to_string(k), k);
        (void)store->integerForKey("t0k0");
      }
    });
  }
  for (auto& thread : threads) thread.join();
  auto reread = UserDefaults::create("race");
  EXPECT_EQ(reread->dictionaryRepresentation().size(), static_cast<std::size_t>(kThreads * kKeys));
  EXPECT_EQ(reread->integerForKey("t3k24"), 24);
}

}  // namespace
}  // namespace vantrel
