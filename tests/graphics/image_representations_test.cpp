#include <gtest/gtest.h>

#include "tests/graphics/image_test_support.h"
#include "vantrel/platform/graphics/image.h"

namespace vantrel {
namespace {

using testing::kClear;
using testing::kRed;
using testing::Rgba;

BitmapImage::Ptr solid(std::int64_t w, std::int64_t h, Rgba rgba) {
  std::vector<std::uint8_t> bytes;
  for (std::int64_t i = 0; i < w * h; ++i) bytes.insert(bytes.end(), rgba.begin(), rgba.end());
  return BitmapImage::create(w, h, w * 4, std::move(bytes));
}

TEST(ImageRepresentations, CopyIsIndependent) {
  auto image = Image::create(Size(2, 2));
  image->addRepresentation(solid(2, 2, kRed));
  auto copy = image->copy();
  EXPECT_EQ(copy->size(), Size(2, 2));
  copy->lockFocus();
  currentDrawingContext()->clearRect(Rect(0, 0, 2, 2));
  copy->unlockFocus();
  EXPECT_EQ(copy->cgImage()->pixelAt(0, 0), kClear);
  EXPECT_EQ(image->cgImage()->pixelAt(0, 0), kRed);
  copy->setSize(Size(9, 9));
  EXPECT_EQ(image->size(), Size(2, 2));
}

TEST(ImageRepresentations, BestHasTheMostPixelsFirstOfEquals) {
  struct Case {
    const char* name;
    std::vector<std::pair<int, int>> sizes;
    std::size_t best;
  };
  const Case cases[] = {
      {"larger later", {{10, 10}, {40, 30}, {20, 20}}, 1},
      {"equal pixel counts", {{30, 20}, {20, 30}, {10, 60}}, 0},
      {"one", {{1, 1}}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto image = Image::create(Size(10, 10));
    for (auto [w, h] : c.sizes) image->addRepresentation(solid(w, h, kRed));
    EXPECT_EQ(image->bestRepresentation(), image->representations()[c.best]);
  }
  EXPECT_EQ(Image::create(Size(1, 1))->bestRepresentation(), nullptr);
}

TEST(ImageRepresentations, DrawAtPointUsesTheSizeInPoints) {
  auto context = DrawingContext::create(6, 4);
  setCurrentDrawingContext(context);
  auto image = Image::create(Size(2, 1));
  image->addRepresentation(solid(4, 2, kRed));  // two pixels a point: drawn at 2 x 1
  image->drawAtPoint(Point(1, 1));
  setCurrentDrawingContext(nullptr);
  const auto pixels = context->makeImage();
  struct Probe {
    int x, y;  // from the top
    Rgba expected;
  };
  for (const Probe& p : {Probe{1, 2, kRed}, Probe{2, 2, kRed}, Probe{3, 2, kClear}, Probe{1, 1, kClear},
                         Probe{0, 2, kClear}, Probe{1, 3, kClear}}) {
    SCOPED_TRACE(::testing::PrintToString(std::make_pair(p.x, p.y)));
    EXPECT_EQ(pixels->pixelAt(p.x, p.y), p.expected);
  }
}

// Every width, so the four-at-a-time exchange and its tail both run.
TEST(ImageRepresentations, PixelsSurviveTheWayThroughAContext) {
  for (std::int64_t width = 1; width <= 9; ++width) {
    SCOPED_TRACE(width);
    std::vector<std::uint8_t> bytes;
    for (std::int64_t i = 0; i < width * 2; ++i) {
      const auto v = static_cast<std::uint8_t>(i * 7);
      bytes.insert(bytes.end(), {v, static_cast<std::uint8_t>(v / 2), static_cast<std::uint8_t>(v / 3), 255});
    }
    const auto image = BitmapImage::create(width, 2, width * 4, bytes);
    const auto back = DrawingContext::createWithImage(*image)->makeImage();
    EXPECT_TRUE(std::equal(back->bytes().begin(), back->bytes().end(), bytes.begin(), bytes.end()));
  }
}

// The thread's saved contexts are owned by the stack: dropping the last
// other reference to a context that is current (or saved) leaves it valid.
TEST(ImageRepresentations, CurrentContextStackOwnsItsContexts) {
  {
    auto context = DrawingContext::create(2, 2);
    saveGraphicsState();
    setCurrentDrawingContext(context);
  }
  ASSERT_TRUE(currentDrawingContext());
  currentDrawingContext()->setFillColor(*testing::red());
  currentDrawingContext()->fillRect(Rect(0, 0, 2, 2));
  EXPECT_EQ(currentDrawingContext()->makeImage()->pixelAt(1, 1), kRed);
  restoreGraphicsState();
  EXPECT_EQ(currentDrawingContext(), nullptr);
}

}  // namespace
}  // namespace vantrel

namespace vantrel {
namespace {

// The taken image keeps its pixels while the context, starting over, draws
// again.
TEST(ImageRepresentations, TakeImageLeavesAFreshContext) {
  auto context = DrawingContext::create(3, 2);
  context->scaleBy(2, 2);
  context->saveGState();
  context->setFillColor(*testing::red());
  context->fillRect(Rect(0, 0, 1, 1));
  const auto taken = context->takeImage();
  EXPECT_EQ(taken->pixelAt(0, 1), kRed);
  EXPECT_EQ(taken->pixelAt(2, 0), kClear);
  EXPECT_EQ(context->transform(), AffineTransform());
  EXPECT_DEATH(context->restoreGState(), "without a matching saveGState");
  EXPECT_EQ(context->makeImage()->pixelAt(0, 1), kClear);
  context->setFillColor(*testing::blue());
  context->fillRect(Rect(0, 0, 3, 2));
  EXPECT_EQ(context->makeImage()->pixelAt(0, 1), testing::kBlue);
  EXPECT_EQ(taken->pixelAt(0, 1), kRed);
  EXPECT_EQ(taken->bytesPerRow(), 12);
}

// An image drawn twice in a row and one of another size in between: the
// surface kept for drawing is refilled each time.
TEST(ImageRepresentations, RepeatedDrawingsShowEachImage) {
  auto context = DrawingContext::create(2, 1);
  const auto red = solid(2, 1, kRed);
  const auto blue = solid(2, 1, testing::kBlue);
  for (const auto& [image, expected] : {std::pair{red, kRed}, std::pair{blue, testing::kBlue},
                                         std::pair{solid(1, 1, kClear), testing::kBlue}, std::pair{red, kRed}}) {
    context->drawImage(*image, Rect(0, 0, 2, 1), CompositingOperation::sourceOver);
    EXPECT_EQ(context->makeImage()->pixelAt(1, 0), expected);
  }
}

}  // namespace
}  // namespace vantrel
