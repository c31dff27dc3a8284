#include "vantrel/core/geometry.h"

#include <clocale>
#include <cmath>
#include <limits>
#include <numbers>
#include <string>

#include <gtest/gtest.h>

#include "tests/support/comma_locale.h"

namespace vantrel {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

TEST(Geometry, HeaderExample) {
  const Rect frame(10, 20, 100, 50);
  EXPECT_EQ(frame.maxX(), 110.0);
  EXPECT_EQ(Rect::fromString(frame.toString()), frame);
  EXPECT_EQ(AffineTransform::makeTranslation(5, 0).apply(Point(1, 1)), Point(6, 1));
}

TEST(Geometry, CoordinateText) {
  struct Case {
    double value;
    std::string want;
  };
  const Case cases[] = {
      {222, "222.0"},
      {0.5, "0.5"},
      {1.0 / 3, "0.333333333333333"},
      {1e20, "1e+20"},
      {1e-5, "1e-05"},
      {-2, "-2.0"},
      {123456789012345678.0, "1.23456789012346e+17"},
      {kInf, "inf"},
      {-kInf, "-inf"},
      {std::nan(""), "nan"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.want);
    EXPECT_EQ(coordinateText(c.value), c.want);
  }
}

TEST(Geometry, CoordinateFromTextAccepts) {
  struct Case {
    std::string_view text;
    double want;
  };
  const Case cases[] = {
      {"1", 1}, {"-2", -2}, {"+3", 3}, {"1e3", 1000}, {"0x10", 16}, {".5", 0.5},
      {"0.1", 0.1}, {"inf", kInf}, {"-infinity", -kInf}, {"1e-400", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(coordinateFromText(c.text), c.want);
  }
  const auto nan = coordinateFromText("nan");
  ASSERT_TRUE(nan.has_value());
  EXPECT_TRUE(std::isnan(*nan));
}

TEST(Geometry, CoordinateFromTextRefuses) {
  const std::string_view cases[] = {
      "", " 1", "1 ", "1\n", "1,5", "1e999", "-1e999", "abc", "0x", "1.2.3", "\u0661",
      std::string_view("1\0", 2),
  };
  for (std::string_view text : cases) {
    SCOPED_TRACE(text);
    EXPECT_EQ(coordinateFromText(text), std::nullopt);
  }
}

TEST(Geometry, CoordinateFromTextIgnoresTheProcessLocale) {
  testing::ScopedCommaDecimalLocale comma;
  ASSERT_TRUE(comma.active());
  EXPECT_EQ(coordinateFromText("0.5"), 0.5);
  EXPECT_EQ(coordinateFromText("0,5"), std::nullopt);
  EXPECT_EQ(coordinateText(0.5), "0.5");
  EXPECT_EQ(Point(1.5, -2).toString(), "{1.5, -2.0}");
  EXPECT_EQ(Point::fromString("{1.5, -2.25}"), Point(1.5, -2.25));
}

// Written and read back, every value is unchanged: shortest round-trip digits
// are written and read at double precision.
TEST(Geometry, ExchangeFormsRoundTrip) {
  const double values[] = {0, -0.0, 0.1, 1.0 / 3, 1e300, 5e-324, -123.456,
                           std::numeric_limits<double>::max(), kInf, -kInf};
  for (double a : values) {
    for (double b : values) {
      SCOPED_TRACE(Point(a, b).toString());
      const auto point = Point::fromString(Point(a, b).toString());
      ASSERT_TRUE(point.has_value());
      EXPECT_EQ(std::signbit(point->x), std::signbit(a));
      EXPECT_EQ(*point, Point(a, b));
      EXPECT_EQ(Size::fromString(Size(a, b).toString()), Size(a, b));
      EXPECT_EQ(Rect::fromString(Rect(a, b, b, a).toString()), Rect(a, b, b, a));
    }
  }
  const auto nanPoint = Point::fromString(Point(std::nan(""), 1).toString());
  ASSERT_TRUE(nanPoint.has_value());
  EXPECT_TRUE(std::isnan(nanPoint->x));
}

TEST(Geometry, ExchangeForms) {
  EXPECT_EQ(Point(1.5, -2).toString(), "{1.5, -2.0}");
  EXPECT_EQ(Size(3, 4).toString(), "{3.0, 4.0}");
  EXPECT_EQ(Rect(1, 2, 3, 4).toString(), "{{1.0, 2.0}, {3.0, 4.0}}");
  EXPECT_EQ(Point::fromString("{1,2}"), Point(1, 2));
  EXPECT_EQ(Rect::fromString("{{1,2},{3,4}}"), Rect(1, 2, 3, 4));

  const std::string_view badPoints[] = {"", "{1, 2", "1, 2}", "{1 2}", "{1, 2, 3}", "{1, 2}}",
                                        "{1, 2} x", "{1,}", "{,2}", "(1, 2)", "{1,\t2}"};
  for (std::string_view text : badPoints) {
    SCOPED_TRACE(text);
    EXPECT_EQ(Point::fromString(text), std::nullopt);
    EXPECT_EQ(Size::fromString(text), std::nullopt);
  }
  const std::string_view badRects[] = {"{1, 2, 3, 4}", "{{1, 2}, {3, 4}", "{{1, 2} {3, 4}}",
                                       "{{1, 2}, {3, 4}} x", "{{1, 2}, {3}}"};
  for (std::string_view text : badRects) {
    SCOPED_TRACE(text);
    EXPECT_EQ(Rect::fromString(text), std::nullopt);
  }
}

TEST(Geometry, Descriptions) {
  EXPECT_EQ(Point(20, 0.5).description(), "(20.0, 0.5)");
  EXPECT_EQ(Size(1, 2).description(), "(1.0, 2.0)");
  EXPECT_EQ(Rect(20, 20, 100, 32).description(), "(20.0, 20.0, 100.0, 32.0)");
  EXPECT_EQ(Vector(1, -1).description(), "(1.0, -1.0)");
  EXPECT_EQ(EdgeInsets(1, 2, 3, 4).description(), "(1.0, 2.0, 3.0, 4.0)");
  EXPECT_EQ(AffineTransform().description(), "(1.0, 0.0, 0.0, 1.0, 0.0, 0.0)");
}

TEST(Geometry, RectEdgesOfNegativeSizes) {
  const Rect r(10, 10, -4, -6);
  EXPECT_EQ(r.minX(), 6);
  EXPECT_EQ(r.maxX(), 10);
  EXPECT_EQ(r.midX(), 8);
  EXPECT_EQ(r.minY(), 4);
  EXPECT_EQ(r.maxY(), 10);
  EXPECT_EQ(r.width(), 4);
  EXPECT_EQ(r.height(), 6);
}

TEST(Geometry, ValueConstructors) {
  EXPECT_EQ(Size(5.0), Size(5, 5));
  EXPECT_EQ(EdgeInsets(2.0), EdgeInsets(2, 2, 2, 2));
  EXPECT_EQ(Vector(Point(3, 4)), Vector(3, 4));
  EXPECT_EQ(Rect(Point(1, 2), Size(3, 4)), Rect(1, 2, 3, 4));
  EXPECT_NE(Point(std::nan(""), 0), Point(std::nan(""), 0));
}

TEST(Geometry, AffineTransforms) {
  EXPECT_TRUE(AffineTransform::identity().isIdentity());
  EXPECT_EQ(AffineTransform::makeScale(2, 3).apply(Point(1, 1)), Point(2, 3));

  const Point turned = AffineTransform::makeRotation(std::numbers::pi / 2).apply(Point(1, 0));
  EXPECT_NEAR(turned.x, 0, 1e-15);
  EXPECT_NEAR(turned.y, 1, 1e-15);

  // Scale first, then translate: (1, 1) -> (2, 2) -> (12, 2).
  const auto scaleThenMove = AffineTransform::makeScale(2, 2).concatenating(AffineTransform::makeTranslation(10, 0));
  EXPECT_EQ(scaleThenMove.apply(Point(1, 1)), Point(12, 2));
  const auto moveThenScale = AffineTransform::makeTranslation(10, 0).concatenating(AffineTransform::makeScale(2, 2));
  EXPECT_EQ(moveThenScale.apply(Point(1, 1)), Point(22, 2));
}

}  // namespace
}  // namespace vantrel
