#include "vantrel/foundation/process/process_info.h"

#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "files_test_support.h"

namespace vantrel {
namespace {

using testing::ScopedEnv;

constexpr const char* kVariable = "VANTREL_TEST_DEVELOP_SWITCH";

struct EnvironmentCase {
  std::optional<std::string> value;
  bool flag;
};

TEST(ProcessInfoTest, FlagIsTrueOnlyForTheExactWordAndStringKeepsTheValue) {
  const EnvironmentCase cases[] = {
      {"true", true}, {"TRUE", false}, {"1", false}, {"", false}, {"yes", false}, {std::nullopt, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.value.value_or("<unset>"));
    ScopedEnv env(kVariable, c.value);
    EXPECT_EQ(ProcessInfo::developFlag(kVariable), c.flag);
    EXPECT_EQ(ProcessInfo::developString(kVariable), c.value);
  }
}

TEST(ProcessInfoTest, PresenceQueriesIgnoreTheValue) {
  {
    ScopedEnv sandbox("APP_SANDBOX_CONTAINER_ID", "");
    ScopedEnv xcode("__XCODE_BUILT_PRODUCTS_DIR_PATHS", "");
    EXPECT_TRUE(isSandboxed());
    EXPECT_TRUE(ProcessInfo::runningWithinXcode());
  }
  ScopedEnv sandbox("APP_SANDBOX_CONTAINER_ID", std::nullopt);
  ScopedEnv xcode("__XCODE_BUILT_PRODUCTS_DIR_PATHS", std::nullopt);
  EXPECT_FALSE(isSandboxed());
  EXPECT_FALSE(ProcessInfo::runningWithinXcode());
  EXPECT_FALSE(ProcessInfo::runningOnMacOS());
}

TEST(ProcessInfoTest, EveryCallReadsTheEnvironmentAgain) {
  ScopedEnv env(kVariable, "true");
  EXPECT_TRUE(ProcessInfo::developFlag(kVariable));
  ::setenv(kVariable, "false", 1);
  EXPECT_FALSE(ProcessInfo::developFlag(kVariable));
}

// The device name comes from its own variable, not from the host home.
TEST(ProcessInfoTest, SimulatorQueriesReadTheirOwnVariables) {
  ScopedEnv home("SIMULATOR_HOST_HOME", "/Users/dev");
  ScopedEnv device("SIMULATOR_DEVICE_NAME", "Pixel Tablet");
  EXPECT_EQ(ProcessInfo::develop_SIMULATOR_HOST_HOME(), "/Users/dev");
  EXPECT_EQ(ProcessInfo::develop_SIMULATOR_DEVICE_NAME(), "Pixel Tablet");
  const URL url = ProcessInfo::develop_SIMULATOR_HOST_HOME_URL();
  EXPECT_EQ(url.path(), "/Users/dev");
  EXPECT_TRUE(url.hasDirectoryPath());
}

TEST(ProcessInfoDeathTest, SimulatorQueriesStopWithTheirOwnMessages) {
  ScopedEnv home("SIMULATOR_HOST_HOME", std::nullopt);
  ScopedEnv device("SIMULATOR_DEVICE_NAME", std::nullopt);
  EXPECT_DEATH((void)ProcessInfo::develop_SIMULATOR_HOST_HOME(),
               "Fatal error: You are not allowed to call develop_SIMULATOR_HOST_HOME\\(\\) on a device\\.: file ");
  EXPECT_DEATH((void)ProcessInfo::develop_SIMULATOR_HOST_HOME_URL(),
               "Fatal error: You are not allowed to call develop_SIMULATOR_HOST_HOME\\(\\) on a device\\.: file ");
  EXPECT_DEATH((void)ProcessInfo::develop_SIMULATOR_DEVICE_NAME(),
               "Fatal error: You are not allowed to call develop_SIMULATOR_DEVICE_NAME\\(\\) on a device\\.: file ");
}

// A host home alone does not answer the device name.
TEST(ProcessInfoDeathTest, DeviceNameStopsWhenOnlyTheHostHomeIsSet) {
  ScopedEnv home("SIMULATOR_HOST_HOME", "/Users/dev");
  ScopedEnv device("SIMULATOR_DEVICE_NAME", std::nullopt);
  EXPECT_DEATH((void)ProcessInfo::develop_SIMULATOR_DEVICE_NAME(),
               "You are not allowed to call develop_SIMULATOR_DEVICE_NAME\\(\\) on a device\\.");
}

}  // namespace
}  // namespace vantrel
