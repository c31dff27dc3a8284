#include "vantrel/drawing/bitmap_images.h"

#include <gtest/gtest.h>

#include "tests/drawing/drawing_image_support.h"
#include "tests/graphics/image_test_support.h"
#include "tests/support/fixtures.h"
#include "vantrel/core/console.h"
#include "vantrel/core/random.h"
#include "vantrel/platform/graphics/image_codecs.h"

namespace vantrel {
namespace {

using testing::folderEntries;
using testing::kClear;
using testing::readFile;
using testing::Rgba;
using testing::ScopedFileSizeLimit;

// A 4 x 2 image: each pixel's red byte is its column, green its row.
BitmapImage::Ptr grid() {
  std::vector<Pixel> pixels;
  for (std::uint8_t y = 0; y < 2; ++y) {
    for (std::uint8_t x = 0; x < 4; ++x) pixels.emplace_back(x, y, 9);
  }
  return CGImage::fromRGBA32Bitmap(pixels, IntSize(4, 2));
}

TEST(BitmapImages, FromPixelsKeepsRowOrderAndSize) {
  const std::vector<Pixel> two{Pixel(255, 0, 0), Pixel(0, 0, 255)};
  const auto wide = CGImage::fromRGBA32Bitmap(two, IntSize(2, 1));
  EXPECT_EQ(size(*wide), IntSize(2, 1));
  EXPECT_EQ(wide->pixelAt(0, 0), (Rgba{255, 0, 0, 255}));  // first element: left
  const auto tall = CGImage::fromRGBA32Bitmap(two, IntSize(1, 2));
  EXPECT_EQ(size(*tall), IntSize(1, 2));
  EXPECT_EQ(tall->pixelAt(0, 0), (Rgba{255, 0, 0, 255}));  // first element: top
  EXPECT_EQ(tall->pixelAt(0, 1), (Rgba{0, 0, 255, 255}));
  EXPECT_EQ(wide->bytesPerRow(), 8);
}

TEST(BitmapImages, FromPixelsCopiesThePixels) {
  std::vector<Pixel> pixels{Pixel(1, 2, 3, 4)};
  const auto image = CGImage::fromRGBA32Bitmap(pixels, IntSize(1, 1));
  pixels[0].r = 200;
  EXPECT_EQ(image->pixelAt(0, 0), (Rgba{1, 2, 3, 4}));
}

TEST(BitmapImagesDeathTest, FromPixelsNeedsWidthTimesHeightPixels) {
  const std::vector<Pixel> three(3, Pixel(0, 0, 0));
  EXPECT_DEATH((void)CGImage::fromRGBA32Bitmap(three, IntSize(2, 2)), "3 pixels given for a size of 2 x 2");
  EXPECT_DEATH((void)CGImage::fromRGBA32Bitmap({}, IntSize(0, 5)), "Could not create CGImage");
  EXPECT_DEATH((void)CGImage::fromRGBA32Bitmap(three, IntSize(INT64_MAX, 2)), "overflow");
}

TEST(BitmapImages, ExtractCutsTilesFromTheTopLeft) {
  const auto image = grid();
  struct Case {
    const char* name;
    MatrixCoordinate at;
    Size tile;
    IntSize expectedSize;
    Rgba topLeft;
  };
  const Case cases[] = {
      {"whole image", MatrixCoordinate(0, 0), Size(4, 2), IntSize(4, 2), Rgba{0, 0, 9, 255}},
      {"right half", MatrixCoordinate(1, 0), Size(2, 2), IntSize(2, 2), Rgba{2, 0, 9, 255}},
      {"second row", MatrixCoordinate(3, 1), Size(1, 1), IntSize(1, 1), Rgba{3, 1, 9, 255}},
      {"past the right and bottom edges", MatrixCoordinate(1, 1), Size(3, 1.5), IntSize(1, 1), Rgba{3, 1, 9, 255}},
      {"fractional tile widened to whole pixels", MatrixCoordinate(1, 0), Size(1.5, 1), IntSize(2, 1),
       Rgba{1, 0, 9, 255}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto tile = extract(*image, c.at, c.tile);
    EXPECT_EQ(size(*tile), c.expectedSize);
    EXPECT_EQ(tile->pixelAt(0, 0), c.topLeft);
  }
}

TEST(BitmapImagesDeathTest, ExtractNeedsAPositiveTileThatOverlapsTheImage) {
  const auto image = grid();
  EXPECT_DEATH((void)extract(*image, MatrixCoordinate(0, 0), Size(0, 1)), "is not above zero");
  EXPECT_DEATH((void)extract(*image, MatrixCoordinate(0, 0), Size(NAN, 1)), "is not above zero");
  EXPECT_DEATH((void)extract(*image, MatrixCoordinate(2, 0), Size(2, 2)), "lies outside the image of 4 x 2 pixels");
  EXPECT_DEATH((void)extract(*image, MatrixCoordinate(-1, 0), Size(2, 2)), "lies outside");
}

TEST(BitmapImages, CreateImageTruncatesPixelsButNotTheRectangle) {
  int calls = 0;
  Rect received;
  const auto image = CGImage::createImage(Size(10.5, 3), [&](DrawingContext& context, Rect rect) {
    ++calls;
    received = rect;
    context.setFillColor(*Color::withRed(1, 0, 0, 1));
    context.fillRect(Rect(0, 0, 1, 1));
  });
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(received, Rect(0, 0, 10.5, 3));
  EXPECT_EQ(size(*image), IntSize(10, 3));
  EXPECT_EQ(image->bytesPerRow(), 42);
  EXPECT_EQ(image->pixelAt(0, 2), (Rgba{255, 0, 0, 255}));  // origin at the lower left
  EXPECT_EQ(image->pixelAt(0, 0), kClear);
}

TEST(BitmapImagesDeathTest, CreateImageNeedsWholePixels) {
  const auto nothing = [](DrawingContext&, Rect) {};
  EXPECT_DEATH((void)CGImage::createImage(Size(0.5, 3), nothing),
               "Cannot create context! Try setting environment variable: CGBITMAP_CONTEXT_LOG_ERRORS=YES");
  EXPECT_DEATH((void)CGImage::createImage(Size(INFINITY, 3), nothing), "");
}

TEST(BitmapImages, PngDataCarriesOnlyTheGivenTexts) {
  struct Case {
    const char* name;
    std::optional<std::string> author, title, description;
    std::vector<std::pair<std::string, std::string>> expected;
  };
  const Case cases[] = {
      {"none", std::nullopt, std::nullopt, std::nullopt, {}},
      {"empty title", std::nullopt, "", std::nullopt, {{"Title", ""}}},
      {"all three in order", "Ann", "Tiles", "Eight tiles", {{"Author", "Ann"}, {"Title", "Tiles"}, {"Description", "Eight tiles"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto png = vtPngImageData(*grid(), c.author, c.title, c.description);
    ASSERT_TRUE(png);
    const auto texts = testing::readPngTexts(*png);
    ASSERT_TRUE(texts);
    std::vector<std::pair<std::string, std::string>> got;
    for (const auto& t : *texts) got.emplace_back(t.keyword, t.text);
    EXPECT_EQ(got, c.expected);
    const auto back = decodePng(*png).image;
    EXPECT_EQ(back->pixelAt(3, 1), grid()->pixelAt(3, 1));
  }
}

TEST(BitmapImages, FailedPngEncodingGivesNoDataAndWarns) {
  ConsoleCapture capture;
  // libpng refuses rows wider than a million pixels: no bytes, not a partial file.
  EXPECT_FALSE(vtPngImageData(*BitmapImage::transparent(1'000'001, 1), "Ann"));
  EXPECT_EQ(capture.standardOutput(), "Warning! Could not CGImageDestinationFinalize()\n");
}

TEST(BitmapImages, WriteAsPngWritesAndReplacesTheFile) {
  testing::TemporaryDirectory folder;
  const auto path = folder.path() / "tiles.png";
  ASSERT_TRUE(writeAsPng(*grid(), path, "Ann"));
  auto decoded = decodePng(readFile(path));
  EXPECT_EQ(decoded.texts, (std::vector<PngTextEntry>{{"Author", "Ann"}}));
  EXPECT_EQ(decoded.image->pixelAt(2, 1), grid()->pixelAt(2, 1));

  const auto other = CGImage::fromRGBA32Bitmap(std::vector<Pixel>{Pixel(7, 7, 7)}, IntSize(1, 1));
  ASSERT_TRUE(writeAsPng(*other, path));
  decoded = decodePng(readFile(path));
  EXPECT_EQ(size(*decoded.image), IntSize(1, 1));
  EXPECT_TRUE(decoded.texts.empty());
  EXPECT_EQ(folderEntries(folder.path()), std::vector<std::string>{"tiles.png"});  // no temporary left
}

// The temporary's name must not come from the replaceable random source: a
// test (or a replay) that scripts its draws would lose one to every save.
TEST(BitmapImages, SavingDrawsNothingFromTheRandomSource) {
  testing::TemporaryDirectory folder;
  ScriptedRandomSource script({11, 22, 33});
  ScopedRandomSource use(script);
  ASSERT_TRUE(writeAsPng(*grid(), folder.path() / "tiles.png"));
  ASSERT_TRUE(writeAsPng(*grid(), folder.path() / "tiles.png", "author"));  // over an existing file too
  EXPECT_EQ(script.remaining(), 3u);
  EXPECT_EQ(randomUInt32(), 11u);
}

TEST(BitmapImages, WriteAsPngIntoAMissingFolderFailsSilently) {
  testing::TemporaryDirectory folder;
  ConsoleCapture capture;
  EXPECT_FALSE(writeAsPng(*grid(), folder.path() / "missing" / "tiles.png"));
  EXPECT_EQ(capture.standardOutput(), "");
}

TEST(BitmapImages, AFailedWriteLeavesNoPartialFileAndKeepsTheOldOne) {
  testing::TemporaryDirectory folder;
  const auto path = folder.path() / "big.png";
  ASSERT_TRUE(writeAsPng(*grid(), path));
  const auto before = readFile(path);

  // A file-size limit makes the write fail part-way, as a full disk would.
  auto noisy = DrawingContext::create(300, 300);
  for (int i = 0; i < 300; i += 3) {
    noisy->setFillColor(*Color::withRed((i % 7) / 7.0, (i % 5) / 5.0, (i % 3) / 3.0, 1));
    noisy->fillEllipse(Rect(i, 300 - i, 40, 17));
  }
  const auto image = noisy->makeImage();
  bool written = true;
  std::string output;
  {
    const ScopedFileSizeLimit limit(2000);
    ASSERT_TRUE(limit.active());
    ConsoleCapture capture;
    written = writeAsPng(*image, path);
    output = capture.standardOutput();
  }

  EXPECT_FALSE(written);
  EXPECT_EQ(output, "Warning! Could not write image to \"" + path.string() + "\"\n");
  EXPECT_EQ(readFile(path), before);
  EXPECT_EQ(folderEntries(folder.path()), std::vector<std::string>{"big.png"});
}

}  // namespace
}  // namespace vantrel
