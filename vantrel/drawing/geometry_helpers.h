// File: vantrel/drawing/geometry_helpers.h
//
// Value helpers on the kit's geometry: insetting, scaling, centring, counting
// cells that fit a length, and the rectangle's "(x, y, w, h)" text form.
//
//   insetting(Rect(0, 0, 100, 100), EdgeInsets(1, 2, 3, 4))   // (2, 1, 94, 96)
//   fittingNumberOfColumnsOfCellWidth(Size(100, 10), 30, 5)   // 3
//   vtToString(Rect(0, 0, 222, 111))                          // "(0.0, 0.0, 222.0, 111.0)"
//   vtFromString("(1e3, -2, 0x10, .5)")                       // Rect(1000, -2, 16, 0.5)
//
// Edge insets move edges inward: `left` moves the origin's x, `top` the
// origin's y (the edge with the smaller y, whichever way y points); `right`
// and `bottom` only shrink the size.
//
// Arithmetic is plain double arithmetic: a division by zero gives an infinity
// or NaN, not an error. Where a result becomes an integer (`int_`, the
// fitting counts, `divide2`) it must be finite and fit int64_t; otherwise the
// program stops (`fatal`), as a checked conversion does.
//
// Process-wide settings (see vantrel/platform/kit/setting.h) hold the default
// frames, the zero insets and six conversion functions between geometry
// values and the kit's exchange text forms. Everything else is pure and
// thread-safe.
#pragma once

#include <concepts>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "vantrel/core/geometry.h"
#include "vantrel/platform/kit/setting.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

// --- Process-wide values -------------------------------------------------------
Setting<Rect>& VtCGRectDefaultRectView();            // (0, 0, 222, 111)
Setting<Rect>& VtCGRectDefaultRectViewController();  // (0, 0, 300, 400)
// The zero insets, which the host may replace (text images read it as their
// default padding at every call).
Setting<EdgeInsets>& edgeInsetsZero();
// Conversions to and from the kit's exchange forms ("{x, y}", "{w, h}",
// "{{x, y}, {w, h}}"); they read back at full double precision. A text that
// is not in the form reads as the zero value. The host may install others.
Setting<std::function<Point(std::string_view)>>& PointFromString();
Setting<std::function<Size(std::string_view)>>& SizeFromString();
Setting<std::function<Rect(std::string_view)>>& RectFromString();
Setting<std::function<std::string(Point)>>& StringFromPoint();
Setting<std::function<std::string(Size)>>& StringFromSize();
Setting<std::function<std::string(Rect)>>& StringFromRect();

// --- Sizes ---------------------------------------------------------------------
[[nodiscard]] Size sizeScaledBy(Size self, double factor);           // (w f, h f)
[[nodiscard]] Size sizeScaledBy(Size self, double x, double y);      // (w x, h y)
[[nodiscard]] Size sizeModifiedBy(Size self, double x, double y);    // (w + x, h + y)
// (w + first, h + second): adds, so positive numbers enlarge.
[[nodiscard]] Size insetting(Size self, double first, double second);
void inset(Size& self, double by);                                   // w - 2d, h - 2d
void inset(Size& self, EdgeInsets by);                               // w - (l + r), h - (t + b)
[[nodiscard]] Size insetting(Size self, double by);
[[nodiscard]] Size insetting(Size self, EdgeInsets by);
[[nodiscard]] Size sizeInsetedBy(Size self, EdgeInsets insets);
[[nodiscard]] double aspectRatio(Size self);                         // w / h
[[nodiscard]] double sideLengthMax(Size self);                       // h when w <= h, else w
// ((n / h) * w, n)
[[nodiscard]] Size sizeProportionallyScaledToHeight(Size self, double height);
[[nodiscard]] Point centerPoint(Size self);                          // (w / 2, h / 2)
[[nodiscard]] Point vtCenter(Size self);
[[nodiscard]] Size swapingWithAndHeight(Size self);                  // (h, w)
[[nodiscard]] Rect rectWithOriginZeroZero(Size self);                // (0, 0, w, h)
[[nodiscard]] Rect rectWithZeroOrigin(Size self);
// How many cells of `cellWidth` fit the width with `spacing` between each
// two (none outside): the largest n with n c + (n - 1) s <= w. 0 for a width
// that is not above 0.
[[nodiscard]] std::int64_t fittingNumberOfColumnsOfCellWidth(Size self, double cellWidth,
                                                             double andCellSpacing);
// (across the width, down the height); (0, 0) when either side is not above 0.
[[nodiscard]] std::pair<std::int64_t, std::int64_t> fittingNumberOfRowsAndColumnsOfSize(
    Size self, Size cellSize, Size andCellSpacing);

[[nodiscard]] Size operator+(Size self, double c);
[[nodiscard]] Size operator-(Size self, double c);
[[nodiscard]] Size operator*(Size self, double c);
[[nodiscard]] Size operator/(Size self, double c);

