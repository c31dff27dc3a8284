// File: vantrel/platform/kit/screen_provider.h
//
// Where `Screen::screens()` comes from when no list was set, and how a
// display's pixels are read: a `ScreenProvider`. The process's provider is
// the system's (`X11ScreenProvider` on $DISPLAY), or one a host or a test
// puts in its place:
//
//   struct TwoScreens : ScreenProvider { ... };
//   ScopedScreenProvider provider(std::make_shared<TwoScreens>());
//   Screen::screens()                            // TwoScreens' list
//   screenProvider()->createDisplayImage(1)      // its pixels of display 1
//
// A list set with `Screen::setScreens` / `ScopedScreens` comes before any
// provider's. The provider may be read and replaced from any thread.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "vantrel/platform/kit/screen.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

// The pixels of a whole display: `width` x `height` opaque RGBA pixels, rows
// from the top, packed (4 * width bytes each).
struct DisplayImage {
  std::int64_t width = 0;
  std::int64_t height = 0;
  std::vector<std::uint8_t> rgba;
};

class ScreenProvider {
 public:
  virtual ~ScreenProvider() = default;
  // The screens now, the one with the menu bar first.
  [[nodiscard]] virtual std::vector<Screen::Ptr> screens() = 0;
  // The pixels of the display with that number; nullopt when it cannot be
  // imaged.
  [[nodiscard]] virtual std::optional<DisplayImage> createDisplayImage(std::uint32_t displayNumber) = 0;
};

// The process's provider: the one set, else the system's.
[[nodiscard]] std::shared_ptr<ScreenProvider> screenProvider();
// Null puts the system's back.
void setScreenProvider(std::shared_ptr<ScreenProvider> provider);

// Sets the provider for a scope and puts the previous one back when it ends.
class ScopedScreenProvider {
 public:
  explicit ScopedScreenProvider(std::shared_ptr<ScreenProvider> provider);
  ~ScopedScreenProvider();
  ScopedScreenProvider(const ScopedScreenProvider&) = delete;
  ScopedScreenProvider& operator=(const ScopedScreenProvider&) = delete;

 private:
  std::shared_ptr<ScreenProvider> previous_;
};

// The screens of an X display: one per RandR monitor (the primary one
// first, the others in RandR's order), else one for the root window. Frames
// are in pixels with a backing scale of 1.0, y up from the lower-left corner
// of the first screen; the visible frame is the frame. The display number
// is the monitor's index in RandR's list (0 for the root window). A capture
// reads that area of the root window (`XGetImage`). The display is opened
// for each call: without one, or in a build without X11, there are no
// screens and no images.
class X11ScreenProvider : public ScreenProvider {
 public:
  // Empty `displayName`: $DISPLAY.
  [[nodiscard]] static std::shared_ptr<X11ScreenProvider> create(std::string displayName = "");

  [[nodiscard]] std::vector<Screen::Ptr> screens() override;
  [[nodiscard]] std::optional<DisplayImage> createDisplayImage(std::uint32_t displayNumber) override;

 private:
  explicit X11ScreenProvider(std::string displayName) : displayName_(std::move(displayName)) {}
  std::string displayName_;
};

}  // namespace vantrel
