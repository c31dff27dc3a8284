// File: vantrel/core/color.h
//
// `Color`: an immutable colour: a colour space tag and its components, alpha
// last. RGB spaces hold red, green, blue, alpha; the white space holds
// white, alpha. Components are kept exactly as given: nothing is clamped, so
// extended values (1.2, -0.1) survive every read.
//
//   auto red = Color::withRed(1, 0, 0, 1);          // calibrated RGB
//   auto grey = Color::withWhite(0.5, 1);           // white space
//   auto sky = Color::withHue(0.55, 0.4, 1, 1);     // stored as calibrated RGB
//   red->hueComponent()                             // 0.0
//   *red == *Color::withRed(1, 0, 0, 1)             // true: same space and components
//
// Equality is on the space and every component, alpha included: black in the
// white space is not equal to black in an RGB space. `blackColor()` and
// `whiteColor()` are the white-space colours 0 and 1, one shared object each.
//
// Reads: the RGB reads of a white colour answer (w, w, w); its HSB reads
// answer hue 0, saturation 0, brightness w. HSB reads of RGB colours give a
// hue in 0..<1 (0 for greys) for components within 0...1.
//
// Lifetimes: colours are held by `std::shared_ptr` (identity is the pointer)
// and, being immutable, may be shared between threads freely.
#pragma once

#include <array>
#include <cstddef>
#include <memory>
#include <span>
#include <string>

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

enum class ColorSpace {
  calibratedRGB,
  deviceRGB,
  calibratedWhite,
};

// "calibratedRGB", "deviceRGB", "calibratedWhite"
[[nodiscard]] std::string_view description(ColorSpace space);

class Color {
 public:
  using Ptr = std::shared_ptr<Color>;

  [[nodiscard]] static Ptr withRed(double red, double green, double blue, double alpha);
  [[nodiscard]] static Ptr withDeviceRed(double red, double green, double blue, double alpha);
  // Hue as a fraction of the full turn (1.0 is 360 degrees; values outside
  // 0..<1 wrap); converted to calibrated RGB at once.
  [[nodiscard]] static Ptr withHue(double hue, double saturation, double brightness, double alpha);
  [[nodiscard]] static Ptr withWhite(double white, double alpha);
  [[nodiscard]] static const Ptr& blackColor();
  [[nodiscard]] static const Ptr& whiteColor();
  // The platform's named colours: clear is white 0 with alpha 0; red
  // (1, 0, 0), green (0, 1, 0), cyan (0, 1, 1) and brown (0.6, 0.4, 0.2) are
  // calibrated RGB, opaque. One shared object each.
  [[nodiscard]] static const Ptr& clearColor();
  [[nodiscard]] static const Ptr& redColor();
  [[nodiscard]] static const Ptr& greenColor();
  [[nodiscard]] static const Ptr& cyanColor();
  [[nodiscard]] static const Ptr& brownColor();

  Color(const Color&) = delete;
  Color& operator=(const Color&) = delete;

  [[nodiscard]] ColorSpace colorSpace() const { return space_; }
  // 4 for the RGB spaces, 2 for white.
  [[nodiscard]] std::size_t numberOfComponents() const {
    return space_ == ColorSpace::calibratedWhite ? 2 : 4;
  }
  // The stored components, alpha last.
  [[nodiscard]] std::span<const double> components() const {
    return {components_.data(), numberOfComponents()};
  }

  [[nodiscard]] double redComponent() const { return components_[0]; }
  [[nodiscard]] double greenComponent() const { return isWhite() ? components_[0] : components_[1]; }
  [[nodiscard]] double blueComponent() const { return isWhite() ? components_[0] : components_[2]; }
  [[nodiscard]] double alphaComponent() const { return isWhite() ? components_[1] : components_[3]; }
  [[nodiscard]] double hueComponent() const;
  [[nodiscard]] double saturationComponent() const;
  [[nodiscard]] double brightnessComponent() const;

  friend bool operator==(const Color& a, const Color& b) {
    return a.space_ == b.space_ && a.components_ == b.components_;
  }

  // "Color(calibratedRGB: 1.0, 0.0, 0.0, 1.0)"
  [[nodiscard]] std::string description() const;

 private:
  Color(ColorSpace space, std::array<double, 4> components) : space_(space), components_(components) {}
  [[nodiscard]] bool isWhite() const { return space_ == ColorSpace::calibratedWhite; }
  [[nodiscard]] std::array<double, 3> hsb() const;

  ColorSpace space_;
  // Unused trailing slots stay 0, so whole-array equality is space-aware.
  std::array<double, 4> components_;
};

}  // namespace vantrel
