#include <cctype>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/foundation/localization_test_support.h"
#include "tests/support/fixtures.h"
#include "vantrel/appkit/view_controller_helpers.h"
#include "vantrel/appkit/window_controller_helpers.h"
#include "vantrel/core/console.h"
#include "vantrel/foundation/localization/localization.h"
#include "vantrel/platform/foundation/defaults/user_defaults.h"
#include "vantrel/platform/kit/application.h"

namespace vantrel {
namespace {

class Outer : public ViewController {
 public:
  static std::shared_ptr<Outer> create() { return std::shared_ptr<Outer>(new Outer()); }
};
class SpecialOuter : public Outer {
 public:
  static std::shared_ptr<SpecialOuter> create() { return std::shared_ptr<SpecialOuter>(new SpecialOuter()); }
};

TEST(ViewControllerHelpers, FirstParentOfAType) {
  const auto alone = Outer::create();
  EXPECT_EQ(firstParent<Outer>(*alone), nullptr);  // itself never counts

  const auto p2 = Outer::create();
  const auto p1 = SpecialOuter::create();  // a subclass counts
  const auto middle = ViewController::create();
  const auto child = ViewController::create();
  p2->addChild(p1);
  p1->addChild(middle);
  middle->addChild(child);
  EXPECT_EQ(firstParent<Outer>(*child), p1);
  EXPECT_EQ(firstParent<SpecialOuter>(*child), p1);
  EXPECT_EQ(firstParent<Outer>(*p1), p2);
  EXPECT_EQ(firstParent<SpecialOuter>(*p1), nullptr);
  EXPECT_EQ(firstParent<ViewController>(*child), middle);
}

// The trace with its line number replaced by "N": the number is wherever the
// call sits in the source.
std::vector<std::string> tracesWithoutLineNumbers(const std::string& output) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end = output.find('\n'); end != std::string::npos; end = output.find('\n', start)) {
    std::string line = output.substr(start, end - start);
    start = end + 1;
    for (const std::string marker : {"Line:", "@"}) {
      const std::size_t at = line.find(marker);
      if (at == std::string::npos) continue;
      std::size_t digits = at + marker.size();
      std::size_t stop = digits;
      while (stop < line.size() && std::isdigit(static_cast<unsigned char>(line[stop]))) ++stop;
      if (stop > digits) line.replace(digits, stop - digits, "N");
    }
    lines.push_back(line);
  }
  return lines;
}

TEST(ViewControllerHelpers, ColorSizeNameVollerDescribesItself) {
  EXPECT_EQ(ColorSizeNameVoller::create(Color::redColor(), Size(300, 200), "Main")->description(),
            "Main, #ff0000 in (300.0, 200.0))");
  EXPECT_EQ(ColorSizeNameVoller::create(Color::withRed(1, 0.5, 0, 1), Size(0.5, 12), "")->description(),
            ", #ff7f00 in (0.5, 12.0))");
}

TEST(ViewControllerHelpers, ColorSizeNameVollerViewIsExactlyItsSize) {
  const auto controller = ColorSizeNameVoller::create(Color::redColor(), Size(300, 200), "Main");
  ConsoleCapture quiet;
  const auto& view = controller->view();
  EXPECT_FALSE(view->translatesAutoresizingMaskIntoConstraints());
  EXPECT_EQ(view->layer()->backgroundColor(), Color::redColor());
  ASSERT_EQ(view->constraints().size(), 2u);
  EXPECT_EQ(view->constraints()[0]->firstAttribute(), LayoutAttribute::width);
  EXPECT_EQ(view->constraints()[0]->constant(), 300.0);
  EXPECT_EQ(view->constraints()[1]->firstAttribute(), LayoutAttribute::height);
  EXPECT_EQ(view->constraints()[1]->constant(), 200.0);
}

TEST(ViewControllerHelpers, LifeCycleTraces) {
  const std::string d = "Main, #ff0000 in (300.0, 200.0))";
  const std::string flow = "🍇🍇🍇view_controller_helpers.";
  ConsoleCapture capture;
  {
    const auto window = Window::create(Rect(0, 0, 400, 300));
    {
      const auto controller = ColorSizeNameVoller::create(Color::redColor(), Size(300, 200), "Main");
      window->setContentViewController(controller);
    }
    window->makeKeyAndOrderFront();
    window->close();
  }  // the window held the last reference to the controller
  const std::vector<std::string> expected = {
      flow + "viewWillAppear() Line:N [MT]: " + d,    flow + "viewWillLayout() Line:N [MT]: " + d,
      flow + "viewDidLayout() Line:N [MT]: " + d,     flow + "viewDidAppear() Line:N [MT]: " + d,
      flow + "viewWillDisappear() Line:N [MT]: " + d, flow + "viewDidDisappear() Line:N [MT]: " + d,
      flow + "deinit Line:N [MT]: 💛💛💛💛💛 " + d,
  };
  EXPECT_EQ(tracesWithoutLineNumbers(capture.standardOutput()), expected);
}

