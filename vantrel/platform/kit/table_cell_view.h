// File: vantrel/platform/kit/table_cell_view.h
//
// `TableCellView`: the view a table shows for one row of one column. It
// carries the identifier the table's reuse pool files it under and an
// optional text field the cell presents its value in.
//
//   auto cell = TableCellView::create();
//   cell->setIdentifier("name");        // recycled by the table on reload
//   auto label = TextField::create();
//   cell->addSubview(label);
//   cell->setTextField(label);
//
// A cell with an empty identifier (the default) is never recycled: the
// table drops it on reload. `textField` is held weakly, as the platform's
// outlet was: the subview list owns the field.
//
// Main-thread objects: not thread-safe.
#pragma once

#include <memory>
#include <string>

#include "vantrel/core/geometry.h"
#include "vantrel/platform/kit/text_field.h"
#include "vantrel/platform/kit/view.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

class TableCellView : public View {
 public:
  using Ptr = std::shared_ptr<TableCellView>;

  [[nodiscard]] static Ptr create(Rect frame = Rect());

  [[nodiscard]] const std::string& identifier() const { return identifier_; }
  void setIdentifier(std::string identifier) { identifier_ = std::move(identifier); }

  [[nodiscard]] TextField::Ptr textField() const { return textField_.lock(); }
  void setTextField(const TextField::Ptr& field) { textField_ = field; }

 protected:
  explicit TableCellView(Rect frame) : View(frame) {}

 private:
  std::string identifier_;
  std::weak_ptr<TextField> textField_;
};

}  // namespace vantrel
