#include "vantrel/appkit/multi_select_view_cell.h"

#include <optional>

#include "vantrel/drawing/layout_builders.h"
#include "vantrel/platform/kit/layout_constraint.h"

namespace vantrel {

MultiSelectCell::MultiSelectCell() : TableCellView(Rect(10, 0, 300, 100)), checkbox_(Button::create()) {}

MultiSelectCell::Ptr MultiSelectCell::create() {
  Ptr cell(new MultiSelectCell());
  cell->build();
  return cell;
}

// Everything that needs the cell's own shared pointer (the box's superview
// link, the target) waits until the cell has an owner.
void MultiSelectCell::build() {
  checkbox_->setTranslatesAutoresizingMaskIntoConstraints(false);
  checkbox_->setButtonType(ButtonType::switch_);
  checkbox_->setAttributedTitle(AttributedString("quib"));
  checkbox_->setEnabled(false);
  setTranslatesAutoresizingMaskIntoConstraints(false);

  const Ptr self = std::static_pointer_cast<MultiSelectCell>(shared_from_this());
  addSubview(checkbox_);
  addConstraints(vccPlace(self, checkbox_, {std::nullopt, 3.0, std::nullopt, std::nullopt}));
  addConstraint(LayoutConstraint::create(checkbox_, LayoutAttribute::centerY, LayoutRelation::equal, self,
                                         LayoutAttribute::centerY, 1.0, 0));
  checkbox_->setTarget(self, &MultiSelectCell::checkboxAction);
}

void MultiSelectCell::setMultiSelectViewEntry(std::optional<MultiSelectViewEntry> entry) {
  entry_ = std::move(entry);
  if (!entry_) return;
  checkbox_->setAttributedTitle(entry_->title());
  checkbox_->setState(entry_->selected() ? ControlStateValue::on : ControlStateValue::off);
  checkbox_->setEnabled(!entry_->disabled());
}

void MultiSelectCell::checkboxAction(const Control::Ptr& /*sender*/) {
  // Held for the call: the delegate reloads the table, which lets go of this
  // cell, and may drop its own last owner.
  const auto delegate = delegate_.lock();
  if (!delegate) return;
  const Ptr self = std::static_pointer_cast<MultiSelectCell>(shared_from_this());
  delegate->multiSelectCell(self, checkbox_->state() == ControlStateValue::on,
                            Application::shared()->currentModifierFlags());
}

}  // namespace vantrel
