#include "vantrel/platform/kit/window.h"

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "vantrel/platform/kit/application.h"
#include "vantrel/platform/kit/layout_constraint.h"
#include "vantrel/platform/kit/screen.h"
#include "vantrel/platform/kit/view_controller.h"
#include "vantrel/platform/kit/window_controller.h"

namespace vantrel {
namespace {

class Focusable : public View {
 public:
  static std::shared_ptr<Focusable> create(Rect frame = Rect()) {
    return std::shared_ptr<Focusable>(new Focusable(frame));
  }
  bool acceptsFirstResponder() const override { return true; }

 private:
  explicit Focusable(Rect frame) : View(frame) {}
};

TEST(ViewCoordinates, ConvertThroughFlippedAndPlainAncestors) {
  const auto window = Window::create(Rect(100, 100, 200, 100));
  const auto& content = window->contentView();
  const auto flipped = View::create(Rect(10, 20, 50, 40));
  flipped->setFlipped(true);
  const auto inner = View::create(Rect(5, 5, 10, 10));  // plain, inside the flipped one
  content->addSubview(flipped);
  flipped->addSubview(inner);

  // The flipped view's (0, 0) is its top-left corner: y 20 + 40 in the window.
  EXPECT_EQ(flipped->convertPointToView(Point(0, 0), nullptr), Point(10, 60));
  EXPECT_EQ(flipped->convertPointToView(Point(0, 40), nullptr), Point(10, 20));
  // inner's lower-left corner sits 5 + 10 below the flipped view's top.
  EXPECT_EQ(inner->convertPointToView(Point(0, 0), nullptr), Point(15, 45));
  EXPECT_EQ(inner->convertPointToView(Point(0, 0), flipped.get()), Point(5, 15));
  for (const Point p : {Point(0, 0), Point(3.5, 7), Point(-2, 12)}) {
    EXPECT_EQ(inner->convertPointFromView(inner->convertPointToView(p, nullptr), nullptr), p);
    EXPECT_EQ(inner->convertPointFromView(inner->convertPointToView(p, content.get()), content.get()), p);
  }
  EXPECT_EQ(inner->convertRectToView(inner->bounds(), nullptr), Rect(15, 45, 10, 10));
  EXPECT_EQ(content->convertRectFromView(Rect(0, 0, 10, 10), inner.get()), Rect(15, 45, 10, 10));

  // A bounds origin shifts, a bounds size scales.
  const auto zoomed = View::create(Rect(100, 0, 20, 20));
  zoomed->setBounds(Rect(50, 50, 10, 10));
  content->addSubview(zoomed);
  EXPECT_EQ(zoomed->convertPointToView(Point(55, 55), nullptr), Point(110, 10));
}

TEST(ViewKeyLoop, NextValidKeyViewSkipsHiddenAndRefusingViews) {
  const auto a = Focusable::create();
  const auto plain = View::create();  // refuses first responder
  const auto hidden = Focusable::create();
  const auto b = Focusable::create();
  hidden->setHidden(true);
  a->setNextKeyView(plain);
  plain->setNextKeyView(hidden);
  hidden->setNextKeyView(b);
  EXPECT_EQ(a->nextValidKeyView(), b);

  // A loop of views that all refuse ends the search instead of circling.
  const auto x = View::create();
  const auto y = View::create();
  x->setNextKeyView(y);
  y->setNextKeyView(x);
  EXPECT_EQ(x->nextValidKeyView(), nullptr);
  // A view linked to itself is its own next valid view when it accepts.
  a->setNextKeyView(a);
  EXPECT_EQ(a->nextValidKeyView(), a);
}

TEST(ViewResponders, ChainRunsUpToTheWindowAndItsController) {
  const auto window = Window::create(Rect(0, 0, 100, 100));
  const auto controller = WindowController::create(window);
  const auto box = View::create();
  window->contentView()->addSubview(box);
  EXPECT_EQ(box->nextResponder(), window->contentView());
  EXPECT_EQ(window->contentView()->nextResponder(), window);
  EXPECT_EQ(window->nextResponder(), controller);
  EXPECT_EQ(box->window(), window);
  box->removeFromSuperview();
  EXPECT_EQ(box->window(), nullptr);
  EXPECT_EQ(box->nextResponder(), nullptr);
}

TEST(Window, ScreenHoldingMostOfItAndItsScale) {
  ScopedScreens screens({Screen::create(Rect(0, 0, 1000, 800), Rect(0, 0, 1000, 780), 1.0, 1),
                         Screen::create(Rect(1000, 0, 1000, 800), Rect(1000, 0, 1000, 800), 2.0, 2)});
  const auto window = Window::create(Rect(900, 100, 300, 200));  // 100 left, 200 right
  ASSERT_TRUE(window->screen());
  EXPECT_EQ(window->screen()->deviceDescription().screenNumber, 2u);
  EXPECT_EQ(window->screen()->deviceDescription().resolution, Size(144, 144));
  EXPECT_EQ(window->backingScaleFactor(), 2.0);
  window->setFrameOrigin(Point(-5000, 0));
  EXPECT_EQ(window->screen(), nullptr);
  EXPECT_EQ(window->backingScaleFactor(), 1.0);
  window->center();  // off every screen: the main one
  EXPECT_EQ(window->frame(), Rect(350, 580.0 * 2 / 3, 300, 200));
}

TEST(Window, ContentViewFollowsTheFrameAndCarriesTheGuide) {
  const auto window = Window::create(Rect(10, 10, 300, 200));
  EXPECT_EQ(window->contentView()->frame(), Rect(0, 0, 300, 200));
  window->setFrame(Rect(10, 10, 400, 250));
  EXPECT_EQ(window->contentView()->frame(), Rect(0, 0, 400, 250));

  const auto replacement = View::create(Rect(7, 7, 1, 1));
  const auto old = window->contentView();
  window->setContentView(replacement);
  EXPECT_EQ(replacement->frame(), Rect(0, 0, 400, 250));
  EXPECT_EQ(window->contentLayoutGuide()->owningView(), replacement);
  EXPECT_EQ(window->contentLayoutGuide()->layoutFrame(), Rect(0, 0, 400, 250));
  EXPECT_EQ(old->window(), nullptr);

  const auto child = View::create();
  replacement->addSubview(child);
  const auto c = LayoutConstraint::create(child, LayoutAttribute::top, LayoutRelation::equal,
                                          window->contentLayoutGuide(), LayoutAttribute::top, 1.0, 4);
  c->setActive(true);
  EXPECT_EQ(c->installedOn(), replacement);
  EXPECT_EQ(c->secondItem(), nullptr);
  EXPECT_EQ(c->secondGuide(), window->contentLayoutGuide());
}

class HookRecorder : public ViewController {
 public:
  static std::shared_ptr<HookRecorder> create(std::string name, std::vector<std::string>* log) {
    return std::shared_ptr<HookRecorder>(new HookRecorder(std::move(name), log));
  }
  void viewWillAppear() override { log_->push_back(name_ + " willAppear"); }
  void viewDidAppear() override { log_->push_back(name_ + " didAppear"); }
  void viewWillDisappear() override { log_->push_back(name_ + " willDisappear"); }
  void viewDidDisappear() override { log_->push_back(name_ + " didDisappear"); }
  void viewWillLayout() override { log_->push_back(name_ + " willLayout"); }
  void viewDidLayout() override { log_->push_back(name_ + " didLayout"); }

