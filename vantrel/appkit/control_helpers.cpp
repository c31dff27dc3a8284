#include "vantrel/appkit/control_helpers.h"

namespace vantrel {

void setupAsLabelFlags(TextField& self) {
  self.setBezeled(false);
  self.setEditable(false);
  self.setDrawsBackground(false);
  self.setSelectable(true);
}

ToolbarItem::Ptr vtItemWithIdentifier(const Toolbar& self, std::string_view identifier) {
  for (const auto& item : self.items()) {
    if (item->itemIdentifier() == identifier) return item;
  }
  return nullptr;
}

void reloadDataForRowIndexes(TableView& self, const IndexSet& rowIndexes) {
  self.reloadDataForRowIndexesColumnIndexes(rowIndexes, IndexSet(0));
}

std::string vtDescription(CollectionViewItemHighlightState state) {
  switch (state) {
    case CollectionViewItemHighlightState::none: return "None";
    case CollectionViewItemHighlightState::forSelection: return "ForSelection";
    case CollectionViewItemHighlightState::forDeselection: return "ForDeselection";
    case CollectionViewItemHighlightState::asDropTarget: return "AsDropTarget";
  }
  return "None";
}

}  // namespace vantrel
