#include "vantrel/drawing/image_creation.h"

#include <cmath>

#include <gtest/gtest.h>

#include "tests/graphics/image_test_support.h"
#include "vantrel/drawing/internal/text_image_layout.h"
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

TEST(ImageCreation, CreateImageTruncatesPixelsCallsOnceAndRestoresTheContext) {
  auto outer = DrawingContext::create(1, 1);
  setCurrentDrawingContext(outer);
  int calls = 0;
  Rect received;
  const auto image = NSImage::createImage(Size(10.7, 10.2), [&](Rect rect) {
    ++calls;
    received = rect;
    ASSERT_TRUE(currentDrawingContext());
    EXPECT_NE(currentDrawingContext(), outer);
    currentDrawingContext()->setFillColor(*red());
    currentDrawingContext()->fillRect(Rect(0, 0, 2, 1));
  });
  EXPECT_EQ(currentDrawingContext(), outer);
  setCurrentDrawingContext(nullptr);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(received, Rect(0, 0, 10.7, 10.2));
  EXPECT_EQ(image->size(), Size(10, 10));
  const auto bitmap = image->cgImage();
  ASSERT_TRUE(bitmap);
  EXPECT_EQ(bitmap->width(), 10);
  EXPECT_EQ(bitmap->pixelAt(1, 9), kRed);
  EXPECT_EQ(bitmap->pixelAt(2, 9), kClear);
  EXPECT_EQ(bitmap->pixelAt(0, 8), kClear);
}

TEST(ImageCreationDeathTest, CreateImageNeedsAWholePixel) {
  EXPECT_DEATH((void)NSImage::createImage(Size(0.9, 10), [](Rect) {}),
               "createImage: the size \\(0.9, 10.0\\) holds no whole pixel");
  EXPECT_DEATH((void)NSImage::createImage(Size(NAN, 10), [](Rect) {}), "");
  // An empty text without border or padding measures no width at all.
  EXPECT_DEATH((void)NSImage::vtImageWith("", std::nullopt, Font::systemFont(10), nullptr, nullptr, 0.0, EdgeInsets()),
               "vtImageWith: the size \\(0.0, .*\\) holds no whole pixel");
  EXPECT_DEATH((void)NSImage::vtBlueCircleImage3(Size(0.5, 50)), "vtBlueCircleImage3: the size");
}

TEST(ImageCreation, EmptyImageWithRetinaDoublesThePointsAndMarksTheCentre) {
  const auto image = NSImage::vtEmptyImage(Size(10, 10), true, red());
  EXPECT_EQ(image->size(), Size(20, 20));
  const auto bitmap = image->cgImage();
  ASSERT_EQ(bitmap->width(), 20);
  ASSERT_EQ(bitmap->height(), 20);
  int marked = 0;
  for (int y = 0; y < 20; ++y) {
    for (int x = 0; x < 20; ++x) {
      const bool inMark = (x == 9 || x == 10) && (y == 9 || y == 10);
      EXPECT_EQ(bitmap->pixelAt(x, y), inMark ? kRed : kClear) << x << "," << y;
      marked += inMark;
    }
  }
  EXPECT_EQ(marked, 4);
}

TEST(ImageCreation, EmptyImageMarksEvenAOnePointImage) {
  const auto marked = NSImage::vtEmptyImage(Size(1, 1), false, red());
  EXPECT_EQ(marked->size(), Size(1, 1));
  EXPECT_EQ(marked->cgImage()->pixelAt(0, 0), kRed);  // the mark (-0.5, -0.5, 2, 2) covers it
  EXPECT_EQ(NSImage::vtEmptyImage(Size(3, 2))->cgImage()->pixelAt(1, 1), kClear);
}

TEST(ImageCreation, RectImageIsBlueByDefault) {
  const auto bitmap = NSImage::vtRectImage(Size(6, 4))->cgImage();
  for (const auto& [x, y] : {std::pair{0, 0}, {5, 0}, {0, 3}, {5, 3}, {3, 2}}) EXPECT_EQ(bitmap->pixelAt(x, y), kBlue);
  const auto marked = NSImage::vtRectImage(Size(6, 4), green(), red())->cgImage();
  EXPECT_EQ(marked->pixelAt(2, 1), kRed);
  EXPECT_EQ(marked->pixelAt(3, 2), kRed);
  EXPECT_EQ(marked->pixelAt(1, 1), kGreen);
  EXPECT_EQ(marked->pixelAt(4, 2), kGreen);
}

