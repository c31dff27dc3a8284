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
    bool isBool;
  };
  const std::vector<Row> rows = {
      {"true", JsonNumber::fromBool(true), true},
      {"false", JsonNumber::fromBool(false), true},
      {"char", JsonNumber::fromInt(char{'a'}), false},
      {"int64", JsonNumber::fromInt(1), false},
      {"double", JsonNumber::fromDouble(0.0), false},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(vtIsBool(row.number), row.isBool) << row.name;
    EXPECT_EQ(vtIsBool2(row.number), row.isBool) << row.name;
    EXPECT_EQ(vtIsBool3Bool(row.number), row.isBool) << row.name;
  }
}

}  // namespace
}  // namespace vantrel
