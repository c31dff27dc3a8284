// File: vantrel/drawing/width_to_height_ratio.h
//
// `VtImageAspectRatio`: the width-to-height ratio of an image with the size
// it came from, classified as `vertical` (below 1), `square` (exactly 1) or
// `horizontal` (anything else).
//
//   VtImageAspectRatio r(Size(1920, 1080));
//   r.description();             // "VtImageAspectRatio(1.778, horizontal)"
//   VtImageAspectRatio(1.5).sourceSize();   // (150, 100)
//   VtImageAspectRatio(1.5).widthForHeight(200);   // 300
//
// Equality, order and hash look at the value only. A zero height gives an
// infinite value, 0 x 0 gives NaN (aspect `horizontal`, described as "nan").
// Plain value; any thread.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "vantrel/core/geometry.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

enum class VtImageAspect { vertical, square, horizontal };

// "vertical", "square", "horizontal".
[[nodiscard]] std::string_view description(VtImageAspect aspect);

class VtImageAspectRatio {
 public:
  // width / height, unguarded.
  explicit VtImageAspectRatio(Size size) : sourceSize_(size), value_(size.width / size.height) {}
  // A made-up source size: (100 * ratio, 100) for a ratio above 0, else
  // (100, 100 * ratio).
  explicit VtImageAspectRatio(double ratio);

  [[nodiscard]] Size sourceSize() const { return sourceSize_; }
  [[nodiscard]] double value() const { return value_; }
  [[nodiscard]] double valueAsCGFloat() const { return value_; }
  [[nodiscard]] VtImageAspect aspect() const;

  [[nodiscard]] bool moreVerticalThan(const VtImageAspectRatio& other) const { return value_ < other.value_; }
  [[nodiscard]] bool moreHorizontalThan(const VtImageAspectRatio& other) const { return value_ > other.value_; }
  // height * value.
  [[nodiscard]] double widthForHeight(double height) const { return height * value_; }
  // width / value.
  [[nodiscard]] double heightForWidth(double width) const { return width / value_; }

  // The standard hash of the value (0 and -0 alike).
  [[nodiscard]] std::size_t hashValue() const;
  // "VtImageAspectRatio(<value, "%.3f">, <aspect>)".
  [[nodiscard]] std::string description() const;

  friend bool operator==(const VtImageAspectRatio& a, const VtImageAspectRatio& b) { return a.value_ == b.value_; }
  friend bool operator<(const VtImageAspectRatio& a, const VtImageAspectRatio& b) { return a.value_ < b.value_; }
  // Derived from `<` alone, as the platform derives them (so with NaN,
  // a <= b holds whenever b < a does not).
  friend bool operator>(const VtImageAspectRatio& a, const VtImageAspectRatio& b) { return b < a; }
  friend bool operator<=(const VtImageAspectRatio& a, const VtImageAspectRatio& b) { return !(b < a); }
  friend bool operator>=(const VtImageAspectRatio& a, const VtImageAspectRatio& b) { return !(a < b); }

 private:
  Size sourceSize_;
  double value_;
};

}  // namespace vantrel

template <>
struct std::hash<vantrel::VtImageAspectRatio> {
  std::size_t operator()(const vantrel::VtImageAspectRatio& r) const noexcept { return r.hashValue(); }
};