TEST(TextImageLayout, FollowsTheMeasureBorderPaddingAndFrame) {
  const Size measured(30.2, 12.1);
  struct Case {
    const char* name;
    std::optional<Size> frame;
    double border;
    EdgeInsets padding;
    Size size;
    Rect text;
  };
  const Case cases[] = {
      {"defaults", std::nullopt, 1, EdgeInsets(), Size(33, 15), Rect(1, 1, 31, 13)},
      {"frame used", Size(100, 40), 1, EdgeInsets(), Size(100, 40), Rect(34.5, 13.5, 31, 13)},
      {"frame as wide as the measure", Size(30.2, 40), 1, EdgeInsets(), Size(33, 15), Rect(1, 1, 31, 13)},
      {"frame as tall as the measure", Size(100, 12.1), 1, EdgeInsets(), Size(33, 15), Rect(1, 1, 31, 13)},
      {"padding shifts the centred text", Size(100, 40), 1, EdgeInsets(0, 10, 0, 0), Size(100, 40),
       Rect(29.5, 13.5, 31, 13)},
      {"padding and border around the natural size", std::nullopt, 2, EdgeInsets(1, 2, 3, 4), Size(41, 21),
       Rect(4, 5, 31, 13)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto layout = drawing_internal::textImageLayout(measured, c.frame, c.border, c.padding);
    EXPECT_EQ(layout.imageSize, c.size);
    EXPECT_EQ(layout.textRect, c.text);
  }
}

TEST(ImageCreation, LabelWithDefaultsIsTheTextAndNothingElse) {
  const Size measured = measureText("Hello", Font::systemFont(10));
  const auto image = NSImage::vtImageWith("Hello");
  EXPECT_EQ(image->size(), Size(2 + std::ceil(measured.width), 2 + std::ceil(measured.height)));
  const auto bitmap = image->cgImage();
  EXPECT_EQ(bitmap->pixelAt(0, 0), kClear);
  EXPECT_EQ(bitmap->pixelAt(bitmap->width() - 1, bitmap->height() - 1), kClear);
  EXPECT_GT(testing::countDarkPixels(*bitmap, 0, bitmap->width()), 15);
}

TEST(ImageCreation, LabelBackgroundBorderAndCorners) {
  const auto image = NSImage::vtImageWith("Hi", Size(60, 30), Font::systemFont(10), green(), red(), 3.0,
                                          EdgeInsets(), 8.0, Color::blackColor());
  EXPECT_EQ(image->size(), Size(60, 30));
  const auto bitmap = image->cgImage();
  EXPECT_EQ(bitmap->pixelAt(0, 0), kRed);  // the border keeps square corners
  EXPECT_EQ(bitmap->pixelAt(2, 15), kRed);
  EXPECT_EQ(bitmap->pixelAt(3, 15), kGreen);
  EXPECT_EQ(bitmap->pixelAt(57, 27), kRed);
  EXPECT_EQ(bitmap->pixelAt(5, 5), kGreen);
  EXPECT_GT(testing::countDarkPixels(*bitmap, 20, 40), 5);
  EXPECT_EQ(testing::countDarkPixels(*bitmap, 0, 20), 0);  // centred in the frame

  const auto rounded = NSImage::vtImageWith("Hi", Size(60, 30), Font::systemFont(10), green(), nullptr, 3.0,
                                            EdgeInsets(), 8.0)->cgImage();
  EXPECT_EQ(rounded->pixelAt(0, 0), kClear);
  EXPECT_EQ(rounded->pixelAt(30, 0), kGreen);
}

// The label a new user tries first: the CJK characters are drawn from a
// font that has them, each its own picture, not two identical empty boxes.
TEST(ImageCreation, LabelDrawsCharactersTheSystemFontLacks) {
  const Font font = Font::systemFont(10);
  const Size measured = measureText("Zo\xC3\xAB \xE6\x97\xA5\xE6\x9C\xAC", font);
  const auto image = NSImage::vtImageWith("Zo\xC3\xAB \xE6\x97\xA5\xE6\x9C\xAC");
  EXPECT_EQ(image->size(), Size(2 + std::ceil(measured.width), 2 + std::ceil(measured.height)));
  const auto bitmap = image->cgImage();
  // Each CJK character takes a full em (10 points) after "Zoë ".
  const auto start = static_cast<std::int64_t>(std::ceil(1 + measureText("Zo\xC3\xAB ", font).width));
  const auto columns = [&](std::int64_t x0) {
    std::vector<Rgba> pixels;
    for (std::int64_t y = 0; y < bitmap->height(); ++y) {
      for (std::int64_t x = x0; x < x0 + 9; ++x) pixels.push_back(bitmap->pixelAt(x, y));
    }
    return pixels;
  };
  ASSERT_GE(bitmap->width(), start + 20);
  EXPECT_GT(testing::countDarkPixels(*bitmap, start, start + 9), 8);
  EXPECT_GT(testing::countDarkPixels(*bitmap, start + 10, start + 19), 8);
  EXPECT_NE(columns(start), columns(start + 10));
}

TEST(ImageCreation, LabelPaddingDefaultIsReadAtEachCall) {
  edgeInsetsZero().set(EdgeInsets(5, 5, 5, 5));
  const auto padded = NSImage::vtImageWith("Hello");
  edgeInsetsZero().reset();
  const auto plain = NSImage::vtImageWith("Hello");
  EXPECT_EQ(padded->size().width, plain->size().width + 10);
  EXPECT_EQ(padded->size().height, plain->size().height + 10);
}

TEST(ImageCreation, TextInBoxScalesAndRightAligns) {
  const auto image = NSImage::textInBox("Hi", Size(100, 30), 2.0, green(), true);
  EXPECT_EQ(image->size(), Size(200, 60));
  const auto bitmap = image->cgImage();
  EXPECT_EQ(bitmap->pixelAt(0, 0), kClear);  // corner radii 25 and 7.5
  EXPECT_EQ(bitmap->pixelAt(100, 0), kGreen);
  EXPECT_EQ(bitmap->pixelAt(0, 30), kGreen);
  EXPECT_EQ(testing::countDarkPixels(*bitmap, 0, 140), 0);
  EXPECT_GT(testing::countDarkPixels(*bitmap, 150, 196), 30);
  EXPECT_EQ(testing::countDarkPixels(*bitmap, 196, 200), 0);  // 2 x 2 in from the right edge

  const auto square = NSImage::textInBox("Hi", Size(100, 30), 1.0, green(), false)->cgImage();
  EXPECT_EQ(square->pixelAt(0, 0), kGreen);
  const auto bare = NSImage::textInBox("Hi", Size(100, 30), 1.0, nullptr, false)->cgImage();
  EXPECT_EQ(bare->pixelAt(0, 0), kClear);
  EXPECT_EQ(bare->pixelAt(50, 15)[3], 0);
}

TEST(ImageCreation, TextInBoxCutsLinesPastTheBottom) {
  const auto bitmap =
      NSImage::textInBox("one two three four five six seven eight nine ten", Size(60, 30), 1.0)->cgImage();
  EXPECT_EQ(bitmap->height(), 30);
  EXPECT_GT(testing::countDarkPixels(*bitmap, 0, 60), 10);
}

TEST(ImageCreation, BlueCircles) {
  const auto first = NSImage::vtBlueCircleImage();
  const auto second = NSImage::vtBlueCircleImage2();
  const auto third = NSImage::vtBlueCircleImage3();
  EXPECT_TRUE(first->representations().empty());  // drawn only when the image is drawn
  EXPECT_EQ(second->representations().size(), 1u);
  EXPECT_EQ(third->representations().size(), 1u);
  for (const auto& image : {first, second, third}) {
    EXPECT_EQ(image->size(), Size(50, 50));
    const auto bitmap = image->cgImage();
    ASSERT_EQ(bitmap->width(), 50);
    EXPECT_EQ(bitmap->pixelAt(25, 25), kBlue);
    EXPECT_EQ(bitmap->pixelAt(1, 25)[2], bitmap->pixelAt(1, 25)[3]);  // edge: partly covered blue
    EXPECT_EQ(bitmap->pixelAt(0, 0), kClear);
    EXPECT_EQ(bitmap->pixelAt(49, 49), kClear);
  }
  EXPECT_EQ(NSImage::vtBlueCircleImage3(Size(9.9, 5.5))->representations()[0]->width(), 9);
}

TEST(ImageEncoding, PngOfAnImageReadsBackExactly) {
  const auto image = NSImage::vtEmptyImage(Size(4, 4), false, red());
  const auto png = vtPngImageData(*image);
  ASSERT_TRUE(png);
  const auto back = decodePng(*png).image;
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 4; ++x) EXPECT_EQ(back->pixelAt(x, y), image->cgImage()->pixelAt(x, y));
  }
  EXPECT_TRUE(testing::readPngTexts(*png)->empty());
}

