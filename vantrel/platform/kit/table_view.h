// File: vantrel/platform/kit/table_view.h
//
// `TableView`: a view-based table. Its columns are `TableColumn` records;
// its rows come from a data source (how many) and a delegate (the view of
// each row in each column, and whether a row may be selected).
//
//   auto table = TableView::create(Rect(0, 0, 200, 100));
//   auto column = TableColumn::create("name");
//   table->addTableColumn(column);
//   table->setDataSource(model);     // both held weakly
//   table->setDelegate(model);       // rows load now
//   table->reloadData();             // counted: reloadCount() == 1
//   table->viewAtColumn(0, 2, false) // the view shown in row 2
//   table->rowForView(someSubview)   // its row, or -1
//
// Loading: the headless table shows every row. Setting the data source or
// the delegate, adding or removing a column, and `reloadData()` load the rows
// at once: the views shown so far leave the table (those of a
// `TableCellView` with an identifier go to the reuse pool), then the data
// source gives the count and the delegate a view for each row and column,
// in row order, column by column; each view becomes a subview of the table,
// placed at its row (`rowHeight` apart) and column. Only `reloadData()` calls
// are counted (`reloadCount()`). A reload asked for while the rows load
// (from the data source or the delegate) starts the load over once the
// current request returns.
//
// Reuse: `makeViewWithIdentifier` hands out (and takes out of the pool) a
// recycled cell with that identifier, else null; the delegate then makes
// one. The table has no interface files to instantiate from.
//
// Selection: `clickRow(row)` is the user's click on a row outside any
// control: the row is selected when the delegate allows it. A reload keeps
// the selection while its row still exists.
//
// Lifetimes: data source and delegate are held weakly (they usually own the
// table). The table owns the row views while they are shown; a view taken
// out by a reload lives on only while something else holds it (a control
// still running its action does, see `Control`).
//
// Stops (`fatal`): adding a null column. Main-thread objects: not
// thread-safe.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "vantrel/core/option_set.h"
#include "vantrel/platform/foundation/values/index_set.h"
#include "vantrel/core/geometry.h"
#include "vantrel/platform/kit/table_cell_view.h"
#include "vantrel/platform/kit/view.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

class TableView;

// How a column may change its width.
struct TableColumnResizingOptions : OptionSet<TableColumnResizingOptions, std::uint64_t> {
  using OptionSet::OptionSet;
  static const TableColumnResizingOptions autoresizingMask;  // 1: follows the table
  static const TableColumnResizingOptions userResizingMask;  // 2: the user may drag it
};
inline constexpr TableColumnResizingOptions TableColumnResizingOptions::autoresizingMask{1u};
inline constexpr TableColumnResizingOptions TableColumnResizingOptions::userResizingMask{2u};

// Which grid lines the table draws (none by default).
struct TableViewGridLineStyle : OptionSet<TableViewGridLineStyle, std::uint64_t> {
  using OptionSet::OptionSet;
  static const TableViewGridLineStyle solidVerticalGridLineMask;     // 1
  static const TableViewGridLineStyle solidHorizontalGridLineMask;   // 2
  static const TableViewGridLineStyle dashedHorizontalGridLineMask;  // 8
};
inline constexpr TableViewGridLineStyle TableViewGridLineStyle::solidVerticalGridLineMask{1u};
inline constexpr TableViewGridLineStyle TableViewGridLineStyle::solidHorizontalGridLineMask{2u};
inline constexpr TableViewGridLineStyle TableViewGridLineStyle::dashedHorizontalGridLineMask{8u};

// The platform's numbering, kept so raw values can be exchanged.
enum class TableViewColumnAutoresizingStyle : std::int64_t {
  noColumnAutoresizing = 0,
  uniformColumnAutoresizingStyle = 1,
  sequentialColumnAutoresizingStyle = 2,
  reverseSequentialColumnAutoresizingStyle = 3,
  lastColumnOnlyAutoresizingStyle = 4,
  firstColumnOnlyAutoresizingStyle = 5,
};

// One column: an identifier (what the delegate tells columns apart by), a
// header title and its width limits.
class TableColumn {
 public:
  using Ptr = std::shared_ptr<TableColumn>;

