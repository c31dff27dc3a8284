#include "vantrel/platform/kit/table_view.h"

#include <algorithm>

#include "vantrel/core/fatal.h"

namespace vantrel {
namespace {

// Height of the default column header.
constexpr double kHeaderHeight = 23.0;

std::size_t index(std::int64_t value) { return static_cast<std::size_t>(value); }

}  // namespace

TableColumn::Ptr TableColumn::create(std::string identifier) {
  return Ptr(new TableColumn(std::move(identifier)));
}

View::Ptr TableViewDelegate::tableView(TableView& /*tableView*/, const TableColumn::Ptr& /*column*/,
                                       std::int64_t /*row*/) {
  return nullptr;
}

bool TableViewDelegate::tableView(TableView& /*tableView*/, std::int64_t /*shouldSelectRow*/) { return true; }

TableView::TableView(Rect frame)
    : View(frame), headerView_(View::create(Rect(0, 0, frame.size.width, kHeaderHeight))) {}

TableView::Ptr TableView::create(Rect frame) { return Ptr(new TableView(frame)); }

void TableView::addTableColumn(const TableColumn::Ptr& columnReference) {
  // A copy: the caller may pass an element of `tableColumns()`, which the
  // erase below shifts.
  const TableColumn::Ptr column = columnReference;
  if (!column) fatal("addTableColumn: the column is null");
  const Ptr owner = column->tableView();
  if (owner && owner.get() != this) owner->removeTableColumn(column);
  columns_.erase(std::remove(columns_.begin(), columns_.end(), column), columns_.end());
  columns_.push_back(column);
  column->tableView_ = std::static_pointer_cast<TableView>(shared_from_this());
  loadRows();
}

void TableView::removeTableColumn(const TableColumn::Ptr& columnReference) {
  const TableColumn::Ptr column = columnReference;
  const auto found = std::find(columns_.begin(), columns_.end(), column);
  if (found == columns_.end()) return;
  columns_.erase(found);
  column->tableView_.reset();
  loadRows();
}

std::int64_t TableView::columnWithIdentifier(std::string_view identifier) const {
  for (std::size_t i = 0; i < columns_.size(); ++i) {
    if (columns_[i]->identifier() == identifier) return static_cast<std::int64_t>(i);
  }
  return -1;
}

void TableView::setDataSource(const std::shared_ptr<TableViewDataSource>& dataSource) {
  dataSource_ = dataSource;
  loadRows();
}

void TableView::setDelegate(const std::shared_ptr<TableViewDelegate>& delegate) {
  delegate_ = delegate;
  loadRows();
}

void TableView::reloadData() {
  ++reloadCount_;
  loadRows();
}

void TableView::retire(const View::Ptr& view) {
  if (view->superview().get() == this) view->removeFromSuperview();
  const auto cell = std::dynamic_pointer_cast<TableCellView>(view);
  if (cell && !cell->identifier().empty()) reusePool_[cell->identifier()].push_back(cell);
}

View::Ptr TableView::askForView(std::int64_t column, std::int64_t row) {
  const auto delegate = this->delegate();
  if (!delegate) return nullptr;
  const TableColumn::Ptr tableColumn = columns_[index(column)];
  View::Ptr view = delegate->tableView(*this, tableColumn, row);
  if (!view) return nullptr;
  double x = 0;
  for (std::int64_t c = 0; c < column && index(c) < columns_.size(); ++c) x += columns_[index(c)]->width();
  view->setFrame(Rect(x, static_cast<double>(row) * rowHeight_, tableColumn->width(), rowHeight_));
  addSubview(view);
  return view;
}

void TableView::loadRows() {
  // A request made while the rows load (the data source or the delegate
  // reloading) must not pull the rows out from under the loop below: it is
  // noted, and the loop starts over when the current call returns.
  if (loading_) {
    loadAgain_ = true;
    return;
  }
  // The data source or delegate may drop the last other owner of the table.
  const Ptr self = std::static_pointer_cast<TableView>(shared_from_this());
  whileLoading([this] {
    do {
      loadAgain_ = false;
      std::vector<std::vector<View::Ptr>> shown;
      shown.swap(rows_);
      for (const auto& line : shown) {
        for (const auto& view : line) {
          if (view) retire(view);
        }
      }
      shown.clear();
      const auto source = dataSource();
      const std::int64_t count = source ? std::max<std::int64_t>(0, source->numberOfRows(*this)) : 0;
      if (loadAgain_) continue;
      rows_.assign(index(count), std::vector<View::Ptr>(columns_.size()));
      for (std::int64_t row = 0; row < count && !loadAgain_; ++row) {
        for (std::int64_t column = 0; column < numberOfColumns() && !loadAgain_; ++column) {
          // Filled already when the delegate asked for it with viewAtColumn.
          if (rows_[index(row)][index(column)]) continue;
          placeAskedView(column, row);
        }
      }
    } while (loadAgain_);
  });
  if (selectedRow_ >= numberOfRows()) selectedRow_ = -1;
}

void TableView::whileLoading(const std::function<void()>& load) {
  struct LoadingFlag {
    bool& flag;
    ~LoadingFlag() { flag = false; }
  } loading{loading_};
  loading_ = true;
  load();
}

bool TableView::placeAskedView(std::int64_t column, std::int64_t row) {
  View::Ptr view = askForView(column, row);
  // A view made for a load that is starting over is not shown.
  if (loadAgain_) {
    if (view) retire(view);
    return false;
  }
  rows_[index(row)][index(column)] = std::move(view);
  return true;
}

TableCellView::Ptr TableView::makeViewWithIdentifier(std::string_view identifier) {
  const auto found = reusePool_.find(std::string(identifier));
  if (found == reusePool_.end() || found->second.empty()) return nullptr;
  TableCellView::Ptr cell = std::move(found->second.back());
  found->second.pop_back();
  return cell;
}

std::int64_t TableView::reusableViewCount(std::string_view identifier) const {
  const auto found = reusePool_.find(std::string(identifier));
  return found == reusePool_.end() ? 0 : static_cast<std::int64_t>(found->second.size());
}

View::Ptr TableView::viewAtColumn(std::int64_t column, std::int64_t row, bool makeIfNecessary) {
  const auto inside = [this](std::int64_t c, std::int64_t r) {
    return r >= 0 && r < numberOfRows() && c >= 0 && index(c) < rows_[index(r)].size();
  };
  if (!inside(column, row)) return nullptr;
  View::Ptr view = rows_[index(row)][index(column)];
  if (view || !makeIfNecessary) return view;
  view = askForView(column, row);
  if (!view) return nullptr;
  // The delegate may have reloaded meanwhile: then the place is gone or
  // already filled, and the new view is not shown.
  if (!inside(column, row) || rows_[index(row)][index(column)]) {
    retire(view);
    return inside(column, row) ? rows_[index(row)][index(column)] : nullptr;
  }
  rows_[index(row)][index(column)] = view;
  return view;
}

std::int64_t TableView::rowForView(const View::Ptr& view) const {
  if (!view) return -1;
  for (std::size_t row = 0; row < rows_.size(); ++row) {
    for (const auto& shown : rows_[row]) {
      if (shown && view->isDescendantOf(*shown)) return static_cast<std::int64_t>(row);
    }
  }
  return -1;
}

void TableView::clickRow(std::int64_t row) {
  if (row < 0 || row >= numberOfRows()) return;
  const Ptr self = std::static_pointer_cast<TableView>(shared_from_this());
  const auto delegate = this->delegate();
  const bool allowed = delegate ? delegate->tableView(*this, row) : true;
  if (allowed && row < numberOfRows()) selectedRow_ = row;
}

}  // namespace vantrel
