#include "vantrel/drawing/geometry_helpers.h"

#include <cmath>
#include <limits>
#include <string>

#include <gtest/gtest.h>

namespace vantrel {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

TEST(GeometryHelpers, HeaderExample) {
  EXPECT_EQ(insetting(Rect(0, 0, 100, 100), EdgeInsets(1, 2, 3, 4)), Rect(2, 1, 94, 96));
  EXPECT_EQ(fittingNumberOfColumnsOfCellWidth(Size(100, 10), 30, 5), 3);
  EXPECT_EQ(vtToString(Rect(0, 0, 222, 111)), "(0.0, 0.0, 222.0, 111.0)");
  EXPECT_EQ(vtFromString("(1e3, -2, 0x10, .5)"), Rect(1000, -2, 16, 0.5));
}

TEST(GeometryHelpers, Sizes) {
  const Size s(10, 20);
  EXPECT_EQ(sizeScaledBy(s, 2), Size(20, 40));
  EXPECT_EQ(sizeScaledBy(s, 2, 3), Size(20, 60));
  EXPECT_EQ(sizeModifiedBy(s, 1, -1), Size(11, 19));
  EXPECT_EQ(insetting(Size(10, 10), 2, 3), Size(12, 13));  // adds, as its twin does
  EXPECT_EQ(insetting(s, 2.0), Size(6, 16));
  EXPECT_EQ(insetting(s, EdgeInsets(1, 2, 3, 4)), Size(4, 16));
  EXPECT_EQ(sizeInsetedBy(s, EdgeInsets(1, 2, 3, 4)), Size(4, 16));
  Size inPlace = s;
  inset(inPlace, 1.0);
  EXPECT_EQ(inPlace, Size(8, 18));
  inset(inPlace, EdgeInsets(1, 1, 1, 1));
  EXPECT_EQ(inPlace, Size(6, 16));
  EXPECT_EQ(aspectRatio(s), 0.5);
  EXPECT_EQ(aspectRatio(Size(1, 0)), kInf);  // no guard
  EXPECT_EQ(sideLengthMax(s), 20);
  EXPECT_EQ(sideLengthMax(Size(7, 7)), 7);
  EXPECT_EQ(sizeProportionallyScaledToHeight(s, 10), Size(5, 10));
  EXPECT_EQ(centerPoint(s), Point(5, 10));
  EXPECT_EQ(vtCenter(s), Point(5, 10));
  EXPECT_EQ(swapingWithAndHeight(s), Size(20, 10));
  EXPECT_EQ(rectWithOriginZeroZero(s), Rect(0, 0, 10, 20));
  EXPECT_EQ(rectWithZeroOrigin(s), Rect(0, 0, 10, 20));
  EXPECT_EQ(Size(4), Size(4, 4));
  EXPECT_EQ(s + 1, Size(11, 21));
  EXPECT_EQ(s - 1, Size(9, 19));
  EXPECT_EQ(s * 2, Size(20, 40));
  EXPECT_EQ(s / 2, Size(5, 10));
}

TEST(GeometryHelpers, FittingCounts) {
  struct Case {
    double width;
    std::int64_t want;
  };
  const Case cases[] = {{100, 3}, {99, 2}, {29, 0}, {30, 1}, {0, 0}, {-10, 0}, {std::nan(""), 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.width);
    EXPECT_EQ(fittingNumberOfColumnsOfCellWidth(Size(c.width, 1), 30, 5), c.want);
  }
  EXPECT_EQ(fittingNumberOfRowsAndColumnsOfSize(Size(100, 0), Size(30, 30), Size(5, 5)), (std::pair<std::int64_t, std::int64_t>(0, 0)));
  EXPECT_EQ(fittingNumberOfRowsAndColumnsOfSize(Size(100, 64), Size(30, 20), Size(5, 2)), (std::pair<std::int64_t, std::int64_t>(3, 3)));
  EXPECT_EQ(divide2(100, 30, 5), 3);
  EXPECT_EQ(divide2(0, 0, 5), 1);  // no guard: 0 >= 0 * 5 + 0
  EXPECT_EQ(divide2(0, 1, 5), 0);
  EXPECT_EQ(width2(3, 30, 5), 100);
  EXPECT_EQ(width2(0, 30, 5), -5);
}

TEST(GeometryHelpersDeathTest, IntegerResultsMustFit) {
  EXPECT_DEATH((void)fittingNumberOfColumnsOfCellWidth(Size(100, 1), 0, 0), "Int64");
  EXPECT_DEATH((void)divide2(1e300, 1e-300, 0), "Int64");
  EXPECT_DEATH((void)int_(std::nan("")), "Int64");
  EXPECT_DEATH((void)int_(kInf), "Int64");
  EXPECT_DEATH((void)int_(1e19), "Int64");
}

TEST(GeometryHelpers, Rectangles) {
  EXPECT_EQ(rectWithCorners(10, 10, 0, 0), Rect(0, 0, 10, 10));
  EXPECT_EQ(rectWithCorners(0, 5, 3, 1), Rect(0, 1, 3, 4));
  EXPECT_EQ(rectWithZeroOrigin(Rect(5, 5, 1, 2)), Rect(0, 0, 1, 2));
  EXPECT_EQ(insetting(Rect(0, 0, 100, 100), 10.0), Rect(10, 10, 80, 80));
  EXPECT_EQ(rectInsetedBy(Rect(0, 0, 100, 100), 10.0), Rect(10, 10, 80, 80));
  EXPECT_EQ(rectInsetedBy(Rect(0, 0, 100, 100), EdgeInsets(1, 2, 3, 4)), Rect(2, 1, 94, 96));
  Rect r(0, 0, 100, 100);
  inset(r, EdgeInsets(1, 2, 3, 4));
  EXPECT_EQ(r, Rect(2, 1, 94, 96));
  inset(r, 1.0);
  EXPECT_EQ(r, Rect(3, 2, 92, 94));
  EXPECT_EQ(rectMutatedTo(Rect(1, 2, 3, 4), std::nullopt, 20.0, std::nullopt, 40.0), Rect(1, 20, 3, 40));
  translateBy(r, 1, 1);
  EXPECT_EQ(r, Rect(4, 3, 92, 94));
  translateBy(r, Point(-4, -3));
  EXPECT_EQ(r, Rect(0, 0, 92, 94));
  EXPECT_EQ(rectTranslatedBy(Rect(1, 1, 2, 2), 3, 4), Rect(4, 5, 2, 2));
  EXPECT_EQ(rectTranslatedBy(Rect(1, 1, 2, 2), Point(3, 4)), Rect(4, 5, 2, 2));
  EXPECT_EQ(flooredCeiledRect(Rect(0.5, 0.5, 10.2, 10.2)), Rect(0, 0, 11, 11));
  EXPECT_EQ(centeredRectForSize(Rect(10, 10, 100, 50), Size(20, 10)), Rect(50, 30, 20, 10));
  EXPECT_EQ(centeredRectForPictureWithSize(Rect(10, 10, 100, 50), Size(20, 10)), Rect(40, 20, 20, 10));
  EXPECT_EQ(centeredMaximumSquareRect(Rect(10, 20, 100, 40)), Rect(40, 20, 40, 40));
  EXPECT_EQ(vtOnePointCenterRect(Rect(10, 10, 100, 50)), Rect(50, 25, 1, 1));
  EXPECT_EQ(centerPoint(Rect(10, 10, 100, 50)), Point(60, 35));
  EXPECT_EQ(vtRectWithCenter(Point(60, 35), Size(100, 50)), Rect(10, 10, 100, 50));
  EXPECT_EQ(swapingAxis(Rect(1, 2, 3, 4)), Rect(2, 1, 4, 3));
}

TEST(GeometryHelpers, PointsVectorsAndInsets) {
  EXPECT_EQ(Point(1, 2) + Point(3, 4), Point(4, 6));
  EXPECT_EQ(Point(1, 2) - Point(3, 4), Point(-2, -2));
  EXPECT_EQ(-Point(1, -2), Point(-1, 2));
  Point p(1, 1);
  moved(p, 2, 3);
  EXPECT_EQ(p, Point(3, 4));
  translateBy(p, Point(1, 1));
  EXPECT_EQ(p, Point(4, 5));
  Point negativeZero(-0.0, 1);
  translateBy(negativeZero, 0, 1);  // a zero amount leaves its component alone
  EXPECT_TRUE(std::signbit(negativeZero.x));
  EXPECT_EQ(negativeZero.y, 2);
  EXPECT_EQ(pointTranslatedBy(Point(1, 1), 2, 0), Point(3, 1));
  EXPECT_EQ(pointTranslatedBy(Point(1, 1), Point(0, 5)), Point(1, 6));
  EXPECT_EQ(offsetBy(Point(1, 1), 2, 3), Point(3, 4));
  EXPECT_EQ(point(Vector(Point(3, 4))), Point(3, 4));
  EXPECT_EQ(Vector(2, 4) * 2, Vector(4, 8));
  EXPECT_EQ(Vector(2, 4) / 2, Vector(1, 2));

  const EdgeInsets insets(1, 2, 3, 4);
  EXPECT_EQ(EdgeInsets(5.0), EdgeInsets(5, 5, 5, 5));
  EXPECT_EQ(edgeInsetsScaledBy(insets, 2), EdgeInsets(2, 4, 6, 8));
  EdgeInsets changed = insets;
  scaledBy(changed, 2);
  add(changed, insets);
  EXPECT_EQ(changed, EdgeInsets(3, 6, 9, 12));
  EXPECT_EQ(edgeInsetsByAdding(insets, insets), EdgeInsets(2, 4, 6, 8));
  EXPECT_EQ(insets + insets, EdgeInsets(2, 4, 6, 8));
  EXPECT_EQ(-insets, EdgeInsets(-1, -2, -3, -4));
  EXPECT_EQ(width(insets), 6);
  EXPECT_EQ(height(insets), 4);
}

TEST(GeometryHelpers, Numbers) {
  EXPECT_EQ(int_(2.9), 2);
  EXPECT_EQ(int_(-2.9), -2);
  EXPECT_EQ(float_(0.1), 0.1f);
  EXPECT_EQ(float_(1e39), std::numeric_limits<float>::infinity());
  EXPECT_EQ(float_(-1e39), -std::numeric_limits<float>::infinity());
  EXPECT_EQ(float_(static_cast<double>(std::numeric_limits<float>::max()) + 0x1p100),
            std::numeric_limits<float>::max());
  EXPECT_EQ(double_(0.25), 0.25);
  EXPECT_EQ(makeCgFloat(3), 3.0);
  EXPECT_EQ(makeCgFloat(0.5f), 0.5);
  EXPECT_EQ(cgfloat(std::int64_t{7}), 7.0);
  EXPECT_EQ(cgfloat(1.5), 1.5);
}

TEST(GeometryHelpers, RectTextForm) {
  struct Case {
    Rect rect;
    std::string text;
  };
  const Case cases[] = {
      {Rect(0, 0, 222, 111), "(0.0, 0.0, 222.0, 111.0)"},
      {Rect(0.5, 1.0 / 3, 1e20, -kInf), "(0.5, 0.333333333333333, 1e+20, -inf)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(vtToString(c.rect), c.text);
    EXPECT_EQ(asString(c.rect), c.text);
  }
  EXPECT_EQ(vtToString(Rect(std::nan(""), 0, 0, 0)), "(nan, 0.0, 0.0, 0.0)");
}

TEST(GeometryHelpers, RectTextFormIsReadAtDoublePrecision) {
  // Read at single precision, 0.1 would come back as 0.100000001490116.
  EXPECT_EQ(vtFromString("(0.1, 0, 0, 0)"), Rect(0.1, 0, 0, 0));
  const Rect values[] = {Rect(0.1, 0.2, 0.3, 123456.789), Rect(16777217, -0.7, 1e-10, 1e300),
                         Rect(0, 0, 222, 111)};
  for (const Rect& r : values) {
    SCOPED_TRACE(vtToString(r));
    EXPECT_EQ(vtFromString(vtToString(r)), r);
  }
}

TEST(GeometryHelpers, ReadingTheRectTextForm) {
  struct Case {
    std::string_view text;
    std::optional<Rect> want;
  };
  const Case cases[] = {
      {"(1,2,3,4)", Rect(1, 2, 3, 4)},
      {"( 1 , 2 , 3 , 4 )", Rect(1, 2, 3, 4)},
      {"(\t1,\u00A02\u3000,3,4\u2003)", Rect(1, 2, 3, 4)},
      {"(1e3, -2, 0x10, .5)", Rect(1000, -2, 16, 0.5)},
      {"(+1, 1E2, inf, 0)", Rect(1, 100, kInf, 0)},
      {" (1,2,3,4)", std::nullopt},
      {"(1,2,3,4) ", std::nullopt},
      {"(1,2,3)", std::nullopt},
      {"(1,2,3,4,5)", std::nullopt},
      {"(1,,3,4)", std::nullopt},
      {"()", std::nullopt},
      {"(", std::nullopt},
      {"", std::nullopt},
      {"(1 2,3,4,5)", std::nullopt},
      {"(1,2,3,4\n)", std::nullopt},
      {"(1,2,3,1e999)", std::nullopt},
      {"(1,2,3,\u0664)", std::nullopt},
      {"[1,2,3,4]", std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(vtFromString(c.text), c.want);
    EXPECT_EQ(fromString(c.text), c.want);
  }
}

TEST(GeometryHelpers, ProcessWideValues) {
  EXPECT_EQ(VtCGRectDefaultRectView().get(), Rect(0, 0, 222, 111));
  EXPECT_EQ(VtCGRectDefaultRectViewController().get(), Rect(0, 0, 300, 400));
  EXPECT_EQ(edgeInsetsZero().get(), EdgeInsets());
  edgeInsetsZero().set(EdgeInsets(1.0));
  EXPECT_EQ(edgeInsetsZero().get(), EdgeInsets(1.0));
  edgeInsetsZero().reset();
  EXPECT_EQ(edgeInsetsZero().get(), EdgeInsets());
}

TEST(GeometryHelpers, StringConversionsRoundTripAtDoublePrecision) {
  const Point p(0.1, 1.0 / 3);
  const Size s(1e-300, 123456789.123456789);
  const Rect r(p, s);
  EXPECT_EQ(PointFromString()(StringFromPoint()(p)), p);
  EXPECT_EQ(SizeFromString()(StringFromSize()(s)), s);
  EXPECT_EQ(RectFromString()(StringFromRect()(r)), r);
  EXPECT_EQ(StringFromRect()(Rect(1, 2, 3, 4)), "{{1.0, 2.0}, {3.0, 4.0}}");
  EXPECT_EQ(PointFromString()("not a point"), Point());
  EXPECT_EQ(RectFromString()("(1, 2, 3, 4)"), Rect());
}

TEST(GeometryHelpers, StringConversionsCanBeReplaced) {
  PointFromString().set([](std::string_view) { return Point(7, 7); });
  EXPECT_EQ(PointFromString()("{1, 2}"), Point(7, 7));
  PointFromString().reset();
  EXPECT_EQ(PointFromString()("{1, 2}"), Point(1, 2));
}

}  // namespace
}  // namespace vantrel
