#include "vantrel/drawing/color_values.h"

#include <cmath>
#include <string>
#include <unordered_set>

#include <gtest/gtest.h>

namespace vantrel {
namespace {

void expectRGBA(const Color::Ptr& color, RGBA want, double tolerance = 1e-12) {
  const RGBA got = rgba(color);
  EXPECT_NEAR(got.r, want.r, tolerance);
  EXPECT_NEAR(got.g, want.g, tolerance);
  EXPECT_NEAR(got.b, want.b, tolerance);
  EXPECT_NEAR(got.a, want.a, tolerance);
}

double hueDegrees(const Color::Ptr& color) { return hsba(color).h * 360; }

TEST(ColorValues, HeaderExample) {
  auto blue = colorWithR(47, 112, 225, 1.0);
  EXPECT_EQ(hexString(blue), "#2f70e1");
  EXPECT_EQ(*colorWithHex("#2F70E1"), *blue);
  EXPECT_EQ(colorScheme(blue, ColorScheme::triad).size(), 4u);
}

TEST(ColorValues, Factories) {
  expectRGBA(colorWithR(255, 128, 0, 0.5), {1, 128.0 / 255, 0, 0.5});
  expectRGBA(colorWithRgba({0.1, 0.2, 0.3, 0.4}), {0.1, 0.2, 0.3, 0.4});
  expectRGBA(colorWithRgb(0x123456), {0x12 / 255.0, 0x34 / 255.0, 0x56 / 255.0, 1});
  EXPECT_EQ(*colorWithRgb(0xFF00000000123456, 0.5), *colorWithRgb(0x123456, 0.5));  // high bits ignored
  expectRGBA(colorWithHsba({0, 1, 1, 0.5}), {1, 0, 0, 0.5});
  expectRGBA(colorWithCmyk({0, 0, 0, 0}), {1, 1, 1, 1});
  expectRGBA(colorWithCmyk({0, 0, 0, 1}), {0, 0, 0, 1});
  expectRGBA(colorWithCmyk({1, 0, 0, 0}), {0, 1, 1, 1});
  EXPECT_EQ(colorWithR(1, 2, 3, 1)->colorSpace(), ColorSpace::calibratedRGB);
}

TEST(ColorValues, CieLab) {
  EXPECT_EQ(rgba(colorWithCieLab({0, 0, 0, 1})), (RGBA{0, 0, 0, 1}));
  // Slightly above 1 and kept so: nothing is clamped.
  expectRGBA(colorWithCieLab({100, 0, 0, 0.5}), {1.000001, 1.000033, 0.999927, 0.5}, 1e-6);
  EXPECT_GT(rgba(colorWithCieLab({100, 0, 0, 1})).g, 1.0);
}

TEST(ColorValues, ParsingHexText) {
  struct Case {
    std::string_view text;
    RGBA want;
  };
  const Case cases[] = {
      {"#ff0000", {1, 0, 0, 1}},
      {"ff0000", {1, 0, 0, 1}},
      {"##ff0000", {1, 0, 0, 1}},
      {"ff#0000", {1, 0, 0, 1}},
      {"", {0, 0, 0, 1}},
      {"zz", {0, 0, 0, 1}},
      {"fff", {0, 15 / 255.0, 1, 1}},
      {"ff000080", {0, 0, 128 / 255.0, 1}},
      {"  0x00ff00", {0, 1, 0, 1}},
      {"\u00A0\n00ff00", {0, 1, 0, 1}},
      {"00FF00 trailing", {0, 1, 0, 1}},
      {"0xzz", {0, 0, 0, 1}},
      {"-ff0000", {0, 0, 0, 1}},
      {"ffffffffffffffffff", {1, 1, 1, 1}},  // beyond 64 bits: saturates
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    expectRGBA(colorWithHex(c.text), c.want);
  }
}

TEST(ColorValues, HexString) {
  EXPECT_EQ(hexString(colorWithR(255, 255, 255, 0.5)), "#ffffff");  // alpha never written
  EXPECT_EQ(hexString(Color::blackColor()), "#000000");
  for (int n = 0; n < 256; ++n) {
    SCOPED_TRACE(n);
    const auto grey = colorWithR(n, n, n, 1);
    const std::string text = hexString(grey);
    EXPECT_EQ(colorWithHex(text)->redComponent(), grey->redComponent());
  }
}

// Clamped to 0...255, so the text is always "#" and six digits and reads back
// as the nearest colour it can describe.
TEST(ColorValues, HexStringClampsOutOfRangeComponents) {
  struct Case {
    RGBA components;
    std::string want;
  };
  const Case cases[] = {
      {{1.2, 0.5, -0.5, 1}, "#ff7f00"},
      {{std::nan(""), 2, -1e300, 1}, "#00ff00"},
      {{std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(), 1, 1}, "#ff00ff"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.want);
    const std::string text = hexString(colorWithRgba(c.components));
    EXPECT_EQ(text, c.want);
    EXPECT_EQ(hexString(colorWithHex(text)), text);
  }
}

TEST(ColorValues, ToRGBAComponents) {
  EXPECT_EQ(toRGBAComponents(Color::blackColor()), (RGBA{0, 0, 0, 1}));
  EXPECT_EQ(toRGBAComponents(Color::whiteColor()), (RGBA{1, 1, 1, 1}));
  EXPECT_EQ(toRGBAComponents(Color::withWhite(0.5, 0.5)), (RGBA{0.5, 0.5, 0.5, 0.5}));
  EXPECT_EQ(toRGBAComponents(colorWithRgba({0.1, 0.2, 0.3, 0.4})), (RGBA{0.1, 0.2, 0.3, 0.4}));
}

TEST(ColorValues, Brightness) {
  const auto color = colorWithHsba({0.5, 0.5, 0.5, 0.7});
  EXPECT_EQ(lightenedColor(color, 0), color);  // the very object
  EXPECT_EQ(darkenedColor(color, 0), color);
  EXPECT_NEAR(hsba(lightenedColor(color, 0.2)).b, 0.6, 1e-12);
  EXPECT_NEAR(hsba(darkenedColor(color, 0.2)).b, 0.4, 1e-12);
  EXPECT_EQ(hsba(darkenedColor(color, 1)).b, 0);
  EXPECT_NEAR(hsba(lightenedColor(color, 0.2)).h, 0.5, 1e-12);
  EXPECT_EQ(hsba(lightenedColor(color, 0.2)).a, 0.7);
}

TEST(ColorValues, Contrast) {
  struct Case {
    const char* name;
    Color::Ptr color;
    const Color::Ptr& want;
  };
  const Case cases[] = {
      {"grey 0.5 (d exactly 0.5)", colorWithRgba({0.5, 0.5, 0.5, 1}), Color::whiteColor()},
      {"grey 128", colorWithR(128, 128, 128, 1), Color::blackColor()},
      {"yellow", colorWithRgba({1, 1, 0, 1}), Color::blackColor()},
      {"navy", colorWithRgba({0, 0, 0.5, 1}), Color::whiteColor()},
      {"black", Color::blackColor(), Color::whiteColor()},
      {"white", Color::whiteColor(), Color::blackColor()},
      {"nan", colorWithRgba({std::nan(""), 0, 0, 1}), Color::whiteColor()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(blackOrWhiteContrastingColor(c.color), c.want);  // the shared objects themselves
  }
}

TEST(ColorValues, ComplementaryColour) {
  EXPECT_NEAR(hsba(complementaryColor(colorWithHsba({0, 1, 1, 1}))).h, 0.5, 1e-12);
  EXPECT_NEAR(hsba(complementaryColor(colorWithHsba({0.75, 1, 1, 1}))).h, 0.25, 1e-12);  // 450 -> 90
  EXPECT_EQ(complementaryColor(Color::blackColor()), Color::whiteColor());
  EXPECT_EQ(complementaryColor(Color::whiteColor()), Color::blackColor());
}

TEST(ColorValues, Mixing) {
  EXPECT_EQ(rgba(mixedRGB(Color::whiteColor(), Color::blackColor(), 0.5)), (RGBA{0.5, 0.5, 0.5, 1}));
  const auto a = colorWithRgba({0.2, 0.4, 0.6, 1});
  const auto b = colorWithRgba({0.4, 0.4, 0.2, 0});
  expectRGBA(mixedRGB(a, b, 0), {0.2, 0.4, 0.6, 1});
  expectRGBA(mixedRGB(a, b, 1), {0.4, 0.4, 0.2, 0});
  expectRGBA(mixedRGB(a, b, 2), {0.6, 0.4, -0.2, -1});  // extrapolates
}

// A turn below 0 degrees wraps to 360 minus the amount: 10 - 30 is 340.
TEST(ColorValues, SchemesTurnTheHueAroundTheCircle) {
  const auto base = colorWithHsba({10.0 / 360, 0.5, 0.6, 0.8});
  const auto analagous = colorScheme(base, ColorScheme::analagous);
  const double wantHues[] = {40, 25, 355, 340};
  ASSERT_EQ(analagous.size(), 4u);
  for (std::size_t i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    EXPECT_NEAR(hueDegrees(analagous[i]), wantHues[i], 1e-9);
    EXPECT_EQ(analagous[i]->alphaComponent(), 0.8);
  }
  EXPECT_NEAR(hsba(analagous[0]).s, 0.45, 1e-12);
  EXPECT_NEAR(hsba(analagous[0]).b, 0.5, 1e-12);
  EXPECT_NEAR(hsba(analagous[1]).b, 0.55, 1e-12);
}

TEST(ColorValues, SchemeTables) {
  const HSBA in{100.0 / 360, 0.6, 0.9, 0.5};
  const auto base = colorWithHsba(in);
  struct Case {
    ColorScheme scheme;
    HSBA want[4];  // hue in degrees
  };
  const double s = in.s, b = in.b;
  const Case cases[] = {
      {ColorScheme::monochromatic, {{100, s * 0.5, b / 3, 0.5}, {100, s, b * 0.5, 0.5}, {100, s / 3, (b + b) / 3, 0.5}, {100, s, 4 * b / 5, 0.5}}},
      {ColorScheme::triad, {{220, 2 * s / 3, b - 0.05, 0.5}, {220, s, b, 0.5}, {340, s, b, 0.5}, {340, 2 * s / 3, b - 0.05, 0.5}}},
      {ColorScheme::complementary, {{100, s, 4 * b / 5, 0.5}, {100, 5 * s / 7, b, 0.5}, {280, s, b, 0.5}, {280, 5 * s / 7, b, 0.5}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.scheme.rawValue());
    const auto colors = colorScheme(base, c.scheme);
    ASSERT_EQ(colors.size(), 4u);
    for (std::size_t i = 0; i < 4; ++i) {
      SCOPED_TRACE(i);
      const HSBA got = hsba(colors[i]);
      EXPECT_NEAR(got.h * 360, c.want[i].h, 1e-9);
      EXPECT_NEAR(got.s, c.want[i].s, 1e-12);
      EXPECT_NEAR(got.b, c.want[i].b, 1e-12);
      EXPECT_EQ(got.a, c.want[i].a);
    }
  }
  // An unknown scheme value falls back to the analagous one.
  const auto fallback = colorScheme(base, static_cast<ColorScheme::Case>(9));
  EXPECT_NEAR(hueDegrees(fallback[0]), 130, 1e-9);
}

TEST(ColorValues, Enumerations) {
  EXPECT_EQ(ColorScheme::fromRawValue(4), std::nullopt);
  EXPECT_EQ(ColorScheme::fromRawValue(-1), std::nullopt);
  EXPECT_EQ(ColorScheme::fromRawValue(2), ColorScheme::triad);
  EXPECT_EQ(ColorComparison::fromRawValue(6), ColorComparison::blue);
  EXPECT_EQ(ColorComparison::fromRawValue(7), std::nullopt);
  EXPECT_EQ(ColorFormulation::fromRawValue(3), ColorFormulation::cmyk);
  EXPECT_EQ(ColorDistance::fromRawValue(3), std::nullopt);
  EXPECT_EQ(ColorDistance(ColorDistance::cie2000).rawValue(), 2);
  EXPECT_EQ(std::hash<ColorScheme>()(ColorScheme::complementary), std::hash<std::int64_t>()(3));
  const std::unordered_set<ColorFormulation> set{ColorFormulation::rgba, ColorFormulation::rgba, ColorFormulation::lab};
  EXPECT_EQ(set.size(), 2u);
}

TEST(ColorValues, NamedColor) {
  const NamedColor entry{"signal red", colorWithRgb(0xCC0000)};
  EXPECT_EQ(entry.name, "signal red");
  EXPECT_EQ(hexString(entry.color), "#cc0000");
}

TEST(ColorValuesDeathTest, NullColoursStop) {
  EXPECT_DEATH((void)hexString(nullptr), "rgba: the colour is null");
  EXPECT_DEATH((void)complementaryColor(nullptr), "complementaryColor: the colour is null");
}

}  // namespace
}  // namespace vantrel
