#include "vantrel/appkit/multi_select_view_entry.h"

namespace vantrel {

std::string MultiSelectViewEntry::description() const {
  return "MultiSelectViewEntry(" + code_ + ", " + (selected_ ? "true" : "false") + ")";
}

}  // namespace vantrel
