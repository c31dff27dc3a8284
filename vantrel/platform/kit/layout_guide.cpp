#include "vantrel/platform/kit/layout_guide.h"

#include <cstdint>

#include <fmt/format.h>

#include "vantrel/platform/kit/view.h"

namespace vantrel {

Rect LayoutGuide::layoutFrame() const {
  const auto view = owningView();
  return view ? view->bounds() : Rect();
}

std::string LayoutGuide::description() const {
  std::string text = fmt::format("<LayoutGuide: 0x{:016x}", reinterpret_cast<std::uintptr_t>(this));
  if (!identifier_.empty()) text += "; identifier = \"" + identifier_ + "\"";
  return text + ">";
}

}  // namespace vantrel
