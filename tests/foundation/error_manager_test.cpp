#include <unistd.h>

#include <filesystem>
#include <algorithm>

#include "tests/foundation/files_test_support.h"
#include "tests/support/fixtures.h"
#include "vantrel/core/console.h"
#include "vantrel/core/random.h"
#include "vantrel/foundation/logs/error_manager.h"
#include "vantrel/platform/foundation/bundles/main_bundle.h"

namespace vantrel {
namespace {

namespace fs = std::filesystem;
using testing::readFile;
using testing::readLines;
using testing::ScopedEnv;
using testing::TemporaryDirectory;

constexpr const char* kXcodeVariable = "__XCODE_BUILT_PRODUCTS_DIR_PATHS";

fs::path logsFolder(const fs::path& dataHome) { return dataHome / "Private Documents" / "logs"; }

// Registers a bundle identifier for a scope.
struct ScopedIdentifier {
  explicit ScopedIdentifier(std::string id) { registerMainBundleIdentifier(std::move(id)); }
  ~ScopedIdentifier() { registerMainBundleIdentifier(std::nullopt); }
};

TEST(ErrorManagerTest, ThreeLogFilesNamedAfterTheBundle) {
  TemporaryDirectory tmp;
  ScopedEnv data("XDG_DATA_HOME", tmp.path().string());
  ScopedEnv xcode(kXcodeVariable, std::nullopt);
  ScopedIdentifier id("com.example.tool");
  auto manager = VantrelErrorManager::create();
  EXPECT_EQ(manager->applicationIdentifier(), "com.example.tool");
  EXPECT_FALSE(manager->runningStartedFromXcode());
  for (const char* suffix : {"_fatal", "_info", "_warn"}) {
    SCOPED_TRACE(suffix);
    EXPECT_TRUE(fs::exists(logsFolder(tmp.path()) / (std::string("ErrorManager_com.example.tool") + suffix + ".log")));
  }
  manager->logWarn()->logLine("host line", false);  // the host may write to them itself
  ASSERT_TRUE(manager->logWarn()->flush());
  EXPECT_EQ(readFile(logsFolder(tmp.path()) / "ErrorManager_com.example.tool_warn.log"), "host line\n");
}

TEST(ErrorManagerTest, WithoutBundleOneRandomNumberForAllThree) {
  TemporaryDirectory tmp;
  ScopedEnv data("XDG_DATA_HOME", tmp.path().string());
  ScriptedRandomSource script({123456, 7});
  ScopedRandomSource use(script);
  auto manager = VantrelErrorManager::create();
  EXPECT_EQ(script.bounds(), std::vector<std::uint32_t>{1000000});
  EXPECT_EQ(manager->applicationIdentifier(), "no_bundle_identifier_123456");
  auto second = VantrelErrorManager::create();  // draws its own
  EXPECT_EQ(second->applicationIdentifier(), "no_bundle_identifier_7");
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(logsFolder(tmp.path()))) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{
                       "ErrorManager_no_bundle_identifier_123456_fatal.log",
                       "ErrorManager_no_bundle_identifier_123456_info.log",
                       "ErrorManager_no_bundle_identifier_123456_warn.log",
                       "ErrorManager_no_bundle_identifier_7_fatal.log",
                       "ErrorManager_no_bundle_identifier_7_info.log",
                       "ErrorManager_no_bundle_identifier_7_warn.log",
                   }));
}

TEST(ErrorManagerTest, FatalErrorOutsideTheDevelopmentEnvironmentLogsAndReturns) {
  TemporaryDirectory tmp;
  ScopedEnv data("XDG_DATA_HOME", tmp.path().string());
  ScopedEnv xcode(kXcodeVariable, std::nullopt);
  ScopedIdentifier id("com.example.fatal");
  auto manager = VantrelErrorManager::create();
  ScopedEnv late(kXcodeVariable, "set after creation");  // read once, at creation
  ConsoleCapture capture;
  manager->fatalError("Identifier not cell");
  manager->fatalError("second", true);
  // No flush by the test: the line is in the file when fatalError returns.
  const auto lines = readLines(logsFolder(tmp.path()) / "ErrorManager_com.example.fatal_fatal.log");
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_TRUE(testing::isLogDate(lines[0].substr(0, 23))) << lines[0];
  EXPECT_EQ(lines[0].substr(23), "FatalError: Identifier not cell");
  EXPECT_EQ(lines[1].substr(23), "FatalError: second");
  EXPECT_EQ(capture.standardOutput(), "");
}

void stopUnderDevelopmentEnvironment(const fs::path& dataHome) {
  ScopedEnv data("XDG_DATA_HOME", dataHome.string());
  ScopedEnv xcode(kXcodeVariable, "");  // empty still counts as present
  ScopedIdentifier id("com.example.death");
  auto manager = VantrelErrorManager::create();
  manager->logInfo()->logLine("queued before the stop");
  manager->fatalError("Identifier not cell");
}

TEST(ErrorManagerTest, FatalErrorUnderTheDevelopmentEnvironmentStopsAfterWritingTheLine) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const fs::path dataHome = testing::deathTestFolder("error-manager");
  EXPECT_DEATH(stopUnderDevelopmentEnvironment(dataHome), "Fatal error: Identifier not cell: file .*, line ");
  const auto fatalLines = readLines(logsFolder(dataHome) / "ErrorManager_com.example.death_fatal.log");
  ASSERT_EQ(fatalLines.size(), 1u);
  EXPECT_EQ(fatalLines[0].substr(23), "FatalError: Identifier not cell");
  const auto infoLines = readLines(logsFolder(dataHome) / "ErrorManager_com.example.death_info.log");
  ASSERT_EQ(infoLines.size(), 1u);
  EXPECT_EQ(infoLines[0].substr(23), "queued before the stop");
  fs::remove_all(dataHome);
}

TEST(ErrorManagerTest, InfoAndWarnPrintThePrefixAndLogTheBareMessage) {
  // The shared manager lives for the process: point its logs at a folder of
  // this test before its first use.
  static TemporaryDirectory shared;
  TemporaryDirectory* folder = &shared;
  {
    ScopedEnv data("XDG_DATA_HOME", folder->path().string());
    ScopedIdentifier id("com.example.shared");
    (void)VantrelErrorManager::si();
  }
  ASSERT_EQ(VantrelErrorManager::si()->applicationIdentifier(), "com.example.shared");
  ConsoleCapture capture;
  VtInfoLog("cache rebuilt");
  VtWarnLog("slow disk");
  EXPECT_EQ(capture.standardOutput(), "🌿🌿🌿 cache rebuilt\n🌳🌳🌳 slow disk\n");
  ASSERT_TRUE(VantrelErrorManager::si()->logInfo()->flush());
  ASSERT_TRUE(VantrelErrorManager::si()->logWarn()->flush());
  const auto info = readLines(logsFolder(folder->path()) / "ErrorManager_com.example.shared_info.log");
  const auto warn = readLines(logsFolder(folder->path()) / "ErrorManager_com.example.shared_warn.log");
  ASSERT_EQ(info.size(), 1u);
  ASSERT_EQ(warn.size(), 1u);
  EXPECT_EQ(info[0].substr(23), "cache rebuilt");
  EXPECT_EQ(warn[0].substr(23), "slow disk");
}

}  // namespace
}  // namespace vantrel
