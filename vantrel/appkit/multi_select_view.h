// File: vantrel/appkit/multi_select_view.h
//
// `MultiSelectView`: a ready-made scrolling list of check boxes, one row per
// entry. The user checks and unchecks boxes; the list keeps each entry's
// `selected` flag up to date and tells its delegate what changed. A click
// with the option key held sets every enabled entry to the clicked box's new
// state. Rows themselves are never selected; only the boxes react.
//
//   auto list = MultiSelectView::create({
//       MultiSelectViewEntry("a", false, AttributedString("Apples")),
//       MultiSelectViewEntry("p", true, AttributedString("Pears"), true),  // disabled
//   });
//   list->setDelegate(controller);     // held weakly
//   window->addSubview(list);          // place it with constraints of your own
//
// The list is a scroll view (vertical scroller, bezel border) pinned to its
// four edges, holding a table with one column "cell", rows 20 high, no
// header; the list is the table's data source and delegate and the delegate
// of every cell it makes. Every change of `entries` (from the host, from
// `selectEntry` / `deselectEntry` or from a click) reloads the table; an
// option-click reloads it once per entry it writes.
//
// Clicks: the row is the clicked cell's row in the table. A click whose
// cell the table no longer shows (row -1) changes nothing and reports
// nothing. Without option: the row's entry takes the new state, then the
// delegate hears `multiSelectViewDidSelectEntryAt` / `…DidDeselectEntryAt`
// with the row. With option: every enabled entry, first to last, takes the
// new state, then the delegate hears `multiSelectViewDidSelectAll` /
// `…DidDeselectAll`. Other modifier keys change nothing. The delegate is
// read after the entries changed; without one, the entries still change.
// A reload during a click never frees the cell or the list while they are
// still handling it.
//
// `selectEntry` / `deselectEntry` with an index outside the entries are
// ignored. A table column whose identifier does not begin with "cell" is
// reported through `VantrelErrorManager::si()->fatalError("Identifier not
// cell")` (which stops the program only under the development environment)
// and gets no view.
//
// There is no frame constructor (`create(Rect)` is deleted) and no archive
// form. Main-thread objects: not thread-safe.
#pragma once

#include <concepts>
#include <cstdint>
#include <memory>
#include <vector>

#include "vantrel/appkit/multi_select_view_cell.h"
#include "vantrel/appkit/multi_select_view_entry.h"
#include "vantrel/platform/kit/application.h"
#include "vantrel/core/geometry.h"
#include "vantrel/platform/kit/table_view.h"
#include "vantrel/platform/kit/view.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

class MultiSelectView;

// What the host hears; all four are required. The row is the index into
// `entries()`.
class MultiSelectViewDelegate {
 public:
  virtual ~MultiSelectViewDelegate() = default;
  // The user checked the box of `row` without the option key.
  virtual void multiSelectViewDidSelectEntryAt(const std::shared_ptr<MultiSelectView>& view, std::int64_t row) = 0;
  // The user unchecked the box of `row` without the option key.
  virtual void multiSelectViewDidDeselectEntryAt(const std::shared_ptr<MultiSelectView>& view,
                                                 std::int64_t row) = 0;
  // The user checked a box with the option key held.
  virtual void multiSelectViewDidSelectAll(const std::shared_ptr<MultiSelectView>& view) = 0;
  // The user unchecked a box with the option key held.
  virtual void multiSelectViewDidDeselectAll(const std::shared_ptr<MultiSelectView>& view) = 0;
};

class MultiSelectView : public View,
                        public TableViewDataSource,
                        public TableViewDelegate,
                        public MultiSelectCellDelegate {
 public:
  using Ptr = std::shared_ptr<MultiSelectView>;

  // The whole list, at (0, 0, 100, 100), showing `entries`.
  [[nodiscard]] static Ptr create(std::vector<MultiSelectViewEntry> entries);
  // No frame form; a template, so that `create({})` still means no entries.
  template <std::same_as<Rect> Frame>
  static Ptr create(Frame frame) = delete;

  [[nodiscard]] virtual std::shared_ptr<MultiSelectViewDelegate> delegate() const { return delegate_.lock(); }
  virtual void setDelegate(const std::shared_ptr<MultiSelectViewDelegate>& delegate) { delegate_ = delegate; }

  [[nodiscard]] virtual const std::vector<MultiSelectViewEntry>& entries() const { return entries_; }
  // Replaces the entries and reloads the table; the delegate hears nothing.
  virtual void setEntries(std::vector<MultiSelectViewEntry> entries);

  // Checks / unchecks the entry at `index` from code (reloading the table,
  // also when it already had that state) and the box shown for it; the
  // delegate hears nothing.
  virtual void selectEntry(std::int64_t index);
  virtual void deselectEntry(std::int64_t index);

  // The table's data source and delegate.
  std::int64_t numberOfRows(TableView& tableView) override;
  View::Ptr tableView(TableView& tableView, const TableColumn::Ptr& column, std::int64_t row) override;
  // Always false: rows are never selected.
  bool tableView(TableView& tableView, std::int64_t shouldSelectRow) override;

  // A cell's box was clicked (see the top of this file).
  void multiSelectCell(const std::shared_ptr<MultiSelectCell>& cell, bool didChangeCheckbox,
                       EventModifierFlags modifiers) override;

 protected:
  explicit MultiSelectView(std::vector<MultiSelectViewEntry> entries);

 private:
  void build();
  void setEntrySelected(std::int64_t index, bool selected);
  [[nodiscard]] bool isEntryIndex(std::int64_t index) const;

  std::weak_ptr<MultiSelectViewDelegate> delegate_;
  std::vector<MultiSelectViewEntry> entries_;
  TableView::Ptr tableView_;
};

}  // namespace vantrel
