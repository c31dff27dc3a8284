#include "vantrel/drawing/color_values.h"

#include <array>
#include <cmath>
#include <limits>

#include <fmt/format.h>

#include "vantrel/core/checked.h"
#include "vantrel/core/fatal.h"
#include "vantrel/core/number_text.h"

namespace vantrel {
namespace {

const Color& deref(const Color::Ptr& color, std::string_view operation) {
  if (!color) fatal(fmt::format("{}: the colour is null", operation));
  return *color;
}

bool isBlack(const Color& c) { return c == *Color::blackColor(); }
bool isWhite(const Color& c) { return c == *Color::whiteColor(); }

Color::Ptr hsbColor(double h, double s, double b, double a) { return Color::withHue(h, s, b, a); }

// Turns a hue fraction by `degrees` and answers the new fraction. One step
// of wrapping, for hues in 0...1 and turns in -360...360: above 360 comes
// back by a turn, below 0 goes forward by one (-20 is 340 degrees, not the
// mirrored 20).
double turned(double hue, double degrees) {
  const double x = hue * 360 + degrees;
  if (x > 360) return (x - 360) / 360;
  if (x < 0) return (x + 360) / 360;
  return x / 360;
}

// Whitespace and line breaks a number scan skips first: the ASCII ones and
// the Unicode separators, newline and next line.
constexpr std::array<std::string_view, 18> kUnicodeSpaces = {
    "\u0085", "\u00A0", "\u1680", "\u2000", "\u2001", "\u2002", "\u2003", "\u2004", "\u2005",
    "\u2006", "\u2007", "\u2008", "\u2009", "\u200A", "\u2028", "\u2029", "\u202F", "\u205F",
};

std::size_t spaceLengthAt(std::string_view text) {
  const char c = text.front();
  if (c == ' ' || (c >= '\t' && c <= '\r')) return 1;
  for (std::string_view space : kUnicodeSpaces) {
    if (text.starts_with(space)) return space.size();
  }
  return text.starts_with("\u3000") ? 3 : 0;
}

// The leading hexadecimal number of `text`, 0 when there is none; a number
// beyond 64 bits saturates.
std::uint64_t scanHex(std::string_view text) {
  while (!text.empty()) {
    const std::size_t n = spaceLengthAt(text);
    if (n == 0) break;
    text.remove_prefix(n);
  }
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X') && hexDigitValue(text[2]) >= 0) {
    text.remove_prefix(2);
  }
  std::uint64_t value = 0;
  bool saturated = false;
  for (char c : text) {
    const int digit = hexDigitValue(c);
    if (digit < 0) break;
    if (value > (std::numeric_limits<std::uint64_t>::max() >> 4)) saturated = true;
    value = (value << 4) | static_cast<std::uint64_t>(digit);
  }
  return saturated ? std::numeric_limits<std::uint64_t>::max() : value;
}

// component * 255, truncated toward zero, within 0...255. Clamping comes
// first so the checked conversion never sees a value it would refuse.
std::int64_t channel(double component) {
  double scaled = component * 255.0;
  if (!(scaled >= 0)) scaled = 0;  // negative and NaN
  if (scaled > 255) scaled = 255;
  return checkedInt64(scaled);
}

Color::Ptr rgbColor(const RGBA& c) { return Color::withRed(c.r, c.g, c.b, c.a); }

template <class E>
std::optional<E> enumFromRaw(std::int64_t rawValue, std::int64_t count) {
  if (rawValue < 0 || rawValue >= count) return std::nullopt;
  return E(static_cast<typename E::Case>(rawValue));
}

}  // namespace

std::optional<ColorScheme> ColorScheme::fromRawValue(std::int64_t rawValue) {
  return enumFromRaw<ColorScheme>(rawValue, 4);
}
std::optional<ColorFormulation> ColorFormulation::fromRawValue(std::int64_t rawValue) {
  return enumFromRaw<ColorFormulation>(rawValue, 4);
}
std::optional<ColorDistance> ColorDistance::fromRawValue(std::int64_t rawValue) {
  return enumFromRaw<ColorDistance>(rawValue, 3);
}
std::optional<ColorComparison> ColorComparison::fromRawValue(std::int64_t rawValue) {
  return enumFromRaw<ColorComparison>(rawValue, 7);
}

// --- Factories ----------------------------------------------------------------------

Color::Ptr colorWithR(double R, double G, double B, double A) {
  return Color::withRed(R / 255, G / 255, B / 255, A);
}

Color::Ptr colorWithRgba(RGBA rgba) { return rgbColor(rgba); }

Color::Ptr colorWithRgb(std::uint64_t rgb, double alpha) {
  const auto byte = [rgb](int shift) { return static_cast<double>((rgb >> shift) & 0xFF) / 255; };
  return Color::withRed(byte(16), byte(8), byte(0), alpha);
}

Color::Ptr colorWithHex(std::string_view hex) {
  std::string digits;
  digits.reserve(hex.size());
  for (char c : hex) {
    if (c != '#') digits.push_back(c);
  }
  const std::uint64_t value = scanHex(digits);
  const auto byte = [value](int shift) { return static_cast<double>((value >> shift) & 0xFF) / 255.0; };
  return Color::withRed(byte(16), byte(8), byte(0), 1.0);
}

Color::Ptr colorWithHsba(HSBA hsba) { return hsbColor(hsba.h, hsba.s, hsba.b, hsba.a); }

