#include "vantrel/appkit/view_helpers.h"

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "vantrel/core/console.h"
#include "vantrel/platform/graphics/drawing_context.h"
#include "vantrel/platform/kit/window.h"

namespace vantrel {
namespace {

// Fills `rect` of its own coordinates red when drawn.
class RedPatch : public View {
 public:
  static std::shared_ptr<RedPatch> create(Rect frame, Rect patch, bool flipped) {
    auto view = std::shared_ptr<RedPatch>(new RedPatch(frame, patch));
    view->setFlipped(flipped);
    return view;
  }
  void draw(Rect /*dirtyRect*/) override {
    const auto context = currentDrawingContext();
    ASSERT_TRUE(context);
    context->setFillColor(*Color::redColor());
    context->fillRect(patch_);
  }

 private:
  RedPatch(Rect frame, Rect patch) : View(frame), patch_(patch) {}
  Rect patch_;
};

struct Scene {
  Window::Ptr window = Window::create(Rect(0, 0, 100, 80));
  std::shared_ptr<RedPatch> whole = RedPatch::create(Rect(10, 10, 20, 20), Rect(0, 0, 20, 20), false);
  std::shared_ptr<RedPatch> lowerLeft = RedPatch::create(Rect(40, 10, 40, 40), Rect(0, 0, 10, 10), false);
  std::shared_ptr<RedPatch> upperLeft = RedPatch::create(Rect(40, 10, 40, 40), Rect(0, 0, 10, 10), true);

  Scene() {
    setVtBackgroundColor(*window->contentView(), Color::greenColor());
    window->contentView()->addSubview(whole);
  }
};

std::array<std::uint8_t, 4> opaque(std::uint8_t r, std::uint8_t g, std::uint8_t b) { return {r, g, b, 255}; }

void expectColor(const Color::Ptr& color, double r, double g, double b) {
  ASSERT_TRUE(color);
  EXPECT_EQ(color->redComponent(), r);
  EXPECT_EQ(color->greenComponent(), g);
  EXPECT_EQ(color->blueComponent(), b);
  EXPECT_EQ(color->alphaComponent(), 1.0);
}

TEST(ViewSnapshot, CaptureShowsTheWholeContentView) {
  Scene scene;
  const auto image = capture(*scene.whole);  // a small subview: still the whole content
  ASSERT_TRUE(image);
  EXPECT_EQ(image->size(), Size(100, 80));
  const auto bitmap = image->cgImage();
  ASSERT_TRUE(bitmap);
  EXPECT_EQ(bitmap->width(), 100);
  EXPECT_EQ(bitmap->height(), 80);
  // Rows count from the top: point (5, 5) is row 74.
  EXPECT_EQ(bitmap->pixelAt(5, 74), opaque(0, 255, 0));
  EXPECT_EQ(bitmap->pixelAt(15, 64), opaque(255, 0, 0));
  EXPECT_EQ(bitmap->pixelAt(29, 50), opaque(255, 0, 0));
  EXPECT_EQ(bitmap->pixelAt(30, 50), opaque(0, 255, 0));
  EXPECT_EQ(bitmap->pixelAt(99, 0), opaque(0, 255, 0));
}

TEST(ViewSnapshot, HiddenViewsAndTheirSubviewsAreLeftOut) {
  Scene scene;
  scene.whole->setHidden(true);
  const auto bitmap = capture(*scene.window->contentView())->cgImage();
  EXPECT_EQ(bitmap->pixelAt(15, 64), opaque(0, 255, 0));
}

TEST(ViewSnapshot, ReadPixelInTheViewsOwnCoordinates) {
  for (const bool flipped : {false, true}) {
    SCOPED_TRACE(flipped ? "flipped" : "not flipped");
    Scene scene;
    const auto view = flipped ? scene.upperLeft : scene.lowerLeft;
    scene.window->contentView()->addSubview(view);
    // The patch is at (0, 0, 10, 10) of the view's own coordinates, which
    // is its top-left corner when flipped and its lower-left one otherwise.
    expectColor(readPixelColor(*view, Point(5, 5)), 1, 0, 0);
    expectColor(readPixelColor(*view, Point(5, 35)), 0, 1, 0);
    expectColor(readPixelColor(*view, Point(35, 5)), 0, 1, 0);
    expectColor(readPixelColor(*scene.whole, Point(1, 1)), 1, 0, 0);
  }
}

TEST(ViewSnapshot, NoPixelOutsideTheWindowOrWithoutOne) {
  Scene scene;
  EXPECT_EQ(readPixelColor(*scene.window->contentView(), Point(-1, 5)), nullptr);
  EXPECT_EQ(readPixelColor(*scene.window->contentView(), Point(100, 5)), nullptr);
  EXPECT_EQ(readPixelColor(*scene.whole, Point(0, 80)), nullptr);
  const auto loose = View::create(Rect(0, 0, 10, 10));
  EXPECT_EQ(readPixelColor(*loose, Point(1, 1)), nullptr);
  EXPECT_EQ(capture(*loose), nullptr);
}

TEST(ViewSnapshot, ClearWhereNothingIsDrawn) {
  const auto window = Window::create(Rect(0, 0, 10, 10));
  const auto color = readPixelColor(*window->contentView(), Point(2, 2));
  ASSERT_TRUE(color);
  EXPECT_EQ(color->alphaComponent(), 0.0);
}

TEST(ViewBackgroundColor, CyanUntilSetAndAfterReset) {
  const auto view = View::create();
  EXPECT_FALSE(view->wantsLayer());
  EXPECT_EQ(vtBackgroundColor(*view), Color::cyanColor());
  EXPECT_TRUE(view->wantsLayer());
  setVtBackgroundColor(*view, Color::redColor());
  EXPECT_EQ(view->layer()->backgroundColor(), Color::redColor());
  EXPECT_EQ(vtBackgroundColor(*view), Color::redColor());
  vtBackgroundColorReset(*view);
  EXPECT_EQ(view->layer()->backgroundColor(), nullptr);
  EXPECT_EQ(vtBackgroundColor(*view), Color::cyanColor());
}

TEST(ViewHelpers, DummyViewIsAColouredZeroSizedConstraintView) {
  const auto view = VantrelDummyView::create(Color::greenColor());
  EXPECT_EQ(view->frame(), Rect());
  EXPECT_TRUE(view->wantsLayer());
  EXPECT_EQ(view->layer()->backgroundColor(), Color::greenColor());
  EXPECT_FALSE(view->translatesAutoresizingMaskIntoConstraints());
  EXPECT_EQ(view->className(), "VantrelDummyView");
}

TEST(ViewHelpers, SprintWritesOnlyTheTerminatorWithoutValues) {
  const auto view = View::create();
  ConsoleCapture capture;
  sprint(*view);
  sprintWith(*view, {.separator = "-", .terminator = "."}, "x", 2);
  EXPECT_EQ(capture.standardOutput(), "\nx-2.");
}

// Records the registration calls that reach it.
class RecordingView : public View {
 public:
  static std::shared_ptr<RecordingView> create() { return std::shared_ptr<RecordingView>(new RecordingView()); }
  void registerForDraggedTypes(const std::vector<PasteboardType>& types) override {
    std::string call = "register";
    for (const auto& type : types) call += " " + type.rawValue();
    calls.push_back(call);
    View::registerForDraggedTypes(types);
  }
  void unregisterDraggedTypes() override {
    calls.push_back("unregister");
    View::unregisterDraggedTypes();
  }
  std::vector<std::string> calls;

