#include "vantrel/platform/kit/paragraph_style.h"

namespace vantrel {

std::string_view description(LineBreakMode mode) {
  switch (mode) {
    case LineBreakMode::byWordWrapping: return "byWordWrapping";
    case LineBreakMode::byCharWrapping: return "byCharWrapping";
    case LineBreakMode::byClipping: return "byClipping";
    case LineBreakMode::byTruncatingHead: return "byTruncatingHead";
    case LineBreakMode::byTruncatingTail: return "byTruncatingTail";
    case LineBreakMode::byTruncatingMiddle: return "byTruncatingMiddle";
  }
  return "unknown";
}

}  // namespace vantrel
