#include "vantrel/platform/graphics/drawing_context.h"

#include <cmath>
#include <thread>

#include <gtest/gtest.h>

#include "tests/graphics/image_test_support.h"

namespace vantrel {
namespace {

using testing::kClear;
using testing::Rgba;
using testing::kRed;
using testing::kGreen;
using testing::kBlue;
using testing::red;
using testing::green;
using testing::blue;

TEST(DrawingContext, UnflippedOriginIsLowerLeft) {
  auto context = DrawingContext::create(20, 10);
  ASSERT_TRUE(context);
  context->setFillColor(*red());
  context->fillRect(Rect(0, 0, 10, 5));
  const auto image = context->makeImage();
  ASSERT_EQ(image->width(), 20);
  ASSERT_EQ(image->height(), 10);
  EXPECT_EQ(image->pixelAt(0, 9), kRed);   // bottom-left
  EXPECT_EQ(image->pixelAt(9, 5), kRed);   // top edge of the fill
  EXPECT_EQ(image->pixelAt(9, 4), kClear);
  EXPECT_EQ(image->pixelAt(10, 9), kClear);
  EXPECT_EQ(image->pixelAt(0, 0), kClear);
}

TEST(DrawingContext, FlippedOriginIsTopLeft) {
  auto context = DrawingContext::create(20, 10, true);
  context->setFillColor(*red());
  context->fillRect(Rect(0, 0, 10, 5));
  const auto image = context->makeImage();
  EXPECT_EQ(image->pixelAt(0, 0), kRed);
  EXPECT_EQ(image->pixelAt(9, 4), kRed);
  EXPECT_EQ(image->pixelAt(9, 5), kClear);
}

TEST(DrawingContext, RefusesSizesWithoutPixelsOrTooLarge) {
  EXPECT_FALSE(DrawingContext::create(0, 10));
  EXPECT_FALSE(DrawingContext::create(10, -1));
  EXPECT_FALSE(DrawingContext::create(40000, 1));
}

TEST(DrawingContext, TransformStartsAtIdentityAndComposes) {
  for (bool flipped : {false, true}) {
    SCOPED_TRACE(flipped);
    auto context = DrawingContext::create(8, 8, flipped);
    EXPECT_TRUE(context->transform().isIdentity());
    context->translateBy(2, 3);
    EXPECT_EQ(context->transform(), AffineTransform::makeTranslation(2, 3));
    context->saveGState();
    context->scaleBy(2, 4);
    EXPECT_EQ(context->transform(), AffineTransform(2, 0, 0, 4, 2, 3));
    context->concat(AffineTransform::makeTranslation(1, 1));
    EXPECT_EQ(context->transform().apply(Point(0, 0)), Point(4, 7));
    context->restoreGState();
    EXPECT_EQ(context->transform(), AffineTransform::makeTranslation(2, 3));
    context->rotateBy(M_PI / 2);
    const Point turned = context->transform().apply(Point(1, 0));
    EXPECT_NEAR(turned.x, 2, 1e-12);
    EXPECT_NEAR(turned.y, 4, 1e-12);
  }
}

TEST(DrawingContext, DrawingFollowsTheTransform) {
  auto context = DrawingContext::create(10, 10);
  context->translateBy(5, 5);
  context->setFillColor(*red());
  context->fillRect(Rect(0, 0, 1, 1));
  const auto image = context->makeImage();
  EXPECT_EQ(image->pixelAt(5, 4), kRed);  // x 5..6, y 5..6 from the bottom
  EXPECT_EQ(image->pixelAt(4, 4), kClear);
  EXPECT_EQ(image->pixelAt(5, 5), kClear);
}

TEST(DrawingContext, SaveAndRestoreKeepColoursAndLineWidth) {
  auto context = DrawingContext::create(4, 4);
  context->setFillColor(*red());
  context->saveGState();
  context->setFillColor(*blue());
  context->restoreGState();
  context->fillRect(Rect(0, 0, 4, 4));
  EXPECT_EQ(context->makeImage()->pixelAt(2, 2), kRed);
}

TEST(DrawingContextDeathTest, RestoreWithoutSaveStops) {
  auto context = DrawingContext::create(4, 4);
  EXPECT_DEATH(context->restoreGState(), "restoreGState without a matching saveGState");
  EXPECT_DEATH(restoreGraphicsState(), "restoreGraphicsState without a matching saveGraphicsState");
}

TEST(DrawingContext, ColoursArePremultiplied) {
  auto context = DrawingContext::create(2, 2);
  context->setFillColor(*Color::withRed(1, 0, 0, 0.5));
  context->fillRect(Rect(0, 0, 2, 2));
  const Rgba p = context->makeImage()->pixelAt(0, 0);
  EXPECT_NEAR(p[3], 128, 1);
  EXPECT_EQ(p[0], p[3]);
  EXPECT_EQ(p[1], 0);
  // White-space colours read as grey.
  context->setCompositingOperation(CompositingOperation::copy);
  context->setFillColor(*Color::withWhite(1, 1));
  context->fillRect(Rect(0, 0, 2, 2));
  EXPECT_EQ(context->makeImage()->pixelAt(1, 1), (Rgba{255, 255, 255, 255}));
}

TEST(DrawingContext, ClearMakesTransparent) {
  auto context = DrawingContext::create(4, 4);
  context->setFillColor(*red());
  context->fillRect(Rect(0, 0, 4, 4));
  context->clearRect(Rect(0, 0, 2, 4));
  const auto image = context->makeImage();
  EXPECT_EQ(image->pixelAt(0, 0), kClear);
  EXPECT_EQ(image->pixelAt(1, 3), kClear);
  EXPECT_EQ(image->pixelAt(2, 0), kRed);
}

TEST(DrawingContext, StrokeIsCentredOnTheEdges) {
  auto context = DrawingContext::create(10, 10);
  context->setStrokeColor(*blue());
  context->setLineWidth(2);
  context->strokeRect(Rect(1, 1, 8, 8));  // band 0..2 and 8..10 on each side
  const auto image = context->makeImage();
  EXPECT_EQ(image->pixelAt(0, 0), kBlue);
  EXPECT_EQ(image->pixelAt(1, 5), kBlue);
  EXPECT_EQ(image->pixelAt(9, 5), kBlue);
  EXPECT_EQ(image->pixelAt(5, 8), kBlue);
  EXPECT_EQ(image->pixelAt(2, 5), kClear);
  EXPECT_EQ(image->pixelAt(5, 5), kClear);
}

TEST(DrawingContext, EllipseAndRoundedRect) {
  auto context = DrawingContext::create(20, 20);
  context->setFillColor(*red());
  context->fillEllipse(Rect(0, 0, 20, 20));
  auto image = context->makeImage();
  EXPECT_EQ(image->pixelAt(10, 10), kRed);
  EXPECT_EQ(image->pixelAt(0, 10)[3] > 0, true);   // touches the middle of the left edge
  EXPECT_EQ(image->pixelAt(0, 0), kClear);
  EXPECT_EQ(image->pixelAt(19, 19), kClear);

  context->clearRect(Rect(0, 0, 20, 20));
  context->fillRoundedRect(Rect(0, 0, 20, 20), 6, 6);
  image = context->makeImage();
  EXPECT_EQ(image->pixelAt(0, 0), kClear);
  EXPECT_EQ(image->pixelAt(19, 0), kClear);
  EXPECT_EQ(image->pixelAt(0, 10), kRed);
  EXPECT_EQ(image->pixelAt(10, 0), kRed);

  // Radii beyond half the side are limited: the shape becomes the ellipse.
  context->clearRect(Rect(0, 0, 20, 20));
  context->fillRoundedRect(Rect(0, 0, 20, 20), 50, 50);
  EXPECT_EQ(context->makeImage()->pixelAt(10, 10), kRed);
  EXPECT_EQ(context->makeImage()->pixelAt(1, 1), kClear);
}

BitmapImage::Ptr quadrants() {
  // top-left red, top-right blue, bottom-left green, bottom-right clear
  return BitmapImage::create(2, 2, 8, {255, 0, 0, 255, 0, 0, 255, 255, 0, 255, 0, 255, 0, 0, 0, 0});
}

TEST(DrawingContext, ImagesAreDrawnUpright) {
  for (bool flipped : {false, true}) {
    SCOPED_TRACE(flipped);
    auto context = DrawingContext::create(2, 2, flipped);
    context->drawImage(*quadrants(), Rect(0, 0, 2, 2));
    const auto image = context->makeImage();
    for (int y = 0; y < 2; ++y) {
      for (int x = 0; x < 2; ++x) EXPECT_EQ(image->pixelAt(x, y), quadrants()->pixelAt(x, y)) << x << "," << y;
    }
  }
}

TEST(DrawingContext, ImagesScaleIntoTheirRectangle) {
  auto context = DrawingContext::create(8, 8);
  context->drawImage(*quadrants(), Rect(0, 0, 8, 8));
  const auto image = context->makeImage();
  EXPECT_EQ(image->pixelAt(0, 0), kRed);
  EXPECT_EQ(image->pixelAt(7, 0), kBlue);
  EXPECT_EQ(image->pixelAt(0, 7), (Rgba{0, 255, 0, 255}));
  EXPECT_EQ(image->pixelAt(7, 7), kClear);
}

TEST(DrawingContext, ImageOperationAndFraction) {
  const auto solidBlue = BitmapImage::create(1, 1, 4, {0, 0, 255, 255});
  auto context = DrawingContext::create(1, 1);
  context->setFillColor(*red());
  context->fillRect(Rect(0, 0, 1, 1));
  context->drawImage(*solidBlue, Rect(0, 0, 1, 1), CompositingOperation::sourceOver, 0.5);
  Rgba p = context->makeImage()->pixelAt(0, 0);
  EXPECT_NEAR(p[0], 128, 1);
  EXPECT_NEAR(p[2], 128, 1);
  EXPECT_EQ(p[3], 255);

  context->drawImage(*solidBlue, Rect(0, 0, 1, 1), CompositingOperation::copy, 0.5);
  p = context->makeImage()->pixelAt(0, 0);
  EXPECT_EQ(p[0], 0);
  EXPECT_NEAR(p[3], 128, 1);

  context->drawImage(*solidBlue, Rect(0, 0, 1, 1), CompositingOperation::destinationOut, 1.0);
  EXPECT_EQ(context->makeImage()->pixelAt(0, 0), kClear);
}

TEST(DrawingContext, MakeImagePadsRowsWhenAsked) {
  auto context = DrawingContext::create(3, 2);
  context->setFillColor(*red());
  context->fillRect(Rect(0, 0, 3, 2));
  const auto image = context->makeImage(14);
  EXPECT_EQ(image->bytesPerRow(), 14);
  EXPECT_EQ(image->pixelAt(2, 1), kRed);
  EXPECT_EQ(image->bytes()[12], 0);
  EXPECT_EQ(image->bytes()[13], 0);
}

TEST(DrawingContext, TextIsDrawnInsideItsRectangle) {
  const Font font = Font::systemFont(12);
  auto context = DrawingContext::create(80, 40);
  context->drawText("Hello", Rect(10, 10, 60, 20), font, *Color::blackColor());
  const auto image = context->makeImage();
  EXPECT_GT(testing::countDarkPixels(*image, 10, 70), 20);
  EXPECT_EQ(testing::countDarkPixels(*image, 0, 10), 0);
  EXPECT_EQ(testing::countDarkPixels(*image, 70, 80), 0);
  // Upright in a y-up context: the rows above the rectangle (y > 30) stay empty.
  for (int y = 0; y < 10; ++y) {
    for (int x = 0; x < 80; ++x) EXPECT_EQ(image->pixelAt(x, y)[3], 0) << x << "," << y;
  }
}

TEST(DrawingContext, RightAlignedTextHugsTheRightEdge) {
  const Font font = Font::systemFont(12);
  auto context = DrawingContext::create(100, 20);
  context->drawText("Hi", Rect(0, 0, 100, 20), font, *Color::blackColor(), {TextAlignment::right, true, true});
  const auto image = context->makeImage();
  EXPECT_EQ(testing::countDarkPixels(*image, 0, 70), 0);
  EXPECT_GT(testing::countDarkPixels(*image, 80, 100), 10);
}

TEST(DrawingContext, WrappedTextTakesMoreLines) {
  const Font font = Font::systemFont(10);
  auto wide = DrawingContext::create(200, 60, true);
  wide->drawText("one two three four", Rect(0, 0, 200, 60), font, *Color::blackColor());
  auto narrow = DrawingContext::create(200, 60, true);
  narrow->drawText("one two three four", Rect(0, 0, 40, 60), font, *Color::blackColor());
  const auto rowsWithInk = [](const BitmapImage& image) {
    int last = -1;
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) {
        if (image.pixelAt(x, y)[3] > 0) last = y;
      }
    }
    return last;
  };
  EXPECT_LT(rowsWithInk(*wide->makeImage()), 14);
  EXPECT_GT(rowsWithInk(*narrow->makeImage()), 30);
}

