// File: vantrel/platform/kit/screen.h
//
// `Screen`: one display: its frame and visible frame in the global screen
// space (origin at the lower-left of the main screen, y up), its backing
// scale factor (pixels per point) and its device description, which carries
// the display number.
//
//   ScopedScreens screens({Screen::create(Rect(0, 0, 1440, 900), Rect(0, 0, 1440, 875), 2.0, 1)});
//   Screen::mainScreen()->backingScaleFactor()       // 2.0
//   window->screen()                                 // the screen holding most of it
//
// The list of screens is the one set (`setScreens`; tests use
// `ScopedScreens`), else the screen provider's (`screen_provider.h`: the X
// display's monitors, or a provider put in its place), so a headless process
// has no screen and windows report a scale factor of 1.0. The first screen
// is the main screen. Screens are immutable; the list may be read and
// replaced from any thread.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "vantrel/core/geometry.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

// The platform's device description of a screen, as fields: the display
// number ("NSScreenNumber"), the size in points ("NSDeviceSize"), the
// resolution in dots per inch ("NSDeviceResolution": 72 x the scale factor
// each way) and that it is a screen ("NSDeviceIsScreen").
struct ScreenDeviceDescription {
  std::uint32_t screenNumber = 0;
  Size deviceSize;
  Size resolution;
  bool isScreen = true;

  friend bool operator==(const ScreenDeviceDescription&, const ScreenDeviceDescription&) = default;
};

class Screen {
 public:
  using Ptr = std::shared_ptr<const Screen>;

  // The visible frame is the part windows may use (without menu bar and
  // dock); it is kept as given.
  [[nodiscard]] static Ptr create(Rect frame, Rect visibleFrame, double backingScaleFactor = 1.0,
                                  std::uint32_t displayNumber = 0);

  Screen(const Screen&) = delete;
  Screen& operator=(const Screen&) = delete;

  [[nodiscard]] Rect frame() const { return frame_; }
  [[nodiscard]] Rect visibleFrame() const { return visibleFrame_; }
  [[nodiscard]] double backingScaleFactor() const { return backingScaleFactor_; }
  [[nodiscard]] ScreenDeviceDescription deviceDescription() const;
  // "<Screen: 0x…; display = 1; frame = (0.0, 0.0, 1440.0, 900.0)>"
  [[nodiscard]] std::string description() const;

  // The screens now, the main screen first: the list set, else the screen
  // provider's.
  [[nodiscard]] static std::vector<Ptr> screens();
  // The first screen, or null when there is none.
  [[nodiscard]] static Ptr mainScreen();
  // A rectangle in the display's pixels as points: every value divided by
  // the backing scale factor.
  [[nodiscard]] Rect convertRectFromBacking(Rect rect) const;

  // Replaces the list (null entries are dropped); it then comes before the
  // screen provider's, also when empty.
  static void setScreens(std::vector<Ptr> screens);

 private:
  Screen(Rect frame, Rect visibleFrame, double backingScaleFactor, std::uint32_t displayNumber)
      : frame_(frame), visibleFrame_(visibleFrame), backingScaleFactor_(backingScaleFactor),
        displayNumber_(displayNumber) {}

  Rect frame_;
  Rect visibleFrame_;
  double backingScaleFactor_;
  std::uint32_t displayNumber_;
};

// Sets the screen list for a scope and puts the previous list back when it
// ends (or none, so the screen provider answers again).
class ScopedScreens {
 public:
  explicit ScopedScreens(std::vector<Screen::Ptr> screens);
  ~ScopedScreens();
  ScopedScreens(const ScopedScreens&) = delete;
  ScopedScreens& operator=(const ScopedScreens&) = delete;

 private:
  std::optional<std::vector<Screen::Ptr>> previous_;
};

}  // namespace vantrel