TEST(ImageEncoding, ImagesWithoutPixelsGiveNoData) {
  const auto empty = Image::create(Size(10, 10));
  EXPECT_FALSE(vtPngImageData(*empty));
  EXPECT_FALSE(vtJpegImageData(*empty));
  EXPECT_FALSE(vtJpegImageData(*empty, "abc"));
}

TEST(ImageEncoding, JpegCarriesTheCommentOnlyWhenGiven) {
  const auto image = NSImage::vtRectImage(Size(16, 16), red());
  const auto plain = vtJpegImageData(*image);
  ASSERT_TRUE(plain);
  EXPECT_TRUE(testing::readJpegMarkers(*plain)->app1.empty());
  const auto commented = vtJpegImageData(*image, "abc");
  ASSERT_TRUE(commented);
  const auto markers = testing::readJpegMarkers(*commented);
  ASSERT_EQ(markers->app1.size(), 1u);
  EXPECT_TRUE(testing::containsBytes(markers->app1[0], std::string("ASCII\0\0\0abc", 11)));
  const DecodedJpeg back = decodeJpeg(*commented);
  EXPECT_EQ(back.userComment, "abc");
  const Rgba p = back.image->pixelAt(8, 8);
  EXPECT_NEAR(p[0], 255, 4);
  EXPECT_NEAR(p[1], 0, 4);
  EXPECT_NEAR(p[2], 0, 4);
}

TEST(ImageEncoding, FailedJpegEncodingGivesNoData) {
  // A comment too long for one JPEG marker: no bytes at all, not a JPEG without it.
  EXPECT_FALSE(vtJpegImageData(*NSImage::vtRectImage(Size(4, 4)), std::string(70000, 'c')));
}

}  // namespace
}  // namespace vantrel
