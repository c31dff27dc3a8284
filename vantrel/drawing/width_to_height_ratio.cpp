#include "vantrel/drawing/width_to_height_ratio.h"

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
  // fixedText writes every NaN (0 / 0 has its sign bit set) as "nan".
  return "VtImageAspectRatio(" + fixedText(value_, 3) + ", " + std::string(vantrel::description(aspect())) + ")";
}

}  // namespace vantrel
