#include "vantrel/drawing/view_layout_helpers.h"

#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "vantrel/core/console.h"
#include "vantrel/core/object_identifier.h"
#include "vantrel/platform/kit/button.h"

namespace vantrel {
namespace {

std::string id(const View::Ptr& view) { return ObjectIdentifier(view).description(); }

TEST(FlowLayout, PlacesSubviewsInLinesBelowTheTallestViewOfEachLine) {
  struct Row {
    std::string name;
    double width;
    std::vector<Size> sizes;
    std::vector<Point> origins;
  };
  const std::vector<Row> rows = {
      {"a new line goes below the tallest view of the line before", 100, {{40, 10}, {40, 20}, {40, 30}},
       {{0, 0}, {40, 0}, {0, 20}}},
      {"not at the height of the view that opens it", 100, {{40, 30}, {40, 10}, {40, 20}, {40, 5}},
       {{0, 0}, {40, 0}, {0, 30}, {40, 30}}},
      {"a too-wide first view stays on the first line", 100, {{150, 10}, {40, 20}}, {{0, 0}, {0, 10}}},
      {"a too-wide view after others opens a line of its own", 100, {{40, 10}, {150, 25}, {40, 5}},
       {{0, 0}, {0, 10}, {0, 35}}},
      {"an exact fit stays on the line", 100, {{50, 10}, {50, 10}, {1, 1}}, {{0, 0}, {50, 0}, {0, 10}}},
      {"three lines", 60, {{30, 4}, {30, 6}, {30, 2}, {40, 3}, {10, 9}}, {{0, 0}, {30, 0}, {0, 6}, {0, 8}, {40, 8}}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    auto receiver = View::create(Rect(7, 9, row.width, 500));
    std::vector<View::Ptr> subviews;
    for (Size size : row.sizes) {
      subviews.push_back(View::create(Rect(3, 4, size.width, size.height)));
      receiver->addSubview(subviews.back());
    }
    vtFlowLayoutSubviews(receiver);
    for (std::size_t i = 0; i < subviews.size(); ++i) {
      EXPECT_EQ(subviews[i]->frame(), Rect(row.origins[i], row.sizes[i])) << "view " << i;
    }
    EXPECT_EQ(receiver->frame(), Rect(7, 9, row.width, 500));
  }
}

TEST(FlowLayout, ReceiverWithoutSubviewsIsLeftAlone) {
  auto receiver = View::create(Rect(1, 2, 3, 4));
  vtFlowLayoutSubviews(receiver);
  EXPECT_EQ(receiver->frame(), Rect(1, 2, 3, 4));
  EXPECT_TRUE(receiver->subviews().empty());
}

TEST(RemoveFromSuperviews, RemovesEachInOrder) {
  auto root = View::create();
  auto a = View::create();
  auto b = Button::create();
  auto kept = View::create();
  root->addSubview(a);
  root->addSubview(kept);
  root->addSubview(b);
  removeFromSuperviews(std::vector<View::Ptr>{a, b});
  EXPECT_EQ(root->subviews(), std::vector<View::Ptr>{kept});
  EXPECT_EQ(a->superview(), nullptr);
  removeFromSuperviews({});
  removeFromSuperviews({a});  // without a superview: nothing
}

class ViewDumps : public testing::Test {
 protected:
  void SetUp() override {
    root->addSubview(button);
    root->addSubview(leaf);
    button->addSubview(inner);
    root->setBounds(Rect(5, 6, 400, 300));
  }
  View::Ptr root = View::create(Rect(0, 0, 400, 300));
  std::shared_ptr<Button> button = Button::create(Rect(20, 20, 100, 32));
  View::Ptr inner = View::create(Rect(1.5, 2, 3, 4));
  View::Ptr leaf = View::create(Rect(0, 250, 400, 50));
};

TEST_F(ViewDumps, TreeInPreOrderOneLinePerView) {
  const std::string want = "View(" + id(root) + "):(0.0, 0.0, 400.0, 300.0), (5.0, 6.0)\n" +
                           "-Button(" + id(button) + "):(20.0, 20.0, 100.0, 32.0), (0.0, 0.0)\n" +
                           "--View(" + id(inner) + "):(1.5, 2.0, 3.0, 4.0), (0.0, 0.0)\n" +
                           "-View(" + id(leaf) + "):(0.0, 250.0, 400.0, 50.0), (0.0, 0.0)\n";
  {
    ConsoleCapture capture;
    vtPrintRecursiveDescription(root);
    EXPECT_EQ(capture.standardOutput(), want);
  }
  {
    ConsoleCapture capture;
    vtRecursiveDescription(root);
    EXPECT_EQ(capture.standardOutput(), want);
  }
}

TEST_F(ViewDumps, DepthAndTheAdderBlock) {
  ConsoleCapture capture;
  vtPrintRecursiveDescription(button, 2, [&](const View::Ptr& view) -> std::optional<std::string> {
    if (view == inner) return std::nullopt;
    return " tag=" + std::to_string(view->tag());
  });
  EXPECT_EQ(capture.standardOutput(), "--Button(" + id(button) + "):(20.0, 20.0, 100.0, 32.0), (0.0, 0.0) tag=-1\n" +
                                          "---View(" + id(inner) + "):(1.5, 2.0, 3.0, 4.0), (0.0, 0.0)\n");
  capture.clear();
  // A negative depth counts as 0.
  vtRecursiveDescription(inner, -3);
  EXPECT_EQ(capture.standardOutput(), "View(" + id(inner) + "):(1.5, 2.0, 3.0, 4.0), (0.0, 0.0)\n");
}

TEST_F(ViewDumps, IntrinsicSizeLine) {
  ConsoleCapture capture;
  vtPrintIntrinsicContentSize(root);
  root->setContentHuggingPriority(251, LayoutOrientation::vertical);
  root->setContentCompressionResistancePriority(999.5f, LayoutOrientation::horizontal);
  vtPrintIntrinsicContentSize(root);
  EXPECT_EQ(capture.standardOutput(),
            "ics = (-1.0, -1.0), chp-H250.0, chp-V250.0, ccr-H750.0, ccr-V750.0\n"
            "ics = (-1.0, -1.0), chp-H250.0, chp-V251.0, ccr-H999.5, ccr-V750.0\n");
}

TEST_F(ViewDumps, AmbiguityWalkReportsOnlyAmbiguousViews) {
  ConsoleCapture capture;
  testAmbiguity(root);
  EXPECT_EQ(capture.standardOutput(), "");
  EXPECT_FALSE(root->hasAmbiguousLayout());

  inner->setHasAmbiguousLayout(true);
  testAmbiguity(root);
  EXPECT_EQ(capture.standardOutput(),
            "hasAmbiguousLayout view " + inner->description() + " (frame=(1.5, 2.0, 3.0, 4.0))\n");

  capture.clear();
  root->setHasAmbiguousLayout(true);
  leaf->setHasAmbiguousLayout(true);
  testAmbiguity(root);
  EXPECT_EQ(capture.standardOutput(),
            "hasAmbiguousLayout view " + root->description() + " (frame=(0.0, 0.0, 400.0, 300.0))\n" +
                "hasAmbiguousLayout view " + inner->description() + " (frame=(1.5, 2.0, 3.0, 4.0))\n" +
                "hasAmbiguousLayout view " + leaf->description() + " (frame=(0.0, 250.0, 400.0, 50.0))\n");
}

TEST(LayoutConstraintCasks, EqualByCodeOnly) {
  auto container = View::create();
  auto label = View::create();
  const ConstraintList some = vccPlace(container, label, 4.0);
  const LayoutConstraintCask a("compact", some);
  const LayoutConstraintCask b("compact", ConstraintList{});
  const LayoutConstraintCask c("wide", some);
  EXPECT_TRUE(a == b);
  EXPECT_FALSE(a == c);
  EXPECT_TRUE(a != c);
  // Codes compare as texts: canonically equivalent spellings are one code.
  EXPECT_TRUE(LayoutConstraintCask("caf\u00e9", some) == LayoutConstraintCask("cafe\u0301", ConstraintList{}));
  EXPECT_EQ(a.constraints(), some);
  for (const auto& each : some) EXPECT_FALSE(each->isActive());
}

TEST(LayoutConstraintCasks, BlockRunsOnceDuringConstruction) {
  auto container = View::create();
  auto label = View::create();
  int calls = 0;
  ConstraintList made;
  const LayoutConstraintCask cask("centred", [&] {
    ++calls;
    made = vccPlaceInCenter(container, label);
    return made;
  });
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(cask.code(), "centred");
  EXPECT_EQ(cask.constraints(), made);
  EXPECT_TRUE(container->constraints().empty());
}

}  // namespace
}  // namespace vantrel