 private:
  RecordingView() : View(Rect()) {}
};

std::vector<PasteboardType> types(const std::vector<const char*>& names) {
  std::vector<PasteboardType> list;
  for (const char* name : names) list.emplace_back(name);
  return list;
}

struct DragCase {
  std::vector<const char*> registered;
  std::vector<const char*> wanted;
  std::vector<std::string> calls;
  std::vector<const char*> after;
};

TEST(ViewHelpers, DragTypesChangeOnlyWhatDiffers) {
  const std::vector<DragCase> cases = {
      {{"P", "Q"}, {"P", "Q", "R"}, {"register R"}, {"P", "Q", "R"}},
      {{"P", "Q"}, {"P"}, {"unregister", "register P"}, {"P"}},
      {{"P", "Q"}, {"Q", "P"}, {}, {"P", "Q"}},
      {{"P", "Q"}, {}, {"unregister", "register"}, {}},
      {{}, {}, {}, {}},
      {{}, {"R", "P", "R"}, {"register R P"}, {"R", "P"}},
      {{"P"}, {"Q", "R"}, {"unregister", "register Q R"}, {"Q", "R"}},
  };
  for (std::size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(i);
    const auto view = RecordingView::create();
    view->View::registerForDraggedTypes(types(cases[i].registered));
    setRegisteredDraggedTypes(*view, types(cases[i].wanted));
    EXPECT_EQ(view->calls, cases[i].calls);
    EXPECT_EQ(view->registeredDraggedTypes(), types(cases[i].after));
  }
}

}  // namespace
}  // namespace vantrel