TEST(ViewControllerHelpers, DummyVollerDeinitTrace) {
  ConsoleCapture capture;
  (void)VantrelDummyVoller::create(Color::redColor());
  EXPECT_EQ(tracesWithoutLineNumbers(capture.standardOutput()),
            std::vector<std::string>{"🔀MT \"view_controller_helpers.cpp\"@N: deinit: "});
}

TEST(ViewControllerHelpers, DummyVollerCaptionAndTag) {
  ConsoleCapture quiet;  // the deinit traces
  const auto plain = VantrelDummyVoller::create(Color::redColor());
  const auto& view = plain->view();
  EXPECT_EQ(view->tag(), 10);
  EXPECT_EQ(view->frame(), Rect(0, 0, 500, 500));
  EXPECT_FALSE(view->translatesAutoresizingMaskIntoConstraints());
  EXPECT_EQ(view->layer()->backgroundColor(), Color::redColor());
  const auto& label = plain->textLabel();
  EXPECT_EQ(label->superview(), view);
  EXPECT_EQ(label->stringValue(), "");
  EXPECT_FALSE(label->isBezeled());
  EXPECT_FALSE(label->isEditable());
  EXPECT_TRUE(label->isSelectable());
  EXPECT_FALSE(label->drawsBackground());
  EXPECT_FALSE(label->translatesAutoresizingMaskIntoConstraints());
  EXPECT_EQ(label->font(), Font::systemFont(20));
  EXPECT_EQ(label->textColor(), Color::whiteColor());
  ASSERT_EQ(view->constraints().size(), 2u);
  EXPECT_EQ(view->constraints()[0]->firstAttribute(), LayoutAttribute::centerX);
  EXPECT_EQ(view->constraints()[1]->firstAttribute(), LayoutAttribute::centerY);

  EXPECT_EQ(VantrelDummyVoller::create(Color::redColor(), std::nullopt, 7)->view()->tag(), 7);

  const auto captioned = VantrelDummyVoller::create(Color::redColor(), "Sidebar");
  EXPECT_EQ(captioned->textLabel()->stringValue(), "");  // not before the view exists
  (void)captioned->view();
  EXPECT_EQ(captioned->textLabel()->stringValue(), "Sidebar");
  captioned->setLabelText("Other");
  EXPECT_EQ(captioned->textLabel()->stringValue(), "Other");
  captioned->setLabelText(std::nullopt);
  EXPECT_EQ(captioned->textLabel()->stringValue(), "Other");
  EXPECT_EQ(captioned->labelText(), std::nullopt);
}

// Defaults, HOME and localization of their own, so the autosaved frames and
// the "Ok" lookup touch nothing outside the test.
class WindowControllerHelpers : public ::testing::Test {
 protected:
  testing::TemporaryDirectory temp_;
  ScopedUserDefaultsDirectory defaults_{(temp_.path() / "defaults").string()};
  testing::ScopedVariable home_{"HOME", temp_.path().string()};
};

