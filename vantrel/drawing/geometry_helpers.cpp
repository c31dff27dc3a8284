#include "vantrel/drawing/geometry_helpers.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <vector>

#include "vantrel/core/checked.h"
#include "vantrel/core/no_destructor.h"

namespace vantrel {
namespace {

// The largest n with n c + (n - 1) s <= length. The quotient goes through
// the checked conversion: an infinite or NaN one (item plus gap of 0) stops
// instead of becoming an arbitrary integer.
std::int64_t fittingCount(double length, double item, double gap) {
  const double step = item + gap;
  const std::int64_t n = checkedInt64(std::floor(length / step));
  if (length >= static_cast<double>(n) * step + item) return checkedAdd(n, std::int64_t{1});
  return n;
}

// Space separators (general category Zs) besides the ASCII blank, and the
// tab: what the text form ignores around its numbers. Line breaks are not
// among them.
constexpr std::array<std::string_view, 15> kWideSpaces = {
    "\u00A0", "\u1680", "\u2000", "\u2001", "\u2002", "\u2003", "\u2004", "\u2005",
    "\u2006", "\u2007", "\u2008", "\u2009", "\u200A", "\u202F", "\u205F",
};
constexpr std::string_view kIdeographicSpace = "\u3000";

std::size_t leadingSpaceLength(std::string_view text) {
  if (text.empty()) return 0;
  if (text.front() == ' ' || text.front() == '\t') return 1;
  for (std::string_view space : kWideSpaces) {
    if (text.starts_with(space)) return space.size();
  }
  return text.starts_with(kIdeographicSpace) ? kIdeographicSpace.size() : 0;
}

std::size_t trailingSpaceLength(std::string_view text) {
  if (text.empty()) return 0;
  if (text.back() == ' ' || text.back() == '\t') return 1;
  for (std::string_view space : kWideSpaces) {
    if (text.ends_with(space)) return space.size();
  }
  return text.ends_with(kIdeographicSpace) ? kIdeographicSpace.size() : 0;
}

std::string_view trimmedSpaces(std::string_view text) {
  while (const std::size_t n = leadingSpaceLength(text)) text.remove_prefix(n);
  while (const std::size_t n = trailingSpaceLength(text)) text.remove_suffix(n);
  return text;
}

}  // namespace

// --- Process-wide values -------------------------------------------------------

Setting<Rect>& VtCGRectDefaultRectView() {
  static NoDestructor<Setting<Rect>> setting(Rect(0, 0, 222, 111));
  return *setting;
}

Setting<Rect>& VtCGRectDefaultRectViewController() {
  static NoDestructor<Setting<Rect>> setting(Rect(0, 0, 300, 400));
  return *setting;
}

Setting<EdgeInsets>& edgeInsetsZero() {
  static NoDestructor<Setting<EdgeInsets>> setting(EdgeInsets(0, 0, 0, 0));
  return *setting;
}

Setting<std::function<Point(std::string_view)>>& PointFromString() {
  static NoDestructor<Setting<std::function<Point(std::string_view)>>> setting(
      [](std::string_view text) { return Point::fromString(text).value_or(Point()); });
  return *setting;
}

Setting<std::function<Size(std::string_view)>>& SizeFromString() {
  static NoDestructor<Setting<std::function<Size(std::string_view)>>> setting(
      [](std::string_view text) { return Size::fromString(text).value_or(Size()); });
  return *setting;
}

Setting<std::function<Rect(std::string_view)>>& RectFromString() {
  static NoDestructor<Setting<std::function<Rect(std::string_view)>>> setting(
      [](std::string_view text) { return Rect::fromString(text).value_or(Rect()); });
  return *setting;
}

Setting<std::function<std::string(Point)>>& StringFromPoint() {
  static NoDestructor<Setting<std::function<std::string(Point)>>> setting([](Point p) { return p.toString(); });
  return *setting;
}

Setting<std::function<std::string(Size)>>& StringFromSize() {
  static NoDestructor<Setting<std::function<std::string(Size)>>> setting([](Size s) { return s.toString(); });
  return *setting;
}

Setting<std::function<std::string(Rect)>>& StringFromRect() {
  static NoDestructor<Setting<std::function<std::string(Rect)>>> setting([](Rect r) { return r.toString(); });
  return *setting;
}

// --- Sizes ---------------------------------------------------------------------

Size sizeScaledBy(Size self, double factor) { return {self.width * factor, self.height * factor}; }
Size sizeScaledBy(Size self, double x, double y) { return {self.width * x, self.height * y}; }
Size sizeModifiedBy(Size self, double x, double y) { return {self.width + x, self.height + y}; }
Size insetting(Size self, double first, double second) { return sizeModifiedBy(self, first, second); }

void inset(Size& self, double by) {
  self.width -= 2 * by;
  self.height -= 2 * by;
}

void inset(Size& self, EdgeInsets by) {
  self.width -= by.left + by.right;
  self.height -= by.top + by.bottom;
}

Size insetting(Size self, double by) {
  inset(self, by);
  return self;
}

Size insetting(Size self, EdgeInsets by) {
  inset(self, by);
  return self;
}

Size sizeInsetedBy(Size self, EdgeInsets insets) { return insetting(self, insets); }
double aspectRatio(Size self) { return self.width / self.height; }
double sideLengthMax(Size self) { return self.width <= self.height ? self.height : self.width; }

Size sizeProportionallyScaledToHeight(Size self, double height) {
  return {(height / self.height) * self.width, height};
}

Point centerPoint(Size self) { return {self.width * 0.5, self.height * 0.5}; }
Point vtCenter(Size self) { return centerPoint(self); }
Size swapingWithAndHeight(Size self) { return {self.height, self.width}; }
Rect rectWithOriginZeroZero(Size self) { return {Point(), self}; }
Rect rectWithZeroOrigin(Size self) { return {Point(), self}; }

std::int64_t fittingNumberOfColumnsOfCellWidth(Size self, double cellWidth, double andCellSpacing) {
  // `!(w > 0)` also catches NaN, before any division.
  if (!(self.width > 0)) return 0;
  return fittingCount(self.width, cellWidth, andCellSpacing);
}

std::pair<std::int64_t, std::int64_t> fittingNumberOfRowsAndColumnsOfSize(Size self, Size cellSize,
                                                                          Size andCellSpacing) {
  if (!(self.width > 0) || !(self.height > 0)) return {0, 0};
  return {fittingCount(self.width, cellSize.width, andCellSpacing.width),
          fittingCount(self.height, cellSize.height, andCellSpacing.height)};
}

Size operator+(Size self, double c) { return {self.width + c, self.height + c}; }
Size operator-(Size self, double c) { return {self.width - c, self.height - c}; }
Size operator*(Size self, double c) { return {self.width * c, self.height * c}; }
Size operator/(Size self, double c) { return {self.width / c, self.height / c}; }

// --- Rectangles ----------------------------------------------------------------

Rect rectWithCorners(double x1, double y1, double x2, double y2) {
  return {std::min(x1, x2), std::min(y1, y2), std::fabs(x1 - x2), std::fabs(y1 - y2)};
}

Rect rectWithZeroOrigin(Rect self) { return {Point(), self.size}; }

void inset(Rect& self, double by) {
  self.origin.x += by;
  self.origin.y += by;
  inset(self.size, by);
}

void inset(Rect& self, EdgeInsets by) {
  self.origin.x += by.left;
  self.origin.y += by.top;
  inset(self.size, by);
}

Rect rectInsetedBy(Rect self, double by) {
  inset(self, by);
  return self;
}

Rect rectInsetedBy(Rect self, EdgeInsets by) {
  inset(self, by);
  return self;
}

Rect insetting(Rect self, double by) { return rectInsetedBy(self, by); }
Rect insetting(Rect self, EdgeInsets by) { return rectInsetedBy(self, by); }

Rect rectMutatedTo(Rect self, std::optional<double> x, std::optional<double> y, std::optional<double> width,
                   std::optional<double> height) {
  return {x.value_or(self.origin.x), y.value_or(self.origin.y), width.value_or(self.size.width),
          height.value_or(self.size.height)};
}

void translateBy(Rect& self, double x, double y) {
  self.origin.x += x;
  self.origin.y += y;
}

void translateBy(Rect& self, Point by) { translateBy(self, by.x, by.y); }

Rect rectTranslatedBy(Rect self, double x, double y) {
  translateBy(self, x, y);
  return self;
}

Rect rectTranslatedBy(Rect self, Point by) { return rectTranslatedBy(self, by.x, by.y); }

Rect flooredCeiledRect(Rect self) {
  return {std::floor(self.origin.x), std::floor(self.origin.y), std::ceil(self.size.width),
          std::ceil(self.size.height)};
}

Rect centeredRectForSize(Rect self, Size size) {
  return {self.origin.x + (self.size.width - size.width) * 0.5,
          self.origin.y + (self.size.height - size.height) * 0.5, size.width, size.height};
}

Rect centeredRectForPictureWithSize(Rect self, Size size) {
  return {(self.size.width - size.width) * 0.5, (self.size.height - size.height) * 0.5, size.width,
          size.height};
}

Rect centeredMaximumSquareRect(Rect self) {
  const double side = std::min(self.width(), self.height());
  return {self.origin.x + (self.size.width - side) * 0.5, self.origin.y + (self.size.height - side) * 0.5,
          side, side};
}

Rect vtOnePointCenterRect(Rect self) { return {self.size.width * 0.5, self.size.height * 0.5, 1, 1}; }
Point centerPoint(Rect self) { return {self.midX(), self.midY()}; }

Rect vtRectWithCenter(Point center, Size andSize) {
  return {center.x - andSize.width * 0.5, center.y - andSize.height * 0.5, andSize.width, andSize.height};
}

Rect swapingAxis(Rect self) { return {self.origin.y, self.origin.x, self.size.height, self.size.width}; }

std::string vtToString(Rect self) { return self.description(); }
std::string asString(Rect self) { return vtToString(self); }

std::optional<Rect> vtFromString(std::string_view text) {
  if (text.size() < 2 || text.front() != '(' || text.back() != ')') return std::nullopt;
  std::string_view inner = text.substr(1, text.size() - 2);
  std::array<double, 4> numbers{};
  std::size_t count = 0;
  while (true) {
    const std::size_t comma = inner.find(',');
    const std::string_view piece = inner.substr(0, comma);
    if (count == numbers.size()) return std::nullopt;  // a fifth piece
    const std::optional<double> number = coordinateFromText(trimmedSpaces(piece));
    if (!number) return std::nullopt;
    numbers[count++] = *number;
    if (comma == std::string_view::npos) break;
    inner.remove_prefix(comma + 1);
  }
  if (count != numbers.size()) return std::nullopt;
  return Rect(numbers[0], numbers[1], numbers[2], numbers[3]);
}

std::optional<Rect> fromString(std::string_view text) { return vtFromString(text); }

// --- Points and vectors -------------------------------------------------------

Point operator+(Point a, Point b) { return {a.x + b.x, a.y + b.y}; }
Point operator-(Point a, Point b) { return {a.x - b.x, a.y - b.y}; }
Point operator-(Point p) { return {-p.x, -p.y}; }

void moved(Point& self, double byX, double andY) {
  self.x += byX;
  self.y += andY;
}

void translateBy(Point& self, double x, double y) {
  // A zero amount leaves its component untouched, -0.0 and NaN included.
  if (x != 0) self.x += x;
  if (y != 0) self.y += y;
}

void translateBy(Point& self, Point by) { translateBy(self, by.x, by.y); }

Point pointTranslatedBy(Point self, double x, double y) {
  if (x == 0 && y == 0) return self;
  return {self.x + x, self.y + y};
}

Point pointTranslatedBy(Point self, Point by) { return pointTranslatedBy(self, by.x, by.y); }
Point offsetBy(Point self, double xOffset, double yOffest) { return {self.x + xOffset, self.y + yOffest}; }
Point point(Vector self) { return {self.dx, self.dy}; }
Vector operator*(Vector self, double c) { return {self.dx * c, self.dy * c}; }
Vector operator/(Vector self, double c) { return {self.dx / c, self.dy / c}; }

// --- Edge insets ----------------------------------------------------------------

EdgeInsets edgeInsetsScaledBy(EdgeInsets self, double factor) {
  scaledBy(self, factor);
  return self;
}

void scaledBy(EdgeInsets& self, double factor) {
  self.top *= factor;
  self.left *= factor;
  self.bottom *= factor;
  self.right *= factor;
}

void add(EdgeInsets& self, EdgeInsets other) {
  self.top += other.top;
  self.left += other.left;
  self.bottom += other.bottom;
  self.right += other.right;
}

EdgeInsets edgeInsetsByAdding(EdgeInsets self, EdgeInsets other) {
  add(self, other);
  return self;
}

EdgeInsets operator+(EdgeInsets a, EdgeInsets b) { return edgeInsetsByAdding(a, b); }
EdgeInsets operator-(EdgeInsets insets) { return {-insets.top, -insets.left, -insets.bottom, -insets.right}; }
double width(EdgeInsets self) { return self.left + self.right; }
double height(EdgeInsets self) { return self.top + self.bottom; }

// --- Numbers --------------------------------------------------------------------

std::int64_t int_(double self) { return checkedInt64(self); }
float float_(double self) {
  // Narrowing a finite double beyond the float range is undefined; IEEE
  // rounding gives the largest float up to half a unit beyond it, then
  // infinity (the tie goes to infinity: the largest float's last bit is odd).
  constexpr double largest = std::numeric_limits<float>::max();
  constexpr double halfUnit = 0x1p103;
  if (std::isfinite(self) && std::fabs(self) > largest) {
    const double magnitude = std::fabs(self) >= largest + halfUnit ? std::numeric_limits<double>::infinity()
                                                                   : largest;
    return static_cast<float>(std::copysign(magnitude, self));
  }
  return static_cast<float>(self);
}
double double_(double self) { return self; }
double makeCgFloat(float self) { return self; }
double makeCgFloat(double self) { return self; }
double cgfloat(float self) { return self; }
double cgfloat(double self) { return self; }

std::int64_t divide2(double self, double objectWidth, double paddingWidth) {
  return fittingCount(self, objectWidth, paddingWidth);
}

double width2(std::int64_t self, double objectWidth, double paddingWidth) {
  return (objectWidth + paddingWidth) * static_cast<double>(self) - paddingWidth;
}

}  // namespace vantrel