 private:
  HookRecorder(std::string name, std::vector<std::string>* log) : name_(std::move(name)), log_(log) {}
  std::string name_;
  std::vector<std::string>* log_;
};

class Refusing : public WindowDelegate {
 public:
  bool windowShouldClose(Window&) override { return allow; }
  void windowWillClose(Window&) override { ++willClose; }
  bool allow = false;
  int willClose = 0;
};

TEST(Window, ShowLayoutAndCloseReachTheControllers) {
  std::vector<std::string> log;
  const auto window = Window::create(Rect(0, 0, 100, 100));
  const auto parent = HookRecorder::create("P", &log);
  parent->addChild(HookRecorder::create("C", &log));
  window->setContentViewController(parent);
  EXPECT_EQ(window->contentView(), parent->view());
  const auto delegate = std::make_shared<Refusing>();
  window->setDelegate(delegate);

  window->makeKeyAndOrderFront();
  window->makeKeyAndOrderFront();  // already visible: nothing again
  window->layoutIfNeeded();        // nothing pending
  window->setFrame(Rect(0, 0, 120, 100));
  window->layoutIfNeeded();
  window->performClose();  // refused
  EXPECT_TRUE(window->isVisible());
  delegate->allow = true;
  window->performClose();
  EXPECT_EQ(delegate->willClose, 1);
  EXPECT_EQ(log, (std::vector<std::string>{"P willAppear", "C willAppear", "P willLayout", "C willLayout",
                                           "P didLayout", "C didLayout", "P didAppear", "C didAppear",
                                           "P willLayout", "C willLayout", "P didLayout", "C didLayout",
                                           "P willDisappear", "C willDisappear", "P didDisappear",
                                           "C didDisappear"}));
}

TEST(Window, ApplicationKnowsWindowsAndKeyAndMain) {
  const auto a = Window::create(Rect(0, 0, 10, 10));
  const auto b = Window::create(Rect(0, 0, 10, 10));
  auto windows = Application::shared()->windows();
  ASSERT_GE(windows.size(), 2u);
  EXPECT_EQ(windows[windows.size() - 2], a);
  EXPECT_EQ(windows.back(), b);
  a->makeKeyAndOrderFront();
  EXPECT_TRUE(a->isKeyWindow() && a->isMainWindow());
  b->makeKeyWindow();
  EXPECT_EQ(Application::shared()->keyWindow(), b);
  EXPECT_EQ(Application::shared()->mainWindow(), a);
  a->close();
  EXPECT_EQ(Application::shared()->mainWindow(), nullptr);
}

TEST(Window, GoneWindowsLeaveTheApplicationsList) {
  const std::size_t before = Application::shared()->windows().size();
  auto window = Window::create(Rect(0, 0, 10, 10));
  window->makeKeyWindow();
  EXPECT_EQ(Application::shared()->windows().size(), before + 1);
  window.reset();
  EXPECT_EQ(Application::shared()->windows().size(), before);
  EXPECT_EQ(Application::shared()->keyWindow(), nullptr);
}

TEST(Window, FirstResponderOnlyWhenAccepted) {
  const auto window = Window::create(Rect(0, 0, 10, 10));
  EXPECT_EQ(window->firstResponder(), nullptr);
  EXPECT_FALSE(window->makeFirstResponder(View::create()));
  const auto field = Focusable::create();
  EXPECT_TRUE(window->makeFirstResponder(field));
  EXPECT_EQ(window->firstResponder(), field);
  EXPECT_TRUE(window->makeFirstResponder(nullptr));
  EXPECT_EQ(window->firstResponder(), nullptr);
}

TEST(ViewController, ContainmentRefusesCycles) {
  const auto a = ViewController::create();
  const auto b = ViewController::create();
  a->addChild(b);
  EXPECT_EQ(b->parent(), a);
  EXPECT_DEATH(b->addChild(a), "one of its parents");
  b->removeFromParent();
  EXPECT_TRUE(a->children().empty());
  EXPECT_EQ(b->parent(), nullptr);
}

}  // namespace
}  // namespace vantrel
