// Screen helpers over stand-in screens and a stand-in screen provider.
#include <memory>
#include <optional>
#include <vector>

#include <gtest/gtest.h>

#include "vantrel/appkit/screen_helpers.h"
#include "vantrel/core/console.h"
#include "vantrel/platform/kit/screen_provider.h"

namespace vantrel {
namespace {

class StandInProvider : public ScreenProvider {
 public:
  std::vector<Screen::Ptr> list;
  std::optional<DisplayImage> image;
  std::vector<std::uint32_t> asked;

  std::vector<Screen::Ptr> screens() override { return list; }
  std::optional<DisplayImage> createDisplayImage(std::uint32_t displayNumber) override {
    asked.push_back(displayNumber);
    return image;
  }
};

Screen::Ptr screenWithScale(double scale, std::uint32_t display = 1) {
  return Screen::create(Rect(0, 0, 800, 600), Rect(0, 0, 800, 575), scale, display);
}

TEST(ScreenHelpers, IsRetinaOnlyAtScaleTwo) {
  const struct {
    double scale;
    bool retina;
  } cases[] = {{1.0, false}, {2.0, true}, {3.0, false}, {1.9999999, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.scale);
    EXPECT_EQ(isRetina(*screenWithScale(c.scale)), c.retina);
  }
}

TEST(ScreenHelpers, MenuBarScreenIsTheFirstListed) {
  const auto first = screenWithScale(1.0, 5);
  const auto second = screenWithScale(2.0, 6);
  auto provider = std::make_shared<StandInProvider>();
  provider->list = {first, second};
  ScopedScreenProvider useProvider(provider);
  EXPECT_EQ(NSScreen::menuBarScreen(), first);
  {
    // A list that was set comes before the provider's, also an empty one.
    ScopedScreens none({});
    EXPECT_EQ(NSScreen::menuBarScreen(), nullptr);
    ScopedScreens other({second, first});
    EXPECT_EQ(NSScreen::menuBarScreen(), second);
  }
  EXPECT_EQ(NSScreen::menuBarScreen(), first);
  provider->list.clear();
  EXPECT_EQ(NSScreen::menuBarScreen(), nullptr);
}

DisplayImage numberedPixels(std::int64_t width, std::int64_t height) {
  DisplayImage image{width, height, {}};
  for (std::int64_t i = 0; i < width * height; ++i) {
    image.rgba.insert(image.rgba.end(),
                      {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(2 * i), static_cast<std::uint8_t>(3 * i), 255});
  }
  return image;
}

TEST(ScreenHelpers, CaptureKeepsEveryPixelAndSizesInPoints) {
  auto provider = std::make_shared<StandInProvider>();
  ScopedScreenProvider useProvider(provider);
  for (const double scale : {2.0, 1.0}) {
    SCOPED_TRACE(scale);
    provider->image = numberedPixels(6, 4);
    const auto image = capture(*screenWithScale(scale, 7));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->size(), Size(6 / scale, 4 / scale));
    ASSERT_EQ(image->representations().size(), 1u);
    const auto& bitmap = image->representations()[0];
    EXPECT_EQ(bitmap->width(), 6);
    EXPECT_EQ(bitmap->height(), 4);
    const auto expected = numberedPixels(6, 4).rgba;
    EXPECT_TRUE(std::equal(bitmap->bytes().begin(), bitmap->bytes().end(), expected.begin(), expected.end()));
  }
  EXPECT_EQ(provider->asked, (std::vector<std::uint32_t>{7, 7}));
}

TEST(ScreenHelpers, AFailedCapturePrintsOneLineAndAnswersNone) {
  auto provider = std::make_shared<StandInProvider>();
  ScopedScreenProvider useProvider(provider);
  DisplayImage short_ = numberedPixels(3, 3);
  short_.rgba.pop_back();
  const std::optional<DisplayImage> answers[] = {std::nullopt, DisplayImage{0, 5, {}}, short_};
  for (const auto& answer : answers) {
    provider->image = answer;
    ConsoleCapture console;
    EXPECT_EQ(capture(*screenWithScale(2.0, 4294967295u)), nullptr);
    EXPECT_EQ(console.standardOutput(), "Failed to get CGDisplayCreateImageForRect(4294967295)\n");
  }
}

}  // namespace
}  // namespace vantrel
