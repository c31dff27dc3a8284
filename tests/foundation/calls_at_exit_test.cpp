// Calls that keep something per thread, made again once the thread's
// thread_local objects are gone (at exit, or as a thread ends).
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "tests/foundation/files_test_support.h"
#include "tests/support/use_at_exit.h"
#include "vantrel/foundation/time/rfc822_date.h"
#include "vantrel/json/json.h"
#include "vantrel/platform/foundation/defaults/user_defaults.h"

namespace vantrel {
namespace {

namespace fs = std::filesystem;

TEST(CallsAtExitTest, Rfc822DatesAreReadOnceTheThreadsFormatterIsGone) {
  EXPECT_USE_AT_EXIT([] {
    // Two patterns, so the formatter is changed between them.
    const std::optional<Date> withZone = dateFromRFC822String("Tue, 10 Jun 2003 04:00:00 GMT");
    const std::optional<Date> withoutSeconds = dateFromRFC822String("10 jun 2003 04:01");
    if (!withZone || !withoutSeconds) std::abort();
    const auto seconds = [](Date date) {
      return std::chrono::duration_cast<std::chrono::seconds>(date.time_since_epoch()).count();
    };
    if (seconds(*withZone) != 1055217600 || seconds(*withoutSeconds) != 1055217660) std::abort();
  });
}

constexpr int kSettings = 50;

const fs::path* gBlocked = nullptr;

// The exit hook writes the settings as JSON on the exiting thread, after its
// JSON buffer (made by the write here) is gone. So that the hook, and not
// the write queue, writes them, the store's folder is a file until an exit
// handler that runs before the hook makes it a folder; a store of another
// folder changed last shows when the queue's failed write is over.
[[noreturn]] void writeJsonSetDefaultsAndExit(const fs::path& folder) {
  static const fs::path blocked = folder / "blocked";
  gBlocked = &blocked;
  testing::writeFile(blocked, "");
  if (Json(std::vector<std::string>(5, std::string(30000, 'x'))).makeData().size() < 150000) std::abort();
  std::shared_ptr<UserDefaults> barrier;
  {
    const ScopedUserDefaultsDirectory later((folder / "later").string());
    barrier = UserDefaults::create("com.example.barrier");
  }
  // Locals: `exit` destroys none of them, so the store is there for the hook.
  const ScopedUserDefaultsDirectory directory(blocked.string());
  const auto defaults = UserDefaults::create("com.example.exit");
  for (int i = 0; i < kSettings; ++i) defaults->set("key" + std::to_string(i), i);
  barrier->set("written", true);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (!fs::exists(folder / "later" / "com.example.barrier.json")) {
    if (std::chrono::steady_clock::now() > deadline) std::abort();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  std::atexit([] {
    fs::remove(*gBlocked);
    fs::create_directory(*gBlocked);
  });
  std::exit(0);
}

TEST(CallsAtExitTest, TheDefaultsExitHookWritesAfterTheThreadsJsonBufferIsGone) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const fs::path folder = testing::deathTestFolder("defaults-exit");
  EXPECT_EXIT(writeJsonSetDefaultsAndExit(folder), ::testing::ExitedWithCode(0), "");
  {
    ScopedUserDefaultsDirectory directory((folder / "blocked").string());
    const auto defaults = UserDefaults::create("com.example.exit");
    for (int i = 0; i < kSettings; ++i) EXPECT_EQ(defaults->integerForKey("key" + std::to_string(i)), i) << i;
  }
  fs::remove_all(folder);
}

}  // namespace
}  // namespace vantrel
