#include "vantrel/core/core_values.h"

#include <memory>
#include <numbers>
#include <string>
#include <type_traits>

#include <gtest/gtest.h>

namespace vantrel {
namespace {

TEST(CoreValues, LimitValue) {
  struct Case {
    int value, lower, upper, expected;
  };
  const Case cases[] = {{5, 1, 10, 5}, {0, 1, 10, 1}, {11, 1, 10, 10}, {5, 10, 3, 3}, {1, 1, 10, 1}, {10, 1, 10, 10}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.value << " in " << c.lower << "..." << c.upper);
    EXPECT_EQ(vtLimitValue(c.value, c.lower, c.upper), c.expected);
  }
  EXPECT_EQ(vtLimitValue(std::string("m"), "a", "k"), "k");
  EXPECT_DOUBLE_EQ(vtLimitValue(0.5, 1, 2), 1.0);
}

TEST(CoreValues, IfValueWithin) {
  struct Case {
    int lower, value, upper;
    bool expected;
  };
  const Case cases[] = {{1, 1, 10, true}, {1, 10, 10, true}, {1, 0, 10, false}, {10, 5, 1, false}, {1, 11, 10, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.value << " within " << c.lower << "..." << c.upper);
    EXPECT_EQ(vtIfValueWithin(c.lower, c.value, c.upper), c.expected);
  }
}

TEST(CoreValues, AnglesRoundTripExactly) {
  EXPECT_EQ(VtDEG2RAD(180), std::numbers::pi);
  EXPECT_EQ(VtRAD2DEG(std::numbers::pi), 180.0);
  EXPECT_EQ(asRadians(180.0), std::numbers::pi);
  EXPECT_EQ(asDegrees(std::numbers::pi), 180.0);

  // A float stays a float: computed in floats, not rounded from doubles.
  static_assert(std::is_same_v<decltype(asRadians(180.0f)), float>);
  static_assert(std::is_same_v<decltype(asDegrees(1.0f)), float>);
  const float degrees = 33.3f;
  EXPECT_EQ(asRadians(degrees), degrees * std::numbers::pi_v<float> / 180.0f);
  EXPECT_EQ(asRadians(180.0f), std::numbers::pi_v<float>);
}

TEST(CoreValues, Constants) {
  EXPECT_EQ(VtDefaultCellIdentifier, "id");
  EXPECT_EQ(VtDefaultCellIdentifier2, "id2");
  EXPECT_EQ(VtDefaultCellIdentifier, VtDefaultAnnotationIdentifier);
  EXPECT_EQ(VtDefaultCellIdentifier2, VtDefaultAnnotationIdentifier2);
  EXPECT_EQ(VT_DEFAULT_JPEG_COMPRESSION, 0.85);
  EXPECT_TRUE(VantrelCommonBundleIdentifier.ends_with(".Vantrel"));
  EXPECT_EQ(LoremIpsum.size(), 1368u);
  EXPECT_TRUE(LoremIpsum.starts_with("Lorem ipsum dolor sit amet, consectetuer adipiscing elit."));
  EXPECT_TRUE(LoremIpsum.ends_with("Sed consequat, leo eget bibendum sodales, augue velit cursus nunc."));
  EXPECT_EQ(LoremIpsum.find('\n'), std::string_view::npos);
}

TEST(CoreValues, Holders) {
  const Pair<int> pair(1, 2);
  EXPECT_EQ(pair.a(), 1);
  EXPECT_EQ(pair.b(), 2);
  const NamedThingy<double> thingy(2.5, "half");
  EXPECT_EQ(thingy.name(), "half");
  EXPECT_EQ(thingy.thingy(), 2.5);

  auto shared = std::make_shared<SimpleStructWrapper<std::string>>("v");
  std::weak_ptr<SimpleStructWrapper<std::string>> watch = shared;
  auto other = shared;
  shared.reset();
  EXPECT_EQ(other->value(), "v");
  other.reset();
  EXPECT_TRUE(watch.expired());
  qignore(pair);
}

}  // namespace
}  // namespace vantrel