  // Width 100, minimum 10, no maximum; resizable both ways; empty title.
  [[nodiscard]] static Ptr create(std::string identifier);

  // A column is one object a table refers to; a copy would be another.
  TableColumn(const TableColumn&) = delete;
  TableColumn& operator=(const TableColumn&) = delete;

  [[nodiscard]] const std::string& identifier() const { return identifier_; }
  void setIdentifier(std::string identifier) { identifier_ = std::move(identifier); }
  [[nodiscard]] const std::string& title() const { return title_; }
  void setTitle(std::string title) { title_ = std::move(title); }
  [[nodiscard]] double width() const { return width_; }
  void setWidth(double width) { width_ = width; }
  [[nodiscard]] double minWidth() const { return minWidth_; }
  void setMinWidth(double width) { minWidth_ = width; }
  [[nodiscard]] double maxWidth() const { return maxWidth_; }
  void setMaxWidth(double width) { maxWidth_ = width; }
  [[nodiscard]] TableColumnResizingOptions resizingMask() const { return resizingMask_; }
  void setResizingMask(TableColumnResizingOptions mask) { resizingMask_ = mask; }
  // The table the column was added to, or null.
  [[nodiscard]] std::shared_ptr<TableView> tableView() const { return tableView_.lock(); }

 private:
  friend class TableView;  // sets tableView_
  explicit TableColumn(std::string identifier) : identifier_(std::move(identifier)) {}

  std::string identifier_;
  std::string title_;
  double width_ = 100.0;
  double minWidth_ = 10.0;
  double maxWidth_ = 3.40282347e+38;  // the largest float: no limit
  TableColumnResizingOptions resizingMask_{TableColumnResizingOptions::autoresizingMask,
                                           TableColumnResizingOptions::userResizingMask};
  std::weak_ptr<TableView> tableView_;
};

class TableViewDataSource {
 public:
  virtual ~TableViewDataSource() = default;
  // The number of rows; a negative answer counts as 0.
  virtual std::int64_t numberOfRows(TableView& tableView) = 0;
};

// Both requirements have defaults. A class that overrides one of them should
// also say `using TableViewDelegate::tableView;` to keep the other visible.
class TableViewDelegate {
 public:
  virtual ~TableViewDelegate() = default;
  // The view for `row` in `column` (`column` is never null); null shows
  // nothing there. Default: null.
  virtual View::Ptr tableView(TableView& tableView, const TableColumn::Ptr& column, std::int64_t row);
  // Whether a click may select `row`. Default: true.
  virtual bool tableView(TableView& tableView, std::int64_t shouldSelectRow);
};

class TableView : public View {
 public:
  using Ptr = std::shared_ptr<TableView>;

  // No columns, no rows; row height 17, no grid lines, a header view, uniform
  // column autoresizing.
  [[nodiscard]] static Ptr create(Rect frame = Rect());

  // --- Columns ---------------------------------------------------------------
  [[nodiscard]] const std::vector<TableColumn::Ptr>& tableColumns() const { return columns_; }
  [[nodiscard]] std::int64_t numberOfColumns() const { return static_cast<std::int64_t>(columns_.size()); }
  // Appends (a column already here moves to the end) and loads the rows.
  void addTableColumn(const TableColumn::Ptr& column);
  // Removes and loads the rows; a column not in this table is ignored.
  void removeTableColumn(const TableColumn::Ptr& column);
  // The index of the first column with that identifier, or -1.
  [[nodiscard]] std::int64_t columnWithIdentifier(std::string_view identifier) const;

  // --- Appearance --------------------------------------------------------------
  // The column header view; null for a table without header.
  [[nodiscard]] const View::Ptr& headerView() const { return headerView_; }
  void setHeaderView(View::Ptr view) { headerView_ = std::move(view); }
  [[nodiscard]] TableViewGridLineStyle gridStyleMask() const { return gridStyleMask_; }
  void setGridStyleMask(TableViewGridLineStyle mask) { gridStyleMask_ = mask; }
  // Used to place the rows of the next load.
  [[nodiscard]] double rowHeight() const { return rowHeight_; }
  void setRowHeight(double height) { rowHeight_ = height; }
  [[nodiscard]] TableViewColumnAutoresizingStyle columnAutoresizingStyle() const { return autoresizingStyle_; }
  void setColumnAutoresizingStyle(TableViewColumnAutoresizingStyle style) { autoresizingStyle_ = style; }

