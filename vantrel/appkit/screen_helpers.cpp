#include "vantrel/appkit/screen_helpers.h"

#include "vantrel/core/checked.h"
#include "vantrel/core/console.h"
#include "vantrel/core/number_text.h"
#include "vantrel/platform/kit/screen_provider.h"

namespace vantrel {

bool isRetina(const Screen& self) { return self.backingScaleFactor() == 2.0; }

Screen::Ptr NSScreen::menuBarScreen() {
  const auto screens = Screen::screens();
  return screens.empty() ? nullptr : screens.front();
}

Image::Ptr capture(const Screen& self) {
  const std::uint32_t displayNumber = self.deviceDescription().screenNumber;
  auto pixels = screenProvider()->createDisplayImage(displayNumber);
  // A provider's answer that does not hold its own size of pixels is no image.
  const bool whole = pixels && pixels->width >= 1 && pixels->height >= 1 && [&] {
    const auto count = overflowingMul<std::int64_t>(pixels->width, pixels->height);
    const auto bytes = count ? overflowingMul<std::int64_t>(*count, 4) : std::nullopt;
    return bytes && static_cast<std::uint64_t>(*bytes) == pixels->rgba.size();
  }();
  if (!whole) {
    consolePrint("Failed to get CGDisplayCreateImageForRect(" + integerText(displayNumber) + ")");
    return nullptr;
  }
  const Rect inPoints =
      self.convertRectFromBacking(Rect(0, 0, static_cast<double>(pixels->width), static_cast<double>(pixels->height)));
  auto bitmap = BitmapImage::create(pixels->width, pixels->height, pixels->width * 4, std::move(pixels->rgba));
  auto image = Image::create(inPoints.size);
  image->addRepresentation(std::move(bitmap));
  return image;
}

}  // namespace vantrel
