// File: vantrel/drawing/color_values.h
//
// Colour factories (0-255 channels, packed 0xRRGGBB, hexadecimal text, HSB,
// CIE L*a*b*, CMYK), component read-outs, the "#rrggbb" text form, and
// derived colours: lighter and darker, the black-or-white contrast, the
// complement, linear mixes and four four-colour schemes.
//
//   auto blue = colorWithR(47, 112, 225, 1.0);      // channels on the 0-255 scale
//   hexString(blue)                                 // "#2f70e1"
//   colorWithHex("#2F70E1")                         // the same colour
//   colorScheme(blue, ColorScheme::triad)           // four colours
//
// Nothing is clamped on the way in: components outside 0...1 are kept as
// given. Only `hexString` clamps, to 0...255 per channel, so every text it
// writes reads back through `colorWithHex` as a colour it could describe.
// Hues are fractions of the full turn at this interface; turning a hue by an
// angle wraps it into 0...360 degrees (a turn below 0 wraps to 360 minus the
// amount).
//
// No operation reports an error: every input gives a colour, a quadruple or
// a text. A null colour argument stops the program (`fatal`). Pure;
// thread-safe (colours are immutable).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "vantrel/core/color.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

// Component quadruples.
struct RGBA {
  double r = 0, g = 0, b = 0, a = 0;
  friend bool operator==(const RGBA&, const RGBA&) = default;
};
struct HSBA {
  double h = 0, s = 0, b = 0, a = 0;  // hue as a fraction of the turn
  friend bool operator==(const HSBA&, const HSBA&) = default;
};
struct CIELAB {
  double l = 0, a = 0, b = 0, alpha = 0;  // L* in 0...100
  friend bool operator==(const CIELAB&, const CIELAB&) = default;
};
struct CMYK {
  double c = 0, m = 0, y = 0, k = 0;
  friend bool operator==(const CMYK&, const CMYK&) = default;
};

// A palette entry.
struct NamedColor {
  std::string name;
  Color::Ptr color;
};

// The scheme `colorScheme` derives.
class ColorScheme {
 public:
  enum Case : std::int64_t { analagous = 0, monochromatic = 1, triad = 2, complementary = 3 };
  constexpr ColorScheme(Case value) : value_(value) {}  // NOLINT: a case is a scheme
  constexpr operator Case() const { return value_; }    // NOLINT: switch over schemes
  [[nodiscard]] static std::optional<ColorScheme> fromRawValue(std::int64_t rawValue);
  [[nodiscard]] constexpr std::int64_t rawValue() const { return value_; }

 private:
  Case value_;
};

// Vocabulary for callers; nothing here takes or returns the next three.
class ColorFormulation {
 public:
  enum Case : std::int64_t { rgba = 0, hsba = 1, lab = 2, cmyk = 3 };
  constexpr ColorFormulation(Case value) : value_(value) {}  // NOLINT
  constexpr operator Case() const { return value_; }         // NOLINT
  [[nodiscard]] static std::optional<ColorFormulation> fromRawValue(std::int64_t rawValue);
  [[nodiscard]] constexpr std::int64_t rawValue() const { return value_; }

 private:
  Case value_;
};

class ColorDistance {
 public:
  enum Case : std::int64_t { cie76 = 0, cie94 = 1, cie2000 = 2 };
  constexpr ColorDistance(Case value) : value_(value) {}  // NOLINT
  constexpr operator Case() const { return value_; }      // NOLINT
  [[nodiscard]] static std::optional<ColorDistance> fromRawValue(std::int64_t rawValue);
  [[nodiscard]] constexpr std::int64_t rawValue() const { return value_; }

 private:
  Case value_;
};

class ColorComparison {
 public:
  enum Case : std::int64_t {
    darkness = 0, lightness = 1, desaturated = 2, saturated = 3, red = 4, green = 5, blue = 6,
  };
  constexpr ColorComparison(Case value) : value_(value) {}  // NOLINT
  constexpr operator Case() const { return value_; }        // NOLINT
  [[nodiscard]] static std::optional<ColorComparison> fromRawValue(std::int64_t rawValue);
  [[nodiscard]] constexpr std::int64_t rawValue() const { return value_; }

 private:
  Case value_;
};

