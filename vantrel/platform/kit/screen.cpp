#include "vantrel/platform/kit/screen.h"

#include <algorithm>
#include <mutex>

#include <fmt/format.h>

#include "vantrel/core/no_destructor.h"

namespace vantrel {
namespace {

struct ScreenList {
  std::mutex mutex;
  std::vector<Screen::Ptr> screens;
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

std::string Screen::description() const {
  return fmt::format("<Screen: 0x{:016x}; display = {}; frame = {}>", reinterpret_cast<std::uintptr_t>(this),
                     displayNumber_, frame_.description());
}

std::vector<Screen::Ptr> Screen::screens() {
  ScreenList& list = screenList();
  std::lock_guard lock(list.mutex);
  return list.screens;
}

Screen::Ptr Screen::mainScreen() {
  ScreenList& list = screenList();
  std::lock_guard lock(list.mutex);
  return list.screens.empty() ? nullptr : list.screens.front();
}

void Screen::setScreens(std::vector<Ptr> screens) {
  std::erase(screens, nullptr);
  ScreenList& list = screenList();
  std::lock_guard lock(list.mutex);
  list.screens.swap(screens);
  // The old list is freed here, under the lock; screens are plain values.
}

ScopedScreens::ScopedScreens(std::vector<Screen::Ptr> screens) : previous_(Screen::screens()) {
  Screen::setScreens(std::move(screens));
}

ScopedScreens::~ScopedScreens() { Screen::setScreens(std::move(previous_)); }

}  // namespace vantrel