  // --- Data source and delegate (weak) -----------------------------------------
  [[nodiscard]] std::shared_ptr<TableViewDataSource> dataSource() const { return dataSource_.lock(); }
  void setDataSource(const std::shared_ptr<TableViewDataSource>& dataSource);
  [[nodiscard]] std::shared_ptr<TableViewDelegate> delegate() const { return delegate_.lock(); }
  void setDelegate(const std::shared_ptr<TableViewDelegate>& delegate);

  // --- Rows --------------------------------------------------------------------
  // Loads every row again (see the top of this file) and counts the call.
  void reloadData();
  // How many times `reloadData()` was called.
  [[nodiscard]] std::int64_t reloadCount() const { return reloadCount_; }
  // The row count of the last load.
  [[nodiscard]] std::int64_t numberOfRows() const { return static_cast<std::int64_t>(rows_.size()); }
  // A recycled cell filed under `identifier`, taken out of the pool; null
  // when the pool has none.
  [[nodiscard]] TableCellView::Ptr makeViewWithIdentifier(std::string_view identifier);
  // How many recycled cells wait under `identifier`.
  [[nodiscard]] std::int64_t reusableViewCount(std::string_view identifier) const;
  // The view shown at (column, row); when there is none and
  // `makeIfNecessary`, the delegate is asked for it now. Null outside the
  // table.
  [[nodiscard]] View::Ptr viewAtColumn(std::int64_t column, std::int64_t row, bool makeIfNecessary);
  // The row whose view is `view` or contains it, or -1 (a view the table no
  // longer shows, or never showed).
  [[nodiscard]] std::int64_t rowForView(const View::Ptr& view) const;

  // --- Selection ---------------------------------------------------------------
  // The selected row, or -1.
  [[nodiscard]] std::int64_t selectedRow() const { return selectedRow_; }
  // The user's click on `row` outside any control (see the top of this
  // file); rows outside the table are ignored.
  void clickRow(std::int64_t row);

  // --- Reloading given rows ----------------------------------------------------
  // Asks the delegate again for the views of the given rows in the given
  // columns, in row order, column by column, each new view taking the old
  // one's place (the old one leaves as in a full load); rows and columns
  // outside the table are ignored. Every call is counted, an empty set too.
  // Asked while the rows load, it leaves the reload to the load under way.
  void reloadDataForRowIndexesColumnIndexes(const IndexSet& rowIndexes, const IndexSet& columnIndexes);
  // How many times `reloadDataForRowIndexesColumnIndexes` was called.
  [[nodiscard]] std::int64_t rowReloadCount() const { return rowReloadCount_; }

 protected:
  explicit TableView(Rect frame);

 private:
  void loadRows();
  View::Ptr askForView(std::int64_t column, std::int64_t row);
  void retire(const View::Ptr& view);

  std::vector<TableColumn::Ptr> columns_;
  View::Ptr headerView_;
  TableViewGridLineStyle gridStyleMask_;
  double rowHeight_ = 17.0;
  TableViewColumnAutoresizingStyle autoresizingStyle_ =
      TableViewColumnAutoresizingStyle::uniformColumnAutoresizingStyle;
  std::weak_ptr<TableViewDataSource> dataSource_;
  std::weak_ptr<TableViewDelegate> delegate_;

  // rows_[row][column]; null where the delegate gave no view.
  std::vector<std::vector<View::Ptr>> rows_;
  std::unordered_map<std::string, std::vector<TableCellView::Ptr>> reusePool_;
  std::int64_t reloadCount_ = 0;
  std::int64_t selectedRow_ = -1;
  bool loading_ = false;
  bool loadAgain_ = false;
  std::int64_t rowReloadCount_ = 0;

  // Shared by the full load and the reload of given rows.
  // Runs `load` with loading_ set, so that a load asked for meanwhile is
  // only noted in loadAgain_.
  void whileLoading(const std::function<void()>& load);
  // Asks the delegate for the view at (column, row) and shows it there;
  // false, the view retired, when a full load was asked for meanwhile.
  bool placeAskedView(std::int64_t column, std::int64_t row);
};

}  // namespace vantrel
