#include "vantrel/drawing/image_drawing.h"

#include <gtest/gtest.h>

#include "tests/drawing/drawing_image_support.h"
#include "vantrel/platform/graphics/image_codecs.h"

namespace vantrel {
namespace {

using testing::boundsOf;
using testing::kClear;
using testing::kRed;
using testing::painted;
using testing::Rgba;

TEST(ImageDrawing, SizesAtAScale) {
  struct Case {
    Size size;
    double scale;
    Size scaledSize;
    IntSize pixels;
  };
  const Case cases[] = {
      {{10, 5}, 2, {20, 10}, IntSize(20, 10)},
      {{10.3, 5}, 2, {20.6, 10}, IntSize(20, 10)},  // truncated, the scaled size kept
      {{7, 3}, 1, {7, 3}, IntSize(7, 3)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.size.description());
    const auto drawing = ImageDrawing::create(c.size, c.scale);
    EXPECT_EQ(drawing->size(), c.size);
    EXPECT_EQ(drawing->scale(), c.scale);
    EXPECT_EQ(drawing->scaledSize(), c.scaledSize);
    EXPECT_EQ(pixelsSize(*drawing->rep()), c.pixels);
    EXPECT_EQ(pixelsSize(*drawing->snapshotAsCgImage()), c.pixels);
    const auto png = decodePng(drawing->snapshotAsPngData()).image;
    EXPECT_EQ(pixelsSize(*png), c.pixels);
    EXPECT_EQ(drawing->nsctx(), drawing->ctx());
  }
}

TEST(ImageDrawing, FillingThePointsColoursEveryPixel) {
  const auto drawing = ImageDrawing::create(Size(10, 5), 2);
  drawing->ctx()->setFillColor(*testing::red());
  drawing->ctx()->fillRect(Rect(0, 0, 10, 5));
  EXPECT_EQ(boundsOf(*drawing->snapshotAsCgImage(), kRed), Rect(0, 0, 20, 10));
}

TEST(ImageDrawing, DrawHandsOverTheContextThePixelRectangleAndTheScale) {
  const auto drawing = ImageDrawing::create(Size(10, 5), 2);
  int calls = 0;
  Rect rect;
  double scale = 0;
  DrawingContext* context = nullptr;
  drawing->draw([&](DrawingContext& c, Rect r, double s) {
    ++calls;
    context = &c;
    rect = r;
    scale = s;
  });
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(context, drawing->ctx().get());
  EXPECT_EQ(rect, Rect(0, 0, 20, 10));
  EXPECT_EQ(scale, 2);
  ImageDrawing* self = nullptr;
  drawing->draw([&](ImageDrawing& d) { self = &d; });
  EXPECT_EQ(self, drawing.get());
}

TEST(ImageDrawing, StartAndEndBringBackTheEarlierContext) {
  auto earlier = DrawingContext::create(1, 1);
  setCurrentDrawingContext(earlier);
  const auto drawing = ImageDrawing::create(Size(4, 4), 1);
  drawing->startDrawing();
  EXPECT_EQ(currentDrawingContext(), drawing->ctx());
  currentDrawingContext()->setFillColor(*testing::red());
  currentDrawingContext()->fillRect(Rect(0, 0, 1, 1));
  drawing->endDrawing();
  EXPECT_EQ(currentDrawingContext(), earlier);
  EXPECT_EQ(drawing->snapshotAsCgImage()->pixelAt(0, 3), kRed);
  setCurrentDrawingContext(nullptr);
}

// The drawing goes while its context is still current: the thread's
// context stack keeps that context alive (AddressSanitizer would see a
// use after free otherwise).
TEST(ImageDrawing, ReleasedAfterAnUnpairedStart) {
  {
    const auto drawing = ImageDrawing::create(Size(3, 3), 2);
    drawing->startDrawing();
  }
  ASSERT_TRUE(currentDrawingContext());
  currentDrawingContext()->setFillColor(*testing::red());
  currentDrawingContext()->fillRect(Rect(0, 0, 3, 3));
  EXPECT_EQ(currentDrawingContext()->makeImage()->pixelAt(5, 5), kRed);
  restoreGraphicsState();
  EXPECT_EQ(currentDrawingContext(), nullptr);
}

TEST(ImageDrawingDeathTest, SizesWithoutAContext) {
  EXPECT_DEATH((void)ImageDrawing::create(Size(0.4, 5), 2), "a drawing needs 1 to 32767 whole pixels each way");
  EXPECT_DEATH((void)ImageDrawing::create(Size(40000, 5), 1), "gives 40000.0 pixels a side");
  EXPECT_DEATH((void)ImageDrawing::create(Size(1e300, 5), 1e300), "gives 5e.300 pixels a side");
  EXPECT_DEATH((void)ImageDrawing::create(Size(NAN, 5), 1), "ImageDrawing");
}

TEST(ImageDrawing, CropToRect) {
  const auto bitmap = painted(3, 2, [](std::int64_t x, std::int64_t y) {
    return Rgba{static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y), 0, 255};
  });
  EXPECT_EQ(cropToRect(bitmap, Rect(10, 10, 2, 2)), bitmap);  // outside: the very same
  EXPECT_EQ(cropToRect(bitmap, Rect(1, 1, 0, 0)), bitmap);    // empty
  const auto corner = cropToRect(bitmap, Rect(0, 0, 1, 1));
  EXPECT_NE(corner, bitmap);
  EXPECT_EQ(pixelsSize(*corner), IntSize(1, 1));
  EXPECT_EQ(corner->pixelAt(0, 0), (Rgba{0, 0, 0, 255}));
  EXPECT_EQ(cropToRect(bitmap, Rect(1.5, 0.5, 5, 5))->pixelAt(0, 0), (Rgba{1, 0, 0, 255}));
}

TEST(ImageDrawing, MainScreen) {
  ScopedScreens screens({Screen::create(Rect(0, 0, 800, 600), Rect(0, 0, 800, 580), 2.0, 1),
                         Screen::create(Rect(800, 0, 800, 600), Rect(800, 0, 800, 600))});
  const auto main = NSScreen::vantrel_mainScreen();
  EXPECT_EQ(main->frame(), Rect(0, 0, 800, 600));
  EXPECT_EQ(vantrel_backingScaleFactor(*main), 2.0);
}

TEST(ImageDrawingDeathTest, NoMainScreen) {
  ScopedScreens none({});
  EXPECT_DEATH((void)NSScreen::vantrel_mainScreen(), "there is no main screen");
}

}  // namespace
}  // namespace vantrel