TEST(Fonts, MeasuringIsUnhintedAndLineBased) {
  const Font font = Font::systemFont(10);
  const Size one = measureText("Hello", font);
  EXPECT_GT(one.width, 20);
  EXPECT_LT(one.width, 40);
  EXPECT_NE(one.width, std::floor(one.width));  // fractional: metrics are not hinted
  EXPECT_DOUBLE_EQ(one.height, lineHeight(font));
  EXPECT_NEAR(lineHeight(font), 11.6, 0.5);
  const Size two = measureText("Hello\nHello, world", font);
  EXPECT_DOUBLE_EQ(two.height, 2 * lineHeight(font));
  EXPECT_DOUBLE_EQ(two.width, measureText("Hello, world", font).width);
  EXPECT_DOUBLE_EQ(measureText("", font).width, 0);
  EXPECT_NEAR(measureText("Hello", Font::systemFont(20)).width, 2 * one.width, 1e-9);
}

TEST(Fonts, UnknownFamilyFallsBack) {
  EXPECT_GT(measureText("Hello", Font{"No Such Family Anywhere", 10}).width, 0);
}

TEST(CurrentDrawingContext, IsPerThreadAndSavedWithTheState) {
  auto first = DrawingContext::create(2, 2);
  auto second = DrawingContext::create(2, 2);
  setCurrentDrawingContext(first);
  saveGraphicsState();
  setCurrentDrawingContext(second);
  EXPECT_EQ(currentDrawingContext(), second);
  DrawingContext::Ptr seenElsewhere = first;
  std::thread([&] { seenElsewhere = currentDrawingContext(); }).join();
  EXPECT_EQ(seenElsewhere, nullptr);
  restoreGraphicsState();
  EXPECT_EQ(currentDrawingContext(), first);
  setCurrentDrawingContext(nullptr);
}

