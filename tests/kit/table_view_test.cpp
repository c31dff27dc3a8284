#include "vantrel/platform/kit/table_view.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <fmt/format.h>
#include <gtest/gtest.h>

#include "vantrel/platform/kit/scroll_view.h"
#include "vantrel/platform/kit/table_cell_view.h"
#include "vantrel/platform/kit/text_field.h"

namespace vantrel {
namespace {

// A model that shows one text per row, in cells made the way a host makes
// them: recycled when the table has one, else new.
class Model : public TableViewDataSource, public TableViewDelegate {
 public:
  explicit Model(std::vector<std::string> texts) : texts(std::move(texts)) {}

  std::int64_t numberOfRows(TableView& /*tableView*/) override { return rowCount.value_or(std::ssize(texts)); }

  View::Ptr tableView(TableView& table, const TableColumn::Ptr& column, std::int64_t row) override {
    asked.push_back(fmt::format("{}:{}", column->identifier(), row));
    if (reloadOnceAt == row) {
      reloadOnceAt = -1;
      table.reloadData();
    }
    if (row == skipRow) return nullptr;
    TableCellView::Ptr cell = table.makeViewWithIdentifier(cellIdentifier);
    if (cell) {
      ++reused;
    } else {
      cell = TableCellView::create();
      cell->setIdentifier(cellIdentifier);
      auto field = TextField::create();
      cell->addSubview(field);
      cell->setTextField(field);
    }
    cell->textField()->setStringValue(texts[static_cast<std::size_t>(row)] + "/" + column->identifier());
    return cell;
  }

  bool tableView(TableView& /*tableView*/, std::int64_t shouldSelectRow) override {
    asked.push_back(fmt::format("select?{}", shouldSelectRow));
    return selectable;
  }

  std::vector<std::string> texts;
  std::optional<std::int64_t> rowCount;
  std::string cellIdentifier = "text";
  std::int64_t skipRow = -1;
  std::int64_t reloadOnceAt = -1;
  bool selectable = true;
  int reused = 0;
  std::vector<std::string> asked;
};

struct Fixture {
  explicit Fixture(std::vector<std::string> texts, std::vector<std::string> columns = {"name"})
      : table(TableView::create(Rect(0, 0, 300, 200))), model(std::make_shared<Model>(std::move(texts))) {
    for (const auto& identifier : columns) table->addTableColumn(TableColumn::create(identifier));
    table->setDataSource(model);
    table->setDelegate(model);
  }

  std::string textAt(std::int64_t column, std::int64_t row) const {
    auto cell = std::dynamic_pointer_cast<TableCellView>(table->viewAtColumn(column, row, false));
    return cell ? cell->textField()->stringValue() : "(none)";
  }

