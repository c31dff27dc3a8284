#include "vantrel/platform/graphics/image.h"

#include <gtest/gtest.h>

#include "tests/graphics/image_test_support.h"
#include "vantrel/platform/graphics/image_codecs.h"

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

TEST(Image, FocusDrawsIntoANewRepresentationAndRestoresTheCurrentContext) {
  auto outer = DrawingContext::create(1, 1);
  setCurrentDrawingContext(outer);
  auto image = Image::create(Size(4, 3));
  EXPECT_FALSE(image->cgImage());
  image->lockFocus();
  ASSERT_TRUE(currentDrawingContext());
  EXPECT_NE(currentDrawingContext(), outer);
  currentDrawingContext()->setFillColor(*Color::withRed(1, 0, 0, 1));
  currentDrawingContext()->fillRect(Rect(0, 0, 1, 1));
  image->unlockFocus();
  EXPECT_EQ(currentDrawingContext(), outer);
  ASSERT_EQ(image->representations().size(), 1u);
  const auto bitmap = image->cgImage();
  EXPECT_EQ(bitmap->width(), 4);
  EXPECT_EQ(bitmap->height(), 3);
  EXPECT_EQ(bitmap->pixelAt(0, 2), kRed);  // lower-left
  EXPECT_EQ(bitmap->pixelAt(0, 0), kClear);
  setCurrentDrawingContext(nullptr);
}

TEST(Image, FocusKeepsWhatTheRepresentationHeld) {
  auto image = Image::create(Size(2, 1));
  image->addRepresentation(BitmapImage::create(2, 1, 8, {0, 0, 255, 255, 0, 0, 0, 0}));
  image->lockFocus();
  currentDrawingContext()->setFillColor(*Color::withRed(1, 0, 0, 1));
  currentDrawingContext()->fillRect(Rect(1, 0, 1, 1));
  image->unlockFocus();
  ASSERT_EQ(image->representations().size(), 1u);
  EXPECT_EQ(image->cgImage()->pixelAt(0, 0), (Rgba{0, 0, 255, 255}));
  EXPECT_EQ(image->cgImage()->pixelAt(1, 0), kRed);
}

TEST(Image, FractionalSizesAreCoveredByWholePixels) {
  auto image = Image::create(Size(2.5, 1.2));
  image->lockFocus();
  image->unlockFocus();
  EXPECT_EQ(image->cgImage()->width(), 3);
  EXPECT_EQ(image->cgImage()->height(), 2);
  // Nothing to cover: no context, no representation.
  auto empty = Image::create(Size(0, 5));
  empty->lockFocus();
  EXPECT_FALSE(currentDrawingContext());
  empty->unlockFocus();
  EXPECT_FALSE(empty->cgImage());
}

TEST(ImageDeathTest, FocusMustBeBalanced) {
  auto image = Image::create(Size(2, 2));
  EXPECT_DEATH(image->unlockFocus(), "unlockFocus: the image has no focus");
  image->lockFocus();
  EXPECT_DEATH(image->lockFocus(), "lockFocus: the image already has focus");
  image->unlockFocus();
}

TEST(Image, HandlerRunsAtEachDrawingOnAFlippedContextWhenAsked) {
  int runs = 0;
  Rect seen;
  auto image = Image::withDrawingHandler(Size(3, 2), true, [&](Rect rect) {
    ++runs;
    seen = rect;
    currentDrawingContext()->setFillColor(*Color::withRed(1, 0, 0, 1));
    currentDrawingContext()->fillRect(Rect(0, 0, 1, 1));
    return true;
  });
  EXPECT_EQ(runs, 0);
  const auto first = image->cgImage();
  EXPECT_EQ(runs, 1);
  EXPECT_EQ(seen, Rect(0, 0, 3, 2));
  EXPECT_EQ(first->pixelAt(0, 0), kRed);  // flipped: (0, 0) is the top-left
  EXPECT_EQ(first->pixelAt(0, 1), kClear);

  auto target = DrawingContext::create(3, 2);
  setCurrentDrawingContext(target);
  image->drawIn(Rect(0, 0, 3, 2));
  setCurrentDrawingContext(nullptr);
  EXPECT_EQ(runs, 2);
  EXPECT_EQ(target->makeImage()->pixelAt(0, 0), kRed);
}

TEST(Image, FromDataReadsPngAndJpeg) {
  const auto bitmap = BitmapImage::create(2, 1, 8, {255, 0, 0, 255, 0, 0, 0, 0});
  const auto fromPng = Image::fromData(*encodePng(*bitmap));
  ASSERT_TRUE(fromPng);
  EXPECT_EQ(fromPng->size(), Size(2, 1));
  EXPECT_EQ(fromPng->cgImage()->pixelAt(0, 0), kRed);
  const auto fromJpeg = Image::fromData(*encodeJpeg(*bitmap, 0.9));
  ASSERT_TRUE(fromJpeg);
  EXPECT_EQ(fromJpeg->size(), Size(2, 1));
  EXPECT_FALSE(Image::fromData(std::vector<std::uint8_t>{1, 2, 3}));
  auto png = *encodePng(*bitmap);
  png.resize(30);
  EXPECT_FALSE(Image::fromData(png));
}

}  // namespace
}  // namespace vantrel
