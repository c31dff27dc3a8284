// File: vantrel/appkit/control_helpers.h
//
// Small helpers on controls: a text field turned into a static, selectable
// label; a toolbar item found by its identifier; a table that reloads given
// rows; and the name of a collection-view item's highlight state.
//
//   auto title = setupAsLabel(TextField::create());       // the field, set up
//   setupAsLabel(field)->setStringValue("Name");           // chainable
//   vtItemWithIdentifier(*toolbar, "search")    // the first such item, or null
//   reloadDataForRowIndexes(*table, IndexSet::fromIntIndexes({2, 5}))
//   vtDescription(CollectionViewItemHighlightState::asDropTarget)   "AsDropTarget"
//
// Main thread, like the controls.
#pragma once

#include <concepts>
#include <memory>
#include <string>
#include <string_view>

#include "vantrel/core/fatal.h"
#include "vantrel/platform/foundation/values/index_set.h"
#include "vantrel/platform/kit/collection_view_layout.h"
#include "vantrel/platform/kit/table_view.h"
#include "vantrel/platform/kit/text_field.h"
#include "vantrel/platform/kit/toolbar.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

// Bezeled off, editable off, background drawing off, selectable on, in
// that order.
void setupAsLabelFlags(TextField& self);

// The same as `setupAsLabelFlags`, answering the field it was given (of its
// own class) so calls can be chained. A null field stops the program.
template <std::derived_from<TextField> Field>
const std::shared_ptr<Field>& setupAsLabel(const std::shared_ptr<Field>& self) {
  if (!self) fatal("setupAsLabel: the text field is null");
  setupAsLabelFlags(*self);
  return self;
}

// The first item, in toolbar order, whose identifier is `identifier`; null
// when none is.
[[nodiscard]] ToolbarItem::Ptr vtItemWithIdentifier(const Toolbar& self, std::string_view identifier);

// Reloads the given rows in column 0 only (rows outside the table are
// ignored; an empty set reloads nothing).
void reloadDataForRowIndexes(TableView& self, const IndexSet& rowIndexes);

// "None", "ForSelection", "ForDeselection", "AsDropTarget"; "None" for any
// other raw value.
[[nodiscard]] std::string vtDescription(CollectionViewItemHighlightState state);

}  // namespace vantrel
