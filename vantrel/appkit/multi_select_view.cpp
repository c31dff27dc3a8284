#include "vantrel/appkit/multi_select_view.h"

#include "vantrel/drawing/layout_builders.h"
#include "vantrel/foundation/logs/error_manager.h"
#include "vantrel/platform/kit/scroll_view.h"
#include "vantrel/text/string_services.h"

namespace vantrel {

MultiSelectView::MultiSelectView(std::vector<MultiSelectViewEntry> entries)
    : View(Rect(0, 0, 100, 100)), entries_(std::move(entries)) {
  setTranslatesAutoresizingMaskIntoConstraints(false);
}

MultiSelectView::Ptr MultiSelectView::create(std::vector<MultiSelectViewEntry> entries) {
  Ptr list(new MultiSelectView(std::move(entries)));
  list->build();
  return list;
}

// Everything that links views together (superviews, data source, delegate)
// needs the list's own shared pointer, so it waits until the list has one.
void MultiSelectView::build() {
  const Ptr self = std::static_pointer_cast<MultiSelectView>(shared_from_this());
  const Size size = frame().size;

  auto scroll = ScrollView::create(Rect(Point(), size));
  scroll->setTranslatesAutoresizingMaskIntoConstraints(false);
  scroll->setHasVerticalScroller(true);
  scroll->setAutohidesScrollers(false);
  scroll->setBorderType(BorderType::bezelBorder);

  auto table = TableView::create(Rect(Point(), size));
  table->setHeaderView(nullptr);
  table->setGridStyleMask(TableViewGridLineStyle::solidHorizontalGridLineMask);
  table->setRowHeight(20.0);
  table->setColumnAutoresizingStyle(TableViewColumnAutoresizingStyle::uniformColumnAutoresizingStyle);
  auto column = TableColumn::create("cell");
  column->setTitle("Cell");
  column->setResizingMask(TableColumnResizingOptions::autoresizingMask);
  column->setMinWidth(50.0);
  table->addTableColumn(column);
  tableView_ = table;

  scroll->setDocumentView(table);
  addSubview(scroll);
  addConstraints(vccPlace(self, scroll, {0.0, 0.0, 0.0, 0.0}));

  table->setDataSource(self);
  table->setDelegate(self);
}

void MultiSelectView::setEntries(std::vector<MultiSelectViewEntry> entries) {
  entries_ = std::move(entries);
  tableView_->reloadData();
}

bool MultiSelectView::isEntryIndex(std::int64_t index) const {
  return index >= 0 && index < static_cast<std::int64_t>(entries_.size());
}

void MultiSelectView::setEntrySelected(std::int64_t index, bool selected) {
  entries_[static_cast<std::size_t>(index)].setSelected(selected);
  tableView_->reloadData();
}

void MultiSelectView::selectEntry(std::int64_t index) {
  if (!isEntryIndex(index)) return;
  setEntrySelected(index, true);
  if (auto cell = std::dynamic_pointer_cast<MultiSelectCell>(tableView_->viewAtColumn(0, index, false))) {
    cell->checkbox()->setState(ControlStateValue::on);
  }
}

void MultiSelectView::deselectEntry(std::int64_t index) {
  if (!isEntryIndex(index)) return;
  setEntrySelected(index, false);
  if (auto cell = std::dynamic_pointer_cast<MultiSelectCell>(tableView_->viewAtColumn(0, index, false))) {
    cell->checkbox()->setState(ControlStateValue::off);
  }
}

std::int64_t MultiSelectView::numberOfRows(TableView& /*tableView*/) {
  return static_cast<std::int64_t>(entries_.size());
}

View::Ptr MultiSelectView::tableView(TableView& tableView, const TableColumn::Ptr& column, std::int64_t row) {
  const std::string identifier = column ? column->identifier() : std::string();
  if (auto reused = tableView.makeViewWithIdentifier(identifier)) return reused;
  if (hasPrefix(identifier, "cell")) {
    // The table asks only for rows it counted; a row beyond the entries
    // would come from another table the host wired to this list.
    if (!isEntryIndex(row)) return nullptr;
    auto cell = MultiSelectCell::create();
    cell->setMultiSelectViewEntry(entries_[static_cast<std::size_t>(row)]);
    cell->setDelegate(std::static_pointer_cast<MultiSelectView>(shared_from_this()));
    return cell;
  }
  VantrelErrorManager::si()->fatalError("Identifier not cell", false);
  return nullptr;
}

bool MultiSelectView::tableView(TableView& /*tableView*/, std::int64_t /*shouldSelectRow*/) { return false; }

void MultiSelectView::multiSelectCell(const std::shared_ptr<MultiSelectCell>& cell, bool didChangeCheckbox,
                                      EventModifierFlags modifiers) {
  // The delegate may drop the last owner of the list while it is told.
  const Ptr self = std::static_pointer_cast<MultiSelectView>(shared_from_this());
  // A cell the table no longer shows (a stale row after a reload, or a cell
  // from elsewhere) has no row: writing at -1 would corrupt the entries, so
  // the click is dropped whole, option or not.
  const std::int64_t row = tableView_->rowForView(cell);
  if (!isEntryIndex(row)) return;

  if (!modifiers.contains(EventModifierFlags::option)) {
    setEntrySelected(row, didChangeCheckbox);
    if (const auto delegate = this->delegate()) {
      if (didChangeCheckbox) {
        delegate->multiSelectViewDidSelectEntryAt(self, row);
      } else {
        delegate->multiSelectViewDidDeselectEntryAt(self, row);
      }
    }
    return;
  }
  // Size read on every step: the entries stay the list's own during the
  // reloads, but nothing is assumed about their count.
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    if (!entries_[i].disabled()) setEntrySelected(static_cast<std::int64_t>(i), didChangeCheckbox);
  }
  if (const auto delegate = this->delegate()) {
    if (didChangeCheckbox) {
      delegate->multiSelectViewDidSelectAll(self);
    } else {
      delegate->multiSelectViewDidDeselectAll(self);
    }
  }
}

}  // namespace vantrel
