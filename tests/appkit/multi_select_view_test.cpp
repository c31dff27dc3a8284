#include "vantrel/appkit/multi_select_view.h"

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include <fmt/format.h>
#include <gtest/gtest.h>

#include "tests/support/fixtures.h"
#include "vantrel/appkit/multi_select_view_cell.h"
#include "vantrel/appkit/multi_select_view_entry.h"
#include "vantrel/foundation/logs/error_manager.h"
#include "vantrel/platform/foundation/bundles/main_bundle.h"
#include "vantrel/platform/kit/application.h"
#include "vantrel/platform/kit/layout_constraint.h"
#include "vantrel/platform/kit/scroll_view.h"
#include "vantrel/platform/kit/table_view.h"

namespace vantrel {
namespace {

namespace fs = std::filesystem;

// ---------------------------------------------------------------------------
// Helpers

MultiSelectViewEntry entry(std::string code, bool selected, bool disabled = false) {
  return MultiSelectViewEntry(code, selected, AttributedString("Title " + code), disabled);
}

// The table inside the list, reached as the host would: through the views.
TableView::Ptr tableOf(const MultiSelectView::Ptr& list) {
  auto scroll = std::dynamic_pointer_cast<ScrollView>(list->subviews().at(0));
  return scroll ? std::dynamic_pointer_cast<TableView>(scroll->documentView()) : nullptr;
}

MultiSelectCell::Ptr cellAt(const MultiSelectView::Ptr& list, std::int64_t row) {
  return std::dynamic_pointer_cast<MultiSelectCell>(tableOf(list)->viewAtColumn(0, row, false));
}

// The user clicks the box shown in `row`, holding `keys`. The click goes
// through a button the test holds, as a window's event handling would.
void clickBox(const MultiSelectView::Ptr& list, std::int64_t row, EventModifierFlags keys = {}) {
  const Button::Ptr box = cellAt(list, row)->checkbox();
  ScopedModifierFlags held(keys);
  box->performClick();
}

std::vector<bool> selectedFlags(const MultiSelectView::Ptr& list) {
  std::vector<bool> flags;
  for (const auto& e : list->entries()) flags.push_back(e.selected());
  return flags;
}

// What every shown box says: checked or not.
std::vector<bool> boxStates(const MultiSelectView::Ptr& list) {
  std::vector<bool> states;
  auto table = tableOf(list);
  for (std::int64_t row = 0; row < table->numberOfRows(); ++row) {
    states.push_back(cellAt(list, row)->checkbox()->state() == ControlStateValue::on);
  }
  return states;
}

// A host's delegate that writes down every report, naming the list it came
// from, and may act during a report.
class Reports : public MultiSelectViewDelegate {
 public:
  void multiSelectViewDidSelectEntryAt(const MultiSelectView::Ptr& view, std::int64_t row) override {
    note(view, fmt::format("select {}", row));
  }
  void multiSelectViewDidDeselectEntryAt(const MultiSelectView::Ptr& view, std::int64_t row) override {
    note(view, fmt::format("deselect {}", row));
  }
  void multiSelectViewDidSelectAll(const MultiSelectView::Ptr& view) override { note(view, "select all"); }
  void multiSelectViewDidDeselectAll(const MultiSelectView::Ptr& view) override { note(view, "deselect all"); }

  // Reports since the last call.
  std::vector<std::string> take() { return std::exchange(lines, {}); }

  const MultiSelectView* expectedList = nullptr;
  std::function<void(const MultiSelectView::Ptr&)> during;
  std::vector<std::string> lines;

 private:
  void note(const MultiSelectView::Ptr& view, std::string line) {
    if (view.get() != expectedList) line += " (from another list)";
    lines.push_back(std::move(line));
    if (during) during(view);
  }
};

// Sets (or unsets) an environment variable for a scope.
class ScopedEnvironment {
 public:
  ScopedEnvironment(std::string name, std::optional<std::string> value) : name_(std::move(name)) {
    if (const char* old = std::getenv(name_.c_str())) old_ = old;
    if (value) {
      ::setenv(name_.c_str(), value->c_str(), 1);
    } else {
      ::unsetenv(name_.c_str());
    }
  }
  ~ScopedEnvironment() {
    if (old_) {
      ::setenv(name_.c_str(), old_->c_str(), 1);
    } else {
      ::unsetenv(name_.c_str());
    }
  }
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

