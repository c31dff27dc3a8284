#include "vantrel/platform/kit/toolbar.h"

#include <fmt/format.h>

#include "vantrel/core/fatal.h"

namespace vantrel {

void Toolbar::insertItem(ToolbarItem::Ptr item, std::int64_t index) {
  if (!item) fatal("Toolbar.insertItem: the item is null");
  if (index < 0 || index > static_cast<std::int64_t>(items_.size())) {
    fatal(fmt::format("Toolbar.insertItem: index {} outside 0...{}", index, items_.size()));
  }
  items_.insert(items_.begin() + index, std::move(item));
}

void Toolbar::removeItemAtIndex(std::int64_t index) {
  if (index < 0 || index >= static_cast<std::int64_t>(items_.size())) {
    fatal(fmt::format("Toolbar.removeItemAtIndex: index {} outside 0..<{}", index, items_.size()));
  }
  items_.erase(items_.begin() + index);
}

}  // namespace vantrel