// --- Factories (all calibrated RGB) ----------------------------------------------
// Channels on the 0-255 scale (R / 255, G / 255, B / 255); A is a fraction.
[[nodiscard]] Color::Ptr colorWithR(double R, double G, double B, double A);
[[nodiscard]] Color::Ptr colorWithRgba(RGBA rgba);
// 0xRRGGBB; bits above 23 are ignored.
[[nodiscard]] Color::Ptr colorWithRgb(std::uint64_t rgb, double alpha = 1.0);
// Every "#" is removed, then a hexadecimal number is read from the start
// (after white space and an optional "0x"), saturating at 2^64 - 1; its low
// 24 bits are 0xRRGGBB, alpha 1. No length test: "fff" is 0x000fff and text
// without a leading hexadecimal number is opaque black.
[[nodiscard]] Color::Ptr colorWithHex(std::string_view hex);
[[nodiscard]] Color::Ptr colorWithHsba(HSBA hsba);
// D65 white, sRGB primaries and transfer curve; results unclamped.
[[nodiscard]] Color::Ptr colorWithCieLab(CIELAB lab);
// 1 - (c (1 - k) + k) per channel, alpha 1.
[[nodiscard]] Color::Ptr colorWithCmyk(CMYK cmyk);

// --- Read-outs ----------------------------------------------------------------------
[[nodiscard]] RGBA rgba(const Color::Ptr& self);
[[nodiscard]] HSBA hsba(const Color::Ptr& self);
// As rgba, except that colours equal to blackColor() / whiteColor() answer
// (0, 0, 0, 1) / (1, 1, 1, 1) directly.
[[nodiscard]] RGBA toRGBAComponents(const Color::Ptr& self);
// "#rrggbb", lower case; each channel is component * 255 truncated toward
// zero and clamped to 0...255 (NaN counts as 0). Alpha is not written.
[[nodiscard]] std::string hexString(const Color::Ptr& self);

// --- Derived colours ------------------------------------------------------------------
// Brightness * (1 + amount) / (1 - amount), same hue, saturation and alpha;
// an amount of exactly 0 returns `self` itself.
[[nodiscard]] Color::Ptr lightenedColor(const Color::Ptr& self, double amount);
[[nodiscard]] Color::Ptr darkenedColor(const Color::Ptr& self, double amount);
// blackColor() or whiteColor(): black when 1 - (0.299 r + 0.587 g + 0.114 b)
// is below 0.5, white otherwise (NaN included); black and white swap.
[[nodiscard]] Color::Ptr blackOrWhiteContrastingColor(const Color::Ptr& self);
// The hue turned by 180 degrees; black and white swap.
[[nodiscard]] Color::Ptr complementaryColor(const Color::Ptr& self);
// p + (q - p) * weight per RGBA component, from toRGBAComponents of both.
[[nodiscard]] Color::Ptr mixedRGB(const Color::Ptr& self, const Color::Ptr& withColor, double weight);
// Exactly four colours with the receiver's alpha, from its (h, s, b) read
// once; "turn d" is the hue turned by d degrees, other hues stay h. Nothing
// is clamped.
//   analagous      turn 30, s-.05, b-.1 | turn 15, s-.05, b-.05 | turn -15, s-.05, b-.05 | turn -30, s-.05, b-.1
//   monochromatic  s*.5, b/3 | s, b*.5 | s/3, 2b/3 | s, 4b/5
//   triad          turn 120, 2s/3, b-.05 | turn 120, s, b | turn 240, s, b | turn 240, 2s/3, b-.05
//   complementary  s, 4b/5 | 5s/7, b | turn 180, s, b | turn 180, 5s/7, b
// A scheme value outside the four cases gives the analagous scheme.
[[nodiscard]] std::vector<Color::Ptr> colorScheme(const Color::Ptr& self, ColorScheme scheme);

}  // namespace vantrel

template <>
struct std::hash<vantrel::ColorScheme> {
  std::size_t operator()(vantrel::ColorScheme v) const noexcept { return std::hash<std::int64_t>()(v.rawValue()); }
};
template <>
struct std::hash<vantrel::ColorFormulation> {
  std::size_t operator()(vantrel::ColorFormulation v) const noexcept {
    return std::hash<std::int64_t>()(v.rawValue());
  }
};
template <>
struct std::hash<vantrel::ColorDistance> {
  std::size_t operator()(vantrel::ColorDistance v) const noexcept { return std::hash<std::int64_t>()(v.rawValue()); }
};
template <>
struct std::hash<vantrel::ColorComparison> {
  std::size_t operator()(vantrel::ColorComparison v) const noexcept {
    return std::hash<std::int64_t>()(v.rawValue());
  }
};
