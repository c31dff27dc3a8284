#include "vantrel/core/color.h"

#include <algorithm>
#include <cmath>

#include "vantrel/core/no_destructor.h"
#include "vantrel/core/geometry.h"

namespace vantrel {

std::string_view description(ColorSpace space) {
  switch (space) {
    case ColorSpace::calibratedRGB: return "calibratedRGB";
    case ColorSpace::deviceRGB: return "deviceRGB";
    case ColorSpace::calibratedWhite: return "calibratedWhite";
  }
  return "unknownColorSpace";
}

Color::Ptr Color::withRed(double red, double green, double blue, double alpha) {
  return Ptr(new Color(ColorSpace::calibratedRGB, {red, green, blue, alpha}));
}

Color::Ptr Color::withDeviceRed(double red, double green, double blue, double alpha) {
  return Ptr(new Color(ColorSpace::deviceRGB, {red, green, blue, alpha}));
}

Color::Ptr Color::withHue(double hue, double saturation, double brightness, double alpha) {
  // The sector is chosen by comparisons, never by turning h * 6 into an
  // integer: a NaN or huge hue must not reach an integer conversion.
  const double turn = hue - std::floor(hue);  // 1.0 and -0.25 wrap to 0 and 0.75
  const double h6 = turn * 6.0;
  const double v = brightness;
  const double chroma = brightness * saturation;
  double r = v, g = v, b = v;
  if (saturation != 0) {
    const double sector = h6 < 1 ? 0 : h6 < 2 ? 1 : h6 < 3 ? 2 : h6 < 4 ? 3 : h6 < 5 ? 4 : 5;
    const double f = h6 - sector;
    const double p = v - chroma;
    const double q = v - chroma * f;
    const double t = v - chroma * (1 - f);
    if (sector == 0) { r = v; g = t; b = p; }
    else if (sector == 1) { r = q; g = v; b = p; }
    else if (sector == 2) { r = p; g = v; b = t; }
    else if (sector == 3) { r = p; g = q; b = v; }
    else if (sector == 4) { r = t; g = p; b = v; }
    else { r = v; g = p; b = q; }
  }
  return withRed(r, g, b, alpha);
}

Color::Ptr Color::withWhite(double white, double alpha) {
  return Ptr(new Color(ColorSpace::calibratedWhite, {white, alpha, 0, 0}));
}

const Color::Ptr& Color::blackColor() {
  static const NoDestructor<Ptr> black(withWhite(0, 1));
  return *black;
}

const Color::Ptr& Color::whiteColor() {
  static const NoDestructor<Ptr> white(withWhite(1, 1));
  return *white;
}

const Color::Ptr& Color::clearColor() {
  static const NoDestructor<Ptr> clear(withWhite(0, 0));
  return *clear;
}

const Color::Ptr& Color::redColor() {
  static const NoDestructor<Ptr> red(withRed(1, 0, 0, 1));
  return *red;
}

const Color::Ptr& Color::greenColor() {
  static const NoDestructor<Ptr> green(withRed(0, 1, 0, 1));
  return *green;
}

const Color::Ptr& Color::cyanColor() {
  static const NoDestructor<Ptr> cyan(withRed(0, 1, 1, 1));
  return *cyan;
}

const Color::Ptr& Color::brownColor() {
  static const NoDestructor<Ptr> brown(withRed(0.6, 0.4, 0.2, 1));
  return *brown;
}

std::array<double, 3> Color::hsb() const {
  if (isWhite()) return {0.0, 0.0, components_[0]};
  const double r = components_[0], g = components_[1], b = components_[2];
  const double maximum = std::max({r, g, b});
  const double minimum = std::min({r, g, b});
  const double delta = maximum - minimum;
  const double saturation = maximum == 0 ? 0.0 : delta / maximum;
  double hue = 0;
  if (delta != 0) {
    if (maximum == r) {
      hue = (g - b) / delta;
    } else if (maximum == g) {
      hue = 2 + (b - r) / delta;
    } else {
      hue = 4 + (r - g) / delta;
    }
    hue /= 6;
    if (hue < 0) hue += 1;
  }
  return {hue, saturation, maximum};
}

double Color::hueComponent() const { return hsb()[0]; }
double Color::saturationComponent() const { return hsb()[1]; }
double Color::brightnessComponent() const { return hsb()[2]; }

std::string Color::description() const {
  std::string text = "Color(" + std::string(vantrel::description(space_)) + ":";
  for (double c : components()) text += " " + coordinateText(c) + ",";
  text.back() = ')';
  return text;
}

}  // namespace vantrel
