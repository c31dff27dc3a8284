#include "vantrel/platform/kit/screen.h"

#include <algorithm>
#include <mutex>
#include <optional>

#include <fmt/format.h>

#include "vantrel/core/no_destructor.h"
#include "vantrel/platform/kit/screen_provider.h"

namespace vantrel {
namespace {

struct ScreenList {
  std::mutex mutex;
  // Absent: the screen provider answers.
  std::optional<std::vector<Screen::Ptr>> screens;
};

ScreenList& screenList() {
  static NoDestructor<ScreenList> list;
  return *list;
}

}  // namespace

Screen::Ptr Screen::create(Rect frame, Rect visibleFrame, double backingScaleFactor, std::uint32_t displayNumber) {
  return Ptr(new Screen(frame, visibleFrame, backingScaleFactor, displayNumber));
}

ScreenDeviceDescription Screen::deviceDescription() const {
  const double dpi = 72.0 * backingScaleFactor_;
  return ScreenDeviceDescription{displayNumber_, frame_.size, Size(dpi, dpi), true};
}

Rect Screen::convertRectFromBacking(Rect rect) const {
  const double f = backingScaleFactor_;
  return Rect(rect.origin.x / f, rect.origin.y / f, rect.size.width / f, rect.size.height / f);
}

std::string Screen::description() const {
  return fmt::format("<Screen: 0x{:016x}; display = {}; frame = {}>", reinterpret_cast<std::uintptr_t>(this),
                     displayNumber_, frame_.description());
}

namespace {

std::optional<std::vector<Screen::Ptr>> exchangeScreenList(std::optional<std::vector<Screen::Ptr>> screens) {
  if (screens) std::erase(*screens, nullptr);
  ScreenList& list = screenList();
  std::lock_guard lock(list.mutex);
  list.screens.swap(screens);
  return screens;
}

}  // namespace

std::vector<Screen::Ptr> Screen::screens() {
  {
    ScreenList& list = screenList();
    std::lock_guard lock(list.mutex);
    if (list.screens) return *list.screens;
  }
  // Outside the lock: the provider may take a while (an X server).
  auto provided = screenProvider()->screens();
  std::erase(provided, nullptr);
  return provided;
}

Screen::Ptr Screen::mainScreen() {
  const auto all = screens();
  return all.empty() ? nullptr : all.front();
}

void Screen::setScreens(std::vector<Ptr> screens) {
  // The old list is freed after the lock is let go; screens are plain values.
  (void)exchangeScreenList(std::move(screens));
}

ScopedScreens::ScopedScreens(std::vector<Screen::Ptr> screens) : previous_(exchangeScreenList(std::move(screens))) {}

ScopedScreens::~ScopedScreens() { (void)exchangeScreenList(std::move(previous_)); }

}  // namespace vantrel