Color::Ptr colorWithCieLab(CIELAB lab) {
  const double fy = (lab.l + 16) / 116;
  const double fx = fy + lab.a / 500;
  const double fz = fy + lab.b / -200;
  const auto linearised = [](double t) {
    const double cube = std::pow(t, 3.0);
    return cube > 0.008856 ? cube : (t - 16.0 / 116.0) / 7.787;
  };
  const double x = linearised(fx) * 0.95047;
  const double y = linearised(fy);
  const double z = linearised(fz) * 1.08883;
  const double r = 3.2406 * x - 1.5372 * y - 0.4986 * z;
  const double g = -0.9689 * x + 1.8758 * y + 0.0415 * z;
  const double b = 0.0557 * x - 0.204 * y + 1.057 * z;
  const auto companded = [](double v) {
    return v > 0.0031308 ? 1.055 * std::pow(v, 0.4166666666666667) - 0.055 : 12.92 * v;
  };
  return Color::withRed(companded(r), companded(g), companded(b), lab.alpha);
}

Color::Ptr colorWithCmyk(CMYK cmyk) {
  const auto channelOf = [k = cmyk.k](double ink) { return 1 - (ink * (1 - k) + k); };
  return Color::withRed(channelOf(cmyk.c), channelOf(cmyk.m), channelOf(cmyk.y), 1.0);
}

// --- Read-outs ----------------------------------------------------------------------

RGBA rgba(const Color::Ptr& self) {
  const Color& c = deref(self, "rgba");
  return {c.redComponent(), c.greenComponent(), c.blueComponent(), c.alphaComponent()};
}

HSBA hsba(const Color::Ptr& self) {
  const Color& c = deref(self, "hsba");
  return {c.hueComponent(), c.saturationComponent(), c.brightnessComponent(), c.alphaComponent()};
}

RGBA toRGBAComponents(const Color::Ptr& self) {
  const Color& c = deref(self, "toRGBAComponents");
  if (isBlack(c)) return {0, 0, 0, 1};
  if (isWhite(c)) return {1, 1, 1, 1};
  return rgba(self);
}

std::string hexString(const Color::Ptr& self) {
  const RGBA c = rgba(self);
  return fmt::format("#{:02x}{:02x}{:02x}", channel(c.r), channel(c.g), channel(c.b));
}

// --- Derived colours ------------------------------------------------------------------

Color::Ptr lightenedColor(const Color::Ptr& self, double amount) {
  if (amount == 0) return self;
  const HSBA c = hsba(self);
  return hsbColor(c.h, c.s, c.b * (1 + amount), c.a);
}

Color::Ptr darkenedColor(const Color::Ptr& self, double amount) {
  if (amount == 0) return self;
  const HSBA c = hsba(self);
  return hsbColor(c.h, c.s, c.b * (1 - amount), c.a);
}

Color::Ptr blackOrWhiteContrastingColor(const Color::Ptr& self) {
  const Color& c = deref(self, "blackOrWhiteContrastingColor");
  if (isBlack(c)) return Color::whiteColor();
  if (isWhite(c)) return Color::blackColor();
  const RGBA v = rgba(self);
  const double d = 1 - (0.299 * v.r + 0.587 * v.g + 0.114 * v.b);
  return d < 0.5 ? Color::blackColor() : Color::whiteColor();
}

Color::Ptr complementaryColor(const Color::Ptr& self) {
  const Color& c = deref(self, "complementaryColor");
  if (isBlack(c)) return Color::whiteColor();
  if (isWhite(c)) return Color::blackColor();
  const HSBA v = hsba(self);
  return hsbColor(turned(v.h, 180), v.s, v.b, v.a);
}

Color::Ptr mixedRGB(const Color::Ptr& self, const Color::Ptr& withColor, double weight) {
  const RGBA p = toRGBAComponents(self);
  const RGBA q = toRGBAComponents(withColor);
  const auto mix = [weight](double from, double to) { return from + (to - from) * weight; };
  return Color::withRed(mix(p.r, q.r), mix(p.g, q.g), mix(p.b, q.b), mix(p.a, q.a));
}

std::vector<Color::Ptr> colorScheme(const Color::Ptr& self, ColorScheme scheme) {
  const auto [h, s, b, a] = hsba(self);
  switch (scheme) {
    case ColorScheme::monochromatic:
      return {hsbColor(h, s * 0.5, b / 3, a), hsbColor(h, s, b * 0.5, a),
              hsbColor(h, s / 3, (b + b) / 3, a), hsbColor(h, s, (4 * b) / 5, a)};
    case ColorScheme::triad:
      return {hsbColor(turned(h, 120), (s + s) / 3, b - 0.05, a), hsbColor(turned(h, 120), s, b, a),
              hsbColor(turned(h, 240), s, b, a), hsbColor(turned(h, 240), (s + s) / 3, b - 0.05, a)};
    case ColorScheme::complementary:
      return {hsbColor(h, s, (4 * b) / 5, a), hsbColor(h, (5 * s) / 7, b, a),
              hsbColor(turned(h, 180), s, b, a), hsbColor(turned(h, 180), (5 * s) / 7, b, a)};
    case ColorScheme::analagous:
      break;
  }
  // analagous, and any value cast from an unknown raw value
  return {hsbColor(turned(h, 30), s - 0.05, b - 0.1, a), hsbColor(turned(h, 15), s - 0.05, b - 0.05, a),
          hsbColor(turned(h, -15), s - 0.05, b - 0.05, a), hsbColor(turned(h, -30), s - 0.05, b - 0.1, a)};
}

}  // namespace vantrel
