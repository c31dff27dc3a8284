#include "vantrel/drawing/image_cropping.h"

#include <cmath>

#include <gtest/gtest.h>

#include "tests/drawing/drawing_image_support.h"

namespace vantrel {
namespace {

using testing::boundsOf;
using testing::imageWith;
using testing::kBlue;
using testing::kClear;
using testing::kRed;
using testing::painted;
using testing::Rgba;
using testing::solidBitmap;

// Each pixel names its own position: red = x, green = y (from the top).
BitmapImage::Ptr positions(std::int64_t w, std::int64_t h) {
  return painted(w, h, [](std::int64_t x, std::int64_t y) {
    return Rgba{static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y), 7, 255};
  });
}

// Makes `context` current for the scope and puts the earlier one back.
class CurrentContext {
 public:
  explicit CurrentContext(DrawingContext::Ptr context) {
    saveGraphicsState();
    setCurrentDrawingContext(std::move(context));
  }
  ~CurrentContext() { restoreGraphicsState(); }
};

TEST(ImageCropping, SizeOfLargestRepresentation) {
  struct Case {
    const char* name;
    std::vector<std::pair<int, int>> representations;
    Size expected;
  };
  const Case cases[] = {
      {"tallest", {{20, 20}, {40, 30}}, {40, 30}},
      {"same height: the first", {{30, 20}, {50, 20}}, {30, 20}},
      {"no taller than the points", {{10, 10}}, {10, 10}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto image = Image::create(Size(10, 10));
    for (auto [w, h] : c.representations) image->addRepresentation(solidBitmap(w, h, kRed));
    EXPECT_EQ(sizeOfLargestRepresentation(*image), c.expected);
    EXPECT_EQ(vtLargestRepresentationSize(*image), c.expected);
  }
}

// The crop measures the image's own pixels per point on each axis.
TEST(ImageCropping, CropByInsetsAtTheImagesDensity) {
  struct Case {
    const char* name;
    Size points;
    std::int64_t pixelsWide, pixelsHigh;
    EdgeInsets insets;
    Size size;       // of the result
    Rgba topLeft;    // position of the first pixel kept
  };
  const Case cases[] = {
      {"1x, nothing cut", {100, 50}, 100, 50, EdgeInsets(0), {100, 50}, {0, 0, 7, 255}},
      {"1x, top 10", {100, 50}, 100, 50, EdgeInsets(10, 0, 0, 0), {100, 40}, {0, 10, 7, 255}},
      {"1x, all sides", {100, 50}, 100, 50, EdgeInsets(5, 3, 2, 4), {93, 43}, {3, 5, 7, 255}},
      {"2x, nothing cut", {100, 50}, 200, 100, EdgeInsets(0), {200, 100}, {0, 0, 7, 255}},
      {"2x, top 10", {100, 50}, 200, 100, EdgeInsets(10, 0, 0, 0), {200, 80}, {0, 20, 7, 255}},
      {"2x high only", {100, 50}, 100, 100, EdgeInsets(10, 10, 0, 0), {90, 80}, {10, 20, 7, 255}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto image = imageWith(positions(c.pixelsWide, c.pixelsHigh), c.points);
    const auto cropped = croppedImageBy(*image, c.insets);
    ASSERT_TRUE(cropped);
    EXPECT_EQ(cropped->size(), c.size);
    const auto pixels = cropped->cgImage();
    EXPECT_EQ(pixels->width(), static_cast<std::int64_t>(c.size.width));
    EXPECT_EQ(pixels->height(), static_cast<std::int64_t>(c.size.height));
    EXPECT_EQ(pixels->pixelAt(0, 0), c.topLeft);
  }
}

TEST(ImageCropping, ACropThatLeavesNothingGivesNull) {
  const auto image = imageWith(positions(10, 10));
  EXPECT_EQ(croppedImageBy(*image, EdgeInsets(0, 6, 0, 6)), nullptr);
  EXPECT_EQ(croppedImageBy(*image, EdgeInsets(10, 0, 0, 0)), nullptr);
  EXPECT_EQ(croppedImageBy(*image, EdgeInsets(0, 20, 0, 0)), nullptr);
  EXPECT_EQ(croppedImageBy(*Image::create(Size(5, 5)), EdgeInsets(1)), nullptr);  // no bitmap
}

TEST(ImageCropping, RotatedCopyKeepsTheSize) {
  // Left half red, right half blue; turned a quarter counter-clockwise the
  // red half lies below the centre.
  const auto image = imageWith(painted(100, 50, [](std::int64_t x, std::int64_t) { return x < 50 ? kRed : kBlue; }));
  const auto turned = imageRotatedByDegreess(*image, 90);
  EXPECT_EQ(turned->size(), Size(100, 50));
  const auto pixels = turned->cgImage();
  struct Probe {
    std::int64_t x, y;
    Rgba expected;
  };
  for (const Probe& p : {Probe{10, 25, kClear}, Probe{90, 25, kClear}, Probe{50, 5, kBlue}, Probe{50, 45, kRed},
                         Probe{30, 5, kBlue}, Probe{69, 45, kRed}}) {
    SCOPED_TRACE(std::to_string(p.x) + ", " + std::to_string(p.y));
    EXPECT_EQ(pixels->pixelAt(p.x, p.y), p.expected);
  }
}

// A 2 x 1 grid of two colour cells (each 2 x 2 pixels) drawn into (2, 2, 4,
// 2) of an 8 x 6 context: upright orientations fill x 2..6, y 2..4; turned
// ones stand across at x 3..5, y 1..5 (y up).
TEST(ImageCropping, EightOrientations) {
  const auto image = imageWith(painted(4, 2, [](std::int64_t x, std::int64_t) { return x < 2 ? kRed : kBlue; }));
  struct Case {
    ImageRotation rotation;
    bool upright;
    Rgba first, second;  // upright: left and right cells; turned: bottom and top
  };
  const Case cases[] = {
      {ImageRotation::nune, true, kRed, kBlue},          {ImageRotation::left, false, kRed, kBlue},
      {ImageRotation::leftLeft, true, kBlue, kRed},      {ImageRotation::right, false, kBlue, kRed},
      {ImageRotation::flipped, true, kBlue, kRed},       {ImageRotation::flippedLeft, false, kBlue, kRed},
      {ImageRotation::flippedLeftLeft, true, kRed, kBlue}, {ImageRotation::flippedRight, false, kRed, kBlue},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(static_cast<ImageRotation::Case>(c.rotation)));
    auto context = DrawingContext::create(8, 6);
    {
      CurrentContext current(context);
      draw(*image, Rect(2, 2, 4, 2), CompositingOperation::sourceOver, 1.0, c.rotation);
    }
    const auto pixels = context->makeImage();
    if (c.upright) {
      EXPECT_EQ(boundsOf(*pixels, c.first), Rect(2, 2, 2, 2));
      EXPECT_EQ(boundsOf(*pixels, c.second), Rect(4, 2, 2, 2));
    } else {
      EXPECT_EQ(boundsOf(*pixels, c.first), Rect(3, 1, 2, 2));
      EXPECT_EQ(boundsOf(*pixels, c.second), Rect(3, 3, 2, 2));
    }
  }
}

TEST(ImageCropping, VerticallyFlippedIsUpsideDown) {
  const auto image = imageWith(painted(2, 2, [](std::int64_t, std::int64_t y) { return y == 0 ? kRed : kBlue; }));
  auto context = DrawingContext::create(2, 2);
  {
    CurrentContext current(context);
    drawVerticallyFlipped(*image, Rect(0, 0, 2, 2), CompositingOperation::sourceOver, 1.0, 0, true);
  }
  const auto pixels = context->makeImage();
  EXPECT_EQ(pixels->pixelAt(0, 0), kBlue);
  EXPECT_EQ(pixels->pixelAt(1, 1), kRed);
}

// The rotated drawings work inside the caller's transform and leave it set:
// a caller's scale still doubles what they draw.
TEST(ImageCropping, RotatedDrawingKeepsTheCallersTransform) {
  const auto image = imageWith(solidBitmap(1, 1, kRed));
  struct Case {
    const char* name;
    std::function<void()> draw;
  };
  const Case cases[] = {
      {"at a point", [&] { drawAtPoint(*image, Point(1, 1), CompositingOperation::sourceOver, 1.0, 0.0); }},
      {"in a rectangle", [&] { draw(*image, Rect(1, 1, 1, 1), CompositingOperation::sourceOver, 1.0, 0.0, false); }},
      {"in an orientation", [&] {
         draw(*image, Rect(1, 1, 1, 1), CompositingOperation::sourceOver, 1.0, ImageRotation::leftLeft);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto context = DrawingContext::create(6, 6);
    context->scaleBy(2, 2);
    {
      CurrentContext current(context);
      c.draw();
    }
    EXPECT_EQ(context->transform(), AffineTransform::makeScale(2, 2));
    EXPECT_EQ(boundsOf(*context->makeImage(), kRed), Rect(2, 2, 2, 2));
  }
}

TEST(ImageCropping, DrawingWithoutAContextDoesNothing) {
  const auto image = imageWith(solidBitmap(1, 1, kRed));
  CurrentContext none(nullptr);
  drawAtPoint(*image, Point(0, 0), CompositingOperation::sourceOver, 1.0, 30);
  draw(*image, Rect(0, 0, 1, 1), CompositingOperation::sourceOver, 1.0, ImageRotation::left);
  drawInRectCentered(*image, Rect(0, 0, 1, 1));
}

TEST(ImageCropping, DrawInRectCentered) {
  // Largest representation 200 x 100 pixels for an image of 100 x 50 points.
  const auto image = imageWith(solidBitmap(200, 100, kRed), Size(100, 50));
  struct Case {
    const char* name;
    Rect rect;
    Rect drawn;
  };
  const Case cases[] = {
      {"wider than half: natural size from the origin", Rect(1, 1, 150, 10), Rect(1, 1, 100, 50)},
      {"smaller: stretched", Rect(1, 1, 80, 40), Rect(1, 1, 80, 40)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto context = DrawingContext::create(160, 60);
    {
      CurrentContext current(context);
      drawInRectCentered(*image, c.rect);
    }
    EXPECT_EQ(boundsOf(*context->makeImage(), kRed), c.drawn);
  }
}

TEST(ImageCropping, OrientationTransforms) {
  struct Case {
    ImageRotation rotation;
    Point expected;  // where (1, 2) goes
  };
  const Case cases[] = {
      {ImageRotation::nune, {1, 2}},    {ImageRotation::left, {2, -1}},          {ImageRotation::leftLeft, {-1, -2}},
      {ImageRotation::right, {-2, 1}},  {ImageRotation::flipped, {-1, 2}},       {ImageRotation::flippedLeft, {2, 1}},
      {ImageRotation::flippedLeftLeft, {1, -2}}, {ImageRotation::flippedRight, {-2, -1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(static_cast<ImageRotation::Case>(c.rotation)));
    const AffineTransform t = transform(c.rotation);
    const Point p = t.apply(Point(1, 2));
    EXPECT_NEAR(p.x, c.expected.x, 1e-12);
    EXPECT_NEAR(p.y, c.expected.y, 1e-12);
    EXPECT_EQ(t.tx, 0);
    EXPECT_EQ(t.ty, 0);
  }
}

}  // namespace
}  // namespace vantrel
