#include "vantrel/appkit/window_helpers.h"

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "vantrel/core/console.h"
#include "vantrel/platform/kit/screen.h"
#include "vantrel/platform/kit/window_controller.h"

namespace vantrel {
namespace {

// A view that may take the focus, as text fields and buttons do.
class KeyView : public View {
 public:
  static std::shared_ptr<KeyView> create(Rect frame) { return std::shared_ptr<KeyView>(new KeyView(frame)); }
  bool acceptsFirstResponder() const override { return true; }

 private:
  explicit KeyView(Rect frame) : View(frame) {}
};

std::string replaceAll(std::string text, const std::string& from, const std::string& to) {
  for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return text;
}

struct KeyLoopCase {
  const char* name;
  std::vector<std::pair<char, char>> links;  // view -> its next key view
  std::optional<char> initial;
  std::optional<char> firstResponder;  // 'w' for the window itself
  std::vector<std::string> lines;      // {X}: description, [X]: responder text, {w}: the window
};

TEST(WindowHelpers, KeyLoopDumps) {
  const std::vector<KeyLoopCase> cases = {
      {"no responders", {}, std::nullopt, std::nullopt,
       {"printKeyViewLoop: {w}", "<window>.initialFirstResponder = nil"}},
      {"chain ending at Y", {{'X', 'Y'}}, 'X', std::nullopt,
       {"printKeyViewLoop: {w}", "<window>.initialFirstResponder = Optional(\"[X]\")", "1: [Y]", "end"}},
      {"no next view at all", {}, 'X', std::nullopt,
       {"printKeyViewLoop: {w}", "<window>.initialFirstResponder = Optional(\"[X]\")", "end"}},
      {"self-loop", {{'X', 'X'}}, 'X', std::nullopt,
       {"printKeyViewLoop: {w}", "<window>.initialFirstResponder = Optional(\"[X]\")", "--> loop to first: {X}"}},
      {"X-Y-Z, Y first responder", {{'X', 'Y'}, {'Y', 'Z'}, {'Z', 'X'}}, 'X', 'Y',
       {"printKeyViewLoop: {w}", "<window>.initialFirstResponder = Optional(\"[X]\")",
        "<window>.firstResponder = [Y]",
        "<window>.firstResponder.nextResponder? = View (0.0, 0.0, 400.0, 300.0)",
        "<window>.firstResponder as? NSView.nextKeyView = nil",
        "<window>.firstResponder as? NSView.nextValidKeyView = nil", "* 1: [Y]", "2: [Z]",
        "--> loop to first: {X}"}},
      {"X-Y-Z-Y", {{'X', 'Y'}, {'Y', 'Z'}, {'Z', 'Y'}}, 'X', std::nullopt,
       {"printKeyViewLoop: {w}", "<window>.initialFirstResponder = Optional(\"[X]\")", "1: [Y]", "2: [Z]",
        "--> loop to first: {Y}"}},
      {"X-Y-Z-W-Z", {{'X', 'Y'}, {'Y', 'Z'}, {'Z', 'W'}, {'W', 'Z'}}, 'X', std::nullopt,
       {"printKeyViewLoop: {w}", "<window>.initialFirstResponder = Optional(\"[X]\")", "1: [Y]", "2: [Z]",
        "3: [W]", "--> loop to first: {Z}"}},
      {"window as first responder", {}, std::nullopt, 'w',
       {"printKeyViewLoop: {w}", "<window>.initialFirstResponder = nil", "<window>.firstResponder = Window {w}"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto window = Window::create(Rect(0, 0, 400, 300));
    std::map<char, std::shared_ptr<KeyView>> views;
    // Frames 10 points apart; the responder text converts each frame as if
    // it were in the view's own coordinates, so the origin doubles.
    const std::string names = "XYZW";
    for (std::size_t i = 0; i < names.size(); ++i) {
      views[names[i]] = KeyView::create(Rect(10.0 * static_cast<double>(i), 20, 30, 40));
      window->contentView()->addSubview(views[names[i]]);
    }
    for (const auto& [from, to] : c.links) views[from]->setNextKeyView(views[to]);
    if (c.initial) window->setInitialFirstResponder(views[*c.initial]);
    if (c.firstResponder == 'w') {
      ASSERT_TRUE(window->makeFirstResponder(window));
    } else if (c.firstResponder) {
      ASSERT_TRUE(window->makeFirstResponder(views[*c.firstResponder]));
    }

    std::string expected;
    for (std::string line : c.lines) {
      line = replaceAll(line, "{w}", window->description());
      for (std::size_t i = 0; i < names.size(); ++i) {
        const auto& view = views[names[i]];
        const std::string x = std::to_string(20 * i);
        line = replaceAll(line, std::string("{") + names[i] + "}", view->description());
        line = replaceAll(line, std::string("[") + names[i] + "]", "KeyView (" + x + ".0, 40.0, 30.0, 40.0)");
      }
      expected += line + "\n";
    }
    ConsoleCapture capture;
    vtPrintKeyLoop(*window);
    EXPECT_EQ(capture.standardOutput(), expected);
  }
}

TEST(WindowHelpers, PrintAllWalksFromASubviewUpThroughTheWindow) {
  const auto window = Window::create(Rect(0, 0, 200, 100));
  const auto controller = WindowController::create(window);
  const auto box = View::create(Rect(10, 10, 50, 50));
  const auto inner = KeyView::create(Rect(1, 1, 5, 5));
  window->contentView()->addSubview(box);
  box->addSubview(inner);

  ConsoleCapture capture;
  vtPrintAll(*inner);
  EXPECT_EQ(capture.standardOutput(), "chain NSResponder " + inner->description() + ")\n" +
                                          "chain NSResponder " + box->description() + ")\n" +
                                          "chain NSResponder " + window->contentView()->description() + ")\n" +
                                          "chain NSResponder " + window->description() + ")\n" +
                                          "chain NSResponder " + controller->description() + ")\n");
}

TEST(WindowHelpers, PrintAllEndsWhereAHandMadeChainComesBack) {
  const auto a = View::create();
  const auto b = View::create();
  a->setNextResponder(b);
  b->setNextResponder(a);
  ConsoleCapture capture;
  vtPrintAll(*a);
  EXPECT_EQ(capture.standardOutput(),
            "chain NSResponder " + a->description() + ")\nchain NSResponder " + b->description() + ")\n");
}

struct CentringCase {
  const char* name;
  std::vector<Rect> screens;
  Rect frame;
  Point expected;
};

TEST(WindowHelpers, CentringKeepsTheWindowOnItsScreen) {
  const Rect main(0, 0, 1440, 900);
  const Rect secondary(1440, 0, 1440, 900);
  const std::vector<CentringCase> cases = {
      {"main screen at the origin", {main}, Rect(0, 0, 400, 300), Point(520, 300)},
      {"secondary screen", {main, secondary}, Rect(1500, 100, 400, 300), Point(1960, 300)},
      {"screen below the main one", {main, Rect(0, -900, 1440, 900)}, Rect(100, -700, 400, 300), Point(520, -600)},
      {"no screen", {}, Rect(33, 44, 400, 300), Point(33, 44)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<Screen::Ptr> screens;
    for (const Rect& frame : c.screens) screens.push_back(Screen::create(frame, frame));
    ScopedScreens scope(screens);
    const auto window = Window::create(c.frame);
    setFrameOriginToPositionWindowInCenterOfScreen(*window);
    EXPECT_EQ(window->frame(), Rect(c.expected, c.frame.size));
  }
}

TEST(WindowHelpers, RetinaOnlyAtExactlyTwo) {
  for (const auto& [scale, retina] : std::vector<std::pair<double, bool>>{{1.0, false}, {2.0, true}, {3.0, false}}) {
    SCOPED_TRACE(scale);
    ScopedScreens scope({Screen::create(Rect(0, 0, 800, 600), Rect(0, 0, 800, 600), scale)});
    EXPECT_EQ(isRetina(*Window::create(Rect(10, 10, 100, 100))), retina);
  }
  ScopedScreens none({});
  EXPECT_FALSE(isRetina(*Window::create(Rect(10, 10, 100, 100))));  // no screen: 1.0
}

struct AttachCase {
  const char* name;
  std::optional<double> top;
  std::optional<double> bottom;
  std::vector<std::pair<LayoutAttribute, double>> made;
};

TEST(WindowHelpers, AttachViewToTheContentLayoutGuide) {
  const std::vector<AttachCase> cases = {
      {"none", std::nullopt, std::nullopt, {}},
      {"top", 8.0, std::nullopt, {{LayoutAttribute::top, 8.0}}},
      {"bottom 20", std::nullopt, 20.0, {{LayoutAttribute::bottom, -20.0}}},
      {"both", 8.0, 20.0, {{LayoutAttribute::top, 8.0}, {LayoutAttribute::bottom, -20.0}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto window = Window::create(Rect(0, 0, 300, 200));
    const auto view = View::create();
    window->contentView()->addSubview(view);
    const auto made = vtbAttachView(*window, view, c.top, c.bottom);
    ASSERT_EQ(made.size(), c.made.size());
    for (std::size_t i = 0; i < made.size(); ++i) {
      EXPECT_EQ(made[i]->firstItem(), view);
      EXPECT_EQ(made[i]->firstAttribute(), c.made[i].first);
      EXPECT_EQ(made[i]->secondGuide(), window->contentLayoutGuide());
      EXPECT_EQ(made[i]->secondAttribute(), c.made[i].first);
      EXPECT_EQ(made[i]->multiplier(), 1.0);
      EXPECT_EQ(made[i]->constant(), c.made[i].second);
      EXPECT_TRUE(made[i]->isActive());
      EXPECT_EQ(made[i]->installedOn(), window->contentView());
    }
    EXPECT_TRUE(view->translatesAutoresizingMaskIntoConstraints());  // left alone
  }
}

TEST(WindowHelpers, SprintWritesValuesSeparatorAndTerminator) {
  const auto window = Window::create(Rect(0, 0, 10, 10));
  ConsoleCapture capture;
  sprint(*window, "a", "b");
  sprintWith(*window, {.separator = ", ", .terminator = ""}, "a", "b");
  sprint(*window);
  sprint(*window, 1.5, " ", 2);
  EXPECT_EQ(capture.standardOutput(), "ab\na, b\n1.5 2\n");
}

}  // namespace
}  // namespace vantrel
