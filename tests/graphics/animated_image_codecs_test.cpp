#include "vantrel/platform/graphics/animated_image_codecs.h"

#include <gtest/gtest.h>

#include "tests/graphics/animation_test_support.h"
#include "vantrel/platform/graphics/image_codecs.h"

namespace vantrel {
namespace {

// A w x h image of one premultiplied colour.
BitmapImage::Ptr solid(std::int64_t w, std::int64_t h, std::array<std::uint8_t, 4> rgba) {
  std::vector<std::uint8_t> bytes;
  for (std::int64_t i = 0; i < w * h; ++i) bytes.insert(bytes.end(), rgba.begin(), rgba.end());
  return BitmapImage::create(w, h, w * 4, std::move(bytes));
}

// A w x h image from opaque (or fully transparent) pixels, rows from the top.
BitmapImage::Ptr pixels(std::int64_t w, std::int64_t h, const std::vector<std::array<std::uint8_t, 4>>& rgba) {
  std::vector<std::uint8_t> bytes;
  for (const auto& p : rgba) bytes.insert(bytes.end(), p.begin(), p.end());
  return BitmapImage::create(w, h, w * 4, std::move(bytes));
}

std::vector<std::uint8_t> encoded(bool (*encode)(std::span<const BitmapImage::Ptr>, double, const ByteSink&),
                                  const std::vector<BitmapImage::Ptr>& frames, double fps, bool* ok = nullptr) {
  std::vector<std::uint8_t> out;
  const bool done = encode(frames, fps, [&](std::span<const std::uint8_t> bytes) {
    out.insert(out.end(), bytes.begin(), bytes.end());
    return true;
  });
  if (ok != nullptr) *ok = done;
  return out;
}

TEST(AnimatedImageCodecs, FrameTimes) {
  struct Case {
    double fps;
    ApngDelay apng;
    std::uint16_t gif;
  };
  const Case cases[] = {
      {25, {1, 25}, 4},           {1, {1, 1}, 100},           {65535, {1, 65535}, 0},
      {29.97, {33, 1000}, 3},     {0.5, {2000, 1000}, 200},   {65536, {0, 1000}, 0},
      {0.001, {1000, 1}, 65535},  {1e-9, {65535, 1}, 65535},  {3, {1, 3}, 33},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fps);
    EXPECT_EQ(apngDelay(c.fps), c.apng);
    EXPECT_EQ(gifDelayCentiseconds(c.fps), c.gif);
  }
}

TEST(AnimatedImageCodecs, ApngChunksSequenceAndPixels) {
  const std::vector<BitmapImage::Ptr> frames = {solid(3, 2, {255, 0, 0, 255}), solid(3, 2, {0, 64, 0, 128}),
                                                solid(3, 2, {0, 0, 0, 0})};
  bool ok = false;
  const auto bytes = encoded(encodeAnimatedPng, frames, 25, &ok);
  ASSERT_TRUE(ok);
  const auto file = testing::readApng(bytes);
  ASSERT_TRUE(file);
  EXPECT_EQ(file->order, (std::vector<std::string>{"IHDR", "acTL", "fcTL", "IDAT", "fcTL", "fdAT", "fcTL", "fdAT",
                                                   "IEND"}));
  EXPECT_EQ(file->sequence, (std::vector<std::uint32_t>{0, 1, 2, 3, 4}));
  EXPECT_TRUE(file->allCrcsMatch);
  EXPECT_EQ(file->width, 3u);
  EXPECT_EQ(file->height, 2u);
  EXPECT_EQ(file->frameCount, 3u);
  EXPECT_EQ(file->plays, 0u);
  ASSERT_EQ(file->frames.size(), 3u);
  for (std::size_t i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    const auto& f = file->frames[i];
    EXPECT_EQ(f.width, 3u);
    EXPECT_EQ(f.height, 2u);
    EXPECT_EQ(f.x, 0u);
    EXPECT_EQ(f.y, 0u);
    EXPECT_EQ(f.delayNumerator, 1);
    EXPECT_EQ(f.delayDenominator, 25);
    EXPECT_EQ(f.dispose, 0);
    EXPECT_EQ(f.blend, 0);
    EXPECT_EQ(testing::decodeApngFrame(f), testing::straightPixels(*frames[i]));
  }
  // A reader without animation support (libpng) shows the first frame.
  const auto still = decodePng(bytes).image;
  EXPECT_EQ(still->pixelAt(2, 1), frames[0]->pixelAt(2, 1));
  EXPECT_EQ(still->width(), 3);
}

TEST(AnimatedImageCodecs, GifReadsBackThroughGiflib) {
  const std::vector<BitmapImage::Ptr> frames = {solid(4, 3, {255, 0, 0, 255}), solid(4, 3, {0, 0, 50, 100}),
                                                solid(4, 3, {0, 200, 0, 255})};
  bool ok = false;
  const auto bytes = encoded(encodeAnimatedGif, frames, 25, &ok);
  ASSERT_TRUE(ok);
  const auto gif = testing::readGif(bytes);
  ASSERT_TRUE(gif);
  EXPECT_EQ(gif->version, "GIF89a");
  EXPECT_EQ(gif->width, 4);
  EXPECT_EQ(gif->height, 3);
  EXPECT_TRUE(gif->loopsForever);
  ASSERT_EQ(gif->frames.size(), 3u);
  struct Expected {
    int transparent;
    std::array<int, 4> pixel;
  };
  const Expected expected[] = {{-1, {255, 0, 0, 255}}, {255, {0, 0, 0, 0}}, {-1, {0, 200, 0, 255}}};
  for (std::size_t i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    const auto& f = gif->frames[i];
    EXPECT_EQ(f.width, 4);
    EXPECT_EQ(f.height, 3);
    EXPECT_EQ(f.delay, 4);
    EXPECT_EQ(f.disposal, DISPOSE_BACKGROUND);
    EXPECT_EQ(f.transparent, expected[i].transparent);
    for (int k = 0; k < 4; ++k) EXPECT_EQ(f.pixels[static_cast<std::size_t>(11 * 4 + k)], expected[i].pixel[k]);
  }
}

TEST(AnimatedImageCodecs, GifKeepsTheExactColoursOfFewColourFrames) {
  std::vector<std::array<std::uint8_t, 4>> most;  // 255 colours, the most a table holds
  for (int i = 0; i < 255; ++i) {
    most.push_back({static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i),
                    static_cast<std::uint8_t>(i * 7 % 256), 255});
  }
  struct Case {
    const char* name;
    BitmapImage::Ptr frame;
  };
  const Case cases[] = {
      {"white", solid(3, 2, {255, 255, 255, 255})},
      {"blue grey", solid(3, 2, {100, 150, 200, 255})},
      {"near black", solid(3, 2, {7, 7, 7, 255})},
      {"four colours and a hole", pixels(3, 2,
                                         {{255, 255, 255, 255}, {100, 150, 200, 255}, {7, 7, 7, 255},
                                          {0, 0, 0, 0}, {1, 2, 3, 255}, {255, 255, 255, 255}})},
      {"255 colours", pixels(15, 17, most)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    bool ok = false;
    const auto gif = testing::readGif(encoded(encodeAnimatedGif, {c.frame}, 25, &ok));
    ASSERT_TRUE(ok);
    ASSERT_TRUE(gif);
    ASSERT_EQ(gif->frames.size(), 1u);
    EXPECT_EQ(gif->frames[0].pixels, testing::straightPixels(*c.frame));
  }
}

TEST(AnimatedImageCodecs, GifQuantizedColoursSpanTheFullRange) {
  // 32 x 32 dark shades (far more than a table holds), then a row of white
  // and a row of black.
  std::vector<std::array<std::uint8_t, 4>> many;
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 32; ++x) {
      many.push_back({static_cast<std::uint8_t>(x * 4), static_cast<std::uint8_t>(y * 4), 60, 255});
    }
  }
  for (int x = 0; x < 32; ++x) many.push_back({255, 255, 255, 255});
  for (int x = 0; x < 32; ++x) many.push_back({0, 0, 0, 255});
  bool ok = false;
  const auto gif = testing::readGif(encoded(encodeAnimatedGif, {pixels(32, 34, many)}, 25, &ok));
  ASSERT_TRUE(ok);
  ASSERT_TRUE(gif);
  ASSERT_EQ(gif->frames.size(), 1u);
  const auto& shown = gif->frames[0].pixels;
  const std::size_t white = 32 * 32 * 4;
  const std::size_t black = 33 * 32 * 4;
  EXPECT_EQ(std::vector<std::uint8_t>(shown.begin() + white, shown.begin() + white + 4),
            (std::vector<std::uint8_t>{255, 255, 255, 255}));
  EXPECT_EQ(std::vector<std::uint8_t>(shown.begin() + black, shown.begin() + black + 4),
            (std::vector<std::uint8_t>{0, 0, 0, 255}));
  // The shades stay near what they were.
  for (std::size_t i = 0; i < 32 * 32; ++i) {
    for (std::size_t k = 0; k < 3; ++k) {
      ASSERT_NEAR(shown[i * 4 + k], many[i][k], 12) << "pixel " << i << " channel " << k;
    }
  }
}

TEST(AnimatedImageCodecs, RefusedInputsGiveFalse) {
  const auto small = solid(2, 2, {1, 2, 3, 255});
  struct Case {
    const char* name;
    std::vector<BitmapImage::Ptr> frames;
    double fps;
  };
  const Case cases[] = {
      {"no frame", {}, 25},
      {"another size", {small, solid(2, 3, {1, 2, 3, 255})}, 25},
      {"a null frame", {small, nullptr}, 25},
      {"no rate", {small}, 0},
      {"rate not a number", {small}, NAN},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    bool ok = true;
    (void)encoded(encodeAnimatedPng, c.frames, c.fps, &ok);
    EXPECT_FALSE(ok);
    ok = true;
    (void)encoded(encodeAnimatedGif, c.frames, c.fps, &ok);
    EXPECT_FALSE(ok);
  }
  // A sink that refuses stops both encoders.
  for (auto encode : {encodeAnimatedPng, encodeAnimatedGif}) {
    EXPECT_FALSE(encode(std::vector<BitmapImage::Ptr>{small}, 25, [](std::span<const std::uint8_t>) { return false; }));
  }
}

}  // namespace
}  // namespace vantrel
