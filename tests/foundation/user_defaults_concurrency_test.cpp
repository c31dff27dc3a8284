#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/fixtures.h"
#include "tests/support/spawn_self.h"
#include "vantrel/platform/foundation/defaults/user_defaults.h"

namespace vantrel {
namespace {

constexpr const char* kChildVariable = "VANTREL_DEFAULTS_CHILD";
constexpr int kKeys = 40;

// Two threads of one store set different keys, each its own share.
void setFromTwoThreads(const std::shared_ptr<UserDefaults>& store, const std::string& prefix) {
  std::vector<std::thread> threads;
  for (int t = 0; t < 2; ++t) {
    threads.emplace_back([t, store, prefix] {
      for (int k = 0; k < kKeys; ++k) {
        store->set(prefix + "t" + std::to_string(t) + "k" + std::to_string(k), k);
        (void)store->integerForKey(prefix + "t0k0");
      }
    });
  }
  for (auto& thread : threads) thread.join();
}

TEST(UserDefaultsConcurrencyTest, WritersOnSeveralStoresLoseNothing) {
  testing::TemporaryDirectory temp;
  ScopedUserDefaultsDirectory scope(temp.path().string());
  constexpr int kThreads = 4;
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

// Runs only inside the child processes of the next test: sets its keys from
// two threads and ends without synchronize, so the exit hook must write them.
TEST(UserDefaultsConcurrencyTest, ChildProcessWriter) {
  const char* setting = std::getenv(kChildVariable);
  if (setting == nullptr) GTEST_SKIP() << "runs as a child process only";
  const std::string text = setting;
  const auto bar = text.find('|');
  ASSERT_NE(bar, std::string::npos);
  UserDefaults::setDirectoryForTesting(text.substr(0, bar));
  setFromTwoThreads(UserDefaults::create("shared-domain"), text.substr(bar + 1));
}

TEST(UserDefaultsConcurrencyTest, TwoProcessesAndTwoThreadsLoseNoUpdate) {
  if (std::getenv(kChildVariable) != nullptr) GTEST_SKIP() << "not inside a child";
  testing::TemporaryDirectory temp;
  ScopedUserDefaultsDirectory scope(temp.path().string());
  std::vector<pid_t> children;
  for (const std::string prefix : {"p1", "p2"}) {
    const pid_t pid = testing::spawnThisProgram("UserDefaultsConcurrencyTest.ChildProcessWriter",
                                                std::string(kChildVariable) + "=" + temp.path().string() + "|" + prefix);
    ASSERT_GT(pid, 0);
    children.push_back(pid);
  }
  setFromTwoThreads(UserDefaults::create("shared-domain"), "main");
  for (const pid_t pid : children) {
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "child status " << status;
  }
  auto reread = UserDefaults::create("shared-domain");
  const auto all = reread->dictionaryRepresentation();
  EXPECT_EQ(all.size(), static_cast<std::size_t>(3 * 2 * kKeys));
  for (const std::string prefix : {"main", "p1", "p2"}) {
    for (int t = 0; t < 2; ++t) {
      for (int k = 0; k < kKeys; ++k) {
        const std::string key = prefix + "t" + std::to_string(t) + "k" + std::to_string(k);
        EXPECT_EQ(reread->integerForKey(key), k) << key;
      }
    }
  }
}

}  // namespace
}  // namespace vantrel
