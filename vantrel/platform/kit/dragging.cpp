#include "vantrel/platform/kit/dragging.h"

namespace vantrel {

std::string DraggingItem::description() const {
  return "<DraggingItem: item = " + item_.description() + ", draggingFrame = " + draggingFrame_.description() + ">";
}

}  // namespace vantrel