// --- Rectangles ----------------------------------------------------------------
// (min(x1, x2), min(y1, y2), |x1 - x2|, |y1 - y2|)
[[nodiscard]] Rect rectWithCorners(double x1, double y1, double x2, double y2);
[[nodiscard]] Rect rectWithZeroOrigin(Rect self);                    // (0, 0, w, h)
void inset(Rect& self, double by);                                   // x + d, y + d, w - 2d, h - 2d
void inset(Rect& self, EdgeInsets by);
[[nodiscard]] Rect rectInsetedBy(Rect self, double by);
[[nodiscard]] Rect rectInsetedBy(Rect self, EdgeInsets by);
[[nodiscard]] Rect insetting(Rect self, double by);
// (x + left, y + top, w - (left + right), h - (top + bottom))
[[nodiscard]] Rect insetting(Rect self, EdgeInsets by);
// The receiver with each given number replacing x, y, width, height.
[[nodiscard]] Rect rectMutatedTo(Rect self, std::optional<double> x, std::optional<double> y,
                                 std::optional<double> width, std::optional<double> height);
void translateBy(Rect& self, double x, double y);
void translateBy(Rect& self, Point point);
[[nodiscard]] Rect rectTranslatedBy(Rect self, double x, double y);
[[nodiscard]] Rect rectTranslatedBy(Rect self, Point point);
// (floor(x), floor(y), ceil(w), ceil(h)): the size is rounded by itself, so
// the far edge may move by up to 1 either way.
[[nodiscard]] Rect flooredCeiledRect(Rect self);
// A rectangle of `size` centred on the receiver.
[[nodiscard]] Rect centeredRectForSize(Rect self, Size size);
// The same measured from (0, 0): the receiver's origin is not added.
[[nodiscard]] Rect centeredRectForPictureWithSize(Rect self, Size size);
// The largest square centred on the receiver (side: the smaller of |w|, |h|).
[[nodiscard]] Rect centeredMaximumSquareRect(Rect self);
// (w / 2, h / 2, 1, 1), measured from (0, 0).
[[nodiscard]] Rect vtOnePointCenterRect(Rect self);
[[nodiscard]] Point centerPoint(Rect self);                          // (midX, midY)
// The rectangle of `andSize` whose centre is `center`.
[[nodiscard]] Rect vtRectWithCenter(Point center, Size andSize);
[[nodiscard]] Rect swapingAxis(Rect self);                           // (y, x, h, w)
// "(x, y, w, h)", each number as coordinateText writes it (15 significant
// digits): "(0.0, 0.0, 222.0, 111.0)".
[[nodiscard]] std::string vtToString(Rect self);
[[nodiscard]] std::string asString(Rect self);
// Reads the form back: "(" four numbers separated by "," ")" with nothing
// outside the parentheses; blanks and tabs (and other space separators)
// around each number are ignored; each number must be plain ASCII in strtod's
// syntax (signs, exponents, hexadecimal floats, inf, nan) and is read at full
// double precision. Anything else gives nullopt.
[[nodiscard]] std::optional<Rect> vtFromString(std::string_view text);
[[nodiscard]] std::optional<Rect> fromString(std::string_view text);

// --- Points and vectors -------------------------------------------------------
[[nodiscard]] Point operator+(Point a, Point b);
[[nodiscard]] Point operator-(Point a, Point b);
[[nodiscard]] Point operator-(Point p);
void moved(Point& self, double byX, double andY);                    // x + dx, y + dy
// In place: moves by (x, y). (The returning form keeps the name
// pointTranslatedBy.)
void translateBy(Point& self, double x, double y);
void translateBy(Point& self, Point point);
[[nodiscard]] Point pointTranslatedBy(Point self, double x, double y);
[[nodiscard]] Point pointTranslatedBy(Point self, Point point);
[[nodiscard]] Point offsetBy(Point self, double xOffset, double yOffest);
[[nodiscard]] Point point(Vector self);                              // (dx, dy)
[[nodiscard]] Vector operator*(Vector self, double c);
[[nodiscard]] Vector operator/(Vector self, double c);

// --- Edge insets ----------------------------------------------------------------
[[nodiscard]] EdgeInsets edgeInsetsScaledBy(EdgeInsets self, double factor);
void scaledBy(EdgeInsets& self, double factor);
void add(EdgeInsets& self, EdgeInsets other);
[[nodiscard]] EdgeInsets edgeInsetsByAdding(EdgeInsets self, EdgeInsets other);
[[nodiscard]] EdgeInsets operator+(EdgeInsets a, EdgeInsets b);
[[nodiscard]] EdgeInsets operator-(EdgeInsets insets);
[[nodiscard]] double width(EdgeInsets self);                         // left + right
[[nodiscard]] double height(EdgeInsets self);                        // top + bottom

// --- Numbers --------------------------------------------------------------------
// Truncated toward zero; stops for NaN, infinities and values beyond int64_t.
[[nodiscard]] std::int64_t int_(double self);
[[nodiscard]] float float_(double self);   // the nearest float
[[nodiscard]] double double_(double self);
[[nodiscard]] double makeCgFloat(float self);
[[nodiscard]] double makeCgFloat(double self);
template <std::integral I>
[[nodiscard]] double makeCgFloat(I self) {
  return static_cast<double>(self);
}
[[nodiscard]] double cgfloat(float self);
[[nodiscard]] double cgfloat(double self);
template <std::integral I>
[[nodiscard]] double cgfloat(I self) {
  return static_cast<double>(self);
}
// How many objects of `objectWidth` fit the receiver with `paddingWidth`
// between each two; no guard for a receiver of 0 or less.
[[nodiscard]] std::int64_t divide2(double self, double objectWidth, double paddingWidth);
// (objectWidth + gap) n - gap: the width of n objects with a gap between
// each two (-gap for n = 0).
[[nodiscard]] double width2(std::int64_t self, double objectWidth, double paddingWidth);

}  // namespace vantrel