 private:
  std::string name_;
  std::optional<std::string> old_;
};

std::string readFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

constexpr const char* kXcodeVariable = "__XCODE_BUILT_PRODUCTS_DIR_PATHS";
const EventModifierFlags kOption = EventModifierFlags::option;

// ---------------------------------------------------------------------------
// Entries

TEST(MultiSelectViewEntry, FieldsAndDescription) {
  const MultiSelectViewEntry e("a", true, AttributedString("Apples", {{"font", "bold"}}));
  EXPECT_EQ(e.code(), "a");
  EXPECT_TRUE(e.selected());
  EXPECT_EQ(e.title(), AttributedString("Apples", {{"font", "bold"}}));
  EXPECT_FALSE(e.disabled());
  struct Case {
    MultiSelectViewEntry entry;
    std::string want;
  };
  const Case cases[] = {
      {MultiSelectViewEntry("a", true, AttributedString("x")), "MultiSelectViewEntry(a, true)"},
      {MultiSelectViewEntry("a", false, AttributedString("x"), true), "MultiSelectViewEntry(a, false)"},
      {MultiSelectViewEntry("", false, AttributedString()), "MultiSelectViewEntry(, false)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.want);
    EXPECT_EQ(c.entry.description(), c.want);
  }
}

// ---------------------------------------------------------------------------
// The cell

TEST(MultiSelectCell, AnEmptyCellShowsADisabledQuibBox) {
  auto cell = MultiSelectCell::create();
  EXPECT_EQ(cell->frame(), Rect(10, 0, 300, 100));
  EXPECT_FALSE(cell->translatesAutoresizingMaskIntoConstraints());
  EXPECT_EQ(cell->identifier(), "");
  EXPECT_EQ(cell->delegate(), nullptr);
  EXPECT_EQ(cell->multiSelectViewEntry(), std::nullopt);
  const Button::Ptr& box = cell->checkbox();
  EXPECT_EQ(cell->subviews(), std::vector<View::Ptr>{box});
  EXPECT_FALSE(box->translatesAutoresizingMaskIntoConstraints());
  EXPECT_EQ(box->buttonType(), ButtonType::switch_);
  EXPECT_EQ(box->attributedTitle(), AttributedString("quib"));
  EXPECT_FALSE(box->isEnabled());
  EXPECT_EQ(box->state(), ControlStateValue::off);
  EXPECT_EQ(box->target(), cell);
  // Box left = cell left + 3, box centre Y = cell centre Y; nothing else.
  const auto& constraints = cell->constraints();
  ASSERT_EQ(constraints.size(), 2u);
  const auto expect = [&](const LayoutConstraint::Ptr& c, LayoutAttribute attribute, double constant) {
    SCOPED_TRACE(c->description());
    EXPECT_EQ(c->firstItem(), box);
    EXPECT_EQ(c->firstAttribute(), attribute);
    EXPECT_EQ(c->relation(), LayoutRelation::equal);
    EXPECT_EQ(c->secondItem(), cell);
    EXPECT_EQ(c->secondAttribute(), attribute);
    EXPECT_EQ(c->multiplier(), 1.0);
    EXPECT_EQ(c->constant(), constant);
    EXPECT_TRUE(c->isActive());
  };
  expect(constraints[0], LayoutAttribute::left, 3.0);
  expect(constraints[1], LayoutAttribute::centerY, 0.0);
}

TEST(MultiSelectCell, AnEntryFillsTheBox) {
  struct Case {
    bool selected;
    bool disabled;
  };
  for (const Case& c : {Case{false, false}, Case{true, false}, Case{false, true}, Case{true, true}}) {
    SCOPED_TRACE(fmt::format("selected {} disabled {}", c.selected, c.disabled));
    auto cell = MultiSelectCell::create();
    const AttributedString title("Pears", {{"colour", "#ff0000"}});
    cell->setMultiSelectViewEntry(MultiSelectViewEntry("p", c.selected, title, c.disabled));
    EXPECT_EQ(cell->checkbox()->attributedTitle(), title);
    EXPECT_EQ(cell->checkbox()->state(), c.selected ? ControlStateValue::on : ControlStateValue::off);
    EXPECT_EQ(cell->checkbox()->isEnabled(), !c.disabled);
    // Clearing the entry leaves the box as it is.
    cell->setMultiSelectViewEntry(std::nullopt);
    EXPECT_EQ(cell->multiSelectViewEntry(), std::nullopt);
    EXPECT_EQ(cell->checkbox()->attributedTitle(), title);
    EXPECT_EQ(cell->checkbox()->state(), c.selected ? ControlStateValue::on : ControlStateValue::off);
  }
}

class CellReports : public MultiSelectCellDelegate {
 public:
  void multiSelectCell(const MultiSelectCell::Ptr& cell, bool didChangeCheckbox,
                       EventModifierFlags modifiers) override {
    lines.push_back(fmt::format("{} {} {:#x}", cell == expected ? "cell" : "other", didChangeCheckbox,
                                modifiers.rawValue()));
  }
  MultiSelectCell::Ptr expected;
  std::vector<std::string> lines;
};

TEST(MultiSelectCell, AClickTellsTheDelegateTheNewStateAndTheKeysHeld) {
  auto cell = MultiSelectCell::create();
  cell->setMultiSelectViewEntry(entry("a", false));
  auto reports = std::make_shared<CellReports>();
  reports->expected = cell;
  cell->setDelegate(reports);
  cell->checkbox()->performClick();
  {
    ScopedModifierFlags held(EventModifierFlags{EventModifierFlags::option, EventModifierFlags::command});
    cell->checkbox()->performClick();
  }
  EXPECT_EQ(reports->lines, (std::vector<std::string>{"cell true 0x0", "cell false 0x180000"}));
  reports.reset();  // the delegate is held weakly: a click now tells nobody
  cell->checkbox()->performClick();
  EXPECT_EQ(cell->checkbox()->state(), ControlStateValue::on);
}

// ---------------------------------------------------------------------------
// Building the list

TEST(MultiSelectView, BuildsAScrollViewWithAOneColumnTable) {
  auto list = MultiSelectView::create({entry("a", false)});
  EXPECT_EQ(list->frame(), Rect(0, 0, 100, 100));
  EXPECT_FALSE(list->translatesAutoresizingMaskIntoConstraints());
  EXPECT_EQ(list->delegate(), nullptr);
  ASSERT_EQ(list->subviews().size(), 1u);

  auto scroll = std::dynamic_pointer_cast<ScrollView>(list->subviews()[0]);
  ASSERT_NE(scroll, nullptr);
  EXPECT_EQ(scroll->frame(), Rect(0, 0, 100, 100));
  EXPECT_FALSE(scroll->translatesAutoresizingMaskIntoConstraints());
  EXPECT_TRUE(scroll->hasVerticalScroller());
  EXPECT_FALSE(scroll->autohidesScrollers());
  EXPECT_EQ(scroll->borderType(), BorderType::bezelBorder);

  auto table = std::dynamic_pointer_cast<TableView>(scroll->documentView());
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(table->frame(), Rect(0, 0, 100, 100));
  EXPECT_EQ(table->headerView(), nullptr);
  EXPECT_EQ(table->gridStyleMask(), TableViewGridLineStyle::solidHorizontalGridLineMask);
  EXPECT_EQ(table->rowHeight(), 20.0);
  EXPECT_EQ(table->columnAutoresizingStyle(), TableViewColumnAutoresizingStyle::uniformColumnAutoresizingStyle);
  ASSERT_EQ(table->numberOfColumns(), 1);
  const auto& column = table->tableColumns()[0];
  EXPECT_EQ(column->identifier(), "cell");
  EXPECT_EQ(column->title(), "Cell");
  EXPECT_EQ(column->resizingMask(), TableColumnResizingOptions::autoresizingMask);
  EXPECT_EQ(column->minWidth(), 50.0);
  EXPECT_EQ(table->dataSource().get(), static_cast<TableViewDataSource*>(list.get()));
  EXPECT_EQ(table->delegate().get(), static_cast<TableViewDelegate*>(list.get()));
  EXPECT_EQ(table->reloadCount(), 0);  // building loads the rows but reloads nothing

  // The scroll view is pinned to the list's four edges.
  const auto& constraints = list->constraints();
  ASSERT_EQ(constraints.size(), 4u);
  const LayoutAttribute sides[] = {LayoutAttribute::top, LayoutAttribute::left, LayoutAttribute::bottom,
                                   LayoutAttribute::right};
  for (std::size_t i = 0; i < 4; ++i) {
    SCOPED_TRACE(constraints[i]->description());
    const bool listFirst = sides[i] == LayoutAttribute::bottom || sides[i] == LayoutAttribute::right;
    EXPECT_EQ(constraints[i]->firstItem(), listFirst ? View::Ptr(list) : View::Ptr(scroll));
    EXPECT_EQ(constraints[i]->secondItem(), listFirst ? View::Ptr(scroll) : View::Ptr(list));
    EXPECT_EQ(constraints[i]->firstAttribute(), sides[i]);
    EXPECT_EQ(constraints[i]->secondAttribute(), sides[i]);
    EXPECT_EQ(constraints[i]->constant(), 0.0);
  }
}

TEST(MultiSelectView, EachRowShowsItsEntry) {
  auto list = MultiSelectView::create({entry("a", false), entry("b", true), entry("c", true, true)});
  auto table = tableOf(list);
  EXPECT_EQ(list->numberOfRows(*table), 3);
  EXPECT_EQ(table->numberOfRows(), 3);
  for (std::int64_t row = 0; row < 3; ++row) {
    SCOPED_TRACE(row);
    auto cell = cellAt(list, row);
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell->multiSelectViewEntry(), list->entries()[static_cast<std::size_t>(row)]);
    EXPECT_EQ(cell->delegate().get(), static_cast<MultiSelectCellDelegate*>(list.get()));
    EXPECT_EQ(cell->identifier(), "");
  }
  EXPECT_EQ(boxStates(list), (std::vector<bool>{false, true, true}));
  // A disabled entry shows its title and state in a box that cannot be clicked.
  EXPECT_FALSE(cellAt(list, 2)->checkbox()->isEnabled());
  EXPECT_EQ(cellAt(list, 2)->checkbox()->title(), "Title c");
}

TEST(MultiSelectView, NoEntriesNoRows) {
  auto list = MultiSelectView::create({});
  EXPECT_EQ(list->numberOfRows(*tableOf(list)), 0);
  EXPECT_EQ(tableOf(list)->numberOfRows(), 0);
  EXPECT_TRUE(tableOf(list)->subviews().empty());
}

TEST(MultiSelectView, RowsAreNeverSelected) {
  auto list = MultiSelectView::create({entry("a", false), entry("b", false)});
  auto table = tableOf(list);
  EXPECT_FALSE(list->tableView(*table, 0));
  table->clickRow(1);  // a click beside the box
  EXPECT_EQ(table->selectedRow(), -1);
  EXPECT_EQ(selectedFlags(list), (std::vector<bool>{false, false}));
}

// ---------------------------------------------------------------------------
// The user at work

TEST(MultiSelectView, TheUserChecksAndUnchecksBoxes) {
  auto list = MultiSelectView::create({
      entry("a", false),
      entry("b", true),
      entry("c", false, true),  // disabled, unchecked
      entry("d", true, true),   // disabled, checked
      entry("e", false),
  });
  auto reports = std::make_shared<Reports>();
  reports->expectedList = list.get();
  list->setDelegate(reports);
  auto table = tableOf(list);

  // A plain click checks one box: one report with its row.
  clickBox(list, 0);
  EXPECT_EQ(reports->take(), std::vector<std::string>{"select 0"});
  EXPECT_EQ(selectedFlags(list), (std::vector<bool>{true, true, false, true, false}));
  EXPECT_EQ(boxStates(list), selectedFlags(list));
  EXPECT_EQ(table->reloadCount(), 1);

  // Unchecking a checked box.
  clickBox(list, 1);
  EXPECT_EQ(reports->take(), std::vector<std::string>{"deselect 1"});
  EXPECT_EQ(selectedFlags(list), (std::vector<bool>{true, false, false, true, false}));

  // Command, shift and control change nothing: still a plain click.
  clickBox(list, 4, EventModifierFlags{EventModifierFlags::command, EventModifierFlags::shift,
                                       EventModifierFlags::control});
  EXPECT_EQ(reports->take(), std::vector<std::string>{"select 4"});
  EXPECT_EQ(selectedFlags(list), (std::vector<bool>{true, false, false, true, true}));

  // Option-click that checks: every enabled entry is checked (one reload
  // each), disabled ones keep their flags, one report and no per-row one.
  const std::int64_t reloads = table->reloadCount();
  clickBox(list, 1, kOption);
  EXPECT_EQ(reports->take(), std::vector<std::string>{"select all"});
  EXPECT_EQ(selectedFlags(list), (std::vector<bool>{true, true, false, true, true}));
  EXPECT_EQ(boxStates(list), selectedFlags(list));
  EXPECT_EQ(table->reloadCount(), reloads + 3);

  // Option-click that unchecks, with other keys held too.
  clickBox(list, 0, EventModifierFlags{EventModifierFlags::option, EventModifierFlags::shift});
  EXPECT_EQ(reports->take(), std::vector<std::string>{"deselect all"});
  EXPECT_EQ(selectedFlags(list), (std::vector<bool>{false, false, false, true, false}));
  EXPECT_EQ(boxStates(list), selectedFlags(list));

  // A disabled box cannot be clicked.
  clickBox(list, 2);
  clickBox(list, 3, kOption);
  EXPECT_TRUE(reports->take().empty());
  EXPECT_EQ(selectedFlags(list), (std::vector<bool>{false, false, false, true, false}));
}

TEST(MultiSelectView, WithoutDelegateClicksStillChangeTheEntries) {
  auto list = MultiSelectView::create({entry("a", false), entry("b", false), entry("c", false, true)});
  clickBox(list, 1);
  EXPECT_EQ(selectedFlags(list), (std::vector<bool>{false, true, false}));
  clickBox(list, 0, kOption);
  EXPECT_EQ(selectedFlags(list), (std::vector<bool>{true, true, false}));

  auto reports = std::make_shared<Reports>();
  list->setDelegate(reports);
  reports.reset();  // held weakly: gone now
  EXPECT_EQ(list->delegate(), nullptr);
  clickBox(list, 1);
  EXPECT_EQ(selectedFlags(list), (std::vector<bool>{true, false, false}));
}

TEST(MultiSelectView, SettingEntriesReloadsAndReportsNothing) {
  auto list = MultiSelectView::create({entry("a", false)});
  auto reports = std::make_shared<Reports>();
  list->setDelegate(reports);
  list->setEntries({entry("x", true), entry("y", false)});
  EXPECT_EQ(tableOf(list)->reloadCount(), 1);
  EXPECT_EQ(tableOf(list)->numberOfRows(), 2);
  EXPECT_EQ(boxStates(list), (std::vector<bool>{true, false}));
  EXPECT_EQ(cellAt(list, 0)->multiSelectViewEntry()->code(), "x");
  EXPECT_TRUE(reports->take().empty());
}

TEST(MultiSelectView, SelectAndDeselectFromCode) {
  auto list = MultiSelectView::create({entry("a", true), entry("b", false)});
  auto reports = std::make_shared<Reports>();
  list->setDelegate(reports);
  auto table = tableOf(list);
  list->selectEntry(0);  // already selected: still written and reloaded
  EXPECT_EQ(table->reloadCount(), 1);
  list->selectEntry(1);
  EXPECT_EQ(selectedFlags(list), (std::vector<bool>{true, true}));
  EXPECT_EQ(boxStates(list), (std::vector<bool>{true, true}));
  list->deselectEntry(0);
  EXPECT_EQ(selectedFlags(list), (std::vector<bool>{false, true}));
  EXPECT_EQ(boxStates(list), (std::vector<bool>{false, true}));
  EXPECT_EQ(table->reloadCount(), 3);
  // Indexes outside the entries are ignored: nothing written or reloaded.
  for (std::int64_t index : {std::int64_t{-1}, std::int64_t{2}, INT64_MAX}) {
    SCOPED_TRACE(index);
    list->selectEntry(index);
    list->deselectEntry(index);
  }
  EXPECT_EQ(table->reloadCount(), 3);
  EXPECT_EQ(selectedFlags(list), (std::vector<bool>{false, true}));
  EXPECT_TRUE(reports->take().empty());
}

// ---------------------------------------------------------------------------
// Clicks the list must survive

TEST(MultiSelectView, AClickWhoseRowIsGoneIsIgnored) {
  auto list = MultiSelectView::create({entry("a", false), entry("b", false), entry("c", false)});
  auto reports = std::make_shared<Reports>();
  reports->expectedList = list.get();
  list->setDelegate(reports);
  // A box the user still had under the pointer when the table reloaded: its
  // cell is no longer in the table, so its row is -1.
  const MultiSelectCell::Ptr stale = cellAt(list, 1);
  list->setEntries(list->entries());
  ASSERT_EQ(tableOf(list)->rowForView(stale), -1);
  const std::int64_t reloads = tableOf(list)->reloadCount();
  stale->checkbox()->performClick();
  {
    ScopedModifierFlags held(kOption);
    stale->checkbox()->performClick();
  }
  // A cell the list never showed, wired to it by hand.
  auto stray = MultiSelectCell::create();
  stray->setMultiSelectViewEntry(entry("z", false));
  stray->setDelegate(list);
  stray->checkbox()->performClick();
  list->multiSelectCell(nullptr, true, {});
  EXPECT_TRUE(reports->take().empty());
  EXPECT_EQ(selectedFlags(list), (std::vector<bool>{false, false, false}));
  EXPECT_EQ(tableOf(list)->reloadCount(), reloads);
}

TEST(MultiSelectView, AReloadDuringAClickKeepsTheClickedCellAlive) {
  auto list = MultiSelectView::create({entry("a", false), entry("b", false)});
  auto reports = std::make_shared<Reports>();
  reports->expectedList = list.get();
  list->setDelegate(reports);

  // Only the box is held from outside; the table is the cell's one owner,
  // and the click's own reload lets go of it.
  std::weak_ptr<MultiSelectCell> clicked = cellAt(list, 1);
  const Button::Ptr box = clicked.lock()->checkbox();
  std::vector<bool> cellAliveAtReport;
  std::vector<std::int64_t> rowOfClickedCell;
  reports->during = [&](const MultiSelectView::Ptr& view) {
    const auto cell = clicked.lock();
    cellAliveAtReport.push_back(cell != nullptr);
    rowOfClickedCell.push_back(tableOf(view)->rowForView(cell));
    // The host reloads too, while the click is still being handled.
    view->setEntries(view->entries());
  };
  box->performClick();
  EXPECT_EQ(reports->take(), std::vector<std::string>{"select 1"});
  EXPECT_EQ(cellAliveAtReport, std::vector<bool>{true});
  EXPECT_EQ(rowOfClickedCell, std::vector<std::int64_t>{-1});  // already replaced in the table
  EXPECT_TRUE(clicked.expired());  // and freed once the click was over
  EXPECT_EQ(selectedFlags(list), (std::vector<bool>{false, true}));
  EXPECT_EQ(boxStates(list), (std::vector<bool>{false, true}));

  // Option-click: a reload per entry, and the host's own on top.
  reports->during = [](const MultiSelectView::Ptr& view) { view->setEntries(view->entries()); };
  clicked = cellAt(list, 0);
  const Button::Ptr first = clicked.lock()->checkbox();
  {
    ScopedModifierFlags held(kOption);
    first->performClick();
  }
  EXPECT_EQ(reports->take(), std::vector<std::string>{"select all"});
  EXPECT_TRUE(clicked.expired());
  EXPECT_EQ(selectedFlags(list), (std::vector<bool>{true, true}));
}

TEST(MultiSelectView, TheHostMayDropTheListWhileItIsTold) {
  auto list = MultiSelectView::create({entry("a", false), entry("b", true)});
  auto reports = std::make_shared<Reports>();
  reports->expectedList = list.get();
  list->setDelegate(reports);
  std::weak_ptr<MultiSelectView> watch = list;
  const Button::Ptr box = cellAt(list, 0)->checkbox();
  // The host closes the list in answer to the report: its last owner goes.
  reports->during = [&list](const MultiSelectView::Ptr&) { list.reset(); };
  {
    ScopedModifierFlags held(kOption);
    box->performClick();
  }
  EXPECT_EQ(reports->take(), std::vector<std::string>{"select all"});
  EXPECT_EQ(list, nullptr);
  EXPECT_TRUE(watch.expired());
}

// ---------------------------------------------------------------------------
// Columns other than "cell"

// A table with one recycled cell filed under "cell".
class OneRecycledCell : public TableViewDataSource, public TableViewDelegate {
 public:
  using TableViewDelegate::tableView;
  std::int64_t numberOfRows(TableView& /*tableView*/) override { return rows; }
  View::Ptr tableView(TableView& /*tableView*/, const TableColumn::Ptr& /*column*/, std::int64_t /*row*/) override {
    return cell;
  }
  std::int64_t rows = 1;
  TableCellView::Ptr cell;
};

TEST(MultiSelectView, ARecycledViewIsHandedBackUnchanged) {
  auto list = MultiSelectView::create({entry("a", true)});
  auto other = TableView::create();
  other->addTableColumn(TableColumn::create("cell"));
  auto model = std::make_shared<OneRecycledCell>();
  model->cell = TableCellView::create();
  model->cell->setIdentifier("cell");
  other->setDataSource(model);
  other->setDelegate(model);
  const TableCellView::Ptr recycled = model->cell;
  model->rows = 0;
  other->reloadData();  // the cell goes to the pool
  ASSERT_EQ(other->reusableViewCount("cell"), 1);
  EXPECT_EQ(list->tableView(*other, other->tableColumns()[0], 0), recycled);
  EXPECT_EQ(other->reusableViewCount("cell"), 0);
}

TEST(MultiSelectView, AnyColumnBeginningWithCellGetsACell) {
  auto list = MultiSelectView::create({entry("a", true)});
  auto table = tableOf(list);
  auto view = list->tableView(*table, TableColumn::create("cellular"), 0);
  auto cell = std::dynamic_pointer_cast<MultiSelectCell>(view);
  ASSERT_NE(cell, nullptr);
  EXPECT_EQ(cell->multiSelectViewEntry(), list->entries()[0]);
}

TEST(MultiSelectView, AColumnNotCellIsReportedToTheFatalLogAndGetsNoView) {
  // The shared error manager is made once per process, from the environment
  // of that moment: point its logs at a folder of this test first.
  static testing::TemporaryDirectory shared;
  {
    ScopedEnvironment data("XDG_DATA_HOME", shared.path().string());
    ScopedEnvironment xcode(kXcodeVariable, std::nullopt);
    registerMainBundleIdentifier("com.example.multiselect");
    (void)VantrelErrorManager::si();
    registerMainBundleIdentifier(std::nullopt);
  }
  ASSERT_EQ(VantrelErrorManager::si()->applicationIdentifier(), "com.example.multiselect");
  ASSERT_FALSE(VantrelErrorManager::si()->runningStartedFromXcode());
  const fs::path logFile =
      shared.path() / "Private Documents" / "logs" / "ErrorManager_com.example.multiselect_fatal.log";
  const std::string before = readFile(logFile);
  auto list = MultiSelectView::create({entry("a", true)});
  auto table = tableOf(list);
  EXPECT_EQ(list->tableView(*table, TableColumn::create("other"), 0), nullptr);
  // fatalError returns once its line is in the file: a date, then the text.
  const std::string log = readFile(logFile);
  ASSERT_EQ(log.size(), before.size() + 23 + std::string("FatalError: Identifier not cell\n").size()) << log;
  EXPECT_EQ(log.substr(before.size() + 23), "FatalError: Identifier not cell\n");

  // A column added to the list's own table takes the same road for each row.
  table->addTableColumn(TableColumn::create("price"));
  EXPECT_EQ(table->viewAtColumn(1, 0, false), nullptr);
  EXPECT_NE(table->viewAtColumn(0, 0, false), nullptr);
}

void askForAColumnNotCell(const fs::path& dataHome) {
  ScopedEnvironment data("XDG_DATA_HOME", dataHome.string());
  ScopedEnvironment xcode(kXcodeVariable, "");
  auto list = MultiSelectView::create({entry("a", true)});
  (void)list->tableView(*tableOf(list), TableColumn::create("other"), 0);
}

TEST(MultiSelectViewDeathTest, AColumnNotCellStopsUnderTheDevelopmentEnvironment) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");  // a fresh shared error manager in the child
  // A folder that the re-run child finds too: named after the parent.
  const auto parent = ::testing::internal::InDeathTestChild() ? ::getppid() : ::getpid();
  const fs::path dataHome = fs::temp_directory_path() / fmt::format("vantrel-multiselect-{}", parent);
  EXPECT_DEATH(askForAColumnNotCell(dataHome), "Fatal error: Identifier not cell: file .*, line ");
  fs::remove_all(dataHome);
}

template <class T>
concept MadeFromAFrame = requires { T::create(Rect(0, 0, 10, 10)); };

TEST(MultiSelectView, NoFrameConstructor) {
  static_assert(!MadeFromAFrame<MultiSelectView>);
  static_assert(!MadeFromAFrame<MultiSelectCell>);
  static_assert(MadeFromAFrame<TableCellView>);
}

}  // namespace
}  // namespace vantrel
