#include "vantrel/drawing/image_helper.h"

#include <gtest/gtest.h>

#include "tests/drawing/drawing_image_support.h"
#include "tests/graphics/animation_test_support.h"
#include "tests/support/fixtures.h"
#include "vantrel/core/console.h"
#include "vantrel/drawing/bitmap_images.h"
#include "vantrel/platform/graphics/image_codecs.h"

namespace vantrel {
namespace {

using testing::folderEntries;
using testing::kClear;
using testing::painted;
using testing::readFile;
using testing::Rgba;
using testing::ScopedFileSizeLimit;
using testing::solidBitmap;

// Image i: one colour that names it, 3 x 2 pixels.
std::vector<BitmapImage::Ptr> numbered(int count, std::int64_t w = 3, std::int64_t h = 2) {
  std::vector<BitmapImage::Ptr> images;
  for (int i = 0; i < count; ++i) {
    images.push_back(solidBitmap(w, h, Rgba{static_cast<std::uint8_t>(40 * i + 10), 0, 0, 255}));
  }
  return images;
}

// The image index each frame of an animated PNG shows.
std::vector<int> apngFrameIndexes(const testing::ApngFile& file, const std::vector<BitmapImage::Ptr>& images) {
  std::vector<int> indexes;
  for (const auto& frame : file.frames) {
    const auto pixels = testing::decodeApngFrame(frame);
    int found = -1;
    for (std::size_t i = 0; i < images.size(); ++i) {
      if (pixels == testing::straightPixels(*images[i])) found = static_cast<int>(i);
    }
    indexes.push_back(found);
  }
  return indexes;
}

std::vector<int> gifFrameIndexes(const testing::GifFile& file) {
  std::vector<int> indexes;
  for (const auto& frame : file.frames) indexes.push_back((frame.pixels[0] - 10 + 20) / 40);
  return indexes;
}

TEST(ImageHelper, BounceFramesInBothFormats) {
  struct Case {
    int images;
    bool bounce;
    std::vector<int> frames;
  };
  const Case cases[] = {
      {1, true, {0}},          {2, true, {0, 1}},          {3, true, {0, 1, 2, 1}},
      {4, true, {0, 1, 2, 3, 2, 1}}, {4, false, {0, 1, 2, 3}},
  };
  testing::TemporaryDirectory folder;
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.images) + (c.bounce ? " bouncing" : ""));
    const auto images = numbered(c.images);
    const auto png = folder.path() / "anim.png";
    const auto gif = folder.path() / "anim.gif";
    ASSERT_TRUE(ImageHelper::createAnimatedPng(images, 25, c.bounce, png));
    ASSERT_TRUE(ImageHelper::createAnimatedGif(images, 25, c.bounce, gif));

    const auto apng = testing::readApng(readFile(png));
    ASSERT_TRUE(apng);
    std::vector<std::string> order{"IHDR", "acTL", "fcTL", "IDAT"};
    std::vector<std::uint32_t> sequence{0};
    for (std::size_t i = 1; i < c.frames.size(); ++i) {
      order.insert(order.end(), {"fcTL", "fdAT"});
      sequence.insert(sequence.end(), {static_cast<std::uint32_t>(2 * i - 1), static_cast<std::uint32_t>(2 * i)});
    }
    order.push_back("IEND");
    EXPECT_EQ(apng->order, order);
    EXPECT_EQ(apng->sequence, sequence);
    EXPECT_TRUE(apng->allCrcsMatch);
    EXPECT_EQ(apng->frameCount, c.frames.size());
    EXPECT_EQ(apng->plays, 0u);
    EXPECT_EQ(apngFrameIndexes(*apng, images), c.frames);
    for (const auto& frame : apng->frames) {
      EXPECT_EQ(frame.delayNumerator, 1);
      EXPECT_EQ(frame.delayDenominator, 25);
    }
    // libpng, which knows nothing of animation, reads the first image.
    EXPECT_EQ(decodePng(readFile(png)).image->pixelAt(0, 0), images[0]->pixelAt(0, 0));

