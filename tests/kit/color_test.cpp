#include "vantrel/core/color.h"

#include <vector>

#include <gtest/gtest.h>

#include "vantrel/core/describe.h"

namespace vantrel {
namespace {

std::vector<double> componentsOf(const Color::Ptr& c) { return {c->components().begin(), c->components().end()}; }

TEST(Color, HeaderExample) {
  auto red = Color::withRed(1, 0, 0, 1);
  EXPECT_EQ(red->colorSpace(), ColorSpace::calibratedRGB);
  EXPECT_EQ(red->hueComponent(), 0.0);
  EXPECT_TRUE(*red == *Color::withRed(1, 0, 0, 1));
  EXPECT_EQ(Color::withWhite(0.5, 1)->colorSpace(), ColorSpace::calibratedWhite);
  EXPECT_EQ(Color::withHue(0.55, 0.4, 1, 1)->colorSpace(), ColorSpace::calibratedRGB);
}

TEST(Color, ComponentsAreKeptAsGiven) {
  EXPECT_EQ(componentsOf(Color::withRed(1.2, -0.1, 0.5, 0.25)), (std::vector<double>{1.2, -0.1, 0.5, 0.25}));
  EXPECT_EQ(componentsOf(Color::withDeviceRed(0.1, 0.2, 0.3, 0.4)), (std::vector<double>{0.1, 0.2, 0.3, 0.4}));
  EXPECT_EQ(Color::withDeviceRed(0.1, 0.2, 0.3, 0.4)->colorSpace(), ColorSpace::deviceRGB);
  EXPECT_EQ(componentsOf(Color::withWhite(0.3, 0.9)), (std::vector<double>{0.3, 0.9}));
}

TEST(Color, WhiteColoursAnswerEveryRead) {
  auto grey = Color::withWhite(0.3, 0.9);
  EXPECT_EQ(grey->redComponent(), 0.3);
  EXPECT_EQ(grey->greenComponent(), 0.3);
  EXPECT_EQ(grey->blueComponent(), 0.3);
  EXPECT_EQ(grey->alphaComponent(), 0.9);
  EXPECT_EQ(grey->hueComponent(), 0.0);
  EXPECT_EQ(grey->saturationComponent(), 0.0);
  EXPECT_EQ(grey->brightnessComponent(), 0.3);
}

TEST(Color, EqualityIsOnSpaceAndComponents) {
  struct Case {
    const char* name;
    Color::Ptr a, b;
    bool equal;
  };
  const Case cases[] = {
      {"same RGB", Color::withRed(0.1, 0.2, 0.3, 1), Color::withRed(0.1, 0.2, 0.3, 1), true},
      {"other alpha", Color::withRed(0.1, 0.2, 0.3, 1), Color::withRed(0.1, 0.2, 0.3, 0.5), false},
      {"other space", Color::withRed(0.1, 0.2, 0.3, 1), Color::withDeviceRed(0.1, 0.2, 0.3, 1), false},
      {"black in two spaces", Color::withRed(0, 0, 0, 1), Color::blackColor(), false},
      {"black", Color::withWhite(0, 1), Color::blackColor(), true},
      {"white", Color::withWhite(1, 1), Color::whiteColor(), true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(*c.a == *c.b, c.equal);
  }
  EXPECT_EQ(Color::blackColor(), Color::blackColor());  // one shared object
}

TEST(Color, HueSaturationBrightnessToRGB) {
  struct Case {
    double h, s, b;
    double red, green, blue;
  };
  const Case cases[] = {
      {0, 1, 1, 1, 0, 0},           {1.0 / 3, 1, 1, 0, 1, 0},  {2.0 / 3, 1, 1, 0, 0, 1},
      {0.5, 0.5, 1, 0.5, 1, 1},     {1.0, 1, 1, 1, 0, 0},      {-0.25, 1, 1, 0.5, 0, 1},
      {30.0 / 360, 1, 1, 1, 0.5, 0}, {0.3, 0, 0.4, 0.4, 0.4, 0.4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.h << " " << c.s << " " << c.b);
    auto color = Color::withHue(c.h, c.s, c.b, 0.5);
    EXPECT_NEAR(color->redComponent(), c.red, 1e-12);
    EXPECT_NEAR(color->greenComponent(), c.green, 1e-12);
    EXPECT_NEAR(color->blueComponent(), c.blue, 1e-12);
    EXPECT_EQ(color->alphaComponent(), 0.5);
  }
}

TEST(Color, RGBToHueSaturationBrightness) {
  struct Case {
    double red, green, blue;
    double h, s, b;
  };
  const Case cases[] = {
      {1, 0.5, 0, 30.0 / 360, 1, 1},
      {0, 0, 1, 240.0 / 360, 1, 1},
      {1, 0, 0.5, 330.0 / 360, 1, 1},
      {0.5, 0.5, 0.5, 0, 0, 0.5},
      {0, 0, 0, 0, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.red << " " << c.green << " " << c.blue);
    auto color = Color::withRed(c.red, c.green, c.blue, 1);
    EXPECT_NEAR(color->hueComponent(), c.h, 1e-12);
    EXPECT_NEAR(color->saturationComponent(), c.s, 1e-12);
    EXPECT_NEAR(color->brightnessComponent(), c.b, 1e-12);
  }
}

TEST(Color, Description) {
  EXPECT_EQ(describe(*Color::withRed(1, 0, 0.5, 1)), "Color(calibratedRGB: 1.0, 0.0, 0.5, 1.0)");
  EXPECT_EQ(Color::blackColor()->description(), "Color(calibratedWhite: 0.0, 1.0)");
}

}  // namespace
}  // namespace vantrel