TEST(CurrentDrawingContext, SavingAlsoSavesTheContextsState) {
  auto context = DrawingContext::create(2, 2);
  setCurrentDrawingContext(context);
  context->setFillColor(*red());
  saveGraphicsState();
  context->setFillColor(*blue());
  context->translateBy(1, 1);
  restoreGraphicsState();
  EXPECT_TRUE(context->transform().isIdentity());
  context->fillRect(Rect(0, 0, 2, 2));
  EXPECT_EQ(context->makeImage()->pixelAt(0, 0), kRed);
  setCurrentDrawingContext(nullptr);
}

}  // namespace
}  // namespace vantrel

namespace vantrel {
namespace {

int lastInkedRow(const BitmapImage& image) {
  int last = -1;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (image.pixelAt(x, y)[3] > 0) last = y;
    }
  }
  return last;
}

TEST(DrawingContext, WordsWiderThanTheLineBreakBetweenCharacters) {
  const Font font = Font::systemFont(10);
  auto context = DrawingContext::create(30, 80, true);
  context->drawText("Unbreakableword", Rect(0, 0, 30, 80), font, *Color::blackColor());
  const auto image = context->makeImage();
  EXPECT_GT(lastInkedRow(*image), static_cast<int>(2 * lineHeight(font)));  // three or more lines
}

TEST(DrawingContext, ClippedTextShowsWholeLinesEndingInAnEllipsis) {
  const Font font = Font::systemFont(10);
  const double line = lineHeight(font);
  auto context = DrawingContext::create(60, 40, true);
  // Room for one and a half lines: one is drawn, with an ellipsis.
  context->drawText("one two three four five", Rect(0, 0, 60, 1.5 * line), font, *Color::blackColor(),
                    {TextAlignment::left, true, true});
  const auto image = context->makeImage();
  EXPECT_LT(lastInkedRow(*image), static_cast<int>(line) + 1);
  // The ellipsis: three dots near the end of the drawn line.
  auto reference = DrawingContext::create(60, 40, true);
  reference->drawText("one two three four five", Rect(0, 0, 60, 40), font, *Color::blackColor(),
                      {TextAlignment::left, true, true});
  EXPECT_NE(testing::countDarkPixels(*image, 0, 60), testing::countDarkPixels(*reference->makeImage(), 0, 60));
}

}  // namespace
}  // namespace vantrel
