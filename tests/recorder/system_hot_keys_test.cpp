#include "vantrel/shortcuts/recorder/system_hot_keys.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

TEST(SystemHotKeys, InstalledProviderAnswersUntilRemoved) {
  const SystemHotKeys stand_in{0, std::vector<SystemHotKeyEntry>{{96, 256, true}}};
  SystemHotKeyProvider previous = setSystemHotKeyProvider([&] { return stand_in; });
  EXPECT_EQ(copySystemHotKeys().entries, stand_in.entries);
  setSystemHotKeyProvider(std::move(previous));
  EXPECT_EQ(copySystemHotKeys().entries, defaultSystemHotKeys().entries);
}

}  // namespace
}  // namespace vantrel
