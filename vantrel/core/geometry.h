// File: vantrel/core/geometry.h
//
// The kit's plane geometry: `Point`, `Size`, `Rect`, `Vector`, `EdgeInsets`
// and `AffineTransform`. Plain values of doubles, copied on assignment, with
// `==` on every field (so NaN fields never compare equal).
//
//   Rect frame(10, 20, 100, 50);            // x, y, width, height
//   frame.maxX()                            // 110.0
//   Rect::fromString(frame.toString())      // == frame, for every finite value
//   AffineTransform::makeTranslation(5, 0).apply(Point(1, 1))   // (6, 1)
//
// Two text forms:
// - `toString()` / `fromString()`: the kit's own exchange form, "{x, y}",
//   "{w, h}" and "{{x, y}, {w, h}}", with shortest round-trip numbers, so a
//   value written and read back is unchanged (NaN and infinities included).
//   `fromString` answers nullopt for anything else; it never throws.
// - `description()`: the form dumps and descriptions print, "(x, y)",
//   "(w, h)", "(x, y, w, h)", each number as `coordinateText` writes it.
//
// Edge insets are positive inward. Which edge `top` moves is up to the
// operation using them; see its header. Pure; thread-safe.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

// A number as descriptions and dumps write it: at most 15 significant digits
// (printf "%.15g" in the C locale), ".0" appended when the text has neither a
// point nor an exponent; "inf", "-inf", "nan".
//   coordinateText(222) "222.0"   coordinateText(1.0 / 3) "0.333333333333333"
//   coordinateText(1e20) "1e+20"
[[nodiscard]] std::string coordinateText(double value);

// Reads one whole number in the C locale, whatever the process locale is.
// Syntax of strtod: optional sign, decimal digits with optional point and
// exponent, hexadecimal floats ("0x1p-3"), "inf", "infinity", "nan". Nullopt
// for empty text, any white space or non-ASCII byte, trailing characters, and
// magnitudes beyond the range of a double (numbers that fall below it read as
// the nearest representable value).
[[nodiscard]] std::optional<double> coordinateFromText(std::string_view text);

struct Point {
  double x = 0;
  double y = 0;

  constexpr Point() = default;
  constexpr Point(double x, double y) : x(x), y(y) {}

  friend constexpr bool operator==(const Point&, const Point&) = default;

  [[nodiscard]] std::string toString() const;  // "{x, y}"
  [[nodiscard]] static std::optional<Point> fromString(std::string_view text);
  [[nodiscard]] std::string description() const;  // "(x, y)"
};

struct Size {
  double width = 0;
  double height = 0;

  constexpr Size() = default;
  constexpr Size(double width, double height) : width(width), height(height) {}
  // The square (side, side).
  constexpr explicit Size(double side) : width(side), height(side) {}

  friend constexpr bool operator==(const Size&, const Size&) = default;

  [[nodiscard]] std::string toString() const;  // "{w, h}"
  [[nodiscard]] static std::optional<Size> fromString(std::string_view text);
  [[nodiscard]] std::string description() const;  // "(w, h)"
};

// A rectangle as stored: the origin and a size whose fields may be negative;
// min/max read the edges of the normalised rectangle, as the platform did.
struct Rect {
  Point origin;
  Size size;

  constexpr Rect() = default;
  constexpr Rect(Point origin, Size size) : origin(origin), size(size) {}
  constexpr Rect(double x, double y, double width, double height)
      : origin(x, y), size(width, height) {}

  friend constexpr bool operator==(const Rect&, const Rect&) = default;

  [[nodiscard]] double minX() const;
  [[nodiscard]] double midX() const;
  [[nodiscard]] double maxX() const;
  [[nodiscard]] double minY() const;
  [[nodiscard]] double midY() const;
  [[nodiscard]] double maxY() const;
  // |width| and |height|.
  [[nodiscard]] double width() const;
  [[nodiscard]] double height() const;

  [[nodiscard]] std::string toString() const;  // "{{x, y}, {w, h}}"
  [[nodiscard]] static std::optional<Rect> fromString(std::string_view text);
  [[nodiscard]] std::string description() const;  // "(x, y, w, h)"

  // Whether `point` lies inside: min edges included, max edges not (a
  // click on the seam of two rectangles belongs to one of them only).
  [[nodiscard]] bool contains(Point point) const;
};

// The edge a rectangle division cuts from.
enum class RectEdge { minX, minY, maxX, maxY };

struct RectDivision {
  Rect slice;      // `amount` wide (or high), at `edge`
  Rect remainder;  // what is left
};

// Cuts a slice of `amount` off the normalised `rect` at `edge`, as the
// platform's rectangle division: an amount beyond the side gives the whole
// rectangle as the slice and an empty remainder at the far edge; a negative
// amount counts as 0.
[[nodiscard]] RectDivision divided(Rect rect, double amount, RectEdge edge);

struct Vector {
  double dx = 0;
  double dy = 0;

  constexpr Vector() = default;
  constexpr Vector(double dx, double dy) : dx(dx), dy(dy) {}
  // The vector from the zero point to `point`.
  constexpr explicit Vector(Point point) : dx(point.x), dy(point.y) {}

  friend constexpr bool operator==(const Vector&, const Vector&) = default;
  [[nodiscard]] std::string description() const;  // "(dx, dy)"
};

struct EdgeInsets {
  double top = 0;
  double left = 0;
  double bottom = 0;
  double right = 0;

  constexpr EdgeInsets() = default;
  constexpr EdgeInsets(double top, double left, double bottom, double right)
      : top(top), left(left), bottom(bottom), right(right) {}
  // All four sides `value`.
  constexpr explicit EdgeInsets(double value) : top(value), left(value), bottom(value), right(value) {}

  friend constexpr bool operator==(const EdgeInsets&, const EdgeInsets&) = default;
  [[nodiscard]] std::string description() const;  // "(top, left, bottom, right)"
};

// The affine map (x, y) -> (a x + c y + tx, b x + d y + ty).
struct AffineTransform {
  double a = 1, b = 0, c = 0, d = 1, tx = 0, ty = 0;

  constexpr AffineTransform() = default;  // the identity
  constexpr AffineTransform(double a, double b, double c, double d, double tx, double ty)
      : a(a), b(b), c(c), d(d), tx(tx), ty(ty) {}

  [[nodiscard]] static constexpr AffineTransform identity() { return {}; }
  [[nodiscard]] static constexpr AffineTransform makeTranslation(double tx, double ty) {
    return {1, 0, 0, 1, tx, ty};
  }
  [[nodiscard]] static constexpr AffineTransform makeScale(double sx, double sy) {
    return {sx, 0, 0, sy, 0, 0};
  }
  // Counter-clockwise by `angle` radians in a y-up plane.
  [[nodiscard]] static AffineTransform makeRotation(double angle);

  // First `*this`, then `then`.
  [[nodiscard]] constexpr AffineTransform concatenating(const AffineTransform& then) const {
    return {a * then.a + b * then.c,       a * then.b + b * then.d,
            c * then.a + d * then.c,       c * then.b + d * then.d,
            tx * then.a + ty * then.c + then.tx, tx * then.b + ty * then.d + then.ty};
  }
  [[nodiscard]] constexpr Point apply(Point p) const {
    return {a * p.x + c * p.y + tx, b * p.x + d * p.y + ty};
  }
  [[nodiscard]] constexpr bool isIdentity() const { return *this == AffineTransform(); }

  friend constexpr bool operator==(const AffineTransform&, const AffineTransform&) = default;
  [[nodiscard]] std::string description() const;  // "(a, b, c, d, tx, ty)"
};

}  // namespace vantrel
