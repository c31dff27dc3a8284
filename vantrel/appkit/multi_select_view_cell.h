// File: vantrel/appkit/multi_select_view_cell.h
//
// `MultiSelectCell`: the row view of a `MultiSelectView`: a table cell
// holding one check box, 3 points from its left edge and centred
// vertically. Setting an entry fills the box (title, checked state, enabled
// unless the entry is disabled); a cell without an entry shows a disabled
// box titled "quib".
//
//   auto cell = MultiSelectCell::create();
//   cell->setMultiSelectViewEntry(MultiSelectViewEntry("a", true, AttributedString("Apples")));
//   cell->setDelegate(list);            // held weakly
//   cell->checkbox()->performClick();   // unchecks, then tells the delegate
//
// A click on the box calls the delegate's `multiSelectCell` with the cell,
// the box's new state and the modifier keys held at that moment
// (`Application::currentModifierFlags()`); with the delegate gone nothing
// happens. The cell and its box stay alive until that call returns, even
// when the delegate reloads the table that showed them.
//
// There is no frame constructor (`create(Rect)` is deleted) and no archive
// form. Main-thread objects: not thread-safe.
#pragma once

#include <memory>
#include <optional>

#include "vantrel/appkit/multi_select_view_entry.h"
#include "vantrel/platform/kit/application.h"
#include "vantrel/platform/kit/button.h"
#include "vantrel/platform/kit/control.h"
#include "vantrel/core/geometry.h"
#include "vantrel/platform/kit/table_cell_view.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

class MultiSelectCell;

class MultiSelectCellDelegate {
 public:
  virtual ~MultiSelectCellDelegate() = default;
  // The box of `cell` was clicked; `didChangeCheckbox` is its new state
  // (true = checked), `modifiers` the keys held during the click.
  virtual void multiSelectCell(const std::shared_ptr<MultiSelectCell>& cell, bool didChangeCheckbox,
                               EventModifierFlags modifiers) = 0;
};

class MultiSelectCell : public TableCellView {
 public:
  using Ptr = std::shared_ptr<MultiSelectCell>;

  // An empty cell at (10, 0, 300, 100) with its box and two constraints.
  [[nodiscard]] static Ptr create();
  static Ptr create(Rect frame) = delete;

  [[nodiscard]] std::shared_ptr<MultiSelectCellDelegate> delegate() const { return delegate_.lock(); }
  void setDelegate(const std::shared_ptr<MultiSelectCellDelegate>& delegate) { delegate_ = delegate; }

  [[nodiscard]] const Button::Ptr& checkbox() const { return checkbox_; }

  [[nodiscard]] const std::optional<MultiSelectViewEntry>& multiSelectViewEntry() const { return entry_; }
  // Stores the entry and, unless it is nullopt, fills the box from it.
  void setMultiSelectViewEntry(std::optional<MultiSelectViewEntry> entry);

  // The box's action.
  void checkboxAction(const Control::Ptr& sender);

 protected:
  MultiSelectCell();

 private:
  void build();

  std::weak_ptr<MultiSelectCellDelegate> delegate_;
  Button::Ptr checkbox_;
  std::optional<MultiSelectViewEntry> entry_;
};

}  // namespace vantrel
