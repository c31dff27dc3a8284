#include "vantrel/platform/kit/table_cell_view.h"

namespace vantrel {

TableCellView::Ptr TableCellView::create(Rect frame) { return Ptr(new TableCellView(frame)); }

}  // namespace vantrel
