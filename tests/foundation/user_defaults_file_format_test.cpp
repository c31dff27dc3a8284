// Files written by earlier versions of the store read the same, and the
// store writes them back byte for byte.
#include <chrono>
#include <cmath>
#include <string>

#include "tests/foundation/localization_test_support.h"
#include "vantrel/platform/foundation/defaults/user_defaults.h"
#include "vantrel/core/console.h"

namespace vantrel {
namespace {

using testing::readWholeFile;
using testing::TemporaryDirectory;
using testing::writeWholeFile;

constexpr std::string_view kEarlierFile =
    R"({"arr":{"type":"array","value":[{"type":"string","value":"a\n\u0001"},{"type":"integer","value":-1}]},)"
    R"("data":{"type":"data","value":"AAEC/w=="},"date":{"type":"date","value":1700000000123456000},)"
    R"("dict":{"type":"dictionary","value":{"k":{"type":"bool","value":false}}},)"
    R"("inf":{"type":"double","value":"-inf"},"small":{"type":"double","value":1e-05},)"
    R"("whole":{"type":"double","value":2.0}})";

TEST(UserDefaultsFileFormatTest, EarlierFilesReadAndWriteBackUnchanged) {
  TemporaryDirectory temp;
  ScopedUserDefaultsDirectory scope(temp.path().string());
  writeWholeFile(temp.path() / "old.json", std::string(kEarlierFile) + "\n");
  auto defaults = UserDefaults::create("old");
  EXPECT_EQ(defaults->doubleForKey("whole"), 2.0);
  EXPECT_EQ(defaults->object("whole"), DefaultsValue(2.0));
  EXPECT_EQ(defaults->doubleForKey("small"), 1e-05);
  EXPECT_EQ(defaults->doubleForKey("inf"), -INFINITY);
  EXPECT_EQ(defaults->dataForKey("data"), (DefaultsValue::Data{0, 1, 2, 255}));
  EXPECT_EQ(defaults->dateForKey("date"),
            DefaultsValue::Date(std::chrono::seconds(1'700'000'000) + std::chrono::microseconds(123456)));
  EXPECT_EQ(defaults->object("arr"), DefaultsValue(DefaultsValue::Array{"a\n\x01", -1}));
  EXPECT_EQ(defaults->object("dict"), DefaultsValue(DefaultsValue::Dictionary{{"k", false}}));

  EXPECT_TRUE(defaults->set("more", 1));
  EXPECT_TRUE(defaults->synchronize());
  std::string expected(kEarlierFile);
  expected.insert(expected.find(R"("small")"), R"("more":{"type":"integer","value":1},)");
  EXPECT_EQ(readWholeFile(temp.path() / "old.json"), expected + "\n");
}

TEST(UserDefaultsFileFormatTest, ValuesTooDeepToReadBackAreRefused) {
  TemporaryDirectory temp;
  ScopedUserDefaultsDirectory scope(temp.path().string());
  auto defaults = UserDefaults::create("deep");
  DefaultsValue value(1);
  for (int i = 0; i < 200; ++i) value = DefaultsValue(DefaultsValue::Array{value});
  EXPECT_TRUE(defaults->set("ok", value));
  value = DefaultsValue(DefaultsValue::Array{value});
  ConsoleCapture capture;
  EXPECT_FALSE(defaults->set("deep", value));
  EXPECT_NE(capture.standardOutput().find("User defaults value for \"deep\" nested deeper than 200 levels; not stored"),
            std::string::npos);
  EXPECT_FALSE(defaults->object("deep"));
  EXPECT_TRUE(defaults->synchronize());
  EXPECT_EQ(UserDefaults::create("deep")->object("ok"), defaults->object("ok"));
}

}  // namespace
}  // namespace vantrel
