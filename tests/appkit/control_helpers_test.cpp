#include "vantrel/appkit/control_helpers.h"

#include <string>
#include <type_traits>
#include <vector>

#include <fmt/format.h>
#include <gtest/gtest.h>

#include "vantrel/appkit/hit_test_less_views.h"

namespace vantrel {
namespace {

TEST(SetupAsLabel, StaticSelectableAndChainable) {
  auto field = HitTestLessTextField::create(Rect(0, 0, 80, 20));
  const auto& same = setupAsLabel(field);
  static_assert(std::is_same_v<decltype(setupAsLabel(field)), const HitTestLessTextField::Ptr&>);
  EXPECT_EQ(same, field);
  EXPECT_FALSE(field->isBezeled());
  EXPECT_FALSE(field->isEditable());
  EXPECT_FALSE(field->drawsBackground());
  EXPECT_TRUE(field->isSelectable());
  setupAsLabel(TextField::create())->setStringValue("chained");
  field->setSelectable(false);
  EXPECT_EQ(setupAsLabel(field)->isSelectable(), true);
}

TEST(VtItemWithIdentifier, FirstOfTheSameIdentifier) {
  auto toolbar = Toolbar::create("main");
  EXPECT_EQ(vtItemWithIdentifier(*toolbar, "search"), nullptr);
  auto first = ToolbarItem::create("search");
  auto second = ToolbarItem::create("search");
  auto other = ToolbarItem::create("share");
  toolbar->insertItem(other, 0);
  toolbar->insertItem(second, 1);
  toolbar->insertItem(first, 1);  // now before `second`
  EXPECT_EQ(vtItemWithIdentifier(*toolbar, "search"), first);
  EXPECT_EQ(vtItemWithIdentifier(*toolbar, "share"), other);
  EXPECT_EQ(vtItemWithIdentifier(*toolbar, "Search"), nullptr);
  EXPECT_DEATH(toolbar->insertItem(ToolbarItem::create("x"), 4), "index 4 outside 0...3");
  toolbar->removeItemAtIndex(1);
  EXPECT_EQ(vtItemWithIdentifier(*toolbar, "search"), second);
}

TEST(HighlightState, Names) {
  const struct {
    std::int64_t raw;
    const char* name;
  } cases[] = {{0, "None"}, {1, "ForSelection"}, {2, "ForDeselection"}, {3, "AsDropTarget"}, {7, "None"}};
  for (const auto& c : cases) {
    EXPECT_EQ(vtDescription(static_cast<CollectionViewItemHighlightState>(c.raw)), c.name) << c.raw;
  }
}

// Rows of two columns; notes every view the table asks for.
class Model : public TableViewDataSource, public TableViewDelegate {
 public:
  using TableViewDelegate::tableView;
  std::int64_t numberOfRows(TableView& /*tableView*/) override { return 4; }
  View::Ptr tableView(TableView& /*tableView*/, const TableColumn::Ptr& column, std::int64_t row) override {
    asked.push_back(fmt::format("{}:{}", column->identifier(), row));
    return View::create();
  }
  std::vector<std::string> asked;
};

TEST(ReloadDataForRowIndexes, OnlyTheGivenRowsInColumnZero) {
  auto model = std::make_shared<Model>();
  auto table = TableView::create(Rect(0, 0, 200, 100));
  table->addTableColumn(TableColumn::create("a"));
  table->addTableColumn(TableColumn::create("b"));
  table->setDataSource(model);
  table->setDelegate(model);
  const View::Ptr row1a = table->viewAtColumn(0, 1, false);
  const View::Ptr row1b = table->viewAtColumn(1, 1, false);
  model->asked.clear();

  reloadDataForRowIndexes(*table, IndexSet::fromIntIndexes({3, 1, 9}));
  EXPECT_EQ(model->asked, (std::vector<std::string>{"a:1", "a:3"}));
  EXPECT_NE(table->viewAtColumn(0, 1, false), row1a);
  EXPECT_EQ(row1a->superview(), nullptr);
  EXPECT_EQ(table->viewAtColumn(1, 1, false), row1b);
  EXPECT_EQ(table->viewAtColumn(0, 1, false)->frame(), row1a->frame());
  EXPECT_EQ(table->reloadCount(), 0);
  EXPECT_EQ(table->rowReloadCount(), 1);

  model->asked.clear();
  reloadDataForRowIndexes(*table, IndexSet());
  EXPECT_TRUE(model->asked.empty());
  EXPECT_EQ(table->rowReloadCount(), 2);

  table->reloadDataForRowIndexesColumnIndexes(IndexSet::fromIntIndexes({0, 2}), IndexSet::fromIntIndexes({0, 1, 5}));
  EXPECT_EQ(model->asked, (std::vector<std::string>{"a:0", "b:0", "a:2", "b:2"}));
}

}  // namespace
}  // namespace vantrel
