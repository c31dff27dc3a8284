#include "vantrel/drawing/image_resizing.h"

#include <fstream>
#include <iterator>

#include <gtest/gtest.h>

#include "tests/drawing/drawing_image_support.h"
#include "vantrel/core/console.h"

namespace vantrel {
namespace {

using testing::boundsOf;
using testing::imageWith;
using testing::kBlue;
using testing::kClear;
using testing::kGreen;
using testing::kRed;
using testing::painted;
using testing::Rgba;
using testing::solidBitmap;

TEST(ImageResizing, TintKeepsCoverage) {
  struct Case {
    const char* name;
    Rgba source;
    Rgba tinted;
  };
  const Case cases[] = {
      {"transparent", kClear, kClear},
      {"opaque red", kRed, kBlue},
      {"half-transparent red", {128, 0, 0, 128}, {0, 0, 128, 128}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto image = imageWith(solidBitmap(3, 2, c.source));
    const auto tinted = imageTinted(*image, *testing::blue());
    EXPECT_EQ(tinted->size(), Size(3, 2));
    EXPECT_EQ(tinted->cgImage()->pixelAt(1, 1), c.tinted);
    EXPECT_EQ(image->cgImage()->pixelAt(1, 1), c.source);  // the receiver stays
  }
}

TEST(ImageResizing, PutOnStick) {
  const auto image = imageWith(solidBitmap(40, 30, kRed));
  struct Case {
    const char* name;
    double barWidth;
    Rect bar;  // y-up pixels
  };
  const Case cases[] = {
      {"narrow bar centred", 4, Rect(18, 0, 4, 20)},
      {"bar wider than the image, cut off", 60, Rect(0, 0, 40, 20)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto stick = vtImagePutOnStick(*image, *testing::green(), c.barWidth, 20);
    EXPECT_EQ(stick->size(), Size(40, 50));
    const auto pixels = stick->cgImage();
    EXPECT_EQ(boundsOf(*pixels, kGreen), c.bar);
    EXPECT_EQ(boundsOf(*pixels, kRed), Rect(0, 20, 40, 30));
  }
}

TEST(ImageResizing, OverlayAnchors) {
  const auto base = imageWith(solidBitmap(100, 80, kBlue));
  const auto overlay = imageWith(solidBitmap(20, 10, kRed));
  struct Case {
    OverlayPosition position;
    Point offset;
    Rect expected;  // y-up pixels of the red overlay
  };
  const Case cases[] = {
      {OverlayPosition::topCenter, {0, 0}, Rect(40, 70, 20, 10)},
      {OverlayPosition::topLeft, {0, 0}, Rect(0, 70, 20, 10)},
      {OverlayPosition::leftCenter, {0, 0}, Rect(0, 35, 20, 10)},
      {OverlayPosition::bottomLeft, {0, 0}, Rect(0, 0, 20, 10)},
      {OverlayPosition::bottomCenter, {0, 0}, Rect(40, 0, 20, 10)},
      {OverlayPosition::bottomRight, {0, 0}, Rect(80, 0, 20, 10)},
      {OverlayPosition::rightCenter, {0, 0}, Rect(80, 35, 20, 10)},
      {OverlayPosition::topRight, {0, 0}, Rect(80, 70, 20, 10)},
      {OverlayPosition::center, {0, 0}, Rect(40, 35, 20, 10)},
      {OverlayPosition::topRight, {-5, -5}, Rect(75, 65, 20, 10)},
      {OverlayPosition::bottomLeft, {-5, 3}, Rect(0, 3, 15, 10)},  // cut off at the edge
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.position));
    const auto result = vtImageDrawOverlay(*base, *overlay, c.position, c.offset);
    EXPECT_EQ(result->size(), Size(100, 80));
    EXPECT_EQ(boundsOf(*result->cgImage(), kRed), c.expected);
  }
}

TEST(ImageResizing, AspectFitSizes) {
  struct Case {
    Size image, target, fitted;
  };
  const Case cases[] = {
      {{200, 100}, {50, 50}, {50, 25}},   {{100, 200}, {50, 50}, {25, 50}},  {{100, 100}, {50, 50}, {50, 50}},
      {{300, 100}, {100, 100}, {100, 33}}, {{100, 75}, {40, 40}, {40, 30}},  {{10, 5}, {100, 100}, {100, 50}},
      // The rounded-down side keeps one pixel.
      {{300, 1}, {100, 100}, {100, 1}},    {{1, 300}, {100, 100}, {1, 100}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.image.description() + " into " + c.target.description());
    EXPECT_EQ(vtAspectFitSize(c.image, c.target), c.fitted);
    const auto image = imageWith(solidBitmap(static_cast<std::int64_t>(c.image.width),
                                             static_cast<std::int64_t>(c.image.height), kRed));
    const auto resized = vtResizeToAspectFit(*image, c.target);
    EXPECT_EQ(resized->size(), c.fitted);
    const auto pixels = resized->cgImage();
    ASSERT_TRUE(pixels);
    EXPECT_EQ(pixels->width(), static_cast<std::int64_t>(c.fitted.width));
    EXPECT_EQ(pixels->height(), static_cast<std::int64_t>(c.fitted.height));
  }
}

// The line number of the trace call, read from the source beside this test.
int traceLineInSource() {
  const std::string test = __FILE__;
  const std::string source = test.substr(0, test.rfind("/tests/")) + "/vantrel/drawing/image_resizing.cpp";
  std::ifstream in(source);
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    if (line.find("\"vtImageResizedToAspectFit\", __LINE__") != std::string::npos) return number;
  }
  return -1;
}

TEST(ImageResizing, AspectFitTraceLine) {
  const int line = traceLineInSource();
  ASSERT_GT(line, 0);
  const auto image = imageWith(solidBitmap(200, 100, kRed));
  ConsoleCapture capture;
  (void)vtImageResizedToAspectFit(*image, Size(50, 50));
  (void)vtResizeToAspectFit(*image, Size(50, 50));
  EXPECT_EQ(capture.standardOutput(), "🔀MT \"image_resizing.cpp\"@" + std::to_string(line) +
                                          ": vtImageResizedToAspectFit: (50.0, 50.0) -> (50.0, 25.0)\n");
}

TEST(ImageResizing, ToSizeAndToHeight) {
  struct Case {
    const char* name;
    Size image;
    std::function<Image::Ptr(const Image&)> resize;
    Size expected;
  };
  const Case cases[] = {
      {"stretched", {200, 100}, [](const Image& i) { return vtImageResizedTo(i, Size(50, 50)); }, {50, 50}},
      {"to height", {200, 100}, [](const Image& i) { return vtResizeToHeight(i, 50); }, {100, 50}},
      {"to height, not rounded", {3, 7}, [](const Image& i) { return vtResizeToHeight(i, 10); },
       {4.285714285714286, 10}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto image = imageWith(solidBitmap(static_cast<std::int64_t>(c.image.width),
                                             static_cast<std::int64_t>(c.image.height), kRed));
    const auto resized = c.resize(*image);
    EXPECT_EQ(resized->size(), c.expected);
    EXPECT_EQ(resized->cgImage()->pixelAt(0, 0), kRed);
  }
}

// Three bands along the long side: red, green from `greenFrom` to `greenTo`,
// blue; a crop that keeps only the middle leaves only green.
TEST(ImageResizing, AspectFillCropsTheCentre) {
  struct Case {
    const char* name;
    std::int64_t w, h;
    bool bandsAcross;  // bands run along x
    std::int64_t greenFrom, greenTo;
    Size target;
    Rgba left, middle, right;  // sampled along the band direction of the result
  };
  const Case cases[] = {
      {"wide into square crops (50, 0, 100, 100)", 200, 100, true, 50, 150, {50, 50}, kGreen, kGreen, kGreen},
      {"tall into square crops (0, 50, 100, 100)", 100, 200, false, 50, 150, {50, 50}, kGreen, kGreen, kGreen},
      {"640 x 480 into square crops (80, 0, 480, 480)", 640, 480, true, 80, 560, {100, 100}, kGreen, kGreen, kGreen},
      {"equal ratios draw it whole", 200, 100, true, 50, 150, {100, 50}, kRed, kGreen, kBlue},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto bitmap = painted(c.w, c.h, [&](std::int64_t x, std::int64_t y) {
      const std::int64_t along = c.bandsAcross ? x : y;
      return along < c.greenFrom ? kRed : along < c.greenTo ? kGreen : kBlue;
    });
    const auto filled = vtImageResizedToAspectFill(*imageWith(bitmap), c.target);
    EXPECT_EQ(filled->size(), c.target);
    const auto pixels = filled->cgImage();
    const auto w = static_cast<std::int64_t>(c.target.width), h = static_cast<std::int64_t>(c.target.height);
    const auto at = [&](std::int64_t along) {
      return c.bandsAcross ? pixels->pixelAt(along, h / 2) : pixels->pixelAt(w / 2, along);
    };
    const std::int64_t length = c.bandsAcross ? w : h;
    EXPECT_EQ(at(0), c.left);
    EXPECT_EQ(at(length / 2), c.middle);
    EXPECT_EQ(at(length - 1), c.right);
  }
}

TEST(ImageResizing, AnImageWithoutPixelsGivesTransparentResults) {
  const auto empty = Image::create(Size(4, 2));
  const auto resized = vtImageResizedTo(*empty, Size(2, 2));
  EXPECT_EQ(resized->cgImage()->pixelAt(1, 1), kClear);
  EXPECT_EQ(vtImageResizedToAspectFill(*empty, Size(3, 3))->cgImage()->pixelAt(1, 1), kClear);
}

}  // namespace
}  // namespace vantrel