TEST_F(WindowControllerHelpers, TestWindowIsBuiltAsDescribed) {
  for (const auto& [code, title, autosave] :
       std::vector<std::tuple<std::string, std::string, std::string>>{
           {"A1", "Dummy Window (code=A1)", "A1 asn"}, {"", "Dummy Window (code=)", " asn"}}) {
    SCOPED_TRACE(code);
    const auto dummy = DummyWoller::create(code);
    const auto window = dummy->window();
    ASSERT_TRUE(window);
    EXPECT_EQ(window->title(), title);
    EXPECT_EQ(dummy->windowFrameAutosaveName(), autosave);
    EXPECT_EQ(window->frameAutosaveName(), autosave);
    EXPECT_EQ(window->frame().size, Size(600, 400));
    EXPECT_EQ(window->styleMask(),
              WindowStyleMask::titled | WindowStyleMask::closable | WindowStyleMask::resizable);
    EXPECT_EQ(window->backgroundColor(), Color::blackColor());
    EXPECT_TRUE(window->isMovableByWindowBackground());
    EXPECT_EQ(window->delegate(), dummy);
    EXPECT_EQ(window->windowController(), dummy);
    EXPECT_FALSE(window->isVisible());

    const auto& content = window->contentView();
    EXPECT_EQ(content->layer()->backgroundColor(), Color::brownColor());
    ASSERT_EQ(content->subviews().size(), 2u);
    const auto label = std::dynamic_pointer_cast<TextField>(content->subviews()[0]);
    const auto button = std::dynamic_pointer_cast<Button>(content->subviews()[1]);
    ASSERT_TRUE(label && button);
    EXPECT_EQ(label->stringValue(), "Dummy View");
    EXPECT_EQ(label->alignment(), TextAlignment::center);
    EXPECT_EQ(label->textColor(), Color::whiteColor());
    EXPECT_FALSE(label->isEditable());
    EXPECT_EQ(button->title(), VantrelLocalization::localizedStringFor("Ok"));
    EXPECT_EQ(button->bezelStyle(), BezelStyle::rounded);
    EXPECT_EQ(button->buttonType(), ButtonType::momentaryPushIn);
    EXPECT_EQ(button->keyEquivalent(), "\r");
    EXPECT_EQ(button->target(), dummy);

    const auto& cs = content->constraints();
    ASSERT_EQ(cs.size(), 4u);
    EXPECT_EQ(cs[0]->firstItem(), label);
    EXPECT_EQ(cs[0]->firstAttribute(), LayoutAttribute::centerX);
    EXPECT_EQ(cs[1]->firstAttribute(), LayoutAttribute::centerY);
    // The content view first, so a positive 10 keeps the button inside.
    EXPECT_EQ(cs[2]->firstItem(), content);
    EXPECT_EQ(cs[2]->firstAttribute(), LayoutAttribute::bottom);
    EXPECT_EQ(cs[2]->secondItem(), button);
    EXPECT_EQ(cs[2]->constant(), 10.0);
    EXPECT_EQ(cs[3]->firstAttribute(), LayoutAttribute::right);
    EXPECT_EQ(cs[3]->secondItem(), button);
    EXPECT_EQ(cs[3]->constant(), 10.0);

    button->performClick();  // changes nothing
    EXPECT_FALSE(window->isVisible());
  }
}

TEST_F(WindowControllerHelpers, AutosavedFrameIsAppliedToTheNextWindowOfTheName) {
  {
    const auto first = DummyWoller::create("F1");
    first->window()->setFrameOrigin(Point(33, 44));
  }
  EXPECT_EQ(DummyWoller::create("F1")->window()->frame(), Rect(33, 44, 600, 400));
  EXPECT_EQ(DummyWoller::create("F2")->window()->frame().origin, Point(0, 0));
  // Kept in the defaults, so another process would find it too.
  ASSERT_TRUE(UserDefaults::standard()->synchronize());
  UserDefaults::resetStandardUserDefaults();
  EXPECT_EQ(DummyWoller::create("F1")->window()->frame(), Rect(33, 44, 600, 400));
}

TEST_F(WindowControllerHelpers, DamagedAutosavedFrameIsIgnored) {
  UserDefaults::standard()->set("NSWindow Frame F3 asn", "{{1, 2}, {3");
  EXPECT_EQ(DummyWoller::create("F3")->window()->frame(), Rect(0, 0, 600, 400));
  EXPECT_EQ(UserDefaults::standard()->stringForKey("NSWindow Frame F3 asn"), Rect(0, 0, 600, 400).toString());
}

class CountingController : public WindowController {
 public:
  static std::shared_ptr<CountingController> create() {
    return std::shared_ptr<CountingController>(new CountingController());
  }
  int loads = 0;

 protected:
  void loadWindow() override { ++loads; }
};

TEST_F(WindowControllerHelpers, ToggleShowsThenCloses) {
  const auto dummy = DummyWoller::create("T1");
  toggleWindow(*dummy);
  EXPECT_TRUE(dummy->window()->isVisible());
  EXPECT_TRUE(dummy->window()->isKeyWindow());
  toggleWindow(*dummy);
  EXPECT_FALSE(dummy->window()->isVisible());
  showWindow(*dummy);
  EXPECT_TRUE(dummy->window()->isVisible());
  closeWindow(*dummy);
  EXPECT_FALSE(dummy->window()->isVisible());

  const auto empty = CountingController::create();
  toggleWindow(*empty);  // asks for the window, which loads (once)
  toggleWindow(*empty);
  EXPECT_EQ(empty->loads, 1);
  EXPECT_FALSE(empty->isWindowLoaded());
}

TEST_F(WindowControllerHelpers, PerformCloseClosesTheTestWindow) {
  const auto dummy = DummyWoller::create("C1");
  dummy->showWindow();
  dummy->window()->performClose();
  EXPECT_FALSE(dummy->window()->isVisible());
  EXPECT_EQ(Application::shared()->keyWindow(), nullptr);
}

}  // namespace
}  // namespace vantrel
