#include "vantrel/drawing/image_aspect_ratio.h"

#include <cmath>
#include <functional>

#include "vantrel/core/number_text.h"

namespace vantrel {

std::string_view description(VtImageAspect aspect) {
  switch (aspect) {
    case VtImageAspect::vertical: return "vertical";
    case VtImageAspect::square: return "square";
    case VtImageAspect::horizontal: return "horizontal";
  }
  return "horizontal";
}

VtImageAspectRatio::VtImageAspectRatio(double ratio)
    : sourceSize_(ratio > 0 ? Size(100 * ratio, 100) : Size(100, 100 * ratio)), value_(ratio) {}

VtImageAspect VtImageAspectRatio::aspect() const {
  if (value_ < 1) return VtImageAspect::vertical;
  if (value_ == 1) return VtImageAspect::square;
  return VtImageAspect::horizontal;
}

std::size_t VtImageAspectRatio::hashValue() const { return std::hash<double>{}(value_); }

std::string VtImageAspectRatio::description() const {
  // 0 / 0 is a NaN with its sign bit set on common hardware; printf would
  // write "-nan" for it.
  const std::string valueText = std::isnan(value_) ? std::string("nan") : printfDouble("%.3f", value_);
  return "VtImageAspectRatio(" + valueText + ", " + std::string(vantrel::description(aspect())) + ")";
}

}  // namespace vantrel