    const auto gifFile = testing::readGif(readFile(gif));
    ASSERT_TRUE(gifFile);
    EXPECT_TRUE(gifFile->loopsForever);
    EXPECT_EQ(gifFrameIndexes(*gifFile), c.frames);
    for (const auto& frame : gifFile->frames) EXPECT_EQ(frame.delay, 4);
    EXPECT_EQ(folderEntries(folder.path()), (std::vector<std::string>{"anim.gif", "anim.png"}));
  }
}

TEST(ImageHelper, DefaultIsForwardOnly) {
  testing::TemporaryDirectory folder;
  const auto images = numbered(3);
  ASSERT_TRUE(ImageHelper::createAnimatedPng(images, 10, folder.path() / "a.png"));
  ASSERT_TRUE(ImageHelper::createAnimatedGif(images, 10, folder.path() / "a.gif"));
  EXPECT_EQ(testing::readApng(readFile(folder.path() / "a.png"))->frameCount, 3u);
  EXPECT_EQ(testing::readGif(readFile(folder.path() / "a.gif"))->frames.size(), 3u);
}

// Each refusal prints the writer's line, writes nothing and keeps an old file.
TEST(ImageHelper, FailedWritesKeepTheOldFile) {
  testing::TemporaryDirectory folder;
  const auto path = folder.path() / "old";
  { std::ofstream(path) << "old contents"; }
  struct Case {
    const char* name;
    std::vector<BitmapImage::Ptr> images;
    std::filesystem::path to;
  };
  const Case cases[] = {
      {"no images", {}, path},
      {"another size", {solidBitmap(3, 2, testing::kRed), solidBitmap(2, 3, testing::kRed)}, path},
      {"a missing folder", numbered(2), folder.path() / "missing" / "anim"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    for (const bool gif : {false, true}) {
      ConsoleCapture capture;
      const bool written = gif ? ImageHelper::createAnimatedGif(c.images, 25, true, c.to)
                               : ImageHelper::createAnimatedPng(c.images, 25, true, c.to);
      EXPECT_FALSE(written);
      EXPECT_EQ(capture.standardOutput(), gif ? "Error writing anim gif.\n" : "Error writing anim png.\n");
      EXPECT_EQ(readFile(path), (std::vector<std::uint8_t>{'o', 'l', 'd', ' ', 'c', 'o', 'n', 't', 'e', 'n', 't', 's'}));
      EXPECT_EQ(folderEntries(folder.path()), std::vector<std::string>{"old"});
    }
  }
}

// A file-size limit makes the write fail part-way, as a full disk would.
TEST(ImageHelper, AWriteThatFailsPartWayLeavesNoPartialFile) {
  testing::TemporaryDirectory folder;
  const auto path = folder.path() / "anim";
  { std::ofstream(path) << "old"; }
  std::vector<BitmapImage::Ptr> noisy;
  for (int k = 0; k < 3; ++k) {
    noisy.push_back(painted(120, 120, [k](std::int64_t x, std::int64_t y) {
      const auto v = static_cast<std::uint8_t>((x * 131 + y * 71 + k * 29) ^ (x * y));
      return Rgba{v, static_cast<std::uint8_t>(v * 3), static_cast<std::uint8_t>(v * 7), 255};
    }));
  }
  for (const bool gif : {false, true}) {
    SCOPED_TRACE(gif ? "gif" : "png");
    bool written = true;
    std::string output;
    {
      const ScopedFileSizeLimit limit(3000);
      ASSERT_TRUE(limit.active());
      ConsoleCapture capture;
      written = gif ? ImageHelper::createAnimatedGif(noisy, 25, path) : ImageHelper::createAnimatedPng(noisy, 25, path);
      output = capture.standardOutput();
    }
    EXPECT_FALSE(written);
    EXPECT_EQ(output, gif ? "Error writing anim gif.\n" : "Error writing anim png.\n");
    EXPECT_EQ(readFile(path), (std::vector<std::uint8_t>{'o', 'l', 'd'}));
    EXPECT_EQ(folderEntries(folder.path()), std::vector<std::string>{"anim"});
  }
}

TEST(ImageHelperDeathTest, RatesThatAreNotPositiveAndFinite) {
  testing::TemporaryDirectory folder;
  const auto images = numbered(2);
  for (const double fps : {0.0, -1.0, double(NAN), double(INFINITY)}) {
    SCOPED_TRACE(fps);
    EXPECT_DEATH((void)ImageHelper::createAnimatedPng(images, fps, folder.path() / "a"), "is not a positive finite rate");
    EXPECT_DEATH((void)ImageHelper::createAnimatedGif(images, fps, folder.path() / "a"), "is not a positive finite rate");
  }
}

TEST(ImageHelper, SpriteSheets) {
  struct Case {
    int images;
    std::int64_t matrixWidth;
    IntSize sheet;
    MatrixSize grid;
  };
  const Case cases[] = {
      {5, 2, IntSize(20, 30), MatrixSize(2, 3)},
      {3, 5, IntSize(50, 10), MatrixSize(5, 1)},
      {4, 2, IntSize(20, 20), MatrixSize(2, 2)},
      {1, 1, IntSize(10, 10), MatrixSize(1, 1)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.images) + " at width " + std::to_string(c.matrixWidth));
    std::vector<BitmapImage::Ptr> images;
    for (int i = 0; i < c.images; ++i) {
      // A top-left marker pixel, so an upside-down cell would show.
      images.push_back(painted(10, 10, [i](std::int64_t x, std::int64_t y) {
        return x == 0 && y == 0 ? testing::kGreen : Rgba{static_cast<std::uint8_t>(20 * i + 5), 0, 0, 255};
      }));
    }
    const auto [sheet, grid] = ImageHelper::createSpriteMap(images, c.matrixWidth);
    EXPECT_EQ(size(*sheet), c.sheet);
    EXPECT_EQ(grid, c.grid);
    for (int i = 0; i < c.images; ++i) {
      const auto tile = extract(*sheet, MatrixCoordinate(i % c.matrixWidth, i / c.matrixWidth), Size(10, 10));
      EXPECT_TRUE(std::equal(tile->bytes().begin(), tile->bytes().end(), images[static_cast<std::size_t>(i)]->bytes().begin()))
          << "image " << i;
    }
    // Cells after the last image stay transparent.
    for (std::int64_t cell = c.images; cell < grid.width() * grid.height(); ++cell) {
      const auto tile = extract(*sheet, MatrixCoordinate(cell % c.matrixWidth, cell / c.matrixWidth), Size(10, 10));
      EXPECT_EQ(tile->pixelAt(5, 5), kClear);
    }
  }
}

