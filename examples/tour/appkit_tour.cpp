#include <cstdio>
#include <memory>
#include <string>

#include <vantrel/appkit/multi_select_view.h>
#include <vantrel/platform/kit/application.h>
#include <vantrel/platform/kit/scroll_view.h>
#include <vantrel/platform/kit/table_view.h>

#include "tour.h"

using namespace vantrel;

namespace {

// A host's delegate: prints what the list reports.
class PrintingDelegate : public MultiSelectViewDelegate {
 public:
  void multiSelectViewDidSelectEntryAt(const MultiSelectView::Ptr&, std::int64_t row) override {
    std::printf("  delegate: checked row %lld\n", static_cast<long long>(row));
  }
  void multiSelectViewDidDeselectEntryAt(const MultiSelectView::Ptr&, std::int64_t row) override {
    std::printf("  delegate: unchecked row %lld\n", static_cast<long long>(row));
  }
  void multiSelectViewDidSelectAll(const MultiSelectView::Ptr&) override {
    std::printf("  delegate: checked all\n");
  }
  void multiSelectViewDidDeselectAll(const MultiSelectView::Ptr&) override {
    std::printf("  delegate: unchecked all\n");
  }
};

void printEntries(const MultiSelectView::Ptr& list) {
  std::string line = "  entries:";
  for (const auto& e : list->entries()) line += " " + e.description();
  std::printf("%s\n", line.c_str());
}

// The user's click on the box of `row`: the table is inside the list's
// scroll view.
void clickBox(const MultiSelectView::Ptr& list, std::int64_t row) {
  auto scroll = std::static_pointer_cast<ScrollView>(list->subviews().at(0));
  auto table = std::static_pointer_cast<TableView>(scroll->documentView());
  auto cell = std::static_pointer_cast<MultiSelectCell>(table->viewAtColumn(0, row, false));
  cell->checkbox()->performClick();
}

}  // namespace

TOUR_SECTION(90, "Multi-select list: check boxes that report to a delegate") {
  auto list = MultiSelectView::create({
      MultiSelectViewEntry("a", false, AttributedString("Apples")),
      MultiSelectViewEntry("p", false, AttributedString("Pears")),
      MultiSelectViewEntry("q", false, AttributedString("Quinces"), true),  // shown, not clickable
  });
  auto delegate = std::make_shared<PrintingDelegate>();
  list->setDelegate(delegate);
  clickBox(list, 1);
  printEntries(list);
  {
    ScopedModifierFlags held(EventModifierFlags::option);  // option-click: every enabled entry
    clickBox(list, 0);
  }
  printEntries(list);
  list->deselectEntry(1);  // from code: the delegate hears nothing
  printEntries(list);
}
