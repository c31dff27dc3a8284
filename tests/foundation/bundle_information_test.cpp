#include "vantrel/foundation/bundles/bundle_information.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/foundation/files_test_support.h"
#include "tests/support/fixtures.h"
#include "vantrel/core/core_values.h"
#include "vantrel/platform/foundation/bundles/main_bundle.h"

namespace vantrel {
namespace {

using testing::TemporaryDirectory;

TEST(BundleInformation, VersionsAndBuildNumbers) {
  struct Row {
    const char* info;
    std::optional<std::string> version;
    std::optional<std::int64_t> build;
    std::optional<std::string> combined;
  };
  const std::vector<Row> rows = {
      {R"({"CFBundleShortVersionString": "2.1", "CFBundleVersion": "17"})", "2.1", 17, "2.1 (Build 17)"},
      {R"({"CFBundleShortVersionString": "2.1", "CFBundleVersion": "0042"})", "2.1", 42, "2.1 (Build 42)"},
      {R"({"CFBundleShortVersionString": "2.1", "CFBundleVersion": "1.2.3"})", "2.1", std::nullopt, std::nullopt},
      {R"({"CFBundleShortVersionString": "2.1", "CFBundleVersion": "99999999999999999999"})", "2.1", std::nullopt,
       std::nullopt},
      {R"({"CFBundleShortVersionString": 2, "CFBundleVersion": 17})", std::nullopt, std::nullopt, std::nullopt},
      {R"({})", std::nullopt, std::nullopt, std::nullopt},
      {R"(not json)", std::nullopt, std::nullopt, std::nullopt},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.info);
    TemporaryDirectory temp;
    testing::writeFile(temp.path() / "Info.json", row.info);
    auto bundle = Bundle::bundleWithPath(temp.path().string());
    EXPECT_EQ(cfBundleShortVersionString(*bundle), row.version);
    EXPECT_EQ(vtVersion(*bundle), row.version);
    EXPECT_EQ(vtCfBundleShortVersionString(*bundle), row.version);
    EXPECT_EQ(cfBundleVersion(*bundle), row.build);
    EXPECT_EQ(vtBuildNumber(*bundle), row.build);
    EXPECT_EQ(vtCfBundleVersion(*bundle), row.build);
    EXPECT_EQ(cfBundleShortVersionStringAndBundleVersionString(*bundle), row.combined);
  }
  TemporaryDirectory bare;
  EXPECT_EQ(cfBundleShortVersionString(*Bundle::bundleWithPath(bare.path().string())), std::nullopt);
}

TEST(BundleInformation, IdentifiersResourcesAndLookup) {
  TemporaryDirectory temp;
  testing::writeFile(temp.path() / "Info.json", R"({"CFBundleIdentifier": "org.example.plugin"})");
  testing::writeFile(temp.path() / "icon.png", "png");
  auto bundle = Bundle::bundleWithPath(temp.path().string());
  EXPECT_EQ(vtBundleIdentifier(*bundle), "org.example.plugin");
  EXPECT_EQ(vtPathForResource(*bundle, "icon.png"), (temp.path() / "icon.png").string());
  EXPECT_EQ(vtPathForResource(*bundle, "missing.png"), std::nullopt);

  EXPECT_EQ(bundleWithIdentifier("org.example.unknown"), nullptr);
  registerBundle("org.example.plugin", bundle);
  EXPECT_EQ(bundleWithIdentifier("org.example.plugin"), bundle);

  auto own = vantrelBundle();
  ASSERT_NE(own, nullptr);
  EXPECT_EQ(bundleWithIdentifier(VantrelCommonBundleIdentifier), own);
  EXPECT_EQ(vtBundleIdentifier(*own), std::string(VantrelCommonBundleIdentifier));
  EXPECT_EQ(VantrelCommonBundleIdentifier, std::string(VantrelReverseDnsPrefix) + ".Vantrel");

  registerMainBundleIdentifier("org.example.main");
  EXPECT_EQ(bundleWithIdentifier("org.example.main"), Bundle::main());
  registerMainBundleIdentifier(std::nullopt);
  EXPECT_EQ(UTI::url(), "public.url");
}

TEST(BundleInformation, NumberTests) {
  struct Row {
    const char* name;
    JsonNumber number;
    bool isBool, isBool2, isBool3;
  };
  const std::vector<Row> rows = {
      {"true", JsonNumber::fromBool(true), true, true, true},
      {"false", JsonNumber::fromBool(false), true, true, true},
      {"8-bit character", JsonNumber::fromChar('a'), true, false, true},
      {"8-bit character 0", JsonNumber::fromChar('\0'), true, false, true},
      {"8-bit character 1", JsonNumber::fromChar('\1'), true, false, true},
      {"8-bit character -1", JsonNumber::fromChar('\xff'), true, false, true},
      {"char as an integer", JsonNumber::fromInt(char{'a'}), false, false, false},
      {"int64", JsonNumber::fromInt(1), false, false, false},
      {"uint64", JsonNumber::fromUInt(1), false, false, false},
      {"double", JsonNumber::fromDouble(0.0), false, false, false},
      {"decimal", JsonNumber::fromDecimalText("1e400"), false, false, false},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(vtIsBool(row.number), row.isBool) << row.name;
    EXPECT_EQ(vtIsBool2(row.number), row.isBool2) << row.name;
    EXPECT_EQ(vtIsBool3Bool(row.number), row.isBool3) << row.name;
  }
}

// A character is the integer it holds in every other respect.
TEST(BundleInformation, CharacterNumbersAreSmallIntegers) {
  const JsonNumber a = JsonNumber::fromChar('a');
  const JsonNumber minusOne = JsonNumber::fromChar('\xff');
  EXPECT_EQ(a.kind(), JsonNumber::Kind::character);
  EXPECT_FALSE(a.isBool());
  EXPECT_EQ(a.stringValue(), "97");
  EXPECT_EQ(minusOne.stringValue(), "-1");
  std::string written;
  minusOne.appendStringValue(written);
  a.appendStringValue(written);
  EXPECT_EQ(written, "-197");
  EXPECT_EQ(a.doubleValue(), 97.0);
  EXPECT_TRUE(a.boolValue());
  EXPECT_FALSE(JsonNumber::fromChar('\0').boolValue());
  EXPECT_EQ(a.exactly<std::int8_t>(), std::int8_t{97});
  EXPECT_EQ(minusOne.exactly<std::uint8_t>(), std::nullopt);
  EXPECT_EQ(a, JsonNumber::fromInt(97));
  EXPECT_EQ(a, JsonNumber::fromUInt(97));
  EXPECT_EQ(a, JsonNumber::fromDouble(97.0));
  EXPECT_NE(JsonNumber::fromChar('\1'), JsonNumber::fromBool(true));
  EXPECT_EQ(minusOne.compare(JsonNumber::fromUInt(0)), std::partial_ordering::less);
  EXPECT_EQ(JsonNumber::fromUInt(200).compare(minusOne), std::partial_ordering::greater);
  EXPECT_EQ(a.compare(JsonNumber::fromInt(98)), std::partial_ordering::less);
  EXPECT_EQ(a.compare(JsonNumber::fromChar('a')), std::partial_ordering::equivalent);
}

}  // namespace
}  // namespace vantrel