TEST(ImageHelper, OtherSizesAreScaledIntoTheirCell) {
  const auto [sheet, grid] = ImageHelper::createSpriteMap(
      {solidBitmap(10, 10, testing::kRed), solidBitmap(20, 5, testing::kBlue)}, 2);
  EXPECT_EQ(size(*sheet), IntSize(20, 10));
  EXPECT_EQ(sheet->pixelAt(15, 1), testing::kBlue);
  EXPECT_EQ(sheet->pixelAt(15, 8), testing::kBlue);
}

TEST(ImageHelperDeathTest, SpriteMapPreconditions) {
  EXPECT_DEATH((void)ImageHelper::createSpriteMap({}, 2), "no images to createSpriteMap");
  EXPECT_DEATH((void)ImageHelper::createSpriteMap(numbered(2), 0), "a matrixWidth of 0 is below 1");
  EXPECT_DEATH((void)ImageHelper::createSpriteMap(numbered(2, 20000, 1), 2), "exceeds 32767 pixels a side");
  EXPECT_DEATH((void)ImageHelper::createSpriteMap(numbered(2), INT64_MAX), "exceeds 32767 pixels a side");
  EXPECT_DEATH((void)ImageHelper::createSpriteMap({solidBitmap(1, 1, kClear), nullptr}, 2), "is null");
}

}  // namespace
}  // namespace vantrel
