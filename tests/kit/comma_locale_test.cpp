// Geometry texts are written and read with a decimal point whatever the
// process locale is.
#include <cstdio>

#include <gtest/gtest.h>

#include "tests/support/comma_locale.h"
#include "vantrel/core/geometry.h"

namespace vantrel {
namespace {

TEST(CommaDecimalLocale, GeometryTextsKeepTheDecimalPoint) {
  testing::ScopedCommaDecimalLocale locale;
  ASSERT_TRUE(locale.active());
  char probe[8];
  std::snprintf(probe, sizeof probe, "%.1f", 0.5);
  ASSERT_STREQ(probe, "0,5");  // the locale is really in force

  const Rect frame(0.5, -1.25, 1.0 / 3, 2e-7);
  EXPECT_EQ(frame.toString(), "{{0.5, -1.25}, {0.3333333333333333, 2e-07}}");
  EXPECT_EQ(Rect::fromString(frame.toString()), frame);
  EXPECT_EQ(frame.description(), "(0.5, -1.25, 0.333333333333333, 2e-07)");
  EXPECT_EQ(Point::fromString(Point(0.25, 1e300).toString()), Point(0.25, 1e300));
  EXPECT_EQ(Size::fromString(Size(2.5, 3).toString()), Size(2.5, 3));
  EXPECT_EQ(AffineTransform(1.5, 0, 0, 1, 0.25, -0.5).description(), "(1.5, 0.0, 0.0, 1.0, 0.25, -0.5)");

  EXPECT_EQ(coordinateText(0.25), "0.25");
  EXPECT_EQ(coordinateFromText("0.25"), 0.25);
  EXPECT_EQ(coordinateFromText("0,25"), std::nullopt);  // the locale's form is not a number here
  EXPECT_EQ(Point::fromString("{0,5, 1}"), std::nullopt);
}

}  // namespace
}  // namespace vantrel
