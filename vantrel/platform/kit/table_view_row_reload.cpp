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
  whileLoading([&] {
    loadAgain_ = false;
    for (const std::int64_t row : rowIndexes) {
      if (row >= numberOfRows() || loadAgain_) break;
      for (const std::int64_t column : columnIndexes) {
        if (column >= numberOfColumns() || loadAgain_) break;
        auto& shown = rows_[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
        if (View::Ptr old = std::move(shown)) retire(old);
        if (!placeAskedView(column, row)) break;
      }
    }
  });
  // A full reload asked for by the delegate meanwhile runs now.
  if (loadAgain_) loadRows();
}

}  // namespace vantrel
