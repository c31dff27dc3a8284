// Reloading given rows of a table, beside the full load of table_view.cpp.
#include "vantrel/platform/kit/table_view.h"

namespace vantrel {

void TableView::reloadDataForRowIndexesColumnIndexes(const IndexSet& rowIndexes, const IndexSet& columnIndexes) {
  ++rowReloadCount_;
  if (loading_) {
    // The load under way asks for every view anyway.
    return;
  }
  // The delegate may drop the last other owner of the table.
  const Ptr self = std::static_pointer_cast<TableView>(shared_from_this());
  {
    struct LoadingFlag {
      bool& flag;
      ~LoadingFlag() { flag = false; }
    } loading{loading_};
    loading_ = true;
    loadAgain_ = false;
    for (const std::int64_t row : rowIndexes) {
      if (row >= numberOfRows() || loadAgain_) break;
      for (const std::int64_t column : columnIndexes) {
        if (column >= numberOfColumns() || loadAgain_) break;
        const auto r = static_cast<std::size_t>(row);
        const auto c = static_cast<std::size_t>(column);
        if (View::Ptr old = std::move(rows_[r][c])) retire(old);
        View::Ptr view = askForView(column, row);
        if (loadAgain_) {
          if (view) retire(view);
          break;
        }
        rows_[r][c] = std::move(view);
      }
    }
  }
  // A full reload asked for by the delegate meanwhile runs now.
  if (loadAgain_) loadRows();
}

}  // namespace vantrel