  TableView::Ptr table;
  std::shared_ptr<Model> model;
};

TEST(TableView, Defaults) {
  auto table = TableView::create(Rect(0, 0, 300, 200));
  EXPECT_TRUE(table->tableColumns().empty());
  EXPECT_EQ(table->numberOfRows(), 0);
  EXPECT_EQ(table->reloadCount(), 0);
  EXPECT_EQ(table->rowHeight(), 17.0);
  EXPECT_TRUE(table->gridStyleMask().isEmpty());
  EXPECT_EQ(table->columnAutoresizingStyle(), TableViewColumnAutoresizingStyle::uniformColumnAutoresizingStyle);
  ASSERT_NE(table->headerView(), nullptr);
  EXPECT_EQ(table->selectedRow(), -1);
  EXPECT_EQ(table->dataSource(), nullptr);
  EXPECT_EQ(table->delegate(), nullptr);
}

TEST(TableView, RowsLoadWhenTheModelIsSetWithoutCountingAReload) {
  Fixture f({"apple", "pear", "plum"});
  EXPECT_EQ(f.table->numberOfRows(), 3);
  EXPECT_EQ(f.table->reloadCount(), 0);
  EXPECT_EQ(f.textAt(0, 0), "apple/name");
  EXPECT_EQ(f.textAt(0, 2), "plum/name");
  EXPECT_EQ(f.table->subviews().size(), 3u);
  // Rows are placed rowHeight apart, across the column's width.
  EXPECT_EQ(f.table->viewAtColumn(0, 2, false)->frame(), Rect(0, 34, 100, 17));
  EXPECT_EQ(f.table->viewAtColumn(0, 1, false)->superview(), f.table);
}

TEST(TableView, ReloadAsksAgainAndCounts) {
  Fixture f({"apple", "pear"});
  f.model->texts = {"fig", "kiwi", "lime"};
  f.model->asked.clear();
  f.table->reloadData();
  EXPECT_EQ(f.table->reloadCount(), 1);
  EXPECT_EQ(f.model->asked, (std::vector<std::string>{"name:0", "name:1", "name:2"}));
  EXPECT_EQ(f.table->numberOfRows(), 3);
  EXPECT_EQ(f.textAt(0, 2), "lime/name");
  EXPECT_EQ(f.table->subviews().size(), 3u);  // the old rows left the table
  f.table->reloadData();
  EXPECT_EQ(f.table->reloadCount(), 2);
}

TEST(TableView, CellsWithAnIdentifierAreReused) {
  Fixture f({"apple", "pear"});
  const View::Ptr first = f.table->viewAtColumn(0, 0, false);
  const View::Ptr second = f.table->viewAtColumn(0, 1, false);
  f.table->reloadData();
  EXPECT_EQ(f.model->reused, 2);
  // The pool hands out the last one in first.
  EXPECT_EQ(f.table->viewAtColumn(0, 0, false), second);
  EXPECT_EQ(f.table->viewAtColumn(0, 1, false), first);
  EXPECT_EQ(f.table->reusableViewCount("text"), 0);
  f.model->texts = {"fig"};
  f.table->reloadData();
  EXPECT_EQ(f.table->reusableViewCount("text"), 1);  // one left over for later
  auto spare = f.table->makeViewWithIdentifier("text");
  EXPECT_NE(spare, nullptr);
  EXPECT_EQ(spare->superview(), nullptr);
  EXPECT_EQ(f.table->makeViewWithIdentifier("text"), nullptr);
  EXPECT_EQ(f.table->makeViewWithIdentifier("other"), nullptr);
}

TEST(TableView, CellsWithoutIdentifierAreDroppedOnReload) {
  Fixture f({"apple"});
  f.model->cellIdentifier = "";
  f.table->reloadData();
  std::weak_ptr<View> shown = f.table->viewAtColumn(0, 0, false);
  f.table->reloadData();
  EXPECT_TRUE(shown.expired());
  EXPECT_EQ(f.model->reused, 0);
  EXPECT_EQ(f.table->reusableViewCount(""), 0);
}

TEST(TableView, ViewAtColumnMakesOnlyWhenAsked) {
  Fixture f({"apple", "pear"});
  f.model->skipRow = 1;
  f.table->reloadData();
  EXPECT_EQ(f.table->viewAtColumn(0, 1, false), nullptr);
  f.model->skipRow = -1;
  f.model->asked.clear();
  auto made = f.table->viewAtColumn(0, 1, true);
  ASSERT_NE(made, nullptr);
  EXPECT_EQ(f.model->asked, std::vector<std::string>{"name:1"});
  EXPECT_EQ(f.table->viewAtColumn(0, 1, false), made);
  EXPECT_EQ(f.table->rowForView(made), 1);
  struct Case {
    std::int64_t column;
    std::int64_t row;
  };
  for (const Case& c : {Case{-1, 0}, Case{1, 0}, Case{0, -1}, Case{0, 2}}) {
    SCOPED_TRACE(fmt::format("column {} row {}", c.column, c.row));
    EXPECT_EQ(f.table->viewAtColumn(c.column, c.row, true), nullptr);
  }
}

TEST(TableView, RowForView) {
  Fixture f({"apple", "pear", "plum"});
  auto cell = std::dynamic_pointer_cast<TableCellView>(f.table->viewAtColumn(0, 2, false));
  ASSERT_NE(cell, nullptr);
  EXPECT_EQ(f.table->rowForView(cell), 2);
  EXPECT_EQ(f.table->rowForView(cell->textField()), 2);  // a view inside the row
  EXPECT_EQ(f.table->rowForView(View::create()), -1);
  EXPECT_EQ(f.table->rowForView(nullptr), -1);
  EXPECT_EQ(f.table->rowForView(f.table), -1);
  f.model->cellIdentifier = "";
  f.table->reloadData();
  EXPECT_EQ(f.table->rowForView(cell), -1);  // no longer shown
}

TEST(TableView, ColumnsOrderTheViewsOfARow) {
  Fixture f({"apple", "pear"}, {"name", "price"});
  f.table->tableColumns()[0]->setWidth(120);
  f.table->reloadData();
  EXPECT_EQ(f.textAt(1, 1), "pear/price");
  EXPECT_EQ(f.table->viewAtColumn(1, 1, false)->frame(), Rect(120, 17, 100, 17));
  EXPECT_EQ(f.table->columnWithIdentifier("price"), 1);
  EXPECT_EQ(f.table->columnWithIdentifier("none"), -1);
  const TableColumn::Ptr price = f.table->tableColumns()[1];
  EXPECT_EQ(price->tableView(), f.table);
  f.table->removeTableColumn(price);  // loads the rows again
  EXPECT_EQ(price->tableView(), nullptr);
  EXPECT_EQ(f.table->numberOfColumns(), 1);
  EXPECT_EQ(f.table->viewAtColumn(1, 0, false), nullptr);
  EXPECT_EQ(f.table->subviews().size(), 2u);
  auto other = TableView::create();
  other->addTableColumn(f.table->tableColumns()[0]);  // a column lives in one table
  EXPECT_EQ(f.table->numberOfColumns(), 0);
  EXPECT_EQ(other->numberOfColumns(), 1);
}

TEST(TableView, ColumnDefaults) {
  auto column = TableColumn::create("cell");
  EXPECT_EQ(column->identifier(), "cell");
  EXPECT_EQ(column->title(), "");
  EXPECT_EQ(column->width(), 100.0);
  EXPECT_EQ(column->minWidth(), 10.0);
  EXPECT_EQ(column->resizingMask().rawValue(), 3u);
  EXPECT_EQ(column->tableView(), nullptr);
}

TEST(TableView, ClickSelectsOnlyWhatTheDelegateAllows) {
  Fixture f({"apple", "pear", "plum"});
  f.model->asked.clear();
  f.table->clickRow(1);
  EXPECT_EQ(f.table->selectedRow(), 1);
  f.model->selectable = false;
  f.table->clickRow(2);
  EXPECT_EQ(f.table->selectedRow(), 1);
  f.table->clickRow(3);  // outside: the delegate is not even asked
  f.table->clickRow(-1);
  EXPECT_EQ(f.model->asked, (std::vector<std::string>{"select?1", "select?2"}));
  f.model->texts = {"fig"};
  f.table->reloadData();  // the selected row is gone
  EXPECT_EQ(f.table->selectedRow(), -1);
}

TEST(TableView, WithoutDelegateEveryRowIsEmptyAndSelectable) {
  auto table = TableView::create();
  table->addTableColumn(TableColumn::create("name"));
  auto model = std::make_shared<Model>(std::vector<std::string>{"apple", "pear"});
  table->setDataSource(model);
  EXPECT_EQ(table->numberOfRows(), 2);
  EXPECT_EQ(table->viewAtColumn(0, 0, true), nullptr);
  table->clickRow(1);
  EXPECT_EQ(table->selectedRow(), 1);
}

TEST(TableView, ModelIsHeldWeakly) {
  Fixture f({"apple"});
  std::weak_ptr<Model> watch = f.model;
  f.model.reset();
  EXPECT_TRUE(watch.expired());
  f.table->reloadData();
  EXPECT_EQ(f.table->numberOfRows(), 0);
  EXPECT_TRUE(f.table->subviews().empty());
}

TEST(TableView, NegativeRowCountShowsNoRows) {
  Fixture f({"apple"});
  f.model->rowCount = -4;
  f.table->reloadData();
  EXPECT_EQ(f.table->numberOfRows(), 0);
}

TEST(TableView, ReloadFromTheDelegateStartsTheLoadOver) {
  Fixture f({"apple", "pear", "plum"});
  f.model->reloadOnceAt = 1;
  f.model->asked.clear();
  f.table->reloadData();
  EXPECT_EQ(f.table->reloadCount(), 2);
  EXPECT_EQ(f.model->asked, (std::vector<std::string>{"name:0", "name:1", "name:0", "name:1", "name:2"}));
  // Every row shown once, nothing left behind from the abandoned pass.
  EXPECT_EQ(f.table->subviews().size(), 3u);
  EXPECT_EQ(f.textAt(0, 1), "pear/name");
}

TEST(TableViewDeathTest, NullColumnStops) {
  auto table = TableView::create();
  EXPECT_DEATH(table->addTableColumn(nullptr), "addTableColumn: the column is null");
}

TEST(TableCellView, IdentifierAndWeakTextField) {
  auto cell = TableCellView::create(Rect(0, 0, 100, 20));
  EXPECT_EQ(cell->identifier(), "");
  EXPECT_EQ(cell->textField(), nullptr);
  cell->setIdentifier("name");
  auto field = TextField::create();
  cell->addSubview(field);
  cell->setTextField(field);
  EXPECT_EQ(cell->identifier(), "name");
  EXPECT_EQ(cell->textField(), field);
  field->removeFromSuperview();
  field.reset();
  EXPECT_EQ(cell->textField(), nullptr);  // the subview list was its owner
}

TEST(ScrollView, MadeWithItsClipView) {
  auto scroll = ScrollView::create(Rect(5, 5, 200, 100));
  ASSERT_NE(scroll->contentView(), nullptr);
  EXPECT_EQ(scroll->subviews(), std::vector<View::Ptr>{scroll->contentView()});
  EXPECT_EQ(scroll->contentView()->superview(), scroll);
  EXPECT_EQ(scroll->contentView()->frame(), Rect(0, 0, 200, 100));
  EXPECT_EQ(scroll->documentView(), nullptr);
  EXPECT_FALSE(scroll->hasVerticalScroller());
  EXPECT_FALSE(scroll->hasHorizontalScroller());
  EXPECT_TRUE(scroll->autohidesScrollers());
  EXPECT_EQ(scroll->borderType(), BorderType::noBorder);
  scroll->setBorderType(BorderType::bezelBorder);
  EXPECT_EQ(static_cast<std::int64_t>(scroll->borderType()), 2);
  EXPECT_EQ(description(scroll->borderType()), "bezelBorder");
}

TEST(ScrollView, DocumentViewIsTheClipViewsSubview) {
  auto scroll = ScrollView::create(Rect(0, 0, 200, 100));
  auto table = TableView::create();
  scroll->setDocumentView(table);
  EXPECT_EQ(scroll->documentView(), table);
  EXPECT_EQ(table->superview(), scroll->contentView());
  auto other = View::create();
  scroll->setDocumentView(other);  // the previous one leaves the tree
  EXPECT_EQ(table->superview(), nullptr);
  EXPECT_EQ(scroll->contentView()->subviews(), std::vector<View::Ptr>{other});
  scroll->setDocumentView(nullptr);
  EXPECT_EQ(scroll->documentView(), nullptr);
  EXPECT_TRUE(scroll->contentView()->subviews().empty());
}

}  // namespace
}  // namespace vantrel
