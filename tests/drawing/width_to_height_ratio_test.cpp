#include "vantrel/drawing/width_to_height_ratio.h"

#include <cmath>
#include <functional>
#include <string>

#include <gtest/gtest.h>

namespace vantrel {
namespace {

TEST(ImageAspectRatio, Descriptions) {
  struct Case {
    const char* name;
    VtImageAspectRatio ratio;
    VtImageAspect aspect;
    const char* expected;
  };
  const Case cases[] = {
      {"1920 x 1080", VtImageAspectRatio(Size(1920, 1080)), VtImageAspect::horizontal,
       "VtImageAspectRatio(1.778, horizontal)"},
      {"1080 x 1920", VtImageAspectRatio(Size(1080, 1920)), VtImageAspect::vertical,
       "VtImageAspectRatio(0.562, vertical)"},
      {"500 x 500", VtImageAspectRatio(Size(500, 500)), VtImageAspect::square, "VtImageAspectRatio(1.000, square)"},
      {"ratio -2", VtImageAspectRatio(-2.0), VtImageAspect::vertical, "VtImageAspectRatio(-2.000, vertical)"},
      {"0 x 0", VtImageAspectRatio(Size(0, 0)), VtImageAspect::horizontal, "VtImageAspectRatio(nan, horizontal)"},
      {"1 x 0", VtImageAspectRatio(Size(1, 0)), VtImageAspect::horizontal, "VtImageAspectRatio(inf, horizontal)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.ratio.aspect(), c.aspect);
    EXPECT_EQ(c.ratio.description(), c.expected);
  }
  EXPECT_TRUE(std::isnan(VtImageAspectRatio(Size(0, 0)).value()));
}

TEST(ImageAspectRatio, MadeUpSourceSizes) {
  EXPECT_EQ(VtImageAspectRatio(1.5).sourceSize(), Size(150, 100));
  EXPECT_EQ(VtImageAspectRatio(0.5).sourceSize(), Size(50, 100));
  EXPECT_EQ(VtImageAspectRatio(-2.0).sourceSize(), Size(100, -200));
  EXPECT_EQ(VtImageAspectRatio(Size(3, 4)).sourceSize(), Size(3, 4));
}

TEST(ImageAspectRatio, Conversions) {
  const VtImageAspectRatio r(1.5);
  EXPECT_EQ(r.widthForHeight(200), 300);
  EXPECT_EQ(r.heightForWidth(300), 200);
  EXPECT_EQ(r.valueAsCGFloat(), 1.5);
}

TEST(ImageAspectRatio, ComparesByValue) {
  const VtImageAspectRatio a(Size(200, 100)), b(Size(400, 200)), wide(Size(300, 100));
  EXPECT_EQ(a, b);
  EXPECT_EQ(std::hash<VtImageAspectRatio>{}(a), std::hash<VtImageAspectRatio>{}(b));
  EXPECT_TRUE(wide > a);
  EXPECT_TRUE(wide.moreHorizontalThan(a));
  EXPECT_FALSE(wide.moreVerticalThan(a));
  EXPECT_TRUE(a <= b);
  EXPECT_TRUE(a >= b);
  EXPECT_EQ(VtImageAspectRatio(0.0).hashValue(), VtImageAspectRatio(-0.0).hashValue());
}

}  // namespace
}  // namespace vantrel
